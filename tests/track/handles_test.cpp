// Automatic Bezier handles beside each chord, with and without bank and height.
#include <gtest/gtest.h>

#include "track/track.h"
#include "track_test_support.h"

using track_test::expect_near;

TEST(BezierHandles, DefaultTrackHasEightHandlesOutsideTheSquare) {
    const Track track(CurveType::Cardinal);
    const double expected[8][2] = {{-5.00125, -1.24925}, {-5.00075, 1.25125}, {-1.24925, 5.00125},
                                   {1.25125, 5.00075},   {5.00125, 1.24925},  {5.00075, -1.25125},
                                   {1.24925, -5.00125},  {-1.25125, -5.00075}};
    for (int k = 0; k < 8; ++k) {
        SCOPED_TRACE(k);
        expect_near(track.bezier_handle(k), expected[k][0], 1.0, expected[k][1]);
        EXPECT_EQ(track.bezier_handle(k).roll, 0.0);
    }
}

TEST(BezierHandles, BankOfTheChordLiftsOrTurnsTheHandlesOver) {
    struct Case {
        double roll;
        double h0[3];
        double h1[3];
    };
    const Case cases[] = {
        {45, {-4.2688717, 2.7681194, -1.2493964}, {-4.2683717, 2.7681194, 1.2511036}},
        {90, {-2.5007533, 3.5005000, -1.2497500}, {-2.5002533, 3.5005000, 1.2507500}},
        // Beyond 90 the side vector is that of roll - 180: the handles point down.
        {135, {-4.2688670, -0.7681241, -1.2493964}, {-4.2683670, -0.7681241, 1.2511036}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.roll);
        Track track(CurveType::Bezier);
        track.point(0).roll = c.roll;
        track.point(1).roll = c.roll;
        track.make_handles();
        expect_near(track.bezier_handle(0), c.h0[0], c.h0[1], c.h0[2]);
        expect_near(track.bezier_handle(1), c.h1[0], c.h1[1], c.h1[2]);
        // The segment from point 2 to point 3 has no bank and stays level.
        expect_near(track.bezier_handle(4), 5.00125, 1.0, 1.24925);
        EXPECT_EQ(track.curve_type(), CurveType::Bezier);
    }
}

TEST(BezierHandles, RaisedPointTiltsTheChord) {
    for (CurveType type : track_test::kCurveTypes) {
        SCOPED_TRACE(type);
        Track track(type);
        track.point(1).set_position(-2.5, 3.0, 2.501);
        track.make_handles();
        expect_near(track.bezier_handle(0), -5.1937966, 1.5, -1.2492115);
        expect_near(track.bezier_handle(1), -5.1932966, 2.5, 1.2512885);
        EXPECT_EQ(track.curve_type(), type);
    }
}

TEST(BezierHandles, MovingPointsKeepsHandlesUntilRebuilt) {
    Track track(CurveType::Bezier);
    const ControlPoint before = track.bezier_handle(0);
    track.point(0).set_position(-4.0, 2.0, -4.0);
    track.point(0).roll = 30;
    EXPECT_EQ(track.bezier_handle(0).x, before.x);
    EXPECT_EQ(track.bezier_handle(0).y, before.y);
    EXPECT_EQ(track.bezier_handle(0).z, before.z);
    track.make_handles();
    EXPECT_NE(track.bezier_handle(0).x, before.x);
}
