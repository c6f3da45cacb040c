#include "track/control_point.h"

ControlPoint::ControlPoint(double x_, double y_, double z_) : x(x_), y(y_), z(z_), roll(0.0) {}

ControlPoint::ControlPoint(double x_, double y_, double z_, double roll_)
    : x(x_), y(y_), z(z_), roll(roll_) {}

void ControlPoint::set_position(double nx, double ny, double nz) {
    x = nx;
    y = ny;
    z = nz;
}
