// The ride as the animation rides it and as the figures report it: the
// on-screen lap against the analysed lap, level banking over the whole ride,
// honest figures at vertical fronts, airtime worked out by hand, a small
// corner, and the refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "analysis/lap_on_screen.h"
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

// Each ride's lap on screen takes the analysed lap time, and banking for level
// riding leaves at most a share of its largest sideways force. Banking keeps
// each point on its side of a quarter turn, never worsens the ride and adds
// no inversion: RideShape's level banking test holds it to that.
TEST(RidePhysics, EachRideLapsOnScreenAsAnalysedAndBanksLevel) {
    struct Row {
        const char* name;
        Track track;
        SpeedModel model;
        double share_left; // of the largest |lateral G|, what banking may leave (+ 0.02 g)
    };
    const Row rows[] = {
        {"frictionless hills", hills(), {true, true, 3.0}, 1.0},
        {"frictionless hill, slow crest", airtime_hill(), {true, true, 0.5}, 1.0},
        {"airtime hill", airtime_hill(), {true, true, 10.0}, 0.5},
        {"frictionless helix", helix(), {true, true, 6.0}, 0.55},
        {"powered circle", circle(15.0, true), {true, false, 30.0}, 1.0},
        {"level circle", circle(20.0, true), {true, false, 12.0}, 0.0},
        {"banked the wrong way", circle(20.0, false, 40.0), {true, false, 12.0}, 0.0},
        {"inverted circle stays inverted", circle(20.0, false, 170.0), {true, false, 12.0}, 0.0},
        {"parameter rate", hills(CurveType::BSpline), {false, true, 3.0}, 1.0},
    };
    for (const Row& row : rows) {
        const RideAnalysis tilted = analyse_ride(row.track, row.model);
        expect_lap_on_screen_as_analysed(
            [&row](Scene& scene) {
                scene.replace_track(row.track);
                scene.set_constant_velocity(row.model.constant_velocity);
                scene.set_conserve_energy(row.model.conserve_energy);
                scene.set_velocity(row.model.velocity / kVelocitySliderScale);
                scene.set_physics(true);
            },
            tilted, row.name);
        Track track = row.track;
        const std::vector<double> rolls = level_banking(track, row.model);
        for (int i = 0; i < track.num_points(); ++i) {
            track.point(i).roll = rolls[i];
        }
        const RideAnalysis level = analyse_ride(track, row.model);
        EXPECT_LE(std::abs(level.summary.lateral_max_abs.value),
                  row.share_left * std::abs(tilted.summary.lateral_max_abs.value) + 0.02)
            << row.name << ", was " << tilted.summary.lateral_max_abs.value;
        // A crest ridden in airtime stays so: banking turns the car about its
        // front, never over.
        ASSERT_EQ(level.samples.size(), tilted.samples.size());
        for (std::size_t k = 0; k < level.samples.size(); ++k) {
            if (tilted.samples[k].vertical_g < -0.05) {
                EXPECT_LT(level.samples[k].vertical_g, 0.0) << row.name << " at sample " << k;
            }
        }
    }
}

TEST(RidePhysics, TheSpeedFollowsEditsOfTheTrackWhileTheTrainRuns) {
    // A train that has ridden the airtime hill (its scene has found that
    // ring's highest) starts again on an edited ring: its first step is at
    // the frictionless speed from the edited ring's own highest.
    const Track start = airtime_hill();
    Track raised = start; // the whole ring 10 m up: the same ride
    for (int i = 0; i < raised.num_points(); ++i) {
        raised.point(i).y += 10.0;
    }
    Track lower_crest = start; // the crest 4 m lower: a slower start
    lower_crest.point(30).y -= 4.0;
    for (const Track& track : {start, raised, lower_crest}) {
        Scene scene;
        int now = 0;
        scene.set_clock([&now] { return now; });
        scene.set_physics(true);
        scene.toggle_animation();
        for (const Track* ridden : {&start, &track}) {
            scene.replace_track(*ridden);
            scene.restart_train();
            now += Scene::kStepMs;
            scene.step();
        }
        const RideAnalysis ride = analyse_ride(track, {true, true, 3.0});
        EXPECT_NEAR(distance_at(ride, scene.train().car_u),
                    frictionless_speed(3.0, ride.summary.highest.value, track.position_at(0.0f).y) *
                        kStepSeconds,
                    1e-3)
            << "highest " << ride.summary.highest.value;
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
    for (const double speed : {12.0, 16.0}) {
        for (const double side_roll : {0.0, 90.0, 180.0}) {
            const RideAnalysis ride =
                analyse_ride(vertical_circle(8.0, 180.0, side_roll), {true, false, speed});
            const auto [low, high] =
                std::minmax_element(ride.samples.begin(), ride.samples.end(),
                                    [](const RideSample& a, const RideSample& b) {
                                        return a.vertical_g < b.vertical_g;
                                    });
            EXPECT_NEAR(ride.summary.vertical_min.value, low->vertical_g, 0.05) << side_roll;
            EXPECT_NEAR(ride.summary.vertical_max.value, high->vertical_g, 0.05) << side_roll;
        }
    }
}

// Eight points round a level circle of radius 4 as a Bezier curve, each
// point's handles in line along the circle (the leaving one farther out, as
// a segment leaves its point at a third of the pace that handle sets):
// smooth all round.
Track bezier_in_line() {
    std::vector<ControlPoint> points;
    for (int i = 0; i < 8; ++i) {
        points.emplace_back(4 * std::cos(kPi * i / 4), 2.0, 4 * std::sin(kPi * i / 4));
    }
    Track track = track_through(CurveType::Bezier, points);
    for (int i = 0; i < 8; ++i) {
        const Point3 p = track.point(i).position();
        const Point3 d{-1.5 * std::sin(kPi * i / 4), 0.0, 1.5 * std::cos(kPi * i / 4)};
        track.bezier_handle(2 * i) = ControlPoint(p + 2.5 * d);
        track.bezier_handle((2 * i + 15) % 16) = ControlPoint(p - d);
    }
    return track;
}

TEST(RidePhysics, ASmallKinkFromHandlesSlightlyOutOfLineIsACorner) {
    ASSERT_TRUE(analyse_ride(bezier_in_line(), {true, false, 5.0}).corners.empty());
    for (const double degrees : {2.0, 5.0, -3.0}) {
        // The handle leaving point 3 turned `degrees` in the level plane:
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
    // What each refusal says is held to by the command-line test.
    struct Row {
        const char* name;
        Track track;
        SpeedModel model;
        RideRefusal refusal;
    };
    const Row rows[] = {
        {"huge powered speed", hills(), {true, false, 1e155}, RideRefusal::speed_too_large},
        {"huge crest speed", hills(), {true, true, 1e155}, RideRefusal::speed_too_large},
        {"a crawl", hills(), {true, false, 1e-320}, RideRefusal::speed_too_small},
        {"radius 1e160", circle(1e160, true), {true, false, 3.0}, RideRefusal::track_too_large},
        {"coordinates near 1e307",
         circle(1e307, false),
         {true, true, 3.0},
         RideRefusal::track_too_large},
        {"an ordinary ride", hills(), {true, true, 3.0}, RideRefusal::none},
        // Released at the crest with next to no speed, a frictionless train
        // still rides: its figures are those of a start from rest.
        {"a crawl over the crest", hills(), {true, true, 1e-320}, RideRefusal::none},
    };
    for (const Row& row : rows) {
        const RideAnalysis ride = analyse_ride(row.track, row.model);
        const bool refused = row.refusal != RideRefusal::none;
        EXPECT_EQ(ride.refusal, row.refusal) << row.name;
        EXPECT_EQ(ride.samples.empty(), refused) << row.name;
        EXPECT_EQ(ride.summary.length_m == 0.0 && !ride.summary.lap_time_s &&
                      level_banking(row.track, row.model).empty(),
                  refused)
            << row.name;
    }
    const RideSummary rest = analyse_ride(hills(), {true, true, 1e-300}).summary;
    const RideSummary crawl = analyse_ride(hills(), {true, true, 1e-320}).summary;
    EXPECT_NEAR(crawl.vertical_max.value, rest.vertical_max.value, 1e-9);
    EXPECT_NEAR(crawl.longitudinal_max.value, 0.0, 1e-9);
}

} // namespace
