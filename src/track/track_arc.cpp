// Arc length and walking a distance along the ring, by the shared chord walks
// over the track's own positions.
#include "track/track.h"
#include "track/track_math.h"

double Track::length() const {
    return track_math::length_of(track_math::Positions(*this), num_points_);
}

float Track::advance(double distance, float u) const {
    return track_math::advance_by(track_math::Positions(*this), num_points_, distance, u);
}
