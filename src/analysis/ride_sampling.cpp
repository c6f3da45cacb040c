// One sample of the ride: each segment's cubic, the direction where the curve
// stops moving, and a sample's frame (the table's), the speed model's speed
// and the forces from the curve's own derivatives. Placing the samples along
// the ring and finding the corners is ride_analysis.cpp's.
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

namespace {

// The curve's own motion at t of a segment's cubic.
struct CurveMotion {
    double rate = 0.0; // |P'|, metres per unit of u
    Point3 second;     // P''
    Point3 along;      // the direction of travel T
    Point3 bend;       // dT/ds, 1/m
};

// T and dT/ds = (P'' - (P''.T) T) / |P'|^2; where P' vanishes, T is the
// direction the curve grows in (or `front` if it does not move) and dT/ds is 0.
CurveMotion curve_motion(const Cubic& cubic, double t, const Point3& front) {
    CurveMotion m;
    const Point3 d1 = cubic.first(t);
    m.second = cubic.second(t);
    m.rate = length(d1);
    m.along = front;
    if (m.rate > 0 && std::isfinite(m.rate)) {
        const double inverse = 1 / m.rate;
        m.along = inverse * d1;
        m.bend = (inverse * inverse) * (m.second - dot(m.second, m.along) * m.along);
    } else {
        direction_near(cubic, t, true, m.along); // keeps the table's front if nothing moves
    }
    if (!is_finite(m.bend)) {
        m.bend = Point3{};
    }
    return m;
}

// The speed v and the acceleration v dv/ds along the track under the model.
struct Pace {
    double v = 0.0;
    double along = 0.0;
};

Pace pace(const SpeedContext& speed, const CurveMotion& m, const RideSample& sample) {
    Pace p;
    const double rate = m.rate;
    if (speed.standing) {
        // Stands still: no acceleration, only gravity's support.
    } else if (!speed.model.constant_velocity) {
        p.v = rate * kParameterRate;
        const double dv = rate > 0 ? kParameterRate * dot(m.second, m.along) / rate
                                   : 0.0; // d|P'|/ds times the rate
        p.along = p.v * dv;
    } else if (speed.model.conserve_energy) {
        p.v = frictionless_speed(speed.model.velocity, speed.highest, sample.position.y);
        // v dv/ds = -g dy/ds along the car's front, exactly, so the
        // tangential acceleration cancels gravity's pull along the track;
        // taken as it stands, so a crawl at the crest divides by no speed.
        p.along = -kGravity * sample.front.y;
    } else {
        p.v = speed.model.velocity;
    }
    return p;
}

// The sample's G figures. Specific force: a + (0, g, 0), a = v^2 dT/ds +
// v dv/ds T, with the car's front as T: the speed changes along the car and
// the curve turns the riders across it (dT/ds less its small part along the
// front, which differs from the curve's own direction by the chord's error).
// So where energy is conserved the longitudinal figure is 0 to rounding.
void set_forces(const Point3& bend, const Pace& p, RideSample& sample) {
    const double v = p.v;
    const Point3 across = bend - dot(bend, sample.front) * sample.front;
    const Point3 f = (v * v) * across + p.along * sample.front + Point3{0.0, kGravity, 0.0};
    // A figure past what a double holds stays so: the analysis refuses the ride.
    const auto in_g = [](double value) { return value * (1 / kGravity); };
    sample.vertical_g = in_g(dot(f, sample.up));
    sample.lateral_g = in_g(dot(f, sample.left));
    sample.longitudinal_g = in_g(dot(f, sample.front));
}

} // namespace

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

    const CurveMotion motion = curve_motion(cubic_of(curve, segment), t, sample.front);
    const Pace p = pace(speed, motion, sample);
    sample.speed = p.v;
    set_forces(motion.bend, p, sample);
    return {motion.along, length(motion.bend)};
}

} // namespace ride_detail
