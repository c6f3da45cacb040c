// One frame of the view: the context's fixed state when it is new, then per
// frame the clear, projection and camera, the light's position and the scene
// in its fixed order. draw_scene() also serves picking, so every object is
// drawn under its selection name.
#include "view/coaster_window.h"

#include <FL/gl.h>
#include <GL/glu.h>

#include "scene/scene_shapes.h"
#include "view/draw_util.h"

void CoasterWindow::draw() {
    // The toolkit marks the context not valid when it is new and after a
    // resize: set what never changes, and the viewport, then.
    if (!valid()) {
        glViewport(0, 0, pixel_w(), pixel_h());
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glEnable(GL_DEPTH_TEST);
        // Lit objects take their material from the current colour.
        glEnable(GL_COLOR_MATERIAL);
        const GLfloat light_ambient[4] = {0.4f, 0.4f, 0.4f, 1.0f};
        glLightfv(GL_LIGHT0, GL_AMBIENT, light_ambient);
        glEnable(GL_LIGHT0);
        draw_list_.forget_state();
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    setup_projection(true);
    setup_light();
    draw_scene();
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
    if (is_finite(view.eye) && is_finite(view.centre) && is_finite(view.up)) {
        gluLookAt(view.eye.x, view.eye.y, view.eye.z, view.centre.x, view.centre.y, view.centre.z,
                  view.up.x, view.up.y, view.up.z);
    }
}

void CoasterWindow::setup_light() {
    // GL keeps the position in eye coordinates: it is set after the camera.
    const ControlPoint& light = scene_.light();
    GLfloat light_position[4] = {static_cast<GLfloat>(light.x), static_cast<GLfloat>(light.y),
                                 static_cast<GLfloat>(light.z), 0.0f};
    if (!all_finite(light_position[0], light_position[1], light_position[2])) {
        light_position[0] = 0.0f;
        light_position[1] = 1.0f;
        light_position[2] = 0.0f;
    }
    glLightfv(GL_LIGHT0, GL_POSITION, light_position);
}

namespace {

using shapes::kGroundCells;
using shapes::kGroundMax;
using shapes::kGroundMin;

// The ground's checkerboard, one quad per cell.
void draw_ground(DrawList& d) {
    const float width = (kGroundMax - kGroundMin) / static_cast<float>(kGroundCells);
    const float depth = width;
    d.begin(GL_QUADS);
    float x = kGroundMin;
    for (int col = 0; col < kGroundCells; ++col) {
        float z = kGroundMin;
        for (int row = 0; row < kGroundCells; ++row) {
            const float shade = (col + row) % 2 == 1 ? 1.0f : 0.0f;
            d.colour(shade, shade, shade, 0.0f);
            d.vertex(x, 0.0f, z);
            d.vertex(x, 0.0f, z + depth);
            d.vertex(x + width, 0.0f, z + depth);
            d.vertex(x + width, 0.0f, z);
            z += depth;
        }
        x += width;
    }
    d.end();
}

} // namespace

void CoasterWindow::draw_scene() {
    DrawList& d = draw_list_;
    // Markers and generators are lit when the lights are on; the light cube,
    // the ground and the rails never are; the cars and ties are lit again.
    const bool lit = scene_.lights_on();
    d.lighting(lit);
    draw_control_points();
    if (scene_.track().curve_type() == CurveType::Bezier) {
        draw_handles();
    }
    draw_generators();
    d.lighting(false);

    draw_light_cube();

    d.load_name(static_cast<GLuint>(kNoName)); // reads back as all ones
    draw_ground(d);
    d.flush();

    draw_rails();

    d.lighting(lit);
    draw_cars();
    draw_ties();
}
