// The ride's samples: placed along the ring measure, each with the table's
// frame, the speed model's speed and the forces from the curve's own
// derivatives; then the corners, where the direction jumps.
#include <algorithm>
#include <cmath>

#include "analysis/ride_internal.h"

namespace ride_detail {

Cubic cubic_of(const track_math::Curve& c, int i) {
    const int n = c.n;
    const auto at = [&](int k) { return c.points[track_math::ring_index(i, k, n)].position(); };
    switch (c.type) {
    case CurveType::Cardinal: {
        // The weight as cardinal_at rounds it, then the coefficients of
        // cardinal_coord's polynomial in t.
        const double s = static_cast<float>((1.0 - c.tension) * 0.5);
        const Point3 p0 = at(n - 1), p1 = at(0), p2 = at(1), p3 = at(2);
        return {s * (p2 - p0), ((2 * s) * p0 + (s - 3) * p1) + (3 - 2 * s) * p2 - s * p3,
                ((2 - s) * p1 - s * p0) + (s - 2) * p2 + s * p3};
    }
    case CurveType::BSpline: {
        const Point3 p0 = at(0), p1 = at(1), p2 = at(2), p3 = at(3);
        return {(p2 - p0) / 2.0, (3.0 * p0 - 6.0 * p1 + 3.0 * p2) / 6.0,
                (3.0 * p1 - p0 - 3.0 * p2 + p3) / 6.0};
    }
    case CurveType::Bezier: {
        const Point3 p0 = at(0), p3 = at(1);
        const Point3 h1 = c.handles[2 * i].position(), h2 = c.handles[2 * i + 1].position();
        return {(h1 - p0) / 3.0, (3.0 * h2 - 7.0 * p0 - 2.0 * h1 + 6.0 * p3) / 3.0,
                (5.0 * p0 + h1 - 3.0 * h2 - 3.0 * p3) / 3.0};
    }
    default:
        return {at(1) - at(0), Point3{}, Point3{}};
    }
}

bool direction_near(const Cubic& cubic, double t, bool after, Point3& direction) {
    // Near t, P'(t + e) = P'(t) + e P''(t) + e^2/2 P''': the first term that
    // is not (almost) zero gives the direction, with e's sign before it.
    const double sign = after ? 1.0 : -1.0;
    const Point3 terms[3] = {cubic.first(t), sign * cubic.second(t), 6.0 * cubic.c3};
    const double scale = length(cubic.c1) + length(cubic.c2) + length(cubic.c3);
    if (!(scale > 0) || !std::isfinite(scale)) {
        return false;
    }
    for (const Point3& term : terms) {
        const double norm = length(term);
        if (norm > 1e-9 * scale && std::isfinite(norm)) {
            direction = term / norm;
            return true;
        }
    }
    return false;
}

SpeedContext speed_context(const SpeedModel& model, double highest) {
    SpeedContext context{model, highest, false};
    context.standing = model.constant_velocity && !(model.velocity > 0);
    return context;
}

Motion fill_sample(const track_math::Curve& curve, const SpeedContext& speed, float u,
                   RideSample& sample) {
    const track_math::Segment seg = track_math::segment_of(u, curve.n);
    sample.position = curve.position_at(u);
    return fill_sample(curve, speed, u, seg.i, seg.t, sample);
}

Motion fill_sample(const track_math::Curve& curve, const SpeedContext& speed, float u, int segment,
                   double t, RideSample& sample) {
    const int n = curve.n;
    const auto pos = [&curve](float v) { return curve.position_at(v); };
    sample.u = u;
    // The frame exactly as the track table writes it (Track::tangent_at,
    // Track::up_at made unit, left = up x front).
    sample.front = track_math::tangent_from(pos, u, n);
    const double roll = track_math::roll_at(curve.points, n, u);
    sample.up = unit_up(sample.front, track_math::up_from(sample.front, roll));
    sample.left = cross(sample.up, sample.front);

    // The direction of travel T and its rate of change dT/ds from the
    // segment's cubic: dT/ds = (P'' - (P''.T) T) / |P'|^2.
    const Cubic cubic = cubic_of(curve, segment);
    const Point3 d1 = cubic.first(t);
    const Point3 d2 = cubic.second(t);
    const double rate = length(d1); // metres per unit of u
    Point3 along = sample.front;
    Point3 bend;
    if (rate > 0 && std::isfinite(rate)) {
        const double inverse = 1 / rate;
        along = inverse * d1;
        bend = (inverse * inverse) * (d2 - dot(d2, along) * along);
    } else {
        direction_near(cubic, t, true, along); // keeps the table's front if nothing moves
    }
    if (!is_finite(bend)) {
        bend = Point3{};
    }

    // Speed v and dv/ds under the model.
    double v = 0.0;
    double dv = 0.0;
    if (speed.standing) {
        // Stands still: no acceleration, only gravity's support.
    } else if (!speed.model.constant_velocity) {
        v = rate * kParameterRate;
        dv = rate > 0 ? kParameterRate * dot(d2, along) / rate : 0.0; // d|P'|/ds times the rate
    } else if (speed.model.conserve_energy) {
        v = frictionless_speed(speed.model.velocity, speed.highest, sample.position.y);
        // v dv/ds = -g dy/ds along the car's front, exactly, so the
        // tangential acceleration cancels gravity's pull along the track.
        dv = -kGravity * sample.front.y / v;
    } else {
        v = speed.model.velocity;
    }
    sample.speed = v;

    // Specific force: a + (0, g, 0), a = v^2 dT/ds + v dv/ds T, with the car's
    // front as T: the speed changes along the car and the curve turns the
    // riders across it (dT/ds less its small part along the front, which
    // differs from the curve's own direction by the chord's error). So where
    // energy is conserved the longitudinal figure is 0 to rounding.
    const Point3 across = bend - dot(bend, sample.front) * sample.front;
    const Point3 f = (v * v) * across + (v * dv) * sample.front + Point3{0.0, kGravity, 0.0};
    // A figure past what a double holds stays so: the analysis refuses the ride.
    const auto in_g = [](double value) { return value * (1 / kGravity); };
    sample.vertical_g = in_g(dot(f, sample.up));
    sample.lateral_g = in_g(dot(f, sample.left));
    sample.longitudinal_g = in_g(dot(f, sample.front));
    return {along, length(bend)};
}

} // namespace ride_detail
