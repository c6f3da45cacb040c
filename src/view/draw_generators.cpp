// Ball generators: a green post with an open cup, and the balls it has let
// go. Each generator and its balls share its selection name, 400 + index.
#include "view/coaster_window.h"

#include "view/draw_util.h"
#include "view/quadrics.h"

namespace {

// Moves to a point and turns the quadric's +z axis to world +y, so that
// cylinders grow upward and disks lie flat.
void stand_at(DrawList& d, double x, double y, double z) {
    d.translate(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
    d.rotate(-90.0f, 1.0f, 0.0f, 0.0f);
}

void upright_cylinder(DrawList& d, double x, double y, double z, double radius, double height) {
    d.push_matrix();
    stand_at(d, x, y, z);
    cylinder(d, radius, radius, height, 12, 1);
    d.pop_matrix();
}

void flat_disk(DrawList& d, double x, double y, double z, double inner, double outer) {
    d.push_matrix();
    stand_at(d, x, y, z);
    disk(d, inner, outer, 12, 3);
    d.pop_matrix();
}

// Sets the ball's colour and leaves it so.
void draw_ball(DrawList& d, const Ball& ball) {
    const ControlPoint& source = ball.source_position();
    const Point3& c = ball.colour();
    // A ball's height is world height: it does not add the generator's y.
    if (!all_finite(source.x, ball.height(), source.z, ball.radius(), c.x, c.y, c.z)) {
        return;
    }
    d.push_matrix();
    d.translate(static_cast<float>(source.x), static_cast<float>(ball.height()),
                static_cast<float>(source.z));
    d.colour(static_cast<float>(c.x), static_cast<float>(c.y), static_cast<float>(c.z));
    sphere(d, ball.radius(), 6, 6);
    d.pop_matrix();
}

// Sets its colours and leaves the last one set.
void draw_generator(DrawList& d, const BallGenerator& generator) {
    const ControlPoint& at = generator.position();
    if (all_finite(at.x, at.y, at.z)) {
        d.colour(0.0f, 0.9f, 0.0f);
        // The post always stands on the ground; only the cup follows y.
        upright_cylinder(d, at.x, 0.0, at.z, 0.6, 1.1);
        flat_disk(d, at.x, at.y + 1.1, at.z, 0.5, 0.7);
        upright_cylinder(d, at.x, at.y + 1.1, at.z, 0.7, 0.4);
        upright_cylinder(d, at.x, at.y + 1.1, at.z, 0.5, 0.4);
        flat_disk(d, at.x, at.y + 1.5, at.z, 0.5, 0.7);
        d.colour(0.0f, 0.0f, 0.0f);
        flat_disk(d, at.x, at.y + 1.2, at.z, 0.0, 0.7);
    }
    for (int k = 0; k < generator.num_balls(); ++k) {
        draw_ball(d, generator.live_ball(k));
    }
}

} // namespace

void CoasterWindow::draw_generators() {
    for (int i = 0; i < scene_.num_generators(); ++i) {
        draw_list_.load_name(static_cast<GLuint>(Selection::generator(i).name()));
        draw_generator(draw_list_, scene_.generator(i));
    }
    draw_list_.flush();
}
