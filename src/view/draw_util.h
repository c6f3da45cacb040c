// Finiteness checks shared by the view's draw_*.cpp files, which keep NaN and
// infinity away from GL. No drawing of its own.
#pragma once

#include <cmath>

#include "track/point3.h"

inline bool finite_point(const Point3& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

template <typename... T> inline bool all_finite(T... values) {
    return (std::isfinite(static_cast<double>(values)) && ...);
}
