// The real program driven as a person would: xdotool clicks and drags in its
// window on the current X display, and screenshots show what changed.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "e2e/e2e_support.h"
#include "track/track.h"

namespace {

using e2e::Image;
using e2e::Rgb;

// The view's place in the main window and its default camera.
constexpr int kViewX = 210;
constexpr int kViewY = 10;
constexpr int kViewSize = 480;

void pause_briefly() {
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
}

// How many pixels of the square of half size r around (x, y) pass `test`.
int count_around(int x, int y, int r, const std::function<bool(int, int)>& test) {
    int n = 0;
    for (int dy = -r; dy <= r; ++dy) {
        for (int dx = -r; dx <= r; ++dx) {
            n += test(x + dx, y + dy) ? 1 : 0;
        }
    }
    return n;
}

// Pixels around (x, y) that differ between two screenshots.
int changed_pixels(const Image& a, const Image& b, int x, int y, int r) {
    return count_around(x, y, r, [&](int px, int py) { return a.at(px, py) != b.at(px, py); });
}

// The handle boxes' olive (0.7, 0.7, 0), shaded by the light: red and green
// alike and well lit, no blue.
bool olive(const Rgb& c) {
    return c.r > 60 && std::abs(c.r - c.g) <= 12 && c.b < 30 && c.r < 240;
}

// A selected control point's cube: red (0.7, 0, 0), shaded.
bool cube_red(const Rgb& c) {
    return c.r > 60 && c.g < 40 && c.b < 40;
}

int red_pixels(const Image& s, int x, int y, int r) {
    return count_around(x, y, r, [&](int px, int py) { return cube_red(s.at(px, py)); });
}

int olive_pixels(const Image& s, int x, int y, int r) {
    return count_around(x, y, r, [&](int px, int py) { return olive(s.at(px, py)); });
}

Point3 unit(const Point3& a) {
    return a / length(a);
}

// Pixel of a world point in the view (y downward) under the default orbit
// camera: distance 15, elevation 30, azimuth 90, looking at (0, 3, 0) with a
// 45 degree square frustum.
std::array<int, 2> view_pixel(const Point3& p) {
    const double k = 0.01745329251994;
    const Point3 eye{std::cos(30 * k) * std::sin(90 * k) * 15, std::sin(30 * k) * 15,
                     std::cos(30 * k) * std::cos(90 * k) * 15};
    const Point3 forward = unit(Point3{0, 3, 0} - eye);
    const Point3 side = unit(cross(forward, {0, 1, 0}));
    const Point3 up = cross(side, forward);
    const Point3 d = p - eye;
    const double depth = dot(d, forward);
    const double f = 1.0 / std::tan(22.5 * k);
    const double nx = f * dot(d, side) / depth;
    const double ny = f * dot(d, up) / depth;
    return {static_cast<int>(std::lround((nx + 1) * 0.5 * kViewSize)),
            static_cast<int>(std::lround(kViewSize - (ny + 1) * 0.5 * kViewSize))};
}

// The program on the current display, with its window's place on the screen
// and the gestures a person makes in it.
class App {
public:
    App() : display_(e2e::current_display()), program_(display_) {
        window_ = program_.wait_for_window();
        e2e::Geometry g;
        if (!window_.empty() && e2e::window_geometry(display_, window_, &g)) {
            origin_x_ = g.x;
            origin_y_ = g.y;
        }
    }

    bool running() const { return program_.pid() > 0 && !window_.empty(); }
    // Image position of a window-relative point.
    int sx(int wx) const { return origin_x_ + wx; }
    int sy(int wy) const { return origin_y_ + wy; }

    void xdo(const std::string& args) {
        e2e::run(display_, "xdotool " + args + " >/dev/null 2>&1");
    }
    void move(int wx, int wy) {
        xdo("mousemove --window " + window_ + " " + std::to_string(wx) + " " + std::to_string(wy));
    }
    void click(int wx, int wy) {
        move(wx, wy);
        xdo("click 1");
    }
    // Press, move in small steps, release: the program sees a drag.
    void drag(int button, int wx0, int wy0, int wx1, int wy1) {
        move(wx0, wy0);
        xdo("mousedown " + std::to_string(button));
        // The toolkit merges motion that queues up while the program is busy
        // drawing into one event; a hand pauses, so do we.
        pause_briefly();
        const int steps = 6;
        for (int i = 1; i <= steps; ++i) {
            move(wx0 + (wx1 - wx0) * i / steps, wy0 + (wy1 - wy0) * i / steps);
            pause_briefly();
        }
        xdo("mouseup " + std::to_string(button));
    }

    // Waits for a screenshot that satisfies `ok` (the program redraws at its
    // own pace); returns the last one taken.
    Image await(const std::function<bool(const Image&)>& ok) {
        Image s;
        for (int i = 0; i < 40; ++i) {
            e2e::screenshot(display_, &s);
            if (ok(s)) {
                break;
            }
            pause_briefly();
        }
        return s;
    }

    // Closes the window from the keyboard and returns the exit status, or -1
    // when the program did not end.
    int close() {
        xdo("windowfocus " + window_);
        xdo("key --window " + window_ + " Escape");
        xdo("key Escape");
        int status = 0;
        if (!program_.wait_exit(9.0, &status)) {
            return -1;
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    std::string display_;
    e2e::Program program_;
    std::string window_;
    int origin_x_ = 0;
    int origin_y_ = 0;
};

} // namespace

TEST(DragEndToEnd, BezierHandlesShowPointsDragAndTheViewOrbits) {
    if (e2e::current_display().empty()) {
        GTEST_SKIP() << "needs an X display";
    }
    App app;
    ASSERT_TRUE(app.running());
    const Track track(CurveType::Cardinal);

    // The view as it first appears: no handle boxes yet.
    Image before = app.await([&](const Image& s) {
        const Rgb sky = s.at(app.sx(kViewX + 240), app.sy(kViewY + 20));
        const Rgb board = s.at(app.sx(kViewX + 2), app.sy(kViewY + kViewSize - 2));
        return s.width() > 0 && sky.r == 0 && sky.g == 0 && sky.b == 0 &&
               (board.r != 0 || board.g != 0 || board.b != 0);
    });
    ASSERT_GT(before.width(), 0);

    // Clicking "Bezier" brings up the olive handle boxes where the handles are.
    std::vector<std::array<int, 2>> handles;
    for (int k = 0; k < 2 * track.num_points(); ++k) {
        const ControlPoint& h = track.bezier_handle(k);
        const auto px = view_pixel(h.position());
        handles.push_back({app.sx(kViewX + px[0]), app.sy(kViewY + px[1])});
    }
    auto olive_handles = [&](const Image& s) {
        int seen = 0;
        for (const auto& h : handles) {
            seen += olive_pixels(s, h[0], h[1], 2) > 0 ? 1 : 0;
        }
        return seen;
    };
    EXPECT_EQ(olive_handles(before), 0);
    app.click(75, 225);
    const Image bezier = app.await([&](const Image& s) { return olive_handles(s) >= 6; });
    EXPECT_GE(olive_handles(bezier), 6) << "handle boxes seen after clicking Bezier";

    // Press on point 2's cube (0.5 above the point) and drag it sideways.
    const ControlPoint& p = track.point(2);
    const auto cube = view_pixel(Point3{p.x, p.y + 0.5, p.z});
    const int old_x = app.sx(kViewX + cube[0]);
    const int old_y = app.sy(kViewY + cube[1]);
    const int dx = -70;
    const int dy = 40;
    ASSERT_GT(kViewX + cube[0] + dx, kViewX);
    app.drag(1, kViewX + cube[0], kViewY + cube[1], kViewX + cube[0] + dx, kViewY + cube[1] + dy);
    const Image dragged = app.await([&](const Image& s) {
        return changed_pixels(bezier, s, old_x, old_y, 3) > 20 &&
               changed_pixels(bezier, s, old_x + dx, old_y + dy, 3) > 20;
    });
    EXPECT_GT(changed_pixels(bezier, dragged, old_x, old_y, 3), 20) << "cube left its spot";
    EXPECT_GT(changed_pixels(bezier, dragged, old_x + dx, old_y + dy, 3), 20)
        << "cube arrived under the pointer";
    // The point itself follows the pointer, so its selected (red) cube now
    // floats just above the release spot, and none is left at the old one.
    EXPECT_GT(red_pixels(dragged, old_x + dx, old_y + dy - 12, 10), 15);
    EXPECT_EQ(red_pixels(dragged, old_x, old_y, 10), 0);

    // A right drag orbits the camera: the whole picture changes.
    app.drag(3, 300, 300, 400, 300);
    const Image orbited = app.await([&](const Image& s) {
        return changed_pixels(dragged, s, app.sx(450), app.sy(250), 200) > 5000;
    });
    EXPECT_GT(changed_pixels(dragged, orbited, app.sx(450), app.sy(250), 200), 5000);

    EXPECT_EQ(app.close(), 0);
}
