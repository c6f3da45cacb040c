#include "app/controls.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Valuator.H>

#include "scene/ranges.h"
#include "view/coaster_window.h"

namespace {

// A slider's change made with the mouse (its press or a drag) joins the undo
// step of the drag's earlier changes; one from the keyboard is a step alone.
bool dragged() {
    const int event = Fl::event();
    return event == FL_PUSH || event == FL_DRAG;
}

double slider_value(void* data) {
    return static_cast<Fl_Valuator*>(data)->value();
}
bool checked(void* data) {
    return static_cast<Fl_Button*>(data)->value() != 0;
}
} // namespace

void add_point_cb(Fl_Widget*, void*) {
    the_coaster_window->add_point();
}
void remove_point_cb(Fl_Widget*, void*) {
    the_coaster_window->remove_point();
}
void roll_cb(Fl_Widget*, void* data) {
    the_coaster_window->set_selected_roll(slider_value(data), dragged());
}
void linear_cb(Fl_Widget*, void*) {
    the_coaster_window->set_curve_type(CurveType::Linear);
}
void cardinal_cb(Fl_Widget*, void*) {
    the_coaster_window->set_curve_type(CurveType::Cardinal);
}
void bspline_cb(Fl_Widget*, void*) {
    the_coaster_window->set_curve_type(CurveType::BSpline);
}
void bezier_cb(Fl_Widget*, void*) {
    the_coaster_window->set_curve_type(CurveType::Bezier);
}

void tension_cb(Fl_Widget*, void* data) {
    the_coaster_window->set_tension(static_cast<float>(slider_value(data)), dragged());
}

void constant_velocity_cb(Fl_Widget*, void* data) {
    the_coaster_window->set_constant_velocity(checked(data));
}

void conserve_energy_cb(Fl_Widget*, void* data) {
    the_coaster_window->set_conserve_energy(checked(data));
}

// The slider runs 0 to 30; the view's speed is distance per step, 0 to 1.
void velocity_cb(Fl_Widget*, void* data) {
    the_coaster_window->set_velocity(slider_value(data) / kVelocitySliderScale, dragged());
}

void add_car_cb(Fl_Widget*, void*) {
    the_coaster_window->add_car();
}
void remove_car_cb(Fl_Widget*, void*) {
    the_coaster_window->remove_car();
}
void look_from_car_cb(Fl_Widget*, void* data) {
    the_coaster_window->set_look_from_car(checked(data));
}
void lights_cb(Fl_Widget*, void* data) {
    the_coaster_window->set_lights_on(checked(data));
}
// The light button's own state is never read: the view's flag is the truth.
void animate_cb(Fl_Widget*, void*) {
    the_coaster_window->toggle_animation();
}
void add_ball_generator_cb(Fl_Widget*, void*) {
    the_coaster_window->add_ball_generator();
}
void idle_cb(void*) {
    if (the_coaster_window != nullptr) {
        the_coaster_window->step_animation();
    }
}
