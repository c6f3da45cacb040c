// The frictionless speed law and the lookups on the ring measure that the
// animation and the ride analysis share.
#include "track/ride_motion.h"

#include <algorithm>
#include <cmath>

double frictionless_speed(double crest_speed, double highest, double y) {
    return std::sqrt(crest_speed * crest_speed + 2 * kGravity * std::max(0.0, highest - y));
}

RingSampling ring_sampling(double ring, double spacing) {
    const double step = std::max(spacing, ring / kMaxRideSamples);
    const double places = std::min(places_round_ring(ring, step), double(kMaxRideSamples));
    return {step, static_cast<long>(places)};
}

double ring_highest(const Track& track, const std::vector<MeasureSample>& measure) {
    const RingSampling sampling = ring_sampling(measure.back().distance, kRideSampleSpacing);
    double highest = -HUGE_VAL;
    std::size_t cursor = 0;
    for (long k = 0; k < sampling.count; ++k) {
        const float u = ring_parameter_at(measure, k * sampling.step, cursor);
        highest = std::max(highest, track.position_at(u).y);
    }
    return highest;
}

double ring_distance_at(const std::vector<MeasureSample>& m, double u) {
    const auto after = std::lower_bound(m.begin(), m.end(), u,
                                        [](const MeasureSample& s, double v) { return s.u < v; });
    if (after == m.begin()) {
        return 0.0;
    }
    if (after == m.end()) {
        return m.back().distance;
    }
    const MeasureSample& a = *(after - 1);
    const double f = (u - a.u) / (static_cast<double>(after->u) - a.u);
    return a.distance + f * (after->distance - a.distance);
}
