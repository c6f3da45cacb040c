// Test harness for picking and mouse handling: a real view under the current
// X display, synthetic toolkit events, and pixel positions of world points
// computed with the view's own matrices. No assertions of its own.
#pragma once

#include <FL/Enumerations.H>
#include <FL/Fl_Value_Slider.H>
#include <FL/Fl_Window.H>

#include <memory>

#include "track/point3.h"
#include "view/coaster_window.h"

namespace pick_test {

// A window pixel of the view (y downward) and whether the point lies in front
// of the eye and inside the view.
struct Pixel {
    int x = 0;
    int y = 0;
    bool visible = false;
};

class ViewHarness {
public:
    static constexpr int kSize = 480;

    // Builds a main window holding a roll slider and a 480 x 480 view, shows
    // it and draws one frame.
    ViewHarness();
    ~ViewHarness();
    ViewHarness(const ViewHarness&) = delete;
    ViewHarness& operator=(const ViewHarness&) = delete;

    CoasterWindow& view() { return *view_; }
    Fl_Value_Slider& roll_slider() { return *slider_; }

    // Runs the view's draw() with its context current, as the toolkit would.
    void draw_now();
    // Draws a frame and returns the pixel of a world point under its matrices.
    Pixel project(const Point3& p);

    // Synthetic events, as the toolkit delivers them to the view.
    int press(int button, int x, int y, int state = 0);
    int drag(int x, int y, int state = 0);
    int release(int x, int y, int state = 0);
    int send(int event);

    // Counts damage(1) requests by clearing the view's damage first.
    void clear_damage() { view_->clear_damage(); }
    bool damaged() const { return view_->damage() != 0; }

private:
    std::unique_ptr<Fl_Window> window_;
    CoasterWindow* view_ = nullptr;     // owned by window_
    Fl_Value_Slider* slider_ = nullptr; // owned by window_
    int held_button_ = 0;
};

// The cube of control point p is drawn 0.5 above the point.
inline Point3 cube_centre(const ControlPoint& p) {
    return Point3{p.x, p.y + 0.5, p.z};
}
inline Point3 at(const ControlPoint& p) {
    return Point3{p.x, p.y, p.z};
}

} // namespace pick_test
