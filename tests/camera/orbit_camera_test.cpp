// Orbit camera: steering limits and wrap-arounds, the eye on its sphere, the
// target moves, and the ride view from the front car.
#include <gtest/gtest.h>

#include <cmath>

#include "camera/orbit_camera.h"
#include "track/track.h"

namespace {

double eye_radius(const OrbitCamera& c) {
    return std::sqrt(c.eye_x() * c.eye_x() + c.eye_y() * c.eye_y() + c.eye_z() * c.eye_z());
}

void expect_point_near(const Point3& p, const Point3& want, double tol) {
    EXPECT_NEAR(p.x, want.x, tol);
    EXPECT_NEAR(p.y, want.y, tol);
    EXPECT_NEAR(p.z, want.z, tol);
}

// A closed Linear square at height 1 whose first side runs 20 units along +x:
// level, straight and unbanked away from the corners.
Track level_square() {
    Track t(CurveType::Linear);
    t.point(0) = ControlPoint(0.0, 1.0, 0.0, 0.0);
    t.point(1) = ControlPoint(20.0, 1.0, 0.0, 0.0);
    t.point(2) = ControlPoint(20.0, 1.0, 20.0, 0.0);
    t.point(3) = ControlPoint(0.0, 1.0, 20.0, 0.0);
    return t;
}

} // namespace

TEST(OrbitCamera, FreshCameraLooksAtTheTrackFromThePlusXSide) {
    Track track(CurveType::Cardinal);
    OrbitCamera cam(&track);
    EXPECT_NEAR(cam.eye_x(), 12.990381056766578, 1e-9);
    EXPECT_NEAR(cam.eye_y(), 7.5, 1e-11);
    // The 13-digit degree factor leaves a residue of about 4e-12 in z; the full
    // double value of pi/180 would leave less than 1e-15.
    EXPECT_GT(cam.eye_z(), 1e-12);
    EXPECT_LT(cam.eye_z(), 1e-11);
    expect_point_near(cam.target(), {0.0, 3.0, 0.0}, 0.0);
    expect_point_near(cam.up(), {0.0, 1.0, 0.0}, 0.0);
    EXPECT_EQ(cam.distance(), 15.0);
    EXPECT_EQ(cam.elevation(), 30.0);
    EXPECT_EQ(cam.azimuth(), 90.0);

    const LookAt view = cam.look(0.0f, false);
    expect_point_near(view.eye, {cam.eye_x(), cam.eye_y(), cam.eye_z()}, 0.0);
    expect_point_near(view.centre, {0.0, 3.0, 0.0}, 0.0);
    expect_point_near(view.up, {0.0, 1.0, 0.0}, 0.0);
}

TEST(OrbitCamera, EyeFollowsAnglesWithAzimuthFromPlusZTowardsPlusX) {
    Track track(CurveType::Cardinal);
    OrbitCamera cam(&track);
    cam.set_azimuth(0.0);
    cam.set_elevation(0.0);
    EXPECT_NEAR(cam.eye_x(), 0.0, 1e-12);
    EXPECT_NEAR(cam.eye_y(), 0.0, 1e-12);
    EXPECT_NEAR(cam.eye_z(), 15.0, 1e-12);

    cam.set_elevation(90.0);
    EXPECT_NEAR(cam.eye_y(), 15.0, 1e-9);
    EXPECT_NEAR(std::hypot(cam.eye_x(), cam.eye_z()), 0.0, 1e-9);

    // The distance setter only stores; the eye moves at the next recomputation.
    cam.set_distance(10.0);
    EXPECT_NEAR(cam.eye_y(), 15.0, 1e-9);
    cam.update_eye();
    EXPECT_NEAR(cam.eye_y(), 10.0, 1e-9);

    // The plain setters store any value, without clamping or wrapping.
    cam.set_elevation(135.0);
    cam.set_azimuth(-30.0);
    EXPECT_EQ(cam.elevation(), 135.0);
    EXPECT_EQ(cam.azimuth(), -30.0);
    EXPECT_NEAR(eye_radius(cam), 10.0, 1e-9);

    // A stored eye lasts until the next recomputation.
    cam.set_eye(1.0, 2.0, 3.0);
    EXPECT_EQ(cam.eye_x(), 1.0);
    EXPECT_EQ(cam.eye_z(), 3.0);
    cam.set_target(1.0, 2.0, 3.0);
    cam.set_up(0.0, 0.0, 1.0);
    const LookAt view = cam.look(0.0f, false);
    expect_point_near(view.eye, {1.0, 2.0, 3.0}, 0.0);
    expect_point_near(view.centre, {1.0, 2.0, 3.0}, 0.0);
    expect_point_near(view.up, {0.0, 0.0, 1.0}, 0.0);
}

TEST(OrbitCamera, ZoomStopsExactlyAtTwoAndAtOneHundred) {
    Track track(CurveType::Cardinal);
    OrbitCamera cam(&track);

    int calls = 0;
    while (cam.zoom_in()) {
        ++calls;
        ASSERT_LT(calls, 1000);
        EXPECT_NEAR(eye_radius(cam), cam.distance(), 1e-9);
    }
    EXPECT_EQ(cam.distance(), 2.0);
    EXPECT_GE(calls, 64);
    EXPECT_LE(calls, 66);
    // At the limit nothing changes, not even a replaced eye.
    cam.set_eye(5.0, 5.0, 5.0);
    EXPECT_FALSE(cam.zoom_in());
    EXPECT_EQ(cam.distance(), 2.0);
    EXPECT_EQ(cam.eye_x(), 5.0);

    calls = 0;
    while (cam.zoom_out()) {
        ++calls;
        ASSERT_LT(calls, 1000);
    }
    EXPECT_EQ(cam.distance(), 100.0);
    EXPECT_NEAR(eye_radius(cam), 100.0, 1e-9);
    EXPECT_GE(calls, 489);
    EXPECT_LE(calls, 491);
    EXPECT_FALSE(cam.zoom_out());
    EXPECT_EQ(cam.distance(), 100.0);

    // From just above the limit one step lands on it, not below.
    cam.set_distance(2.1);
    EXPECT_TRUE(cam.zoom_in());
    EXPECT_EQ(cam.distance(), 2.0);
    cam.set_distance(99.9);
    EXPECT_TRUE(cam.zoom_out());
    EXPECT_EQ(cam.distance(), 100.0);
}

TEST(OrbitCamera, AzimuthWrapsAroundTheFullCircle) {
    Track track(CurveType::Cardinal);
    OrbitCamera cam(&track);

    cam.set_azimuth(358.0);
    EXPECT_TRUE(cam.increase_azimuth());
    EXPECT_DOUBLE_EQ(cam.azimuth(), 2.0);
    EXPECT_TRUE(cam.decrease_azimuth());
    EXPECT_DOUBLE_EQ(cam.azimuth(), 358.0);

    // Exactly 360 is folded to 0; exactly 0 stays.
    cam.set_azimuth(356.0);
    cam.increase_azimuth();
    EXPECT_EQ(cam.azimuth(), 0.0);
    cam.set_azimuth(4.0);
    cam.decrease_azimuth();
    EXPECT_EQ(cam.azimuth(), 0.0);
    cam.decrease_azimuth();
    EXPECT_EQ(cam.azimuth(), 356.0);

    // Ninety steps go once round and back to where they started.
    cam.set_azimuth(90.0);
    for (int i = 0; i < 90; ++i) {
        cam.increase_azimuth();
        ASSERT_GE(cam.azimuth(), 0.0);
        ASSERT_LT(cam.azimuth(), 360.0);
    }
    EXPECT_NEAR(cam.azimuth(), 90.0, 1e-9);
    EXPECT_NEAR(cam.eye_x(), 12.990381056766578, 1e-9);
    EXPECT_NEAR(cam.eye_z(), 0.0, 1e-9);
}

TEST(OrbitCamera, ElevationStopsAtTheZenithAndTheNadir) {
    Track track(CurveType::Cardinal);
    OrbitCamera cam(&track);

    for (int i = 0; i < 15; ++i) {
        EXPECT_TRUE(cam.increase_elevation()) << "call " << i + 1;
    }
    EXPECT_EQ(cam.elevation(), 90.0);
    // The sixteenth call changes nothing but still puts the eye back on its sphere.
    cam.set_eye(1.0, 2.0, 3.0);
    EXPECT_FALSE(cam.increase_elevation());
    EXPECT_EQ(cam.elevation(), 90.0);
    EXPECT_NEAR(cam.eye_y(), 15.0, 1e-9);
    EXPECT_NEAR(std::hypot(cam.eye_x(), cam.eye_z()), 0.0, 1e-9);

    cam.set_elevation(30.0);
    for (int i = 0; i < 29; ++i) {
        EXPECT_TRUE(cam.decrease_elevation());
    }
    EXPECT_EQ(cam.elevation(), -86.0);
    EXPECT_TRUE(cam.decrease_elevation());
    EXPECT_EQ(cam.elevation(), -90.0);
    cam.set_eye(1.0, 2.0, 3.0);
    EXPECT_FALSE(cam.decrease_elevation());
    EXPECT_EQ(cam.elevation(), -90.0);
    EXPECT_NEAR(cam.eye_y(), -15.0, 1e-9);

    // A step that would overshoot is cut at the limit.
    cam.set_elevation(88.0);
    EXPECT_TRUE(cam.increase_elevation());
    EXPECT_EQ(cam.elevation(), 90.0);
    cam.set_elevation(-87.5);
    EXPECT_TRUE(cam.decrease_elevation());
    EXPECT_EQ(cam.elevation(), -90.0);
}

TEST(OrbitCamera, MovingTheTargetTiltsTheViewWithoutMovingTheEye) {
    Track track(CurveType::Cardinal);
    OrbitCamera cam(&track);
    const double ex = cam.eye_x(), ey = cam.eye_y(), ez = cam.eye_z();

    for (int i = 0; i < 5; ++i) {
        cam.raise_target();
    }
    EXPECT_NEAR(cam.target().y, 4.0, 1e-12);
    EXPECT_EQ(cam.target().x, 0.0);
    EXPECT_EQ(cam.target().z, 0.0);
    EXPECT_EQ(cam.eye_x(), ex);
    EXPECT_EQ(cam.eye_y(), ey);
    EXPECT_EQ(cam.eye_z(), ez);

    // No limit either way.
    for (int i = 0; i < 40; ++i) {
        cam.lower_target();
    }
    EXPECT_NEAR(cam.target().y, -4.0, 1e-12);
    EXPECT_EQ(cam.eye_y(), ey);
    EXPECT_NEAR(cam.look(0.0f, false).centre.y, -4.0, 1e-12);
}

TEST(OrbitCamera, RideViewOnALevelStraightSitsAboveTheCarAndAimsTwoAhead) {
    const Track track = level_square();
    OrbitCamera cam(&track);

    const LookAt view = cam.look(0.1f, true); // 2 units along the first side
    expect_point_near(view.up, {0.0, 1.0, 0.0}, 1e-9);
    // 3.5 above the car's point on the rail.
    expect_point_near(view.eye, {2.0, 4.5, 0.0}, 1e-6);
    // The track point 2.0 further on (to within one 0.1-long advance chord),
    // lifted by 1.
    EXPECT_NEAR(view.centre.x, 4.0, 0.11);
    EXPECT_NEAR(view.centre.y, 2.0, 1e-6);
    EXPECT_NEAR(view.centre.z, 0.0, 1e-6);
}

TEST(OrbitCamera, RideViewOnABankedClimbUsesTheCarsUpAndTheLookAheadsUp) {
    // Point 1 raised and banked: the up vector leans sideways, and differs
    // between the car and the point 2.0 ahead of it.
    Track track(CurveType::Cardinal);
    track.point(1).y = 3.0;
    track.point(1).roll = 30.0;
    OrbitCamera cam(&track);

    const float u = 0.5f;
    const LookAt view = cam.look(u, true);
    const Point3 up = track.up_at(u);
    ASSERT_GT(std::fabs(up.x), 0.1); // the bank tilts the up vector sideways
    ASSERT_GT(std::fabs(up.z), 0.1);

    const Point3 car = track.position_at(u);
    // Beside the rail the rider sits 3.0 up-vectors out, above it 3.5.
    expect_point_near(view.eye, {car.x + 3.0 * up.x, car.y + 3.5 * up.y, car.z + 3.0 * up.z},
                      1e-12);
    // The view's up is the car's, not the look-ahead's.
    expect_point_near(view.up, up, 1e-12);

    const float ahead = track.advance(2.0, u);
    EXPECT_GT(ahead, u);
    const Point3 ahead_point = track.position_at(ahead);
    const Point3 ahead_up = track.up_at(ahead);
    ASSERT_GT(std::fabs(ahead_up.x - up.x), 1e-3);
    expect_point_near(view.centre, ahead_point + ahead_up, 1e-12);
}

TEST(OrbitCamera, RideViewLeavesTheOrbitStateAlone) {
    const Track track = level_square();
    OrbitCamera cam(&track);
    cam.increase_azimuth();
    cam.raise_target();
    const double ex = cam.eye_x(), ey = cam.eye_y(), ez = cam.eye_z();
    const double az = cam.azimuth(), el = cam.elevation(), d = cam.distance();
    const Point3 target = cam.target();

    cam.look(0.3f, true);
    cam.look(2.7f, true);

    EXPECT_EQ(cam.eye_x(), ex);
    EXPECT_EQ(cam.eye_y(), ey);
    EXPECT_EQ(cam.eye_z(), ez);
    EXPECT_EQ(cam.azimuth(), az);
    EXPECT_EQ(cam.elevation(), el);
    EXPECT_EQ(cam.distance(), d);
    expect_point_near(cam.target(), target, 0.0);
    expect_point_near(cam.up(), {0.0, 1.0, 0.0}, 0.0);
    // Switching back gives the orbit view as it was.
    const LookAt orbit = cam.look(2.7f, false);
    expect_point_near(orbit.eye, {ex, ey, ez}, 0.0);
    expect_point_near(orbit.centre, target, 0.0);
}
