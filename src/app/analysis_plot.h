// The ride-analysis window's plotting pieces, drawn with the toolkit's 2-D calls:
// linear scales, tick steps, axes and a curve thinned to one span per pixel column.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

#include "analysis/ride_analysis.h"

// A rectangle of the window in pixels.
struct PixelRect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    bool contains(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
    int right() const { return x + w - 1; }
    int bottom() const { return y + h - 1; }
};

// Maps values in [lo, hi] linearly onto pixels [p_lo, p_hi] (p_hi may be the
// smaller, as for a y axis). A range that is empty, reversed or not finite is
// widened to one unit round its middle, so no mapping ever divides by zero.
class Scale {
public:
    Scale() = default;
    Scale(double lo, double hi, int p_lo, int p_hi);

    double lo() const { return lo_; }
    double hi() const { return hi_; }
    // The pixel of `v`, rounded and kept within `margin` pixels of the
    // scale's ends, so a wild value still gives a small int.
    // Inline: the plots call it once per sample.
    int pixel(double v, int margin = 0) const {
        const double low_end = std::min(p_lo_, p_hi_) - margin;
        const double high_end = std::max(p_lo_, p_hi_) + margin;
        if (!std::isfinite(v)) {
            return static_cast<int>(low_end);
        }
        const double p = p_lo_ + (v - lo_) / (hi_ - lo_) * (p_hi_ - p_lo_);
        return static_cast<int>(std::floor(std::clamp(p, low_end, high_end) + 0.5));
    }
    // The value at pixel `p`, kept within [lo, hi].
    double value(int p) const;
    // The value at a fractional pixel position, not kept within the range.
    double at(double p) const { return lo_ + (p - p_lo_) / (p_hi_ - p_lo_) * (hi_ - lo_); }

private:
    double lo_ = 0.0;
    double hi_ = 1.0;
    int p_lo_ = 0;
    int p_hi_ = 1;
};

// The smallest step of 1, 2 or 5 times a power of ten that is at least
// `at_least` (1 for a step that is not positive and finite).
double nice_step(double at_least);

// Writes `v` with as many decimals as `step` needs (at most 2) into `out`.
void format_tick(char* out, int size, double v, double step);

// An axis's ticks: the multiples of `step` from the first at or above the
// scale's low end up to its high end (give or take rounding), at most 200.
struct Ticks {
    double first = 0.0;
    double step = 1.0;
    int count = 0;
    double at(int i) const { return first + i * step; }
};
Ticks axis_ticks(const Scale& s, double step); // step > 0 and finite

// Draws `values` against `distances` (one each per sample, in order along the
// ring), plus the ring's closing stretch from the last sample back to the
// first at `length`, as one line in the current colour and line style.
// Samples that fall in the same pixel column are drawn as that column's
// min-to-max span, so the cost follows the width, not the sample count.
// Non-finite values break the line. Allocates nothing.
void draw_series(const std::vector<double>& distances, const std::vector<double>& values,
                 double length, const Scale& x, const Scale& y);

// The plot's white face with light vertical grid lines at each distance tick
// and horizontal ones at each value tick, its frame, and the value ticks'
// numbers in the margin to its left. Leaves the colour changed.
void draw_plot_face(const PixelRect& r, const Scale& x, const Ticks& x_ticks, const Scale& y);

// A horizontal line across the plot at value `v` if it lies inside, in the
// current colour and the given line style (the style is restored to solid).
void draw_level(const PixelRect& r, const Scale& y, double v, int style);

// The distance numbers under the plots (at the distance ticks), with the
// unit in the left margin. Leaves the colour and font changed.
void draw_distance_numbers(int row_y, const PixelRect& plot, const Scale& x, const Ticks& ticks);

// One tick per control point under the plots, numbered from 0; numbers are
// thinned (every 1, 2, 5, 10, ... points) so none overlap, but every point
// keeps its tick. Corners are marked with small red triangles. Leaves the
// colour and font changed.
void draw_point_ticks(int row_y, const PixelRect& plot, const Scale& x,
                      const std::vector<double>& point_distances,
                      const std::vector<Corner>& corners);
