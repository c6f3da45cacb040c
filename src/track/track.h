// Closed spline track through 4 to 100 control points with a bank angle each.
// Pure math: no GL, no FLTK. Every query is memory-safe for any u: segment
// indices wrap modulo the point count and a non-finite u reads as 0.
#pragma once

#include <array>

#include "track/control_point.h"
#include "track/point3.h"
#include "track/ring_change.h"

// How the curve runs through the points. A value outside the four reads as Linear.
enum class CurveType { Linear = 0, Cardinal = 1, BSpline = 2, Bezier = 3 };

class Track {
public:
    static constexpr int kMinPoints = 4;
    static constexpr int kMaxPoints = 100;

    // Builds the default square of four points at height 1 and its handles.
    explicit Track(CurveType type);

    int num_points() const { return num_points_; }
    ControlPoint& point(int i) { return points_[i]; } // 0 <= i < num_points()
    const ControlPoint& point(int i) const { return points_[i]; }
    ControlPoint& bezier_handle(int k) { return handles_[k]; } // 0 <= k < 2 * num_points()
    const ControlPoint& bezier_handle(int k) const { return handles_[k]; }

    // Gives the track exactly the first n of `points`, rolls included
    // (kMinPoints <= n <= kMaxPoints); the handles stay as they are. For
    // putting a whole stored design in place, handles and all.
    void set_points(const ControlPoint* points, int n);
    void set_curve_type(CurveType t) { type_ = t; } // points and handles stay
    CurveType curve_type() const { return type_; }
    void set_tension(float t) { tension_ = t; }
    float tension() const { return tension_; }

    // Curve evaluation (float u, double coordinates). u in [0, n); other finite
    // values wrap onto the ring, non-finite ones read as 0. position_at follows
    // curve_type(); the other four evaluate their own type whatever it is.
    Point3 position_at(float u) const;
    Point3 linear_at(float u) const;
    Point3 cardinal_at(float u) const;
    Point3 bspline_at(float u) const;
    Point3 bezier_at(float u) const;

    // Places both handles of every segment beside its chord, pushed out sideways
    // by half the chord length.
    void make_handles();

    // Sum of chords over 0.05 parameter steps from u = 0 to the last step short
    // of n; the stretch from there back to u = 0 is not added.
    double length() const;
    // Parameter reached by walking |distance| along the ring (forward when
    // positive) on the 0.005 grid of walk_grid.h; always in [0, n). Returns u (wrapped
    // onto [0, n)) when distance is 0 or not finite, or the track has no
    // length to walk.
    float advance(double distance, float u) const;
    // u moved onto [0, n) by whole laps, as every query reads it; a non-finite
    // u gives 0.
    float wrap(float u) const;

    // Moving frame and orientation angles (degrees).
    double roll_at(float u) const;
    Point3 tangent_at(float u) const; // unit vector along growing u
    Point3 side_at(float u) const;    // unit vector, lifted by the bank
    Point3 up_at(float u) const;      // side x tangent, flipped beyond +-90 bank
    double heading_at(float u) const;
    double pitch_at(float u) const;

    // Resample the whole ring with one point more / fewer along the Cardinal
    // curve and rebuild the handles. add_point does nothing at 100 points;
    // remove_point does nothing below 5.
    void add_point();
    void remove_point();

    // Edits in place, every other point and its roll left as it is.
    // insert_point puts a point at the place u on the curve, after the point
    // that begins u's segment (for BSpline, whose segment i runs between
    // points i + 1 and i + 2, after point i + 1), with the bank there. The
    // shape stays: exactly for Linear and Bezier (the segment's handles are
    // split with it), on the curve with only the neighbouring segments
    // changed for Cardinal, and for BSpline the point goes where the curve
    // moves least. delete_point(i) removes point i; for Bezier the two
    // segments around it become one that leaves and arrives as they did.
    // Nothing happens (changed() is false) at kMaxPoints / kMinPoints points,
    // or for i outside the ring.
    RingChange insert_point(float u);
    RingChange delete_point(int i);

private:
    void resample(int new_count);
    // Room for point k (0 <= k <= n) and for the two segments that take the
    // place of segment k - 1; the count grows by one.
    void open_slot(int k);
    // Cuts segment `after` at local t in two with `point` between them, as
    // point after + 1. Both pieces keep the segment's Bezier shape; where
    // the point sits off it, the handles at the cut move with it.
    void cut_segment(int after, double t, const ControlPoint& point);

    CurveType type_ = CurveType::Cardinal;
    int num_points_ = 0;
    std::array<ControlPoint, kMaxPoints> points_{};
    std::array<ControlPoint, 2 * kMaxPoints> handles_{};
    float tension_ = 0.0f;
};
