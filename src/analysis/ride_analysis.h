// The forces a rider feels: the ride sampled along the track's own length, its
// speed, the G-forces in the banked car's frame, the corners no train can take,
// and the ride's summary. Pure math: no GL, no FLTK, no files.
#pragma once

#include <optional>
#include <vector>

#include "track/point3.h"
#include "track/ride_motion.h"
#include "track/ring_measure.h"
#include "track/track.h"

// The samples' spacing, kRideSampleSpacing, and their most, kMaxRideSamples,
// are in track/ride_motion.h: the animation finds the highest sample as the
// analysis does.

// How the train moves: the car controls, read as a physical model. With
// constant_velocity on, a frictionless train crossing the highest point at
// `velocity` (conserve_energy) or a powered train at `velocity` everywhere;
// at velocity 0 the train stands still, as the animation does. With it off,
// the animation's parameter rate (0.02 per 34 ms step) at the curve's speed.
struct SpeedModel {
    bool constant_velocity = true; // Constant Velocity
    bool conserve_energy = true;   // Conserve Energy
    double velocity = 0.1;         // Coaster Velocity, read in m/s
};

// One point along the track. Every number is finite.
struct RideSample {
    double distance = 0.0; // metres from u = 0 along the ring, as the track table measures it
    float u = 0.0f;        // the curve parameter there
    Point3 position;
    Point3 front;       // unit direction of travel
    Point3 left;        // unit, as the track table writes it: cross(up, front)
    Point3 up;          // unit banked up, as the track table writes it
    double speed = 0.0; // m/s
    // The specific force on the riders in the car's frame, in g: vertical is
    // 1 standing on level track and below 0 in airtime; lateral is positive
    // towards the car's left; longitudinal is positive pressing the riders
    // back into the seat.
    double vertical_g = 0.0;
    double lateral_g = 0.0;
    double longitudinal_g = 0.0;
    // The sample lies at a corner (a kink in the direction): its G figures
    // are left out of the summary's extremes, as are those of a sample whose
    // front is (within a millionth) vertical, where the bank turns nothing and
    // the frame is decided by rounding.
    bool at_corner = false;
};

// A kink where the direction jumps: no train can take it.
struct Corner {
    double distance = 0.0;      // metres along the ring
    int nearest_point = 0;      // the control point nearest it
    double angle_degrees = 0.0; // how far the direction turns there
};

// A figure and where along the track it happens.
struct Extreme {
    double value = 0.0;
    double distance = 0.0; // metres along the ring
};

struct RideSummary {
    double length_m = 0.0;
    Extreme lowest;       // height (y) of the lowest point
    Extreme highest;      // height of the highest point
    Extreme biggest_drop; // height lost from a crest (its distance) to the next valley
    Extreme max_speed;
    Extreme min_speed;
    std::optional<double> lap_time_s; // empty when the train stands still
    Extreme vertical_max;
    Extreme vertical_min;
    Extreme lateral_max_abs; // value is the signed figure of largest size
    Extreme longitudinal_max;
    Extreme longitudinal_min;
    double airtime_s = 0.0; // time spent with vertical G below 0
    int inversions = 0;     // separate stretches where Up points below the horizon
};

// Why a ride has no figures though its track has points: it is too large to
// measure, or its speeds or forces pass what a double holds.
enum class RideRefusal { none, track_too_large, speed_too_large, speed_too_small };
// The refusal as a phrase ("the speed is too large to analyse"); empty for none.
const char* refusal_phrase(RideRefusal refusal);

struct RideAnalysis {
    std::vector<RideSample> samples;     // in order along the ring, the first at distance 0
    std::vector<Corner> corners;         // in order of distance
    std::vector<double> point_distances; // control point i (u = i) lies this far along
    RideSummary summary;
    // The ring measure the samples were placed on (Track::length()'s samples
    // with their chord sums, closed back to the start); kept so that a warm
    // analysis reuses its storage. An analysis built by hand may leave it empty.
    std::vector<MeasureSample> measure;
    // Not none: the analysis refused the ride; no samples, no corners and an
    // all-zero summary.
    RideRefusal refusal = RideRefusal::none;
};

// Analyses the ride on `track` under `speed`, reusing the storage of `out` so
// that repeated calls (following a drag) do not allocate once warm. A track of
// zero length gives no samples and an all-zero summary; so does one the
// analysis refuses (see RideRefusal), with the refusal set.
void analyse_ride(const Track& track, const SpeedModel& speed, RideAnalysis& out);
RideAnalysis analyse_ride(const Track& track, const SpeedModel& speed);
// The same with samples every `spacing` metres (finite, > 0) instead of
// kRideSampleSpacing, still at most kMaxRideSamples of them: for checking how
// the figures settle as the samples get denser.
void analyse_ride(const Track& track, const SpeedModel& speed, double spacing, RideAnalysis& out);

// The ride at one curve parameter u, computed as analyse_ride computes its
// samples; `analysis` must be analyse_ride's result for the same track and
// speed model (it gives the height the energy is measured from and the
// distance). at_corner is left false.
RideSample ride_at(const Track& track, const SpeedModel& speed, const RideAnalysis& analysis,
                   float u);

// The distance along the ring of curve parameter u (wrapped onto the ring of
// point_distances.size() points), for showing where the front car is:
// interpolated on the ring measure; 0 for an analysis without one.
double distance_at(const RideAnalysis& analysis, float u);
// The control point nearest `distance` along the ring (wrapping round), or -1
// when the analysis has no points.
int nearest_point(const RideAnalysis& analysis, double distance);

// The bank, in degrees within [-180, 180], for each control point (u = i),
// chosen for all points together so that the lateral G over every sample of
// the ring that is no corner (and at each point as the curve arrives and
// leaves) is as small as the track allows: least squares, then reweighted
// towards the smallest largest figure, never worse than the rolls as they
// are. Each point keeps its side of +-90 degrees: a roll within +-90 stays
// within it, so no inversion is added and riders in airtime stay in their
// seats' way up, and a roll beyond stays beyond. Rolls change frames only,
// never positions or speeds. Empty for a track the analysis gives no samples
// for.
std::vector<double> level_banking(const Track& track, const SpeedModel& speed);
