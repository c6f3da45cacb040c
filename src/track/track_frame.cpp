// Moving frame along the track: bank, tangent, side and up vectors, heading
// and pitch. Angles convert with 3.14159 so that markers, ties and cars turn
// by the same amounts everywhere.
#include <algorithm>
#include <cmath>

#include "track/track.h"

namespace {

constexpr double kPi = 3.14159;

bool usable_norm(double norm) {
    return norm >= 1e-150 && norm <= 1e150;
}

// v / |v|. Within the usual range this is the plain division; tiny or huge
// vectors are rescaled first so that their squares neither vanish nor
// overflow; a zero or non-finite vector gives the fallback.
Point3 normalized(const Point3& v, const Point3& fallback) {
    double norm = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (usable_norm(norm)) {
        return {v.x / norm, v.y / norm, v.z / norm};
    }
    const double scale = std::max({std::fabs(v.x), std::fabs(v.y), std::fabs(v.z)});
    if (!(scale > 0.0) || !std::isfinite(scale)) {
        return fallback;
    }
    const Point3 w{v.x / scale, v.y / scale, v.z / scale};
    norm = std::sqrt(w.x * w.x + w.y * w.y + w.z * w.z);
    return {w.x / norm, w.y / norm, w.z / norm};
}

} // namespace

double Track::roll_at(float u) const {
    const Segment seg = segment_of(u);
    const ControlPoint& p0 = points_[seg.i];
    const ControlPoint& p1 = points_[(seg.i + 1) % num_points_];
    const double difference = p1.roll - p0.roll;
    return static_cast<double>(seg.t) * difference + p0.roll;
}

Point3 Track::tangent_at(float u) const {
    u = wrap_parameter(u);
    const double n = num_points_;
    const double ud = u;
    Point3 a;
    Point3 b;
    // Central difference over +-0.025; near either end one sample is taken
    // across the seam of the ring.
    if (ud - 0.025 < 0) {
        a = position_at(static_cast<float>(ud + 0.025));
        b = position_at(static_cast<float>(ud - 0.025 + n - 0.0001));
    } else if (ud + 0.025 >= n) {
        a = position_at(static_cast<float>(ud + 0.025 - n));
        b = position_at(static_cast<float>(ud - 0.025));
    } else {
        a = position_at(static_cast<float>(ud + 0.025));
        b = position_at(static_cast<float>(ud - 0.025));
    }
    // Coincident samples have no direction: keep facing +z.
    return normalized({a.x - b.x, a.y - b.y, a.z - b.z}, {0.0, 0.0, 1.0});
}

Point3 Track::side_from_tangent(const Point3& tangent, double roll) const {
    const double horizontal = std::sqrt(tangent.x * tangent.x + tangent.z * tangent.z);
    const double radians = roll * kPi / 180;
    // A vertical tangent leaves no horizontal direction to bank from: use +x.
    return normalized({-tangent.z, std::tan(radians) * horizontal, tangent.x}, {1.0, 0.0, 0.0});
}

Point3 Track::side_at(float u) const {
    return side_from_tangent(tangent_at(u), roll_at(u));
}

Point3 Track::up_at(float u) const {
    const Point3 t = tangent_at(u);
    const double roll = roll_at(u);
    const Point3 s = side_from_tangent(t, roll);
    Point3 up{s.y * t.z - s.z * t.y, s.z * t.x - s.x * t.z, s.x * t.y - s.y * t.x};
    // Beyond +-90 degrees the side vector has turned over (tan has period
    // 180), so the roof of the car is on the other side.
    if (roll > 90 || roll < -90) {
        up = {-up.x, -up.y, -up.z};
    }
    return up;
}

double Track::heading_at(float u) const {
    const Point3 t = tangent_at(u);
    if (t.x == 0.0 && t.z == 0.0) {
        return 0.0; // straight up or down: no horizontal direction to face
    }
    const double heading = std::atan(t.x / t.z) * 180 / kPi;
    return t.z > 0 ? heading : heading + 180;
}

double Track::pitch_at(float u) const {
    const Point3 t = tangent_at(u);
    double horizontal = std::sqrt(t.x * t.x + t.z * t.z);
    if (t.x * t.z < 0) {
        horizontal = -horizontal;
    }
    if (horizontal == 0.0 && t.y == 0.0) {
        return 0.0;
    }
    const double pitch = std::atan(t.y / horizontal) * 180 / kPi;
    return horizontal > 0 && pitch != 0 ? -pitch : pitch;
}
