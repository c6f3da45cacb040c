// The frame layout against the same frame done query by query with the
// Track's own calls: equal bit for bit, with a third of the evaluations or
// fewer, forgetting nothing stale between frames and bounded on wild tracks.
#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <set>

#include <gtest/gtest.h>

#include "literal_frame.h"
#include "scene/frame_layout.h"
#include "track/evaluation_counter.h"
#include "track/track.h"
#include "track/track_test_support.h"

namespace {

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
        EXPECT_EQ(a.x, b.x);
        EXPECT_EQ(a.y, b.y);
        EXPECT_EQ(a.z, b.z);
        EXPECT_EQ(a.heading, b.heading);
        EXPECT_EQ(a.pitch, b.pitch);
        EXPECT_EQ(a.roll, b.roll);
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

TEST(FrameLayout, BenchSceneEqualsTheQueryByQueryFrameWithAThirdOfTheEvaluations) {
    Track track = literal_frame::bench_scene();
    auto layout = std::make_unique<FrameLayout>();
    EvaluationCounter evaluations;
    for (float car_u : {0.0f, 37.25f, 99.999f}) {
        SCOPED_TRACE(testing::Message() << "car_u " << car_u);
        evaluations.reset();
        layout->forget_track(); // a frame right after an edit: everything anew
        layout->build(track, car_u, 8);
        // The ride camera reads the track itself, as the literal frame does.
        const float ahead = track.advance(2.0, car_u);
        (void)track.position_at(car_u);
        (void)track.up_at(car_u);
        (void)track.position_at(ahead);
        (void)track.up_at(ahead);
        const std::uint64_t fast = evaluations.count();

        evaluations.reset();
        const literal_frame::Frame plain =
            literal_frame::build(track, car_u, 8, literal_frame::Walks{true});
        const std::uint64_t literal = evaluations.count();

        expect_same_frame(*layout, plain);
        expect_same_frame(*layout, literal_frame::build(track, car_u, 8));
        EXPECT_EQ(layout->rail_vertex_count(), 2000);
        EXPECT_EQ(layout->car_count(), 8);
        EXPECT_GT(layout->tie_count(), 60);
        EXPECT_LE(3 * fast, literal) << "fast " << fast << " literal " << literal;
    }
}

TEST(FrameLayout, RandomTracksEqualTheQueryByQueryFrame) {
    std::mt19937 rng(31337);
    auto layout = std::make_unique<FrameLayout>();
    for (int round = 0; round < 24; ++round) {
        const int n = std::uniform_int_distribution<int>(4, 100)(rng);
        const Track track = track_test::random_track(rng, {n, n});
        const int cars = 1 + round % 8;
        const float near_end = std::nextafter(static_cast<float>(n), 0.0f);
        const float car_us[] = {0.0f,
                                1e-6f,
                                0.004f,
                                std::uniform_real_distribution<float>(0.0f, n)(rng),
                                static_cast<float>(n - 0.003),
                                near_end};
        const float car_u = car_us[round % 6];
        SCOPED_TRACE(testing::Message()
                     << "type " << track.curve_type() << " tension " << track.tension() << " n "
                     << n << " cars " << cars << " car_u " << car_u);
        layout->build(track, car_u, cars);
        expect_same_frame(*layout, literal_frame::build(track, car_u, cars));
    }
}

TEST(FrameLayout, NextFrameShowsAMovedPointAndAChangedTrain) {
    Track track(CurveType::Cardinal);
    auto layout = std::make_unique<FrameLayout>();
    layout->build(track, 1.0f, 3);
    const Point3 rail_before = layout->left_rail()[30];
    const int ties_before = layout->tie_count();

    // Raise point 1 high: the curve near it changes, and so does its length.
    track.point(1).set_position(-2.5, 4.0, 2.501);
    track.point(1).roll = 40.0;
    layout->build(track, 1.0f, 3);
    expect_same_frame(*layout, literal_frame::build(track, 1.0f, 3));
    EXPECT_NE(layout->left_rail()[30].y, rail_before.y);
    EXPECT_NE(layout->tie_count(), ties_before);

    // Fewer cars and another curve type on the same track object.
    track.set_curve_type(CurveType::BSpline);
    layout->build(track, 2.5f, 1);
    expect_same_frame(*layout, literal_frame::build(track, 2.5f, 1));
    EXPECT_EQ(layout->car_count(), 1);
}

// Between frames that only move the train, the rails and ties stay; any
// change to what the curve reads lays them out again.
TEST(FrameLayout, KeepsRailsAndTiesOnlyWhileTheTrackIsUnchanged) {
    Track track = literal_frame::bench_scene();
    auto layout = std::make_unique<FrameLayout>();
    EvaluationCounter evaluations;
    layout->build(track, 10.0f, 8);
    const std::uint64_t first = evaluations.count();

    evaluations.reset();
    layout->build(track, 10.5f, 8);
    const std::uint64_t train_only = evaluations.count();
    expect_same_frame(*layout, literal_frame::build(track, 10.5f, 8));
    EXPECT_LT(4 * train_only, first);

    const auto check = [&](const char* what) {
        SCOPED_TRACE(what);
        layout->build(track, 10.5f, 8);
        expect_same_frame(*layout, literal_frame::build(track, 10.5f, 8));
    };
    track.point(3).roll += 1.0;
    check("roll");
    track.point(57).y += 0.25;
    check("height");
    track.set_tension(0.3f);
    check("tension");
    track.set_curve_type(CurveType::Bezier);
    check("curve type");
    track.bezier_handle(20).x += 0.5;
    check("handle");
    track.remove_point();
    check("point count");
}

// Every draw routine of a frame asks for the layout: asking again with the
// same track and train costs nothing, while a new car count or car_u is seen.
TEST(FrameLayout, RepeatedAsksOfOneFrameReuseItAndChangesAreSeen) {
    Track track = literal_frame::bench_scene();
    auto layout = std::make_unique<FrameLayout>();
    layout->build(track, 10.0f, 8);
    EvaluationCounter evaluations;
    layout->build(track, 10.0f, 8);
    EXPECT_EQ(evaluations.count(), 0u);

    layout->build(track, 10.0f, 3);
    EXPECT_EQ(layout->car_count(), 3);
    expect_same_frame(*layout, literal_frame::build(track, 10.0f, 3));
    layout->build(track, 11.0f, 3);
    expect_same_frame(*layout, literal_frame::build(track, 11.0f, 3));
}

// The walk overshoots every tie by up to a chord, so on many ordinary tracks
// (the default square among them) the last ties lie past the seam at u = 0;
// they are kept, as the plain frame draws them.
TEST(FrameLayout, TiesKeepTheirNumberOnOrdinaryTracks) {
    std::mt19937 rng(404);
    auto layout = std::make_unique<FrameLayout>();
    for (int round = 0; round < 30; ++round) {
        const int n = std::uniform_int_distribution<int>(4, 100)(rng);
        const Track track = track_test::random_track(rng, {n, n});
        layout->build(track, 0.0f, 1);
        const double wanted = std::trunc(track.length() / 0.65 - 0.25);
        EXPECT_EQ(layout->tie_count(), static_cast<int>(wanted))
            << "type " << track.curve_type() << " n " << n;
    }

    // 21.0173455 / 0.65 - 0.25 = 32.08: the 32nd tie's walk wraps to u = 0.005.
    const Track square(CurveType::Cardinal);
    layout->build(square, 0.0f, 1);
    ASSERT_EQ(layout->tie_count(), 32);
    EXPECT_LT(layout->ties()[31].u, layout->ties()[30].u);
    EXPECT_EQ(layout->ties()[31].u, square.advance(0.65, layout->ties()[30].u));
}

// On a ring thousands of units long every tie's walk is one 0.005 step, so
// the ties run round the whole walk grid and would then repeat it. Each grid
// sample keeps its tie, including the two that float drift near u = 100 adds
// to the 100 / 0.005 of the grid.
TEST(FrameLayout, LongRingHasATieOnEverySampleOfTheWalkGrid) {
    Track ring = literal_frame::bench_scene();
    for (int i = 0; i < ring.num_points(); ++i) {
        ControlPoint& p = ring.point(i);
        p.set_position(625 * p.x, p.y, 625 * p.z); // radius 5000
    }
    auto layout = std::make_unique<FrameLayout>();
    layout->build(ring, 0.0f, 1);
    std::set<float> laid;
    for (int k = 0; k < layout->tie_count(); ++k) {
        laid.insert(layout->ties()[k].u);
    }
    std::set<float> walked; // where the ties go without any bound
    const int wanted = static_cast<int>(ring.length() / 0.65 - 0.25);
    float u = 0.0f;
    for (int k = 0; k < wanted; ++k) {
        u = ring.advance(0.65, u);
        walked.insert(u);
    }
    EXPECT_EQ(laid.size(), walked.size());
    EXPECT_TRUE(std::includes(laid.begin(), laid.end(), walked.begin(), walked.end()));
}

TEST(FrameLayout, AFarFlungPointStillGivesAFiniteFrame) {
    auto layout = std::make_unique<FrameLayout>();
    Track track = literal_frame::bench_scene();
    // Unbounded this would be about 3e7 ties, each with its own walk.
    track.point(40).set_position(5e6, 3.0, -5e6);
    const literal_frame::Frame plain = literal_frame::build(track, 20.0f, 8);
    EXPECT_GT(plain.wanted_ties, 1e7);
    layout->build(track, 20.0f, 8);
    expect_same_frame(*layout, plain);
    EXPECT_EQ(layout->tie_count(), FrameLayout::kMaxTies);

    // Far enough that every chord across it overflows: still a finite frame.
    track.point(40).set_position(1e300, 3.0, 1e300);
    layout->build(track, 20.0f, 8);
    EXPECT_LE(layout->tie_count(), FrameLayout::kMaxTies);
    EXPECT_EQ(layout->car_count(), 8);

    // All points at one spot: no length, no ties, every car where the train is.
    Track collapsed(CurveType::Cardinal);
    for (int i = 0; i < 4; ++i) {
        collapsed.point(i).set_position(0.0, 1.0, 0.0);
    }
    layout->build(collapsed, 2.0f, 8);
    EXPECT_EQ(layout->tie_count(), 0);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(layout->cars()[i].u, 2.0f);
    }
}

} // namespace
