// Mouse handling of the view: a left press picks, a left drag moves the
// picked object, middle and right drags steer the orbit camera. Keys and the
// wheel are declined so they reach the controls of the main window.
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

void CoasterWindow::drag_selection(bool vertical) {
    if (!shown() || scene_.selection().is(Selection::Kind::nothing)) {
        return;
    }
    make_current();
    std::array<GLint, 4> viewport{};
    glGetIntegerv(GL_VIEWPORT, viewport.data());
    // A drag can arrive before the view has redrawn after the press, while the
    // projection still holds the 5 x 5 pick region; rebuild the matrices a
    // draw would leave so the pointer maps to the picture the user sees.
    setup_projection(true);
    const double win_y = viewport[3] - last_mouse_y_ - 1;
    Point3 near;
    if (unproject(last_mouse_x_, win_y, 0.0, &near.x, &near.y, &near.z) == GL_TRUE) {
        const Point3 eye{camera_.eye_x(), camera_.eye_y(), camera_.eye_z()};
        scene_.drag_selection(eye, near, vertical);
    }
}

int CoasterWindow::handle(int event) {
    switch (event) {
    case FL_PUSH: {
        last_mouse_x_ = Fl::event_x();
        last_mouse_y_ = Fl::event_y();
        last_button_ = Fl::event_button();
        scene_.clear_selection();
        if (last_button_ == kLeftButton) {
            if (const std::optional<int> name = pick()) {
                scene_.select_name(*name);
                if (on_pick_) {
                    on_pick_();
                }
                damage(1);
            }
        }
        return 1;
    }
    case FL_RELEASE:
        damage(1);
        return 1;
    case FL_DRAG: {
        const bool ctrl = (Fl::event_state() & FL_CTRL) != 0;
        const int x = Fl::event_x();
        const int y = Fl::event_y();
        const bool orbiting = !scene_.look_from_car();
        if (last_button_ == kRightButton && orbiting) {
            if (ctrl) {
                if (y > last_mouse_y_) {
                    camera_.increase_elevation();
                } else {
                    camera_.decrease_elevation();
                }
            } else if (x > last_mouse_x_) {
                camera_.decrease_azimuth();
            } else {
                camera_.increase_azimuth();
            }
        } else if (last_button_ == kMiddleButton && orbiting) {
            if (ctrl) {
                if (y < last_mouse_y_) {
                    camera_.raise_target();
                } else if (y > last_mouse_y_) {
                    camera_.lower_target();
                }
            } else if (y < last_mouse_y_) {
                camera_.zoom_in();
            } else if (y > last_mouse_y_) {
                camera_.zoom_out();
            }
        }
        last_mouse_x_ = x;
        last_mouse_y_ = y;
        if (last_button_ == kLeftButton) {
            drag_selection(ctrl);
        }
        damage(1);
        return 1;
    }
    case FL_SHOW:
        show();
        return 1;
    default:
        return 0;
    }
}
