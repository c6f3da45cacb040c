#include "view/coaster_window.h"
// STUB
void CoasterWindow::draw_rails() {}
void CoasterWindow::draw_ties() {}
