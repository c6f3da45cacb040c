// Control callbacks: each reads its own control (through its user data) and
// calls one command of the_coaster_window.
#pragma once

class Fl_Widget;

void add_point_cb(Fl_Widget* w, void* data);
void remove_point_cb(Fl_Widget* w, void* data);
void roll_cb(Fl_Widget* w, void* data);
void linear_cb(Fl_Widget* w, void* data);
void cardinal_cb(Fl_Widget* w, void* data);
void bspline_cb(Fl_Widget* w, void* data);
void bezier_cb(Fl_Widget* w, void* data);
void tension_cb(Fl_Widget* w, void* data);
void constant_velocity_cb(Fl_Widget* w, void* data);
void conserve_energy_cb(Fl_Widget* w, void* data);
void velocity_cb(Fl_Widget* w, void* data);
void add_car_cb(Fl_Widget* w, void* data);
void remove_car_cb(Fl_Widget* w, void* data);
void look_from_car_cb(Fl_Widget* w, void* data);
void lights_cb(Fl_Widget* w, void* data);
void animate_cb(Fl_Widget* w, void* data);
void add_ball_generator_cb(Fl_Widget* w, void* data);
// One animation step of the_coaster_window when one is due: the step's hook
// for an event loop that runs it from Fl::add_idle. Looptide itself registers
// no idle callback; it wakes the step with a timeout aimed at its next due
// time (CoasterWindow::schedule_step), so the program sleeps while nothing
// moves.
void idle_cb(void* data);
