// The frame's track work done the plain way, to check and to time the fast
// layout against: every value comes from the Track's own queries, called as
// the drawing calls them. No test cases here.
#pragma once

#include <cmath>
#include <vector>

#include "scene/frame_layout.h"
#include "track/track.h"

namespace literal_frame {

// The walk as first written: both ends of every chord are evaluated, so each
// sample costs two evaluations. No guards: only for tracks with some length
// and parameters in [0, n).
inline float advance(const Track& track, double distance, float u) {
    if (distance == 0) {
        return u;
    }
    const float step = 0.005f;
    const double n = track.num_points();
    const bool forward = distance > 0;
    const auto step_on = [&](float v) {
        if (forward) {
            return static_cast<double>(v) + step > n - 0.01
                       ? 0.0f
                       : static_cast<float>(static_cast<double>(v) + step);
        }
        const double w = static_cast<double>(v) - step;
        float next = static_cast<float>(w < 0 ? n + w : w);
        if (next == n) {
            next = static_cast<float>(n - 0.001);
        }
        return next;
    };
    double sum = 0.0;
    float next = step_on(u);
    for (;;) {
        const Point3 a = track.position_at(u);
        const Point3 b = track.position_at(next);
        sum += length(b - a);
        if (sum >= std::fabs(distance)) {
            return next;
        }
        u = next;
        next = step_on(next);
    }
}

// Arc length with both ends of every chord evaluated.
inline double length(const Track& track) {
    const float step = 0.05f;
    double sum = 0.0;
    float u = 0.0f;
    while (u < track.num_points() - static_cast<double>(step)) {
        const float next = static_cast<float>(u + step);
        sum += length(track.position_at(next) - track.position_at(u));
        u = next;
    }
    return sum;
}

// The track values the ride camera looks with: at the front car and 2.0 ahead.
struct RideView {
    Point3 position;
    Point3 up;
    float ahead_u = 0.0f;
    Point3 ahead_position;
    Point3 ahead_up;
};

struct Frame {
    std::vector<Point3> left_rail;
    std::vector<Point3> right_rail;
    std::vector<TiePose> ties;
    std::vector<CarPose> cars;
    RideView ride;
    double length = 0.0;
    // trunc(L / 0.65 - 0.25) before any bound: what the ties would number
    // without the one-lap stop.
    double wanted_ties = 0.0;
};

struct Walks {
    bool literal = false; // the two-evaluations walks instead of Track's own
    double length(const Track& track) const {
        return literal ? literal_frame::length(track) : track.length();
    }
    float advance(const Track& track, double distance, float u) const {
        return literal ? literal_frame::advance(track, distance, u) : track.advance(distance, u);
    }
};

inline TrackPose pose_at(const Track& track, float u) {
    TrackPose pose;
    pose.position = track.position_at(u);
    pose.heading = track.heading_at(u);
    pose.pitch = track.pitch_at(u);
    pose.roll = track.roll_at(u);
    return pose;
}

// Rails, ties, cars with their wheel sets and the ride view, query by query.
// The ties stop at max_ties, or where a walk cannot move.
inline Frame build(const Track& track, float car_u, int num_cars, Walks walks = {},
                   int max_ties = FrameLayout::kMaxTies) {
    Frame f;
    const int n = track.num_points();
    for (int side = 0; side < 2; ++side) {
        std::vector<Point3>& rail = side == 0 ? f.left_rail : f.right_rail;
        for (int i = 0; i < n; ++i) {
            for (int j = 0; j < 20; ++j) {
                const float u = static_cast<float>(i + 0.05 * j);
                const Point3 p = track.position_at(u);
                const double h = track.heading_at(u) * 3.14159 / 180;
                const double r = -track.roll_at(u) * 3.14159 / 180;
                if (side == 0) {
                    rail.push_back({p.x + 0.375 * std::cos(h) * std::cos(r),
                                    p.y + 0.375 * std::sin(r),
                                    p.z - 0.375 * std::sin(h) * std::cos(r)});
                } else {
                    rail.push_back({p.x - 0.375 * std::cos(h) * std::cos(r),
                                    p.y - 0.375 * std::sin(r),
                                    p.z + 0.375 * std::sin(h) * std::cos(r)});
                }
            }
        }
    }

    f.length = walks.length(track);
    const double wanted = f.length / 0.65 - 0.25;
    f.wanted_ties = std::trunc(wanted);
    if (wanted >= 1.0) {
        const int count = wanted < max_ties ? static_cast<int>(wanted) : max_ties;
        float u = 0.0f;
        for (int k = 0; k < count; ++k) {
            const float next = walks.advance(track, 0.65, u);
            if (next == u) {
                break;
            }
            u = next;
            const Point3 p = track.position_at(u);
            const Point3 up = track.up_at(u);
            TiePose tie;
            tie.u = u;
            tie.pitch = track.pitch_at(u);
            tie.heading = track.heading_at(u);
            tie.roll = track.roll_at(u);
            tie.x = static_cast<float>(p.x - 0.1 * up.x);
            tie.y = static_cast<float>(p.y - 0.1 * up.y);
            tie.z = static_cast<float>(p.z - 0.1 * up.z);
            f.ties.push_back(tie);
        }
    }

    for (int i = 0; i < num_cars; ++i) {
        CarPose car;
        car.u = walks.advance(track, -2.2 * i, car_u);
        car.front_u = walks.advance(track, 0.7, car.u);
        car.rear_u = walks.advance(track, -0.7, car.u);
        car.body = pose_at(track, car.u);
        car.front = pose_at(track, car.front_u);
        car.rear = pose_at(track, car.rear_u);
        f.cars.push_back(car);
    }

    f.ride.position = track.position_at(car_u);
    f.ride.up = track.up_at(car_u);
    f.ride.ahead_u = walks.advance(track, 2.0, car_u);
    f.ride.ahead_position = track.position_at(f.ride.ahead_u);
    f.ride.ahead_up = track.up_at(f.ride.ahead_u);
    return f;
}

// The scene the track benchmark measures: 100 points round a circle of radius
// 8, rising and falling three times and banking both ways twice.
inline Track bench_scene() {
    Track track(CurveType::Cardinal);
    while (track.num_points() < Track::kMaxPoints) {
        track.add_point();
    }
    const double pi = std::acos(-1.0);
    for (int i = 0; i < Track::kMaxPoints; ++i) {
        const double a = 2 * pi * i / 100;
        ControlPoint& p = track.point(i);
        p.set_position(8 * std::cos(a), 3 + 2 * std::sin(3 * a), 8 * std::sin(a));
        p.roll = 30 * std::sin(2 * a);
    }
    track.make_handles();
    track.set_tension(0.0f);
    return track;
}

} // namespace literal_frame
