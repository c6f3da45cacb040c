#include "export/turn.h"

#include <cmath>

namespace {

constexpr double kDegrees = 3.14159265358979323846 / 180.0;

// The rotation by `degrees` about one unit axis, as a quaternion.
Quaternion about(double degrees, double x, double y, double z) {
    const double half = 0.5 * degrees * kDegrees;
    const double s = std::sin(half);
    return {x * s, y * s, z * s, std::cos(half)};
}

Turn matrix_of(const Quaternion& q) {
    const double x = q.x, y = q.y, z = q.z, w = q.w;
    return {{{1 - 2 * (y * y + z * z), 2 * (x * y - z * w), 2 * (x * z + y * w)},
             {2 * (x * y + z * w), 1 - 2 * (x * x + z * z), 2 * (y * z - x * w)},
             {2 * (x * z - y * w), 2 * (y * z + x * w), 1 - 2 * (x * x + y * y)}}};
}

} // namespace

Quaternion quaternion_of(double heading, double pitch, double roll) {
    const Quaternion q = about(static_cast<float>(heading), 0, 1, 0) *
                         about(static_cast<float>(pitch), 1, 0, 0) *
                         about(static_cast<float>(-roll), 0, 0, 1);
    const double norm = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    return {q.x / norm, q.y / norm, q.z / norm, q.w / norm};
}

Turn turn_of(double heading, double pitch, double roll) {
    return matrix_of(quaternion_of(heading, pitch, roll));
}

Turn turn_about_y(double degrees) {
    return matrix_of(about(degrees, 0, 1, 0));
}

Point3 apply(const Turn& turn, const Point3& p) {
    return {dot(turn.row[0], p), dot(turn.row[1], p), dot(turn.row[2], p)};
}

Point3 apply_inverse(const Turn& turn, const Point3& p) {
    return p.x * turn.row[0] + p.y * turn.row[1] + p.z * turn.row[2];
}

Quaternion operator*(const Quaternion& a, const Quaternion& b) {
    return {a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
            a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
            a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w,
            a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}

Quaternion conjugate(const Quaternion& q) {
    return {-q.x, -q.y, -q.z, q.w};
}

Quaternion quaternion_from_z(const Point3& to) {
    const double c = to.z; // cos of the angle between +z and `to`
    if (c < -1.0 + 1e-12) {
        return {1.0, 0.0, 0.0, 0.0}; // half a turn about +x
    }
    // Half the angle: (z x to, 1 + z . to), made unit.
    const Quaternion q{-to.y, to.x, 0.0, 1.0 + c};
    const double norm = std::sqrt(q.x * q.x + q.y * q.y + q.w * q.w);
    return {q.x / norm, q.y / norm, 0.0, q.w / norm};
}
