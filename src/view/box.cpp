#include "view/box.h"
// STUB
void box_quads(double, double, double, double, double, double) {}
void box_outline(double, double, double, double, double, double) {}
