// The ride as the animation rides it and as the figures report it: the
// on-screen lap against the analysed lap, level banking over the whole ride,
// honest figures at vertical fronts, airtime worked out by hand, a small
// corner, and the refusals.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "analysis/ride_analysis.h"
#include "analysis/ride_test_designs.h"
#include "scene/ranges.h"
#include "scene/scene.h"

namespace {

using namespace ride_test;

// 100 Cardinal points round a circle of radius r in the vertical x-y plane,
// centred at height r + 1; point 0 at the bottom. Points in the top half are
// banked `top_roll` degrees, the two at the sides `side_roll`, the rest 0.
Track vertical_circle(double r, double top_roll, double side_roll = 0.0) {
    std::vector<ControlPoint> points;
    for (int i = 0; i < Track::kMaxPoints; ++i) {
        const double a = 2 * kPi * i / Track::kMaxPoints;
        const double y = -std::cos(a);
        const double roll = y > 1e-9 ? top_roll : y > -1e-9 ? side_roll : 0.0;
        points.emplace_back(r * std::sin(a), r + 1 + r * y, 0.0, roll);
    }
    return track_through(CurveType::Cardinal, points);
}

// Two turns of radius 12 climbing 8 m and coming back down, on 100 points.
Track helix() {
    std::vector<ControlPoint> points;
    for (int i = 0; i < Track::kMaxPoints; ++i) {
        const double a = 4 * kPi * i / Track::kMaxPoints;
        const double rise = std::sin(kPi * i / Track::kMaxPoints);
        points.emplace_back((12 + 4 * rise) * std::cos(a), 2 + 8 * rise,
                            (12 + 4 * rise) * std::sin(a));
    }
    return track_through(CurveType::Cardinal, points);
}

// A level ring of radius 30 with one hill 8 m high: at 10 m/s over its crest
// the riders leave their seats.
Track airtime_hill() {
    std::vector<ControlPoint> points;
    for (int i = 0; i < 60; ++i) {
        const double a = 2 * kPi * i / 60;
        const double bump = std::exp(-std::pow((a - kPi) / 0.35, 2));
        points.emplace_back(30 * std::cos(a), 2 + 8 * bump, 30 * std::sin(a));
    }
    return track_through(CurveType::Cardinal, points);
}

// The time the animation takes for one lap from u = 0, with the last step's
// share of a step counted by the distance it covered past the start.
double lap_on_screen(const Track& track, const SpeedModel& model) {
    Scene scene;
    int now = 0;
    scene.set_clock([&now] { return now; });
    scene.replace_track(track);
    scene.set_constant_velocity(model.constant_velocity);
    scene.set_conserve_energy(model.conserve_energy);
    scene.set_velocity(model.velocity / kVelocitySliderScale);
    scene.set_physics(true);
    scene.restart_train();
    scene.toggle_animation();
    const RideAnalysis ride = analyse_ride(track, model);
    double before = 0.0;
    for (long steps = 1; steps < 10'000'000; ++steps) {
        now += Scene::kStepMs;
        EXPECT_TRUE(scene.step());
        const double after = distance_at(ride, scene.train().car_u);
        if (after < before) { // past the start
            const double ring = ride.summary.length_m;
            const double share = (ring - before) / (ring - before + after);
            return (steps - 1 + share) * kStepSeconds;
        }
        before = after;
    }
    return HUGE_VAL;
}

TEST(RidePhysics, OneLapOnScreenTakesTheAnalysedLapTime) {
    struct Row {
        const char* name;
        Track track;
        SpeedModel model;
    };
    const Row rows[] = {
        {"frictionless hills", hills(), {true, true, 3.0}},
        {"frictionless hill, slow crest", airtime_hill(), {true, true, 0.5}},
        {"powered helix", helix(), {true, false, 12.0}},
        {"powered circle", circle(15.0, true), {true, false, 30.0}},
        {"parameter rate", hills(CurveType::BSpline), {false, true, 3.0}},
    };
    for (const Row& row : rows) {
        const RideAnalysis ride = analyse_ride(row.track, row.model);
        ASSERT_TRUE(ride.summary.lap_time_s) << row.name;
        EXPECT_NEAR(lap_on_screen(row.track, row.model) / *ride.summary.lap_time_s, 1.0, 0.01)
            << row.name;
    }
}

TEST(RidePhysics, WithoutPhysicsTheAnimationKeepsTheControlsRule) {
    Scene plain;
    Scene physical;
    for (Scene* s : {&plain, &physical}) {
        s->set_clock([] { return 1000; });
        s->replace_track(hills());
        s->toggle_animation();
    }
    physical.set_physics(true);
    plain.step();
    physical.step();
    // The controls' rule moves 0.1 m a step; the physical train moves at
    // 3 m/s or more, 0.102 m a step at least.
    EXPECT_NE(plain.train().car_u, physical.train().car_u);
    EXPECT_EQ(plain.train().car_u, plain.track().advance(0.1, 0.0f));
}

TEST(RidePhysics, TheSpeedFollowsEditsOfTheTrackWhileTheTrainRuns) {
    // The first step's distance from the start, on `track`, in one scene
    // that has already ridden `before` (so it has found that ring's highest).
    const auto first_step = [](const Track& before, const Track& track) {
        Scene scene;
        int now = 0;
        scene.set_clock([&now] { return now; });
        scene.replace_track(before);
        scene.set_physics(true);
        scene.toggle_animation();
        now += Scene::kStepMs;
        scene.step();
        scene.replace_track(track);
        scene.restart_train();
        now += Scene::kStepMs;
        scene.step();
        return distance_at(analyse_ride(track, {true, true, 3.0}), scene.train().car_u);
    };
    const Track start = airtime_hill(); // the train starts at its lowest, 8 m below the crest
    Track raised = start;               // the whole ring 10 m up: the same ride
    for (int i = 0; i < raised.num_points(); ++i) {
        raised.point(i).y += 10.0;
    }
    Track lower_crest = start; // the crest 4 m lower: a slower start
    lower_crest.point(30).y -= 4.0;
    const double fresh = first_step(start, start);
    EXPECT_NEAR(fresh,
                frictionless_speed(3.0,
                                   analyse_ride(start, {true, true, 3.0}).summary.highest.value,
                                   start.position_at(0.0f).y) *
                    kStepSeconds,
                1e-3);
    EXPECT_NEAR(first_step(start, raised), fresh, 1e-6);
    EXPECT_LT(first_step(start, lower_crest), fresh - 0.01);
}

// The largest |lateral G| over the ring and at the points, and the inversions.
struct Figures {
    double lateral;
    int inversions;
};
Figures figures(const Track& track, const SpeedModel& model) {
    const RideAnalysis ride = analyse_ride(track, model);
    return {std::abs(ride.summary.lateral_max_abs.value), ride.summary.inversions};
}

TEST(RidePhysics, LevelBankingLevelsTheWholeRideAndKeepsRidersUpright) {
    struct Row {
        const char* name;
        Track track;
        SpeedModel model;
        double share_left; // of the largest |lateral G|, what banking may leave (+ 0.02 g)
    };
    const Row rows[] = {
        {"level circle", circle(20.0, true), {true, false, 12.0}, 0.0},
        {"banked the wrong way", circle(20.0, false, 40.0), {true, false, 12.0}, 0.0},
        {"helix", helix(), {true, true, 6.0}, 0.55},
        {"airtime hill", airtime_hill(), {true, true, 10.0}, 0.5},
        {"inverted circle stays inverted", circle(20.0, false, 170.0), {true, false, 12.0}, 0.0},
    };
    for (const Row& row : rows) {
        Track track = row.track;
        const Figures before = figures(track, row.model);
        const RideAnalysis tilted = analyse_ride(track, row.model);
        const std::vector<double> rolls = level_banking(track, row.model);
        ASSERT_EQ(rolls.size(), static_cast<std::size_t>(track.num_points())) << row.name;
        for (int i = 0; i < track.num_points(); ++i) {
            const double was = track.point(i).roll;
            EXPECT_EQ(std::abs(was) > 90, std::abs(rolls[i]) > 90) << row.name << " point " << i;
            EXPECT_LE(std::abs(rolls[i]), 180.0) << row.name;
            track.point(i).roll = rolls[i];
        }
        const Figures after = figures(track, row.model);
        EXPECT_LE(after.lateral, row.share_left * before.lateral + 0.02)
            << row.name << ", was " << before.lateral;
        EXPECT_LE(after.lateral, before.lateral + 1e-9) << row.name;
        EXPECT_LE(after.inversions, before.inversions) << row.name;
        // A crest ridden in airtime stays so: banking turns the car about its
        // front, never over.
        const RideAnalysis level = analyse_ride(track, row.model);
        ASSERT_EQ(level.samples.size(), tilted.samples.size());
        for (std::size_t k = 0; k < level.samples.size(); ++k) {
            if (tilted.samples[k].vertical_g < -0.05) {
                EXPECT_LT(level.samples[k].vertical_g, 0.0) << row.name << " at sample " << k;
            }
        }
    }
}

TEST(RidePhysics, AirtimeOverTheTopOfAVerticalCircleIsAsWorkedOutByHand) {
    // Riding round the outside of the top half at a steady v, the riders feel
    // g n.y - v^2 / r along the outward normal n: below 0 g wherever n is
    // less than asin(k) above the horizontal, k = v^2 / (g r). Over the
    // bottom half the car's up is the inward normal and they are pressed
    // down. So the time below 0 g is 2 asin(k) r / v.
    const double r = 10.0;
    for (const double k : {0.25, 0.5, 0.8}) {
        const double v = std::sqrt(k * kGravity * r);
        const RideAnalysis ride = analyse_ride(vertical_circle(r, 0.0), {true, false, v});
        EXPECT_NEAR(ride.summary.airtime_s, 2 * std::asin(k) * r / v, 0.03) << "k " << k;
    }
}

TEST(RidePhysics, ALoopsSummaryReportsOnlyWhatItsSamplesComeCloseTo) {
    // Banked 180 degrees over the top, the riders sit inside the loop; at its
    // two sides the front is exactly vertical and the bank turns nothing.
    for (const double speed : {12.0, 16.0})
        for (const double side_roll : {0.0, 90.0, 180.0}) {
            const RideAnalysis ride =
                analyse_ride(vertical_circle(8.0, 180.0, side_roll), {true, false, speed});
            double low = HUGE_VAL;
            double high = -HUGE_VAL;
            for (const RideSample& s : ride.samples) {
                if (!s.at_corner) {
                    low = std::min(low, s.vertical_g);
                    high = std::max(high, s.vertical_g);
                }
            }
            EXPECT_NEAR(ride.summary.vertical_min.value, low, 0.05) << speed << " " << side_roll;
            EXPECT_NEAR(ride.summary.vertical_max.value, high, 0.05) << speed << " " << side_roll;
        }
}

// A Bezier bean of eight points whose handles stand in line with each point
// (a segment leaves its point at a third of the pace its first handle sets,
// so that handle stands farther out): smooth all round.
Track bezier_in_line() {
    std::vector<ControlPoint> points;
    for (int i = 0; i < 8; ++i) {
        const double a = 2 * kPi * i / 8;
        points.emplace_back(-0.6 + 3.2 * std::cos(a) - 0.8 * std::cos(2 * a),
                            3.0 - 1.8 * std::cos(a) + 0.9 * std::sin(2 * a),
                            4.3 * std::sin(a) - 0.6 * std::sin(2 * a));
    }
    Track track = track_through(CurveType::Bezier, points);
    const int n = track.num_points();
    for (int i = 0; i < n; ++i) {
        const Point3 p = track.point(i).position();
        const Point3 before = track.point((i + n - 1) % n).position();
        const Point3 after = track.point((i + 1) % n).position();
        const Point3 d = (after - before) / length(after - before);
        const double reach = 0.3 * (length(after - p) + length(p - before));
        track.bezier_handle(2 * i) = ControlPoint(p + 2.5 * reach * d);
        track.bezier_handle((2 * i + 2 * n - 1) % (2 * n)) = ControlPoint(p - reach * d);
    }
    return track;
}

TEST(RidePhysics, ASmallKinkFromHandlesSlightlyOutOfLineIsACorner) {
    ASSERT_TRUE(analyse_ride(bezier_in_line(), {true, false, 5.0}).corners.empty());
    for (const double degrees : {2.0, 5.0, -3.0}) {
        // The handle leaving point 3 turned `degrees` about the axis across
        // both of the point's handle directions' plane with the vertical:
        // the direction leaving the point turns by that angle.
        Track track = bezier_in_line();
        const Point3 p = track.point(3).position();
        const Point3 d = track.bezier_handle(6).position() - p;
        const double a = degrees * kPi / 180;
        const Point3 side =
            cross(d, Point3{0.0, 1.0, 0.0}) / length(cross(d, Point3{0.0, 1.0, 0.0}));
        track.bezier_handle(6) = ControlPoint(p + std::cos(a) * d + std::sin(a) * length(d) * side);
        const RideAnalysis ride = analyse_ride(track, {true, false, 5.0});
        ASSERT_EQ(ride.corners.size(), 1u) << degrees;
        EXPECT_EQ(ride.corners[0].nearest_point, 3);
        EXPECT_NEAR(ride.corners[0].angle_degrees, std::abs(degrees), 1e-6);
    }
}

TEST(RidePhysics, RidesPastWhatTheFiguresHoldAreRefused) {
    struct Row {
        const char* name;
        Track track;
        SpeedModel model;
        RideRefusal refusal;
        const char* phrase;
    };
    const Row rows[] = {
        {"huge powered speed",
         hills(),
         {true, false, 1e155},
         RideRefusal::speed_too_large,
         "the speed is too large to analyse"},
        {"huge crest speed",
         hills(),
         {true, true, 1e155},
         RideRefusal::speed_too_large,
         "the speed is too large to analyse"},
        {"a crawl",
         hills(),
         {true, false, 1e-320},
         RideRefusal::speed_too_small,
         "the speed is too small to analyse"},
        {"circle of radius 1e160",
         circle(1e160, true),
         {true, false, 3.0},
         RideRefusal::track_too_large,
         "the track is too large to measure"},
        {"coordinates near 1e307",
         circle(1e307, false),
         {true, true, 3.0},
         RideRefusal::track_too_large,
         "the track is too large to measure"},
        {"an ordinary ride", hills(), {true, true, 3.0}, RideRefusal::none, ""},
    };
    for (const Row& row : rows) {
        const RideAnalysis ride = analyse_ride(row.track, row.model);
        EXPECT_EQ(ride.refusal, row.refusal) << row.name;
        EXPECT_EQ(std::string(refusal_phrase(ride.refusal)), row.phrase) << row.name;
        EXPECT_EQ(ride.samples.empty(), row.refusal != RideRefusal::none) << row.name;
        if (row.refusal != RideRefusal::none) {
            EXPECT_EQ(ride.summary.length_m, 0.0) << row.name;
            EXPECT_FALSE(ride.summary.lap_time_s) << row.name;
            EXPECT_TRUE(level_banking(row.track, row.model).empty()) << row.name;
        }
    }
}

} // namespace
