#include "view/pick_fixture.h"

#include <FL/Fl.H>
#include <FL/gl.h>
#include <GL/glu.h>

#include <cmath>

namespace pick_test {

ViewHarness::ViewHarness() {
    window_ = std::make_unique<Fl_Window>(0, 0, 210 + kSize, kSize + 20, "pick harness");
    window_->begin();
    slider_ = new Fl_Value_Slider(10, 60, 190, 20, "roll");
    slider_->bounds(-180, 180);
    view_ = new CoasterWindow(210, 10, kSize, kSize, slider_);
    window_->end();
    window_->show();
    for (int i = 0; i < 50 && !view_->shown(); ++i) {
        Fl::wait(0.01);
    }
    Fl::check();
    draw_now();
}

ViewHarness::~ViewHarness() {
    window_->hide();
    Fl::check();
}

void ViewHarness::draw_now() {
    view_->make_current();
    view_->draw();
    glFinish();
}

Pixel ViewHarness::project(const Point3& p) {
    // A pick leaves its 5 x 5 region in the projection; a draw puts the
    // picture's matrices back.
    draw_now();
    GLdouble model[16];
    GLdouble proj[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, proj);
    glGetIntegerv(GL_VIEWPORT, viewport);
    GLdouble wx = 0;
    GLdouble wy = 0;
    GLdouble wz = 0;
    gluProject(p.x, p.y, p.z, model, proj, viewport, &wx, &wy, &wz);
    Pixel px;
    px.x = static_cast<int>(std::lround(wx));
    px.y = static_cast<int>(std::lround(viewport[3] - wy));
    px.visible =
        wz > 0.0 && wz < 1.0 && px.x >= 0 && px.x < viewport[2] && px.y >= 0 && px.y < viewport[3];
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

int ViewHarness::press(int button, int x, int y, int state) {
    held_button_ = button;
    Fl::e_x = x;
    Fl::e_y = y;
    Fl::e_keysym = FL_Button + button;
    Fl::e_state = state | button_bit(button);
    return view_->handle(FL_PUSH);
}

int ViewHarness::drag(int x, int y, int state) {
    Fl::e_x = x;
    Fl::e_y = y;
    Fl::e_state = state | button_bit(held_button_);
    return view_->handle(FL_DRAG);
}

int ViewHarness::release(int x, int y, int state) {
    Fl::e_x = x;
    Fl::e_y = y;
    Fl::e_state = state;
    return view_->handle(FL_RELEASE);
}

int ViewHarness::send(int event) {
    return view_->handle(event);
}

} // namespace pick_test
