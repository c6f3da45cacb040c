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

float on_ring(const Track& track, double u) {
    return track.wrap(static_cast<float>(u));
}

// The farthest any place of `from` between u0 and u0 + span lies from the
// whole curve of `to`, drawn as a polyline of kFine chords a segment (close
// enough that a chord strays from its curve by less than 1e-5).
double farthest(const Track& from, int u0, int span, const Track& to) {
    constexpr int kFine = 1024;
    std::vector<Point3> line;
    for (int s = 0; s <= to.num_points() * kFine; ++s) {
        line.push_back(to.position_at(on_ring(to, static_cast<double>(s) / kFine)));
    }
    double worst = 0.0;
    for (int s = 0; s <= span * kSteps; ++s) {
        const Point3 p = from.position_at(on_ring(from, u0 + static_cast<double>(s) / kSteps));
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

// Each row inserts at u and bounds how far the changed run of the curve moves
// (the farther of old to new and new to old). Linear and Bezier keep their
// shape exactly: the two new segments are the old one's pieces. Cardinal
// (only the segments next to the new point change) and BSpline move by the
// bounds measured on this track, up to about 4 % of its radius. Every
// segment outside the run is the same to the bit, and deleting the new point
// gives the design back.
TEST(EditInPlace, InsertKeepsTheShapeAndDeleteGivesTheDesignBack) {
    struct Row {
        CurveType type;
        double u;
        double bound;
    };
    const Row rows[] = {
        {CurveType::Linear, 0.5, 1e-12},   {CurveType::Linear, 3.25, 1e-12},
        {CurveType::Linear, 7.875, 1e-12}, {CurveType::Bezier, 0.5, 1e-12},
        {CurveType::Bezier, 2.25, 1e-12},  {CurveType::Bezier, 7.75, 1e-12},
        {CurveType::Cardinal, 0.5, 0.39},  {CurveType::Cardinal, 4.25, 0.2},
        {CurveType::Cardinal, 7.75, 0.33}, {CurveType::BSpline, 0.5, 0.43},
        {CurveType::BSpline, 5.25, 0.53},  {CurveType::BSpline, 7.75, 0.4},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.type << " at " << row.u);
        Track track = shaped_track(row.type);
        const Track before = track;
        const float u = static_cast<float>(row.u);
        const RingChange change = track.insert_point(u);
        ASSERT_TRUE(change.changed());
        ASSERT_EQ(track.num_points(), 9);
        const ControlPoint& added = track.point(change.point);
        EXPECT_EQ(added.roll, before.roll_at(u));
        if (row.type != CurveType::BSpline) {
            EXPECT_LT(length(added.position() - before.position_at(u)), 1e-12);
            EXPECT_EQ(change.point, static_cast<int>(row.u) + 1);
        }
        // Outside the run, every place is where it was to the bit; inside,
        // Linear and Bezier are too, within rounding.
        for (int s = 0; s < 8 * kSteps; ++s) {
            const float old_u = static_cast<float>(static_cast<double>(s) / kSteps);
            const float new_u = change.map(old_u);
            const int from_run = (static_cast<int>(old_u) - change.first_old + 8) % 8;
            if (from_run >= change.span_old) {
                expect_same(track.position_at(new_u), before.position_at(old_u));
            }
        }
        // Linear and Bezier: the two new segments are the old one's pieces
        // before and after the cut, place for place.
        const int cut = static_cast<int>(row.u);
        const double t = row.u - cut;
        for (int j = 0; row.bound < 1e-6 && j <= 64; ++j) {
            const double along = j / 64.0;
            const float pieces[2][2] = {
                {static_cast<float>(cut + along), static_cast<float>(cut + t * along)},
                {static_cast<float>(cut + 1 + along),
                 static_cast<float>(cut + t + (1 - t) * along)}};
            for (const auto& piece : pieces) {
                EXPECT_LT(length(track.position_at(track.wrap(piece[0])) -
                                 before.position_at(before.wrap(piece[1]))),
                          row.bound)
                    << piece[0];
            }
        }
        const auto moved = [&](const Track& after) {
            return std::max(farthest(before, change.first_old, change.span_old, after),
                            farthest(after, change.first_new, change.span_new, before));
        };
        const double most = moved(track);
        EXPECT_LE(most, std::max(row.bound, 1e-5));
        if (row.type == CurveType::BSpline) {
            // Placed on the curve where clicked, the point would move it more.
            Track on_curve = track;
            on_curve.point(change.point).set_position(before.position_at(u));
            EXPECT_LT(most, moved(on_curve));
        }

        const RingChange back = track.delete_point(change.point);
        ASSERT_TRUE(back.changed());
        ASSERT_EQ(track.num_points(), 8);
        for (int i = 0; i < 8; ++i) {
            expect_same(track.point(i).position(), before.point(i).position());
            EXPECT_EQ(track.point(i).roll, before.point(i).roll);
        }
        for (int k = 0; k < 16; ++k) {
            EXPECT_LT(
                length(track.bezier_handle(k).position() - before.bezier_handle(k).position()),
                1e-9)
                << "handle " << k;
        }
        // The train's parameter comes back to where it was.
        const double drift = row.type == CurveType::Cardinal ? 0.05 : 1e-5;
        for (float car : {0.3f, static_cast<float>(row.u) + 0.1f, 6.6f}) {
            EXPECT_NEAR(back.map(change.map(car)), on_ring(before, car), drift) << car;
        }
    }
    // Deleting point 5 of the shaped Bezier track: the joined segment leaves
    // point 4 and reaches point 6 in the directions the two segments did,
    // and every other handle stays.
    Track track = shaped_track(CurveType::Bezier);
    const Track before = track;
    ASSERT_TRUE(track.delete_point(5).changed());
    const auto unit = [](const Point3& v) { return v / length(v); };
    const Point3 p4 = track.point(4).position();
    const Point3 p6 = track.point(5).position();
    EXPECT_LT(length(unit(track.bezier_handle(8).position() - p4) -
                     unit(before.bezier_handle(8).position() - p4)),
              1e-12);
    EXPECT_LT(length(unit(p6 - track.bezier_handle(9).position()) -
                     unit(p6 - before.bezier_handle(11).position())),
              1e-12);
    for (int k = 0; k < 14; ++k) {
        if (k != 8 && k != 9) {
            expect_same(track.bezier_handle(k).position(),
                        before.bezier_handle(k < 8 ? k : k + 2).position());
        }
    }
}
