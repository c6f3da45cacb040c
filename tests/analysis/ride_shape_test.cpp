// Corners, awkward designs, the summary's figures and level banking.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "analysis/ride_test_designs.h"

using namespace ride_test;

namespace {

// Every number a ride holds.
bool all_finite(const RideAnalysis& r) {
    const RideSummary& s = r.summary;
    bool ok = std::isfinite(s.length_m + s.airtime_s + s.lowest.value + s.highest.value +
                            s.biggest_drop.value + s.max_speed.value + s.min_speed.value +
                            s.vertical_max.value + s.vertical_min.value + s.lateral_max_abs.value +
                            s.longitudinal_max.value + s.longitudinal_min.value +
                            s.lap_time_s.value_or(0.0));
    for (const RideSample& x : r.samples) {
        ok = ok && is_finite(x.position) && is_finite(x.front) && is_finite(x.left) &&
             is_finite(x.up) &&
             std::isfinite(x.distance + x.u + x.speed + x.vertical_g + x.lateral_g +
                           x.longitudinal_g);
    }
    for (const Corner& c : r.corners) {
        ok = ok && std::isfinite(c.distance + c.angle_degrees);
    }
    return ok;
}

struct CornerRow {
    std::string name;
    Track track;
    std::vector<int> points; // where the corners are
    std::vector<double> degrees;
};

// A Linear track turns at its points by the angle between its straights; a
// Cardinal tension of 1 stops the curve at each point, where its straights
// meet as the Linear track's do; smooth curves have none.
TEST(RideShape, CornersAreFoundWithTheirAngles) {
    // A 20 x 10 rectangle, a point halfway along one side (no corner), and a
    // 45 degree notch cut at one corner.
    const std::vector<ControlPoint> notched = {{0, 1, 0},  {10, 1, 0},  {20, 1, 0},
                                               {20, 1, 6}, {16, 1, 10}, {0, 1, 10}};
    Track tense = track_through(CurveType::Cardinal, notched);
    tense.set_tension(1.0f);
    Track climbing =
        track_through(CurveType::Linear, {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {10, 10, 10}});
    const double skew = std::acos(-1 / std::sqrt(3.0)) * 180 / kPi; // a cube's edge to its diagonal
    const CornerRow rows[] = {
        {"linear",
         track_through(CurveType::Linear, notched),
         {0, 2, 3, 4, 5},
         {90, 90, 45, 45, 90}},
        {"tension 1", tense, {0, 2, 3, 4, 5}, {90, 90, 45, 45, 90}},
        {"vertical", climbing, {0, 1, 2, 3}, {skew, 90, 90, skew}},
        {"cardinal", track_through(CurveType::Cardinal, notched), {}, {}},
        {"hills", hills(), {}, {}},
    };
    for (const CornerRow& row : rows) {
        SCOPED_TRACE(row.name);
        for (const SpeedModel& speed : {SpeedModel{true, true, 5.0}, SpeedModel{false, true, 0},
                                        SpeedModel{true, false, 0.0}}) {
            const RideAnalysis ride = analyse_ride(row.track, speed);
            EXPECT_TRUE(all_finite(ride));
            ASSERT_EQ(ride.corners.size(), row.points.size());
            for (std::size_t k = 0; k < row.points.size(); ++k) {
                const Corner& c = ride.corners[k];
                EXPECT_EQ(c.nearest_point, row.points[k]);
                EXPECT_NEAR(c.angle_degrees, row.degrees[k], 1e-6);
                EXPECT_EQ(c.distance, ride.point_distances[row.points[k]]);
                // The samples either side of it are marked and left out of the extremes.
                const std::size_t count = ride.samples.size();
                const auto before =
                    static_cast<std::size_t>(std::ceil(c.distance / 0.1) - 1 + count) % count;
                EXPECT_TRUE(ride.samples[before].at_corner);
                EXPECT_TRUE(ride.samples[(before + 1) % count].at_corner);
            }
        }
    }
}

// Designs the editor can make where the formulas divide by nothing: every
// point at one spot, neighbours at one spot, a vertical climb, the car
// standing on its nose, huge banks. Nothing becomes infinite or NaN.
TEST(RideShape, AwkwardDesignsStayFinite) {
    const ControlPoint same(1, 2, 3);
    const std::vector<ControlPoint> doubled = {
        {0, 0, 0}, {5, 0, 0}, {5, 0, 0}, {5, 0, 5}, {0, 0, 5, 90}};
    const std::vector<ControlPoint> tower = {
        {0, 0, 0, 180}, {0, 10, 0, 90}, {0, 20, 0, -90}, {0, 30, 0, 45}};
    for (const CurveType type :
         {CurveType::Linear, CurveType::Cardinal, CurveType::BSpline, CurveType::Bezier}) {
        const RideAnalysis flat = analyse_ride(track_through(type, {same, same, same, same}), {});
        EXPECT_TRUE(flat.samples.empty());
        EXPECT_EQ(flat.summary.length_m, 0.0);
        EXPECT_EQ(flat.summary.max_speed.value, 0.0);
        EXPECT_FALSE(flat.summary.lap_time_s.has_value());
        EXPECT_TRUE(level_banking(track_through(type, {same, same, same, same}), {}).empty());
        for (const auto& points : {doubled, tower}) {
            Track track = track_through(type, points);
            for (const float tension : {0.0f, 1.0f, -1.0f}) {
                track.set_tension(tension);
                for (const SpeedModel& speed :
                     {SpeedModel{true, true, 30.0}, SpeedModel{false, true, 0}}) {
                    const RideAnalysis ride = analyse_ride(track, speed);
                    EXPECT_FALSE(ride.samples.empty());
                    EXPECT_TRUE(all_finite(ride)) << static_cast<int>(type) << " " << tension;
                    for (const double roll : level_banking(track, speed)) {
                        EXPECT_TRUE(roll >= -180 && roll <= 180);
                    }
                }
            }
        }
    }
}

// Known figures: a Linear ring of heights 0 10 4 6 1 3 on a level square
// path drops 6 m at most, from the crest at point 1; a level circle with the
// car upside down over stretches counts each stretch once, the one across
// the start too, and at 3 m/s on radius 20 the riders hang in their belts
// (vertical -1) for as long as the car is upside down.
TEST(RideShape, SummaryFigures) {
    const RideAnalysis drops = analyse_ride(
        track_through(CurveType::Linear,
                      {{0, 0, 0}, {20, 10, 0}, {20, 4, 20}, {0, 6, 20}, {-20, 1, 20}, {-20, 3, 0}}),
        {true, false, 2.0});
    // Samples fall within 0.05 m of the points, on slopes of at most 1 in 2.
    EXPECT_NEAR(drops.summary.biggest_drop.value, 6.0, 0.05);
    EXPECT_NEAR(drops.summary.biggest_drop.distance, drops.point_distances[1], 0.1);
    EXPECT_NEAR(drops.summary.highest.value, 10.0, 0.025);
    EXPECT_NEAR(drops.summary.lowest.value, 0.0, 0.025);

    struct Row {
        std::vector<int> upside_down;
        int inversions;
    };
    const Row rows[] = {{{}, 0}, {{10, 11, 12}, 1}, {{98, 99, 0, 1}, 1}, {{5, 6, 40, 41, 70}, 3}};
    for (const Row& row : rows) {
        Track track = circle(20.0, true);
        for (const int i : row.upside_down) {
            track.point(i).roll = 180;
        }
        const RideAnalysis ride = analyse_ride(track, {true, false, 3.0});
        EXPECT_EQ(ride.summary.inversions, row.inversions);
        double inverted = 0.0; // the car's up below the horizon, u from i - 0.5 to i + 0.5
        for (const RideSample& s : ride.samples) {
            inverted += s.up.y < 0 ? 0.1 : 0.0;
            if (s.up.y < -1 + 1e-12) { // between two points turned over
                EXPECT_NEAR(s.vertical_g, -1.0, 1e-9);
            }
        }
        const double expected = row.upside_down.size() * 2 * kPi * 20 / 100 / 3.0;
        EXPECT_NEAR(ride.summary.airtime_s, expected, 0.1 / 3 * (1 + row.upside_down.size()));
        EXPECT_NEAR(inverted / 3.0, expected, 0.1 / 3 * (1 + row.upside_down.size()));
        EXPECT_NEAR(ride.summary.vertical_min.value, row.inversions ? -1.0 : 1.0, 1e-6);
    }
}

// After each point takes level_banking's roll, nothing pushes the riders
// sideways at any point, and they stay pressed into their seats; and the G
// figures barely move when the samples are twice as dense.
TEST(RideShape, LevelBankingLevelsTheForcesAtEveryPoint) {
    Track tense = hills(CurveType::Cardinal, 60.0);
    tense.set_tension(0.5f);
    for (Track track : {hills(), hills(CurveType::BSpline, 100.0), hills(CurveType::Bezier, -30.0),
                        tense, circle(15.0, false, 170.0)}) {
        // make_handles puts a Bezier track's handles out of line: kinks at
        // every point, with forces that change within a sample beside them.
        const bool smooth = track.curve_type() != CurveType::Bezier;
        for (const SpeedModel& speed : {SpeedModel{true, true, 6.0}, SpeedModel{true, false, 12.0},
                                        SpeedModel{false, true, 0.0}}) {
            const RideAnalysis before = analyse_ride(track, speed);
            const double tilted = std::abs(before.summary.lateral_max_abs.value);
            const std::vector<double> rolls = level_banking(track, speed);
            ASSERT_EQ(rolls.size(), static_cast<std::size_t>(track.num_points()));
            for (int i = 0; i < track.num_points(); ++i) {
                // Each point keeps its side of a quarter turn: no inversion added.
                EXPECT_EQ(std::abs(rolls[i]) > 90, std::abs(track.point(i).roll) > 90) << i;
                track.point(i).roll = rolls[i];
            }
            const RideAnalysis ride = analyse_ride(track, speed);
            // Levelled over the whole ride, not point by point: the largest
            // sideways force left is small where the points can be banked
            // freely, and never more than before.
            EXPECT_LE(std::abs(ride.summary.lateral_max_abs.value), tilted + 1e-9);
            EXPECT_LE(ride.summary.inversions, before.summary.inversions);
            if (!smooth) {
                continue;
            }
            RideAnalysis dense;
            analyse_ride(track, speed, 0.05, dense);
            const RideSummary& a = ride.summary;
            const RideSummary& b = dense.summary;
            EXPECT_NEAR(a.vertical_max.value, b.vertical_max.value, 0.01);
            EXPECT_NEAR(a.vertical_min.value, b.vertical_min.value, 0.01);
            EXPECT_NEAR(a.lateral_max_abs.value, b.lateral_max_abs.value, 0.01);
            EXPECT_NEAR(a.longitudinal_max.value, b.longitudinal_max.value, 0.01);
        }
    }
}

} // namespace
