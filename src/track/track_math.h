// The curve formulas, the moving frame and the chord walks, written once for
// Track and TrackSampler. Internal to src/track (no GL, no FLTK); the walks and
// the frame take their positions from any callable `Point3 pos(float u)`.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "track/angles.h"
#include "track/control_point.h"
#include "track/evaluation_counter.h"
#include "track/point3.h"
#include "track/track.h"
#include "track/walk_grid.h"

namespace track_math {

// ---- Parameters: segment split and wrap onto the ring ----

// Segment index in [0, n) and local parameter t of a curve parameter.
struct Segment {
    int i;
    float t;
};

inline Segment segment_of(float u, int n) {
    // Inside the ring (the usual case) floor is a plain truncation, which
    // needs no library call. u == 0 takes the general path below, where
    // floor(-0.0) keeps t at +0.0.
    if (u > 0.0f && u < static_cast<float>(n)) {
        const int i = static_cast<int>(u);
        return {i, static_cast<float>(static_cast<double>(u) - i)};
    }
    if (!std::isfinite(u)) {
        return {0, 0.0f};
    }
    const double whole = std::floor(static_cast<double>(u));
    const float t = static_cast<float>(static_cast<double>(u) - whole);
    if (whole >= 0.0 && whole < n) {
        return {static_cast<int>(whole), t};
    }
    // fmod of an integral double is exact and never overflows, so even a huge
    // parameter lands on a valid segment.
    double index = std::fmod(whole, static_cast<double>(n));
    if (index < 0.0) {
        index += n;
    }
    return {static_cast<int>(index), t};
}

// u moved onto [0, n) by whole laps; non-finite u gives 0.
inline float wrap_parameter(float u, int num_points) {
    const double n = num_points;
    if (!std::isfinite(u)) {
        return 0.0f;
    }
    if (u >= 0.0f && u < n) {
        return u;
    }
    double w = std::fmod(static_cast<double>(u), n);
    if (w < 0.0) {
        w += n;
    }
    const float wrapped = static_cast<float>(w);
    // A value just below n can round up to n itself in single precision.
    return wrapped < n ? wrapped : 0.0f;
}

// ---- Curve evaluation ----

// t and s are rounded to float where they are made; every product and sum that
// uses them is taken in double.
using Real = double;

// Catmull-Rom style cubic with weight s; the grouping of every sum is part of
// the result (reordering changes the last bits that the tie spacing sees).
inline double cardinal_coord(double p0, double p1, double p2, double p3, Real s, Real t) {
    double q = (s * t) * (p2 - p0) + p1;
    q = ((((2 * s) * p0 + (s - 3) * p1) + (3 - 2 * s) * p2) - s * p3) * (t * t) + q;
    q = ((((2 - s) * p1 - s * p0) + (s - 2) * p2) + s * p3) * (t * t * t) + q;
    return q;
}

inline double bspline_coord(double p0, double p1, double p2, double p3, Real t) {
    double q = (((3 * p1 - p0) - 3 * p2) + p3) * (t * t * t);
    q = ((3 * p0 - 6 * p1) + 3 * p2) * (t * t) + q;
    q = (p2 - p0) * (3 * t) + q;
    q = ((4 * p1 + p0) + p2) + q;
    return q;
}

inline double bezier_coord(double p0, double h1, double h2, double p3, Real t) {
    double q = 3 * p0 + (h1 - p0) * t;
    q = (((3 * h2 - 7 * p0) - 2 * h1) + 6 * p3) * (t * t) + q;
    q = (((5 * p0 + h1) - 3 * h2) - 3 * p3) * (t * t * t) + q;
    return q;
}

// One cubic per coordinate over the same four records.
template <typename Coord>
Point3 per_coord(const ControlPoint& a, const ControlPoint& b, const ControlPoint& c,
                 const ControlPoint& d, Coord coord) {
    return {coord(a.x, b.x, c.x, d.x), coord(a.y, b.y, c.y, d.y), coord(a.z, b.z, c.z, d.z)};
}

// (i + k) % n for i in [0, n) and 0 <= k <= n, without a division.
inline int ring_index(int i, int k, int n) {
    const int j = i + k;
    return j < n ? j : j - n;
}

// What an evaluation reads of a track: its points, handles, type and tension.
struct Curve {
    CurveType type;
    int n;
    float tension;
    const ControlPoint* points;
    const ControlPoint* handles;

    Point3 linear_at(float u) const {
        const Segment seg = segment_of(u, n);
        const Point3 p0 = points[seg.i].position();
        const Point3 p1 = points[ring_index(seg.i, 1, n)].position();
        return (p1 - p0) * static_cast<double>(seg.t) + p0;
    }

    Point3 cardinal_at(float u) const {
        const Segment seg = segment_of(u, n);
        const float s = static_cast<float>((1.0 - tension) * 0.5);
        const Real sr = s;
        const Real t = seg.t;
        return per_coord(points[ring_index(seg.i, n - 1, n)], points[seg.i],
                         points[ring_index(seg.i, 1, n)], points[ring_index(seg.i, 2, n)],
                         [sr, t](double p0, double p1, double p2, double p3) {
                             return cardinal_coord(p0, p1, p2, p3, sr, t);
                         });
    }

    Point3 bspline_at(float u) const {
        const Segment seg = segment_of(u, n);
        const Real t = seg.t;
        return per_coord(points[seg.i], points[ring_index(seg.i, 1, n)],
                         points[ring_index(seg.i, 2, n)], points[ring_index(seg.i, 3, n)],
                         [t](double p0, double p1, double p2, double p3) {
                             return bspline_coord(p0, p1, p2, p3, t) / 6;
                         });
    }

    Point3 bezier_at(float u) const {
        const Segment seg = segment_of(u, n);
        const Real t = seg.t;
        return per_coord(points[seg.i], handles[2 * seg.i], handles[2 * seg.i + 1],
                         points[ring_index(seg.i, 1, n)],
                         [t](double p0, double h1, double h2, double p3) {
                             return bezier_coord(p0, h1, h2, p3, t) / 3;
                         });
    }

    Point3 position_at(float u) const {
        switch (type) {
        case CurveType::Cardinal:
            return cardinal_at(u);
        case CurveType::BSpline:
            return bspline_at(u);
        case CurveType::Bezier:
            return bezier_at(u);
        default:
            return linear_at(u);
        }
    }
};

inline Curve curve_of(const Track& track) {
    return {track.curve_type(), track.num_points(), track.tension(), &track.point(0),
            &track.bezier_handle(0)};
}

// One curve evaluation for an EvaluationCounter, when one lives.
inline void count_evaluation() {
    if (std::uint64_t* count = EvaluationCounter::active()) {
        ++*count;
    }
}

// A Track's positions as a callable for the walks below: Track::position_at
// itself, visible here so that it inlines into them. Counts every evaluation
// for the EvaluationCounter live when it was made, looked up once rather than
// per sample. Valid while the track is unchanged.
class Positions {
public:
    explicit Positions(const Track& track)
        : curve_(curve_of(track)), count_(EvaluationCounter::active()) {}
    Point3 operator()(float u) const {
        if (count_ != nullptr) {
            ++*count_;
        }
        return curve_.position_at(u);
    }

private:
    Curve curve_;
    std::uint64_t* count_;
};

// ---- Moving frame and orientation angles (degrees) ----

// Bank at u, linear in the segment between the rolls of its two points.
inline double roll_at(const ControlPoint* points, int n, float u) {
    const Segment seg = segment_of(u, n);
    const ControlPoint& p0 = points[seg.i];
    const ControlPoint& p1 = points[ring_index(seg.i, 1, n)];
    const double difference = p1.roll - p0.roll;
    return static_cast<double>(seg.t) * difference + p0.roll;
}

inline bool usable_norm(double norm) {
    return norm >= 1e-150 && norm <= 1e150;
}

// v / |v|. Within the usual range this is the plain division; tiny or huge
// vectors are rescaled first so that their squares neither vanish nor
// overflow; a zero or non-finite vector gives the fallback.
inline Point3 normalized(const Point3& v, const Point3& fallback) {
    const double norm = length(v);
    if (usable_norm(norm)) {
        return v / norm;
    }
    const double scale = std::max({std::fabs(v.x), std::fabs(v.y), std::fabs(v.z)});
    if (!(scale > 0.0) || !std::isfinite(scale)) {
        return fallback;
    }
    const Point3 w = v / scale;
    return w / length(w);
}

// Unit vector along growing u from a central difference over +-0.025; near
// either end one sample is taken across the seam of the ring.
template <typename Pos> Point3 tangent_from(Pos&& pos, float u, int num_points) {
    u = wrap_parameter(u, num_points);
    const double n = num_points;
    const double ud = u;
    Point3 a;
    Point3 b;
    if (ud - 0.025 < 0) {
        a = pos(static_cast<float>(ud + 0.025));
        b = pos(static_cast<float>(ud - 0.025 + n - 0.0001));
    } else if (ud + 0.025 >= n) {
        a = pos(static_cast<float>(ud + 0.025 - n));
        b = pos(static_cast<float>(ud - 0.025));
    } else {
        a = pos(static_cast<float>(ud + 0.025));
        b = pos(static_cast<float>(ud - 0.025));
    }
    // Coincident samples have no direction: keep facing +z.
    return normalized(a - b, {0.0, 0.0, 1.0});
}

// The bank in the radians the side vector is lifted by.
inline double bank_radians(double roll) {
    return roll * angles::kTrackPi / 180;
}

// Horizontal normal of the tangent, lifted by the bank.
inline Point3 side_from(const Point3& tangent, double roll) {
    const double horizontal = std::sqrt(tangent.x * tangent.x + tangent.z * tangent.z);
    const double radians = bank_radians(roll);
    // A vertical tangent leaves no horizontal direction to bank from: use +x.
    return normalized({-tangent.z, std::tan(radians) * horizontal, tangent.x}, {1.0, 0.0, 0.0});
}

// side x tangent, flipped beyond +-90 degrees of bank.
inline Point3 up_from(const Point3& t, double roll) {
    const Point3 s = side_from(t, roll);
    const Point3 up = cross(s, t);
    // Beyond a quarter turn either way the side vector has turned over (tan
    // has period pi), so the roof of the car is on the other side. The turn
    // is judged in the side vector's own radians against the true pi / 2:
    // with pi cut to 3.14159, a bank up to 90.00008 degrees has not turned
    // it over yet, and flipping there would turn the car over for a moment.
    constexpr double kQuarterTurn = 1.5707963267948966;
    const double radians = bank_radians(roll);
    return radians > kQuarterTurn || radians < -kQuarterTurn ? -up : up;
}

inline double heading_from(const Point3& t) {
    if (t.x == 0.0 && t.z == 0.0) {
        return 0.0; // straight up or down: no horizontal direction to face
    }
    const double heading = std::atan(t.x / t.z) * 180 / angles::kTrackPi;
    return t.z > 0 ? heading : heading + 180;
}

inline double pitch_from(const Point3& t) {
    double horizontal = std::sqrt(t.x * t.x + t.z * t.z);
    if (t.x * t.z < 0) {
        horizontal = -horizontal;
    }
    if (horizontal == 0.0 && t.y == 0.0) {
        return 0.0;
    }
    const double pitch = std::atan(t.y / horizontal) * 180 / angles::kTrackPi;
    return horizontal > 0 && pitch != 0 ? -pitch : pitch;
}

// ---- Arc length and walks, by summing straight chords between samples ----

// Laps walked sample by sample before a longer walk is shortened by whole laps.
constexpr long kLiteralLaps = 8;

// Sum of chords over 0.05 parameter steps from u = 0. The float steps stop
// short of n, and the stretch from the last sample back to u = 0 (up to one
// step of parameter) is not added.
template <typename Pos> double length_of(Pos&& pos, int num_points) {
    const float step = 0.05f;
    double sum = 0.0;
    float u = 0.0f;
    // The end sample of one chord is the start sample of the next (the same
    // float), so each sample is evaluated once.
    Point3 a = pos(u);
    while (u < num_points - static_cast<double>(step)) {
        const float next = static_cast<float>(u + step);
        const Point3 b = pos(next);
        sum += length(b - a);
        a = b;
        u = next;
    }
    return sum;
}

// Chord sum of one forward lap on the 0.005 grid from u = 0.
template <typename Pos> double lap_chord_sum(Pos&& pos, int num_points) {
    const double n = num_points;
    double sum = 0.0;
    float u = 0.0f;
    Point3 a = pos(u);
    do {
        const float next = step_forward(u, n);
        const Point3 b = pos(next);
        sum += length(b - a);
        a = b;
        u = next;
    } while (u != 0.0f);
    return sum;
}

// Parameter reached by walking |distance| along the ring in 0.005 steps. When
// `at` is given it holds pos(u) on entry and pos(result) on return, so a chain
// of walks evaluates each sample once. A walk of many laps shortens itself by
// the chord sum of one lap, taken over lap_pos (which may differ from pos only
// in what it caches).
template <typename Pos, typename LapPos>
float advance_by(Pos&& pos, LapPos&& lap_pos, int num_points, double distance, float u,
                 Point3* at) {
    const float given = u;
    u = wrap_parameter(u, num_points);
    if (at != nullptr && std::memcmp(&u, &given, sizeof u) != 0) {
        *at = pos(u); // the caller's position was for the unwrapped u
    }
    if (distance == 0 || !std::isfinite(distance)) {
        return u;
    }
    const float start = u;
    const double n = num_points;
    const bool forward = distance > 0;
    double target = std::fabs(distance);
    float next = forward ? step_forward(u, n) : step_backward(u, n);

    const long lap = steps_per_lap(num_points);
    long steps = 0;
    bool shortened = false;
    double sum = 0.0;
    // Sample B of one step is sample A of the next, so each sample is
    // evaluated once; the sums are those of evaluating both every step.
    Point3 a = at != nullptr ? *at : pos(u);
    const Point3 at_start = a;
    const auto land = [at](float where, const Point3& p) {
        if (at != nullptr) {
            *at = p;
        }
        return where;
    };
    for (;;) {
        const Point3 b = pos(next);
        sum += length(b - a);
        if (sum >= target) {
            return land(next, b);
        }
        ++steps;
        if (steps == lap && !(sum > 0)) {
            // A whole lap summed to 0 (every sample at one spot) or NaN: there
            // is no distance to walk.
            return land(start, at_start);
        }
        if (steps == kLiteralLaps * lap) {
            if (shortened) {
                return land(next, b); // the shortened walk did not land: stop where it is
            }
            // Many laps to go: drop whole laps of the remaining distance and
            // walk what is left (at most about one lap more).
            const double ring = lap_chord_sum(lap_pos, num_points);
            if (!(ring > 0) || !std::isfinite(ring)) {
                return land(start, at_start);
            }
            target = sum + std::fmod(target - sum, ring);
            steps = (kLiteralLaps - 3) * lap;
            shortened = true;
        }
        a = b;
        u = next;
        next = forward ? step_forward(next, n) : step_backward(next, n);
    }
}

template <typename Pos> float advance_by(Pos&& pos, int num_points, double distance, float u) {
    return advance_by(pos, pos, num_points, distance, u, nullptr);
}

} // namespace track_math
