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

// Sets `e` to `value` at `distance` when `better`.
void keep(Extreme& e, bool better, double value, double distance) {
    if (better) {
        e = {value, distance};
    }
}

// The summary's G extremes, as samples are offered: the first sets them all,
// and a later one takes each figure it beats (a tie keeps the first).
struct ForceExtremes {
    RideSummary& sum;
    bool seen = false;
    void offer(const RideSample& a) {
        const double v = a.vertical_g;
        const double l = a.longitudinal_g;
        const double d = a.distance;
        keep(sum.vertical_max, !seen || v > sum.vertical_max.value, v, d);
        keep(sum.vertical_min, !seen || v < sum.vertical_min.value, v, d);
        keep(sum.longitudinal_max, !seen || l > sum.longitudinal_max.value, l, d);
        keep(sum.longitudinal_min, !seen || l < sum.longitudinal_min.value, l, d);
        keep(sum.lateral_max_abs,
             !seen || std::fabs(a.lateral_g) > std::fabs(sum.lateral_max_abs.value), a.lateral_g,
             d);
        seen = true;
    }
};

// The largest height lost from a crest to the next valley, round the ring:
// starting at the lowest sample, a climb carries the crest with it and every
// later sample measures its fall from the last crest.
Extreme biggest_drop(const std::vector<RideSample>& s, std::size_t lowest) {
    Extreme best = {};
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

// The time from sample k to the next, the ring's closing stretch back to
// the first sample included.
double time_after(const SpeedContext& speed, const RideAnalysis& out, std::size_t k) {
    const std::vector<RideSample>& s = out.samples;
    const bool closing = k + 1 == s.size();
    const RideSample& a = s[k];
    const RideSample& b = s[closing ? 0 : k + 1];
    const double ring = out.measure.back().distance;
    const double n = static_cast<double>(out.point_distances.size());
    return stretch_time(speed, a, b, (closing ? ring : b.distance) - a.distance,
                        (closing ? n : b.u) - a.u);
}

// The figures read along the samples in order: the highest point, the
// speeds, the lap time, the airtime, the inversions, and the forces of every
// sample that is no corner. Returns the lowest sample's index.
std::size_t walk_samples(const SpeedContext& speed, const RideAnalysis& out, ForceExtremes& forces,
                         RideSummary& sum) {
    const std::vector<RideSample>& s = out.samples;
    const std::size_t count = s.size();
    sum.highest = {s[0].position.y, s[0].distance};
    sum.max_speed = {s[0].speed, s[0].distance};
    sum.min_speed = sum.max_speed;
    std::size_t lowest = 0;
    double lap = 0.0;
    double previous_time = time_after(speed, out, count - 1); // from the sample before
    int inversions = 0;
    for (std::size_t k = 0; k < count; ++k) {
        const RideSample& a = s[k];
        const double time = time_after(speed, out, k);
        lap += time;
        if (a.position.y < s[lowest].position.y) {
            lowest = k;
        }
        keep(sum.highest, a.position.y > sum.highest.value, a.position.y, a.distance);
        keep(sum.max_speed, a.speed > sum.max_speed.value, a.speed, a.distance);
        keep(sum.min_speed, a.speed < sum.min_speed.value, a.speed, a.distance);
        const RideSample& before = s[k == 0 ? count - 1 : k - 1];
        if (a.up.y < 0 && !(before.up.y < 0)) {
            ++inversions;
        }
        if (!a.at_corner && !vertical_front(a)) {
            forces.offer(a);
            if (a.vertical_g < 0) {
                sum.airtime_s += 0.5 * (previous_time + time);
            }
        }
        previous_time = time;
    }
    // Up below the horizon all the way round is one stretch with no start.
    sum.inversions = inversions == 0 && s[0].up.y < 0 ? 1 : inversions;
    if (!speed.standing) {
        sum.lap_time_s = lap;
    }
    return lowest;
}

// The forces at each control point that is no corner, as the curve arrives
// there and as it leaves.
void offer_points(const track_math::Curve& curve, const SpeedContext& speed,
                  const RideAnalysis& out, ForceExtremes& forces) {
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
        forces.offer(at);
        fill_sample(curve, speed, static_cast<float>(i), i, 0.0, at);
        forces.offer(at);
    }
}

} // namespace

void summarise(const track_math::Curve& curve, const SpeedContext& speed, RideAnalysis& out) {
    RideSummary& sum = out.summary;
    sum = RideSummary{};
    if (out.samples.empty()) {
        return;
    }
    sum.length_m = out.measure.back().distance;
    ForceExtremes forces{sum};
    const std::size_t lowest = walk_samples(speed, out, forces, sum);
    offer_points(curve, speed, out, forces);
    const RideSample& low = out.samples[lowest];
    sum.lowest = {low.position.y, low.distance};
    sum.biggest_drop = biggest_drop(out.samples, lowest);
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
