#include "view/gl_fixture.h"

#include <FL/Fl.H>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace gl_test {

namespace {

// The matrices and viewport that turn world points into window points.
struct Matrices {
    std::array<GLdouble, 16> model{};
    std::array<GLdouble, 16> proj{};
    std::array<GLint, 4> viewport{};
};

Matrices current_matrices() {
    Matrices m;
    glGetDoublev(GL_MODELVIEW_MATRIX, m.model.data());
    glGetDoublev(GL_PROJECTION_MATRIX, m.proj.data());
    glGetIntegerv(GL_VIEWPORT, m.viewport.data());
    return m;
}

} // namespace

std::vector<std::vector<FeedbackLine>> Feedback::strips() const {
    std::vector<std::vector<FeedbackLine>> result;
    for (const FeedbackLine& line : lines) {
        // A GL may merge consecutive line primitives into one draw and report
        // only one reset token, so a segment that does not start where the
        // last one ended also begins a new strip.
        bool joined = false;
        if (!result.empty()) {
            const auto& end = result.back().back().b.raw;
            joined = std::fabs(end[0] - line.a.raw[0]) < 1e-3f &&
                     std::fabs(end[1] - line.a.raw[1]) < 1e-3f &&
                     std::fabs(end[2] - line.a.raw[2]) < 1e-6f;
        }
        if (line.reset || !joined) {
            result.emplace_back();
        }
        result.back().push_back(line);
    }
    return result;
}

std::vector<std::vector<FeedbackVertex>> Feedback::polygons_coloured(float r, float g,
                                                                     float b) const {
    std::vector<std::vector<FeedbackVertex>> result;
    for (const auto& polygon : polygons) {
        const auto& c = polygon.front().colour;
        if (std::fabs(c[0] - r) < 2e-3f && std::fabs(c[1] - g) < 2e-3f &&
            std::fabs(c[2] - b) < 2e-3f) {
            result.push_back(polygon);
        }
    }
    return result;
}

GlView::GlView() {
    window_ = std::make_unique<Fl_Window>(0, 0, kSize, kSize, "view harness");
    window_->begin();
    view_ = new CoasterWindow(0, 0, kSize, kSize, document_);
    window_->end();
    window_->show();
    for (int i = 0; i < 100 && !view_->shown(); ++i) {
        Fl::wait(0.01);
    }
    for (int i = 0; i < 3; ++i) {
        Fl::flush();
        Fl::wait(0.0);
    }
    // The toolkit may not have drawn it yet: the first frame sets up the
    // context's fixed state, which the captures rely on.
    draw_frame();
}

GlView::~GlView() {
    window_->hide();
    Fl::check();
}

void GlView::make_current() {
    view_->make_current();
}

void GlView::draw_frame() {
    make_current();
    view_->draw();
    glFinish();
}

Rgb GlView::pixel(int x, int y) {
    make_current();
    GLubyte rgb[3] = {0, 0, 0};
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, kSize - 1 - y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    return {rgb[0], rgb[1], rgb[2]};
}

WindowPoint GlView::project(const Point3& p) {
    make_current();
    const Matrices m = current_matrices();
    const GLdouble* model = m.model.data();
    const GLdouble* proj = m.proj.data();
    const GLint* viewport = m.viewport.data();
    GLdouble wx = 0.0;
    GLdouble wy = 0.0;
    GLdouble wz = 0.0;
    WindowPoint result;
    if (gluProject(p.x, p.y, p.z, model, proj, viewport, &wx, &wy, &wz) != GL_TRUE) {
        return result;
    }
    result.x = wx;
    result.y = viewport[3] - wy;
    result.depth = wz;
    result.visible = wz > 0.0 && wz < 1.0 && result.x >= 0.0 && result.x < viewport[2] &&
                     result.y >= 0.0 && result.y < viewport[3];
    return result;
}

Pixel GlView::locate(const Point3& p) {
    draw_frame();
    const WindowPoint w = project(p);
    Pixel px;
    px.x = static_cast<int>(std::lround(w.x));
    px.y = static_cast<int>(std::lround(w.y));
    px.visible =
        w.depth > 0.0 && w.depth < 1.0 && px.x >= 0 && px.x < kSize && px.y >= 0 && px.y < kSize;
    return px;
}

namespace {
int button_bit(int button) {
    switch (button) {
    case 1:
        return FL_BUTTON1;
    case 2:
        return FL_BUTTON2;
    case 3:
        return FL_BUTTON3;
    default:
        return 0;
    }
}
} // namespace

int send_press(CoasterWindow& view, int button, int x, int y, int state) {
    Fl::e_x = x;
    Fl::e_y = y;
    Fl::e_keysym = FL_Button + button;
    Fl::e_state = state | button_bit(button);
    return view.handle(FL_PUSH);
}

int GlView::press(int button, int x, int y, int state) {
    held_button_ = button;
    return send_press(*view_, button, x, y, state);
}

int GlView::drag(int x, int y, int state) {
    Fl::e_x = x;
    Fl::e_y = y;
    Fl::e_state = state | button_bit(held_button_);
    return view_->handle(FL_DRAG);
}

int GlView::release(int x, int y, int state) {
    Fl::e_x = x;
    Fl::e_y = y;
    Fl::e_state = state;
    return view_->handle(FL_RELEASE);
}

std::vector<GLuint> GlView::select_names() {
    make_current();
    glViewport(0, 0, kSize, kSize);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPickMatrix(viewport[2] / 2.0, viewport[3] / 2.0, viewport[2], viewport[3], viewport);
    view_->setup_projection(false);

    std::vector<GLuint> buffer(4096, 0);
    glSelectBuffer(static_cast<GLsizei>(buffer.size()), buffer.data());
    glRenderMode(GL_SELECT);
    glInitNames();
    glPushName(0);
    view_->draw_scene();
    const GLint hits = glRenderMode(GL_RENDER);

    std::vector<GLuint> names;
    std::size_t at = 0;
    for (GLint h = 0; h < hits; ++h) {
        const GLuint count = buffer[at];
        for (GLuint k = 0; k < count; ++k) {
            names.push_back(buffer[at + 3 + k]);
        }
        at += 3 + count;
    }
    return names;
}

Feedback GlView::capture(const std::function<void()>& draw, double half_extent, int capacity,
                         bool lit) {
    make_current();
    glViewport(0, 0, kSize, kSize);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-half_extent, half_extent, -half_extent, half_extent, -2.0 * half_extent,
            2.0 * half_extent);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotated(27.0, 1.0, 0.0, 0.0);
    glRotated(-38.0, 0.0, 1.0, 0.0);

    const Matrices m = current_matrices();
    const GLdouble* model = m.model.data();
    const GLdouble* proj = m.proj.data();
    const GLint* viewport = m.viewport.data();

    Feedback result;
    result.values.assign(static_cast<std::size_t>(capacity), 0.0f);
    if (lit) {
        view_->setup_light(); // its direction is kept in this camera's eye space
        glEnable(GL_LIGHTING);
    } else {
        glDisable(GL_LIGHTING); // feedback then reports each vertex's plain colour
    }
    glFeedbackBuffer(capacity, GL_3D_COLOR, result.values.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);
    if (used < 0) {
        result.overflow = true;
        return result;
    }
    result.values.resize(static_cast<std::size_t>(used));

    const std::vector<GLfloat>& v = result.values;
    std::size_t at = 0;
    auto vertex = [&]() {
        FeedbackVertex out;
        out.raw = {v[at], v[at + 1], v[at + 2]};
        out.colour = {v[at + 3], v[at + 4], v[at + 5], v[at + 6]};
        gluUnProject(v[at], v[at + 1], v[at + 2], model, proj, viewport, &out.world.x, &out.world.y,
                     &out.world.z);
        at += 7;
        return out;
    };
    while (at < v.size()) {
        const auto token = static_cast<GLint>(v[at++]);
        switch (token) {
        case GL_PASS_THROUGH_TOKEN:
            ++at;
            break;
        case GL_POINT_TOKEN:
        case GL_BITMAP_TOKEN:
        case GL_DRAW_PIXEL_TOKEN:
        case GL_COPY_PIXEL_TOKEN:
            vertex(); // the scene draws no points
            break;
        case GL_LINE_TOKEN:
        case GL_LINE_RESET_TOKEN: {
            FeedbackLine line;
            line.reset = token == GL_LINE_RESET_TOKEN;
            line.a = vertex();
            line.b = vertex();
            result.lines.push_back(line);
            break;
        }
        case GL_POLYGON_TOKEN: {
            const auto count = static_cast<int>(v[at++]);
            std::vector<FeedbackVertex> polygon;
            for (int k = 0; k < count; ++k) {
                polygon.push_back(vertex());
            }
            result.polygons.push_back(std::move(polygon));
            break;
        }
        default:
            // Unknown token: the rest cannot be parsed; leave it unread.
            at = v.size();
            break;
        }
    }
    return result;
}

Image GlView::render(const std::function<void()>& draw, const Point3& eye, const Point3& centre,
                     const Point3& up, double half_extent) {
    make_current();
    glViewport(0, 0, kSize, kSize);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const double far_plane = length(centre - eye) + half_extent;
    glOrtho(-half_extent, half_extent, -half_extent, half_extent, 0.0, 2.0 * far_plane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, up.x, up.y, up.z);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f); // the view's own, for its next frame
    glDisable(GL_LIGHTING);
    draw();
    glFinish();
    return snapshot();
}

Image GlView::snapshot() {
    make_current();
    std::vector<GLubyte> rgb(3 * kSize * kSize);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kSize, kSize, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    Image image;
    image.pixels.resize(kSize * kSize);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const GLubyte* p = &rgb[3 * ((kSize - 1 - y) * kSize + x)];
            image.pixels[y * kSize + x] = {p[0], p[1], p[2]};
        }
    }
    return image;
}

Rgb Image::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= GlView::kSize || y >= GlView::kSize) {
        return {};
    }
    return pixels[y * GlView::kSize + x];
}

int Image::count(int x0, int y0, int x1, int y1, const Rgb& c) const {
    const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
    const int dx = x1 > x0 ? 1 : (x1 < x0 ? -1 : 0);
    const int dy = y1 > y0 ? 1 : (y1 < y0 ? -1 : 0);
    int n = 0;
    for (int k = 0; k <= steps; ++k) {
        n += at(x0 + k * dx, y0 + k * dy) == c ? 1 : 0;
    }
    return n;
}

namespace {

std::array<float, 3> lit_colour(const std::array<float, 3>& c, const Point3& n,
                                const Point3& towards_light) {
    const double diffuse = std::max(0.0, dot(n, towards_light));
    std::array<float, 3> out{};
    for (int k = 0; k < 3; ++k) {
        out[k] = static_cast<float>(std::min(1.0, c[k] * (0.2 + 0.4) + c[k] * diffuse));
    }
    return out;
}

// Where the ray from o along d crosses triangle (a, b, c), as the distance
// along d; negative when it misses.
double ray_hits(const Point3& o, const Point3& d, const Point3& a, const Point3& b,
                const Point3& c) {
    const Point3 e1 = b - a;
    const Point3 e2 = c - a;
    const Point3 p = cross(d, e2);
    const double det = dot(e1, p);
    if (std::fabs(det) < 1e-12) {
        return -1.0;
    }
    const Point3 s = o - a;
    const double u = dot(s, p) / det;
    const Point3 q = cross(s, e1);
    const double v = dot(d, q) / det;
    if (u < 0.0 || v < 0.0 || u + v > 1.0) {
        return -1.0;
    }
    return dot(e2, q) / det;
}

int crossings(const std::vector<Polygon>& surface, std::size_t skip, const Point3& o,
              const Point3& d) {
    int n = 0;
    for (std::size_t k = 0; k < surface.size(); ++k) {
        const Polygon& poly = surface[k];
        for (std::size_t j = 1; k != skip && j + 1 < poly.size(); ++j) {
            n += ray_hits(o, d, poly[0].world, poly[j].world, poly[j + 1].world) > 1e-9 ? 1 : 0;
        }
    }
    return n;
}

} // namespace

Point3 outward_normal(const std::vector<Polygon>& surface, std::size_t k) {
    const Polygon& face = surface[k];
    Point3 centre{};
    for (const FeedbackVertex& v : face) {
        centre = centre + v.world;
    }
    centre = centre / static_cast<double>(face.size());
    const Point3 n = unit(cross(face[1].world - face[0].world, face[2].world - face[0].world));
    // A little off the normal, so that the ray passes no edge of another face.
    const Point3 skew{0.0123, 0.0234, 0.0345};
    const bool even = crossings(surface, k, centre, n + skew) % 2 == 0;
    return even ? n : -n;
}

double shading_error(const std::vector<Polygon>& surface, const std::array<float, 3>& c,
                     const Point3& towards_light) {
    double worst = 0.0;
    for (std::size_t k = 0; k < surface.size(); ++k) {
        const std::array<float, 3> want = lit_colour(c, outward_normal(surface, k), towards_light);
        for (const FeedbackVertex& v : surface[k]) {
            for (int i = 0; i < 3; ++i) {
                worst = std::max(worst, static_cast<double>(std::fabs(v.colour[i] - want[i])));
            }
        }
    }
    return worst;
}

int GlView::polygons_per_quad() {
    if (polygons_per_quad_ == 0) {
        // Through the view's own path: glBegin/glEnd in feedback mode would
        // leave Mesa holding a vertex buffer for good.
        const Feedback one = capture([] {
            DrawList d;
            d.begin(GL_QUADS);
            d.vertex(-1.0, -1.0, 0.5);
            d.vertex(1.0, -1.0, 0.3);
            d.vertex(1.0, 1.0, -0.2);
            d.vertex(-1.0, 1.0, 0.1);
            d.end();
            d.flush();
        });
        polygons_per_quad_ = static_cast<int>(one.polygons.size());
    }
    return polygons_per_quad_;
}

} // namespace gl_test
