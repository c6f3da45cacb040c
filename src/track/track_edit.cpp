// Automatic Bezier handles, and the resampling that adds or removes a point.
#include <cmath>

#include "track/track.h"

void Track::make_handles() {
    // Read the chords as straight lines: the side vector then follows the
    // chord direction and the mean bank of its two ends.
    const CurveType saved_type = type_;
    type_ = CurveType::Linear;
    for (int i = 0; i < num_points_; ++i) {
        const Point3 p = points_[i].position();
        const Point3 q = points_[(i + 1) % num_points_].position();
        const Point3 a = linear_at(static_cast<float>(i + 0.25));
        const Point3 b = linear_at(static_cast<float>(i + 0.75));
        const Point3 s = side_at(static_cast<float>(i + 0.5));
        const double h = 0.5 * ::length(q - p);
        handles_[2 * i] = ControlPoint(h * s + a);
        handles_[2 * i + 1] = ControlPoint(h * s + b);
    }
    type_ = saved_type;
}

void Track::resample(int new_count) {
    // New points sit evenly in parameter along the Cardinal curve through the
    // old ones, whatever type is shown; all are computed before any is stored.
    const int n = num_points_;
    const float spacing = static_cast<float>(static_cast<double>(n) / new_count);
    std::array<ControlPoint, kMaxPoints> fresh{};
    for (int i = 0; i < new_count; ++i) {
        const float u = static_cast<float>(i * spacing);
        const Point3 p = cardinal_at(u);
        fresh[i] = ControlPoint(p, roll_at(u));
    }
    for (int i = 0; i < new_count; ++i) {
        points_[i] = fresh[i];
    }
    num_points_ = new_count;
    make_handles();
}

void Track::add_point() {
    if (num_points_ >= kMaxPoints) {
        return;
    }
    resample(num_points_ + 1);
}

void Track::remove_point() {
    if (num_points_ <= kMinPoints) {
        return;
    }
    resample(num_points_ - 1);
}
