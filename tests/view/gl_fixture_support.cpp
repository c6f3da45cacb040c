#include "view/gl_fixture.h"

#include <FL/Fl.H>
#include <GL/glu.h>

#include <cmath>

namespace gl_test {

Point3 cross(const Point3& a, const Point3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

double norm(const Point3& a) {
    return std::sqrt(dot(a, a));
}

Point3 unit(const Point3& a) {
    return scale(a, 1.0 / norm(a));
}

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
    view_ = new CoasterWindow(0, 0, kSize, kSize, nullptr);
    window_->end();
    window_->show();
    for (int i = 0; i < 100 && !view_->shown(); ++i) {
        Fl::wait(0.01);
    }
    for (int i = 0; i < 3; ++i) {
        Fl::flush();
        Fl::wait(0.0);
    }
    make_current();
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
    GLdouble model[16];
    GLdouble proj[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, proj);
    glGetIntegerv(GL_VIEWPORT, viewport);
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

Feedback GlView::capture(const std::function<void()>& draw, double half_extent, int capacity) {
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

    GLdouble model[16];
    GLdouble proj[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, proj);
    glGetIntegerv(GL_VIEWPORT, viewport);

    Feedback result;
    result.values.assign(static_cast<std::size_t>(capacity), 0.0f);
    // Plain colours: feedback then reports each vertex's glColor.
    glDisable(GL_LIGHTING);
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
            result.points.push_back(vertex());
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

int GlView::polygons_per_quad() {
    if (polygons_per_quad_ == 0) {
        const Feedback one = capture([] {
            glBegin(GL_QUADS);
            glVertex3d(-1.0, -1.0, 0.5);
            glVertex3d(1.0, -1.0, 0.3);
            glVertex3d(1.0, 1.0, -0.2);
            glVertex3d(-1.0, 1.0, 0.1);
            glEnd();
        });
        polygons_per_quad_ = static_cast<int>(one.polygons.size());
    }
    return polygons_per_quad_;
}

} // namespace gl_test
