// Orbit camera: where a fresh eye sits, each steering step and its limit, the
// target moves, and the ride view worked on a banked climb.
#include <gtest/gtest.h>

#include <cmath>

#include "camera/orbit_camera.h"
#include "track/track.h"

namespace {

void expect_point(const Point3& p, double x, double y, double z, double tol) {
    EXPECT_NEAR(p.x, x, tol);
    EXPECT_NEAR(p.y, y, tol);
    EXPECT_NEAR(p.z, z, tol);
}

Point3 eye_of(const OrbitCamera& c) {
    return {c.eye_x(), c.eye_y(), c.eye_z()};
}

// Steps until the call returns false; at most 1000.
template <typename Step> int steps_until_stopped(Step step) {
    int calls = 0;
    while (step() && calls < 1000) {
        ++calls;
    }
    return calls;
}

} // namespace

// 15 away, 30 degrees up, azimuth 90 (the +x side), looking at (0, 3, 0):
// eye = (cos 30 sin 90, sin 30, cos 30 cos 90) * 15 with degrees turned to
// radians by 0.01745329251994, worked in double. The cut factor leaves a
// residue of about 4e-12 in z and keeps y just short of 7.5.
TEST(OrbitCamera, FreshCameraLooksAtTheTrackFromThePlusXSide) {
    const Track track(CurveType::Cardinal);
    const OrbitCamera cam(&track);
    EXPECT_EQ(cam.eye_x(), 12.990381056767323);
    EXPECT_EQ(cam.eye_y(), 7.499999999998716);
    EXPECT_EQ(cam.eye_z(), 3.854412654941926e-12);
    const LookAt view = cam.look(0.0f, false);
    expect_point(view.eye, cam.eye_x(), cam.eye_y(), cam.eye_z(), 0.0);
    expect_point(view.centre, 0.0, 3.0, 0.0, 0.0);
    expect_point(view.up, 0.0, 1.0, 0.0, 0.0);
}

TEST(OrbitCamera, ZoomStepsByAFifthBetweenTwoAndOneHundred) {
    const Track track(CurveType::Cardinal);
    OrbitCamera cam(&track);
    EXPECT_TRUE(cam.zoom_in());
    EXPECT_NEAR(cam.distance(), 14.8, 1e-12);
    EXPECT_NEAR(std::hypot(cam.eye_x(), cam.eye_y(), cam.eye_z()), 14.8, 1e-9);
    // 12.8 / 0.2 = 64 more steps, give or take the rounding of the sums.
    const int in = steps_until_stopped([&] { return cam.zoom_in(); });
    EXPECT_GE(in, 63);
    EXPECT_LE(in, 65);
    EXPECT_EQ(cam.distance(), 2.0);
    cam.set_eye(5.0, 5.0, 5.0); // at the limit nothing changes, not even a replaced eye
    EXPECT_FALSE(cam.zoom_in());
    EXPECT_EQ(cam.eye_x(), 5.0);

    const int out = steps_until_stopped([&] { return cam.zoom_out(); });
    EXPECT_GE(out, 489); // 98 / 0.2
    EXPECT_LE(out, 491);
    EXPECT_EQ(cam.distance(), 100.0);
    EXPECT_NEAR(std::hypot(cam.eye_x(), cam.eye_y(), cam.eye_z()), 100.0, 1e-9);

    // A step that would pass a limit stops on it.
    cam.set_distance(2.1);
    EXPECT_TRUE(cam.zoom_in());
    EXPECT_EQ(cam.distance(), 2.0);
    cam.set_distance(99.9);
    EXPECT_TRUE(cam.zoom_out());
    EXPECT_EQ(cam.distance(), 100.0);
}

TEST(OrbitCamera, AzimuthStepsByFourDegreesRoundTheFullCircle) {
    const Track track(CurveType::Cardinal);
    OrbitCamera cam(&track);
    cam.set_azimuth(358.0);
    EXPECT_TRUE(cam.increase_azimuth());
    EXPECT_DOUBLE_EQ(cam.azimuth(), 2.0);
    EXPECT_TRUE(cam.decrease_azimuth());
    EXPECT_DOUBLE_EQ(cam.azimuth(), 358.0);
    cam.set_azimuth(356.0); // exactly 360 folds to 0, exactly 0 stays
    cam.increase_azimuth();
    EXPECT_EQ(cam.azimuth(), 0.0);
    cam.decrease_azimuth();
    EXPECT_EQ(cam.azimuth(), 356.0);
    // At azimuth 0 the eye is on the +z side of the origin.
    cam.set_azimuth(4.0);
    cam.decrease_azimuth();
    expect_point(eye_of(cam), 0.0, 7.5, 12.990381, 1e-6);
}

TEST(OrbitCamera, ElevationStepsByFourDegreesBetweenTheZenithAndTheNadir) {
    const Track track(CurveType::Cardinal);
    OrbitCamera cam(&track);
    EXPECT_TRUE(cam.increase_elevation());
    EXPECT_EQ(cam.elevation(), 34.0);
    EXPECT_EQ(steps_until_stopped([&] { return cam.increase_elevation(); }),
              14); // 34 + 14 * 4 = 90
    EXPECT_EQ(cam.elevation(), 90.0);
    // The call at the limit changes nothing but puts the eye back on its sphere.
    cam.set_eye(1.0, 2.0, 3.0);
    EXPECT_FALSE(cam.increase_elevation());
    expect_point(eye_of(cam), 0.0, 15.0, 0.0, 1e-9);

    cam.set_elevation(30.0);
    EXPECT_EQ(steps_until_stopped([&] { return cam.decrease_elevation(); }), 30);
    EXPECT_EQ(cam.elevation(), -90.0);
    expect_point(eye_of(cam), 0.0, -15.0, 0.0, 1e-9);
    cam.set_elevation(88.0); // a step that would pass a limit stops on it
    EXPECT_TRUE(cam.increase_elevation());
    EXPECT_EQ(cam.elevation(), 90.0);
    cam.set_elevation(-87.5);
    EXPECT_TRUE(cam.decrease_elevation());
    EXPECT_EQ(cam.elevation(), -90.0);
}

TEST(OrbitCamera, MovingTheTargetTiltsTheViewWithoutMovingTheEye) {
    const Track track(CurveType::Cardinal);
    OrbitCamera cam(&track);
    const Point3 eye = eye_of(cam);
    for (int i = 0; i < 5; ++i) {
        cam.raise_target();
    }
    expect_point(cam.target(), 0.0, 4.0, 0.0, 1e-12);
    expect_point(eye_of(cam), eye.x, eye.y, eye.z, 0.0);
    for (int i = 0; i < 40; ++i) { // no limit either way
        cam.lower_target();
    }
    expect_point(cam.look(0.0f, false).centre, 0.0, -4.0, 0.0, 1e-12);
    // Each move recomputes the eye, so a replaced eye goes back on its sphere.
    cam.set_eye(1.0, 2.0, 3.0);
    cam.raise_target();
    expect_point(eye_of(cam), eye.x, eye.y, eye.z, 0.0);
}

// Worked from the track: the default square with point 1 raised to y = 3 and
// banked 30. At u = 0.5 the track is at (-3.125625, 2.125, 0.000625) with up
// (0.2368377, 0.8841812, -0.3889386); the rider sits 3.0 up-vectors out from
// it and 3.5 above it. 2.0 ahead lies u = 0.82; the view aims at the track
// there lifted by the up vector there, and keeps the car's up.
TEST(OrbitCamera, RideViewSitsAboveTheFrontCarAndAimsTwoAhead) {
    Track track(CurveType::Cardinal);
    track.point(1) = ControlPoint(-2.5, 3.0, 2.501, 30.0);
    OrbitCamera cam(&track);
    cam.increase_azimuth();
    const Point3 orbit_eye = eye_of(cam);

    const LookAt ride = cam.look(0.5f, true);
    expect_point(ride.eye, -2.4151120, 5.2196343, -1.1661907, 5e-7);
    expect_point(ride.centre, -2.5767543, 3.7257250, 1.4594455, 5e-7);
    expect_point(ride.up, 0.2368377, 0.8841812, -0.3889386, 5e-7);

    // The orbit view is untouched, and comes back as it was.
    EXPECT_EQ(cam.azimuth(), 94.0);
    const LookAt orbit = cam.look(0.5f, false);
    expect_point(orbit.eye, orbit_eye.x, orbit_eye.y, orbit_eye.z, 0.0);
    expect_point(orbit.centre, 0.0, 3.0, 0.0, 0.0);
}
