// A draggable record: control point, Bezier handle, light marker or generator
// position. Holds a bank angle (roll, degrees) that only track points use.
#pragma once

#include "track/point3.h"

struct ControlPoint {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    double roll = 0.0; // degrees

    ControlPoint() = default;
    ControlPoint(double x_, double y_, double z_, double roll_ = 0.0)
        : x(x_), y(y_), z(z_), roll(roll_) {}
    explicit ControlPoint(const Point3& p, double roll_ = 0.0)
        : ControlPoint(p.x, p.y, p.z, roll_) {}

    Point3 position() const { return {x, y, z}; }
    // Moves the record; the roll is left as it is.
    void set_position(double nx, double ny, double nz) {
        x = nx;
        y = ny;
        z = nz;
    }
    void set_position(const Point3& p) { set_position(p.x, p.y, p.z); }
};
