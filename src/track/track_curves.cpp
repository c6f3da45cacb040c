#include "track/track.h"
// STUB: curve evaluation, to be written.
Point3 Track::position_at(float) const { return {}; }
Point3 Track::linear_at(float) const { return {}; }
Point3 Track::cardinal_at(float) const { return {}; }
Point3 Track::bspline_at(float) const { return {}; }
Point3 Track::bezier_at(float) const { return {}; }
