// The view's commands: each checks its own limits, changes state and asks for
// a redraw with damage(1) where the control's effect must show.
#include "view/coaster_window.h"

void CoasterWindow::set_curve_type(int type) {
    track.set_curve_type(type);
    damage(1);
}

void CoasterWindow::toggle_animation() {
    animating = !animating;
    schedule_step();
}

void CoasterWindow::set_tension(float tension) {
    track.set_tension(tension);
    damage(1);
}

void CoasterWindow::set_constant_velocity(bool on) {
    constant_velocity = on;
    schedule_step();
    damage(1);
}

void CoasterWindow::set_velocity(double v) {
    speed = v;
    base_speed = v;
    schedule_step();
    damage(1);
}

void CoasterWindow::set_look_from_car(bool on) {
    look_from_car = on;
    damage(1);
}

void CoasterWindow::set_selected_roll(double roll) {
    if (selected_name >= 0 && selected_name < num_points) {
        selected_point = &track.point(selected_name);
        selected_point->roll = roll;
    }
    damage(1);
}

void CoasterWindow::add_car() {
    if (num_cars < kMaxCars) {
        ++num_cars;
    }
    damage(1);
}

void CoasterWindow::remove_car() {
    if (num_cars > 1) {
        --num_cars;
    }
    damage(1);
}

void CoasterWindow::set_lights_on(bool on) {
    lights_on = on;
    damage(1);
}

void CoasterWindow::set_conserve_energy(bool on) {
    conserve_energy = on;
    damage(1);
}

namespace {
// A selection that names a control point or a handle would name a different
// object once the ring is resampled, so it is dropped; the light and the
// generators keep their names.
bool names_point_or_handle(int name, int num_points) {
    return name >= 0 && name < 3 * num_points;
}
} // namespace

void CoasterWindow::add_point() {
    if (num_points >= Track::kMaxPoints) {
        return;
    }
    if (names_point_or_handle(selected_name, num_points)) {
        selected_name = -1;
    }
    track.add_point();
    ++num_points;
    damage(1);
}

void CoasterWindow::remove_point() {
    if (num_points <= Track::kMinPoints) {
        return;
    }
    if (names_point_or_handle(selected_name, num_points)) {
        selected_name = -1;
    }
    track.remove_point();
    --num_points;
    damage(1);
}

void CoasterWindow::add_ball_generator() {
    if (num_generators < kMaxGenerators) {
        generators[num_generators] = std::make_unique<BallGenerator>(Point3{0.0, 0.0, 0.0});
        ++num_generators;
    }
    damage(1);
}
