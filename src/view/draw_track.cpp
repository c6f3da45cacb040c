// The track itself: two grey rails beside the curve and brown ties spaced
// evenly by arc length, drawn from the frame's layout of the track.
#include "view/coaster_window.h"

#include "scene/scene_shapes.h"
#include "view/box.h"
#include "view/draw_util.h"

const FrameLayout& CoasterWindow::layout() {
    layout_.build(scene_.track(), scene_.train().car_u, scene_.train().cars);
    return layout_;
}

namespace {

// One rail: a closed polyline beside the curve.
void draw_rail(DrawList& d, const Point3* vertices, int count) {
    d.begin(GL_LINE_LOOP);
    for (int k = 0; k < count; ++k) {
        if (is_finite(vertices[k])) {
            d.vertex(vertices[k].x, vertices[k].y, vertices[k].z);
        }
    }
    d.end();
}

} // namespace

void CoasterWindow::draw_rails() {
    const FrameLayout& frame = layout();
    DrawList& d = draw_list_;
    d.line_width(4.0f);
    d.colour(shapes::kRailColour.r, shapes::kRailColour.g, shapes::kRailColour.b);
    draw_rail(d, frame.left_rail(), frame.rail_vertex_count());
    draw_rail(d, frame.right_rail(), frame.rail_vertex_count());
    d.flush();
}

void CoasterWindow::draw_ties() {
    const FrameLayout& frame = layout();
    DrawList& d = draw_list_;
    d.colour(shapes::kTieColour.r, shapes::kTieColour.g, shapes::kTieColour.b);
    for (int k = 0; k < frame.tie_count(); ++k) {
        const TiePose& tie = frame.ties()[k];
        if (!all_finite(tie.x, tie.y, tie.z, tie.heading, tie.pitch, tie.roll)) {
            continue;
        }
        d.push_matrix();
        d.translate(tie.x, tie.y, tie.z);
        d.rotate(static_cast<float>(tie.heading), 0.0f, 1.0f, 0.0f);
        d.rotate(static_cast<float>(tie.pitch), 1.0f, 0.0f, 0.0f);
        d.rotate(static_cast<float>(-tie.roll), 0.0f, 0.0f, 1.0f);
        box_quads(d, shapes::kTieLow[0], shapes::kTieLow[1], shapes::kTieLow[2],
                  shapes::kTieHigh[0], shapes::kTieHigh[1], shapes::kTieHigh[2]);
        d.pop_matrix();
    }
    d.flush();
}
