// The ring measure: Track::length()'s chord sums with the closing chord, the
// parameter at a distance along them, and the unit banked up.
#include "track/ring_measure.h"

#include <algorithm>
#include <cmath>

#include "track/track_math.h"

// Track::length() (track_math::length_of) sums chords between float samples
// 0, 0.05, 0.1, ... made by adding 0.05f again and again, for as long as a
// sample lies below n - 0.05. Its last chord never quite closes the ring back
// to u = n: for 4 points (the default design) and for 19 to 75 points the
// float sums drift just under the whole numbers, so the last sample is a hair
// short of n (3.99999738 for 4 points); for 5 to 18 and 76 to 100 points they
// drift just over, so the loop stops a whole step early and the last sample is
// about n - 0.05 (99.9515 for 100 points, where the piece left out of a ring
// of radius 5000 is 15 m long). The ties are laid by that length, so it stays
// as it is; the measure adds the closing chord from the last sample back to
// the start, so that it goes once round the whole ring.
void measure_ring(const Track& track, std::vector<MeasureSample>& samples) {
    const int n = track.num_points();
    samples.clear();
    samples.reserve(static_cast<std::size_t>(20 * n + 2));
    double sum = 0.0;
    Point3 previous;
    const auto record = [&](float u, const Point3& p) {
        if (!samples.empty()) {
            sum += length(p - previous);
        }
        previous = p;
        samples.push_back({u, sum});
    };
    // length_of evaluates each sample once, in order, and sums length(b - a)
    // over consecutive ones; the same sums here give the same distances.
    track_math::length_of(
        [&](float u) {
            const Point3 p = track.position_at(u);
            record(u, p);
            return p;
        },
        n);
    // The closing chord: u = n is the start of the ring again.
    record(static_cast<float>(n), track.position_at(0.0f));
}

float ring_parameter_at(const std::vector<MeasureSample>& s, double target, std::size_t& j) {
    const std::size_t last_chord = s.size() - 2;
    while (j < last_chord && s[j + 1].distance < target) {
        ++j;
    }
    const double chord = s[j + 1].distance - s[j].distance;
    const double f = chord > 0 ? std::clamp((target - s[j].distance) / chord, 0.0, 1.0) : 0.0;
    const float u = static_cast<float>(s[j].u + f * (static_cast<double>(s[j + 1].u) - s[j].u));
    // Within the closing chord a parameter can round up to n, which is the
    // start again: keep it on the last float before the end.
    const float ring_end = s.back().u;
    return u >= ring_end ? std::nextafter(ring_end, 0.0f) : u;
}

double places_round_ring(double ring, double step) {
    const double places = std::ceil(ring / step);
    return places > 1 && ring - (places - 1) * step <= 1e-9 * step ? places - 1 : places;
}

// Where up_at has (almost) nothing left beside front, its direction drowns in
// rounding (about 1e-16 in each coordinate): then the level up is used.
Point3 unit_up(const Point3& front, const Point3& up) {
    const Point3 across = up - dot(up, front) * front;
    const double norm = length(across);
    if (norm > 1e-12 && std::isfinite(norm)) {
        return across / norm;
    }
    const Point3 level = track_math::up_from(front, 0.0);
    return level / length(level);
}
