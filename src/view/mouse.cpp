// Mouse handling of the view: a left press picks, a left drag moves the
// picked object, middle and right drags steer the orbit camera. Keys and the
// wheel are declined so they reach the controls of the main window.
#include <FL/Fl.H>
#include <FL/Fl_Value_Slider.H>
#include <FL/gl.h>
#include <GL/glu.h>

#include <array>

#include "view/coaster_window.h"
#include "view/draw_util.h"

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

ControlPoint* CoasterWindow::drag_target(bool ctrl) {
    // Read against the current point count: after points were added or
    // removed a stale name may fall into another range, or into none.
    const int n = num_points;
    const int name = selected_name;
    if (name < 0) {
        return nullptr;
    }
    if (name < n) {
        return &track.point(name);
    }
    if (name < 3 * n) {
        return &track.bezier_handle(name - n);
    }
    if (name == kLightName) {
        return &light_pos;
    }
    if (name >= kFirstGeneratorName) {
        const int index = name - kFirstGeneratorName;
        // Generators stay on the ground: Ctrl does not lift them. A name past
        // the last generator names nothing.
        if (ctrl || index >= num_generators || generators[index] == nullptr) {
            return nullptr;
        }
        return generators[index]->position();
    }
    return nullptr;
}

namespace {

// Where the ray from the eye E through the near-plane point N meets the drag
// plane: the horizontal plane through P, or with Ctrl the plane z = P.z (which
// holds the vertical line through P, so only y changes). Returns false, and
// leaves `out` alone, when the ray runs parallel to the plane, meets it at or
// behind the eye, or the result is not a finite point.
bool ray_to_drag_plane(const ControlPoint& p, const Point3& e, const Point3& n, bool ctrl,
                       Point3& out) {
    const double denom = ctrl ? e.z - n.z : e.y - n.y;
    if (denom == 0.0) {
        return false;
    }
    const double t = (ctrl ? e.z - p.z : e.y - p.y) / denom;
    if (!(t > 0.0)) {
        return false;
    }
    const double y = e.y + t * (n.y - e.y);
    const Point3 moved =
        ctrl ? Point3{p.x, y, p.z} : Point3{e.x + t * (n.x - e.x), y, e.z + t * (n.z - e.z)};
    if (!finite_point(moved)) {
        return false;
    }
    out = moved;
    return true;
}

} // namespace

int CoasterWindow::handle(int event) {
    switch (event) {
    case FL_PUSH: {
        last_mouse_x = Fl::event_x();
        last_mouse_y = Fl::event_y();
        last_button = Fl::event_button();
        selected_name = -1;
        if (Fl::event_button() == kLeftButton) {
            picked = pick();
            if (picked) {
                if (selected_name >= 0 && selected_name < num_points) {
                    selected_point = &track.point(selected_name);
                    if (roll_slider != nullptr) {
                        // value() only shows the roll; the slider's callback
                        // does not run.
                        roll_slider->value(selected_point->roll);
                    }
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
        std::array<GLint, 4> viewport{0, 0, w(), h()};
        if (shown()) {
            make_current();
            glGetIntegerv(GL_VIEWPORT, viewport.data());
        }
        const bool ctrl = (Fl::event_state() & FL_CTRL) != 0;
        const int x = Fl::event_x();
        const int y = Fl::event_y();

        if (last_button == kRightButton) {
            if (!look_from_car) {
                if (ctrl) {
                    if (y > last_mouse_y) {
                        camera.increase_elevation();
                    } else {
                        camera.decrease_elevation();
                    }
                } else if (x > last_mouse_x) {
                    camera.decrease_azimuth();
                } else {
                    camera.increase_azimuth();
                }
            }
            last_mouse_x = x;
            last_mouse_y = y;
            damage(1);
        } else if (last_button == kMiddleButton) {
            if (!look_from_car) {
                if (ctrl) {
                    if (y < last_mouse_y) {
                        camera.raise_target();
                    } else if (y > last_mouse_y) {
                        camera.lower_target();
                    }
                } else if (y < last_mouse_y) {
                    camera.zoom_in();
                } else if (y > last_mouse_y) {
                    camera.zoom_out();
                }
            }
            last_mouse_y = y;
            last_mouse_x = x;
            redraw();
        } else if (last_button == kLeftButton && selected_name >= 0) {
            ControlPoint* target = drag_target(ctrl);
            if (target != nullptr) {
                last_mouse_x = x;
                last_mouse_y = y;
                if (shown()) {
                    // A drag can arrive before the view has redrawn after the
                    // press, while the projection still holds the 5 x 5 pick
                    // region; rebuild the matrices a draw would leave so the
                    // pointer maps to the picture the user sees.
                    setup_projection(true);
                    const double win_y = viewport[3] - last_mouse_y - 1;
                    Point3 n;
                    if (unproject(last_mouse_x, win_y, 0.0, &n.x, &n.y, &n.z) == GL_TRUE) {
                        const Point3 e{camera.eye_x(), camera.eye_y(), camera.eye_z()};
                        Point3 moved;
                        if (ray_to_drag_plane(*target, e, n, ctrl, moved)) {
                            target->set_position(moved.x, moved.y, moved.z);
                        }
                    }
                }
                damage(1);
            }
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
