// Curve evaluation on the default square and around the seam of the ring.
#include <gtest/gtest.h>

#include "track/evaluation_counter.h"
#include "track/track.h"
#include "track_test_support.h"

using track_test::expect_near;
using track_test::expect_same;

TEST(CurveEvaluation, EveryTypeAtTheStartOfTheDefaultTrack) {
    for (CurveType type : {CurveType::Linear, CurveType::Cardinal, CurveType::Bezier}) {
        SCOPED_TRACE(type);
        expect_near(Track(type).position_at(0.0f), -2.501, 1.0, -2.5);
    }
    // The B-spline is shaped by points 0..3 on segment 0 and misses point 0.
    expect_near(Track(CurveType::BSpline).position_at(0.0f), -1.6666667, 1.0, 1.6673333);
}

TEST(CurveEvaluation, MidSegmentValuesOfEachType) {
    expect_near(Track(CurveType::Linear).position_at(0.5f), -2.5005, 1.0, 0.0005);
    expect_near(Track(CurveType::BSpline).position_at(0.5f), 0.0004583, 1.0, 2.292125);

    Track cardinal(CurveType::Cardinal);
    expect_near(cardinal.position_at(0.5f), -3.125625, 1.0, 0.000625);
    cardinal.set_tension(0.5f);
    expect_near(cardinal.position_at(0.5f), -2.8130625, 1.0, 0.0005625);
    cardinal.set_tension(1.0f);
    expect_near(cardinal.position_at(0.5f), -2.5005, 1.0, 0.0005);

    Track bezier(CurveType::Bezier);
    expect_near(bezier.position_at(0.25f), -2.7352656, 1.0, -1.7185469);
    expect_near(bezier.position_at(0.5f), -2.9172708, 1.0, -0.1036042);
    expect_near(bezier.position_at(0.75f), -2.8908906, 1.0, 1.5633906);
}

TEST(CurveEvaluation, PositionAtFollowsTheCurveTypeAndCountsEvaluations) {
    Track track(CurveType::Cardinal);
    const float u = 1.37f;
    const Point3 linear = track.linear_at(u);
    const Point3 cardinal = track.cardinal_at(u);
    const Point3 bspline = track.bspline_at(u);
    const Point3 bezier = track.bezier_at(u);

    EvaluationCounter evaluations;
    expect_same(track.position_at(u), cardinal);
    track.set_curve_type(CurveType::Linear);
    expect_same(track.position_at(u), linear);
    track.set_curve_type(CurveType::BSpline);
    expect_same(track.position_at(u), bspline);
    track.set_curve_type(CurveType::Bezier);
    expect_same(track.position_at(u), bezier);
    EXPECT_EQ(evaluations.count(), 4u);

    // Switching back reads the same points the same way.
    track.set_curve_type(CurveType::Cardinal);
    expect_same(track.position_at(u), cardinal);
}

TEST(CurveEvaluation, TypeAndTensionLeavePointsAndHandlesAlone) {
    Track track(CurveType::Cardinal);
    const Track before = track;
    track.set_curve_type(CurveType::Bezier);
    track.set_tension(0.7f);
    track.set_curve_type(CurveType::BSpline);
    for (int i = 0; i < track.num_points(); ++i) {
        EXPECT_EQ(track.point(i).x, before.point(i).x);
        EXPECT_EQ(track.point(i).z, before.point(i).z);
    }
    for (int k = 0; k < 2 * track.num_points(); ++k) {
        EXPECT_EQ(track.bezier_handle(k).x, before.bezier_handle(k).x);
        EXPECT_EQ(track.bezier_handle(k).z, before.bezier_handle(k).z);
    }
}

// Turning the ring by one index shifts every curve by one segment, so the last
// segment must read its neighbours from the start of the ring and segment 0 its
// predecessor from the end.
TEST(CurveEvaluation, RingSeamReadsNeighboursFromTheOtherEnd) {
    std::mt19937 rng(7);
    for (int trial = 0; trial < 20; ++trial) {
        Track track = track_test::random_track(rng, {4, 12});
        const int n = track.num_points();
        Track turned = track;
        for (int i = 0; i < n; ++i) {
            turned.point(i) = track.point((i + 1) % n);
        }
        for (int k = 0; k < 2 * n; ++k) {
            turned.bezier_handle(k) = track.bezier_handle((k + 2) % (2 * n));
        }
        for (float t : {0.0f, 0.25f, 0.5f, 0.875f}) {
            for (int i = 0; i < n; ++i) {
                const float u = static_cast<float>(i) + t;
                const float later = static_cast<float>((i + 1) % n) + t;
                SCOPED_TRACE(testing::Message() << "n " << n << " u " << u);
                expect_same(turned.linear_at(u), track.linear_at(later));
                expect_same(turned.cardinal_at(u), track.cardinal_at(later));
                expect_same(turned.bspline_at(u), track.bspline_at(later));
                expect_same(turned.bezier_at(u), track.bezier_at(later));
            }
        }
    }
}
