#include "view/coaster_window.h"
// STUB
bool CoasterWindow::pick() { return false; }
