// Track construction and its queries: curve positions, arc length and walks,
// and the moving frame. The formulas live in track_math.h, shared with the
// walks and with TrackSampler, which inline them.
#include "track/track.h"

#include <algorithm>

#include "track/track_math.h"

Track::Track(CurveType type) : type_(type), num_points_(4) {
    // A square of side about 5 at height 1; each corner is pushed 0.001 off the
    // exact square so that no two chords are exactly parallel to an axis.
    points_[0] = ControlPoint(-2.501, 1.0, -2.5);
    points_[1] = ControlPoint(-2.5, 1.0, 2.501);
    points_[2] = ControlPoint(2.501, 1.0, 2.5);
    points_[3] = ControlPoint(2.5, 1.0, -2.501);
    make_handles();
    tension_ = 0.0f;
}

void Track::set_points(const ControlPoint* points, int n) {
    std::copy(points, points + n, points_.begin());
    num_points_ = n;
}

// ---- Curve evaluation, each counted once per call ----

Point3 Track::position_at(float u) const {
    return track_math::Positions(*this)(u);
}

Point3 Track::linear_at(float u) const {
    track_math::count_evaluation();
    return track_math::curve_of(*this).linear_at(u);
}

Point3 Track::cardinal_at(float u) const {
    track_math::count_evaluation();
    return track_math::curve_of(*this).cardinal_at(u);
}

Point3 Track::bspline_at(float u) const {
    track_math::count_evaluation();
    return track_math::curve_of(*this).bspline_at(u);
}

Point3 Track::bezier_at(float u) const {
    track_math::count_evaluation();
    return track_math::curve_of(*this).bezier_at(u);
}

// ---- Arc length and walks ----

double Track::length() const {
    return track_math::length_of(track_math::Positions(*this), num_points_);
}

float Track::advance(double distance, float u) const {
    return track_math::advance_by(track_math::Positions(*this), num_points_, distance, u);
}

float Track::wrap(float u) const {
    return track_math::wrap_parameter(u, num_points_);
}

// ---- Moving frame ----

double Track::roll_at(float u) const {
    return track_math::roll_at(points_.data(), num_points_, u);
}

Point3 Track::tangent_at(float u) const {
    return track_math::tangent_from(track_math::Positions(*this), u, num_points_);
}

Point3 Track::side_at(float u) const {
    return track_math::side_from(tangent_at(u), roll_at(u));
}

Point3 Track::up_at(float u) const {
    return track_math::up_from(tangent_at(u), roll_at(u));
}

double Track::heading_at(float u) const {
    return track_math::heading_from(tangent_at(u));
}

double Track::pitch_at(float u) const {
    return track_math::pitch_from(tangent_at(u));
}
