#include "view/coaster_window.h"
// STUB
void CoasterWindow::step_animation() {}
int CoasterWindow::ms_until_next_step() const { return -1; }
void CoasterWindow::schedule_step() {}
