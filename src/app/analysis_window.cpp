#include "app/analysis_window.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>

#include "analysis/ride_guides.h"

namespace {

constexpr int kLeft = 52; // room for the value numbers left of the plots
constexpr int kRight = 16;
constexpr int kTop = 2;
constexpr int kHeader = 16;   // a plot's title line
constexpr int kAxisRows = 40; // the distance numbers and the control points
constexpr int kBottom = 6;
constexpr int kSummaryRows = 8;
constexpr int kRowHeight = 16;
constexpr int kSummaryFont = 12;
constexpr int kButtonWidth = 170;
constexpr int kButtonHeight = 22;
// "Ride these speeds" with its line, and the note under it.
constexpr int kRideRows = 2;
constexpr int kRideButtonWidth = 150;

// What each plot shows. A plot with guides draws its curve red past them.
struct PlotKind {
    const char* title;
    unsigned char r, g, b;
    bool g_levels;          // lines at 0 g and 1 g
    Range guides;           // the dashed guide lines; infinite where there are none
    std::string note;       // what the dashed lines are, where there is room
    std::string short_note; // the same where there is not
};

constexpr double kNone = std::numeric_limits<double>::infinity();
constexpr Range kNoGuides{-kNone, kNone};

PlotKind guided(const char* title, unsigned char r, unsigned char g, unsigned char b,
                const Range& guides) {
    return {title,
            r,
            g,
            b,
            true,
            guides,
            "dashed guides at " + guides_text(guides, " and ") + ", red past them",
            "guides " + guides_text(guides, ", ")};
}

const PlotKind kKinds[AnalysisWindow::kPlots] = {
    {"Speed (m/s)", 30, 90, 200, false, kNoGuides, "", ""},
    guided("Vertical G (g)", 0, 130, 0, kVerticalGuides),
    guided("Lateral G (g), + to the left", 230, 120, 0, kLateralGuides),
    {"Longitudinal G (g), + into the seat", 130, 50, 170, true, kNoGuides, "", ""},
};

// The share of the plots' height each plot gets, out of 9.
constexpr int kWeights[AnalysisWindow::kPlots] = {2, 3, 2, 2};

void widen(Range& range, double v) {
    range.low = std::min(range.low, v);
    range.high = std::max(range.high, v);
}

// A summary row's figure, and where along the track it is.
struct Figure {
    std::optional<double> value; // none: the train stands still
    bool placed = false;         // whether the row names a place
    double distance = 0.0;       // metres along the ring, for a placed figure
};

Figure total(double value) {
    return {value, false, 0.0};
}
Figure at(const Extreme& e) {
    return {e.value, true, e.distance};
}

// One line of the summary: its label, how its figure is written, and the figure.
struct SummaryRow {
    const char* label;
    const char* format; // printf's, for the figure alone
    Figure figure;
};
constexpr int kSummaryCount = 15; // every one of them given below

std::array<SummaryRow, kSummaryCount> summary_rows(const RideAnalysis& a) {
    const RideSummary& s = a.summary;
    return {{
        {"Length", "%.1f m", total(s.length_m)},
        {"Lowest point", "%.1f m", at(s.lowest)},
        {"Highest point", "%.1f m", at(s.highest)},
        {"Biggest drop", "%.1f m", at(s.biggest_drop)},
        {"Top speed", "%.1f m/s", at(s.max_speed)},
        {"Lowest speed", "%.1f m/s", at(s.min_speed)},
        {"Lap time", "%.1f s", Figure{s.lap_time_s, false, 0.0}},
        {"Airtime", "%.1f s", total(s.airtime_s)},
        {"Vertical G max", "%.2f g", at(s.vertical_max)},
        {"Vertical G min", "%.2f g", at(s.vertical_min)},
        {"Lateral G largest", "%.2f g", at(s.lateral_max_abs)},
        {"Longitudinal G max", "%.2f g", at(s.longitudinal_max)},
        {"Longitudinal G min", "%.2f g", at(s.longitudinal_min)},
        {"Inversions", "%.0f", total(s.inversions)},
        {"Corners", "%.0f", total(static_cast<double>(a.corners.size()))},
    }};
}

// A row's figure as the summary writes it. An analysis without samples has
// no places: those rows show an em dash.
void figure_text(char* out, int size, const SummaryRow& row, bool empty) {
    const Figure& f = row.figure;
    const auto room = static_cast<size_t>(size);
    if (empty && (f.placed || !f.value)) {
        std::snprintf(out, room, "\xe2\x80\x94"); // an em dash
    } else if (!f.value) {
        std::snprintf(out, room, "standing still");
    } else if (!f.placed) {
        std::snprintf(out, room, row.format, *f.value);
    } else {
        // A figure that rounds to zero is written 0.00, never -0.00.
        const double figure = std::abs(*f.value) < 0.005 ? 0.0 : *f.value;
        const size_t n = std::min(room - 1, static_cast<size_t>(std::max(
                                                std::snprintf(out, room, row.format, figure), 0)));
        std::snprintf(out + n, room - n, " at %.1f m", f.distance);
    }
}

} // namespace

struct AnalysisWindow::Layout {
    PixelRect plots[kPlots];
    int numbers_y = 0; // the distance numbers' row
    int points_y = 0;  // the control points' row
    int ride_y = 0;    // the ride button's row, then the note's
    int summary_y = 0; // the summary's first row
    int column_x[2] = {0, 0};
};

AnalysisWindow::AnalysisWindow() : Fl_Double_Window(kWidth, kHeight, "Ride analysis - Looptide") {
    bank_button_ = new Fl_Button(0, 0, kButtonWidth, kButtonHeight, "Bank for level riding");
    bank_button_->callback(
        [](Fl_Widget*, void* data) {
            auto* self = static_cast<AnalysisWindow*>(data);
            if (self->bank_) {
                self->bank_();
            }
        },
        this);
    ride_button_ = new Fl_Check_Button(0, 0, kRideButtonWidth, kRowHeight, "Ride these speeds");
    ride_button_->callback(
        [](Fl_Widget* button, void* data) {
            auto* self = static_cast<AnalysisWindow*>(data);
            if (self->ride_speeds_) {
                self->ride_speeds_(static_cast<Fl_Check_Button*>(button)->value() != 0);
            }
            self->redraw();
        },
        this);
    end();
    resizable(this); // closing it (its button, or Escape) hides it, as any window's callback does
    size_range(kMinWidth, kMinHeight);
    resize(x(), y(), w(), h()); // places the button
}

AnalysisWindow::~AnalysisWindow() = default;

void AnalysisWindow::show_analysis(const RideAnalysis& analysis) {
    analysis_.corners = analysis.corners;
    analysis_.point_distances = analysis.point_distances;
    analysis_.summary = analysis.summary;
    analysis_.refusal = analysis.refusal;
    const size_t n = analysis.samples.size();
    distances_.resize(n);
    for (auto& series : series_) {
        series.resize(n);
    }
    ranges_.fill(Range{0.0, 0.0});
    bool first = true;
    for (size_t k = 0; k < n; ++k) {
        const RideSample& s = analysis.samples[k];
        const double v[kPlots] = {s.speed, s.vertical_g, s.lateral_g, s.longitudinal_g};
        distances_[k] = s.distance;
        bool finite = true;
        for (int i = 0; i < kPlots; ++i) {
            series_[i][k] = v[i];
            finite = finite && std::isfinite(v[i]);
        }
        if (s.at_corner || !finite) {
            continue;
        }
        for (int i = 0; i < kPlots; ++i) {
            ranges_[i] = first ? Range{v[i], v[i]} : ranges_[i];
            widen(ranges_[i], v[i]);
        }
        first = false;
    }
    redraw();
}

void AnalysisWindow::show_car_at(double distance) {
    car_distance_ = distance;
    const int column = std::isfinite(distance) && !distances_.empty() ? x_of(distance) : -1;
    if (column != car_column_) {
        redraw();
    }
}

double AnalysisWindow::length() const {
    const double last = distances_.empty() ? 0.0 : distances_.back();
    const double l = std::max(analysis_.summary.length_m, last);
    return std::isfinite(l) ? l : 0.0;
}

AnalysisWindow::Layout AnalysisWindow::layout() const {
    Layout l;
    // From the bottom up: the button in the summary's last row, the summary,
    // the distance and point rows; the plots share what is left.
    l.summary_y = h() - kBottom - kButtonHeight - (kSummaryRows - 1) * kRowHeight;
    l.ride_y = l.summary_y - kRideRows * kRowHeight - 4;
    const int plots_bottom = l.ride_y - kAxisRows;
    const int plots_height = plots_bottom - kTop - kPlots * kHeader;
    int y = kTop;
    for (int i = 0; i < kPlots; ++i) {
        y += kHeader;
        const int ph = std::max(plots_height * kWeights[i] / 9, 10);
        l.plots[i] = {kLeft, y, std::max(w() - kLeft - kRight, 10), ph};
        y += ph;
    }
    l.numbers_y = y;
    l.points_y = y + 20;
    l.column_x[0] = 10;
    l.column_x[1] = w() / 2 + 4;
    return l;
}

PixelRect AnalysisWindow::plot_area(int plot) const {
    return layout().plots[plot];
}

Scale AnalysisWindow::distance_scale(const PixelRect& plot) const {
    return Scale(0.0, length() > 0.0 ? length() : 1.0, plot.x, plot.right());
}

int AnalysisWindow::x_of(double distance) const {
    return distance_scale(plot_area(0)).pixel(distance);
}

void AnalysisWindow::resize(int x, int y, int w, int h) {
    Fl_Double_Window::resize(x, y, w, h);
    const Layout l = layout();
    bank_button_->resize(l.column_x[1], h - kBottom - kButtonHeight, kButtonWidth, kButtonHeight);
    ride_button_->resize(l.column_x[0], l.ride_y, kRideButtonWidth, kRowHeight);
}

int AnalysisWindow::handle(int event) {
    switch (event) {
    case FL_KEYBOARD:
    case FL_SHORTCUT: {
        // A key the focused button does not take comes back as FL_SHORTCUT;
        // only then is it offered to the owner, so it is offered once.
        if (event == FL_KEYBOARD) {
            return Fl_Double_Window::handle(event);
        }
        if (Fl_Double_Window::handle(event)) {
            return 1; // a child's shortcut
        }
        return key_ && key_(Fl::event_key()) ? 1 : 0;
    }
    case FL_PUSH: {
        const Layout l = layout();
        const bool in_plot =
            std::any_of(std::begin(l.plots), std::end(l.plots), [](const PixelRect& r) {
                return r.contains(Fl::event_x(), Fl::event_y());
            });
        if (in_plot && Fl::event_button() == FL_LEFT_MOUSE && !distances_.empty()) {
            const int point =
                nearest_point(analysis_, distance_scale(l.plots[0]).value(Fl::event_x()));
            if (point >= 0 && select_point_) {
                select_point_(point);
            }
            return 1;
        }
        break;
    }
    default:
        break;
    }
    return Fl_Double_Window::handle(event);
}

void AnalysisWindow::draw() {
    Fl_Double_Window::draw(); // the background and the button
    const Layout l = layout();
    draw_plots(l);
    draw_ride_rows(l);
    draw_summary(l);
}

Scale AnalysisWindow::value_scale(int plot, const PixelRect& r) const {
    const PlotKind& kind = kKinds[plot];
    Range span = ranges_[plot];
    // Every plot shows 0 and 1, and the G plots their guides.
    for (const double level : {0.0, 1.0, kind.guides.low, kind.guides.high}) {
        if (std::isfinite(level)) {
            widen(span, level);
        }
    }
    const double pad = 0.08 * std::max(span.high - span.low, 1.0);
    return Scale(kind.g_levels ? span.low - pad : span.low, span.high + pad, r.bottom(), r.y);
}

void AnalysisWindow::show_ride_speeds(bool on) {
    if ((ride_button_->value() != 0) != on) {
        ride_button_->value(on ? 1 : 0);
        redraw();
    }
}

void AnalysisWindow::show_note(const std::string& note) {
    if (note != note_) {
        note_ = note;
        redraw();
    }
}

std::string_view AnalysisWindow::ride_line() const {
    return ride_button_->value() != 0
               ? std::string_view()
               : "Off: the train on screen follows the car controls' simpler rule.";
}

void AnalysisWindow::draw_ride_rows(const Layout& l) const {
    fl_font(FL_HELVETICA, kSummaryFont);
    fl_color(FL_BLACK);
    const int baseline = l.ride_y + kRowHeight - 4;
    const std::string_view line = ride_line();
    fl_draw(line.data(), static_cast<int>(line.size()), l.column_x[0] + kRideButtonWidth + 12,
            baseline);
    fl_draw(note_.c_str(), l.column_x[0], baseline + kRowHeight);
}

void AnalysisWindow::draw_plots(const Layout& l) {
    const bool empty = distances_.empty();
    const Scale x = distance_scale(l.plots[0]);
    // Without samples the one tick is at 0.
    const double x_step = empty ? x.hi() * 2 : nice_step(x.hi() * 64.0 / std::max(l.plots[0].w, 1));
    const Ticks x_ticks = axis_ticks(x, x_step);
    car_column_ = !empty && std::isfinite(car_distance_) ? x.pixel(car_distance_) : -1;
    for (int i = 0; i < kPlots; ++i) {
        draw_plot(i, l.plots[i], x, x_ticks);
    }

    const PixelRect& bottom = l.plots[kPlots - 1];
    if (empty) {
        fl_font(FL_HELVETICA, FL_NORMAL_SIZE);
        fl_color(FL_BLACK);
        const PixelRect& middle = l.plots[1];
        const std::string refused = std::string("Looptide cannot analyse this ride: ") +
                                    refusal_phrase(analysis_.refusal) + ".";
        fl_draw(analysis_.refusal == RideRefusal::none ? "The track has no length to analyse."
                                                       : refused.c_str(),
                middle.x, middle.y, middle.w, middle.h, FL_ALIGN_CENTER);
        return;
    }
    draw_distance_numbers(l.numbers_y, bottom, x, x_ticks);
    draw_point_ticks(l.points_y, bottom, x, analysis_.point_distances, analysis_.corners);
}

// One plot: its title and note above it, its face, the 0 g, 1 g and guide
// lines, the corners, the curve and the car's line.
void AnalysisWindow::draw_plot(int plot, const PixelRect& r, const Scale& x,
                               const Ticks& x_ticks) const {
    const PlotKind& kind = kKinds[plot];
    const Scale y = value_scale(plot, r);
    fl_font(FL_HELVETICA, kSummaryFont);
    fl_color(kind.r, kind.g, kind.b);
    const int title_baseline = r.y - 4;
    fl_draw(kind.title, r.x, title_baseline);
    fl_color(120, 120, 120);
    const int room = r.w - static_cast<int>(fl_width(kind.title)) - 12;
    const std::string& note = fl_width(kind.note.c_str()) <= room ? kind.note : kind.short_note;
    if (fl_width(note.c_str()) <= room) {
        fl_draw(note.c_str(), r.right() - static_cast<int>(fl_width(note.c_str())), title_baseline);
    }

    draw_plot_face(r, x, x_ticks, y);
    fl_push_clip(r.x + 1, r.y + 1, r.w - 2, r.h - 2);
    if (kind.g_levels) {
        fl_color(150, 150, 150);
        draw_level(r, y, 0.0, FL_SOLID);
        draw_level(r, y, 1.0, FL_DOT);
        fl_color(190, 100, 100);
        draw_level(r, y, kind.guides.low, FL_DASH);
        draw_level(r, y, kind.guides.high, FL_DASH);
    }
    fl_color(150, 0, 0);
    fl_line_style(FL_DASH);
    for (const Corner& c : analysis_.corners) {
        fl_yxline(x.pixel(c.distance), r.y, r.bottom());
    }
    fl_line_style(FL_SOLID);
    draw_curve(plot, r, x, y);
    if (car_column_ >= 0) {
        fl_color(FL_BLACK);
        fl_line_style(FL_SOLID, 2);
        fl_yxline(car_column_, r.y, r.bottom());
        fl_line_style(FL_SOLID);
    }
    fl_pop_clip();
}

// The plot's curve, 2 pixels wide in its colour; past a guide the same curve
// is drawn again in red, clipped to the band beyond the guide's line. Leaves
// the line width at 2.
void AnalysisWindow::draw_curve(int plot, const PixelRect& r, const Scale& x,
                                const Scale& y) const {
    const PlotKind& kind = kKinds[plot];
    const std::vector<double>& values = series_[plot];
    fl_color(kind.r, kind.g, kind.b);
    fl_line_style(FL_SOLID, 2); // every curve and the car's line, 2 pixels wide
    draw_series(distances_, values, x.hi(), x, y);
    fl_color(FL_RED);
    if (std::isfinite(kind.guides.high) && ranges_[plot].high > kind.guides.high) {
        fl_push_clip(r.x, r.y, r.w, y.pixel(kind.guides.high) - r.y);
        draw_series(distances_, values, x.hi(), x, y);
        fl_pop_clip();
    }
    if (std::isfinite(kind.guides.low) && ranges_[plot].low < kind.guides.low) {
        const int top = y.pixel(kind.guides.low) + 1;
        fl_push_clip(r.x, top, r.w, r.bottom() + 1 - top);
        draw_series(distances_, values, x.hi(), x, y);
        fl_pop_clip();
    }
}

void AnalysisWindow::draw_summary(const Layout& l) const {
    const bool empty = distances_.empty();
    const std::array<SummaryRow, kSummaryCount> rows = summary_rows(analysis_);
    char text[64];
    fl_font(FL_HELVETICA, kSummaryFont);
    for (int column = 0; column < 2; ++column) {
        const int first = column * kSummaryRows;
        const int last = std::min(first + kSummaryRows, kSummaryCount);
        int label_width = 0;
        for (int i = first; i < last; ++i) {
            label_width = std::max(label_width, static_cast<int>(fl_width(rows[i].label)));
        }
        for (int i = first; i < last; ++i) {
            // The last row sits beside the button, whose label it lines up with.
            const int row_top =
                i - first < kSummaryRows - 1
                    ? l.summary_y + (i - first) * kRowHeight
                    : h() - kBottom - kButtonHeight + (kButtonHeight - kRowHeight) / 2;
            const int baseline = row_top + kRowHeight - 4;
            figure_text(text, sizeof text, rows[i], empty);
            fl_color(FL_BLACK);
            fl_draw(rows[i].label, l.column_x[column], baseline);
            fl_draw(text, l.column_x[column] + label_width + 12, baseline);
        }
    }
}
