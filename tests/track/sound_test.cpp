// Queries that the editor can produce but that a plain reading of the curve
// math would get wrong: parameters off the ring, tracks with no length, huge
// or non-finite distances.
#include <cfloat>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "track/evaluation_counter.h"
#include "track/track.h"
#include "track_test_support.h"

using track_test::expect_same;
using track_test::finite;

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

void expect_same_frame(const Track& track, float u, float same_as) {
    SCOPED_TRACE(testing::Message() << "u " << u << " reads as " << same_as);
    expect_same(track.position_at(u), track.position_at(same_as));
    EXPECT_EQ(track.roll_at(u), track.roll_at(same_as));
    expect_same(track.tangent_at(u), track.tangent_at(same_as));
    expect_same(track.side_at(u), track.side_at(same_as));
    expect_same(track.up_at(u), track.up_at(same_as));
    EXPECT_EQ(track.heading_at(u), track.heading_at(same_as));
    EXPECT_EQ(track.pitch_at(u), track.pitch_at(same_as));
}

} // namespace

// The parameter animation lets the car's u reach the point count exactly.
TEST(ParameterOffTheRing, PointCountIsTheStartOfTheRing) {
    for (CurveType type : track_test::kCurveTypes) {
        SCOPED_TRACE(type);
        Track track(type);
        track.point(0).roll = 20;
        expect_same_frame(track, 4.0f, 0.0f);
        track.add_point();
        expect_same_frame(track, 5.0f, 0.0f);
    }
}

TEST(ParameterOffTheRing, WholeLapsAwayReadTheSamePoint) {
    Track track(CurveType::Cardinal);
    track.point(2).roll = -40;
    track.point(2).set_position(3, 2, 2);
    for (CurveType type : track_test::kCurveTypes) {
        SCOPED_TRACE(type);
        track.set_curve_type(type);
        expect_same_frame(track, -0.5f, 3.5f);
        expect_same_frame(track, -2.75f, 1.25f);
        expect_same_frame(track, 1025.5f, 1.5f);
        expect_same_frame(track, -4096.25f, 3.75f);
        expect_same_frame(track, 7.0f, 3.0f);
    }
}

TEST(ParameterOffTheRing, HugeAndNonFiniteParametersAreSafe) {
    Track track(CurveType::Bezier);
    for (CurveType type : track_test::kCurveTypes) {
        track.set_curve_type(type);
        for (float u : {1e30f, -1e30f, FLT_MAX, -FLT_MAX, 16777217.0f, -3e9f}) {
            SCOPED_TRACE(testing::Message() << "type " << type << " u " << u);
            EXPECT_TRUE(finite(track.position_at(u)));
            EXPECT_NEAR(length(track.tangent_at(u)), 1.0, 1e-12);
            EXPECT_TRUE(finite(track.up_at(u)));
            EXPECT_TRUE(std::isfinite(track.heading_at(u)));
            EXPECT_TRUE(std::isfinite(track.pitch_at(u)));
            const float a = track.advance(1.0, u);
            EXPECT_TRUE(a >= 0.0f && a < 4.0f) << a;
        }
        for (float u : {kNaN, kInf, -kInf}) {
            expect_same_frame(track, u, 0.0f);
        }
    }
}

TEST(AdvanceGuards, OffRingStartWrapsFirst) {
    const Track track(CurveType::Cardinal);
    EXPECT_EQ(track.advance(1.0, 4.0f), track.advance(1.0, 0.0f));
    EXPECT_EQ(track.advance(-1.0, -4.0f), track.advance(-1.0, 0.0f));
    EXPECT_EQ(track.advance(2.2, 7.9f), 0.369999796f);
    EXPECT_EQ(track.advance(0.0, 4.0f), 0.0f);
    EXPECT_EQ(track.advance(0.5, kNaN), track.advance(0.5, 0.0f));
}

TEST(AdvanceGuards, NonFiniteDistanceReturnsU) {
    const Track track(CurveType::Cardinal);
    for (double d :
         {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
          -std::numeric_limits<double>::infinity()}) {
        EXPECT_EQ(track.advance(d, 1.75f), 1.75f);
    }
}

TEST(AdvanceGuards, TrackWithoutLengthReturnsUAfterOneLap) {
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
        // Each gives up after about one lap of 800 samples, not eight.
        EXPECT_LT(evaluations.count(), 3u * 1000u);
    }
}

TEST(AdvanceGuards, NaNCoordinateReturnsU) {
    Track track(CurveType::Cardinal);
    track.point(2).set_position(std::numeric_limits<double>::quiet_NaN(), 1, 1);
    EXPECT_EQ(track.advance(1.0, 0.5f), 0.5f);
    EXPECT_EQ(track.advance(-1.0, 3.5f), 3.5f);
}

TEST(AdvanceGuards, InfiniteCoordinateStillEndsOnTheRing) {
    Track track(CurveType::Linear);
    track.point(2).set_position(std::numeric_limits<double>::infinity(), 1, 1);
    for (double d : {0.5, -0.5, 100.0, -1e9}) {
        const float got = track.advance(d, 0.25f);
        EXPECT_TRUE(got >= 0.0f && got < 4.0f) << d;
    }
}

// Beyond a few laps the walk drops whole laps of the distance; the result must
// still be where the remainder of the distance leads, to within a step or two.
// Forward laps restart at u = 0 and repeat exactly. Backward laps restart on a
// grid shifted by the float sums, and on a curve with corners the chords of a
// shifted grid cut the corners by different amounts, so the backward case is
// checked on the smooth B-spline.
TEST(AdvanceGuards, ManyLapsLandWhereTheRemainderLeads) {
    std::mt19937 rng(5);
    for (int trial = 0; trial < 6; ++trial) {
        Track track = track_test::random_track(rng, {4, 12});
        const int n = track.num_points();
        for (bool forward : {true, false}) {
            if (!forward) {
                track.set_curve_type(CurveType::BSpline);
            }
            const double lap = track_test::reference_lap(track);
            const double sign = forward ? 1.0 : -1.0;
            for (double rest : {0.37 * lap, 0.81 * lap}) {
                for (double laps : {12.0, 1e4, 1e9}) {
                    SCOPED_TRACE(testing::Message() << "trial " << trial << " forward " << forward
                                                    << " laps " << laps);
                    const float want = track.advance(sign * rest, 0.0f);
                    const float got = track.advance(sign * (laps * lap + rest), 0.0f);
                    float gap = std::fabs(got - want);
                    gap = std::min(gap, n - gap);
                    EXPECT_LT(gap, 0.011f);
                }
            }
        }
    }
}

TEST(AdvanceGuards, FewLapsAreWalkedSampleBySample) {
    const Track track(CurveType::Cardinal);
    const double lap = track_test::reference_lap(track);
    for (double d : {6.5 * lap, -6.5 * lap}) {
        EXPECT_EQ(track.advance(d, 1.3f), track_test::reference_advance(track, d, 1.3f).u);
    }
}
