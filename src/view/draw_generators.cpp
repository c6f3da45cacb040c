// Ball generators: a green post with an open cup, and the balls it has let
// go. Each generator and its balls share its selection name, 400 + index.
#include "view/coaster_window.h"

#include <FL/gl.h>
#include <GL/glu.h>

#include "view/draw_util.h"

namespace {

// Moves to a point and turns the quadric's +z axis to world +y, so that
// cylinders grow upward and disks lie flat.
void stand_at(double x, double y, double z) {
    glTranslated(x, y, z);
    glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
}

void upright_cylinder(GLUquadric* q, double x, double y, double z, double radius, double height) {
    glPushMatrix();
    stand_at(x, y, z);
    gluCylinder(q, radius, radius, height, 12, 1);
    glPopMatrix();
}

void flat_disk(GLUquadric* q, double x, double y, double z, double inner, double outer) {
    glPushMatrix();
    stand_at(x, y, z);
    gluDisk(q, inner, outer, 12, 3);
    glPopMatrix();
}

// Sets the ball's colour and leaves it so.
void draw_ball(GLUquadric* q, const Ball& ball) {
    const ControlPoint& source = ball.source_position();
    const Point3& c = ball.colour();
    // A ball's height is world height: it does not add the generator's y.
    if (!all_finite(source.x, ball.height(), source.z, ball.radius(), c.x, c.y, c.z)) {
        return;
    }
    glPushMatrix();
    glTranslated(source.x, ball.height(), source.z);
    glColor3d(c.x, c.y, c.z);
    gluSphere(q, ball.radius(), 6, 6);
    glPopMatrix();
}

// Sets its colours and leaves the last one set.
void draw_generator(GLUquadric* q, const BallGenerator& generator) {
    const ControlPoint& at = generator.position();
    if (all_finite(at.x, at.y, at.z)) {
        glColor3f(0.0f, 0.9f, 0.0f);
        // The post always stands on the ground; only the cup follows y.
        upright_cylinder(q, at.x, 0.0, at.z, 0.6, 1.1);
        flat_disk(q, at.x, at.y + 1.1, at.z, 0.5, 0.7);
        upright_cylinder(q, at.x, at.y + 1.1, at.z, 0.7, 0.4);
        upright_cylinder(q, at.x, at.y + 1.1, at.z, 0.5, 0.4);
        flat_disk(q, at.x, at.y + 1.5, at.z, 0.5, 0.7);
        glColor3f(0.0f, 0.0f, 0.0f);
        flat_disk(q, at.x, at.y + 1.2, at.z, 0.0, 0.7);
    }
    for (int k = 0; k < generator.num_balls(); ++k) {
        draw_ball(q, generator.live_ball(k));
    }
}

} // namespace

void CoasterWindow::draw_generators() {
    const int count = scene_.num_generators();
    if (count <= 0) {
        return;
    }
    GLUquadric* quadric = view_quadric(quadric_);
    if (quadric == nullptr) {
        return;
    }
    for (int i = 0; i < count; ++i) {
        glLoadName(static_cast<GLuint>(kFirstGeneratorName + i));
        draw_generator(quadric, scene_.generator(i));
    }
}
