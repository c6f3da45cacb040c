#define GL_GLEXT_PROTOTYPES 1
#include "view/draw_list.h"

#include <GL/glext.h>

#include <cctype>
#include <cstddef>
#include <cstdlib>

namespace {

bool starts_with_digit(const char* s) {
    return std::isdigit(static_cast<unsigned char>(*s)) != 0;
}

// Mesa's immediate mode draws a two-vertex line strip as a line and a
// three-vertex strip or fan as a triangle, which lets it join them.
GLenum simplest_mode(GLenum mode, int count) {
    if (mode == GL_LINE_STRIP && count == 2) {
        return GL_LINES;
    }
    if ((mode == GL_TRIANGLE_STRIP || mode == GL_TRIANGLE_FAN) && count == 3) {
        return GL_TRIANGLES;
    }
    return mode;
}

// Whether a block can be appended to a draw of separate primitives that holds
// `count` vertices, as Mesa's immediate mode joins consecutive blocks.
bool joins(GLenum draw_mode, int count, GLenum block_mode) {
    if (draw_mode != block_mode) {
        return false;
    }
    switch (draw_mode) {
    case GL_POINTS:
        return true;
    case GL_LINES:
        return count % 2 == 0;
    case GL_TRIANGLES:
        return count % 3 == 0;
    case GL_QUADS:
        return count % 4 == 0;
    default:
        return false;
    }
}

} // namespace

bool gl_version_at_least(const char* version, int major, int minor) {
    // strtol alone would skip blanks and take a sign; it saturates rather
    // than overflow on a run of digits too long for a long.
    if (version == nullptr || !starts_with_digit(version)) {
        return false;
    }
    char* dot = nullptr;
    const long got_major = std::strtol(version, &dot, 10);
    if (*dot != '.' || !starts_with_digit(dot + 1)) {
        return false;
    }
    const long got_minor = std::strtol(dot + 1, nullptr, 10);
    return got_major > major || (got_major == major && got_minor >= minor);
}

DrawList::DrawList() {
    vertices_.reserve(4096);
    pending_firsts_.reserve(64);
    pending_counts_.reserve(64);
}

void DrawList::begin(GLenum mode) {
    in_block_ = true;
    block_mode_ = mode;
    block_first_ = static_cast<int>(vertices_.size());
    block_shaded_ = false;
    block_colour_ = colour_;
}

void DrawList::colour(float r, float g, float b, float a) {
    colour_ = {r, g, b, a};
    block_shaded_ = block_shaded_ || in_block_;
}

void DrawList::normal(float x, float y, float z) {
    normal_ = {x, y, z};
}

void DrawList::vertex(float x, float y, float z) {
    vertices_.push_back({{x, y, z}, normal_, colour_});
}

void DrawList::normal(double x, double y, double z) {
    normal(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
}

void DrawList::vertex(double x, double y, double z) {
    vertex(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
}

void DrawList::end() {
    in_block_ = false;
    const int count = static_cast<int>(vertices_.size()) - block_first_;
    const GLenum mode = simplest_mode(block_mode_, count);
    const bool same_colouring =
        pending_shaded_ == block_shaded_ && (block_shaded_ || pending_colour_ == block_colour_);
    if (has_pending_ && same_colouring && pending_mode_ == mode) {
        if (joins(mode, pending_counts_.back(), mode)) {
            pending_counts_.back() += count; // one primitive, as Mesa joins them
        } else {
            pending_firsts_.push_back(block_first_); // the next primitive of one draw
            pending_counts_.push_back(count);
        }
        return;
    }
    draw_pending();
    has_pending_ = true;
    pending_mode_ = mode;
    pending_firsts_.assign(1, block_first_);
    pending_counts_.assign(1, count);
    pending_shaded_ = block_shaded_;
    pending_colour_ = block_colour_;
}

void DrawList::draw_pending() {
    if (!has_pending_) {
        return;
    }
    has_pending_ = false;
    if (immediate_) {
        if (!pending_shaded_) {
            glColor4fv(pending_colour_.data());
        }
        for (std::size_t r = 0; r < pending_firsts_.size(); ++r) {
            glBegin(pending_mode_);
            for (int k = pending_firsts_[r]; k < pending_firsts_[r] + pending_counts_[r]; ++k) {
                const Vertex& v = vertices_[k];
                if (pending_shaded_) {
                    glColor4fv(v.colour.data());
                }
                glNormal3fv(v.normal.data());
                glVertex3fv(v.position.data());
            }
            glEnd();
        }
        return;
    }
    // Client arrays with no buffer object bound: GL reads them during the call.
    const Vertex* first = vertices_.data();
    constexpr GLsizei stride = sizeof(Vertex);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glVertexPointer(3, GL_FLOAT, stride, first->position.data());
    glNormalPointer(GL_FLOAT, stride, first->normal.data());
    if (pending_shaded_) {
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(4, GL_FLOAT, stride, first->colour.data());
    } else {
        glDisableClientState(GL_COLOR_ARRAY);
        glColor4fv(pending_colour_.data());
    }
    if (!version_read_) {
        // Read here, not when the context is made: a pick can draw before the
        // first frame does. Without a current context there is no string, and
        // the next draw asks again.
        const GLubyte* version = glGetString(GL_VERSION);
        multi_draw_ = gl_version_at_least(reinterpret_cast<const char*>(version), 1, 4);
        version_read_ = version != nullptr;
    }
    if (multi_draw_ && !single_draws_) {
        // The primitives of one mode go to GL in one call, as the immediate
        // mode they stand in for handed them over.
        glMultiDrawArrays(pending_mode_, pending_firsts_.data(), pending_counts_.data(),
                          static_cast<GLsizei>(pending_firsts_.size()));
        return;
    }
    // OpenGL 1.4 brought glMultiDrawArrays; before it, the same primitives one
    // call each draw the same thing.
    for (std::size_t r = 0; r < pending_firsts_.size(); ++r) {
        glDrawArrays(pending_mode_, pending_firsts_[r], pending_counts_[r]);
    }
}

void DrawList::flush() {
    draw_pending();
    vertices_.clear();
}

void DrawList::push_matrix() {
    flush();
    glPushMatrix();
}

void DrawList::pop_matrix() {
    flush();
    glPopMatrix();
}

void DrawList::translate(float x, float y, float z) {
    flush();
    glTranslatef(x, y, z);
}

void DrawList::rotate(float degrees, float x, float y, float z) {
    flush();
    glRotatef(degrees, x, y, z);
}

void DrawList::load_name(GLuint name) {
    flush();
    glLoadName(name);
}

void DrawList::line_width(float width) {
    if (width == line_width_) {
        return;
    }
    flush();
    glLineWidth(width);
    line_width_ = width;
}

void DrawList::lighting(bool on) {
    flush();
    if (on) {
        glEnable(GL_LIGHTING);
    } else {
        glDisable(GL_LIGHTING);
    }
}
