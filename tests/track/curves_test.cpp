// Curve evaluation: the worked positions of each type, their last digits, and
// how the ring closes on itself.
#include <cmath>

#include <gtest/gtest.h>

#include "track/track.h"
#include "track_test_support.h"

using track_test::expect_near;
using track_test::expect_same;

TEST(CurveEvaluation, WorkedPositionsOnTheDefaultTrack) {
    for (CurveType type : {CurveType::Linear, CurveType::Cardinal, CurveType::Bezier}) {
        SCOPED_TRACE(type);
        expect_near(Track(type).position_at(0.0f), -2.501, 1.0, -2.5);
    }
    // Segment 0 of the B-spline is shaped by points 0..3 and misses point 0.
    expect_near(Track(CurveType::BSpline).position_at(0.0f), -1.6666667, 1.0, 1.6673333);
    expect_near(Track(CurveType::BSpline).position_at(0.5f), 0.0004583, 1.0, 2.292125);
    expect_near(Track(CurveType::Linear).position_at(0.5f), -2.5005, 1.0, 0.0005);

    Track cardinal(CurveType::Cardinal);
    expect_near(cardinal.position_at(0.5f), -3.125625, 1.0, 0.000625);
    cardinal.set_tension(0.5f);
    expect_near(cardinal.position_at(0.5f), -2.8130625, 1.0, 0.0005625);
    cardinal.set_tension(1.0f); // straight from point to point, as Linear
    expect_near(cardinal.position_at(0.5f), -2.5005, 1.0, 0.0005);

    const Track bezier(CurveType::Bezier);
    expect_near(bezier.position_at(0.25f), -2.7352656, 1.0, -1.7185469);
    expect_near(bezier.position_at(0.5f), -2.9172708, 1.0, -0.1036042);
    expect_near(bezier.position_at(0.75f), -2.8908906, 1.0, 1.5633906);
}

// The tie spacing and the cars depend on the last bits of every position, so
// each formula keeps its grouping of sums, t and s rounded to float and the
// final division. The numbers below were worked in double arithmetic from
// the formulas in that order, on the default square with its points raised to
// heights 1.2, 2.7, 0.8 and 1.9; at each parameter a regrouped sum changes at
// least one last digit.
TEST(CurveEvaluation, LastDigitsFollowTheOrderOfEvaluation) {
    Track track(CurveType::Linear);
    const double heights[] = {1.2, 2.7, 0.8, 1.9};
    for (int i = 0; i < 4; ++i) {
        track.point(i).y = heights[i];
    }
    track.make_handles();
    expect_same(track.linear_at(0.375f), {-2.500625, 1.7625000000000002, -0.6246250000000002});
    expect_same(track.bspline_at(1.375f), {2.2531477864583334, 1.31875, 0.4651373697916667});
    expect_same(track.bezier_at(3.875f),
                {-2.172208822030855, 1.2460286458333334, -2.7532109033865253});
    track.set_tension(0.1f); // s = float(0.45), whose rounding shows too
    expect_same(track.cardinal_at(0.375f),
                {-3.0281064313405657, 1.7431640606839212, -0.7856845738084519});
    expect_same(track.cardinal_at(0.625f),
                {-3.027791978214169, 2.283398435963318, 0.7868955113028644});
    expect_same(track.cardinal_at(2.875f),
                {2.74622284504096, 1.8305859380867326, -2.1015552783266185});
}

TEST(CurveEvaluation, TypeAndTensionOnlyChangeHowThePointsAreRead) {
    Track track(CurveType::Bezier);
    track.bezier_handle(3).x = 7.0; // a dragged handle stays dragged
    const Track before = track;
    const Point3 at = track.position_at(1.37f);
    track.set_tension(0.7f);
    track.set_curve_type(CurveType::BSpline);
    for (int i = 0; i < 4; ++i) {
        expect_same(track.point(i).position(), before.point(i).position());
    }
    for (int k = 0; k < 8; ++k) {
        expect_same(track.bezier_handle(k).position(), before.bezier_handle(k).position());
    }
    track.set_curve_type(CurveType::Bezier);
    expect_same(track.position_at(1.37f), at);
}

// Turning the ring by one index shifts every curve by one segment, so the last
// segment must read its neighbours from the start of the ring and segment 0 its
// predecessor from the end.
TEST(CurveEvaluation, RingSeamReadsNeighboursFromTheOtherEnd) {
    std::mt19937 rng(7);
    for (int trial = 0; trial < 20; ++trial) {
        const Track track = track_test::random_track(rng, 4, 12);
        const int n = track.num_points();
        Track turned = track;
        for (int i = 0; i < n; ++i) {
            turned.point(i) = track.point((i + 1) % n);
        }
        for (int k = 0; k < 2 * n; ++k) {
            turned.bezier_handle(k) = track.bezier_handle((k + 2) % (2 * n));
        }
        for (int i = 0; i < n; ++i) {
            for (float t : {0.0f, 0.25f, 0.875f}) {
                const float u = i + t;
                const float later = (i + 1) % n + t;
                SCOPED_TRACE(testing::Message() << "n " << n << " u " << u);
                expect_same(turned.linear_at(u), track.linear_at(later));
                expect_same(turned.cardinal_at(u), track.cardinal_at(later));
                expect_same(turned.bspline_at(u), track.bspline_at(later));
                expect_same(turned.bezier_at(u), track.bezier_at(later));
            }
        }
    }
}

TEST(CurveEvaluation, InterpolatingTypesPassThroughTheirPoints) {
    std::mt19937 rng(11);
    for (int trial = 0; trial < 20; ++trial) {
        Track track = track_test::random_track(rng);
        for (CurveType type : {CurveType::Linear, CurveType::Cardinal, CurveType::Bezier}) {
            track.set_curve_type(type);
            for (int i = 0; i < track.num_points(); ++i) {
                SCOPED_TRACE(testing::Message() << "type " << type << " i " << i);
                const ControlPoint& c = track.point(i);
                expect_near(track.position_at(static_cast<float>(i)), c.x, c.y, c.z, 1e-13);
            }
        }
    }
}
