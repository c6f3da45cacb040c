#include "track/track.h"
// STUB: arc length and advance, to be written.
double Track::length() const { return 0.0; }
float Track::advance(double, float u) const { return u; }
