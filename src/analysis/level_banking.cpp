// level_banking: the roll at each control point that turns the car's up
// along the force the riders feel, so nothing pushes them sideways.
#include <algorithm>
#include <cmath>

#include "analysis/ride_internal.h"

// At a bank of r degrees (b = bank_radians(r)) the table's up at a point is
// the unit vector along cos(b) up0 - h sin(b) across, where front is the
// direction there, h its horizontal length, across = (-front.z, 0, front.x) / h
// and up0 = across x front the unbanked up: side_from lifts the side by
// tan(b), and up_from's flip beyond a quarter turn makes the same formula hold
// over the whole circle. So the up along a wanted direction U (perpendicular
// to front) is at b = atan2(-U.across, h U.up0).
std::vector<double> level_banking(const Track& track, const SpeedModel& speed) {
    std::vector<double> rolls;
    const RideAnalysis analysis = analyse_ride(track, speed);
    if (analysis.samples.empty()) {
        return rolls;
    }
    const int n = track.num_points();
    rolls.resize(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const RideSample at = ride_at(track, speed, analysis, static_cast<float>(i));
        const Point3 f = kGravity * (at.vertical_g * at.up + at.lateral_g * at.left +
                                     at.longitudinal_g * at.front);
        const Point3 across_force = f - dot(f, at.front) * at.front;
        const double h = std::hypot(at.front.x, at.front.z);
        double roll = track.point(i).roll;
        if (h > 1e-9 && length(across_force) > 1e-9 * kGravity) {
            const Point3 across{-at.front.z / h, 0.0, at.front.x / h};
            const Point3 up0 = cross(across, at.front);
            const double radians =
                std::atan2(-dot(across_force, across), h * dot(across_force, up0));
            roll = std::clamp(radians * 180 / angles::kTrackPi, -180.0, 180.0);
        }
        rolls[static_cast<std::size_t>(i)] = roll;
    }
    return rolls;
}
