// Automatic Bezier handles, and adding or removing a point by resampling the
// whole ring along its Cardinal curve.
#include <gtest/gtest.h>

#include "track/track.h"
#include "track_test_support.h"

using track_test::expect_near;
using track_test::expect_same;

TEST(BezierHandles, SitBesideEachChordPushedOutByHalfItsLength) {
    const Track square(CurveType::Cardinal);
    // Each pair lies 2.5005 outside the square, at the quarter points of its side.
    const double outside[8][2] = {{-5.00125, -1.24925}, {-5.00075, 1.25125}, {-1.24925, 5.00125},
                                  {1.25125, 5.00075},   {5.00125, 1.24925},  {5.00075, -1.25125},
                                  {1.24925, -5.00125},  {-1.25125, -5.00075}};
    for (int k = 0; k < 8; ++k) {
        expect_near(square.bezier_handle(k), outside[k][0], 1.0, outside[k][1]);
    }
    // A raised point tilts the chord, whatever type is shown.
    for (CurveType type : track_test::kCurveTypes) {
        Track track(type);
        track.point(1).y = 3.0;
        track.make_handles();
        expect_near(track.bezier_handle(0), -5.1937966, 1.5, -1.2492115);
        expect_near(track.bezier_handle(1), -5.1932966, 2.5, 1.2512885);
        EXPECT_EQ(track.curve_type(), type);
    }
}

TEST(BezierHandles, TheChordsMeanBankLiftsOrTurnsThemOver) {
    const double cases[][7] = {
        {45, -4.2688717, 2.7681194, -1.2493964, -4.2683717, 2.7681194, 1.2511036},
        {90, -2.5007533, 3.5005000, -1.2497500, -2.5002533, 3.5005000, 1.2507500},
        // Beyond 90 the side vector is that of roll - 180: the handles point down.
        {135, -4.2688670, -0.7681241, -1.2493964, -4.2683670, -0.7681241, 1.2511036},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c[0]);
        Track track(CurveType::Bezier);
        track.point(0).roll = c[0];
        track.point(1).roll = c[0];
        track.make_handles();
        expect_near(track.bezier_handle(0), c[1], c[2], c[3]);
        expect_near(track.bezier_handle(1), c[4], c[5], c[6]);
        expect_near(track.bezier_handle(4), 5.00125, 1.0, 1.24925); // unbanked chord stays level
    }
}

TEST(AddRemovePoints, AddThenRemoveOnTheDefaultTrackWhateverTheType) {
    for (CurveType type : track_test::kCurveTypes) {
        SCOPED_TRACE(type);
        Track track(type);
        track.bezier_handle(3).set_position(40, 40, 40);
        track.add_point();
        ASSERT_EQ(track.num_points(), 5);
        EXPECT_EQ(track.curve_type(), type);
        expect_near(track.point(0), -2.501, 1.0, -2.5);
        expect_near(track.point(1), -2.9002320, 1.0, 1.7409281);
        expect_near(track.point(2), 0.6207441, 1.0, 3.1004960);
        expect_near(track.point(3), 3.1007440, 1.0, 0.6195034);
        expect_near(track.point(4), 1.7397678, 1.0, -2.9009281);
        // The dragged handle is gone: all ten sit beside the new chords.
        Track rebuilt = track;
        rebuilt.make_handles();
        for (int k = 0; k < 10; ++k) {
            expect_same(track.bezier_handle(k).position(), rebuilt.bezier_handle(k).position());
        }
        // Removing does not restore the square: the ring shrinks to its curve.
        track.remove_point();
        ASSERT_EQ(track.num_points(), 4);
        expect_near(track.point(0), -2.501, 1.0, -2.5);
        expect_near(track.point(1), -2.2712297, 1.0, 2.3734288);
        expect_near(track.point(2), 2.1658661, 1.0, 2.1649997);
        expect_near(track.point(3), 2.3725201, 1.0, -2.2721789);
    }
    // Rolls are interpolated at the float spacing 0.8, hence the stray digits.
    Track track(CurveType::Cardinal);
    track.point(1).roll = 90;
    track.add_point();
    const double rolls[] = {0.0, 72.0000011, 35.9999979, 0.0, 0.0};
    for (int i = 0; i < 5; ++i) {
        EXPECT_NEAR(track.point(i).roll, rolls[i], 5e-7) << i;
    }
}

// Point i of the new ring lies on the old Cardinal curve, with the old tension,
// at u = i times the spacing n / (n +- 1), both rounded to float (for 6 points
// to 5, point 3 is at 3 * 1.2f, not at 3.6f).
TEST(AddRemovePoints, NewPointsLieOnTheOldCardinalCurveAtFloatSpacing) {
    std::mt19937 rng(15);
    for (int trial = 0; trial < 30; ++trial) {
        Track track = track_test::random_track(rng, 5, 99);
        const Track old = track;
        const int n = old.num_points();
        const int count = trial % 2 == 0 ? n + 1 : n - 1;
        trial % 2 == 0 ? track.add_point() : track.remove_point();
        ASSERT_EQ(track.num_points(), count);
        const float spacing = static_cast<float>(static_cast<double>(n) / count);
        for (int i = 0; i < count; ++i) {
            const float u = static_cast<float>(i * spacing);
            expect_same(track.point(i).position(), old.cardinal_at(u));
            EXPECT_EQ(track.point(i).roll, old.roll_at(u));
        }
    }
}

TEST(AddRemovePoints, CountStaysBetweenFourAndOneHundred) {
    Track track(CurveType::Cardinal);
    track.remove_point();
    EXPECT_EQ(track.num_points(), 4);
    expect_same(track.point(1).position(), {-2.5, 1.0, 2.501});
    for (int i = 0; i < 96; ++i) {
        track.add_point();
    }
    ASSERT_EQ(track.num_points(), 100);
    const ControlPoint last = track.point(99);
    track.add_point();
    EXPECT_EQ(track.num_points(), 100);
    expect_same(track.point(99).position(), last.position());
}
