#include "view/coaster_window.h"
#include <FL/gl.h>
// STUB
void CoasterWindow::draw() {
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}
void CoasterWindow::setup_projection(bool) {}
void CoasterWindow::setup_light() {}
void CoasterWindow::draw_scene() {}
