// One frame of the view: clear, projection and camera, the light, then the
// scene in its fixed order. draw_scene() also serves picking, so every object
// is drawn under its selection name.
#include "view/coaster_window.h"

#include <FL/gl.h>
#include <GL/glu.h>

#include "view/draw_util.h"

namespace {

const GLfloat ground_white[4] = {1.0f, 1.0f, 1.0f, 0.0f};
const GLfloat ground_black[4] = {0.0f, 0.0f, 0.0f, 0.0f};

} // namespace

void CoasterWindow::draw() {
    // A fresh context starts with the viewport of its first use; after a resize
    // (or on a screen with scaling) it must follow the window's pixel size.
    if (!valid() || pixel_w() != viewport_w_ || pixel_h() != viewport_h_) {
        viewport_w_ = pixel_w();
        viewport_h_ = pixel_h();
        glViewport(0, 0, viewport_w_, viewport_h_);
    }

    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_DEPTH_TEST);

    setup_projection(true);
    setup_light();

    glPushMatrix();
    draw_scene();
    glPopMatrix();

    glEnable(GL_DEPTH_TEST);
}

void CoasterWindow::setup_projection(bool reset_projection) {
    glMatrixMode(GL_PROJECTION);
    if (reset_projection) {
        glLoadIdentity();
    }
    const double aspect = h() > 0 ? static_cast<double>(w()) / static_cast<double>(h()) : 1.0;
    gluPerspective(45.0, aspect, scene_.look_from_car() ? 0.5 : 2.0, 100.0);

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const LookAt view = camera_.look(scene_.train().car_u, scene_.look_from_car());
    // A ride view over a degenerate track could produce a non-finite eye; the
    // frame then keeps the identity view rather than hand GL a NaN.
    if (finite_point(view.eye) && finite_point(view.centre) && finite_point(view.up)) {
        gluLookAt(view.eye.x, view.eye.y, view.eye.z, view.centre.x, view.centre.y, view.centre.z,
                  view.up.x, view.up.y, view.up.z);
    }
}

void CoasterWindow::setup_light() {
    const GLfloat light_ambient[4] = {0.4f, 0.4f, 0.4f, 1.0f};
    const ControlPoint& light = scene_.light();
    GLfloat light_position[4] = {static_cast<GLfloat>(light.x), static_cast<GLfloat>(light.y),
                                 static_cast<GLfloat>(light.z), 0.0f};
    if (!all_finite(light_position[0], light_position[1], light_position[2])) {
        light_position[0] = 0.0f;
        light_position[1] = 1.0f;
        light_position[2] = 0.0f;
    }
    glLightfv(GL_LIGHT0, GL_AMBIENT, light_ambient);
    glLightfv(GL_LIGHT0, GL_POSITION, light_position);
    glEnable(GL_LIGHT0);
}

namespace {

// The ground: a checkerboard of 10 x 10 cells from -10 to 10 in x and z.
constexpr int kGroundCells = 10;
constexpr float kGroundMin = -10.0f;
constexpr float kGroundMax = 10.0f;

// One quad per cell, black where col + row is even, so the (min x, min z)
// corner cell is black.
void draw_ground() {
    const float width = (kGroundMax - kGroundMin) / static_cast<float>(kGroundCells);
    const float depth = width;
    glBegin(GL_QUADS);
    float x = kGroundMin;
    for (int col = 0; col < kGroundCells; ++col) {
        float z = kGroundMin;
        for (int row = 0; row < kGroundCells; ++row) {
            glColor4fv((col + row) % 2 == 1 ? ground_white : ground_black);
            glVertex3f(x, 0.0f, z);
            glVertex3f(x, 0.0f, z + depth);
            glVertex3f(x + width, 0.0f, z + depth);
            glVertex3f(x + width, 0.0f, z);
            z += depth;
        }
        x += width;
    }
    glEnd();
}

} // namespace

void CoasterWindow::draw_scene() {
    // The last frame leaves GL_LIGHTING on when the lights were on; switch it
    // off explicitly so that markers and generators are unlit from the first
    // frame after the lights are turned off.
    const bool lit = scene_.lights_on();
    if (lit) {
        glEnable(GL_LIGHTING);
    } else {
        glDisable(GL_LIGHTING);
    }
    draw_control_points();
    if (scene_.track().curve_type() == CurveType::Bezier) {
        draw_handles();
    }
    draw_generators();
    glDisable(GL_LIGHTING);

    draw_light_cube();

    glPushMatrix();
    glLoadName(static_cast<GLuint>(kNoName)); // reads back as all ones
    glEnable(GL_DEPTH_TEST);
    draw_ground();
    glPopMatrix();

    draw_rails();

    if (lit) {
        glEnable(GL_LIGHTING);
    }
    draw_cars();
    draw_ties();
}
