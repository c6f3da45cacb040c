// The ride's summary from its samples, and the lookups along the ring:
// distance_at and nearest_point.
#include <algorithm>
#include <cmath>

#include "analysis/ride_internal.h"

namespace ride_detail {

namespace {

// Time from sample a to the next one, ds metres on (dparameter of u on).
double stretch_time(const SpeedContext& speed, const RideSample& a, const RideSample& b, double ds,
                    double dparameter) {
    if (speed.standing) {
        return 0.0;
    }
    if (!speed.model.constant_velocity) {
        // The animation's own clock: a fixed rate of parameter, wherever the
        // curve's speed vanishes too.
        return dparameter / kParameterRate;
    }
    return 2 * ds / (a.speed + b.speed); // both above 0 while the train moves
}

// Keeps the larger (or, with less, the smaller) figure and where it is.
void keep(Extreme& e, bool& seen, double value, double distance, bool larger) {
    if (!seen || (larger ? value > e.value : value < e.value)) {
        e = {value, distance};
        seen = true;
    }
}

// The largest height lost from a crest to the next valley, round the ring:
// starting at the lowest sample, a climb carries the crest with it and every
// later sample measures its fall from the last crest.
Extreme biggest_drop(const std::vector<RideSample>& s, std::size_t lowest) {
    Extreme best;
    std::size_t crest = lowest;
    for (std::size_t k = 1; k <= s.size(); ++k) {
        const std::size_t i = (lowest + k) % s.size();
        const std::size_t before = (i + s.size() - 1) % s.size();
        if (s[i].position.y > s[before].position.y) {
            crest = i;
        } else if (s[crest].position.y - s[i].position.y > best.value) {
            best = {s[crest].position.y - s[i].position.y, s[crest].distance};
        }
    }
    return best;
}

} // namespace

void summarise(const track_math::Curve& curve, const SpeedContext& speed, RideAnalysis& out) {
    const std::vector<RideSample>& s = out.samples;
    RideSummary& sum = out.summary;
    sum = RideSummary{};
    if (s.empty()) {
        return;
    }
    const std::size_t count = s.size();
    const double ring = out.measure.back().distance;
    const double n = static_cast<double>(out.point_distances.size());
    sum.length_m = ring;

    bool seen[8] = {};
    const auto keep_forces = [&sum, &seen](const RideSample& a) {
        keep(sum.vertical_max, seen[3], a.vertical_g, a.distance, true);
        keep(sum.vertical_min, seen[4], a.vertical_g, a.distance, false);
        keep(sum.longitudinal_max, seen[5], a.longitudinal_g, a.distance, true);
        keep(sum.longitudinal_min, seen[6], a.longitudinal_g, a.distance, false);
        if (!seen[7] || std::fabs(a.lateral_g) > std::fabs(sum.lateral_max_abs.value)) {
            sum.lateral_max_abs = {a.lateral_g, a.distance};
            seen[7] = true;
        }
    };
    std::size_t lowest = 0;
    double lap = 0.0;
    double previous_time = 0.0; // from the sample before to this one
    int inversions = 0;
    {
        const RideSample& last = s[count - 1];
        previous_time = stretch_time(speed, last, s[0], ring - last.distance, n - last.u);
    }
    for (std::size_t k = 0; k < count; ++k) {
        const RideSample& a = s[k];
        const bool closing = k + 1 == count;
        const RideSample& b = s[closing ? 0 : k + 1];
        const double time = stretch_time(speed, a, b, (closing ? ring : b.distance) - a.distance,
                                         (closing ? n : b.u) - a.u);
        lap += time;
        if (a.position.y < s[lowest].position.y) {
            lowest = k;
        }
        keep(sum.highest, seen[0], a.position.y, a.distance, true);
        keep(sum.max_speed, seen[1], a.speed, a.distance, true);
        keep(sum.min_speed, seen[2], a.speed, a.distance, false);
        const RideSample& before = s[k == 0 ? count - 1 : k - 1];
        if (a.up.y < 0 && !(before.up.y < 0)) {
            ++inversions;
        }
        if (!a.at_corner && !vertical_front(a)) {
            keep_forces(a);
            if (a.vertical_g < 0) {
                sum.airtime_s += 0.5 * (previous_time + time);
            }
        }
        previous_time = time;
    }
    const int points = curve.n;
    for (int i = 0; i < points; ++i) {
        const bool corner = std::any_of(out.corners.begin(), out.corners.end(),
                                        [i](const Corner& c) { return c.nearest_point == i; });
        if (corner) {
            continue;
        }
        RideSample at;
        at.distance = out.point_distances[static_cast<std::size_t>(i)];
        at.position = curve.position_at(static_cast<float>(i));
        fill_sample(curve, speed, static_cast<float>(i), (i + points - 1) % points, 1.0, at);
        if (vertical_front(at)) {
            continue; // the frame there is rounding's choice: the samples beside it tell
        }
        keep_forces(at);
        fill_sample(curve, speed, static_cast<float>(i), i, 0.0, at);
        keep_forces(at);
    }
    sum.lowest = {s[lowest].position.y, s[lowest].distance};
    sum.biggest_drop = biggest_drop(s, lowest);
    // Up below the horizon all the way round is one stretch with no start.
    sum.inversions = inversions == 0 && s[0].up.y < 0 ? 1 : inversions;
    if (!speed.standing) {
        sum.lap_time_s = lap;
    }
}

} // namespace ride_detail

double distance_at(const RideAnalysis& analysis, float u) {
    const int n = static_cast<int>(analysis.point_distances.size());
    if (analysis.measure.empty() || n == 0) {
        return 0.0;
    }
    return ride_detail::measure_distance(analysis.measure, track_math::wrap_parameter(u, n));
}

int nearest_point(const RideAnalysis& analysis, double distance) {
    const std::vector<double>& d = analysis.point_distances;
    const double ring = analysis.summary.length_m;
    if (d.empty() || !std::isfinite(distance)) {
        return d.empty() ? -1 : 0;
    }
    if (ring > 0) {
        distance = std::fmod(distance, ring);
        distance += distance < 0 ? ring : 0.0;
    }
    int best = 0;
    double best_gap = HUGE_VAL;
    for (std::size_t i = 0; i < d.size(); ++i) {
        double gap = std::fabs(distance - d[i]);
        if (ring > 0) {
            gap = std::min(gap, ring - gap);
        }
        if (gap < best_gap) {
            best_gap = gap;
            best = static_cast<int>(i);
        }
    }
    return best;
}
