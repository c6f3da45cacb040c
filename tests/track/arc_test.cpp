// Arc length and advance: the worked numbers of the default track, the plain
// reference walk on random tracks, and the walks that must end however they
// are asked.
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "track/evaluation_counter.h"
#include "track/track.h"
#include "track_test_support.h"

namespace {
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
} // namespace

TEST(ArcLength, DefaultTrackOfEachType) {
    EXPECT_NEAR(Track(CurveType::Cardinal).length(), 21.0173455, 1e-7);
    EXPECT_NEAR(Track(CurveType::Linear).length(), 20.0039742, 1e-7);
    EXPECT_NEAR(Track(CurveType::BSpline).length(), 14.6019823, 1e-7);
    EXPECT_NEAR(Track(CurveType::Bezier).length(), 20.6638329, 1e-7);
}

TEST(Advance, WorkedNumbersOfTheDefaultTrack) {
    const Track track(CurveType::Cardinal);
    // The first chord, 0.0177701 long, already reaches 0.01.
    EXPECT_EQ(track.advance(0.01, 0.0f), 0.00499999989f);
    EXPECT_EQ(track.advance(1.0, 0.0f), 0.229999915f);
    EXPECT_EQ(track.advance(0.65, 0.0f), 0.159999982f);
    EXPECT_EQ(track.advance(0.1, 0.0f), 0.0299999975f);
    // Across the end (the sample after 3.99 is 0.0) and past a whole lap.
    EXPECT_EQ(track.advance(2.2, 3.9f), 0.369999796f);
    EXPECT_EQ(track.advance(0.1, 3.99f), 0.0199999996f);
    EXPECT_EQ(track.advance(25.0, 0.0f), 0.724999487f);
    // Backward: from u = 0 the first sample is already at the end of the ring.
    EXPECT_EQ(track.advance(-0.01, 0.0f), 3.99499989f);
    EXPECT_EQ(track.advance(-1.0, 0.0f), 3.76999474f);
    EXPECT_EQ(track.advance(-0.7, 2.0f), 1.83000016f);
    EXPECT_EQ(track.advance(-2.2, 2.0f), 1.56500041f);
    EXPECT_EQ(track.advance(-2.2, 0.1f), 3.6289916f);
    // A chord that reaches the distance exactly ends the walk.
    EXPECT_EQ(track.advance(length(track.position_at(0.005f) - track.position_at(0.0f)), 0.0f),
              0.005f);
    // Zero of either sign, or no finite distance at all, stays put.
    for (double d : {0.0, -0.0, kNaN, kInf, -kInf}) {
        EXPECT_EQ(track.advance(d, 1.75f), 1.75f) << d;
    }
}

// The library evaluates each sample once and shortens very long walks; the
// reference evaluates both ends of every chord. Up to seven laps either way
// the results agree bit for bit, with one evaluation per chord plus one.
TEST(Advance, MatchesTheReferenceWalkBitForBit) {
    std::mt19937 rng(2024);
    EvaluationCounter evaluations;
    for (int trial = 0; trial < 40; ++trial) {
        const Track track = track_test::random_track(rng, 4, 30);
        const int n = track.num_points();
        const double lap = reference::length(track);
        EXPECT_EQ(track.length(), lap);
        std::uniform_real_distribution<float> start(0.0f, static_cast<float>(n));
        std::uniform_real_distribution<double> laps(-7.0, 7.0);
        for (int k = 0; k < 6; ++k) {
            const float u = k == 0 ? 0.0f : start(rng);
            const double distance = k == 1 ? 0.001 : laps(rng) * lap;
            SCOPED_TRACE(testing::Message() << "n " << n << " d " << distance << " u " << u);
            const reference::Walk want = reference::advance(track, distance, u);
            evaluations.reset();
            EXPECT_EQ(track.advance(distance, u), want.u);
            EXPECT_EQ(evaluations.count(), static_cast<std::uint64_t>(want.steps + 1));
        }
    }
}

// Beyond eight laps the walk drops whole laps of the distance; it must still
// land where the remainder leads, to within a step or two. Forward laps
// restart at u = 0 and repeat exactly; backward laps restart on a grid
// shifted by the float sums, whose chords cut a curve's corners differently,
// so the backward case is checked on the smooth B-spline.
TEST(Advance, ManyLapsLandWhereTheRemainderLeads) {
    std::mt19937 rng(5);
    for (int trial = 0; trial < 6; ++trial) {
        Track track = track_test::random_track(rng, 4, 12);
        const int n = track.num_points();
        for (double sign : {1.0, -1.0}) {
            if (sign < 0) {
                track.set_curve_type(CurveType::BSpline);
            }
            const double lap = reference::lap(track);
            for (double rest : {0.37 * lap, 0.81 * lap}) {
                for (double laps : {12.0, 1e4, 1e9}) {
                    const float want = track.advance(sign * rest, 0.0f);
                    float gap = std::fabs(track.advance(sign * (laps * lap + rest), 0.0f) - want);
                    EXPECT_LT(std::min(gap, n - gap), 0.011f)
                        << "sign " << sign << " laps " << laps;
                }
            }
        }
    }
}

TEST(Advance, TracksWithNothingToWalkReturnU) {
    for (CurveType type : track_test::kCurveTypes) {
        SCOPED_TRACE(type);
        Track track(type);
        for (int i = 0; i < 4; ++i) {
            track.point(i).set_position(1, 1, 1);
        }
        track.make_handles();
        EXPECT_EQ(track.length(), 0.0);
        EvaluationCounter evaluations;
        EXPECT_EQ(track.advance(0.5, 1.25f), 1.25f);
        EXPECT_EQ(track.advance(-3.0, 2.0f), 2.0f);
        EXPECT_EQ(track.advance(1e300, 0.0f), 0.0f);
        // Each gives up after one lap of about 800 samples, not eight.
        EXPECT_LT(evaluations.count(), 3u * 1000u);
    }
    // A point that is not a number: no chord ever counts.
    Track track(CurveType::Cardinal);
    track.point(2).set_position(kNaN, 1, 1);
    EXPECT_EQ(track.advance(1.0, 0.5f), 0.5f);
    EXPECT_EQ(track.advance(-1.0, 3.5f), 3.5f);
    // An infinitely far point: every walk still ends on the ring.
    track.set_curve_type(CurveType::Linear);
    track.point(2).set_position(kInf, 1, 1);
    for (double d : {0.5, -0.5, 100.0, -1e9}) {
        const float got = track.advance(d, 0.25f);
        EXPECT_TRUE(got >= 0.0f && got < 4.0f) << d;
    }
}
