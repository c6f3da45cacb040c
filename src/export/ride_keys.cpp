// The lap's clock comes from the analysis: the time between neighbouring
// samples is the distance over their mean speed, scaled so that the whole lap
// takes exactly the summary's lap time.
#include "export/ride_keys.h"

#include <algorithm>
#include <cmath>

namespace {

bool finite_pose(const TrackPose& p) {
    return is_finite(p.position) && std::isfinite(p.heading) && std::isfinite(p.pitch) &&
           std::isfinite(p.roll);
}

NodePlace relative_place(const TrackPose& body, const Quaternion& body_turn,
                         const TrackPose& wheels) {
    if (!finite_pose(wheels)) {
        return {};
    }
    const Turn turn = turn_of(body.heading, body.pitch, body.roll);
    return {apply_inverse(turn, wheels.position - body.position),
            conjugate(body_turn) * quaternion_of(wheels.heading, wheels.pitch, wheels.roll)};
}

// The curve parameter and the time at each sample, closed by the ring's end
// (u = point count) at the lap time.
struct LapClock {
    std::vector<double> time;
    std::vector<double> u;
};

LapClock lap_clock(const Track& track, const RideAnalysis& ride, double lap_time) {
    const std::vector<RideSample>& s = ride.samples;
    const std::size_t count = s.size();
    LapClock clock;
    clock.time.assign(count + 1, 0.0);
    clock.u.resize(count + 1);
    for (std::size_t k = 0; k < count; ++k) {
        clock.u[k] = s[k].u;
    }
    clock.u[count] = track.num_points();
    // A stretch moves at the mean of its ends' speeds; one without speed
    // (only ever a single sample) takes its share of the parameter.
    for (std::size_t k = 0; k < count; ++k) {
        const bool closing = k + 1 == count;
        const double ds = (closing ? ride.summary.length_m : s[k + 1].distance) - s[k].distance;
        const double mean = 0.5 * (s[k].speed + s[closing ? 0 : k + 1].speed);
        const double step = mean > 0.0 ? ds / mean : clock.u[k + 1] - clock.u[k];
        clock.time[k + 1] = clock.time[k] + std::max(step, 0.0);
    }
    const double scale = clock.time[count] > 0.0 ? lap_time / clock.time[count] : 0.0;
    for (double& t : clock.time) {
        t *= scale;
    }
    return clock;
}

// Makes each rotation the nearer of q and -q to the one before, so that a
// viewer's interpolation between keys takes the short way round.
void keep_hemisphere(Quaternion& q, const Quaternion& before) {
    if (q.x * before.x + q.y * before.y + q.z * before.z + q.w * before.w < 0.0) {
        q = {-q.x, -q.y, -q.z, -q.w};
    }
}

void keep_hemispheres(CarPlaces& now, const CarPlaces& before) {
    keep_hemisphere(now.body.rotation, before.body.rotation);
    keep_hemisphere(now.front_wheels.rotation, before.front_wheels.rotation);
    keep_hemisphere(now.rear_wheels.rotation, before.rear_wheels.rotation);
}

} // namespace

CarPlaces car_places(const CarPose& car) {
    CarPlaces places;
    if (!finite_pose(car.body)) {
        return places;
    }
    const Quaternion turn = quaternion_of(car.body.heading, car.body.pitch, car.body.roll);
    places.body = {car.body.position, turn};
    places.front_wheels = relative_place(car.body, turn, car.front);
    places.rear_wheels = relative_place(car.body, turn, car.rear);
    return places;
}

RideKeys ride_keys(const Track& track, const RideAnalysis& ride, int cars, FrameLayout& layout) {
    RideKeys keys;
    const std::optional<double> lap = ride.summary.lap_time_s;
    cars = std::clamp(cars, 0, Train::kMaxCars);
    if (!lap || !(*lap > 0.0) || !std::isfinite(*lap) || ride.samples.empty() || cars < 1) {
        return keys;
    }
    const LapClock clock = lap_clock(track, ride, *lap);
    // At least the first key before the closing one, for a lap shorter than
    // a key's time.
    const double wanted = std::max(1.0, std::ceil(*lap * kRideKeysPerSecond - 1e-9));
    const int steps = static_cast<int>(std::min<double>(wanted, kMaxRideKeys - 1));
    const double step = wanted <= kMaxRideKeys - 1 ? 1.0 / kRideKeysPerSecond : *lap / steps;
    keys.cars.assign(static_cast<std::size_t>(cars), {});
    std::size_t at = 0; // the clock's stretch holding the key's time
    for (int k = 0; k < steps; ++k) {
        const double t = k * step;
        while (at + 2 < clock.time.size() && clock.time[at + 1] <= t) {
            ++at;
        }
        const double span = clock.time[at + 1] - clock.time[at];
        const double f = span > 0.0 ? (t - clock.time[at]) / span : 0.0;
        const double u = clock.u[at] + f * (clock.u[at + 1] - clock.u[at]);
        layout.build(track, static_cast<float>(u), cars);
        keys.times.push_back(t);
        for (int c = 0; c < cars; ++c) {
            keys.cars[c].push_back(car_places(layout.cars()[c]));
            if (k > 0) {
                keep_hemispheres(keys.cars[c].back(), keys.cars[c][k - 1]);
            }
        }
    }
    // The lap closes on the first key's places.
    keys.times.push_back(*lap);
    for (std::vector<CarPlaces>& car : keys.cars) {
        CarPlaces last = car.front();
        keep_hemispheres(last, car.back());
        car.push_back(last);
    }
    return keys;
}
