// The largest track the controls make, shared by the track-table tests and
// the export benchmark.
#pragma once

#include <cmath>

#include "track/track.h"

// 100 points round a circle of radius 5000 at height 1: about 31 km of track.
inline Track big_ring() {
    Track track(CurveType::Cardinal);
    while (track.num_points() < Track::kMaxPoints) {
        track.add_point();
    }
    const double pi = std::acos(-1.0);
    for (int i = 0; i < Track::kMaxPoints; ++i) {
        const double a = 2 * pi * i / Track::kMaxPoints;
        track.point(i) = ControlPoint(5000 * std::cos(a), 1.0, 5000 * std::sin(a));
    }
    track.make_handles();
    return track;
}
