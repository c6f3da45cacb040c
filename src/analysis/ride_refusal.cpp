// The refusals: a ride whose track or speeds pass what the figures can hold is
// refused whole rather than shown with zeros.
#include <cmath>

#include "analysis/ride_internal.h"

const char* refusal_phrase(RideRefusal refusal) {
    switch (refusal) {
    case RideRefusal::track_too_large:
        return "the track is too large to measure";
    case RideRefusal::speed_too_large:
        return "the speed is too large to analyse";
    case RideRefusal::speed_too_small:
        return "the speed is too small to analyse";
    default:
        return "";
    }
}

namespace ride_detail {

RideRefusal refusal_of(const RideAnalysis& ride) {
    // Past about 1e150 m the squares in the frame's arithmetic overflow.
    if (!(ride.summary.length_m <= 1e150)) {
        return RideRefusal::track_too_large;
    }
    for (const RideSample& s : ride.samples) {
        if (!std::isfinite(s.speed) || !std::isfinite(s.vertical_g) ||
            !std::isfinite(s.lateral_g) || !std::isfinite(s.longitudinal_g)) {
            return RideRefusal::speed_too_large;
        }
    }
    const RideSummary& m = ride.summary;
    for (const double figure :
         {m.vertical_max.value, m.vertical_min.value, m.lateral_max_abs.value,
          m.longitudinal_max.value, m.longitudinal_min.value, m.max_speed.value}) {
        if (!std::isfinite(figure)) {
            return RideRefusal::speed_too_large;
        }
    }
    // A lap or an airtime that takes longer than a double holds: a crawl.
    if ((m.lap_time_s && !std::isfinite(*m.lap_time_s)) || !std::isfinite(m.airtime_s)) {
        return RideRefusal::speed_too_small;
    }
    return RideRefusal::none;
}

void refuse(RideAnalysis& ride, RideRefusal refusal) {
    ride.samples.clear();
    ride.corners.clear();
    ride.summary = RideSummary{};
    ride.refusal = refusal;
}

} // namespace ride_detail
