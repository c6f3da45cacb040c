// Helpers shared by the track and scene tests: point checks and seeded random
// tracks; the plain reference walks are in reference_walk.h. No test cases here.
#pragma once

#include <ostream>
#include <random>

#include <gtest/gtest.h>

#include "reference_walk.h"
#include "track/track.h"

// Test messages show a curve type by its number.
inline std::ostream& operator<<(std::ostream& out, CurveType type) {
    return out << static_cast<int>(type);
}

namespace track_test {

constexpr CurveType kCurveTypes[] = {CurveType::Linear, CurveType::Cardinal, CurveType::BSpline,
                                     CurveType::Bezier};

inline void expect_near(const Point3& p, double x, double y, double z, double tol = 5e-7) {
    EXPECT_NEAR(p.x, x, tol);
    EXPECT_NEAR(p.y, y, tol);
    EXPECT_NEAR(p.z, z, tol);
}

inline void expect_near(const ControlPoint& p, double x, double y, double z, double tol = 5e-7) {
    expect_near(p.position(), x, y, z, tol);
}

inline void expect_same(const Point3& a, const Point3& b) {
    EXPECT_EQ(a.x, b.x);
    EXPECT_EQ(a.y, b.y);
    EXPECT_EQ(a.z, b.z);
}

// A track of min..max points scattered over a 20 x 10 x 20 box, rolls in
// -180..180, any curve type, tension in [0, 1], handles rebuilt.
inline Track random_track(std::mt19937& rng, int min_points = Track::kMinPoints,
                          int max_points = Track::kMaxPoints) {
    std::uniform_real_distribution<double> across(-10.0, 10.0);
    std::uniform_real_distribution<double> roll(-180.0, 180.0);
    Track track(static_cast<CurveType>(std::uniform_int_distribution<int>(0, 3)(rng)));
    const int n = std::uniform_int_distribution<int>(min_points, max_points)(rng);
    while (track.num_points() < n) {
        track.add_point();
    }
    for (int i = 0; i < n; ++i) {
        const double x = across(rng);
        const double y = across(rng) / 2 + 5;
        const double z = across(rng);
        track.point(i) = ControlPoint(x, y, z, roll(rng));
    }
    track.set_tension(std::uniform_real_distribution<float>(0.0f, 1.0f)(rng));
    track.make_handles();
    return track;
}

} // namespace track_test
