// Tangent, side and up vectors and the heading, pitch and roll angles.
#include <cmath>

#include <gtest/gtest.h>

#include "track/track.h"
#include "track_test_support.h"

using track_test::expect_near;

TEST(TrackFrame, LevelDefaultTrack) {
    const Track track(CurveType::Cardinal);
    expect_near(track.tangent_at(0.0f), -0.7071008, 0.0, 0.7071127);
    EXPECT_NEAR(track.heading_at(0.0f), -44.9995561, 5e-7);
    EXPECT_EQ(track.pitch_at(0.0f), 0.0);
    expect_near(track.side_at(0.0f), -0.7071127, 0.0, -0.7071008);
    expect_near(track.up_at(0.0f), 0.0, 1.0, 0.0);

    expect_near(track.tangent_at(0.5f), 0.00019995, 0.0, 0.99999998, 5e-8);
    EXPECT_NEAR(track.heading_at(0.5f), 0.0114562, 5e-7);
    EXPECT_NEAR(track.heading_at(1.0f), 45.0114949, 5e-7);
    EXPECT_NEAR(track.heading_at(1.5f), 90.0113809, 5e-7);
    EXPECT_NEAR(track.heading_at(2.5f), 180.0114569, 5e-7);
    EXPECT_NEAR(track.heading_at(3.5f), -89.9886191, 5e-7);
}

TEST(TrackFrame, TangentTakesItsSampleAcrossTheSeam) {
    const Track track(CurveType::Cardinal);
    // Behind 0.01 lies 3.9849; ahead of 3.99 lies 0.015.
    expect_near(track.tangent_at(0.01f), -0.6796379, 0.0, 0.7335477);
    EXPECT_NEAR(track.heading_at(0.01f), -42.8153932, 5e-7);
    EXPECT_NEAR(track.heading_at(3.99f), -47.1727499, 5e-7);
}

TEST(TrackFrame, ClimbingBankedSegment) {
    Track track(CurveType::Cardinal);
    track.point(1).set_position(-2.5, 3.0, 2.501);
    track.point(1).roll = 30;
    EXPECT_NEAR(track.roll_at(0.5f), 15.0, 1e-12);
    expect_near(track.tangent_at(0.5f), 0.0001830, 0.4026098, 0.9153717);
    EXPECT_NEAR(track.pitch_at(0.5f), -23.7414490, 5e-7);
    EXPECT_NEAR(track.heading_at(0.5f), 0.0114562, 5e-7);
    expect_near(track.side_at(0.5f), -0.9659259, 0.2588188, 0.0001931);
    expect_near(track.up_at(0.5f), 0.2368377, 0.8841812, -0.3889386);

    Track falling(CurveType::Cardinal);
    falling.point(0).set_position(-2.501, 3.0, -2.5);
    EXPECT_NEAR(falling.pitch_at(0.5f), 23.7414488, 5e-7);
}

TEST(TrackFrame, SteepBanksTurnTheSideVectorOverAndFlipUp) {
    Track track(CurveType::Cardinal);
    track.point(1).set_position(-2.5, 3.0, 2.501);
    track.point(1).roll = 120;
    EXPECT_NEAR(track.roll_at(0.5f), 60.0, 1e-12);
    expect_near(track.side_at(0.5f), -0.5000008, 0.8660250, 0.0001000);
    expect_near(track.up_at(0.5f), 0.7926945, 0.4576866, -0.2014637);
    // At roll 120 the side vector is that of -60, and up is flipped to match.
    EXPECT_EQ(track.roll_at(1.0f), 120.0);
    expect_near(track.side_at(1.0f), -0.3534816, -0.8660263, 0.3536230);
    expect_near(track.up_at(1.0f), 0.6122506, -0.4999985, -0.6124955);

    // Exactly 90 is not flipped; tan of 90 * 3.14159 / 180 is large but finite.
    track.point(1).roll = 90;
    expect_near(track.side_at(1.0f), -0.0000009, 0.9999999999, 0.0000009);
    expect_near(track.up_at(1.0f), 0.7069654, 0.0000013, -0.7072482);
}

TEST(TrackFrame, RollIsInterpolatedWithoutWrappingAngles) {
    Track track(CurveType::BSpline);
    track.point(2).roll = 170;
    track.point(3).roll = -170;
    EXPECT_EQ(track.roll_at(2.0f), 170.0);
    EXPECT_NEAR(track.roll_at(2.5f), 0.0, 1e-12);
    EXPECT_NEAR(track.roll_at(2.75f), -85.0, 1e-12);
    // The last segment blends back into point 0.
    EXPECT_NEAR(track.roll_at(3.5f), -85.0, 1e-12);
}

namespace {

// A flat Linear ring whose segment 0 runs from a to b, so that the tangent at
// u = 0.5 is exactly the chord direction.
Track chord_track(Point3 a, Point3 b) {
    Track track(CurveType::Linear);
    track.point(0).set_position(a.x, a.y, a.z);
    track.point(1).set_position(b.x, b.y, b.z);
    track.point(2).set_position(5, 1, 5);
    track.point(3).set_position(-5, 1, 5);
    return track;
}

} // namespace

TEST(TrackFrame, AxisParallelTangentsGiveHeadingsOfTheConstant) {
    // atan(+-inf) is +-pi/2; with 3.14159 that is 90.0000760 degrees.
    EXPECT_NEAR(chord_track({0, 1, 0}, {1, 1, 0}).heading_at(0.5f), 270.0000760, 5e-7);
    EXPECT_NEAR(chord_track({1, 1, 0}, {0, 1, 0}).heading_at(0.5f), 89.9999240, 5e-7);
    EXPECT_NEAR(chord_track({0, 1, 0}, {0, 1, 1}).heading_at(0.5f), 0.0, 1e-12);
    EXPECT_NEAR(chord_track({0, 1, 1}, {0, 1, 0}).heading_at(0.5f), 180.0, 1e-12);
}

TEST(TrackFrame, VerticalTangentGivesFiniteAngles) {
    const Track up = chord_track({0, 1, 0}, {0, 3, 0});
    expect_near(up.tangent_at(0.5f), 0.0, 1.0, 0.0, 0.0);
    EXPECT_NEAR(up.pitch_at(0.5f), 90.0000760, 5e-7);
    EXPECT_EQ(up.heading_at(0.5f), 0.0);
    // No horizontal direction to bank from: the side vector is +x.
    expect_near(up.side_at(0.5f), 1.0, 0.0, 0.0, 0.0);
    expect_near(up.up_at(0.5f), 0.0, 0.0, 1.0, 0.0);

    const Track down = chord_track({0, 3, 0}, {0, 1, 0});
    EXPECT_NEAR(down.pitch_at(0.5f), -90.0000760, 5e-7);
    EXPECT_EQ(down.heading_at(0.5f), 0.0);
    expect_near(down.side_at(0.5f), 1.0, 0.0, 0.0, 0.0);
}

TEST(TrackFrame, CoincidentSamplesFaceAlongZ) {
    Track track(CurveType::Cardinal);
    for (int i = 0; i < track.num_points(); ++i) {
        track.point(i).set_position(1.5, 2.0, -3.0);
    }
    expect_near(track.tangent_at(1.3f), 0.0, 0.0, 1.0, 0.0);
    expect_near(track.side_at(1.3f), -1.0, 0.0, 0.0, 0.0);
    EXPECT_EQ(track.heading_at(1.3f), 0.0);
    EXPECT_EQ(track.pitch_at(1.3f), 0.0);
}

TEST(TrackFrame, TinyAndHugeChordsStillGiveUnitVectors) {
    for (double scale : {1e-170, 1e-300, 1e160}) {
        SCOPED_TRACE(scale);
        const Track track = chord_track({0, 0, 0}, {3 * scale, 4 * scale, 0});
        const Point3 t = track.tangent_at(0.5f);
        expect_near(t, 0.6, 0.8, 0.0, 1e-12);
        EXPECT_NEAR(length(track.side_at(0.5f)), 1.0, 1e-12);
        EXPECT_NEAR(track.pitch_at(0.5f), -std::atan(0.8 / 0.6) * 180 / 3.14159, 1e-9);
    }
}
