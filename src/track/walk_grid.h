// The parameter grid that the track's walks step along: 0.005 steps of a float
// parameter round the ring of n points. Arithmetic on parameters only; no
// positions here.
#pragma once

namespace track_math {

constexpr float kAdvanceStep = 0.005f;

constexpr float step_forward(float u, double n) {
    // The last sample of a lap sits within 0.015 of n; the next one is the
    // start of the ring itself.
    if (static_cast<double>(u) + kAdvanceStep > n - 0.01) {
        return 0.0f;
    }
    return static_cast<float>(static_cast<double>(u) + kAdvanceStep);
}

constexpr float step_backward(float u, double n) {
    const double w = static_cast<double>(u) - kAdvanceStep;
    float next = static_cast<float>(w < 0 ? n + w : w);
    if (next == n) {
        next = static_cast<float>(n - 0.001);
    }
    return next;
}

// Steps that surely cover one lap from any start: the float sums can make the
// steps near n a little shorter than 0.005.
constexpr long steps_per_lap(int n) {
    return static_cast<long>(n / 0.005 * 1.01) + 4;
}

// Distinct samples of the forward lap from u = 0, counted by walking it: about
// n / 0.005, and up to two more on rings of more than 90 points, where the
// float sums shorten the steps near n.
constexpr int samples_per_lap(int n) {
    int samples = 0;
    float u = 0.0f;
    do {
        u = step_forward(u, n);
        ++samples;
    } while (u != 0.0f);
    return samples;
}

} // namespace track_math
