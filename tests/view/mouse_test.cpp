// Mouse handling of the real view: which events it takes, left drags that
// move points, handles, the light and generators, degenerate pointer rays, and
// the camera steering of middle and right drags.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/gl.h>

#include <cmath>
#include <vector>

#include "scene/frame_layout.h"
#include "view/gl_fixture.h"

using gl_test::cube_centre;
using gl_test::GlView;
using gl_test::Pixel;

namespace {

constexpr int kLeft = 1;
constexpr int kMiddle = 2;
constexpr int kRight = 3;

// Selects by pressing the left button on a world point; the press must pick
// `name`.
void select_at(GlView& h, const Point3& p, int name) {
    const Pixel px = h.locate(p);
    ASSERT_TRUE(px.visible);
    h.press(kLeft, px.x, px.y);
    ASSERT_EQ(h.scene().selection().name(), name);
}

// The selected object sits under the pointer: its pixel is where we dragged.
// The pointer's pixel (x, y) is unprojected at the window point (x, height -
// y - 1), GL's y running up: the moved object projects back exactly there, in
// front of the view, in the next frame (or, without `redraw`, in the frame
// the drag was made in).
void expect_under_pointer(GlView& h, const Point3& p, int x, int y, bool redraw = true) {
    if (redraw) {
        h.draw_frame();
    }
    const gl_test::WindowPoint w = h.project(p);
    EXPECT_NEAR(w.x, x, 0.01);
    EXPECT_NEAR(w.y, y + 1, 0.01);
    EXPECT_TRUE(w.visible);
}

std::vector<ControlPoint> all_points(CoasterWindow& v) {
    std::vector<ControlPoint> out;
    for (int i = 0; i < v.scene().track().num_points(); ++i) {
        out.push_back(v.scene().track().point(i));
    }
    return out;
}

// Two quick left clicks at (x, y): the toolkit marks the second press as a
// double-click.
void double_click(GlView& h, int x, int y) {
    h.press(kLeft, x, y);
    h.release(x, y);
    Fl::e_clicks = 1;
    h.press(kLeft, x, y);
    Fl::e_clicks = 0;
    h.release(x, y);
}

void expect_same(const ControlPoint& a, const ControlPoint& b) {
    EXPECT_EQ(a.x, b.x);
    EXPECT_EQ(a.y, b.y);
    EXPECT_EQ(a.z, b.z);
    EXPECT_EQ(a.roll, b.roll);
}

} // namespace

TEST(MouseEvents, TakesPressDragReleaseShowAndDeclinesTheRest) {
    GlView h;
    EXPECT_EQ(h.press(kMiddle, 100, 100), 1);
    EXPECT_EQ(h.drag(100, 100), 1);
    h.clear_damage();
    EXPECT_EQ(h.release(100, 100), 1);
    EXPECT_TRUE(h.damaged()) << "a release redraws";
    EXPECT_EQ(h.send(FL_SHOW), 1);
    EXPECT_TRUE(h.view().shown());
    for (int event : {FL_KEYDOWN, FL_KEYUP, FL_MOUSEWHEEL, FL_ENTER, FL_LEAVE, FL_MOVE, FL_FOCUS,
                      FL_UNFOCUS, FL_SHORTCUT, FL_HIDE, FL_DND_ENTER, FL_PASTE}) {
        EXPECT_EQ(h.send(event), 0) << "event " << event;
    }
}

TEST(MouseEvents, ShowEventShowsAHiddenViewWithoutRecursing) {
    Document document;
    CoasterWindow v(20, 20, 120, 120, document);
    ASSERT_FALSE(v.shown());
    // Showing a window sends it FL_SHOW from inside show(); the handler's own
    // show() must then find the window shown and return.
    EXPECT_EQ(v.handle(FL_SHOW), 1);
    EXPECT_TRUE(v.shown());
    EXPECT_EQ(v.handle(FL_SHOW), 1);
    Fl::check();
    v.hide();
    Fl::check();
    EXPECT_FALSE(v.shown());
    EXPECT_EQ(v.handle(FL_SHOW), 1);
    EXPECT_TRUE(v.shown());
    v.hide();
    Fl::check();
}

TEST(LeftDrag, ControlPointSlidesFlatKeepingRollAndRisesWithCtrl) {
    GlView h;
    CoasterWindow& v = h.view();
    v.scene().track().point(2).roll = 33.0;
    const ControlPoint start = v.scene().track().point(2);
    const Pixel cube = h.locate(cube_centre(start));
    const Pixel from = h.locate(start.position());

    // The drag comes straight after the press, before any redraw, while the
    // projection still holds the pick region.
    h.press(kLeft, cube.x, cube.y);
    ASSERT_EQ(v.scene().selection().name(), 2);
    h.clear_damage();
    EXPECT_EQ(h.drag(from.x + 40, from.y + 25), 1);
    EXPECT_TRUE(h.damaged());
    const ControlPoint moved = v.scene().track().point(2);
    EXPECT_NEAR(moved.y, start.y, 1e-9);
    EXPECT_EQ(moved.roll, 33.0);
    EXPECT_GT(std::hypot(moved.x - start.x, moved.z - start.z), 0.5);
    expect_under_pointer(h, moved.position(), from.x + 40, from.y + 25);
    EXPECT_EQ(v.last_mouse_x(), from.x + 40);
    EXPECT_EQ(v.last_mouse_y(), from.y + 25);

    // Ctrl: straight up under the pointer, x and z untouched.
    const Pixel base = h.locate(moved.position());
    h.drag(base.x, base.y - 60, FL_CTRL);
    const ControlPoint lifted = v.scene().track().point(2);
    EXPECT_EQ(lifted.x, moved.x);
    EXPECT_EQ(lifted.z, moved.z);
    EXPECT_GT(lifted.y, moved.y + 0.5);
    EXPECT_EQ(lifted.roll, 33.0);
    // The rest of the ring stays put.
    EXPECT_EQ(v.scene().track().point(0).x, -2.501);
    EXPECT_EQ(v.scene().track().point(1).z, 2.501);

    // Press to release, both moves are one undo step; Undo puts the point
    // back where the press found it.
    Document& doc = h.document();
    h.release(base.x, base.y - 60);
    EXPECT_EQ(doc.history().undo_steps(), 1);
    ASSERT_TRUE(doc.undo());
    const ControlPoint back = v.scene().track().point(2);
    EXPECT_EQ(back.x, start.x);
    EXPECT_EQ(back.y, start.y);
    EXPECT_EQ(back.z, start.z);
    // A click that moves nothing is no step.
    h.press(kLeft, cube.x, cube.y);
    h.release(cube.x, cube.y);
    EXPECT_EQ(doc.history().undo_steps(), 0);
    EXPECT_TRUE(doc.can_redo());
}

// The ride view looks from above the train, far from the orbit eye, at point
// 1 ahead. The drag follows the pointer through the view that is shown; as the
// camera rides on the track, the moved point moves the next frame's camera.
TEST(LeftDrag, RideViewMovesThePointUnderThePointer) {
    GlView h;
    CoasterWindow& v = h.view();
    v.set_look_from_car(true);
    select_at(h, cube_centre(v.scene().track().point(1)), 1);
    const ControlPoint start = v.scene().track().point(1);
    const Pixel from = h.locate(start.position());
    h.drag(from.x + 30, from.y + 20);
    const ControlPoint& moved = v.scene().track().point(1);
    EXPECT_NEAR(moved.y, start.y, 1e-9);
    EXPECT_GT(std::hypot(moved.x - start.x, moved.z - start.z), 0.1);
    expect_under_pointer(h, moved.position(), from.x + 30, from.y + 20, false);
}

TEST(LeftDrag, GeneratorSlidesOnlyWithoutCtrl) {
    GlView h;
    CoasterWindow& v = h.view();
    v.add_ball_generator();
    v.scene().generator(0).position().set_position(-5.0, 0.0, 5.0);
    select_at(h, Point3{-5.0, 0.55, 5.0}, 400);
    const Pixel base = h.locate(Point3{-5.0, 0.0, 5.0});
    h.drag(base.x, base.y - 50, FL_CTRL);
    const ControlPoint& g = v.scene().generator(0).position();
    EXPECT_EQ(g.x, -5.0);
    EXPECT_EQ(g.y, 0.0);
    EXPECT_EQ(g.z, 5.0);
    h.drag(base.x + 30, base.y - 20);
    EXPECT_NEAR(g.y, 0.0, 1e-9);
    EXPECT_GT(std::hypot(g.x + 5.0, g.z - 5.0), 0.3);
    expect_under_pointer(h, g.position(), base.x + 30, base.y - 20);
}

TEST(LeftDrag, LightMovesAndTheNextFrameLightsFromThere) {
    GlView h;
    CoasterWindow& v = h.view();
    select_at(h, v.scene().light().position(), 301);
    const Pixel from = h.locate(v.scene().light().position());
    h.press(kLeft, from.x, from.y);
    h.drag(from.x - 60, from.y + 30);
    EXPECT_NEAR(v.scene().light().y, 4.0, 1e-9);
    EXPECT_GT(std::hypot(v.scene().light().x - 0.0, v.scene().light().z - 4.0), 0.5);
    expect_under_pointer(h, v.scene().light().position(), from.x - 60, from.y + 30);

    // GL keeps the light's position in eye coordinates: the modelview of the
    // frame applied to (x, y, z, 0).
    h.draw_frame();
    GLfloat pos[4];
    GLdouble m[16];
    glGetLightfv(GL_LIGHT0, GL_POSITION, pos);
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    const double l[3] = {v.scene().light().x, v.scene().light().y, v.scene().light().z};
    for (int row = 0; row < 3; ++row) {
        const double expected = m[row] * l[0] + m[4 + row] * l[1] + m[8 + row] * l[2];
        EXPECT_NEAR(pos[row], expected, 1e-4) << "row " << row;
    }
    EXPECT_EQ(pos[3], 0.0f);
}

TEST(LeftDrag, HandleStillMovesAfterLeavingBezier) {
    GlView h;
    CoasterWindow& v = h.view();
    v.set_curve_type(CurveType::Bezier);
    int chosen = -1;
    for (int k = 0; k < 2 * v.scene().track().num_points() && chosen < 0; ++k) {
        const Pixel px = h.locate(v.scene().track().bezier_handle(k).position());
        if (!px.visible) {
            continue;
        }
        h.press(kLeft, px.x, px.y);
        if (v.scene().selection().name() == v.scene().track().num_points() + k) {
            chosen = k;
        }
    }
    ASSERT_GE(chosen, 0);
    v.set_curve_type(CurveType::Linear);
    h.draw_frame();
    const ControlPoint start = v.scene().track().bezier_handle(chosen);
    const Pixel from = h.locate(start.position());
    h.drag(from.x + 20, from.y + 20);
    const ControlPoint& now = v.scene().track().bezier_handle(chosen);
    EXPECT_NEAR(now.y, start.y, 1e-9);
    EXPECT_GT(std::hypot(now.x - start.x, now.z - start.z), 0.1);
    expect_under_pointer(h, now.position(), from.x + 20, from.y + 20);
}

TEST(LeftDrag, NothingMovesWithoutAMovableSelection) {
    GlView h;
    CoasterWindow& v = h.view();
    v.add_ball_generator();
    const auto before = all_points(v);
    const ControlPoint light = v.scene().light();

    // A press on the empty sky selects nothing; the drag moves nothing.
    h.press(kLeft, 240, 5);
    ASSERT_EQ(v.scene().selection().name(), -1);
    const Track track = v.scene().track();
    h.drag(300, 300);
    h.drag(100, 200, FL_CTRL);
    const auto after = all_points(v);
    for (int i = 0; i < v.scene().track().num_points(); ++i) {
        expect_same(after[i], before[i]);
    }
    for (int k = 0; k < 2 * v.scene().track().num_points(); ++k) {
        expect_same(v.scene().track().bezier_handle(k), track.bezier_handle(k));
    }
    expect_same(v.scene().light(), light);
    EXPECT_EQ(v.scene().generator(0).position().x, 0.0);
    EXPECT_EQ(v.scene().generator(0).position().z, 0.0);
}

TEST(CameraDrag, RightButtonOrbitsOneStepPerEvent) {
    GlView h;
    CoasterWindow& v = h.view();
    OrbitCamera& c = v.camera();
    h.press(kRight, 200, 200);
    EXPECT_EQ(v.last_button(), kRight);
    const double az = c.azimuth();
    h.drag(300, 200); // far right: still one step
    EXPECT_DOUBLE_EQ(c.azimuth(), az - 4.0);
    h.drag(300, 250); // x equal: the "equal or less" row
    EXPECT_DOUBLE_EQ(c.azimuth(), az);
    h.drag(290, 250);
    EXPECT_DOUBLE_EQ(c.azimuth(), az + 4.0);
    EXPECT_EQ(v.last_mouse_x(), 290);
    EXPECT_EQ(v.last_mouse_y(), 250);
    // Wrapping below zero comes back near 360.
    c.set_azimuth(2.0);
    h.drag(291, 250);
    EXPECT_DOUBLE_EQ(c.azimuth(), 358.0);

    const double el = c.elevation();
    h.drag(291, 260, FL_CTRL); // down
    EXPECT_DOUBLE_EQ(c.elevation(), el + 4.0);
    h.drag(400, 260, FL_CTRL); // y equal
    EXPECT_DOUBLE_EQ(c.elevation(), el);
    for (int i = 1; i <= 40; ++i) {
        h.drag(400, 260 + i, FL_CTRL);
    }
    EXPECT_EQ(c.elevation(), 90.0);
    h.clear_damage();
    h.drag(400, 400, FL_CTRL);
    EXPECT_EQ(c.elevation(), 90.0);
    EXPECT_TRUE(h.damaged()) << "a drag at the limit still redraws";
    EXPECT_DOUBLE_EQ(c.eye_y(), 15.0);

    // Shift and Alt change nothing: with them a drag orbits as without, and
    // with Ctrl as with Ctrl alone.
    int x = 400;
    for (int extra : {FL_SHIFT, FL_ALT}) {
        const double before = c.azimuth();
        x += 50;
        h.drag(x, 400, extra);
        EXPECT_DOUBLE_EQ(c.azimuth(), before - 4.0) << "state " << extra;
        h.drag(x, 300, FL_CTRL | extra);
        EXPECT_DOUBLE_EQ(c.elevation(), 86.0) << "state " << extra;
        h.drag(x, 400, FL_CTRL | extra);
        EXPECT_DOUBLE_EQ(c.azimuth(), before - 4.0);
    }
}

TEST(CameraDrag, MiddleButtonZoomsAndMovesTheTarget) {
    GlView h;
    CoasterWindow& v = h.view();
    OrbitCamera& c = v.camera();
    h.press(kMiddle, 200, 200);
    h.drag(200, 150); // up: closer
    EXPECT_DOUBLE_EQ(c.distance(), 14.8);
    h.drag(100, 150); // y equal: nothing
    EXPECT_DOUBLE_EQ(c.distance(), 14.8);
    EXPECT_EQ(v.last_mouse_x(), 100);
    h.drag(100, 160); // down: farther
    EXPECT_DOUBLE_EQ(c.distance(), 15.0);
    for (int i = 1; i <= 80; ++i) {
        h.drag(100, 160 - i);
    }
    EXPECT_EQ(c.distance(), 2.0);

    const double eye_y = c.eye_y();
    const double target_y = c.target().y;
    h.drag(100, 70, FL_CTRL); // up: target rises, the eye stays
    EXPECT_NEAR(c.target().y, target_y + 0.2, 1e-12);
    EXPECT_EQ(c.eye_y(), eye_y);
    h.drag(100, 80, FL_CTRL);
    h.drag(100, 90, FL_CTRL);
    EXPECT_NEAR(c.target().y, target_y - 0.2, 1e-12);
    h.drag(0, 90, FL_CTRL); // y equal
    EXPECT_NEAR(c.target().y, target_y - 0.2, 1e-12);
    EXPECT_EQ(c.distance(), 2.0);
}

TEST(CameraDrag, RideViewSteersNothingButRedraws) {
    GlView h;
    CoasterWindow& v = h.view();
    v.set_look_from_car(true);
    h.draw_frame();
    OrbitCamera& c = v.camera();
    const double az = c.azimuth(), el = c.elevation(), d = c.distance(), ty = c.target().y;
    for (int button : {kRight, kMiddle}) {
        for (int state : {0, FL_CTRL}) {
            h.press(button, 200, 200);
            h.clear_damage();
            h.drag(250, 260, state);
            EXPECT_TRUE(h.damaged());
            EXPECT_EQ(v.last_mouse_x(), 250);
            EXPECT_EQ(v.last_mouse_y(), 260);
            h.drag(150, 100, state);
            EXPECT_EQ(v.last_mouse_x(), 150);
        }
    }
    EXPECT_EQ(c.azimuth(), az);
    EXPECT_EQ(c.elevation(), el);
    EXPECT_EQ(c.distance(), d);
    EXPECT_EQ(c.target().y, ty);
}

TEST(CameraDrag, MiddleOrRightPressClearsSelectionWithoutRedraw) {
    GlView h;
    CoasterWindow& v = h.view();
    for (int button : {kMiddle, kRight}) {
        select_at(h, v.scene().light().position(), 301);
        h.clear_damage();
        // Even right on the light cube, only the left button picks.
        const Pixel light_pixel = h.locate(v.scene().light().position());
        EXPECT_EQ(h.press(button, light_pixel.x, light_pixel.y), 1);
        EXPECT_EQ(v.scene().selection().name(), -1);
        EXPECT_FALSE(h.damaged());
        // A later drag with this button leaves the light alone.
        const ControlPoint light = v.scene().light();
        h.drag(40, 40);
        expect_same(v.scene().light(), light);
    }
}

// A double-click on the track, in the orbit view and in the ride view,
// inserts the fifth point next to where it was clicked, selected, as one
// undo step; a single click there, or a third quick one, inserts nothing.
TEST(DoubleClick, OnTheTrackInsertsAPointThere) {
    for (bool ride : {false, true}) {
        SCOPED_TRACE(ride ? "ride view" : "orbit view");
        GlView h;
        CoasterWindow& v = h.view();
        v.set_look_from_car(ride);
        const Point3 place = v.scene().track().position_at(ride ? 0.9f : 0.5f);
        const Pixel at = h.locate(place);
        double_click(h, at.x, at.y);
        EXPECT_EQ(v.scene().selection(), Selection::point(1));
        const Point3 added = v.scene().track().point(1).position();
        EXPECT_LT(length(added - place), 0.3);
        const gl_test::WindowPoint shown = h.project(added);
        EXPECT_LT(std::hypot(shown.x - at.x, shown.y - at.y), 6.0);
        Fl::e_clicks = 2; // a third quick click
        h.press(kLeft, at.x, at.y);
        Fl::e_clicks = 0;
        EXPECT_EQ(v.scene().track().num_points(), 5);
        EXPECT_EQ(h.document().history().undo_steps(), 1);
    }
}

// The track is found within five pixels of the band between its rails (three
// pixels past a rail, not eight); a double-click on a point selects it as a
// click does. Past the limits an insert or a delete changes nothing and
// beeps; within them each is one undo step.
TEST(DoubleClick, OnAPointOrPastTheTrackInsertsNothing) {
    GlView h;
    CoasterWindow& v = h.view();
    FrameLayout rails;
    rails.build(v.scene().track(), v.scene().train().car_u, v.scene().train().cars);
    const int k = FrameLayout::kRailSamplesPerSegment / 2; // at u = 0.5, in front
    const Pixel l = h.locate(rails.left_rail()[k]);
    const Pixel r = h.locate(rails.right_rail()[k]);
    const double across = std::hypot(l.x - r.x, l.y - r.y);
    for (double past : {3.0, 8.0}) {
        const auto x = std::lround(l.x + (l.x - r.x) * past / across);
        const auto y = std::lround(l.y + (l.y - r.y) * past / across);
        EXPECT_EQ(v.track_at(x, y).has_value(), past < CoasterWindow::kTrackReach) << past;
    }
    int beeps = 0;
    v.on_refusal([&beeps] { ++beeps; });
    const Pixel cube = h.locate(cube_centre(v.scene().track().point(2)));
    double_click(h, cube.x, cube.y);
    EXPECT_EQ(v.scene().selection(), Selection::point(2));
    v.delete_selected_point();
    EXPECT_EQ(beeps, 1) << "four points stay";
    EXPECT_TRUE(v.insert_point(2.5f));
    h.clear_damage();
    v.delete_selected_point();
    EXPECT_TRUE(h.damaged());
    EXPECT_EQ(h.document().history().undo_steps(), 2);
    while (v.scene().add_point()) {
    }
    EXPECT_FALSE(v.insert_point(0.5f));
    EXPECT_EQ(beeps, 2) << "a hundred points";
    EXPECT_EQ(h.document().history().undo_steps(), 2);
}
