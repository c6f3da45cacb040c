#include "view/coaster_window.h"

#include <FL/Fl.H>

CoasterWindow* the_coaster_window = nullptr;

CoasterWindow::CoasterWindow(int x, int y, int w, int h, Document& document)
    : Fl_Gl_Window(x, y, w, h, "Coaster Window"), document_(document), scene_(document.scene()),
      camera_(&scene_.track()) {
    mode(kGlMode);
}

CoasterWindow::~CoasterWindow() {
    Fl::remove_timeout(step_timeout_cb, this); // a pending step must not outlive the view
}
