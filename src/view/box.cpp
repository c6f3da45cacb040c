// The one box shape of the scene: ties, point cubes, handle boxes and the light
// cube all come through here, so they share face order, normals and winding.
#include "view/box.h"

#include <FL/gl.h>

void box_quads(double x0, double y0, double z0, double x1, double y1, double z1) {
    glNormal3d(0.0, 0.0, 1.0);
    glVertex3d(x0, y0, z1);
    glVertex3d(x0, y1, z1);
    glVertex3d(x1, y1, z1);
    glVertex3d(x1, y0, z1);

    glNormal3d(0.0, 0.0, -1.0);
    glVertex3d(x0, y0, z0);
    glVertex3d(x0, y1, z0);
    glVertex3d(x1, y1, z0);
    glVertex3d(x1, y0, z0);

    glNormal3d(0.0, 1.0, 0.0);
    glVertex3d(x0, y1, z0);
    glVertex3d(x0, y1, z1);
    glVertex3d(x1, y1, z1);
    glVertex3d(x1, y1, z0);

    glNormal3d(0.0, -1.0, 0.0);
    glVertex3d(x0, y0, z0);
    glVertex3d(x0, y0, z1);
    glVertex3d(x1, y0, z1);
    glVertex3d(x1, y0, z0);

    glNormal3d(1.0, 0.0, 0.0);
    glVertex3d(x1, y0, z0);
    glVertex3d(x1, y0, z1);
    glVertex3d(x1, y1, z1);
    glVertex3d(x1, y1, z0);

    glNormal3d(-1.0, 0.0, 0.0);
    glVertex3d(x0, y0, z0);
    glVertex3d(x0, y0, z1);
    glVertex3d(x0, y1, z1);
    glVertex3d(x0, y1, z0);
}

namespace {

// The four edges of the box's face at depth z, as one closed loop.
void face_loop(double x0, double y0, double x1, double y1, double z) {
    glBegin(GL_LINE_LOOP);
    glVertex3d(x0, y0, z);
    glVertex3d(x0, y1, z);
    glVertex3d(x1, y1, z);
    glVertex3d(x1, y0, z);
    glEnd();
}

} // namespace

void box_outline(double x0, double y0, double z0, double x1, double y1, double z1) {
    glColor3f(0.0f, 0.0f, 0.0f);
    glLineWidth(2.0f);

    face_loop(x0, y0, x1, y1, z1);
    face_loop(x0, y0, x1, y1, z0);

    glBegin(GL_LINES);
    glVertex3d(x0, y0, z1);
    glVertex3d(x0, y0, z0);
    glVertex3d(x0, y1, z1);
    glVertex3d(x0, y1, z0);
    glVertex3d(x1, y1, z1);
    glVertex3d(x1, y1, z0);
    glVertex3d(x1, y0, z1);
    glVertex3d(x1, y0, z0);
    glEnd();
}
