// The moving frame: tangent, side and up vectors, heading, pitch and roll, on
// the worked tracks, at the special tangents and off the ring.
#include <cfloat>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "track/track.h"
#include "track_test_support.h"

using track_test::expect_near;
using track_test::expect_same;

namespace {

// The default track with point 1 raised to y = 3 and banked by `roll`.
Track raised(double roll) {
    Track track(CurveType::Cardinal);
    track.point(1) = ControlPoint(-2.5, 3.0, 2.501, roll);
    return track;
}

// A flat Linear ring whose segment 0 runs from a to b, so that the tangent at
// u = 0.5 is exactly the chord direction.
Track chord_track(Point3 a, Point3 b) {
    Track track(CurveType::Linear);
    track.point(0).set_position(a);
    track.point(1).set_position(b);
    track.point(2).set_position(5, 1, 5);
    track.point(3).set_position(-5, 1, 5);
    return track;
}

void expect_same_frame(const Track& track, float u, float same_as) {
    SCOPED_TRACE(testing::Message() << "u " << u << " reads as " << same_as);
    expect_same(track.position_at(u), track.position_at(same_as));
    EXPECT_EQ(track.roll_at(u), track.roll_at(same_as));
    expect_same(track.up_at(u), track.up_at(same_as));
    EXPECT_EQ(track.heading_at(u), track.heading_at(same_as));
    EXPECT_EQ(track.pitch_at(u), track.pitch_at(same_as));
    EXPECT_EQ(track.advance(1.0, u), track.advance(1.0, same_as));
}

} // namespace

TEST(TrackFrame, LevelDefaultTrack) {
    const Track track(CurveType::Cardinal);
    expect_near(track.tangent_at(0.0f), -0.7071008, 0.0, 0.7071127);
    EXPECT_NEAR(track.heading_at(0.0f), -44.9995561, 5e-7);
    EXPECT_EQ(track.pitch_at(0.0f), 0.0);
    expect_near(track.side_at(0.0f), -0.7071127, 0.0, -0.7071008);
    expect_near(track.up_at(0.0f), 0.0, 1.0, 0.0);
    expect_near(track.tangent_at(0.5f), 0.00019995, 0.0, 0.99999998, 5e-8);
    const double headings[][2] = {
        {0.5, 0.0114562},
        {1.0, 45.0114949},
        {1.5, 90.0113809},
        {2.5, 180.0114569},
        {3.5, -89.9886191},
        // Samples across the seam: 3.9849 behind 0.01, 0.015 ahead of 3.99.
        {0.01, -42.8153932},
        {3.99, -47.1727499}};
    for (const auto& h : headings) {
        EXPECT_NEAR(track.heading_at(static_cast<float>(h[0])), h[1], 5e-7) << h[0];
    }
    expect_near(track.tangent_at(0.01f), -0.6796379, 0.0, 0.7335477);
}

TEST(TrackFrame, BankedClimbAndDescent) {
    const Track track = raised(30);
    EXPECT_NEAR(track.roll_at(0.5f), 15.0, 1e-12);
    expect_near(track.tangent_at(0.5f), 0.0001830, 0.4026098, 0.9153717);
    EXPECT_NEAR(track.pitch_at(0.5f), -23.7414490, 5e-7);
    EXPECT_NEAR(track.heading_at(0.5f), 0.0114562, 5e-7);
    expect_near(track.side_at(0.5f), -0.9659259, 0.2588188, 0.0001931);
    expect_near(track.up_at(0.5f), 0.2368377, 0.8841812, -0.3889386);

    Track falling(CurveType::Cardinal);
    falling.point(0).y = 3.0;
    EXPECT_NEAR(falling.pitch_at(0.5f), 23.7414488, 5e-7);
}

TEST(TrackFrame, SteepBanksTurnTheSideVectorOverAndFlipUp) {
    Track track = raised(120);
    EXPECT_NEAR(track.roll_at(0.5f), 60.0, 1e-12);
    expect_near(track.side_at(0.5f), -0.5000008, 0.8660250, 0.0001000);
    expect_near(track.up_at(0.5f), 0.7926945, 0.4576866, -0.2014637);
    // At roll 120 the side vector is that of -60, and up is flipped to match.
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
    EXPECT_NEAR(track.roll_at(3.5f), -85.0, 1e-12); // the last segment blends into point 0
}

TEST(TrackFrame, AxisParallelVerticalAndVanishingTangents) {
    // atan(+-inf) is +-pi/2; with 3.14159 that is 90.0000760 degrees.
    EXPECT_NEAR(chord_track({0, 1, 0}, {1, 1, 0}).heading_at(0.5f), 270.0000760, 5e-7);
    EXPECT_NEAR(chord_track({1, 1, 0}, {0, 1, 0}).heading_at(0.5f), 89.9999240, 5e-7);
    EXPECT_NEAR(chord_track({0, 1, 0}, {0, 1, 1}).heading_at(0.5f), 0.0, 1e-12);
    EXPECT_NEAR(chord_track({0, 1, 1}, {0, 1, 0}).heading_at(0.5f), 180.0, 1e-12);

    // Straight up: no horizontal direction, so heading 0 and side +x.
    const Track up = chord_track({0, 1, 0}, {0, 3, 0});
    EXPECT_NEAR(up.pitch_at(0.5f), 90.0000760, 5e-7);
    EXPECT_EQ(up.heading_at(0.5f), 0.0);
    expect_same(up.side_at(0.5f), {1.0, 0.0, 0.0});
    expect_same(up.up_at(0.5f), {0.0, 0.0, 1.0});
    EXPECT_NEAR(chord_track({0, 3, 0}, {0, 1, 0}).pitch_at(0.5f), -90.0000760, 5e-7);

    // Tiny and huge chords still give the chord's direction.
    for (double scale : {1e-170, 1e-300, 1e160}) {
        const Track track = chord_track({0, 0, 0}, {3 * scale, 4 * scale, 0});
        expect_near(track.tangent_at(0.5f), 0.6, 0.8, 0.0, 1e-12);
        expect_near(track.side_at(0.5f), 0.0, 0.0, 1.0, 1e-12);
        EXPECT_NEAR(track.pitch_at(0.5f), -53.1301472, 5e-7) << scale;
    }

    // All points at one spot: no direction at all, so the frame faces +z.
    Track spot(CurveType::Cardinal);
    for (int i = 0; i < 4; ++i) {
        spot.point(i).set_position(1.5, 2.0, -3.0);
    }
    expect_same(spot.tangent_at(1.3f), {0.0, 0.0, 1.0});
    expect_same(spot.side_at(1.3f), {-1.0, 0.0, 0.0});
    EXPECT_EQ(spot.heading_at(1.3f), 0.0);
    EXPECT_EQ(spot.pitch_at(1.3f), 0.0);
}

// The bank lifts the side vector within the vertical plane across the track,
// so up stays square to both and leans to the roof's side of the bank.
TEST(TrackFrame, UpIsSquareToTheTrackAndKeepsTheRoofUp) {
    std::mt19937 rng(13);
    for (int trial = 0; trial < 30; ++trial) {
        const Track track = track_test::random_track(rng, 4, 20);
        for (int k = 0; k < 20; ++k) {
            const float u = static_cast<float>(k * track.num_points() / 20.0 + 0.01);
            const Point3 t = track.tangent_at(u);
            const Point3 s = track.side_at(u);
            const Point3 up = track.up_at(u);
            const double roll = track.roll_at(u);
            SCOPED_TRACE(testing::Message() << "trial " << trial << " u " << u);
            EXPECT_NEAR(length(t), 1.0, 1e-12);
            EXPECT_NEAR(length(s), 1.0, 1e-12);
            if (std::fabs(t.y) < 0.99 && std::fabs(std::fabs(roll) - 90) > 1) {
                EXPECT_NEAR(dot(up, t), 0.0, 1e-9);
                EXPECT_NEAR(dot(up, s), 0.0, 1e-9);
                EXPECT_GT(up.y * (std::fabs(roll) <= 90 ? 1 : -1), -1e-9);
            }
        }
    }
}

// The parameter animation lets the car reach u = n exactly, and a huge or
// non-finite u must never read outside the ring: whole laps away read the
// same point, and what is not a number reads as u = 0.
TEST(TrackFrame, ParametersOffTheRingWrapOntoIt) {
    Track track(CurveType::Cardinal);
    track.point(2) = ControlPoint(3, 2, 2, -40);
    for (CurveType type : track_test::kCurveTypes) {
        SCOPED_TRACE(type);
        track.set_curve_type(type);
        expect_same_frame(track, 4.0f, 0.0f);
        expect_same_frame(track, -0.5f, 3.5f);
        expect_same_frame(track, -2.75f, 1.25f);
        expect_same_frame(track, 1025.5f, 1.5f);
        expect_same_frame(track, -4096.25f, 3.75f);
        // Each of these is a whole multiple of 4.
        for (float u : {1e30f, -FLT_MAX, 16777217.0f, -3e9f}) {
            expect_same_frame(track, u, 0.0f);
        }
        for (float u :
             {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
            expect_same_frame(track, u, 0.0f);
        }
    }
    track.add_point();
    expect_same_frame(track, 5.0f, 0.0f);
}
