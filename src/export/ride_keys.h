// One lap of the train as keyed poses: when the front car passes each point
// of the ride analysis, and where every car's body and wheel sets are at each
// key, laid out by the frame's own layout. No GL, no files.
#pragma once

#include <vector>

#include "analysis/ride_analysis.h"
#include "export/turn.h"
#include "scene/frame_layout.h"

// Keys per second of the lap.
constexpr double kRideKeysPerSecond = 30.0;
// A lap longer than kMaxRideKeys / kRideKeysPerSecond seconds (ten minutes) is
// keyed less often, with kMaxRideKeys keys spread evenly over it, so that a
// crawling train cannot make the file grow without bound.
constexpr int kMaxRideKeys = 18000;

// Where a node is relative to its parent.
struct NodePlace {
    Point3 translation;
    Quaternion rotation;
};

// A car's three nodes: the body on the track, and each wheel set relative to
// the body (so a viewer moves the wheels with their car).
struct CarPlaces {
    NodePlace body;
    NodePlace front_wheels;
    NodePlace rear_wheels;
};

// The places of a car laid out by the frame. A pose that is not finite
// (a track without length) gives the identity place.
CarPlaces car_places(const CarPose& car);

struct RideKeys {
    std::vector<double> times;                // seconds, from 0 to the lap time; empty: no ride
    std::vector<std::vector<CarPlaces>> cars; // cars[c][k]: car c at times[k]
};

// The keys of one lap of `cars` cars with the front car starting at u = 0, at
// the speeds of `ride` (analyse_ride of `track` under the design's motion).
// The last key is the lap time and repeats the first, so the lap loops. A
// train that stands still, or a ride without a lap time, has no keys.
RideKeys ride_keys(const Track& track, const RideAnalysis& ride, int cars, FrameLayout& layout);
