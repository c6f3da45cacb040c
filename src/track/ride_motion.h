// How the train moves along the ring, shared by the animation and the ride
// analysis: the animation's step and parameter rate, and the speed law of a
// frictionless train. Pure math: no GL, no FLTK.
#pragma once

#include <vector>

#include "track/ring_measure.h"
#include "track/track.h"

// Standard gravity, m/s^2. One world unit is one metre and y is up.
constexpr double kGravity = 9.80665;

// The animation does one step at most once per kStepMs milliseconds; in
// parameter mode each step moves the front car kParameterStep of the curve
// parameter, so the parameter runs at kParameterRate per second.
constexpr int kStepMs = 34;
constexpr double kStepSeconds = kStepMs / 1000.0;
constexpr double kParameterStep = 0.02;
constexpr double kParameterRate = kParameterStep / kStepSeconds;

// The speed, m/s, of a frictionless train at height `y` that crosses the
// height `highest` at `crest_speed`: v^2 = crest_speed^2 + 2 g (highest - y),
// never below crest_speed.
double frictionless_speed(double crest_speed, double highest, double y);

// The ride is sampled every kRideSampleSpacing metres along the ring measure,
// unless the ring would then need more than kMaxRideSamples: then the ring is
// split evenly into kMaxRideSamples pieces.
constexpr double kRideSampleSpacing = 0.1;
constexpr long kMaxRideSamples = 1'000'000;

// The samples of a ring `ring` metres long (finite, > 0) at `spacing`: k * step
// metres along for k = 0 .. count - 1.
struct RingSampling {
    double step;
    long count;
};
RingSampling ring_sampling(double ring, double spacing);

// The height energy is measured from: the highest of the ride's samples at
// kRideSampleSpacing along `measure` (as measure_ring made it for `track`, of a
// ring with length).
double ring_highest(const Track& track, const std::vector<MeasureSample>& measure);

// The distance along the chord sums of `measure` of a parameter u in [0, n],
// interpolated linearly in u.
double ring_distance_at(const std::vector<MeasureSample>& measure, double u);
