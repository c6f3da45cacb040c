// The frame's track work done the plain way, to check and to time the frame
// layout against: rails, ties and cars from the Track's own queries, called as
// the drawing would call them, with the reference walks. No test cases here.
#pragma once

#include <cmath>
#include <vector>

#include "../track/reference_walk.h"
#include "scene/frame_layout.h"
#include "track/track.h"

namespace literal_frame {

struct Frame {
    std::vector<Point3> left_rail;
    std::vector<Point3> right_rail;
    std::vector<TiePose> ties;
    std::vector<CarPose> cars;
    double length = 0.0;
    float ride_ahead_u = 0.0f; // where the ride view looks, 2.0 ahead of the front car
};

inline TrackPose pose_at(const Track& track, float u) {
    return {track.position_at(u), track.heading_at(u), track.pitch_at(u), track.roll_at(u)};
}

// Rails 0.375 either side, 20 samples a segment; trunc(L / 0.65 - 0.25) ties,
// each 0.65 on from the last and 0.1 below the curve along up, but never more
// than the samples of the walk grid; cars 2.2 apart, wheel sets 0.7 either side.
inline Frame build(const Track& track, float car_u, int num_cars) {
    Frame f;
    const int n = track.num_points();
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < 20; ++j) {
            const float u = static_cast<float>(i + 0.05 * j);
            const Point3 p = track.position_at(u);
            const double h = track.heading_at(u) * 3.14159 / 180;
            const double r = -track.roll_at(u) * 3.14159 / 180;
            const Point3 side{0.375 * std::cos(h) * std::cos(r), 0.375 * std::sin(r),
                              -(0.375 * std::sin(h) * std::cos(r))};
            f.left_rail.push_back(p + side);
            f.right_rail.push_back(p - side);
        }
    }
    f.length = reference::length(track);
    const double wanted = f.length / 0.65 - 0.25;
    const long most = reference::lap_steps(n);
    float u = 0.0f;
    for (long k = 0; k < most && k + 1 <= wanted; ++k) {
        const float next = reference::advance(track, 0.65, u).u;
        if (next == u) {
            break; // a walk that cannot move
        }
        u = next;
        const Point3 centre = track.position_at(u) - 0.1 * track.up_at(u);
        f.ties.push_back({u, static_cast<float>(centre.x), static_cast<float>(centre.y),
                          static_cast<float>(centre.z), track.heading_at(u), track.pitch_at(u),
                          track.roll_at(u)});
    }
    for (int i = 0; i < num_cars; ++i) {
        CarPose car;
        car.u = reference::advance(track, -2.2 * i, car_u).u;
        car.front_u = reference::advance(track, 0.7, car.u).u;
        car.rear_u = reference::advance(track, -0.7, car.u).u;
        car.body = pose_at(track, car.u);
        car.front = pose_at(track, car.front_u);
        car.rear = pose_at(track, car.rear_u);
        f.cars.push_back(car);
    }
    // The ride view reads the track at the front car and 2.0 ahead of it.
    track.position_at(car_u);
    track.up_at(car_u);
    f.ride_ahead_u = reference::advance(track, 2.0, car_u).u;
    track.position_at(f.ride_ahead_u);
    track.up_at(f.ride_ahead_u);
    return f;
}

// The benchmark scene: 100 points round a circle of radius 8, rising and
// falling three times and banking both ways twice.
inline Track bench_scene() {
    Track track(CurveType::Cardinal);
    while (track.num_points() < Track::kMaxPoints) {
        track.add_point();
    }
    const double pi = std::acos(-1.0);
    for (int i = 0; i < Track::kMaxPoints; ++i) {
        const double a = 2 * pi * i / 100;
        track.point(i) = ControlPoint(8 * std::cos(a), 3 + 2 * std::sin(3 * a), 8 * std::sin(a),
                                      30 * std::sin(2 * a));
    }
    track.make_handles();
    return track;
}

} // namespace literal_frame
