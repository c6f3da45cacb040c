#include "view/coaster_window.h"
// STUB
int CoasterWindow::handle(int) { return 0; }
int CoasterWindow::unproject(double, double, double, double*, double*, double*) { return 0; }
ControlPoint* CoasterWindow::drag_target(bool) { return nullptr; }
