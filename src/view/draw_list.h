// The scene's geometry on its way to OpenGL. Drawing code issues it as in
// immediate mode (begin, colour, normal, vertex, end); the list keeps the
// current colour and normal as GL would, stamps them on every vertex and
// draws each block from client arrays with glDrawArrays.
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
    // with it, so that no geometry waits past a change of render mode.
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

    // Forgets the line width it set, for a new context.
    void forget_state() { line_width_ = 0.0f; }

    // Draws each draw with glBegin/glEnd instead, as the view used to: for
    // tests that compare frames, hit records and feedback with that way. It
    // loses memory in selection and feedback mode (see above).
    void use_immediate_mode(bool on) { immediate_ = on; }

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
    bool immediate_ = false;
};
