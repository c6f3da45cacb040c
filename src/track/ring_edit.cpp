// Inserting one point into the ring, or removing one, in place: every other
// point, its roll and the other segments' handles stay where they are.
#include <algorithm>
#include <array>

#include "track/track.h"
#include "track/track_math.h"

namespace {

using track_math::ring_index;

// A cut this close to either end of a segment would leave a piece with no
// length to carry its handles; the cut is moved in to this fraction.
constexpr double kEdgeGap = 0.01;

Point3 lerp(const Point3& a, const Point3& b, double t) {
    return a + (b - a) * t;
}

// A cubic by its Bernstein control points: b0 and b3 are its ends.
struct Cubic {
    Point3 b0, b1, b2, b3;
};

// The track keeps a Bezier segment as P0, H1, H2, P3 with end derivatives
// (H1 - P0) / 3 and P3 - H2, a ninth and a third of the Bernstein cubic's.
Cubic cubic_of(const Point3& p0, const Point3& h1, const Point3& h2, const Point3& p3) {
    return {p0, p0 + (h1 - p0) / 9, p3 - (p3 - h2) / 3, p3};
}
std::array<Point3, 2> handles_of(const Cubic& c) {
    return {c.b0 + 9 * (c.b1 - c.b0), c.b3 - 3 * (c.b3 - c.b2)};
}

// de Casteljau: the two halves of c cut at t, each again a cubic.
std::array<Cubic, 2> split(const Cubic& c, double t) {
    const Point3 a1 = lerp(c.b0, c.b1, t);
    const Point3 a2 = lerp(c.b1, c.b2, t);
    const Point3 a3 = lerp(c.b2, c.b3, t);
    const Point3 m1 = lerp(a1, a2, t);
    const Point3 m2 = lerp(a2, a3, t);
    const Point3 at = lerp(m1, m2, t);
    return {Cubic{c.b0, a1, m1, at}, Cubic{at, m2, a3, c.b3}};
}

// The point of segment i at local t (in double, so that a cut is placed
// exactly where its fraction says) for Linear, Cardinal and BSpline.
Point3 place_on(const track_math::Curve& c, int i, double t) {
    const ControlPoint* p = c.points;
    const int n = c.n;
    if (c.type == CurveType::Cardinal) {
        const double s = static_cast<float>((1.0 - c.tension) * 0.5);
        return track_math::per_coord(p[ring_index(i, n - 1, n)], p[i], p[ring_index(i, 1, n)],
                                     p[ring_index(i, 2, n)],
                                     [s, t](double a, double b, double d, double e) {
                                         return track_math::cardinal_coord(a, b, d, e, s, t);
                                     });
    }
    if (c.type == CurveType::BSpline) {
        return track_math::per_coord(p[i], p[ring_index(i, 1, n)], p[ring_index(i, 2, n)],
                                     p[ring_index(i, 3, n)],
                                     [t](double a, double b, double d, double e) {
                                         return track_math::bspline_coord(a, b, d, e, t) / 6;
                                     });
    }
    return lerp(p[i].position(), p[ring_index(i, 1, n)].position(), t);
}

// Weight of the point at place q (0..3) of a BSpline segment's four at local t.
double bspline_weight(int q, double t) {
    const double r = 1.0 - t;
    switch (q) {
    case 0:
        return r * r * r / 6;
    case 1:
        return (3 * t * t * t - 6 * t * t + 4) / 6;
    case 2:
        return (-3 * t * t * t + 3 * t * t + 3 * t + 1) / 6;
    default:
        return t * t * t / 6;
    }
}

// The run of segments a change made, read from its start: v in [0, span_new].
float run_parameter(const RingChange& c, double v) {
    return track_math::wrap_parameter(static_cast<float>(c.first_new + v), c.new_count);
}

// The place v of the changed run nearest `target`, searched within `reach`
// of `guess` by golden sections (the run is smooth and the search short).
double nearest_in_run(const Track& track, const RingChange& c, const Point3& target, double guess,
                      double reach) {
    const auto gap = [&](double v) {
        return length(track.bspline_at(run_parameter(c, v)) - target);
    };
    double lo = std::max(0.0, guess - reach);
    double hi = std::min(static_cast<double>(c.span_new), guess + reach);
    constexpr double kGolden = 0.6180339887498949;
    for (int k = 0; k < 40; ++k) {
        const double a = hi - kGolden * (hi - lo);
        const double b = lo + kGolden * (hi - lo);
        (gap(a) < gap(b) ? hi : lo) = gap(a) < gap(b) ? b : a;
    }
    return (lo + hi) / 2;
}

// Where the new BSpline point moves the curve least: the curve is linear in
// the point, so for places of the old run matched to places of the new one
// the best point is a least-squares weighted mean. The match starts from the
// evenly stretched parameters and is then taken, round by round, as the
// nearest place of the new run to each old place.
Point3 fitted_bspline_point(const Track& old_track, Track& track, const RingChange& c) {
    constexpr int kSamplesPerSegment = 48;
    constexpr int kRounds = 6;
    const int samples = c.span_old * kSamplesPerSegment;
    std::array<Point3, 4 * kSamplesPerSegment> old_place{};
    std::array<double, 4 * kSamplesPerSegment> matched{};
    for (int s = 0; s < samples; ++s) {
        const double v = (s + 0.5) / kSamplesPerSegment;
        old_place[s] = old_track.bspline_at(old_track.wrap(static_cast<float>(c.first_old + v)));
        matched[s] = v * c.span_new / c.span_old;
    }
    Point3 best = track.point(c.point).position();
    for (int round = 0; round < kRounds; ++round) {
        track.point(c.point).set_position(0.0, 0.0, 0.0); // the rest of the curve, alone
        Point3 sum;
        double weights = 0.0;
        for (int s = 0; s < samples; ++s) {
            const float u = run_parameter(c, matched[s]);
            const track_math::Segment seg = track_math::segment_of(u, c.new_count);
            const int q = (c.point - seg.i + c.new_count) % c.new_count;
            const double w = q <= 3 ? bspline_weight(q, seg.t) : 0.0;
            sum = sum + w * (old_place[s] - track.bspline_at(u));
            weights += w * w;
        }
        best = sum / weights;
        track.point(c.point).set_position(best);
        for (int s = 0; s < samples; ++s) {
            matched[s] = nearest_in_run(track, c, old_place[s], matched[s], 0.5);
        }
    }
    return best;
}

// Where the two segments around a point meet, as a fraction of the one
// segment they become: their speeds at the joint say how much of it each
// took, exactly so when they are the two halves of one cubic. Chord lengths
// stand in when the joint has no speed.
double joint_fraction(const Point3& p0, const Point3& h2_left, const Point3& at,
                      const Point3& h1_right, const Point3& p3) {
    double left = length(at - h2_left);
    double right = length(h1_right - at) / 3;
    if (!(left + right > 0.0) || !std::isfinite(left + right)) {
        left = length(at - p0);
        right = length(p3 - at);
    }
    const double fraction = left / (left + right);
    return std::isfinite(fraction) ? std::clamp(fraction, kEdgeGap, 1.0 - kEdgeGap) : 0.5;
}

} // namespace

float RingChange::map(float u) const {
    if (!changed()) {
        return u;
    }
    u = track_math::wrap_parameter(u, old_count);
    double v = static_cast<double>(u) - first_old;
    if (v < 0.0) {
        v += old_count;
    }
    const bool inserted = new_count > old_count;
    double w = 0.0;
    if (v < span_old) {
        const double in_cut = v - cut;
        if (uniform || in_cut < 0.0) {
            w = uniform ? v * span_new / span_old : v;
        } else if (inserted) {
            w = in_cut >= 1.0    ? v + 1.0
                : in_cut < split ? cut + in_cut / split
                                 : cut + 1.0 + (in_cut - split) / (1.0 - split);
        } else {
            w = in_cut >= 2.0  ? v - 1.0
                : in_cut < 1.0 ? cut + in_cut * split
                               : cut + split + (in_cut - 1.0) * (1.0 - split);
        }
        w += first_new;
    } else {
        const track_math::Segment seg = track_math::segment_of(u, old_count);
        const int shift = seg.i < point ? 0 : (inserted ? 1 : -1);
        w = seg.i + shift + static_cast<double>(seg.t);
    }
    if (w >= new_count) {
        w -= new_count;
    }
    return track_math::wrap_parameter(static_cast<float>(w), new_count);
}

void Track::open_slot(int k) {
    for (int i = num_points_; i > k; --i) {
        points_[i] = points_[i - 1];
    }
    for (int h = 2 * num_points_ + 1; h >= 2 * k + 2; --h) {
        handles_[h] = handles_[h - 2];
    }
    ++num_points_;
}

void Track::cut_segment(int after, double t, const ControlPoint& point) {
    const int next = ring_index(after, 1, num_points_);
    const std::array<Cubic, 2> halves =
        split(cubic_of(points_[after].position(), handles_[2 * after].position(),
                       handles_[2 * after + 1].position(), points_[next].position()),
              t);
    const std::array<Point3, 2> left = handles_of(halves[0]);
    const std::array<Point3, 2> right = handles_of(halves[1]);
    const Point3 shift = point.position() - halves[0].b3;
    const int k = after + 1;
    open_slot(k);
    points_[k] = point;
    handles_[2 * after] = ControlPoint(left[0]);
    handles_[2 * after + 1] = ControlPoint(left[1] + shift);
    handles_[2 * k] = ControlPoint(right[0] + shift);
    handles_[2 * k + 1] = ControlPoint(right[1]);
}

namespace {

// How inserting point k, cut at t into segment `segment` of n points,
// changes a ring of this type.
RingChange insertion(CurveType type, int n, int segment, int k, double t) {
    RingChange change;
    change.point = k;
    change.old_count = n;
    change.new_count = n + 1;
    // Linear and Bezier segments are shaped by their own two ends; the
    // others by the two points either side as well, so the three segments
    // shaped by both points around the new one become four shaped by it.
    const bool local = type == CurveType::Linear || type == CurveType::Bezier;
    change.first_old = local ? segment : ring_index(segment, n - 1, n);
    change.first_new = change.first_old < k ? change.first_old : change.first_old + 1;
    change.span_old = local ? 1 : 3;
    change.span_new = change.span_old + 1;
    change.cut = local ? 0 : 1;
    change.split = t;
    change.uniform = type == CurveType::BSpline;
    return change;
}

} // namespace

RingChange Track::insert_point(float u) {
    const int n = num_points_;
    if (n >= kMaxPoints) {
        return {};
    }
    const track_math::Segment seg = track_math::segment_of(u, n);
    const double t = std::clamp(static_cast<double>(seg.t), kEdgeGap, 1.0 - kEdgeGap);
    // The point the new one follows; a BSpline segment lies one point later.
    const int after = type_ == CurveType::BSpline ? ring_index(seg.i, 1, n) : seg.i;
    const double roll =
        t * (points_[ring_index(seg.i, 1, n)].roll - points_[seg.i].roll) + points_[seg.i].roll;
    // A Bezier point goes where the cut of the segment's own cubic lies.
    const Point3 at =
        type_ == CurveType::Bezier
            ? split(cubic_of(points_[after].position(), handles_[2 * after].position(),
                             handles_[2 * after + 1].position(),
                             points_[ring_index(after, 1, n)].position()),
                    t)[0]
                  .b3
            : place_on(track_math::curve_of(*this), seg.i, t);
    const Track before = *this;
    cut_segment(after, t, ControlPoint(at, roll));
    const RingChange change = insertion(type_, n, seg.i, after + 1, t);
    if (type_ == CurveType::BSpline) {
        // The point and the handles at the cut go where the curve moves least.
        const int k = change.point;
        // A ring with points out of all range gives no usable fit: the point
        // stays on the curve.
        Point3 fitted = fitted_bspline_point(before, *this, change);
        fitted = is_finite(fitted) ? fitted : at;
        points_[k].set_position(fitted);
        for (ControlPoint* h : {&handles_[2 * k - 1], &handles_[2 * k]}) {
            h->set_position(h->position() + (fitted - at));
        }
    }
    return change;
}

RingChange Track::delete_point(int k) {
    const int n = num_points_;
    if (n <= kMinPoints || k < 0 || k >= n) {
        return {};
    }
    const int prev = ring_index(k, n - 1, n);
    const Point3 p0 = points_[prev].position();
    const Point3 at = points_[k].position();
    const Point3 p3 = points_[ring_index(k, 1, n)].position();
    const Point3 h1 = handles_[2 * prev].position();
    const Point3 h2 = handles_[2 * k + 1].position();
    const double joint =
        joint_fraction(p0, handles_[2 * prev + 1].position(), at, handles_[2 * k].position(), p3);
    // The joined segment leaves p0 and reaches p3 in the directions the two
    // did, at the speeds of the one cubic they would be halves of.
    handles_[2 * prev] = ControlPoint(p0 + (h1 - p0) / joint);
    handles_[2 * prev + 1] = ControlPoint(p3 - (p3 - h2) / (1.0 - joint));

    RingChange change;
    change.point = k;
    change.old_count = n;
    change.new_count = n - 1;
    // The segments the point shaped: its own two for Linear and Bezier, the
    // four around it for Cardinal and BSpline; one fewer after.
    const bool local = type_ == CurveType::Linear || type_ == CurveType::Bezier;
    change.first_old = local ? prev : ring_index(k, n - (type_ == CurveType::BSpline ? 3 : 2), n);
    change.first_new = change.first_old < k ? change.first_old : change.first_old - 1;
    change.span_old = local ? 2 : 4;
    change.span_new = change.span_old - 1;
    change.cut = local ? 0 : 1;
    change.uniform = type_ == CurveType::BSpline;
    const double chords = ::length(at - p0) + ::length(p3 - at);
    const double by_chords = chords > 0.0 ? ::length(at - p0) / chords : 0.5;
    change.split = type_ == CurveType::Bezier ? joint : by_chords;

    for (int i = k; i + 1 < n; ++i) {
        points_[i] = points_[i + 1];
    }
    for (int h = 2 * k; h + 2 < 2 * n; ++h) {
        handles_[h] = handles_[h + 2];
    }
    --num_points_;
    return change;
}
