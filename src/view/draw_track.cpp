// The track itself: two grey rails beside the curve and brown ties spaced
// evenly by arc length, drawn from the frame's layout of the track.
#include "view/coaster_window.h"

#include <FL/gl.h>

#include "view/box.h"
#include "view/draw_util.h"

const FrameLayout& CoasterWindow::layout() {
    layout_.build(scene_.track(), scene_.train().car_u, scene_.train().cars);
    return layout_;
}

namespace {

// One rail: a closed polyline beside the curve.
void draw_rail(const Point3* vertices, int count) {
    glBegin(GL_LINE_LOOP);
    for (int k = 0; k < count; ++k) {
        if (finite_point(vertices[k])) {
            glVertex3d(vertices[k].x, vertices[k].y, vertices[k].z);
        }
    }
    glEnd();
}

} // namespace

void CoasterWindow::draw_rails() {
    const FrameLayout& frame = layout();
    glLineWidth(4.0f);
    glColor3f(0.4f, 0.4f, 0.42f);
    draw_rail(frame.left_rail(), frame.rail_vertex_count());
    draw_rail(frame.right_rail(), frame.rail_vertex_count());
}

void CoasterWindow::draw_ties() {
    const FrameLayout& frame = layout();
    glColor3f(0.6196f, 0.4039f, 0.1137f);
    for (int k = 0; k < frame.tie_count(); ++k) {
        const TiePose& tie = frame.ties()[k];
        if (!all_finite(tie.x, tie.y, tie.z, tie.heading, tie.pitch, tie.roll)) {
            continue;
        }
        glPushMatrix();
        glTranslatef(tie.x, tie.y, tie.z);
        glRotated(tie.heading, 0.0, 1.0, 0.0);
        glRotated(tie.pitch, 1.0, 0.0, 0.0);
        glRotated(-tie.roll, 0.0, 0.0, 1.0);
        glBegin(GL_QUADS);
        box_quads(-0.5, -0.05, -0.125, 0.5, 0.05, 0.125);
        glEnd();
        glPopMatrix();
    }
}
