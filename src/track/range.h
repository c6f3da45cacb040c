// A closed interval of numbers [low, high]: the one range type of every layer
// (a setting's bounds, a plot's span, a guide band). No GL, no FLTK.
#pragma once

struct Range {
    double low = 0.0;
    double high = 0.0;
    constexpr bool holds(double v) const { return v >= low && v <= high; }
};
