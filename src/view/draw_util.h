// Finiteness checks shared by the view's draw_*.cpp files, which keep NaN and
// infinity away from GL. No drawing of its own.
#pragma once

#include <cmath>

#include "track/point3.h"

template <typename... T> inline bool all_finite(T... values) {
    return (std::isfinite(static_cast<double>(values)) && ...);
}
