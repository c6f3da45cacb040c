// The bit-for-bit comparison of a track with the one seen last.
#include "track/track_watch.h"

#include <cstring>

namespace {

bool same_bits(const ControlPoint& a, const ControlPoint& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

bool TrackWatch::same_as_before(const Track& track) {
    const int n = track.num_points();
    const float tension = track.tension();
    bool same = have_track_ && type_ == track.curve_type() && points_ == n &&
                std::memcmp(&tension_, &tension, sizeof tension) == 0;
    for (int i = 0; same && i < n; ++i) {
        same = same_bits(point_[i], track.point(i));
    }
    for (int k = 0; same && k < 2 * n; ++k) {
        same = same_bits(handle_[k], track.bezier_handle(k));
    }
    if (same) {
        return true;
    }
    have_track_ = true;
    type_ = track.curve_type();
    points_ = n;
    tension_ = tension;
    for (int i = 0; i < n; ++i) {
        point_[i] = track.point(i);
    }
    for (int k = 0; k < 2 * n; ++k) {
        handle_[k] = track.bezier_handle(k);
    }
    return false;
}
