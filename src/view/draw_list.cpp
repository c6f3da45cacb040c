#include "view/draw_list.h"

#include <cstddef>

namespace {

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

DrawList::DrawList() {
    vertices_.reserve(4096);
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
    if (has_pending_ && pending_first_ + pending_count_ == block_first_ && same_colouring &&
        joins(pending_mode_, pending_count_, mode)) {
        pending_count_ += count;
        return;
    }
    draw_pending();
    has_pending_ = true;
    pending_mode_ = mode;
    pending_first_ = block_first_;
    pending_count_ = count;
    pending_shaded_ = block_shaded_;
    pending_colour_ = block_colour_;
}

void DrawList::draw_pending() {
    if (!has_pending_) {
        return;
    }
    has_pending_ = false;
    if (pending_count_ == 0) {
        return;
    }
    if (immediate_) {
        if (!pending_shaded_) {
            glColor4fv(pending_colour_.data());
        }
        glBegin(pending_mode_);
        for (int k = pending_first_; k < pending_first_ + pending_count_; ++k) {
            const Vertex& v = vertices_[k];
            if (pending_shaded_) {
                glColor4fv(v.colour.data());
            }
            glNormal3fv(v.normal.data());
            glVertex3fv(v.position.data());
        }
        glEnd();
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
    glDrawArrays(pending_mode_, pending_first_, pending_count_);
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
