// Internal to src/analysis: the curve's derivatives by the parameter, taken
// from each segment's cubic, the forces at one parameter, and the summary pass.
#pragma once

#include <cmath>

#include "analysis/ride_analysis.h"
#include "track/track_math.h"

namespace ride_detail {

// One segment's cubic per coordinate: P(t) = c0 + c1 t + c2 t^2 + c3 t^3,
// with t in [0, 1] and u = i + t, so derivatives by t are those by u.
struct Cubic {
    Point3 c1, c2, c3;
    Point3 first(double t) const { return c1 + t * (2.0 * c2 + (3.0 * t) * c3); }
    Point3 second(double t) const { return 2.0 * c2 + (6.0 * t) * c3; }
};

// The cubic of segment i (0 <= i < curve.n), from the same four records
// position_at reads for the curve's type.
Cubic cubic_of(const track_math::Curve& curve, int i);

// The direction of travel just after (after = true) or just before parameter
// t of the cubic: P' made unit, or where P' vanishes, the direction it
// grows from (P'' then P'''). Returns false when the cubic does not move.
bool direction_near(const Cubic& cubic, double t, bool after, Point3& direction);

// Everything the speed model needs that does not change along the ring.
struct SpeedContext {
    SpeedModel model;
    double highest = 0.0; // the height energy is measured from
    bool standing = false;
};
SpeedContext speed_context(const SpeedModel& model, double highest);

// The curve's own direction of travel at a sample and how fast it turns.
struct Motion {
    Point3 along;     // unit P'; where P' vanishes, the direction it grows in
    double curvature; // |dT/ds|, 1/m
};

// The sample at u (distance and at_corner left as they are).
Motion fill_sample(const track_math::Curve& curve, const SpeedContext& speed, float u,
                   RideSample& sample);
// The same for a sample whose position (curve.position_at(u)) is already
// set, with the direction and its turning taken from `segment`'s cubic at t
// (0 <= segment < curve.n, t in [0, 1]): at a control point, t = 1 of the
// segment before gives the curve's figures as it arrives.
Motion fill_sample(const track_math::Curve& curve, const SpeedContext& speed, float u, int segment,
                   double t, RideSample& sample);

// The distance of parameter u (in [0, n]) on the chord sums of the measure.
inline double measure_distance(const std::vector<MeasureSample>& measure, double u) {
    return ring_distance_at(measure, u);
}

// Fills `out.summary` from the samples, corners and measure already in `out`,
// with the G figures at each control point that is no corner, as the curve
// arrives there and as it leaves, in the extremes: a Cardinal, B-spline or
// Bezier curve's turning can change abruptly there, between two samples.
void summarise(const track_math::Curve& curve, const SpeedContext& speed, RideAnalysis& out);

// Why the analysis in `ride` (its samples and summary filled) must be refused,
// or none; and the refusal itself: everything emptied, the reason kept.
RideRefusal refusal_of(const RideAnalysis& ride);
void refuse(RideAnalysis& ride, RideRefusal refusal);

// Whether a sample's front is vertical (within a millionth): there the bank
// turns nothing and the frame is decided by rounding.
inline bool vertical_front(const RideSample& s) {
    return !(std::hypot(s.front.x, s.front.z) > 1e-6);
}

} // namespace ride_detail
