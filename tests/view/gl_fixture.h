// Shared harness for the view's GL tests: a real CoasterWindow under the X
// display, frames drawn on demand, pixels read back, selection names and
// feedback geometry captured in world coordinates, synthetic mouse events.
// No assertions of its own.
#pragma once

#include <FL/Fl_Window.H>
#include <FL/gl.h>

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "track/point3.h"
#include "view/coaster_window.h"

namespace gl_test {

struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

// A picture read back from the view, y down.
struct Image {
    std::vector<Rgb> pixels; // kSize x kSize, row by row
    Rgb at(int x, int y) const;
    // Pixels of colour c on the straight run from (x0, y0) to (x1, y1), along
    // a row or a column, both ends included.
    int count(int x0, int y0, int x1, int y1, const Rgb& c) const;
};

// A window pixel (x right, y down) and its depth; visible when it lies inside
// the view and between the clipping planes.
struct WindowPoint {
    double x = 0.0;
    double y = 0.0;
    double depth = 0.0;
    bool visible = false;
};

// A whole window pixel for the pointer (y down); visible as for WindowPoint.
struct Pixel {
    int x = 0;
    int y = 0;
    bool visible = false;
};

// One vertex out of the feedback buffer, turned back into world coordinates,
// with the colour GL had for it (the plain colour while lighting is off).
struct FeedbackVertex {
    Point3 world;
    std::array<float, 4> colour{};
    std::array<float, 3> raw{}; // window x, y and depth as GL reported them
};

struct FeedbackLine {
    FeedbackVertex a;
    FeedbackVertex b;
    bool reset = false; // the first segment of a new strip or loop
};

using Polygon = std::vector<FeedbackVertex>;

struct Feedback {
    std::vector<FeedbackLine> lines;
    std::vector<Polygon> polygons; // each GL_POLYGON_TOKEN record
    std::vector<GLfloat> values;   // the whole buffer as GL wrote it
    bool overflow = false;

    // Lines grouped into strips: a new strip starts at every reset token and
    // wherever a segment does not start at the end of the one before.
    std::vector<std::vector<FeedbackLine>> strips() const;
    // Polygons whose first vertex has this colour (within 2e-3 per channel).
    std::vector<Polygon> polygons_coloured(float r, float g, float b) const;
};

// A shown 480 x 480 CoasterWindow at the top left of a plain Fl_Window (no
// main window), with its GL context current.
class GlView {
public:
    static constexpr int kSize = 480;

    GlView();
    ~GlView();
    GlView(const GlView&) = delete;
    GlView& operator=(const GlView&) = delete;

    CoasterWindow& view() { return *view_; }
    Scene& scene() { return view_->scene(); }
    void make_current();

    // make_current, the view's own draw() into the back buffer, glFinish.
    void draw_frame();
    // Colour of a window pixel (y down) in the back buffer of the last frame.
    Rgb pixel(int x, int y);
    // The whole back buffer of the last frame.
    Image snapshot();
    // A world point through the current modelview, projection and viewport
    // (after draw_frame: the view's own camera).
    WindowPoint project(const Point3& p);
    // Draws a frame (a pick leaves its small region in the projection; a draw
    // puts the picture's matrices back) and returns the rounded pixel of a
    // world point, where the pointer goes to press on it.
    Pixel locate(const Point3& p);

    // Synthetic mouse events, delivered to the view as the toolkit would; a
    // drag holds the button of the last press.
    int press(int button, int x, int y, int state = 0);
    int drag(int x, int y, int state = 0);
    int release(int x, int y, int state = 0);
    int send(int event) { return view_->handle(event); }

    // Counts redraw requests: clear first, then ask whether any came.
    void clear_damage() { view_->clear_damage(); }
    bool damaged() const { return view_->damage() != 0; }

    // Draws the scene in GL_SELECT mode with a pick region covering the whole
    // viewport and returns the name of every hit record, in record order.
    std::vector<GLuint> select_names();

    // Runs `draw` in GL_FEEDBACK mode (GL_3D_COLOR) under a known camera: an
    // orthographic box of half size `half_extent` around the origin, turned
    // obliquely so that no face of an axis-aligned box is seen edge-on. Vertex
    // positions come back in world coordinates. With `lit` the scene's light
    // shines and each vertex carries its lit colour; else GL_LIGHTING is off
    // (draw_scene switches it itself) and the colours are plain.
    Feedback capture(const std::function<void()>& draw, double half_extent = 30.0,
                     int capacity = 1 << 21, bool lit = false);
    // Draws `draw` on a white ground with lighting off, seen from `eye`
    // towards `centre` through an orthographic box of half size
    // `half_extent`, and reads the picture back. project() then maps world
    // points into it.
    Image render(const std::function<void()>& draw, const Point3& eye, const Point3& centre,
                 const Point3& up, double half_extent);
    // How many GL_POLYGON_TOKEN records one quad yields here (a GL may pass a
    // quad whole or split it into two triangles).
    int polygons_per_quad();

    Document& document() { return document_; }

private:
    Document document_; // outlives the window and its view
    std::unique_ptr<Fl_Window> window_;
    CoasterWindow* view_ = nullptr; // owned by window_
    int polygons_per_quad_ = 0;
    int held_button_ = 0;
};

// Events straight to a view's handle(), shown or not: the pointer at (x, y)
// with `button` (1 left, 2 middle, 3 right) held on top of the key state.
int send_press(CoasterWindow& view, int button, int x, int y, int state = 0);

// Whether AddressSanitizer is built in: its quarantine keeps freed memory
// resident, and its leak checker sees what Mesa keeps.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// The unit normal of polygon k of a closed surface, pointing out of it: the
// side from which a ray crosses the surface an even number of times.
Point3 outward_normal(const std::vector<Polygon>& surface, std::size_t k);

// How far the lit colours of a closed surface of plain colour c stray from
// what GL's lighting gives a face that turns its outward normal n to the
// view's light, shining from `towards_light` (unit): c times the scene's
// ambient of 0.2 and the light's own 0.4, plus c times n . towards_light
// where that is positive. The largest difference of any channel of any vertex.
double shading_error(const std::vector<Polygon>& surface, const std::array<float, 3>& c,
                     const Point3& towards_light);

// The cube of a control point is drawn 0.5 above the point.
inline Point3 cube_centre(const ControlPoint& p) {
    return Point3{p.x, p.y + 0.5, p.z};
}

// a scaled to length 1.
inline Point3 unit(const Point3& a) {
    return a / length(a);
}

} // namespace gl_test
