// One frame's track work on the sampler: each curve parameter is evaluated
// once per frame however many queries ask for it, and the cars' parameters
// come from a single backward walk.
#include "scene/frame_layout.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "track/angles.h"

namespace {

constexpr double kRailHalfGauge = 0.375;
constexpr double kTieSpacing = 0.65;
constexpr double kTieDrop = 0.1;
constexpr double kCarSpacing = 2.2;
constexpr double kWheelOffset = 0.7;

} // namespace

FrameLayout::FrameLayout()
    : left_rail_(kMaxRailVertices), right_rail_(kMaxRailVertices), tie_poses_(kMaxTies),
      car_poses_(Train::kMaxCars) {}

void FrameLayout::build(const Track& track, float car_u, int num_cars) {
    const int cars = std::clamp(num_cars, 0, Train::kMaxCars);
    const bool same_track = laid_for_.same_as_before(track);
    // The draw routines of one frame each ask for the layout; only the first
    // ask of a frame finds anything changed.
    if (same_track && have_train_ && cars == cars_ &&
        std::memcmp(&seen_car_u_, &car_u, sizeof car_u) == 0) {
        return;
    }
    sampler_.begin_frame(track);
    cars_ = cars;
    if (!same_track) {
        build_rails();
        build_ties();
    }
    build_cars(car_u);
    have_train_ = true;
    seen_car_u_ = car_u;
}

void FrameLayout::build_rails() {
    const int n = sampler_.track().num_points();
    int k = 0;
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < kRailSamplesPerSegment; ++j) {
            const float u = static_cast<float>(i + 0.05 * j);
            const Point3 p = sampler_.position_at(u);
            const double h = sampler_.heading_at(u) * angles::kTrackPi / 180;
            const double r = -sampler_.roll_at(u) * angles::kTrackPi / 180;
            // The horizontal side of the heading, tilted by the bank; pitch
            // does not enter the rails.
            const Point3 offset{kRailHalfGauge * std::cos(h) * std::cos(r),
                                kRailHalfGauge * std::sin(r),
                                -(kRailHalfGauge * std::sin(h) * std::cos(r))};
            left_rail_[k] = p + offset;
            right_rail_[k] = p - offset;
            ++k;
        }
    }
    rail_vertices_ = k;
}

void FrameLayout::build_ties() {
    length_ = sampler_.length();
    ties_ = 0;
    const double wanted = length_ / kTieSpacing - 0.25;
    if (!(wanted >= 1.0)) {
        return; // no tie, also for a non-finite length
    }
    // A point dragged far away makes the wanted count enormous while each
    // tie's walk still moves at least one step of the walk grid: on such a
    // ring the ties meet every grid sample in turn (on large rings a couple
    // more than n / 0.005), and more ties would stack whole laps on one another.
    const int n = sampler_.track().num_points();
    if (n != grid_points_) {
        grid_samples_ = track_math::samples_per_lap(n); // some 20000 steps: counted once per n
        grid_points_ = n;
    }
    const double most = std::min(kMaxTies, grid_samples_);
    const int count = static_cast<int>(wanted < most ? wanted : most);
    float u = 0.0f;
    Point3 p = sampler_.position_at(u);
    for (int k = 0; k < count; ++k) {
        // Each tie's walk starts on the sample where the last one ended and
        // hands its end position on, so no sample is evaluated twice. Every
        // walk overshoots its 0.65 by up to a chord, so on a coarse ring the
        // last ties run on past u = 0 over the first ones, as they should.
        const float next = sampler_.advance_along(kTieSpacing, u, p);
        // A walk that cannot move (no usable length) would put every further
        // tie on this same spot.
        if (next == u) {
            break;
        }
        u = next;
        const TrackSampler::Orientation o = sampler_.orientation_at(u);
        const Point3 up = sampler_.up_from(o);
        TiePose& tie = tie_poses_[ties_++];
        tie.u = u;
        const Point3 centre = p - kTieDrop * up;
        tie.x = static_cast<float>(centre.x);
        tie.y = static_cast<float>(centre.y);
        tie.z = static_cast<float>(centre.z);
        tie.heading = o.heading;
        tie.pitch = o.pitch;
        tie.roll = o.roll;
    }
}

TrackPose FrameLayout::pose_at(float u) {
    const TrackSampler::Orientation o = sampler_.orientation_at(u);
    TrackPose pose;
    pose.position = sampler_.position_at(u);
    pose.heading = o.heading;
    pose.pitch = o.pitch;
    pose.roll = o.roll;
    return pose;
}

void FrameLayout::build_cars(float car_u) {
    double distances[Train::kMaxCars];
    float params[Train::kMaxCars];
    for (int i = 0; i < cars_; ++i) {
        distances[i] = -kCarSpacing * i;
    }
    sampler_.advance_all(distances, cars_, car_u, params);
    for (int i = 0; i < cars_; ++i) {
        CarPose& car = car_poses_[i];
        car.u = params[i];
        // The rear wheels walk the same backward grid as the train did, and
        // the front wheels of every car but the first walk over ground the
        // car in front already covered: the cache serves most of both.
        car.front_u = sampler_.advance(kWheelOffset, car.u);
        car.rear_u = sampler_.advance(-kWheelOffset, car.u);
        car.body = pose_at(car.u);
        car.front = pose_at(car.front_u);
        car.rear = pose_at(car.rear_u);
    }
}
