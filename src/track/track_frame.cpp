#include "track/track.h"
// STUB: frame and orientation, to be written.
double Track::roll_at(float) const { return 0.0; }
Point3 Track::tangent_at(float) const { return {0, 0, 1}; }
Point3 Track::side_at(float) const { return {1, 0, 0}; }
Point3 Track::up_at(float) const { return {0, 1, 0}; }
double Track::heading_at(float) const { return 0.0; }
double Track::pitch_at(float) const { return 0.0; }
