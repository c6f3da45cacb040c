// Editing markers: a cube with a roll post for every control point, a box for
// every Bezier handle and the light cube. Each is drawn under its own selection
// name and turns red (the light blue) while selected.
#include "view/coaster_window.h"

#include "view/box.h"
#include "view/draw_util.h"

namespace {

constexpr double kPointHalf = 0.15;
constexpr double kTipHalf = 0.05;
constexpr double kHandleHalf = 0.125;
constexpr double kLightHalf = 0.2;

void cube_quads(DrawList& d, double half) {
    box_quads(d, -half, -half, -half, half, half, half);
}

} // namespace

void CoasterWindow::draw_control_points() {
    DrawList& d = draw_list_;
    const Track& track = scene_.track();
    const int selected = scene_.selection().name();
    for (int i = 0; i < track.num_points(); ++i) {
        const ControlPoint& cp = track.point(i);
        const float u = static_cast<float>(i);
        double heading = track.heading_at(u);
        double roll = track.roll_at(u);
        // A point must stay visible and pickable even where the track gives no
        // usable angle; it is then drawn unturned.
        if (!all_finite(heading, roll)) {
            heading = 0.0;
            roll = 0.0;
        }
        const float x = static_cast<float>(cp.x);
        const float y = static_cast<float>(cp.y + 0.5);
        const float z = static_cast<float>(cp.z);
        if (!all_finite(x, y, z)) {
            continue;
        }
        d.push_matrix();
        // The cube floats 0.5 above its point, turned to the track's heading
        // and bank there (no pitch), so the post shows the point's roll.
        d.translate(x, y, z);
        d.rotate(static_cast<float>(heading), 0.0f, 1.0f, 0.0f);
        d.rotate(static_cast<float>(-roll), 0.0f, 0.0f, 1.0f);
        const int name = Selection::point(i).name();
        if (name == selected) {
            d.colour(0.7f, 0.0f, 0.0f);
        } else {
            d.colour(0.0f, 0.0f, 0.8f);
        }
        d.load_name(static_cast<GLuint>(name));
        cube_quads(d, kPointHalf);
        box_outline(d, -kPointHalf, -kPointHalf, -kPointHalf, kPointHalf, kPointHalf, kPointHalf);

        // The roll post: a black line up from the cube's centre to its tip.
        d.colour(0.0f, 0.0f, 0.0f);
        d.line_width(2.0f);
        d.begin(GL_LINE_STRIP);
        d.vertex(0.0f, 0.0f, 0.0f);
        d.vertex(0.0f, 0.45f, 0.0f);
        d.end();

        d.push_matrix();
        d.translate(0.0f, 0.45f, 0.0f);
        d.colour(0.7f, 0.0f, 1.0f);
        cube_quads(d, kTipHalf);
        d.pop_matrix();

        d.pop_matrix();
    }
    d.flush();
}

void CoasterWindow::draw_handles() {
    DrawList& d = draw_list_;
    const Track& track = scene_.track();
    const int n = track.num_points();
    const int selected = scene_.selection().name();
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < 2; ++j) {
            const int name = Selection::handle(2 * i + j, n).name();
            if (name == selected) {
                d.colour(0.7f, 0.0f, 0.0f);
            } else {
                d.colour(0.7f, 0.7f, 0.0f);
            }
            const ControlPoint& h = track.bezier_handle(2 * i + j);
            if (!all_finite(h.x, h.y, h.z)) {
                continue;
            }
            // World-aligned: the box ignores the track's orientation.
            const double x0 = h.x - kHandleHalf, x1 = h.x + kHandleHalf;
            const double y0 = h.y - kHandleHalf, y1 = h.y + kHandleHalf;
            const double z0 = h.z - kHandleHalf, z1 = h.z + kHandleHalf;
            d.load_name(static_cast<GLuint>(name));
            box_quads(d, x0, y0, z0, x1, y1, z1);
            box_outline(d, x0, y0, z0, x1, y1, z1);
        }
    }
    d.flush();
}

void CoasterWindow::draw_light_cube() {
    DrawList& d = draw_list_;
    d.push_matrix();
    if (scene_.selection().is(Selection::Kind::light)) {
        d.colour(0.0f, 0.0f, 1.0f);
    } else {
        d.colour(1.0f, 1.0f, 0.0f);
    }
    const ControlPoint& light = scene_.light();
    const float x = static_cast<float>(light.x);
    const float y = static_cast<float>(light.y);
    const float z = static_cast<float>(light.z);
    d.load_name(static_cast<GLuint>(Selection::light().name()));
    if (all_finite(x, y, z)) {
        d.translate(x, y, z);
        cube_quads(d, kLightHalf);
    }
    d.pop_matrix();
}
