// Properties that hold on any track: seeded random rings of 4 to 100 points,
// every curve type, rolls in -180..180, tension in [0, 1].
#include <cmath>

#include <gtest/gtest.h>

#include "track/track.h"
#include "track_test_support.h"

using track_test::finite;

TEST(TrackProperties, InterpolatingTypesPassThroughTheirPoints) {
    std::mt19937 rng(11);
    for (int trial = 0; trial < 40; ++trial) {
        Track track = track_test::random_track(rng);
        for (CurveType type : {CurveType::Linear, CurveType::Cardinal, CurveType::Bezier}) {
            track.set_curve_type(type);
            for (int i = 0; i < track.num_points(); ++i) {
                SCOPED_TRACE(testing::Message()
                             << "trial " << trial << " type " << type << " i " << i);
                const Point3 p = track.position_at(static_cast<float>(i));
                const ControlPoint& c = track.point(i);
                EXPECT_NEAR(p.x, c.x, 1e-14 * (1 + std::fabs(c.x)));
                EXPECT_NEAR(p.y, c.y, 1e-14 * (1 + std::fabs(c.y)));
                EXPECT_NEAR(p.z, c.z, 1e-14 * (1 + std::fabs(c.z)));
            }
        }
    }
}

TEST(TrackProperties, FrameIsUnitAndEverythingFinite) {
    std::mt19937 rng(12);
    for (int trial = 0; trial < 40; ++trial) {
        const Track track = track_test::random_track(rng);
        const int n = track.num_points();
        EXPECT_TRUE(std::isfinite(track.length()));
        for (int k = 0; k < 4 * n; ++k) {
            const float u = static_cast<float>(k * 0.25 + 0.013);
            SCOPED_TRACE(testing::Message() << "trial " << trial << " u " << u);
            EXPECT_TRUE(finite(track.position_at(u)));
            EXPECT_NEAR(length(track.tangent_at(u)), 1.0, 1e-12);
            EXPECT_NEAR(length(track.side_at(u)), 1.0, 1e-12);
            const Point3 up = track.up_at(u);
            EXPECT_TRUE(finite(up));
            EXPECT_LE(length(up), 1.0 + 1e-12);
            EXPECT_TRUE(std::isfinite(track.heading_at(u)));
            EXPECT_TRUE(std::isfinite(track.pitch_at(u)));
            EXPECT_TRUE(std::isfinite(track.roll_at(u)));
            EXPECT_GE(track.roll_at(u), -180.0);
            EXPECT_LE(track.roll_at(u), 180.0);
        }
    }
}

TEST(TrackProperties, SideIsAtRightAnglesToTangentAndUpKeepsTheRoofUp) {
    std::mt19937 rng(13);
    for (int trial = 0; trial < 30; ++trial) {
        const Track track = track_test::random_track(rng, {4, 20});
        for (int k = 0; k < 20; ++k) {
            const float u = static_cast<float>(k * track.num_points() / 20.0 + 0.01);
            const Point3 t = track.tangent_at(u);
            const Point3 s = track.side_at(u);
            const Point3 up = track.up_at(u);
            const double roll = track.roll_at(u);
            SCOPED_TRACE(testing::Message() << "trial " << trial << " u " << u);
            if (std::fabs(t.y) < 0.99 && std::fabs(std::fabs(roll) - 90) > 1) {
                // The bank lifts the side vector within the vertical plane
                // across the track, so it stays square to a level track only;
                // up must be square to both and lean to the roof's side.
                EXPECT_NEAR(dot(up, t), 0.0, 1e-9);
                EXPECT_NEAR(dot(up, s), 0.0, 1e-9);
                const double roof = std::cos(roll * 3.14159 / 180);
                EXPECT_GT(up.y * (roof >= 0 ? 1 : -1), -1e-9);
            }
        }
    }
}

TEST(TrackProperties, AdvanceStaysOnTheRing) {
    std::mt19937 rng(14);
    for (int trial = 0; trial < 40; ++trial) {
        const Track track = track_test::random_track(rng, {4, 40});
        const int n = track.num_points();
        const double lap = track.length();
        std::uniform_real_distribution<float> start(0.0f, static_cast<float>(n));
        std::uniform_real_distribution<double> laps(-2.0, 2.0);
        for (int k = 0; k < 10; ++k) {
            const float u = start(rng);
            const double distance = laps(rng) * lap;
            const float got = track.advance(distance, u);
            SCOPED_TRACE(testing::Message()
                         << "trial " << trial << " u " << u << " d " << distance);
            EXPECT_GE(got, 0.0f);
            EXPECT_LT(got, static_cast<float>(n));
        }
    }
}

TEST(TrackProperties, ResamplingKeepsPointZeroAndStaysFinite) {
    std::mt19937 rng(15);
    for (int trial = 0; trial < 30; ++trial) {
        Track track = track_test::random_track(rng, {5, 99});
        const ControlPoint first = track.point(0);
        if (trial % 2 == 0) {
            track.add_point();
        } else {
            track.remove_point();
        }
        EXPECT_EQ(track.point(0).x, first.x);
        EXPECT_EQ(track.point(0).y, first.y);
        EXPECT_EQ(track.point(0).z, first.z);
        EXPECT_EQ(track.point(0).roll, first.roll);
        for (int i = 0; i < track.num_points(); ++i) {
            EXPECT_TRUE(finite(track.point(i).position()));
            EXPECT_GE(track.point(i).roll, -180.0);
            EXPECT_LE(track.point(i).roll, 180.0);
        }
        for (int k = 0; k < 2 * track.num_points(); ++k) {
            EXPECT_TRUE(finite(track.bezier_handle(k).position()));
        }
    }
}
