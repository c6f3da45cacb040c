// Small drawing helpers shared by the view's draw_*.cpp files: finiteness
// checks that keep NaN and infinity away from GL, and the view's one quadric.
// No drawing of its own.
#pragma once

#include <FL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "track/point3.h"

inline bool finite_point(const Point3& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

template <typename... T> inline bool all_finite(T... values) {
    return (std::isfinite(static_cast<double>(values)) && ...);
}

// The quadric is made on first use and kept for the life of the view, so no
// frame creates or leaks one. GLU's defaults (filled, smooth normals, outward)
// are what the wheels, generators and balls want.
inline GLUquadric* view_quadric(GLUquadric*& quadric) {
    if (quadric == nullptr) {
        quadric = gluNewQuadric();
    }
    return quadric;
}
