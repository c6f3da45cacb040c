// The four curve evaluators and the parameter split they share.
#include <cmath>

#include "track/track.h"

// t and s are rounded to float where they are made; every product and sum that
// uses them is taken in double.
using Real = double;

Track::Segment Track::segment_of(float u) const {
    if (!std::isfinite(u)) {
        return {0, 0.0f};
    }
    const double whole = std::floor(static_cast<double>(u));
    const float t = static_cast<float>(static_cast<double>(u) - whole);
    // fmod of an integral double is exact and never overflows, so even a huge
    // parameter lands on a valid segment.
    double index = std::fmod(whole, static_cast<double>(num_points_));
    if (index < 0.0) {
        index += num_points_;
    }
    return {static_cast<int>(index), t};
}

float Track::wrap_parameter(float u) const {
    const double n = num_points_;
    if (!std::isfinite(u)) {
        return 0.0f;
    }
    if (u >= 0.0f && u < n) {
        return u;
    }
    double w = std::fmod(static_cast<double>(u), n);
    if (w < 0.0) {
        w += n;
    }
    const float wrapped = static_cast<float>(w);
    // A value just below n can round up to n itself in single precision.
    return wrapped < n ? wrapped : 0.0f;
}

Point3 Track::position_at(float u) const {
    switch (type_) {
    case Cardinal:
        return cardinal_at(u);
    case BSpline:
        return bspline_at(u);
    case Bezier:
        return bezier_at(u);
    default:
        return linear_at(u);
    }
}

Point3 Track::linear_at(float u) const {
    ++evaluations_;
    const Segment seg = segment_of(u);
    const ControlPoint& p0 = points_[seg.i];
    const ControlPoint& p1 = points_[(seg.i + 1) % num_points_];
    const double t = seg.t;
    return {(p1.x - p0.x) * t + p0.x, (p1.y - p0.y) * t + p0.y, (p1.z - p0.z) * t + p0.z};
}

namespace {

// Catmull-Rom style cubic with weight s; the grouping of every sum is part of
// the result (reordering changes the last bits that the tie spacing sees).
double cardinal_coord(double p0, double p1, double p2, double p3, Real s, Real t) {
    double q = (s * t) * (p2 - p0) + p1;
    q = ((((2 * s) * p0 + (s - 3) * p1) + (3 - 2 * s) * p2) - s * p3) * (t * t) + q;
    q = ((((2 - s) * p1 - s * p0) + (s - 2) * p2) + s * p3) * (t * t * t) + q;
    return q;
}

double bspline_coord(double p0, double p1, double p2, double p3, Real t) {
    double q = (((3 * p1 - p0) - 3 * p2) + p3) * (t * t * t);
    q = ((3 * p0 - 6 * p1) + 3 * p2) * (t * t) + q;
    q = (p2 - p0) * (3 * t) + q;
    q = ((4 * p1 + p0) + p2) + q;
    return q;
}

double bezier_coord(double p0, double h1, double h2, double p3, Real t) {
    double q = 3 * p0 + (h1 - p0) * t;
    q = (((3 * h2 - 7 * p0) - 2 * h1) + 6 * p3) * (t * t) + q;
    q = (((5 * p0 + h1) - 3 * h2) - 3 * p3) * (t * t * t) + q;
    return q;
}

} // namespace

Point3 Track::cardinal_at(float u) const {
    ++evaluations_;
    const Segment seg = segment_of(u);
    const int n = num_points_;
    const ControlPoint& p0 = points_[(seg.i + n - 1) % n];
    const ControlPoint& p1 = points_[seg.i];
    const ControlPoint& p2 = points_[(seg.i + 1) % n];
    const ControlPoint& p3 = points_[(seg.i + 2) % n];
    const float s = static_cast<float>((1.0 - tension_) * 0.5);
    const Real sr = s;
    const Real t = seg.t;
    return {cardinal_coord(p0.x, p1.x, p2.x, p3.x, sr, t),
            cardinal_coord(p0.y, p1.y, p2.y, p3.y, sr, t),
            cardinal_coord(p0.z, p1.z, p2.z, p3.z, sr, t)};
}

Point3 Track::bspline_at(float u) const {
    ++evaluations_;
    const Segment seg = segment_of(u);
    const int n = num_points_;
    const ControlPoint& p0 = points_[seg.i];
    const ControlPoint& p1 = points_[(seg.i + 1) % n];
    const ControlPoint& p2 = points_[(seg.i + 2) % n];
    const ControlPoint& p3 = points_[(seg.i + 3) % n];
    const Real t = seg.t;
    const double x = bspline_coord(p0.x, p1.x, p2.x, p3.x, t);
    const double y = bspline_coord(p0.y, p1.y, p2.y, p3.y, t);
    const double z = bspline_coord(p0.z, p1.z, p2.z, p3.z, t);
    return {x / 6, y / 6, z / 6};
}

Point3 Track::bezier_at(float u) const {
    ++evaluations_;
    const Segment seg = segment_of(u);
    const ControlPoint& p0 = points_[seg.i];
    const ControlPoint& h1 = handles_[2 * seg.i];
    const ControlPoint& h2 = handles_[2 * seg.i + 1];
    const ControlPoint& p3 = points_[(seg.i + 1) % num_points_];
    const Real t = seg.t;
    const double x = bezier_coord(p0.x, h1.x, h2.x, p3.x, t);
    const double y = bezier_coord(p0.y, h1.y, h2.y, p3.y, t);
    const double z = bezier_coord(p0.z, h1.z, h2.z, p3.z, t);
    return {x / 3, y / 3, z / 3};
}
