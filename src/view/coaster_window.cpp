#include "view/coaster_window.h"

#include <FL/Fl.H>
#include <FL/gl.h>
#include <GL/glu.h>

#include <chrono>
#include <ctime>

CoasterWindow* the_coaster_window = nullptr;

namespace {

// Milliseconds of real time since the program started (steady, not CPU time).
int program_milliseconds() {
    static const auto start = std::chrono::steady_clock::now();
    auto elapsed = std::chrono::steady_clock::now() - start;
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

std::int64_t calendar_seconds_now() { return static_cast<std::int64_t>(std::time(nullptr)); }

} // namespace

CoasterWindow::CoasterWindow(int x, int y, int w, int h, Fl_Value_Slider* roll_slider_)
    : Fl_Gl_Window(x, y, w, h, "Coaster Window"), camera(&track), track(Cardinal),
      light_pos(0.0, 4.0, 4.0, 0.0), roll_slider(roll_slider_), clock_ms_(program_milliseconds),
      calendar_seconds_(calendar_seconds_now) {
    program_milliseconds(); // pin the clock's origin no later than the view's birth
    mode(FL_RGB | FL_DOUBLE | FL_DEPTH); // depth testing needs a depth buffer
}

CoasterWindow::~CoasterWindow() {
    Fl::remove_timeout(step_timeout_cb, this); // a pending step must not outlive the view
    if (quadric_ != nullptr) {
        gluDeleteQuadric(quadric_);
    }
}

void idle_cb(void* /*data*/) {
    if (the_coaster_window != nullptr) {
        the_coaster_window->step_animation();
    }
}
