// Picking on the real view under Mesa: which name a left press selects, and
// what it returns, for every kind of object and for crowded and empty spots.
#include <gtest/gtest.h>

#include <FL/gl.h>

#include <algorithm>
#include <array>

#include "scene/big_scene.h"
#include "view/gl_fixture.h"

using gl_test::cube_centre;
using gl_test::GlView;
using gl_test::Pixel;

namespace {

// Both matrices, as a drag that follows a press unprojects with them.
std::array<GLdouble, 32> matrices() {
    std::array<GLdouble, 32> m{};
    glGetDoublev(GL_MODELVIEW_MATRIX, m.data());
    glGetDoublev(GL_PROJECTION_MATRIX, m.data() + 16);
    return m;
}

// Presses the left button at a pixel and reports what the press selected.
struct PickResult {
    int handled = 0;
    bool picked = false;
    int name = -2;
    bool damaged = false;
};

PickResult left_press(GlView& h, const Pixel& px) {
    PickResult r;
    h.view().on_pick([&r] { r.picked = true; });
    h.clear_damage();
    r.handled = h.press(1, px.x, px.y);
    r.name = h.scene().selection().name();
    r.damaged = h.damaged();
    h.release(px.x, px.y);
    h.view().on_pick(nullptr);
    return r;
}

} // namespace

TEST(Picking, EachControlPointIsSelectedWithItsRollAtHandAndTheMatricesKept) {
    GlView h;
    CoasterWindow& v = h.view();
    for (int i = 0; i < v.scene().track().num_points(); ++i) {
        v.scene().track().point(i).roll = 10.0 * (i + 1);
    }
    h.draw_frame();
    for (int i = 0; i < v.scene().track().num_points(); ++i) {
        const Pixel px = h.locate(cube_centre(v.scene().track().point(i)));
        ASSERT_TRUE(px.visible) << "point " << i;
        h.draw_frame();
        v.make_current();
        const auto before = matrices();
        const PickResult r = left_press(h, px);
        v.make_current();
        EXPECT_EQ(matrices(), before) << "pick must restore both matrices";
        EXPECT_EQ(r.handled, 1);
        EXPECT_TRUE(r.picked);
        EXPECT_EQ(r.name, i);
        EXPECT_TRUE(r.damaged);
        EXPECT_EQ(v.scene().selected_roll(), 10.0 * (i + 1));
    }
}

TEST(Picking, DrawingOrderNotDepthDecides) {
    GlView h;
    CoasterWindow& v = h.view();
    const Point3 eye{v.camera().eye_x(), v.camera().eye_y(), v.camera().eye_z()};
    // Put the cube of point `front` on the line from the eye to the cube of
    // point `back`, a third of the way towards the eye.
    auto hide_behind = [&](int front, int back) {
        const Point3 c = cube_centre(v.scene().track().point(back));
        const Point3 f{c.x + (eye.x - c.x) / 3.0, c.y + (eye.y - c.y) / 3.0,
                       c.z + (eye.z - c.z) / 3.0};
        v.scene().track().point(front).set_position(f.x, f.y - 0.5, f.z);
        h.draw_frame();
        return h.locate(c);
    };

    // Point 3 in front of point 1: point 1 is drawn first and wins.
    Pixel px = hide_behind(3, 1);
    ASSERT_TRUE(px.visible);
    EXPECT_EQ(left_press(h, px).name, 1);

    // A control point in front of the light cube and one behind it both win.
    const ControlPoint l = v.scene().light();
    const Pixel light = h.locate(l.position());
    ASSERT_TRUE(light.visible);
    EXPECT_EQ(left_press(h, light).name, kLightName);
    for (double along : {0.3, -0.3}) {
        // along > 0 moves the cube from the light towards the eye.
        v.scene().track().point(2).set_position(l.x + along * (eye.x - l.x),
                                                l.y + along * (eye.y - l.y) - 0.5,
                                                l.z + along * (eye.z - l.z));
        h.draw_frame();
        EXPECT_EQ(left_press(h, h.locate(l.position())).name, 2) << "cube offset " << along;
    }
}

// A press picks what its five-pixel square around the pointer touches: with
// the square's edge half a pixel short of the light cube's projected edge it
// misses, half a pixel over it hits, on each of the four sides.
TEST(Picking, TheFivePixelSquareReachesTheLightCubeExactlyAtItsEdges) {
    GlView h;
    CoasterWindow& v = h.view();
    ControlPoint& light = v.scene().light();
    struct Extent {
        double left, right, top, bottom; // window pixels, y down
    };
    auto extent = [&] {
        h.draw_frame();
        Extent e{1e9, -1e9, 1e9, -1e9};
        for (int corner = 0; corner < 8; ++corner) {
            const Point3 c{light.x + (corner & 1 ? 0.2 : -0.2), light.y + (corner & 2 ? 0.2 : -0.2),
                           light.z + (corner & 4 ? 0.2 : -0.2)};
            const gl_test::WindowPoint w = h.project(c);
            e = {std::min(e.left, w.x), std::max(e.right, w.x), std::min(e.top, w.y),
                 std::max(e.bottom, w.y)};
        }
        return e;
    };
    // Nudge the cube so that its left and top edges lie half-way between
    // pixels, where a square two and a half pixels wide either side of a
    // whole pixel clearly reaches them or clearly falls short.
    // The camera looks along -x from above: the window's x runs along -z.
    for (int pass = 0; pass < 4; ++pass) {
        const Extent e = extent();
        const double per_unit = (e.right - e.left) / 0.4;
        const double dx = 0.5 - (e.left - std::floor(e.left));
        const double dy = 0.5 - (e.top - std::floor(e.top));
        light.set_position(light.x, light.y - dy / per_unit, light.z - dx / per_unit);
    }
    const Extent e = extent();
    ASSERT_NEAR(e.left - std::floor(e.left), 0.5, 0.1);
    ASSERT_NEAR(e.top - std::floor(e.top), 0.5, 0.1);
    const int mid_x = static_cast<int>((e.left + e.right) / 2);
    const int mid_y = static_cast<int>((e.top + e.bottom) / 2);
    // The square's right edge is 2.5 right of the pointer, so its reach to a
    // cube edge at k + 0.5 is decided at pointer k - 2 (short) and k - 1 (over).
    const int left = static_cast<int>(std::floor(e.left));
    EXPECT_EQ(left_press(h, Pixel{left - 2, mid_y, true}).name, kNoName);
    EXPECT_EQ(left_press(h, Pixel{left - 1, mid_y, true}).name, kLightName);
    // Rows are counted from the top, GL's from the bottom: the pick turns
    // one into the other with the view's height.
    const int top = static_cast<int>(std::floor(e.top));
    EXPECT_EQ(left_press(h, Pixel{mid_x, top - 2, true}).name, kNoName);
    EXPECT_EQ(left_press(h, Pixel{mid_x, top - 1, true}).name, kLightName);
    EXPECT_EQ(left_press(h, Pixel{mid_x, mid_y, true}).name, kLightName);
}

TEST(Picking, GeneratorAndLightHaveTheirNames) {
    GlView h;
    CoasterWindow& v = h.view();
    v.add_ball_generator();
    v.add_ball_generator();
    v.scene().generator(0).position().set_position(-5.0, 0.0, 5.0);
    v.scene().generator(1).position().set_position(-5.0, 0.0, -5.0);
    h.draw_frame();
    for (int i = 0; i < 2; ++i) {
        const ControlPoint& g = v.scene().generator(i).position();
        const Pixel px = h.locate(Point3{g.x, 0.55, g.z});
        ASSERT_TRUE(px.visible);
        const PickResult r = left_press(h, px);
        EXPECT_TRUE(r.picked);
        EXPECT_EQ(r.name, kFirstGeneratorName + i);
    }
    // A generator standing over a control point's cube does not hide it.
    const ControlPoint& p = v.scene().track().point(1);
    v.scene().generator(0).position().set_position(p.x, 0.0, p.z);
    h.draw_frame();
    EXPECT_EQ(left_press(h, h.locate(cube_centre(p))).name, 1);

    const Pixel light = h.locate(v.scene().light().position());
    const PickResult r = left_press(h, light);
    EXPECT_TRUE(r.picked);
    EXPECT_EQ(r.name, 301);
    EXPECT_TRUE(r.damaged);
}

TEST(Picking, HandlesArePickableOnlyInBezier) {
    GlView h;
    CoasterWindow& v = h.view();
    v.set_curve_type(CurveType::Bezier);
    h.draw_frame();
    int hits = 0;
    for (int k = 0; k < 2 * v.scene().track().num_points(); ++k) {
        const Pixel px = h.locate(v.scene().track().bezier_handle(k).position());
        if (!px.visible) {
            continue;
        }
        const int name = left_press(h, px).name;
        // A handle can lie behind a control point's cube, which wins.
        if (name >= v.scene().track().num_points()) {
            EXPECT_EQ(name, v.scene().track().num_points() + k);
            ++hits;
        }
    }
    EXPECT_GE(hits, 6) << "most of the eight handles lie in the open";

    for (CurveType type : {CurveType::Linear, CurveType::Cardinal, CurveType::BSpline}) {
        v.set_curve_type(type);
        h.draw_frame();
        for (int k = 0; k < 2 * v.scene().track().num_points(); ++k) {
            const Pixel px = h.locate(v.scene().track().bezier_handle(k).position());
            const int name = left_press(h, px).name;
            EXPECT_FALSE(name >= v.scene().track().num_points() &&
                         name < 3 * v.scene().track().num_points())
                << "handle " << k << " picked in curve type " << static_cast<int>(type);
        }
    }
}

TEST(Picking, GroundSelectsNothingButRedrawsAndBackgroundDoesNeither) {
    GlView h;
    CoasterWindow& v = h.view();
    const Pixel ground = h.locate(Point3{-6.0, 0.0, -6.0});
    ASSERT_TRUE(ground.visible);
    PickResult r = left_press(h, ground);
    EXPECT_EQ(r.handled, 1);
    EXPECT_TRUE(r.picked);
    EXPECT_EQ(r.name, -1);
    EXPECT_TRUE(r.damaged);

    // The top row of the view shows the sky above the far edge of the board.
    for (const Point3& corner : {Point3{-10, 0, -10}, Point3{-10, 0, 10}}) {
        ASSERT_GT(h.locate(corner).y, 40);
    }
    // Select something first, so the empty press visibly clears it.
    ASSERT_EQ(left_press(h, h.locate(v.scene().light().position())).name, 301);
    r = left_press(h, Pixel{240, 10, true});
    EXPECT_EQ(r.handled, 1);
    EXPECT_FALSE(r.picked);
    EXPECT_EQ(r.name, -1);
    EXPECT_FALSE(r.damaged);
}

TEST(Picking, CrowdedPointsOverflowTheBuffer) {
    GlView h;
    CoasterWindow& v = h.view();
    while (v.scene().track().num_points() < 30) {
        v.add_point();
    }
    ASSERT_EQ(v.scene().track().num_points(), 30);
    const Point3 spot{6.0, 1.0, -6.0};
    auto crowd = [&](int count) {
        for (int i = 0; i < count; ++i) {
            v.scene().track().point(i).set_position(spot.x, spot.y, spot.z);
        }
        h.draw_frame();
        return left_press(h, h.locate(cube_centre(v.scene().track().point(0))));
    };
    // 24 cubes and the ground make 25 records, which just fit: point 0 wins.
    PickResult r = crowd(24);
    EXPECT_TRUE(r.picked);
    EXPECT_EQ(r.name, 0);
    // 25 cubes and the ground make 26 records, which overflow the 100
    // entries: nothing is selected or redrawn.
    r = crowd(25);
    EXPECT_FALSE(r.picked);
    EXPECT_EQ(r.name, -1);
    EXPECT_FALSE(r.damaged);
}

TEST(Picking, HiddenViewPicksNothing) {
    // A view that has no window yet has nothing under the pointer, and
    // handling a press must not touch GL without a context.
    Document document;
    CoasterWindow v(0, 0, 100, 100, document);
    bool picked = false;
    v.on_pick([&picked] { picked = true; });
    v.scene().select_name(3);
    EXPECT_EQ(gl_test::send_press(v, 1, 50, 50), 1);
    EXPECT_FALSE(picked);
    EXPECT_TRUE(v.scene().selection().is(Selection::Kind::nothing));
}

// The selection pass draws from client arrays; it used to draw with
// glBegin/glEnd (and GLU's quadrics, which the quadric tests match). Both
// must give the same hit records, depths included, the same count and the
// same overflow, at pixels all over scenes with every kind of object; and so
// must drawing each primitive alone, as the view does below OpenGL 1.4.
TEST(Picking, ClientArraysGiveTheHitRecordsOfImmediateMode) {
    if (gl_test::kSanitized) {
        GTEST_SKIP() << "selection with glBegin/glEnd loses Mesa's vertex buffers";
    }
    GlView h;
    CoasterWindow& v = h.view();
    Scene& s = v.scene();
    int records = 0;
    int overflows = 0;
    auto compare_at = [&](const char* scene, int x, int y) {
        CoasterWindow::SelectBuffer before{};
        CoasterWindow::SelectBuffer now{};
        CoasterWindow::SelectBuffer single{};
        v.draw_list().use_immediate_mode(true);
        const int hits_before = v.select_at(x, y, before);
        v.draw_list().use_immediate_mode(false);
        const int hits_now = v.select_at(x, y, now);
        v.draw_list().use_single_draws(true);
        const int hits_single = v.select_at(x, y, single);
        v.draw_list().use_single_draws(false);
        EXPECT_EQ(hits_now, hits_before) << scene << " at (" << x << ", " << y << ")";
        EXPECT_EQ(now, before) << scene << " at (" << x << ", " << y << ")";
        EXPECT_EQ(hits_single, hits_now) << scene << " at (" << x << ", " << y << "), alone";
        EXPECT_EQ(single, now) << scene << " at (" << x << ", " << y << "), alone";
        records += std::max(hits_now, 0);
        overflows += hits_now < 0 ? 1 : 0;
    };
    auto compare = [&](const char* scene, int step) {
        h.draw_frame();
        for (int y = step / 2; y < GlView::kSize; y += step) {
            for (int x = step / 2; x < GlView::kSize; x += step) {
                compare_at(scene, x, y);
            }
        }
    };
    s.add_ball_generator();
    s.generator(0).position().set_position(-4.0, 0.0, 3.0);
    for (int k = 0; k < 20; ++k) {
        s.generator(0).update(300, 0, 1700000000 + k);
    }
    for (CurveType type :
         {CurveType::Linear, CurveType::Cardinal, CurveType::BSpline, CurveType::Bezier}) {
        s.set_curve_type(type);
        compare("the default track", 12);
    }

    build_big_scene(s);
    compare("the big scene", 24);
    s.set_look_from_car(true);
    compare("the ride view", 24);
    s.set_look_from_car(false);

    // 26 cubes on one spot overflow the buffer.
    for (int i = 0; i < 26; ++i) {
        s.track().point(i).set_position(6.0, 1.0, -6.0);
    }
    const Pixel crowd = h.locate(cube_centre(s.track().point(0)));
    for (int dy = -3; dy <= 3; ++dy) {
        for (int dx = -3; dx <= 3; ++dx) {
            compare_at("a crowded spot", crowd.x + dx, crowd.y + dy);
        }
    }
    EXPECT_GT(records, 1000);
    EXPECT_GT(overflows, 0);
}
