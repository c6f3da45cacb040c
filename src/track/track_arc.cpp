// Arc length and walking a distance along the ring, both by summing straight
// chords between curve samples.
#include <cmath>

#include "track/track.h"

namespace {

double chord(const Point3& a, const Point3& b) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double dz = b.z - a.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

constexpr float kAdvanceStep = 0.005f;

// Laps walked sample by sample before a longer walk is shortened by whole laps.
constexpr long kLiteralLaps = 8;

float step_forward(float u, double n) {
    // The last sample of a lap sits within 0.015 of n; the next one is the
    // start of the ring itself.
    if (static_cast<double>(u) + kAdvanceStep > n - 0.01) {
        return 0.0f;
    }
    return static_cast<float>(static_cast<double>(u) + kAdvanceStep);
}

float step_backward(float u, double n) {
    const double w = static_cast<double>(u) - kAdvanceStep;
    float next = static_cast<float>(w < 0 ? n + w : w);
    if (next == n) {
        next = static_cast<float>(n - 0.001);
    }
    return next;
}

// Steps that surely cover one lap from any start: the float sums can make the
// steps near n a little shorter than 0.005.
long steps_per_lap(int n) {
    return static_cast<long>(n / 0.005 * 1.01) + 4;
}

} // namespace

double Track::length() const {
    const float step = 0.05f;
    double sum = 0.0;
    float u = 0.0f;
    // The end sample of one chord is the start sample of the next (the same
    // float), so each sample is evaluated once.
    Point3 a = position_at(u);
    while (u < num_points_ - static_cast<double>(step)) {
        const float next = static_cast<float>(u + step);
        const Point3 b = position_at(next);
        sum += chord(a, b);
        a = b;
        u = next;
    }
    return sum;
}

double Track::lap_chord_sum() const {
    const double n = num_points_;
    double sum = 0.0;
    float u = 0.0f;
    Point3 a = position_at(u);
    do {
        const float next = step_forward(u, n);
        const Point3 b = position_at(next);
        sum += chord(a, b);
        a = b;
        u = next;
    } while (u != 0.0f);
    return sum;
}

float Track::advance(double distance, float u) const {
    u = wrap_parameter(u);
    if (distance == 0 || !std::isfinite(distance)) {
        return u;
    }
    const float start = u;
    const double n = num_points_;
    const bool forward = distance > 0;
    double target = std::fabs(distance);
    float next = forward ? step_forward(u, n) : step_backward(u, n);

    const long lap = steps_per_lap(num_points_);
    long steps = 0;
    bool shortened = false;
    double sum = 0.0;
    // Sample B of one step is sample A of the next, so each sample is
    // evaluated once; the sums are those of evaluating both every step.
    Point3 a = position_at(u);
    for (;;) {
        const Point3 b = position_at(next);
        sum += chord(a, b);
        if (sum >= target) {
            return next;
        }
        ++steps;
        if (steps == lap && !(sum > 0)) {
            // A whole lap summed to 0 (every sample at one spot) or NaN: there
            // is no distance to walk.
            return start;
        }
        if (steps == kLiteralLaps * lap) {
            if (shortened) {
                return next; // the shortened walk did not land: stop where it is
            }
            // Many laps to go: drop whole laps of the remaining distance and
            // walk what is left (at most about one lap more).
            const double ring = lap_chord_sum();
            if (!(ring > 0) || !std::isfinite(ring)) {
                return start;
            }
            target = sum + std::fmod(target - sum, ring);
            steps = (kLiteralLaps - 3) * lap;
            shortened = true;
        }
        a = b;
        u = next;
        next = forward ? step_forward(next, n) : step_backward(next, n);
    }
}
