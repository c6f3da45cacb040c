// A position or direction in world units (y up). Plain value; no GL, no FLTK.
#pragma once

struct Point3 {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};
