// A position or direction in world units (y up), and the vector operations on
// it. Plain value; no GL, no FLTK.
#pragma once

#include <cmath>

struct Point3 {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

// Each operation works coordinate by coordinate in the order written here, so a
// formula written with them rounds exactly as the same formula written out.
inline Point3 operator+(const Point3& a, const Point3& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Point3 operator-(const Point3& a, const Point3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Point3 operator-(const Point3& a) {
    return {-a.x, -a.y, -a.z};
}
inline Point3 operator*(double k, const Point3& a) {
    return {k * a.x, k * a.y, k * a.z};
}
inline Point3 operator*(const Point3& a, double k) {
    return {a.x * k, a.y * k, a.z * k};
}
inline Point3 operator/(const Point3& a, double k) { // not a * (1 / k): that rounds twice
    return {a.x / k, a.y / k, a.z / k};
}
// a.x * b.x + a.y * b.y + a.z * b.z, summed left to right.
inline double dot(const Point3& a, const Point3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Point3 cross(const Point3& a, const Point3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline bool is_finite(const Point3& a) {
    return std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(a.z);
}
// Overflows to infinity beyond about 1e154 and loses precision below 1e-154.
inline double length(const Point3& a) {
    return std::sqrt(dot(a, a));
}
