// Moving frame along the track: bank, tangent, side and up vectors, heading
// and pitch, from the shared frame math over the track's own positions.
#include "track/track.h"
#include "track/track_math.h"

double Track::roll_at(float u) const {
    return track_math::roll_at(points_.data(), num_points_, u);
}

Point3 Track::tangent_at(float u) const {
    return track_math::tangent_from(track_math::Positions(*this), u, num_points_);
}

Point3 Track::side_at(float u) const {
    return track_math::side_from(tangent_at(u), roll_at(u));
}

Point3 Track::up_at(float u) const {
    return track_math::up_from(tangent_at(u), roll_at(u));
}

double Track::heading_at(float u) const {
    return track_math::heading_from(tangent_at(u));
}

double Track::pitch_at(float u) const {
    return track_math::pitch_from(tangent_at(u));
}
