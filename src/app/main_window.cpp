#include "app/main_window.h"

#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Light_Button.H>
#include <FL/Fl_Value_Slider.H>

#include <optional>

#include "app/controls.h"
#include "view/coaster_window.h"

MainWindow::MainWindow(int x, int y, int w, int h, const char* label)
    : Fl_Double_Window(x, y, w, h, label) {}

MainWindow::~MainWindow() = default;

namespace {

void caption(int x, int y, int w, int h, const char* label) {
    auto* box = new Fl_Box(FL_FLAT_BOX, x, y, w, h, label);
    box->color(FL_GRAY);
}

void button(int x, int y, int w, int h, const char* label, Fl_Callback* cb) {
    auto* b = new Fl_Button(x, y, w, h, label);
    b->callback(cb);
}

// Sliders are set in the order type, value, bounds, precision, callback, user data.
Fl_Value_Slider* slider(int x, int y, int w, int h, const char* label, double value, double lo,
                        double hi, int precision, Fl_Callback* cb) {
    auto* s = new Fl_Value_Slider(x, y, w, h, label);
    s->type(FL_HOR_NICE_SLIDER);
    s->value(value);
    s->bounds(lo, hi);
    s->precision(precision);
    s->callback(cb);
    s->user_data(s);
    return s;
}

void check(int x, int y, int w, int h, const char* label, bool checked, Fl_Callback* cb) {
    auto* c = new Fl_Check_Button(x, y, w, h, label);
    if (checked) {
        c->set();
    } else {
        c->value(0);
    }
    c->callback(cb);
    c->user_data(c);
}

} // namespace

MainWindow* build_main_window() {
    auto* window = new MainWindow(10, 10, 700, 600, "Looptide");
    window->begin();

    caption(5, 5, 160, 20, "Track/Curve Controls: ");
    button(5, 30, 95, 20, "Add Point", add_point_cb);
    button(105, 30, 95, 20, "Remove Point", remove_point_cb);
    Fl_Value_Slider* roll =
        slider(10, 60, 190, 20, "Selected Point's Z Rotation", 0, -180, 180, 1, roll_cb);

    auto* view = new CoasterWindow(210, 10, 480, 480);
    // A picked control point shows its bank; value() only shows it, the
    // slider's callback does not run.
    view->on_pick([view, roll] {
        if (const std::optional<double> bank = view->scene().selected_roll()) {
            roll->value(*bank);
        }
    });
    the_coaster_window = view;

    caption(10, 110, 80, 20, "Curve Type:");
    button(30, 140, 90, 20, "Linear", linear_cb);
    button(30, 165, 90, 20, "Cardinal", cardinal_cb);
    button(30, 190, 90, 20, "BSpline", bspline_cb);
    button(30, 215, 90, 20, "Bezier", bezier_cb);
    slider(10, 245, 190, 20, "Cardinal Tension", 0, 0, 1, 2, tension_cb);

    caption(10, 305, 80, 20, "Car Controls:");
    check(10, 330, 175, 20, "Constant Velocity", true, constant_velocity_cb);
    check(10, 355, 175, 20, "Conserve Energy", true, conserve_energy_cb);
    slider(10, 380, 190, 20, "Coaster Velocity", 3, 0, 30, 2, velocity_cb);
    button(10, 440, 90, 20, "Add Car", add_car_cb);
    button(110, 440, 90, 20, "Remove Car", remove_car_cb);

    caption(10, 500, 250, 20, "Camera/Environment Controls:");
    check(30, 525, 175, 20, "Look from Car", false, look_from_car_cb);
    check(30, 550, 175, 20, "Lights On", true, lights_cb);
    auto* animate = new Fl_Light_Button(225, 525, 190, 50, "Animate");
    animate->callback(animate_cb);

    caption(470, 500, 100, 20, "Scenery:");
    button(450, 525, 190, 50, "Add Ball Generator", add_ball_generator_cb);

    window->end();
    return window;
}
