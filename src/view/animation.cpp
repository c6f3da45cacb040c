// The animation step and the timeout that wakes it only when it can be due.
#include <FL/Fl.H>

#include <algorithm>

#include "view/coaster_window.h"

namespace {
// Energy model: a drop buys a seventh of its height in speed, a rise costs a fifth.
constexpr double kGainDivisor = 7.0;
constexpr double kLossDivisor = 5.0;
// Parameter mode moves the front car by a fixed step of curve parameter.
constexpr double kParameterStep = 0.02;
} // namespace

void CoasterWindow::step_animation() {
    if (!animating) {
        return;
    }
    // At zero speed nothing moves and the pause is carried, untouched, to the
    // first step after the slider is raised again.
    if (constant_velocity && base_speed == 0.0) {
        return;
    }
    if (!take_step_time()) {
        return;
    }
    if (constant_velocity) {
        advance_by_distance();
    } else {
        // The sum is formed in double, so car_u may land exactly on num_points
        // for one step before it goes back to the start.
        const double next_u = car_u + kParameterStep;
        car_u = num_points < next_u ? 0.0f : static_cast<float>(next_u);
    }
    damage(1);
}

bool CoasterWindow::take_step_time() {
    if (clock_ms_() - last_tick <= kStepMs - 1) {
        return false;
    }
    // The generators see the real time since the last step, pauses included.
    elapsed_ms = clock_ms_() - last_tick;
    for (int i = 0; i < num_generators; ++i) {
        generators[i]->update(elapsed_ms, i, calendar_seconds_());
    }
    last_tick = clock_ms_();
    return true;
}

void CoasterWindow::advance_by_distance() {
    const Point3 before = track.position_at(car_u);
    car_u = track.advance(speed, car_u);
    const Point3 after = track.position_at(car_u);
    if (!conserve_energy) {
        speed = base_speed;
        return;
    }
    const double height_drop = before.y - after.y;
    if (height_drop > 0) {
        speed = speed + height_drop / kGainDivisor;
    } else {
        const double loss = -height_drop / kLossDivisor;
        // Climbing never slows the train below the chosen speed.
        speed = speed - loss < base_speed ? base_speed : speed - loss;
    }
}

int CoasterWindow::ms_until_next_step() const {
    if (!animating || (constant_velocity && base_speed == 0.0)) {
        return -1;
    }
    return std::max(0, kStepMs - (clock_ms_() - last_tick));
}

void step_timeout_cb(void* data) {
    auto* view = static_cast<CoasterWindow*>(data);
    view->step_animation();
    view->schedule_step();
}

void CoasterWindow::schedule_step() {
    Fl::remove_timeout(step_timeout_cb, this);
    const int wait_ms = ms_until_next_step();
    if (wait_ms >= 0) {
        Fl::add_timeout(wait_ms / 1000.0, step_timeout_cb, this);
    }
}
