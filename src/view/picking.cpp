// Selection by OpenGL picking: the scene is drawn again in GL_SELECT mode,
// clipped to a 5 x 5 pixel square around the pointer, and the first name that
// OpenGL reports becomes the selection. Also the place on the drawn track
// under the pointer, from the rails projected as the last frame shows them.
#include <FL/Fl.H>
#include <FL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "view/coaster_window.h"

namespace {

constexpr double kPickRegion = 5.0;

} // namespace

int CoasterWindow::select_at(int x, int y, SelectBuffer& records) {
    records.fill(0);
    // Picking needs a live context; a view that has no X window yet has
    // nothing under the pointer.
    if (!shown()) {
        return 0;
    }
    // Event handling runs outside draw(), so the context may not be current.
    // A view that has never been drawn is still safe to pick from: everything
    // below builds its own projection and modelview, and OpenGL gives a new
    // context a viewport covering the whole view.
    make_current();

    // Both matrices go back to what the last draw left, so that a drag can
    // unproject the pointer against the picture the user sees.
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    // The pick flips y with height minus y only; the drag's unprojection
    // subtracts one more.
    gluPickMatrix(x, viewport[3] - y, kPickRegion, kPickRegion, viewport);
    setup_projection(false);

    glSelectBuffer(static_cast<GLsizei>(records.size()), records.data());
    glRenderMode(GL_SELECT);
    glInitNames();
    glPushName(0);
    draw_scene();
    const GLint hits = glRenderMode(GL_RENDER);

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    return hits;
}

std::optional<int> CoasterWindow::pick() {
    SelectBuffer records;
    if (select_at(Fl::event_x(), Fl::event_y(), records) <= 0) {
        return std::nullopt; // nothing hit, or more records than the buffer holds
    }
    // Records hold one name each: count, min depth, max depth, name. The first
    // record is the first object drawn under the pointer, so drawing order,
    // not depth, decides. The ground's name comes back as all ones.
    return static_cast<int>(records[3]);
}

namespace {

// The matrices and viewport a frame was drawn with.
struct Projection {
    std::array<GLint, 4> viewport{};
    std::array<GLdouble, 16> modelview{};
    std::array<GLdouble, 16> projection{};
};

// A world point in window coordinates (y up), when it lies between the
// clipping planes.
struct WindowPlace {
    double x = 0.0;
    double y = 0.0;
    bool seen = false;
};

WindowPlace to_window(const Point3& p, const Projection& m) {
    WindowPlace w;
    double depth = -1.0;
    w.seen = is_finite(p) && gluProject(p.x, p.y, p.z, m.modelview.data(), m.projection.data(),
                                        m.viewport.data(), &w.x, &w.y, &depth) == GL_TRUE;
    w.seen = w.seen && depth >= 0.0 && depth <= 1.0 && std::isfinite(w.x) && std::isfinite(w.y);
    return w;
}

// The track at rail vertex k in window coordinates: its centre line and half
// the distance between its rails there.
struct TrackAcross {
    WindowPlace centre;
    double half_width = 0.0;
};

TrackAcross across(const FrameLayout& frame, int k, const Projection& m) {
    const int i = k % frame.rail_vertex_count();
    const WindowPlace l = to_window(frame.left_rail()[i], m);
    const WindowPlace r = to_window(frame.right_rail()[i], m);
    return {{(l.x + r.x) / 2, (l.y + r.y) / 2, l.seen && r.seen},
            std::hypot(l.x - r.x, l.y - r.y) / 2};
}

// The place on the track nearest window point (px, py), counted in rail
// vertices from the start of the ring, when the pointer is within `reach`
// of the band between the rails (or inside it); -1 otherwise.
double nearest_on_track(const FrameLayout& frame, const Projection& m, double px, double py,
                        double reach) {
    double nearest = reach;
    double at = -1.0;
    TrackAcross a = across(frame, 0, m);
    for (int k = 0; k < frame.rail_vertex_count(); ++k) {
        const TrackAcross b = across(frame, k + 1, m);
        if (a.centre.seen && b.centre.seen) {
            const double dx = b.centre.x - a.centre.x;
            const double dy = b.centre.y - a.centre.y;
            const double run = dx * dx + dy * dy;
            const double f =
                run > 0.0
                    ? std::clamp(((px - a.centre.x) * dx + (py - a.centre.y) * dy) / run, 0.0, 1.0)
                    : 0.0;
            const double off = std::hypot(a.centre.x + f * dx - px, a.centre.y + f * dy - py) -
                               (a.half_width + f * (b.half_width - a.half_width));
            if (off <= nearest) {
                nearest = off;
                at = k + f;
            }
        }
        a = b;
    }
    return at;
}

} // namespace

std::optional<float> CoasterWindow::track_at(int x, int y) {
    if (!shown()) {
        return std::nullopt;
    }
    make_current();
    if (!valid()) {
        setup_projection(true);
    }
    Projection m;
    glGetIntegerv(GL_VIEWPORT, m.viewport.data());
    glGetDoublev(GL_MODELVIEW_MATRIX, m.modelview.data());
    glGetDoublev(GL_PROJECTION_MATRIX, m.projection.data());
    // The centre of the pointer's pixel, GL's y running up.
    const double at = nearest_on_track(layout(), m, x + 0.5, m.viewport[3] - y - 0.5, kTrackReach);
    if (at < 0.0) {
        return std::nullopt;
    }
    return scene_.track().wrap(static_cast<float>(at / FrameLayout::kRailSamplesPerSegment));
}
