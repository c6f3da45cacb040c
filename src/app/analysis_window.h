// The "Ride analysis" window: plots a ride's speed and G-forces against the
// distance along the track, with its summary. It shows an analysis handed to
// it; it never computes one and never touches the scene.
#pragma once

#include <FL/Fl_Double_Window.H>

#include <array>
#include <functional>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/ride_analysis.h"
#include "app/analysis_plot.h"
#include "track/range.h"

class Fl_Button;
class Fl_Check_Button;

class AnalysisWindow : public Fl_Double_Window {
public:
    static constexpr int kWidth = 640; // the size it opens at
    static constexpr int kHeight = 560;
    static constexpr int kMinWidth = 540; // the smallest a person can make it
    static constexpr int kMinHeight = 420;

    // "Ride analysis - Looptide", kWidth x kHeight, resizable, not shown,
    // showing an empty analysis.
    AnalysisWindow();
    ~AnalysisWindow() override;

    // Copies what it draws from `analysis` (each sample's distance and four
    // figures, the corners, the points' distances and the summary), reusing
    // the storage of the last copy: no allocation once it has reached its
    // largest size. Redraws.
    void show_analysis(const RideAnalysis& analysis);

    // Puts the front car's line at `distance` metres along the track; a
    // non-finite distance removes it. Redraws only when the line moves to
    // another pixel column (or appears or goes).
    void show_car_at(double distance);

    // A left click in a plot calls `f` with nearest_point(analysis(), the
    // distance under the pointer).
    void on_select_point(std::function<void(int point)> f) { select_point_ = std::move(f); }
    // The "Bank for level riding" button calls `f`.
    void on_bank_for_level_riding(std::function<void()> f) { bank_ = std::move(f); }
    // The "Ride these speeds" button calls `f` with its new state.
    void on_ride_speeds(std::function<void(bool on)> f) { ride_speeds_ = std::move(f); }
    // Shows whether the animation rides these speeds (the button's state,
    // without calling on_ride_speeds); off, a line says what it follows.
    void show_ride_speeds(bool on);
    // A line under the button, such as what banking left (empty: none).
    void show_note(const std::string& note);
    // Every key the focused button does not take is offered once to `f`, the
    // owner's key handler, which returns nonzero when it took the key: so the
    // editor's keys work here too, F2 among them. Escape, which no one takes,
    // is left to the toolkit, which hides the window as its close button does.
    void on_key(std::function<int(int key)> f) { key_ = std::move(f); }

    // Keys as on_key says; a left press in a plot selects a point; everything
    // else as any window.
    int handle(int event) override;
    // Keeps the button at the bottom right; the plots follow the new size.
    void resize(int x, int y, int w, int h) override;
    // Public so that a test can draw the window into an offscreen image.
    void draw() override;

    // Where things are for the current size: each plot's area and the pixel
    // column of a distance along the track (plots share one distance scale).
    static constexpr int kPlots = 4; // speed, vertical, lateral, longitudinal G
    PixelRect plot_area(int plot) const;
    int x_of(double distance) const;
    Fl_Button& bank_button() const { return *bank_button_; }
    Fl_Check_Button& ride_button() const { return *ride_button_; }
    // The line beside the ride button, and the note under it, as drawn.
    std::string_view ride_line() const;
    const std::string& note() const { return note_; }

private:
    struct Layout;
    Layout layout() const;
    double length() const;
    Scale distance_scale(const PixelRect& plot) const;
    Scale value_scale(int plot, const PixelRect& r) const;
    void draw_plots(const Layout& l);
    void draw_plot(int plot, const PixelRect& r, const Scale& x, const Ticks& x_ticks) const;
    void draw_curve(int plot, const PixelRect& r, const Scale& x, const Scale& y) const;
    void draw_summary(const Layout& l) const;
    void draw_ride_rows(const Layout& l) const;

    // The analysis without its samples (corners, point distances, summary,
    // refusal), as nearest_point reads it.
    RideAnalysis analysis_;
    // The plotted figures of each sample, one array each, so that a draw reads
    // 8 bytes per sample and figure rather than whole samples.
    std::vector<double> distances_;
    std::array<std::vector<double>, kPlots> series_; // speed, vertical, lateral, longitudinal G
    // Each figure's range over the samples that are not at a corner (a
    // corner's figures would squash the rest of the curve).
    std::array<Range, kPlots> ranges_;
    double car_distance_ = std::numeric_limits<double>::quiet_NaN();
    int car_column_ = -1; // the column the car's line was last drawn at, or -1

    Fl_Button* bank_button_ = nullptr; // owned by the window, as a child
    Fl_Check_Button* ride_button_ = nullptr;
    std::string note_;
    std::function<void(bool)> ride_speeds_;
    std::function<void(int)> select_point_;
    std::function<void()> bank_;
    std::function<int(int)> key_;
};
