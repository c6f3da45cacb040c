// level_banking: the rolls at all control points, chosen together so that the
// sideways force over the whole ride is as small as the track allows, with
// the riders kept the way up they were.
#include <algorithm>
#include <cmath>

#include "analysis/ride_internal.h"

// At a bank of b degrees the table's up at a sample is the unit vector along
// cos(b) up0 - h sin(b) across, where front is the direction there, h its
// horizontal length, across = (-front.z, 0, front.x) / h and up0 = across x
// front the unbanked up: side_from lifts the side by tan(b), and up_from's
// flip beyond a quarter turn makes the same formula hold over the whole
// circle. So the car is turned by phi = atan2(h sin b, cos b) about its front,
// and with the force across the track F = A up0 + B across the lateral figure
// is -(A sin phi + B cos phi), whose rate of change by phi is minus the
// vertical figure. The roll at a sample is the linear blend of its segment's
// two points' rolls, so the sum of the squared lateral figures over every
// sample is a smooth function of the rolls: it is minimised by damped
// Gauss-Newton steps, each point's roll kept on its own side of +-90 degrees.

namespace {

using namespace ride_detail;

constexpr double kRadiansPerDegree = angles::kTrackPi / 180;
constexpr std::size_t kMostFitSamples = 4000;

// One place where the lateral figure is fitted: its segment's first point, how
// far along it (the roll is (1 - t) r_i + t r_i+1), and the force there.
struct FitPoint {
    int i;
    double t;
    double a; // the force along the unbanked up, m/s^2
    double b; // the force across the track (along `across`), m/s^2
    double h; // the front's horizontal length
    double w; // its weight in the sum of squares
};

// Where the fit is read: every sample that is no corner, and each control
// point that is no corner as the curve arrives and as it leaves (its turning
// can change there between two samples).
void add_fit_point(std::vector<FitPoint>& fit, int i, double t, const RideSample& s) {
    const double h = std::hypot(s.front.x, s.front.z);
    if (!(h > 1e-6)) {
        return; // a vertical front: the bank does not turn the car there
    }
    const Point3 f =
        kGravity * (s.vertical_g * s.up + s.lateral_g * s.left + s.longitudinal_g * s.front);
    const Point3 across{-s.front.z / h, 0.0, s.front.x / h};
    const Point3 up0 = cross(across, s.front);
    fit.push_back({i, t, dot(f, up0), dot(f, across), h, 1.0});
}

std::vector<FitPoint> fit_points(const Track& track, const SpeedModel& speed,
                                 const RideAnalysis& ride) {
    const int n = track.num_points();
    std::vector<FitPoint> fit;
    fit.reserve(ride.samples.size() + 2 * static_cast<std::size_t>(n));
    // At most about kMostFitSamples samples, evenly spread: they are 0.1 m
    // apart, far closer than the rolls can change, and a long ring would
    // otherwise make the fit slow.
    const std::size_t stride = ride.samples.size() / kMostFitSamples + 1;
    for (std::size_t k = 0; k < ride.samples.size(); k += stride) {
        const RideSample& s = ride.samples[k];
        if (!s.at_corner) {
            const track_math::Segment seg = track_math::segment_of(s.u, n);
            add_fit_point(fit, seg.i, seg.t, s);
        }
    }
    const track_math::Curve curve = track_math::curve_of(track);
    const SpeedContext context = speed_context(speed, ride.summary.highest.value);
    for (int i = 0; i < n; ++i) {
        if (std::any_of(ride.corners.begin(), ride.corners.end(),
                        [i](const Corner& c) { return c.nearest_point == i; })) {
            continue;
        }
        RideSample at;
        at.position = curve.position_at(static_cast<float>(i));
        fill_sample(curve, context, static_cast<float>(i), (i + n - 1) % n, 1.0, at);
        add_fit_point(fit, i, 0.0, at);
        fill_sample(curve, context, static_cast<float>(i), i, 0.0, at);
        add_fit_point(fit, i, 0.0, at);
    }
    return fit;
}

// The lateral figure (m/s^2) at a fit point under `rolls`, and its rate of
// change by the bank there, per degree.
struct Lateral {
    double value;
    double slope;
};
Lateral lateral(const FitPoint& p, const std::vector<double>& rolls) {
    const std::size_t n = rolls.size();
    const double bank =
        (1 - p.t) * rolls[static_cast<std::size_t>(p.i)] + p.t * rolls[(p.i + 1) % n];
    const double b = bank * kRadiansPerDegree;
    const double phi = std::atan2(p.h * std::sin(b), std::cos(b));
    const double c = std::cos(b);
    const double s = std::sin(b);
    const double dphi = p.h / (c * c + p.h * p.h * s * s) * kRadiansPerDegree;
    return {-(p.a * std::sin(phi) + p.b * std::cos(phi)),
            -(p.a * std::cos(phi) - p.b * std::sin(phi)) * dphi};
}

double cost(const std::vector<FitPoint>& fit, const std::vector<double>& rolls) {
    double sum = 0.0;
    for (const FitPoint& p : fit) {
        const double v = lateral(p, rolls).value;
        sum += p.w * v * v;
    }
    return sum;
}

// The range each point's roll may take: its own side of +-90 degrees. An
// inverted point keeps clear of 90 itself, where up_from has not turned the
// car over yet, and keeps its sign: the rolls are blended between points, so
// one crossing 180 would swing its segments through upright.
struct Bounds {
    double lo, hi;
};
constexpr double kOverTurned = 90.001;
Bounds bounds_of(double roll) {
    if (roll > 90) {
        return {std::min(roll, kOverTurned), 180};
    }
    if (roll < -90) {
        return {-180, std::max(roll, -kOverTurned)};
    }
    return {-90, 90};
}

// Solves the n x n system m x = r in place by elimination, leaving x in r.
// m is symmetric positive definite (damping sees to it), so no pivoting is
// needed; it is cyclic tridiagonal, so most rows have nothing to eliminate.
void solve(std::vector<double>& m, std::vector<double>& r, std::size_t n) {
    for (std::size_t c = 0; c < n; ++c) {
        const double d = m[c * n + c];
        for (std::size_t k = c + 1; k < n; ++k) {
            const double f = m[k * n + c] / d;
            if (f == 0.0) {
                continue;
            }
            for (std::size_t j = c; j < n; ++j) {
                m[k * n + j] -= f * m[c * n + j];
            }
            r[k] -= f * r[c];
        }
    }
    for (std::size_t c = n; c-- > 0;) {
        double sum = r[c];
        for (std::size_t j = c + 1; j < n; ++j) {
            sum -= m[c * n + j] * r[j];
        }
        r[c] = sum / m[c * n + c];
    }
}

// One damped Gauss-Newton step from `rolls`: the normal equations of the
// lateral figures made linear in the rolls, with `damping` times their
// diagonal added, solved and kept within each point's bounds.
std::vector<double> step_from(const std::vector<FitPoint>& fit, const std::vector<double>& rolls,
                              const std::vector<Bounds>& bounds, double damping) {
    const std::size_t n = rolls.size();
    std::vector<double> m(n * n, 0.0);
    std::vector<double> r(n, 0.0);
    for (const FitPoint& p : fit) {
        const Lateral l = lateral(p, rolls);
        const std::size_t i = static_cast<std::size_t>(p.i);
        const std::size_t j = (i + 1) % n;
        const double root = std::sqrt(p.w);
        const double gi = root * (1 - p.t) * l.slope;
        const double gj = root * p.t * l.slope;
        m[i * n + i] += gi * gi;
        m[j * n + j] += gj * gj;
        m[i * n + j] += gi * gj;
        m[j * n + i] += gi * gj;
        r[i] -= gi * root * l.value;
        r[j] -= gj * root * l.value;
    }
    for (std::size_t i = 0; i < n; ++i) {
        m[i * n + i] += damping * m[i * n + i] + 1e-12;
    }
    solve(m, r, n);
    std::vector<double> next(rolls);
    for (std::size_t i = 0; i < n; ++i) {
        next[i] = std::clamp(rolls[i] + r[i], bounds[i].lo, bounds[i].hi);
    }
    return next;
}

// Damped Gauss-Newton from `rolls` on the weighted sum of squares until it
// settles; returns the rolls it reached.
std::vector<double> least_squares(const std::vector<FitPoint>& fit, std::vector<double> rolls,
                                  const std::vector<Bounds>& bounds) {
    double damping = 1e-3;
    double best = cost(fit, rolls);
    for (int iteration = 0; iteration < 60 && best > 0; ++iteration) {
        std::vector<double> next = step_from(fit, rolls, bounds, damping);
        const double c = cost(fit, next);
        if (c < best) {
            const bool settled = best - c <= 1e-12 * best;
            rolls = std::move(next);
            best = c;
            damping = std::max(damping / 4, 1e-9);
            if (settled) {
                break;
            }
        } else if ((damping *= 8) > 1e6) {
            break;
        }
    }
    return rolls;
}

double largest(const std::vector<FitPoint>& fit, const std::vector<double>& rolls) {
    double most = 0.0;
    for (const FitPoint& p : fit) {
        most = std::max(most, std::fabs(lateral(p, rolls).value));
    }
    return most;
}

} // namespace

// Least squares from `rolls`, then Lawson's reweighting, which moves the
// weight to where the figure is largest, towards the rolls that make the
// largest smallest. Keeps in `best` (whose largest figure is `best_largest`)
// the rolls with the smallest largest figure met on the way.
void lawson(std::vector<FitPoint> fit, std::vector<double> rolls, const std::vector<Bounds>& bounds,
            std::vector<double>& best, double& best_largest) {
    for (int round = 0; round < 24; ++round) {
        rolls = least_squares(fit, rolls, bounds);
        const double most = largest(fit, rolls);
        if (most < best_largest) {
            best = rolls;
            best_largest = most;
        }
        double total = 0.0;
        for (FitPoint& p : fit) {
            p.w *= std::fabs(lateral(p, rolls).value) + 1e-9;
            total += p.w;
        }
        if (!(total > 0) || !std::isfinite(total)) {
            return;
        }
        for (FitPoint& p : fit) {
            p.w *= static_cast<double>(fit.size()) / total;
        }
    }
}

// A second place to start from: each point on its own, rolled so that the
// lateral figure leaving it is zero on its side of +-90 degrees (the sum of
// squares has more than one valley where the track is steep).
std::vector<double> levelled_at_points(const std::vector<FitPoint>& fit,
                                       const std::vector<double>& rolls,
                                       const std::vector<Bounds>& bounds) {
    std::vector<double> start = rolls;
    for (const FitPoint& p : fit) {
        if (p.t != 0.0) {
            continue;
        }
        const std::size_t i = static_cast<std::size_t>(p.i);
        double phi = std::atan(-p.b / p.a); // the zero within +-90 degrees
        if (!std::isfinite(phi)) {
            continue;
        }
        if (bounds[i].lo > 0) {
            phi += angles::kTrackPi;
        } else if (bounds[i].hi < 0) {
            phi -= angles::kTrackPi;
        }
        const double bank = std::atan2(std::sin(phi), p.h * std::cos(phi)) / kRadiansPerDegree;
        start[i] = std::clamp(bank, bounds[i].lo, bounds[i].hi);
    }
    return start;
}

std::vector<double> level_banking(const Track& track, const SpeedModel& speed) {
    const RideAnalysis ride = analyse_ride(track, speed);
    if (ride.samples.empty()) {
        return {};
    }
    const int n = track.num_points();
    std::vector<double> rolls(static_cast<std::size_t>(n));
    std::vector<Bounds> bounds(rolls.size());
    for (int i = 0; i < n; ++i) {
        rolls[static_cast<std::size_t>(i)] = track.point(i).roll;
        bounds[static_cast<std::size_t>(i)] = bounds_of(track.point(i).roll);
    }
    const std::vector<FitPoint> fit = fit_points(track, speed, ride);
    std::vector<double> best = rolls;
    double best_largest = largest(fit, rolls);
    if (!fit.empty()) {
        lawson(fit, rolls, bounds, best, best_largest);
        lawson(fit, levelled_at_points(fit, rolls, bounds), bounds, best, best_largest);
    }
    return best;
}
