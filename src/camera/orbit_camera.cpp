// Orbit steering within its limits, the eye on its sphere, and the ride view
// read off the track at the front car.
#include "camera/orbit_camera.h"

#include <cmath>

#include "track/angles.h"
#include "track/track.h"

namespace {
constexpr double kZoomStep = 0.2;
constexpr double kMinDistance = 2.0;
constexpr double kMaxDistance = 100.0;
constexpr double kAngleStep = 4.0;
constexpr double kMaxElevation = 90.0;
constexpr double kTargetStep = 0.2;
// How far ahead along the track the ride view aims.
constexpr double kLookAhead = 2.0;
} // namespace

OrbitCamera::OrbitCamera(const Track* track) : track_(track) {
    update_eye();
}

bool OrbitCamera::zoom_in() {
    if (distance_ > kMinDistance) {
        distance_ -= kZoomStep;
        if (distance_ < kMinDistance) {
            distance_ = kMinDistance;
        }
        update_eye();
        return true;
    }
    return false;
}

bool OrbitCamera::zoom_out() {
    if (distance_ < kMaxDistance) {
        distance_ += kZoomStep;
        if (distance_ > kMaxDistance) {
            distance_ = kMaxDistance;
        }
        update_eye();
        return true;
    }
    return false;
}

void OrbitCamera::set_distance(double d) {
    distance_ = d;
}

void OrbitCamera::set_elevation(double e) {
    elevation_ = e;
    update_eye();
}

void OrbitCamera::set_azimuth(double a) {
    azimuth_ = a;
    update_eye();
}

void OrbitCamera::set_eye(double x, double y, double z) {
    eye_ = {x, y, z};
}

bool OrbitCamera::increase_azimuth() {
    azimuth_ += kAngleStep;
    if (azimuth_ >= 360.0) {
        azimuth_ -= 360.0;
    }
    update_eye();
    return true;
}

bool OrbitCamera::decrease_azimuth() {
    azimuth_ -= kAngleStep;
    if (azimuth_ < 0.0) {
        azimuth_ += 360.0;
    }
    update_eye();
    return true;
}

bool OrbitCamera::increase_elevation() {
    const bool below = elevation_ < kMaxElevation;
    if (below) {
        elevation_ += kAngleStep;
        if (elevation_ > kMaxElevation) {
            elevation_ = kMaxElevation;
        }
    }
    update_eye(); // also at the limit, so a replaced eye snaps back to the sphere
    return below;
}

bool OrbitCamera::decrease_elevation() {
    const bool above = elevation_ > -kMaxElevation;
    if (above) {
        elevation_ -= kAngleStep;
        if (elevation_ < -kMaxElevation) {
            elevation_ = -kMaxElevation;
        }
    }
    update_eye();
    return above;
}

void OrbitCamera::set_target(double x, double y, double z) {
    target_ = {x, y, z};
}

void OrbitCamera::set_up(double x, double y, double z) {
    up_ = {x, y, z};
}

LookAt OrbitCamera::look(float car_u, bool look_from_car) const {
    if (!look_from_car) {
        return {eye_, target_, up_};
    }
    const Point3 car = track_->position_at(car_u);
    const Point3 car_up = track_->up_at(car_u);
    const float ahead = track_->advance(kLookAhead, car_u);
    // The rider sits higher above the rail than beside it: 3.5 along the up
    // vector's y, 3.0 along its x and z.
    const Point3 ride_eye{car.x + 3.0 * car_up.x, car.y + 3.5 * car_up.y, car.z + 3.0 * car_up.z};
    return {ride_eye, track_->position_at(ahead) + track_->up_at(ahead), car_up};
}

void OrbitCamera::update_eye() {
    const double el = elevation_ * angles::kCameraDegToRad;
    const double az = azimuth_ * angles::kCameraDegToRad;
    const double d = distance_;
    eye_.x = std::cos(el) * (std::sin(az) * d);
    eye_.y = std::sin(el) * d;
    eye_.z = std::cos(el) * (std::cos(az) * d);
}

void OrbitCamera::raise_target() {
    target_.y += kTargetStep;
    update_eye();
}

void OrbitCamera::lower_target() {
    target_.y -= kTargetStep;
    update_eye();
}
