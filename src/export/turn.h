// The view's turn of a pose on the track (heading about +y, then pitch about
// +x, then -roll about +z, in degrees) as a rotation matrix and a unit
// quaternion, for placing and keying exported geometry. Plain math.
#pragma once

#include "track/point3.h"

struct Quaternion {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    double w = 1.0;
};

// Rows of a rotation matrix: apply() gives (row 0 . p, row 1 . p, row 2 . p).
struct Turn {
    Point3 row[3];
};

// The turn the view gives a pose: the angles narrowed to float degrees as it
// hands them to GL, then composed in double.
Turn turn_of(double heading, double pitch, double roll);
Quaternion quaternion_of(double heading, double pitch, double roll);
// The turn about +y by `degrees`.
Turn turn_about_y(double degrees);

Point3 apply(const Turn& turn, const Point3& p);
// The inverse turn (the transpose).
Point3 apply_inverse(const Turn& turn, const Point3& p);

Quaternion operator*(const Quaternion& a, const Quaternion& b);
Quaternion conjugate(const Quaternion& q);
// The shortest turn that takes +z to the unit direction `to`.
Quaternion quaternion_from_z(const Point3& to);
