#include "app/analysis_plot.h"

#include <FL/fl_draw.H>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kTickFont = 11;
constexpr int kMaxTicks = 200; // bounds every tick loop, whatever the numbers

// The pixel column a run of samples has reached, with the last, lowest and
// highest value drawn in it: turned into pixels once per column, not per sample.
struct Column {
    int x = 0;
    double from = 0.0; // the distances that fall in this column: [from, to)
    double to = 0.0;
    double last = 0.0;
    double lo = 0.0;
    double hi = 0.0;
};

// A value far off the plot is pinned a few pixels past its edge: the caller's
// clip cuts it, and the line towards it keeps its direction.
constexpr int kMargin = 3;

void finish(const Column& c, const Scale& y) {
    const int a = y.pixel(c.lo, kMargin);
    const int b = y.pixel(c.hi, kMargin);
    if (a != b) {
        fl_line(c.x, a, c.x, b);
    } else {
        fl_point(c.x, a);
    }
}

// Finishes the open column (if any) and starts the one `distance` falls in,
// joined to the last; a non-finite distance or value only ends the line.
// Returns whether a column is open.
bool next_column(Column& column, bool open, double distance, double value, const Scale& x,
                 const Scale& y) {
    if (open) {
        finish(column, y);
    }
    if (!std::isfinite(distance) || !std::isfinite(value)) {
        return false;
    }
    const int px = x.pixel(distance, kMargin);
    if (open) {
        fl_line(column.x, y.pixel(column.last, kMargin), px, y.pixel(value, kMargin));
    }
    const double a = x.at(px - 0.5);
    const double b = x.at(px + 0.5);
    column = {px, std::min(a, b), std::max(a, b), value, value, value};
    return true;
}

} // namespace

Scale::Scale(double lo, double hi, int p_lo, int p_hi) : p_lo_(p_lo), p_hi_(p_hi) {
    if (!std::isfinite(lo) || !std::isfinite(hi)) {
        lo = 0.0;
        hi = 1.0;
    }
    if (!(hi > lo)) {
        const double middle = 0.5 * (lo + hi);
        lo = middle - 0.5;
        hi = middle + 0.5;
    }
    if (p_lo_ == p_hi_) {
        ++p_hi_;
    }
    lo_ = lo;
    hi_ = hi;
}

double Scale::value(int p) const {
    const double v = lo_ + static_cast<double>(p - p_lo_) / (p_hi_ - p_lo_) * (hi_ - lo_);
    return std::clamp(v, lo_, hi_);
}

double nice_step(double at_least) {
    if (!(at_least > 0.0) || !std::isfinite(at_least)) {
        return 1.0;
    }
    const double power = std::pow(10.0, std::floor(std::log10(at_least)));
    for (double m : {1.0, 2.0, 5.0, 10.0}) {
        if (m * power >= at_least * (1.0 - 1e-9)) {
            return m * power;
        }
    }
    return 10.0 * power;
}

void format_tick(char* out, int size, double v, double step) {
    if (std::fabs(v) < 1e-9 * step) {
        v = 0.0; // no "-0"
    }
    const int decimals = step >= 0.999 ? 0 : step >= 0.0999 ? 1 : 2;
    std::snprintf(out, static_cast<size_t>(size), "%.*f", decimals, v);
}

Ticks axis_ticks(const Scale& s, double step) {
    Ticks t{std::ceil(s.lo() / step) * step, step, 0};
    // A tick that rounding puts a hair past the high end still counts.
    const double end = s.hi() + 1e-9 * std::max(std::fabs(s.hi()), step);
    while (t.count < kMaxTicks && t.at(t.count) <= end) {
        ++t.count;
    }
    return t;
}

void draw_series(const std::vector<double>& distances, const std::vector<double>& values,
                 double length, const Scale& x, const Scale& y) {
    if (distances.empty() || values.size() != distances.size()) {
        return;
    }
    Column column;
    bool open = false;
    const size_t n = distances.size();
    // The last round is the ring's closing stretch, back to where it started.
    const size_t rounds = length > distances.back() ? n + 1 : n;
    for (size_t i = 0; i < rounds; ++i) {
        const double distance = i < n ? distances[i] : length;
        const double value = i < n ? values[i] : values.front();
        // Most samples fall in the column of the one before: two comparisons
        // say so, without mapping the distance to a pixel.
        if (open && distance >= column.from && distance < column.to && std::isfinite(value)) {
            column.lo = std::min(column.lo, value);
            column.hi = std::max(column.hi, value);
            column.last = value;
        } else {
            open = next_column(column, open, distance, value, x, y);
        }
    }
    if (open) {
        finish(column, y);
    }
}

void draw_plot_face(const PixelRect& r, const Scale& x, const Ticks& x_ticks, const Scale& y) {
    fl_rectf(r.x, r.y, r.w, r.h, FL_WHITE);
    fl_color(232, 232, 232);
    for (int i = 0; i < x_ticks.count; ++i) {
        fl_yxline(x.pixel(x_ticks.at(i)), r.y, r.bottom());
    }
    const Ticks y_ticks = axis_ticks(y, nice_step((y.hi() - y.lo()) * 18.0 / std::max(r.h, 1)));
    fl_font(FL_HELVETICA, kTickFont);
    char text[32];
    for (int i = 0; i < y_ticks.count; ++i) {
        const double v = y_ticks.at(i);
        const int py = y.pixel(v);
        fl_color(232, 232, 232);
        fl_xyline(r.x, py, r.right());
        fl_color(FL_BLACK);
        fl_xyline(r.x - 4, py, r.x - 1);
        format_tick(text, sizeof text, v, y_ticks.step);
        fl_draw(text, r.x - 6 - static_cast<int>(fl_width(text)),
                py + fl_height() / 2 - fl_descent());
    }
    fl_color(FL_BLACK);
    fl_rect(r.x, r.y, r.w, r.h);
}

void draw_level(const PixelRect& r, const Scale& y, double v, int style) {
    if (v < y.lo() || v > y.hi()) {
        return;
    }
    fl_line_style(style);
    fl_xyline(r.x + 1, y.pixel(v), r.right() - 1);
    fl_line_style(FL_SOLID);
}

void draw_distance_numbers(int row_y, const PixelRect& plot, const Scale& x, const Ticks& ticks) {
    fl_font(FL_HELVETICA, kTickFont);
    fl_color(FL_BLACK);
    const int baseline = row_y + fl_height() - fl_descent() + 3;
    char text[32];
    int free_from = plot.x - 100; // the first pixel a label may use, left to right
    for (int i = 0; i < ticks.count; ++i) {
        const double v = ticks.at(i);
        const int px = x.pixel(v);
        fl_yxline(px, row_y, row_y + 3);
        format_tick(text, sizeof text, v, ticks.step);
        const int w = static_cast<int>(fl_width(text));
        const int left = std::min(px - w / 2, plot.right() + 8 - w);
        if (left >= free_from) {
            fl_draw(text, left, baseline);
            free_from = left + w + 6;
        }
    }
    fl_draw("m", plot.x - 8 - static_cast<int>(fl_width("m")), baseline);
}

void draw_point_ticks(int row_y, const PixelRect& plot, const Scale& x,
                      const std::vector<double>& point_distances,
                      const std::vector<Corner>& corners) {
    fl_font(FL_HELVETICA, kTickFont);
    const int baseline = row_y + 4 + fl_height() - fl_descent();
    fl_color(FL_BLACK);
    fl_xyline(plot.x, row_y, plot.right());
    fl_draw("point", plot.x - 8 - static_cast<int>(fl_width("point")), baseline);

    // Number every k-th point, k the smallest of 1, 2, 5, 10, ... whose
    // numbers are, on average, a label apart; then skip any that would
    // still touch its neighbour where the points crowd together.
    const int n = static_cast<int>(point_distances.size());
    const double label_room = fl_width("000") + 6.0;
    const double every = nice_step(n * label_room / std::max(plot.w, 1));
    const int k = std::max(1, static_cast<int>(std::lround(every)));
    char text[16];
    int free_from = plot.x - 100;
    for (int i = 0; i < n; ++i) {
        const int px = x.pixel(point_distances[static_cast<size_t>(i)]);
        fl_yxline(px, row_y, row_y + 3);
        if (i % k != 0) {
            continue;
        }
        std::snprintf(text, sizeof text, "%d", i);
        const int w = static_cast<int>(fl_width(text));
        const int left = px - w / 2;
        if (left >= free_from) {
            fl_draw(text, left, baseline);
            free_from = left + w + 4;
        }
    }
    fl_color(FL_RED);
    for (const Corner& c : corners) {
        const int px = x.pixel(c.distance);
        fl_polygon(px, row_y - 1, px - 4, row_y - 7, px + 4, row_y - 7);
    }
}
