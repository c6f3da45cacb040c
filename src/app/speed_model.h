// The car controls read as the ride analysis's speed model, the one way the
// window and the ride report build it.
#pragma once

#include "analysis/ride_analysis.h"
#include "scene/ranges.h"

// The chosen speed (track length per step, as the train keeps it) is read as
// the velocity slider shows it, in m/s.
inline SpeedModel speed_model_of(bool constant_velocity, bool conserve_energy,
                                 double chosen_speed) {
    return {constant_velocity, conserve_energy, chosen_speed * kVelocitySliderScale};
}
