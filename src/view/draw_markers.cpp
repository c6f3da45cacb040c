#include "view/coaster_window.h"
// STUB
void CoasterWindow::draw_control_points() {}
void CoasterWindow::draw_handles() {}
void CoasterWindow::draw_light_cube() {}
