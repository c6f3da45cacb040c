// Selection by OpenGL picking: the scene is drawn again in GL_SELECT mode,
// clipped to a 5 x 5 pixel square around the pointer, and the first name that
// OpenGL reports becomes the selection.
#include <FL/Fl.H>
#include <FL/gl.h>
#include <GL/glu.h>

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
