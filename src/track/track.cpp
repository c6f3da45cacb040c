#include "track/track.h"

Track::Track(CurveType type) : type_(type), num_points_(4) {
    // A square of side about 5 at height 1; each corner is pushed 0.001 off the
    // exact square so that no two chords are exactly parallel to an axis.
    points_[0] = ControlPoint(-2.501, 1.0, -2.5);
    points_[1] = ControlPoint(-2.5, 1.0, 2.501);
    points_[2] = ControlPoint(2.501, 1.0, 2.5);
    points_[3] = ControlPoint(2.5, 1.0, -2.501);
    make_handles();
    tension_ = 0.0f;
}
