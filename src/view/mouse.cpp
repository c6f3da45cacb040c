// Mouse gestures of the view: a left press selects, a left drag moves the
// selection (straight up or down with Ctrl), right and middle drags steer the
// orbit camera. Keys and the wheel are declined so that the toolkit's own
// handling (Escape closes the window) keeps working.
#include <FL/Fl.H>
#include <FL/gl.h>
#include <GL/glu.h>

#include <array>

#include "view/coaster_window.h"

namespace {

constexpr int kLeftButton = 1;
constexpr int kMiddleButton = 2;
constexpr int kRightButton = 3;

} // namespace

int CoasterWindow::handle(int event) {
    switch (event) {
    case FL_PUSH:
        if (press()) {
            damage(1);
        }
        return 1;
    case FL_DRAG:
        drag();
        damage(1);
        return 1;
    case FL_RELEASE:
        damage(1);
        return 1;
    case FL_SHOW:
        show();
        return 1;
    default:
        return 0;
    }
}

bool CoasterWindow::press() {
    last_mouse_x_ = Fl::event_x();
    last_mouse_y_ = Fl::event_y();
    last_button_ = Fl::event_button();
    // Any press drops the selection; only the left button picks a new one.
    // A new press starts a new undo step, even for the same object.
    scene_.clear_selection();
    document_.end_merging();
    if (last_button_ != kLeftButton) {
        return false;
    }
    return select();
}

bool CoasterWindow::select() {
    const std::optional<int> name = pick();
    if (name) {
        scene_.select_name(*name);
    }
    // A double-click keeps its meaning on an object; on the track alone it
    // inserts a point there, which then shows as a picked one. A third quick
    // click counts on from the double-click and inserts nothing more.
    const bool inserted = Fl::event_clicks() == 1 &&
                          scene_.selection().is(Selection::Kind::nothing) && insert_on_track();
    if (!name && !inserted) {
        return false;
    }
    if (on_pick_) {
        on_pick_();
    }
    return true;
}

bool CoasterWindow::insert_on_track() {
    const std::optional<float> u = track_at(Fl::event_x(), Fl::event_y());
    return u && insert_point(*u);
}

void CoasterWindow::drag() {
    const int x = Fl::event_x();
    const int y = Fl::event_y();
    const bool ctrl = (Fl::event_state() & FL_CTRL) != 0;
    // The camera follows the train in the ride view: only the selection moves.
    const bool steer = !scene_.look_from_car();
    if (last_button_ == kLeftButton) {
        if (ctrl) {
            move_vertically(x, y);
        } else {
            move_in_plane(x, y);
        }
    } else if (last_button_ == kRightButton && steer) {
        if (ctrl) {
            change_elevation(y);
        } else {
            orbit(x);
        }
    } else if (last_button_ == kMiddleButton && steer) {
        if (ctrl) {
            raise_target(y);
        } else {
            zoom(y);
        }
    }
    last_mouse_x_ = x;
    last_mouse_y_ = y;
}

void CoasterWindow::move_in_plane(int x, int y) {
    move_selection(x, y, false);
}

void CoasterWindow::move_vertically(int x, int y) {
    move_selection(x, y, true);
}

void CoasterWindow::move_selection(int x, int y, bool vertical) {
    if (!shown() || scene_.selection().is(Selection::Kind::nothing)) {
        return;
    }
    make_current();
    // A pick leaves the matrices of the last draw in place; before the first
    // draw there are none yet, so build them as a draw would.
    if (!valid()) {
        setup_projection(true);
    }
    std::array<GLint, 4> viewport{};
    glGetIntegerv(GL_VIEWPORT, viewport.data());
    const double win_y = viewport[3] - y - 1;
    // Every move of one drag, press to release, is one undo step.
    const MergeKey key{MergeKey::Kind::drag, scene_.selection().name()};
    Point3 near;
    if (unproject(x, win_y, 0.0, &near.x, &near.y, &near.z) != GL_TRUE) {
        return;
    }
    if (!scene_.look_from_car()) {
        // The orbit eye is where the drawn view looks from, so the ray from
        // it through the pointer's point on the near plane is the pointer's.
        const Point3 eye{camera_.eye_x(), camera_.eye_y(), camera_.eye_z()};
        document_.edit([&](Scene& s) { return s.drag_selection(eye, near, vertical); }, key);
        return;
    }
    // The ride view looks from above the train, not from the orbit eye: the
    // pointer's ray runs from its point on the near plane through its point on
    // the far plane, both unprojected with the drawn matrices. Starting at the
    // near point, a move lands only beyond the near plane, in front of the view.
    Point3 far;
    if (unproject(x, win_y, 1.0, &far.x, &far.y, &far.z) == GL_TRUE) {
        document_.edit([&](Scene& s) { return s.drag_selection(near, far, vertical); }, key);
    }
}

void CoasterWindow::orbit(int x) {
    if (x > last_mouse_x_) {
        camera_.decrease_azimuth();
    } else {
        camera_.increase_azimuth();
    }
}

void CoasterWindow::change_elevation(int y) {
    if (y > last_mouse_y_) {
        camera_.increase_elevation();
    } else {
        camera_.decrease_elevation();
    }
}

void CoasterWindow::zoom(int y) {
    if (y < last_mouse_y_) {
        camera_.zoom_in();
    } else if (y > last_mouse_y_) {
        camera_.zoom_out();
    }
}

void CoasterWindow::raise_target(int y) {
    if (y < last_mouse_y_) {
        camera_.raise_target();
    } else if (y > last_mouse_y_) {
        camera_.lower_target();
    }
}

int CoasterWindow::unproject(double win_x, double win_y, double win_z, double* x, double* y,
                             double* z) {
    if (!shown()) {
        return GL_FALSE; // no context to read matrices from
    }
    make_current();
    std::array<GLint, 4> viewport{};
    std::array<GLdouble, 16> mvmatrix{};
    std::array<GLdouble, 16> projmatrix{};
    glGetIntegerv(GL_VIEWPORT, viewport.data());
    glGetDoublev(GL_MODELVIEW_MATRIX, mvmatrix.data());
    glGetDoublev(GL_PROJECTION_MATRIX, projmatrix.data());
    return gluUnProject(win_x, win_y, win_z, mvmatrix.data(), projmatrix.data(), viewport.data(), x,
                        y, z);
}
