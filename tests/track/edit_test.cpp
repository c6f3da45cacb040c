// Adding and removing points: the whole ring is resampled along the Cardinal
// curve and the handles are rebuilt.
#include <gtest/gtest.h>

#include "track/track.h"
#include "track_test_support.h"

using track_test::expect_near;

TEST(AddRemovePoints, AddThenRemoveOnTheDefaultTrackWhateverTheType) {
    for (CurveType type : track_test::kCurveTypes) {
        SCOPED_TRACE(type);
        Track track(type);
        track.add_point();
        ASSERT_EQ(track.num_points(), 5);
        EXPECT_EQ(track.curve_type(), type);
        expect_near(track.point(0), -2.501, 1.0, -2.5);
        expect_near(track.point(1), -2.9002320, 1.0, 1.7409281);
        expect_near(track.point(2), 0.6207441, 1.0, 3.1004960);
        expect_near(track.point(3), 3.1007440, 1.0, 0.6195034);
        expect_near(track.point(4), 1.7397678, 1.0, -2.9009281);
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(track.point(i).roll, 0.0);
        }

        // Removing does not restore the square: the ring shrinks to its curve.
        track.remove_point();
        ASSERT_EQ(track.num_points(), 4);
        expect_near(track.point(0), -2.501, 1.0, -2.5);
        expect_near(track.point(1), -2.2712297, 1.0, 2.3734288);
        expect_near(track.point(2), 2.1658661, 1.0, 2.1649997);
        expect_near(track.point(3), 2.3725201, 1.0, -2.2721789);
    }
}

TEST(AddRemovePoints, RollsAreResampledLinearlyAtFloatSpacing) {
    Track track(CurveType::Cardinal);
    track.point(1).roll = 90;
    track.add_point();
    ASSERT_EQ(track.num_points(), 5);
    // The spacing 0.8 is a float, hence the stray digits.
    EXPECT_EQ(track.point(0).roll, 0.0);
    EXPECT_NEAR(track.point(1).roll, 72.0000011, 5e-7);
    EXPECT_NEAR(track.point(2).roll, 35.9999979, 5e-7);
    EXPECT_EQ(track.point(3).roll, 0.0);
    EXPECT_EQ(track.point(4).roll, 0.0);
}

TEST(AddRemovePoints, ResampleUsesTheTensionAndRebuildsHandles) {
    Track track(CurveType::Bezier);
    track.set_tension(1.0f); // straight segments between points
    track.bezier_handle(3).set_position(40, 40, 40);
    track.add_point();
    // Point 1 lies at u = 0.8 on the straight first segment, eased by 3t^2 - 2t^3.
    const double w = 3 * 0.8 * 0.8 - 2 * 0.8 * 0.8 * 0.8;
    expect_near(track.point(1), -2.501 + w * 0.001, 1.0, -2.5 + w * 5.001, 1e-6);
    // The dragged handle is gone: every handle sits beside its new chord.
    Track fresh = track;
    fresh.make_handles();
    for (int k = 0; k < 2 * track.num_points(); ++k) {
        EXPECT_EQ(track.bezier_handle(k).x, fresh.bezier_handle(k).x);
        EXPECT_EQ(track.bezier_handle(k).y, fresh.bezier_handle(k).y);
        EXPECT_EQ(track.bezier_handle(k).z, fresh.bezier_handle(k).z);
    }
}

TEST(AddRemovePoints, CountStaysBetweenFourAndOneHundred) {
    Track track(CurveType::Cardinal);
    track.remove_point();
    EXPECT_EQ(track.num_points(), 4);
    expect_near(track.point(1), -2.5, 1.0, 2.501, 0.0);

    for (int i = 0; i < 120; ++i) {
        track.add_point();
    }
    ASSERT_EQ(track.num_points(), 100);
    const ControlPoint last = track.point(99);
    track.add_point();
    EXPECT_EQ(track.num_points(), 100);
    EXPECT_EQ(track.point(99).x, last.x);
    EXPECT_EQ(track.point(99).z, last.z);

    track.remove_point();
    EXPECT_EQ(track.num_points(), 99);
    for (int i = 0; i < 99; ++i) {
        EXPECT_TRUE(track_test::finite(track.position_at(i + 0.5f)));
    }
}
