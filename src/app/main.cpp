// Looptide: roller-coaster track editor and ride simulator.
#include <FL/Fl.H>

#include <memory>

#include "app/main_window.h"
#include "view/coaster_window.h"

int main() {
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
