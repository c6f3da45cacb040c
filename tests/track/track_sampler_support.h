// Random tracks for the sampler and layout tests. No test cases here.
#pragma once

#include <random>

#include "track/track.h"

namespace sampler_support {

// `points` points over a 20 x 10 x 20 box with banks in -180..180, a random
// curve type and tension, and handles rebuilt for the new points.
inline Track scattered_track(std::mt19937& rng, int points) {
    Track track(Cardinal);
    while (track.num_points() < points) {
        track.add_point();
    }
    std::uniform_real_distribution<double> across(-10.0, 10.0);
    std::uniform_real_distribution<double> height(0.0, 10.0);
    std::uniform_real_distribution<double> roll(-180.0, 180.0);
    for (int i = 0; i < points; ++i) {
        ControlPoint& p = track.point(i);
        const double x = across(rng);
        const double y = height(rng);
        p.set_position(x, y, across(rng));
        p.roll = roll(rng);
    }
    track.make_handles();
    track.set_curve_type(std::uniform_int_distribution<int>(0, 3)(rng));
    track.set_tension(std::uniform_real_distribution<float>(0.0f, 1.0f)(rng));
    return track;
}

} // namespace sampler_support
