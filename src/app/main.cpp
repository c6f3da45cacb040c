// Looptide: roller-coaster track editor and ride simulator.
#include <FL/Fl.H>
#include <FL/fl_ask.H>

#include <cstdio>
#include <memory>
#include <string>

#include "app/main_window.h"
#include "app/opengl_check.h"
#include "view/coaster_window.h"

int main() {
    // Without OpenGL the view could only show a grey box: say so and stop.
    const std::string missing = missing_opengl();
    if (!missing.empty()) {
        std::fprintf(stderr, "Looptide needs OpenGL, but %s.\n", missing.c_str());
        fl_message_title("Looptide");
        fl_alert("Looptide needs OpenGL to draw its 3-D view, but %s.", missing.c_str());
        return 1;
    }
    std::unique_ptr<MainWindow> window(build_main_window());
    window->show();
    // The animation step is woken by a timeout aimed at its next due time
    // rather than an idle callback, so the program sleeps while nothing moves.
    the_coaster_window->schedule_step();
    Fl::run();
    // The controls and the view go with the window; nothing may reach the view
    // through the global after this.
    window.reset();
    the_coaster_window = nullptr;
    // Closing the window is the normal way to quit: report success.
    return 0;
}
