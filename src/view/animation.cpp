// The view's side of the animation: the scene's step, the redraw it needs,
// and the timeout that wakes the step only when it can be due.
#include <FL/Fl.H>

#include "view/coaster_window.h"

void CoasterWindow::step_animation() {
    if (scene_.step()) {
        damage(1);
        if (on_step_) {
            on_step_();
        }
    }
}

void step_timeout_cb(void* data) {
    auto* view = static_cast<CoasterWindow*>(data);
    view->step_animation();
    view->schedule_step();
}

void CoasterWindow::schedule_step() {
    Fl::remove_timeout(step_timeout_cb, this);
    const int wait_ms = scene_.ms_until_next_step();
    if (wait_ms >= 0) {
        Fl::add_timeout(wait_ms / 1000.0, step_timeout_cb, this);
    }
}
