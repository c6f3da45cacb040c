// The controls' commands: the scene applies each within its limits; the view
// asks for the redraw the control needs (damage(1)) and re-arms the step
// timeout when the animation's timing may have changed.
#include "view/coaster_window.h"

void CoasterWindow::set_curve_type(CurveType type) {
    scene_.set_curve_type(type);
    damage(1);
}

void CoasterWindow::toggle_animation() {
    scene_.toggle_animation();
    schedule_step();
}

void CoasterWindow::set_tension(float tension) {
    scene_.set_tension(tension);
    damage(1);
}

void CoasterWindow::set_constant_velocity(bool on) {
    scene_.set_constant_velocity(on);
    schedule_step();
    damage(1);
}

void CoasterWindow::set_velocity(double v) {
    scene_.set_velocity(v);
    schedule_step();
    damage(1);
}

void CoasterWindow::set_look_from_car(bool on) {
    scene_.set_look_from_car(on);
    damage(1);
}

void CoasterWindow::set_selected_roll(double roll) {
    scene_.set_selected_roll(roll);
    damage(1);
}

void CoasterWindow::add_car() {
    scene_.add_car();
    damage(1);
}

void CoasterWindow::remove_car() {
    scene_.remove_car();
    damage(1);
}

void CoasterWindow::set_lights_on(bool on) {
    scene_.set_lights_on(on);
    damage(1);
}

void CoasterWindow::set_conserve_energy(bool on) {
    scene_.set_conserve_energy(on);
    damage(1);
}

void CoasterWindow::add_point() {
    if (scene_.add_point()) {
        damage(1);
    }
}

void CoasterWindow::remove_point() {
    if (scene_.remove_point()) {
        damage(1);
    }
}

void CoasterWindow::add_ball_generator() {
    scene_.add_ball_generator();
    damage(1);
}
