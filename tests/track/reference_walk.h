// The track's chord walks done the plain way, written apart from the library:
// parameters step 0.005 (0.05 for the length) in single precision, and both
// ends of every chord are evaluated afresh. The library's walks, the cached
// sampler and the frame layout must give the same floats and doubles bit for
// bit. No guards: for tracks with some length. No test framework here, so that
// the fuzzer can count laps with it too.
#pragma once

#include <cmath>

#include "track/track.h"

namespace reference {

// The sample after u on the 0.005 grid of a ring of n points. Forward, the
// last sample of a lap (within 0.015 of n) is followed by u = 0 itself;
// backward, the walk wraps to the end of the ring but never onto n.
inline float next_sample(float u, int n, bool forward) {
    const float step = 0.005f;
    if (forward) {
        const double ahead = static_cast<double>(u) + step;
        return ahead > n - 0.01 ? 0.0f : static_cast<float>(ahead);
    }
    const double behind = static_cast<double>(u) - step;
    const float next = static_cast<float>(behind < 0 ? n + behind : behind);
    return next == n ? static_cast<float>(n - 0.001) : next;
}

// Forward steps from u = 0 round the ring and back to 0.
inline long lap_steps(int n) {
    long steps = 0;
    float u = 0.0f;
    do {
        u = next_sample(u, n, true);
        ++steps;
    } while (u != 0.0f);
    return steps;
}

struct Walk {
    float u;    // the first sample at which the chords reach |distance|
    long steps; // chords summed
};

inline Walk advance(const Track& track, double distance, float u) {
    if (distance == 0) {
        return {u, 0};
    }
    const bool forward = distance > 0;
    double sum = 0.0;
    for (long steps = 1;; ++steps) {
        const float next = next_sample(u, track.num_points(), forward);
        sum += ::length(track.position_at(next) - track.position_at(u));
        if (sum >= std::fabs(distance)) {
            return {next, steps};
        }
        u = next;
    }
}

// Chord sum of one forward lap of the 0.005 grid, from u = 0 back to 0.
inline double lap(const Track& track) {
    double sum = 0.0;
    float u = 0.0f;
    do {
        const float next = next_sample(u, track.num_points(), true);
        sum += ::length(track.position_at(next) - track.position_at(u));
        u = next;
    } while (u != 0.0f);
    return sum;
}

// Arc length: chords over 0.05 steps while u < n - 0.05; the float sums end
// the walk just short of n, so the last stretch back to u = 0 is left out.
inline double length(const Track& track) {
    const float step = 0.05f;
    double sum = 0.0;
    for (float u = 0.0f; u < track.num_points() - static_cast<double>(step);) {
        const float next = static_cast<float>(u + step);
        sum += ::length(track.position_at(next) - track.position_at(u));
        u = next;
    }
    return sum;
}

} // namespace reference
