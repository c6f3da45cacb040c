// Automatic Bezier handles, and the resampling that adds or removes a point.
#include "track/track.h"
#include "track/track_math.h"

void Track::make_handles() {
    // Whatever the type shown, the handles follow the chords: their places and
    // the side vector (chord direction, mean bank of its ends) are read off the
    // linear curve through the points.
    const track_math::Curve chords = track_math::curve_of(*this);
    const auto along_chords = [&chords](float u) { return chords.linear_at(u); };
    for (int i = 0; i < num_points_; ++i) {
        const Point3 p = points_[i].position();
        const Point3 q = points_[(i + 1) % num_points_].position();
        const Point3 a = chords.linear_at(static_cast<float>(i + 0.25));
        const Point3 b = chords.linear_at(static_cast<float>(i + 0.75));
        const float middle = static_cast<float>(i + 0.5);
        const Point3 s = track_math::side_from(
            track_math::tangent_from(along_chords, middle, num_points_), roll_at(middle));
        const double h = 0.5 * ::length(q - p);
        handles_[2 * i] = ControlPoint(h * s + a);
        handles_[2 * i + 1] = ControlPoint(h * s + b);
    }
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
