// A draggable record: control point, Bezier handle, light marker or generator
// position. Holds a bank angle (roll, degrees) that only track points use.
#pragma once

struct ControlPoint {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    double roll = 0.0; // degrees

    ControlPoint() = default;
    ControlPoint(double x, double y, double z);
    ControlPoint(double x, double y, double z, double roll);

    // Moves the record; the roll is left as it is.
    void set_position(double nx, double ny, double nz);
};
