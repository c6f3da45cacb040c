// Helpers shared by the track tests: seeded random tracks, the plain
// two-samples-per-step walks to compare the library with, point checks.
// No test cases here.
#pragma once

#include <cmath>
#include <ostream>
#include <random>

#include <gtest/gtest.h>

#include "track/track.h"

// Test messages show a curve type by its number.
inline std::ostream& operator<<(std::ostream& out, CurveType type) {
    return out << static_cast<int>(type);
}

namespace track_test {

// The four curve types, for cases that hold on each.
constexpr CurveType kCurveTypes[] = {CurveType::Linear, CurveType::Cardinal, CurveType::BSpline,
                                     CurveType::Bezier};

inline bool finite(const Point3& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

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

struct RandomTrackOptions {
    int min_points = Track::kMinPoints;
    int max_points = Track::kMaxPoints;
};

// A track of 4 to 100 points scattered over a 20 x 10 x 20 box, rolls in
// -180..180, any curve type and a tension in [0, 1]; handles rebuilt for the
// new points.
inline Track random_track(std::mt19937& rng, RandomTrackOptions options = {}) {
    std::uniform_int_distribution<int> count(options.min_points, options.max_points);
    std::uniform_int_distribution<int> type(0, 3);
    std::uniform_real_distribution<double> across(-10.0, 10.0);
    std::uniform_real_distribution<double> height(0.0, 10.0);
    std::uniform_real_distribution<double> roll(-180.0, 180.0);
    std::uniform_real_distribution<float> tension(0.0f, 1.0f);

    Track track(static_cast<CurveType>(type(rng)));
    const int n = count(rng);
    while (track.num_points() < n) {
        track.add_point();
    }
    for (int i = 0; i < n; ++i) {
        const double x = across(rng);
        const double y = height(rng);
        const double z = across(rng);
        track.point(i).set_position(x, y, z);
        track.point(i).roll = roll(rng);
    }
    track.set_tension(tension(rng));
    track.make_handles();
    return track;
}

// The arc length walk done the plain way: two fresh samples per chord.
inline double reference_length(const Track& track) {
    const float step = 0.05f;
    double sum = 0.0;
    float u = 0.0f;
    while (u < track.num_points() - static_cast<double>(step)) {
        const Point3 a = track.position_at(u);
        const Point3 b = track.position_at(static_cast<float>(u + step));
        sum += length(b - a);
        u = static_cast<float>(u + step);
    }
    return sum;
}

struct ReferenceWalk {
    float u;
    long steps; // chords summed
};

// The advance walk done the plain way: two fresh samples per step, no guard
// against tracks it cannot finish on.
inline ReferenceWalk reference_advance(const Track& track, double distance, float u) {
    if (distance == 0) {
        return {u, 0};
    }
    const int n = track.num_points();
    const float step = 0.005f;
    auto forward = [&](float v) {
        return static_cast<double>(v) + step > n - 0.01
                   ? 0.0f
                   : static_cast<float>(v + static_cast<double>(step));
    };
    auto backward = [&](float v) {
        const double w = static_cast<double>(v) - step;
        float r = w < 0 ? static_cast<float>(n + w) : static_cast<float>(w);
        if (r == n) {
            r = static_cast<float>(n - 0.001);
        }
        return r;
    };
    double sum = 0.0;
    long steps = 0;
    float next = distance > 0 ? forward(u) : backward(u);
    for (;;) {
        const Point3 a = track.position_at(u);
        const Point3 b = track.position_at(next);
        sum += length(b - a);
        ++steps;
        if (sum >= std::fabs(distance)) {
            return {next, steps};
        }
        u = next;
        next = distance > 0 ? forward(next) : backward(next);
    }
}

// Chord sum of one forward lap of the advance grid, from 0 back to 0.
inline double reference_lap(const Track& track) {
    double sum = 0.0;
    float u = 0.0f;
    do {
        const float next = static_cast<double>(u) + 0.005f > track.num_points() - 0.01
                               ? 0.0f
                               : static_cast<float>(u + static_cast<double>(0.005f));
        sum += length(track.position_at(next) - track.position_at(u));
        u = next;
    } while (u != 0.0f);
    return sum;
}

} // namespace track_test
