// The scene's geometry on its way to OpenGL. Drawing code issues it as in
// immediate mode (begin, colour, normal, vertex, end); the list keeps the
// current colour and normal as GL would, stamps them on every vertex and
// draws from client arrays: the consecutive primitives of one mode in one
// glMultiDrawArrays call, or, on a context below OpenGL 1.4, which lacks that
// call, each primitive with its own glDrawArrays (the same frames either way).
//
// Why not glBegin/glEnd: Mesa 22.3 keeps a reference to every vertex buffer
// it draws from in selection or feedback mode and never frees it, so the
// immediate-mode buffers of a pick were lost for good (about 800 kB per pick
// on a big scene). Client arrays have no buffer to keep. Blocks are grouped
// into draws as Mesa's immediate mode groups them, and a colour set outside a
// block stays a constant colour rather than a per-vertex one (unlit, the two
// can round half-way shades apart), so the frames, hit records and feedback
// are the same as drawing the blocks with glBegin/glEnd.
#pragma once

#include <FL/gl.h>

#include <array>
#include <vector>

// Whether a GL_VERSION string, "<major>.<minor>" then anything, names at least
// OpenGL major.minor. Null, or a string that does not start with a version,
// gives false.
bool gl_version_at_least(const char* version, int major, int minor);

class DrawList {
public:
    DrawList();

    void begin(GLenum mode); // GL_QUADS, GL_LINE_LOOP, GL_QUAD_STRIP, ...
    void colour(float r, float g, float b, float a = 1.0f);
    void normal(float x, float y, float z);
    void vertex(float x, float y, float z);
    // Doubles reach GL as floats, as glNormal3d and glVertex3d pass them.
    void normal(double x, double y, double z);
    void vertex(double x, double y, double z);
    void end();

    // Draws every block that is still pending. Each drawing routine ends
    // with it (or with pop_matrix, which draws first), so that no geometry
    // waits past a change of render mode.
    void flush();

    // The state a pending draw depends on: each draws what is pending, then
    // changes the state.
    void push_matrix();
    void pop_matrix();
    void translate(float x, float y, float z);
    void rotate(float degrees, float x, float y, float z);
    void load_name(GLuint name);
    void line_width(float width); // as in GL, setting the width it has changes nothing
    void lighting(bool on);

    // Forgets the line width it set and the OpenGL version it read, for a new
    // context. The version is read again at the next draw, which may be a
    // pick's as well as a frame's.
    void forget_state() {
        line_width_ = 0.0f;
        version_read_ = false;
    }

    // Draws each draw with glBegin/glEnd instead, as the view used to: for
    // tests that compare frames, hit records and feedback with that way. It
    // loses memory in selection and feedback mode (see above).
    void use_immediate_mode(bool on) { immediate_ = on; }
    // Draws each primitive with its own glDrawArrays, as on a context below
    // OpenGL 1.4, whatever the context offers: for tests that compare frames
    // and hit records with the glMultiDrawArrays path.
    void use_single_draws(bool on) { single_draws_ = on; }

private:
    struct Vertex {
        std::array<float, 3> position;
        std::array<float, 3> normal;
        std::array<float, 4> colour;
    };

    void draw_pending();

    std::vector<Vertex> vertices_; // the pending draw, then the open block
    std::array<float, 4> colour_{1.0f, 1.0f, 1.0f, 1.0f};
    std::array<float, 3> normal_{0.0f, 0.0f, 1.0f};
    bool in_block_ = false;
    GLenum block_mode_ = GL_POINTS;
    int block_first_ = 0;
    bool block_shaded_ = false; // a colour was set inside the open block
    std::array<float, 4> block_colour_{};
    // The pending draw: primitives of one mode, one after another, each a
    // range of vertices_ (one range when its blocks were joined into one).
    bool has_pending_ = false;
    GLenum pending_mode_ = GL_POINTS;
    std::vector<GLint> pending_firsts_;
    std::vector<GLsizei> pending_counts_;
    bool pending_shaded_ = false;           // vertices carry their own colours
    std::array<float, 4> pending_colour_{}; // the one colour of an unshaded draw
    float line_width_ = 0.0f;               // 0 until set in this context
    bool version_read_ = false;             // multi_draw_ holds for this context
    bool multi_draw_ = false;               // the context has glMultiDrawArrays (1.4)
    bool immediate_ = false;
    bool single_draws_ = false;
};
