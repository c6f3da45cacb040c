// Dragging the selection along a pointer ray: the plane each kind of object
// moves in, and the rays that must leave it where it is.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "scene/scene.h"

namespace {

void expect_same(const ControlPoint& a, const ControlPoint& b) {
    EXPECT_EQ(a.x, b.x);
    EXPECT_EQ(a.y, b.y);
    EXPECT_EQ(a.z, b.z);
    EXPECT_EQ(a.roll, b.roll);
}

// Eye high above the ground looking down at the scene, as the orbit camera does.
const Point3 kEye{0.0, 7.5, 13.0};

// A point on the ray from the eye through `target`, a little way out.
Point3 towards(const Point3& target) {
    return kEye + 0.1 * (target - kEye);
}

TEST(Drag, PointsSlideAtTheirHeightAndRiseStraightUpWhenVertical) {
    Scene scene;
    scene.track().point(2).roll = 33.0;
    scene.select_name(2);
    ASSERT_TRUE(scene.drag_selection(kEye, towards({1.0, 1.0, 1.0}), false));
    const ControlPoint moved = scene.track().point(2);
    EXPECT_NEAR(moved.x, 1.0, 1e-12);
    EXPECT_EQ(moved.y, 1.0);
    EXPECT_NEAR(moved.z, 1.0, 1e-12);
    EXPECT_EQ(moved.roll, 33.0);

    // Vertical: the ray is cut with the plane z = 1, so x and z stay.
    ASSERT_TRUE(scene.drag_selection(kEye, towards({4.0, 3.0, 1.0}), true));
    EXPECT_EQ(scene.track().point(2).x, moved.x);
    EXPECT_EQ(scene.track().point(2).z, moved.z);
    EXPECT_NEAR(scene.track().point(2).y, 3.0, 1e-12);
    EXPECT_EQ(scene.track().point(0).x, -2.501); // the rest of the ring stays
}

TEST(Drag, HandlesAndTheLightMoveButGeneratorsOnlySlide) {
    Scene scene;
    scene.add_ball_generator();
    scene.select_name(4 + 3); // handle 3
    ASSERT_TRUE(
        scene.drag_selection(kEye, towards({2.0, scene.track().bezier_handle(3).y, 0.0}), false));
    EXPECT_NEAR(scene.track().bezier_handle(3).x, 2.0, 1e-12);

    scene.select_name(kLightName);
    EXPECT_EQ(scene.light().z, 4.0); // the light starts at (0, 4, 4)
    ASSERT_TRUE(scene.drag_selection(kEye, towards({-3.0, 4.0, 2.0}), false));
    EXPECT_NEAR(scene.light().x, -3.0, 1e-12);
    EXPECT_EQ(scene.light().y, 4.0);

    scene.select_name(kFirstGeneratorName);
    const ControlPoint ground = scene.generator(0).position();
    EXPECT_FALSE(scene.drag_selection(kEye, towards({0.0, 2.0, 0.0}), true));
    expect_same(scene.generator(0).position(), ground);
    ASSERT_TRUE(scene.drag_selection(kEye, towards({5.0, 0.0, -5.0}), false));
    EXPECT_NEAR(scene.generator(0).position().x, 5.0, 1e-12);
    EXPECT_EQ(scene.generator(0).position().y, 0.0);
}

TEST(Drag, RaysThatCannotMeetThePlaneInFrontOfTheEyeMoveNothing) {
    Scene scene;
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Ray {
        const char* what;
        Point3 eye;
        Point3 through;
        bool vertical;
    };
    const Ray rays[] = {
        {"level ray", {0, 5, 20}, {1, 5, 19}, false},
        {"ray in a plane z = c", {0, 5, 20}, {1, 4, 20}, true},
        {"plane behind the eye", {0, 0.5, 20}, {0, 0.4, 19}, false},
        {"plane at the eye", {0, 1.0, 20}, {0, 0.9, 19}, false},
        {"vertical plane behind the eye", {0, 5, -20}, {0, 5, -21}, true},
        {"infinite eye", {inf, 5, 20}, {0, 4, 19}, false},
        {"eye not a number", {nan, 5, 20}, {0, 4, 19}, false},
        {"overflowing result", {0, 1e308, 0}, {1e308, 1e308 - 1e292, 0}, false},
    };
    for (const Ray& r : rays) {
        SCOPED_TRACE(r.what);
        scene.select_name(2);
        const ControlPoint before = scene.track().point(2);
        EXPECT_FALSE(scene.drag_selection(r.eye, r.through, r.vertical));
        expect_same(scene.track().point(2), before);
    }
    // Nothing selected: nothing moves.
    scene.clear_selection();
    EXPECT_FALSE(scene.drag_selection(kEye, towards({1.0, 1.0, 1.0}), false));
}

} // namespace
