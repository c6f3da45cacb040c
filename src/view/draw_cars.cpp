#include "view/coaster_window.h"
// STUB
void CoasterWindow::draw_cars() {}
