// analyse_ride: the samples placed along the ring measure, the corners found
// between neighbouring samples, and ride_at for one parameter.
#include "analysis/ride_analysis.h"

#include <algorithm>
#include <cmath>

#include "analysis/ride_internal.h"

using namespace ride_detail;

namespace {

// A corner is a kink of more than kCornerDegrees: at a control point, between
// the directions in which the curve arrives and leaves (a Linear track, a
// Cardinal tension of 1, Bezier handles out of line); elsewhere, a turn
// between neighbouring samples that their curvature does not explain: more
// than kCornerDegrees beyond what it predicts and more than twice the
// prediction (so that a tight but smooth bend is never one).
constexpr double kCornerDegrees = 1.0;
constexpr double kDegreesPerRadian = 57.295779513082323;
const double kCosCorner = std::cos(kCornerDegrees / kDegreesPerRadian);
// Track::tangent_at takes a chord over u +- 0.025: samples that close to a
// corner have the two sides' directions blended into their front.
constexpr double kChordReach = 0.0251;

double angle_between(const Point3& a, const Point3& b) {
    return std::atan2(length(cross(a, b)), dot(a, b));
}

// u - from, taken the short way round a ring of n.
double ring_difference(double u, double from, int n) {
    double d = u - from;
    if (d > 0.5 * n) {
        d -= n;
    } else if (d < -0.5 * n) {
        d += n;
    }
    return d;
}

// Marks the samples from a back and from b on while their front's chord
// reaches parameters lo .. hi, where the corner lies.
void mark_corner(std::vector<RideSample>& s, std::size_t a, std::size_t b, double lo, double hi,
                 int n) {
    const std::size_t count = s.size();
    for (std::size_t k = 0, i = a; k < count; ++k, i = (i + count - 1) % count) {
        if (k > 0 && ring_difference(lo, s[i].u, n) > kChordReach) {
            break;
        }
        s[i].at_corner = true;
    }
    for (std::size_t k = 0, i = b; k < count; ++k, i = (i + 1) % count) {
        if (k > 0 && ring_difference(s[i].u, hi, n) > kChordReach) {
            break;
        }
        s[i].at_corner = true;
    }
}

struct Neighbour {
    Motion motion;
    float u;
};

// Checks the stretch from sample a to sample b (ds metres, b's parameter
// taken as ub, n for the closing stretch) for a corner; adds it and marks
// its samples. A control point inside the stretch is judged first, by the
// two segments' own end directions there; elsewhere a kink is a turn between
// the samples that their curvature does not explain.
void check_corner(const track_math::Curve& curve, RideAnalysis& out, std::size_t a, std::size_t b,
                  const Neighbour& na, const Neighbour& nb, double ub, double ds) {
    const int n = curve.n;
    const double first = std::floor(static_cast<double>(na.u)) + 1;
    const double last = std::floor(ub);
    Corner corner{0.0, -1, 0.0};
    double lo = na.u;
    double hi = ub;
    if (first <= last) { // control points first .. last (mod n) lie in (ua, ub]
        const int i = static_cast<int>(first) % n;
        const int j = static_cast<int>(last) % n;
        Point3 before;
        Point3 after;
        if (direction_near(cubic_of(curve, (i + n - 1) % n), 1.0, false, before) &&
            direction_near(cubic_of(curve, j), 0.0, true, after)) {
            const double kink = angle_between(before, after);
            if (kink > kCornerDegrees / kDegreesPerRadian) {
                corner = {out.point_distances[i], i, kink * kDegreesPerRadian};
                lo = first;
                hi = last;
            }
        }
    }
    // Most stretches turn by far less than any corner: one dot product tells.
    if (corner.nearest_point < 0 && dot(na.motion.along, nb.motion.along) < kCosCorner) {
        const double turn = angle_between(na.motion.along, nb.motion.along);
        const double predicted = ds * 0.5 * (na.motion.curvature + nb.motion.curvature);
        if (!(turn > predicted + kCornerDegrees / kDegreesPerRadian && turn > 2 * predicted)) {
            return;
        }
        const double middle = out.samples[a].distance + 0.5 * ds;
        corner = {middle, nearest_point(out, middle), turn * kDegreesPerRadian};
    }
    if (corner.nearest_point < 0) {
        return;
    }
    // The closing stretch's corner at point 0 lies at distance 0: first in order.
    if (b == 0 && corner.distance == 0.0) {
        out.corners.insert(out.corners.begin(), corner);
    } else {
        out.corners.push_back(corner);
    }
    mark_corner(out.samples, a, b, lo, hi, n);
}

// Each sample's distance (`step` metres apart), parameter and position along
// the ring measure; returns the highest sample's height.
double place_samples(const track_math::Curve& curve, const std::vector<MeasureSample>& measure,
                     double step, std::vector<RideSample>& samples) {
    std::size_t cursor = 0;
    double highest = -HUGE_VAL;
    for (std::size_t k = 0; k < samples.size(); ++k) {
        RideSample& s = samples[k];
        s.at_corner = false; // fill_sample sets the rest
        s.distance = static_cast<double>(k) * step;
        s.u = ring_parameter_at(measure, s.distance, cursor);
        s.position = curve.position_at(s.u);
        highest = std::max(highest, s.position.y);
    }
    return highest;
}

// Fills every placed sample under `speed` and finds the corners between
// neighbours, the ring's closing stretch back to the first sample included.
void fill_samples(const track_math::Curve& curve, const SpeedContext& speed, double step,
                  RideAnalysis& out) {
    const int n = curve.n;
    Neighbour first{};
    Neighbour previous{};
    for (std::size_t k = 0; k < out.samples.size(); ++k) {
        RideSample& s = out.samples[k];
        const track_math::Segment seg = track_math::segment_of(s.u, n);
        const Neighbour here{fill_sample(curve, speed, s.u, seg.i, seg.t, s), s.u};
        if (k == 0) {
            first = here;
        } else {
            check_corner(curve, out, k - 1, k, previous, here, here.u, step);
        }
        previous = here;
    }
    const std::size_t last = out.samples.size() - 1;
    const double ring = out.measure.back().distance;
    check_corner(curve, out, last, 0, previous, first, n, ring - out.samples[last].distance);
}

} // namespace

void analyse_ride(const Track& track, const SpeedModel& speed, double spacing, RideAnalysis& out) {
    const int n = track.num_points();
    out.corners.clear();
    out.point_distances.assign(static_cast<std::size_t>(n), 0.0);
    out.summary = RideSummary{};
    out.refusal = RideRefusal::none;
    measure_ring(track, out.measure);
    const double ring = out.measure.back().distance;
    if (!std::isfinite(ring)) {
        refuse(out, RideRefusal::track_too_large);
        return;
    }
    if (!(ring > 0) || !(spacing > 0) || !std::isfinite(spacing)) {
        out.samples.clear();
        return;
    }
    for (int i = 1; i < n; ++i) {
        out.point_distances[static_cast<std::size_t>(i)] = measure_distance(out.measure, i);
    }
    const RingSampling sampling = ring_sampling(ring, spacing);
    const double step = sampling.step;
    const long count = sampling.count;
    // Room to spare, so that a drag that lengthens the ring a little reuses it.
    const auto wanted = static_cast<std::size_t>(count);
    if (wanted > out.samples.capacity()) {
        out.samples.reserve(wanted + wanted / 4 + 16);
    }
    out.samples.resize(wanted); // the samples kept are overwritten below, not cleared first

    // First the parameters and heights: energy is measured from the highest
    // sample, as ring_highest finds it for the animation.
    const track_math::Curve curve = track_math::curve_of(track);
    const double highest = place_samples(curve, out.measure, step, out.samples);
    const SpeedContext context = speed_context(speed, highest);
    fill_samples(curve, context, step, out);
    summarise(curve, context, out);
    if (const RideRefusal refusal = refusal_of(out); refusal != RideRefusal::none) {
        refuse(out, refusal);
    }
}

void analyse_ride(const Track& track, const SpeedModel& speed, RideAnalysis& out) {
    analyse_ride(track, speed, kRideSampleSpacing, out);
}

RideAnalysis analyse_ride(const Track& track, const SpeedModel& speed) {
    RideAnalysis out;
    analyse_ride(track, speed, out);
    return out;
}

RideSample ride_at(const Track& track, const SpeedModel& speed, const RideAnalysis& analysis,
                   float u) {
    RideSample sample;
    u = track.wrap(u);
    fill_sample(track_math::curve_of(track), speed_context(speed, analysis.summary.highest.value),
                u, sample);
    sample.distance = distance_at(analysis, u);
    return sample;
}
