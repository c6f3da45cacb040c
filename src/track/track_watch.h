// Tells whether a track is, bit for bit, the one seen last time: for what is
// built from a track's shape and kept (the rails and ties, the ring measure).
// Pure data: no GL, no FLTK.
#pragma once

#include <array>

#include "track/control_point.h"
#include "track/track.h"

class TrackWatch {
public:
    // Whether `track` is the one seen last: its type, tension, points (with
    // their rolls) and handles, bit for bit, so that even -0.0 for 0.0 counts
    // as a change. Records `track` when it is not.
    bool same_as_before(const Track& track);
    // Forgets the track seen: the next call finds a change.
    void forget() { have_track_ = false; }

private:
    bool have_track_ = false;
    CurveType type_ = CurveType::Linear;
    int points_ = 0;
    float tension_ = 0.0f;
    std::array<ControlPoint, Track::kMaxPoints> point_{};
    std::array<ControlPoint, 2 * Track::kMaxPoints> handle_{};
};
