// The frame layout: worked rails, ties and cars on the default track, and the
// same frame done query by query on any track, bit for bit, with a third of
// the evaluations, nothing stale kept between frames and bounded work on wild
// tracks.
#include <cmath>
#include <memory>
#include <random>

#include <gtest/gtest.h>

#include "literal_frame.h"
#include "scene/frame_layout.h"
#include "track/evaluation_counter.h"
#include "track/track.h"
#include "track/track_test_support.h"

namespace {

using track_test::expect_near;
using track_test::expect_same;

void expect_same(const TrackPose& a, const TrackPose& b) {
    expect_same(a.position, b.position);
    EXPECT_EQ(a.heading, b.heading);
    EXPECT_EQ(a.pitch, b.pitch);
    EXPECT_EQ(a.roll, b.roll);
}

// Every array and value of the layout equals the plain frame's.
void expect_same_frame(const FrameLayout& layout, const literal_frame::Frame& f) {
    ASSERT_EQ(layout.rail_vertex_count(), static_cast<int>(f.left_rail.size()));
    for (int k = 0; k < layout.rail_vertex_count(); ++k) {
        SCOPED_TRACE(testing::Message() << "rail vertex " << k);
        expect_same(layout.left_rail()[k], f.left_rail[k]);
        expect_same(layout.right_rail()[k], f.right_rail[k]);
    }
    EXPECT_EQ(layout.track_length(), f.length);
    ASSERT_EQ(layout.tie_count(), static_cast<int>(f.ties.size()));
    for (int k = 0; k < layout.tie_count(); ++k) {
        SCOPED_TRACE(testing::Message() << "tie " << k);
        const TiePose& a = layout.ties()[k];
        const TiePose& b = f.ties[k];
        EXPECT_EQ(a.u, b.u);
        expect_same(Point3{a.x, a.y, a.z}, Point3{b.x, b.y, b.z});
        expect_same(TrackPose{{}, a.heading, a.pitch, a.roll}, {{}, b.heading, b.pitch, b.roll});
    }
    ASSERT_EQ(layout.car_count(), static_cast<int>(f.cars.size()));
    for (int i = 0; i < layout.car_count(); ++i) {
        SCOPED_TRACE(testing::Message() << "car " << i);
        const CarPose& a = layout.cars()[i];
        const CarPose& b = f.cars[i];
        EXPECT_EQ(a.u, b.u);
        EXPECT_EQ(a.front_u, b.front_u);
        EXPECT_EQ(a.rear_u, b.rear_u);
        expect_same(a.body, b.body);
        expect_same(a.front, b.front);
        expect_same(a.rear, b.rear);
    }
}

// Worked on the default square from its curve: the rails half a gauge of
// 0.375 either side at heading 0.0114562 (u = 0.5), the first tie 0.65 along
// and 0.1 below the level track, and two cars 2.2 apart from car_u = 2.0 with
// their wheel sets 0.7 before and behind each.
TEST(FrameLayout, WorkedRailsTiesAndCarsOnTheDefaultTrack) {
    const Track track(CurveType::Cardinal);
    auto layout = std::make_unique<FrameLayout>();
    layout->build(track, 2.0f, 2);
    ASSERT_EQ(layout->rail_vertex_count(), 80);
    expect_near(layout->left_rail()[10], -2.7506250, 1.0, 0.0005500);
    expect_near(layout->right_rail()[10], -3.5006250, 1.0, 0.0007000);

    // 21.0173455 / 0.65 - 0.25 = 32.08 ties; every walk overshoots its 0.65
    // a little, so the last one runs past the end onto u = 0 itself.
    ASSERT_EQ(layout->tie_count(), 32);
    const TiePose& first = layout->ties()[0];
    EXPECT_EQ(first.u, 0.159999982f);
    EXPECT_EQ(first.x, -2.83695292f);
    EXPECT_EQ(first.y, 0.9f);
    EXPECT_EQ(first.z, -1.92829859f);
    EXPECT_EQ(layout->ties()[1].u, 0.284999877f);
    EXPECT_EQ(layout->ties()[31].u, 0.0f);

    ASSERT_EQ(layout->car_count(), 2);
    EXPECT_EQ(layout->cars()[0].u, 2.0f);
    EXPECT_EQ(layout->cars()[0].front_u, 2.17000389f);
    EXPECT_EQ(layout->cars()[0].rear_u, 1.83000016f);
    EXPECT_EQ(layout->cars()[1].u, 1.56500041f);
    EXPECT_EQ(layout->cars()[1].front_u, 1.68500030f);
    expect_near(layout->cars()[1].front.position, 1.1254264, 1.0, 3.0398202);
}

TEST(FrameLayout, RandomTracksEqualTheQueryByQueryFrame) {
    std::mt19937 rng(31337);
    auto layout = std::make_unique<FrameLayout>();
    for (int round = 0; round < 24; ++round) {
        const Track track = track_test::random_track(rng);
        const int n = track.num_points();
        const int cars = 1 + round % 8;
        const float car_us[] = {0.0f,       1e-6f,
                                0.004f,     std::uniform_real_distribution<float>(0, n)(rng),
                                n - 0.003f, std::nextafter(static_cast<float>(n), 0.0f)};
        const float car_u = car_us[round % 6];
        SCOPED_TRACE(testing::Message() << "type " << track.curve_type() << " n " << n << " cars "
                                        << cars << " car_u " << car_u);
        layout->build(track, car_u, cars);
        expect_same_frame(*layout, literal_frame::build(track, car_u, cars));
    }
}

TEST(FrameLayout, BenchSceneWithAThirdOfTheEvaluations) {
    const Track track = literal_frame::bench_scene();
    auto layout = std::make_unique<FrameLayout>();
    EvaluationCounter evaluations;
    for (float car_u : {0.0f, 37.25f, 99.999f}) {
        evaluations.reset();
        layout->forget_track(); // a frame right after an edit: everything anew
        layout->build(track, car_u, 8);
        // The ride view reads the track itself, as the plain frame does.
        const float ahead = track.advance(2.0, car_u);
        track.up_at(car_u);
        track.up_at(ahead);
        const std::uint64_t fast = evaluations.count();
        evaluations.reset();
        const literal_frame::Frame plain = literal_frame::build(track, car_u, 8);
        EXPECT_LE(3 * fast, evaluations.count()) << "car_u " << car_u;
        expect_same_frame(*layout, plain);
    }
}

// Between frames that only move the train, the rails and ties stay; any change
// to what the curve reads lays them out again, and asking twice for the same
// frame costs nothing.
TEST(FrameLayout, SeesEveryChangeOfTheTrackOrTheTrain) {
    Track track = literal_frame::bench_scene();
    auto layout = std::make_unique<FrameLayout>();
    EvaluationCounter evaluations;
    layout->build(track, 10.0f, 8);
    const std::uint64_t first = evaluations.count();
    evaluations.reset();
    layout->build(track, 10.0f, 8);
    EXPECT_EQ(evaluations.count(), 0u);
    layout->build(track, 10.5f, 8);
    EXPECT_LT(4 * evaluations.count(), first);

    const auto check = [&](const char* what, float car_u, int cars) {
        SCOPED_TRACE(what);
        layout->build(track, car_u, cars);
        expect_same_frame(*layout, literal_frame::build(track, car_u, cars));
    };
    check("train moved", 10.5f, 8);
    check("fewer cars", 10.5f, 3);
    track.point(3).roll += 1.0;
    check("roll", 10.5f, 3);
    track.point(57).y += 0.25;
    check("height", 10.5f, 3);
    track.set_tension(0.3f);
    check("tension", 10.5f, 3);
    track.set_curve_type(CurveType::Bezier);
    check("curve type", 10.5f, 3);
    track.bezier_handle(20).x += 0.5;
    check("handle", 10.5f, 3);
    track.remove_point();
    check("point count", 11.0f, 3);
}

// On a ring thousands of units long, or with a point dragged far away, the
// wanted ties run into the tens of thousands or more, while each walk moves
// at least one sample of the walk grid: the ties stop at one per sample.
TEST(FrameLayout, WildTracksStopAtOneTiePerSampleOfTheWalkGrid) {
    Track long_ring = literal_frame::bench_scene();
    for (int i = 0; i < long_ring.num_points(); ++i) {
        ControlPoint& p = long_ring.point(i);
        p.set_position(625 * p.x, p.y, 625 * p.z); // radius 5000
    }
    Track far_point = literal_frame::bench_scene();
    far_point.point(40).set_position(5e6, 3.0, -5e6);
    Track far_square(CurveType::Cardinal);
    far_square.point(2).set_position(5e6, 1.0, 5e6);
    Track overflowing = far_point; // every chord across the far point is infinite
    overflowing.point(40).set_position(1e300, 3.0, 1e300);

    auto layout = std::make_unique<FrameLayout>();
    for (const Track* track : {&long_ring, &far_point, &far_square, &overflowing}) {
        const literal_frame::Frame plain = literal_frame::build(*track, 2.0f, 8);
        layout->build(*track, 2.0f, 8);
        EXPECT_EQ(layout->tie_count(), reference::lap_steps(track->num_points()));
        expect_same_frame(*layout, plain);
    }

    // All points at one spot: no length, no ties, every car where the train is.
    Track spot(CurveType::Cardinal);
    for (int i = 0; i < 4; ++i) {
        spot.point(i).set_position(0.0, 1.0, 0.0);
    }
    layout->build(spot, 2.0f, 8);
    EXPECT_EQ(layout->tie_count(), 0);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(layout->cars()[i].u, 2.0f);
    }
}

} // namespace
