// The animation step: a 34 ms gate on the injected clock, the generators fed
// the real elapsed time, and the front car moved by arc length (with the
// energy model) or by a fixed step of curve parameter.
#include <algorithm>
#include <cmath>

#include "scene/ranges.h"
#include "scene/scene.h"
#include "track/track_math.h"

namespace {
// Energy model: a drop buys a seventh of its height in speed, a rise costs a fifth.
constexpr double kGainDivisor = 7.0;
constexpr double kLossDivisor = 5.0;
} // namespace

bool Scene::step() {
    if (!animating_) {
        return false;
    }
    // At zero speed nothing moves and the pause is carried, untouched, to the
    // first step after the slider is raised again.
    if (train_.constant_velocity && train_.base_speed == 0.0) {
        return false;
    }
    if (!take_step_time()) {
        return false;
    }
    if (train_.constant_velocity && train_.physics) {
        advance_physically();
    } else if (train_.constant_velocity) {
        advance_by_distance();
    } else {
        // The sum is formed in double, so car_u may land exactly on the point
        // count for one step before it goes back to the start.
        const double next_u = train_.car_u + kParameterStep;
        train_.car_u = track_.num_points() < next_u ? 0.0f : static_cast<float>(next_u);
    }
    return true;
}

bool Scene::take_step_time() {
    if (clock_ms_() - last_tick_ <= kStepMs - 1) {
        return false;
    }
    // The generators see the real time since the last step, pauses included.
    elapsed_ms_ = clock_ms_() - last_tick_;
    for (int i = 0; i < num_generators(); ++i) {
        generators_[i]->update(elapsed_ms_, i, calendar_seconds_());
    }
    last_tick_ = clock_ms_();
    return true;
}

void Scene::advance_by_distance() {
    const Point3 before = track_.position_at(train_.car_u);
    train_.car_u = track_.advance(train_.speed, train_.car_u);
    const Point3 after = track_.position_at(train_.car_u);
    if (!train_.conserve_energy) {
        train_.speed = train_.base_speed;
        return;
    }
    const double height_drop = before.y - after.y;
    if (height_drop > 0) {
        train_.speed = train_.speed + height_drop / kGainDivisor;
    } else {
        const double loss = -height_drop / kLossDivisor;
        // Climbing never slows the train below the chosen speed.
        train_.speed =
            train_.speed - loss < train_.base_speed ? train_.base_speed : train_.speed - loss;
    }
}

void Scene::advance_physically() {
    // The measure and the highest sample each take a walk round the whole
    // ring: they are found again only when the track's shape changed (an
    // edit, an undo, a file opened), not at every step.
    if (!measured_.same_as_before(track_)) {
        measure_ring(track_, measure_);
        const double length = measure_.back().distance;
        const bool rideable = length > 0 && std::isfinite(length);
        highest_ = rideable ? ring_highest(track_, measure_) : 0.0;
    }
    const double ring = measure_.back().distance;
    if (!(ring > 0) || !std::isfinite(ring)) {
        return;
    }
    const double chosen = train_.base_speed * kVelocitySliderScale;
    const double speed =
        train_.conserve_energy
            ? frictionless_speed(chosen, highest_, track_.position_at(train_.car_u).y)
            : chosen;
    const double u = track_math::wrap_parameter(train_.car_u, track_.num_points());
    const double target = std::fmod(ring_distance_at(measure_, u) + speed * kStepSeconds, ring);
    if (!std::isfinite(target)) {
        return; // a speed past any double: the train cannot be placed
    }
    std::size_t cursor = 0;
    train_.car_u = ring_parameter_at(measure_, target, cursor);
}

int Scene::ms_until_next_step() const {
    if (!animating_ || (train_.constant_velocity && train_.base_speed == 0.0)) {
        return -1;
    }
    return std::max(0, kStepMs - (clock_ms_() - last_tick_));
}
