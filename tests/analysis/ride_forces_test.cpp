// The forces against a textbook: level and banked circles, a frictionless
// hill, a powered ride, the parameter rate, a train standing still, and the
// frame each sample carries.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/ride_test_designs.h"
#include "track/ring_measure.h"

using namespace ride_test;

namespace {

struct CircleRow {
    double radius;
    double speed;
    bool left;
    bool banked;
};

// On a level circle of radius R at speed v the riders need v^2 / R towards the
// centre; unbanked it is all lateral (to the left on a left turn), banked at
// atan(v^2 / (g R)) it is all vertical: sqrt(1 + (v^2 / (g R))^2) g.
TEST(RideForces, CirclesGiveTheCentripetalForce) {
    const CircleRow rows[] = {
        {10, 5, true, false}, {10, 5, false, false}, {40, 12, true, false}, {200, 30, false, false},
        {10, 5, true, true},  {10, 5, false, true},  {40, 12, false, true}, {200, 30, true, true},
    };
    for (const CircleRow& row : rows) {
        const double k = row.speed * row.speed / (kGravity * row.radius);
        const double bank = std::atan(k) * (row.left ? 1 : -1); // into the turn
        const Track track = circle(row.radius, row.left, row.banked ? roll_of(bank) : 0.0);
        for (const bool energy : {true, false}) {
            const RideAnalysis ride = analyse_ride(track, {true, energy, row.speed});
            ASSERT_GT(ride.samples.size(), 600u);
            const double lateral = row.banked ? 0.0 : (row.left ? k : -k);
            const double vertical = row.banked ? std::sqrt(1 + k * k) : 1.0;
            for (const RideSample& s : ride.samples) {
                SCOPED_TRACE(testing::Message()
                             << "R " << row.radius << " left " << row.left << " banked "
                             << row.banked << " at " << s.distance);
                EXPECT_NEAR(s.speed, row.speed, 1e-6 * row.speed);
                EXPECT_NEAR(s.lateral_g, lateral, 5e-3 * k); // a spline circle is not quite round
                EXPECT_NEAR(s.vertical_g, vertical, 5e-3 * k);
                EXPECT_NEAR(s.longitudinal_g, 0.0, 1e-9);
                ASSERT_FALSE(s.at_corner);
            }
            EXPECT_NEAR(*ride.summary.lap_time_s, 2 * kPi * row.radius / row.speed,
                        2e-4 * ride.summary.length_m / row.speed);
            EXPECT_TRUE(ride.corners.empty());
        }
    }
}

// A frictionless train crossing the top at v_c: v^2 = v_c^2 + 2 g (top - y),
// and gravity's pull along the track is all spent on speed, so nothing presses
// the riders forward or back. A powered train keeps v_c and feels the slope
// as longitudinal g = sin(climb); the parameter mode runs at |dP/du| 0.02 per
// 34 ms, so a lap takes 1.7 s per point.
TEST(RideForces, SpeedFollowsTheChosenMotion) {
    for (const CurveType type : {CurveType::Cardinal, CurveType::BSpline, CurveType::Bezier}) {
        const Track track = hills(type, 25.0);
        const RideAnalysis energy = analyse_ride(track, {true, true, 4.0});
        const double top = energy.summary.highest.value;
        const RideAnalysis powered = analyse_ride(track, {true, false, 4.0});
        const RideAnalysis parameter = analyse_ride(track, {false, true, 4.0});
        ASSERT_EQ(energy.samples.size(), powered.samples.size());
        ASSERT_EQ(energy.samples.size(), parameter.samples.size());
        double steepest = 0.0;
        for (std::size_t k = 0; k < energy.samples.size(); ++k) {
            const RideSample& e = energy.samples[k];
            const RideSample& p = powered.samples[k];
            EXPECT_NEAR(e.speed, std::sqrt(16 + 2 * kGravity * (top - e.position.y)), 1e-9);
            EXPECT_NEAR(e.longitudinal_g, 0.0, 1e-9);
            EXPECT_EQ(p.speed, 4.0);
            EXPECT_NEAR(p.longitudinal_g, p.front.y, 1e-9);
            steepest = std::max(steepest, std::fabs(p.front.y));
            // The curve's speed by a chord of 1e-3 of the parameter either
            // side, away from the points, where a Bezier curve's speed jumps.
            const float u = parameter.samples[k].u;
            if (std::fabs(u - std::round(u)) > 2e-3f) {
                const double chord =
                    length(track.position_at(u + 1e-3f) - track.position_at(u - 1e-3f)) /
                    (static_cast<double>(u + 1e-3f) - static_cast<double>(u - 1e-3f));
                EXPECT_NEAR(parameter.samples[k].speed, chord * 0.02 / 0.034, 1e-3 * chord);
            }
        }
        EXPECT_GT(steepest, 0.3); // the hills do climb
        EXPECT_NEAR(*parameter.summary.lap_time_s, 40 * 1.7, 1e-9);
        EXPECT_NEAR(*powered.summary.lap_time_s, powered.summary.length_m / 4, 1e-9);
        EXPECT_NEAR(energy.summary.min_speed.value, 4.0, 1e-3);
    }
}

// With Constant Velocity at 0 the train stands still: no speed, no lap time,
// no airtime, and the riders feel only the track holding them up: (0, g, 0)
// in the car's frame, upside down where the car is.
TEST(RideForces, AStandingTrainFeelsOnlyGravity) {
    const Track track = hills(CurveType::Cardinal, 170.0);
    for (const bool energy : {true, false}) {
        const RideAnalysis ride = analyse_ride(track, {true, energy, 0.0});
        EXPECT_FALSE(ride.summary.lap_time_s.has_value());
        EXPECT_EQ(ride.summary.airtime_s, 0.0);
        EXPECT_EQ(ride.summary.max_speed.value, 0.0);
        EXPECT_GT(ride.summary.inversions, 0);
        for (const RideSample& s : ride.samples) {
            EXPECT_EQ(s.speed, 0.0);
            EXPECT_NEAR(s.vertical_g, s.up.y, 1e-12);
            EXPECT_NEAR(s.lateral_g, s.left.y, 1e-12);
            EXPECT_NEAR(s.longitudinal_g, s.front.y, 1e-12);
        }
    }
}

// Each sample lies k * 0.1 m along the ring measure the track table uses, at
// the parameter found on its chord sums, with the frame the table writes.
TEST(RideForces, SamplesLieOnTheTablesMeasureWithItsFrame) {
    const Track track = hills(CurveType::BSpline, 120.0);
    const RideAnalysis ride = analyse_ride(track, {true, true, 3.0});
    std::vector<MeasureSample> measure;
    measure_ring(track, measure);
    EXPECT_EQ(ride.summary.length_m, measure.back().distance);
    EXPECT_EQ(ride.samples.size(),
              static_cast<std::size_t>(std::ceil(measure.back().distance / 0.1)));
    std::size_t cursor = 0;
    for (std::size_t k = 0; k < ride.samples.size(); ++k) {
        const RideSample& s = ride.samples[k];
        ASSERT_EQ(s.distance, k * 0.1);
        ASSERT_EQ(s.u, ring_parameter_at(measure, k * 0.1, cursor));
        const Point3 front = track.tangent_at(s.u);
        const Point3 up = unit_up(front, track.up_at(s.u));
        ASSERT_EQ(s.front.x, front.x);
        ASSERT_EQ(s.front.y, front.y);
        ASSERT_EQ(s.up.x, up.x);
        ASSERT_EQ(s.up.z, up.z);
        ASSERT_EQ(s.left.y, cross(up, front).y);
        ASSERT_EQ(s.position.y, track.position_at(s.u).y);
        EXPECT_NEAR(distance_at(ride, s.u), s.distance, 1e-4); // u is a float
    }
    for (int i = 0; i < track.num_points(); ++i) {
        EXPECT_NEAR(ride.point_distances[i], distance_at(ride, static_cast<float>(i)), 1e-6);
        EXPECT_EQ(nearest_point(ride, ride.point_distances[i] + 0.01), i);
    }
}

} // namespace
