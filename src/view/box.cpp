#include "view/box.h"

#include "view/draw_list.h"

namespace {

// The four edges of the box's face at depth z, as one closed loop.
void face_loop(DrawList& d, double x0, double y0, double x1, double y1, double z) {
    d.begin(GL_LINE_LOOP);
    d.vertex(x0, y0, z);
    d.vertex(x0, y1, z);
    d.vertex(x1, y1, z);
    d.vertex(x1, y0, z);
    d.end();
}

} // namespace

void box_quads(DrawList& d, double x0, double y0, double z0, double x1, double y1, double z1) {
    d.begin(GL_QUADS);
    d.normal(0.0f, 0.0f, 1.0f);
    d.vertex(x0, y0, z1);
    d.vertex(x0, y1, z1);
    d.vertex(x1, y1, z1);
    d.vertex(x1, y0, z1);

    d.normal(0.0f, 0.0f, -1.0f);
    d.vertex(x0, y0, z0);
    d.vertex(x0, y1, z0);
    d.vertex(x1, y1, z0);
    d.vertex(x1, y0, z0);

    d.normal(0.0f, 1.0f, 0.0f);
    d.vertex(x0, y1, z0);
    d.vertex(x0, y1, z1);
    d.vertex(x1, y1, z1);
    d.vertex(x1, y1, z0);

    d.normal(0.0f, -1.0f, 0.0f);
    d.vertex(x0, y0, z0);
    d.vertex(x0, y0, z1);
    d.vertex(x1, y0, z1);
    d.vertex(x1, y0, z0);

    d.normal(1.0f, 0.0f, 0.0f);
    d.vertex(x1, y0, z0);
    d.vertex(x1, y0, z1);
    d.vertex(x1, y1, z1);
    d.vertex(x1, y1, z0);

    d.normal(-1.0f, 0.0f, 0.0f);
    d.vertex(x0, y0, z0);
    d.vertex(x0, y0, z1);
    d.vertex(x0, y1, z1);
    d.vertex(x0, y1, z0);
    d.end();
}

void box_outline(DrawList& d, double x0, double y0, double z0, double x1, double y1, double z1) {
    d.colour(0.0f, 0.0f, 0.0f);
    d.line_width(2.0f);

    face_loop(d, x0, y0, x1, y1, z1);
    face_loop(d, x0, y0, x1, y1, z0);

    d.begin(GL_LINES);
    d.vertex(x0, y0, z1);
    d.vertex(x0, y0, z0);
    d.vertex(x0, y1, z1);
    d.vertex(x0, y1, z0);
    d.vertex(x1, y1, z1);
    d.vertex(x1, y1, z0);
    d.vertex(x1, y0, z1);
    d.vertex(x1, y0, z0);
    d.end();
}
