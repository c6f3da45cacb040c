// Arc length and advance on the default track, compared with the plain
// two-samples-per-step walks on random tracks.
#include <cmath>

#include <gtest/gtest.h>

#include "track/evaluation_counter.h"
#include "track/track.h"
#include "track_test_support.h"

TEST(ArcLength, DefaultTrackOfEachType) {
    EXPECT_NEAR(Track(CurveType::Cardinal).length(), 21.0173455, 1e-7);
    EXPECT_NEAR(Track(CurveType::Linear).length(), 20.0039742, 1e-7);
    EXPECT_NEAR(Track(CurveType::BSpline).length(), 14.6019823, 1e-7);
    EXPECT_NEAR(Track(CurveType::Bezier).length(), 20.6638329, 1e-7);
}

TEST(ArcLength, StopsShortOfTheEndOfTheRing) {
    // The float sums of 0.05 end the walk at 3.9999974 on four points, so the
    // last chord before u = 0 is left out: less than the full square.
    Track track(CurveType::Linear);
    EXPECT_LT(track.length(), 20.0040005);
    track.add_point(); // five points: 99 chords, the last ending at 4.9500008
    EvaluationCounter evaluations;
    track.length();
    EXPECT_EQ(evaluations.count(), 100u);
}

TEST(Advance, ForwardFromTheStart) {
    const Track track(CurveType::Cardinal);
    EXPECT_EQ(track.advance(0.01, 0.0f), 0.00499999989f);
    EXPECT_EQ(track.advance(1.0, 0.0f), 0.229999915f);
    EXPECT_EQ(track.advance(0.65, 0.0f), 0.159999982f);
    EXPECT_EQ(track.advance(0.1, 0.0f), 0.0299999975f);
}

TEST(Advance, ForwardAcrossTheEndAndPastALap) {
    const Track track(CurveType::Cardinal);
    EXPECT_EQ(track.advance(2.2, 3.9f), 0.369999796f);
    EXPECT_EQ(track.advance(0.1, 3.99f), 0.0199999996f);
    EXPECT_EQ(track.advance(25.0, 0.0f), 0.724999487f);
}

TEST(Advance, Backward) {
    const Track track(CurveType::Cardinal);
    EXPECT_EQ(track.advance(-0.01, 0.0f), 3.99499989f);
    EXPECT_EQ(track.advance(-1.0, 0.0f), 3.76999474f);
    EXPECT_EQ(track.advance(-0.7, 2.0f), 1.83000016f);
    EXPECT_EQ(track.advance(-2.2, 2.0f), 1.56500041f);
    EXPECT_EQ(track.advance(-2.2, 0.1f), 3.6289916f);
}

TEST(Advance, ZeroDistanceOfEitherSignReturnsU) {
    const Track track(CurveType::Cardinal);
    EXPECT_EQ(track.advance(0.0, 1.234f), 1.234f);
    EXPECT_EQ(track.advance(-0.0, 2.5f), 2.5f);
}

// The library reuses each sample as the start of the next chord; the plain walk
// evaluates both ends every step. Results must agree bit for bit, and the
// library must need one evaluation per chord plus one.
TEST(Advance, MatchesPlainWalkBitForBitOnRandomTracks) {
    std::mt19937 rng(2024);
    EvaluationCounter evaluations;
    for (int trial = 0; trial < 60; ++trial) {
        Track track = track_test::random_track(rng, {4, 30});
        const int n = track.num_points();
        const double lap = track.length();
        std::uniform_real_distribution<float> start(0.0f, static_cast<float>(n));
        std::uniform_real_distribution<double> laps(-2.5, 2.5);
        for (int k = 0; k < 8; ++k) {
            const float u = k == 0 ? 0.0f : start(rng);
            const double distance = k == 1 ? 0.001 : laps(rng) * lap;
            SCOPED_TRACE(testing::Message()
                         << "trial " << trial << " n " << n << " d " << distance << " u " << u);
            const track_test::ReferenceWalk want =
                track_test::reference_advance(track, distance, u);
            evaluations.reset();
            const float got = track.advance(distance, u);
            EXPECT_EQ(got, want.u);
            if (distance != 0) {
                EXPECT_EQ(evaluations.count(), static_cast<std::uint64_t>(want.steps + 1));
            }
        }
    }
}

TEST(ArcLength, MatchesPlainWalkBitForBitOnRandomTracks) {
    std::mt19937 rng(99);
    for (int trial = 0; trial < 60; ++trial) {
        Track track = track_test::random_track(rng);
        SCOPED_TRACE(trial);
        EXPECT_EQ(track.length(), track_test::reference_length(track));
    }
}
