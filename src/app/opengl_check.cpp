#include "app/opengl_check.h"

#include <FL/Fl.H>
#include <FL/Fl_Gl_Window.H>
#include <FL/x.H>

#include "view/coaster_window.h"

std::string missing_opengl() {
    fl_open_display();
    int opcode = 0;
    int first_event = 0;
    int first_error = 0;
    if (!XQueryExtension(fl_display, "GLX", &opcode, &first_event, &first_error)) {
        return "the X display has no GLX extension";
    }
    if (!Fl_Gl_Window::can_do(CoasterWindow::kGlMode)) {
        return "the X display offers no visual with RGB colour, double buffering and a depth "
               "buffer";
    }
    return {};
}
