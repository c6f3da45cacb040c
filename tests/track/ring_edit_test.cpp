// Inserting a point where the track runs and removing one, in place: how far
// the curve moves, what stays untouched, and that removing the new point
// gives the design back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "track/track.h"
#include "track_test_support.h"

using track_test::expect_same;

namespace {

constexpr int kSteps = 128; // samples per segment

// Eight points round a wobbling ring, up and down, banked, and one handle
// moved by hand: a track with nothing regular about it.
Track shaped_track(CurveType type) {
    Track track(type);
    while (track.num_points() < 8) {
        track.add_point();
    }
    for (int i = 0; i < 8; ++i) {
        const double a = 2 * 3.141592653589793 * i / 8;
        const double r = 10.0 + 3 * (i % 2);
        track.point(i) =
            ControlPoint(r * std::cos(a), 2.0 + 3 * (i % 3), r * std::sin(a), 15.0 * i);
    }
    track.make_handles();
    track.bezier_handle(9).set_position(track.bezier_handle(9).position() + Point3{1.0, 2.0, -1.5});
    return track;
}

// The farthest any place of `from` between u0 and u0 + span lies from the
// whole curve of `to`, drawn as a polyline of kFine chords a segment (close
// enough that a chord strays from its curve by less than 1e-5).
double farthest(const Track& from, int u0, int span, const Track& to) {
    constexpr int kFine = 1024;
    std::vector<Point3> line;
    for (int s = 0; s <= to.num_points() * kFine; ++s) {
        line.push_back(to.position_at(to.wrap(static_cast<float>(s) / kFine)));
    }
    double worst = 0.0;
    for (int s = 0; s <= span * kSteps; ++s) {
        const Point3 p = from.position_at(from.wrap(u0 + static_cast<float>(s) / kSteps));
        double nearest = INFINITY;
        for (std::size_t k = 0; k + 1 < line.size(); ++k) {
            const Point3 d = line[k + 1] - line[k];
            const double along = std::clamp(dot(p - line[k], d) / dot(d, d), 0.0, 1.0);
            nearest = std::min(nearest, length(p - (line[k] + d * along)));
        }
        worst = std::max(worst, nearest);
    }
    return worst;
}

} // namespace

// Each row inserts at u; the change's map finds every old place on the new
// ring: to the bit outside the run of segments it touched, inside place for
// place for Linear and Bezier; Cardinal and BSpline move by the bounds
// measured on this track. Deleting the new point gives the design back.
TEST(EditInPlace, InsertKeepsTheShapeAndDeleteGivesTheDesignBack) {
    const struct {
        CurveType type;
        double u;
        double bound;
    } rows[] = {
        {CurveType::Linear, 0.5, 0},       {CurveType::Linear, 3.25, 0},
        {CurveType::Linear, 7.875, 0},     {CurveType::Bezier, 0.5, 0},
        {CurveType::Bezier, 2.25, 0},      {CurveType::Bezier, 7.75, 0},
        {CurveType::Cardinal, 0.5, 0.39},  {CurveType::Cardinal, 4.25, 0.2},
        {CurveType::Cardinal, 7.75, 0.33}, {CurveType::BSpline, 0.5, 0.43},
        {CurveType::BSpline, 5.25, 0.53},  {CurveType::BSpline, 7.75, 0.4},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.type << " at " << row.u);
        Track track = shaped_track(row.type);
        const Track before = track;
        const float u = static_cast<float>(row.u);
        const RingChange change = track.insert_point(u);
        ASSERT_EQ(track.num_points(), 9);
        EXPECT_EQ(track.point(change.point).roll, before.roll_at(u));
        if (row.type != CurveType::BSpline) {
            EXPECT_LT(length(track.point(change.point).position() - before.position_at(u)), 1e-12);
        }
        for (int s = 0; s < 8 * kSteps; ++s) {
            const float old_u = static_cast<float>(static_cast<double>(s) / kSteps);
            const Point3 now = track.position_at(change.map(old_u));
            if ((static_cast<int>(old_u) - change.first_old + 8) % 8 >= change.span_old) {
                expect_same(now, before.position_at(old_u));
            } else if (row.bound == 0) {
                EXPECT_LT(length(now - before.position_at(old_u)), 1e-5) << old_u;
            }
        }
        if (row.bound > 0) {
            EXPECT_LE(std::max(farthest(before, change.first_old, change.span_old, track),
                               farthest(track, change.first_new, change.span_new, before)),
                      row.bound);
        }

        const RingChange back = track.delete_point(change.point);
        ASSERT_EQ(track.num_points(), 8);
        for (int k = 0; k < 16; ++k) {
            if (k < 8) {
                expect_same(track.point(k).position(), before.point(k).position());
                EXPECT_EQ(track.point(k).roll, before.point(k).roll);
            }
            EXPECT_LT(
                length(track.bezier_handle(k).position() - before.bezier_handle(k).position()),
                1e-9)
                << "handle " << k;
        }
        // The train's parameter comes back to where it was.
        for (float car : {0.3f, u + 0.1f, 6.6f}) {
            EXPECT_NEAR(back.map(change.map(car)), track.wrap(car),
                        row.type == CurveType::Cardinal ? 0.05 : 1e-5);
        }
    }
}
