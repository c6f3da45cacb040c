// The four curve evaluators, each counted once per call; the formulas are in
// track_math.h, shared with the walks that inline them.
#include "track/track.h"
#include "track/track_math.h"

Point3 Track::position_at(float u) const {
    return track_math::Positions(*this)(u);
}

Point3 Track::linear_at(float u) const {
    ++evaluations_;
    return track_math::curve_of(*this).linear_at(u);
}

Point3 Track::cardinal_at(float u) const {
    ++evaluations_;
    return track_math::curve_of(*this).cardinal_at(u);
}

Point3 Track::bspline_at(float u) const {
    ++evaluations_;
    return track_math::curve_of(*this).bspline_at(u);
}

Point3 Track::bezier_at(float u) const {
    ++evaluations_;
    return track_math::curve_of(*this).bezier_at(u);
}
