// Designs the analysis tests build, whose rides a textbook can work out.
#pragma once

#include <cmath>
#include <vector>

#include "analysis/ride_analysis.h"
#include "track/angles.h"

namespace ride_test {

inline const double kPi = std::acos(-1.0);

// A track of the given type through exactly these points.
inline Track track_through(CurveType type, const std::vector<ControlPoint>& points) {
    Track track(type);
    track.set_points(points.data(), static_cast<int>(points.size()));
    track.make_handles();
    return track;
}

// 100 Cardinal points on a level circle of radius r at height 2, each banked
// `roll` degrees; turning left (anticlockwise seen from above, +y) or right.
inline Track circle(double r, bool left, double roll = 0.0) {
    std::vector<ControlPoint> points;
    for (int i = 0; i < Track::kMaxPoints; ++i) {
        const double a = (left ? -2 : 2) * kPi * i / Track::kMaxPoints;
        points.emplace_back(r * std::cos(a), 2.0, r * std::sin(a), roll);
    }
    return track_through(CurveType::Cardinal, points);
}

// A ring of radius 30 whose height rises and falls smoothly: three hills.
inline Track hills(CurveType type = CurveType::Cardinal, double bank = 0.0) {
    std::vector<ControlPoint> points;
    for (int i = 0; i < 40; ++i) {
        const double a = 2 * kPi * i / 40;
        points.emplace_back(30 * std::cos(a), 8 + 6 * std::sin(3 * a), 30 * std::sin(a),
                            bank * std::sin(2 * a));
    }
    return track_through(type, points);
}

// The roll that gives a bank of `radians` through the track's own pi.
inline double roll_of(double radians) {
    return radians * 180 / angles::kTrackPi;
}

} // namespace ride_test
