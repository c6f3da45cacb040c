// Control callbacks: each reads its own control (through its user data) and
// calls one command of the_coaster_window.
#pragma once

class Fl_Widget;
class Fl_Window;

// The "Coaster Velocity" slider shows the train's chosen speed (track length
// per animation step, 0 to 1) times this.
constexpr double kVelocitySliderScale = 30.0;

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
// Runs one animation step of the_coaster_window when one is due. The program
// wakes the step with a timeout aimed at its next due time instead (see
// CoasterWindow::schedule_step), so this hook is only for an idle-driven loop.
void idle_cb(void* data);

// The toolkit's event dispatch with one addition: a slider dragged with the
// mouse is one undo step from press to release, so the release of the button
// closes the step that the drag's first change opened. Installed with
// Fl::event_dispatch by the entry function.
int dispatch_event(int event, Fl_Window* window);
