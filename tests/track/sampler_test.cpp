// The cached queries against the Track's own: same doubles and floats, bit for
// bit, on random tracks of every kind, including the awkward parameters.
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "track/evaluation_counter.h"
#include "track/track.h"
#include "track/track_sampler.h"
#include "track_test_support.h"

namespace {

using track_test::expect_same;

void expect_same_float(float a, float b) {
    if (std::isnan(a)) {
        EXPECT_TRUE(std::isnan(b));
    } else {
        EXPECT_EQ(a, b);
    }
}

// Parameters inside the ring, on both walk grids, at its ends and outside it.
std::vector<float> probe_parameters(std::mt19937& rng, int n) {
    std::vector<float> us = {0.0f,
                             -0.0f,
                             1e-7f,
                             0.01f,
                             0.024f,
                             0.025f,
                             0.5f,
                             static_cast<float>(n - 0.001),
                             static_cast<float>(n - 0.02),
                             std::nextafter(static_cast<float>(n), 0.0f),
                             static_cast<float>(n),
                             static_cast<float>(n) + 0.3f,
                             -0.3f,
                             -3.0f * n,
                             1e9f,
                             std::numeric_limits<float>::quiet_NaN(),
                             std::numeric_limits<float>::infinity()};
    std::uniform_real_distribution<float> inside(0.0f, static_cast<float>(n));
    for (int k = 0; k < 12; ++k) {
        us.push_back(inside(rng));
    }
    return us;
}

TEST(TrackSampler, EveryQueryMatchesTheTrackBitForBit) {
    std::mt19937 rng(20240611);
    TrackSampler sampler;
    for (int round = 0; round < 40; ++round) {
        const int n = std::uniform_int_distribution<int>(4, 100)(rng);
        const Track track = track_test::random_track(rng, {n, n});
        sampler.begin_frame(track);
        for (float u : probe_parameters(rng, n)) {
            SCOPED_TRACE(testing::Message()
                         << "type " << track.curve_type() << " n " << n << " u " << u);
            // Twice: the second answer comes from the cache.
            for (int pass = 0; pass < 2; ++pass) {
                expect_same(sampler.position_at(u), track.position_at(u));
                expect_same(sampler.tangent_at(u), track.tangent_at(u));
                expect_same(sampler.side_at(u), track.side_at(u));
                expect_same(sampler.up_at(u), track.up_at(u));
                EXPECT_EQ(sampler.heading_at(u), track.heading_at(u));
                EXPECT_EQ(sampler.pitch_at(u), track.pitch_at(u));
                EXPECT_EQ(sampler.roll_at(u), track.roll_at(u));
                const TrackSampler::Orientation o = sampler.orientation_at(u);
                EXPECT_EQ(o.heading, track.heading_at(u));
                EXPECT_EQ(o.pitch, track.pitch_at(u));
                EXPECT_EQ(o.roll, track.roll_at(u));
                expect_same(sampler.up_from(o), track.up_at(u));
            }
        }
        EXPECT_EQ(sampler.length(), track.length());
    }
}

// Tracks that reach the frame's special branches: vertical and axis-parallel
// tangents, coincident samples, banks at and beyond 90 degrees, coordinates
// whose squares underflow or overflow.
TEST(TrackSampler, SpecialTangentsAndBanksMatchTheTrack) {
    struct Case {
        const char* name;
        double p[4][4]; // x, y, z, roll
        CurveType type;
    };
    const Case cases[] = {
        {"vertical",
         {{0, 0, 0, 0}, {0, 5, 0, 90}, {3, 5, 0, -90}, {3, 0, 0, 120}},
         CurveType::Linear},
        {"along x",
         {{0, 1, 0, 0}, {4, 1, 0, 45}, {4, 1, 4, -135}, {0, 1, 4, 180}},
         CurveType::Linear},
        {"coincident",
         {{1, 1, 1, 0}, {1, 1, 1, 0}, {1, 1, 1, 90}, {2, 1, 1, 0}},
         CurveType::Cardinal},
        {"tiny",
         {{0, 0, 0, 0}, {1e-170, 0, 0, 0}, {1e-170, 0, 1e-170, 0}, {0, 0, 1e-170, 0}},
         CurveType::BSpline},
        {"huge",
         {{0, 0, 0, 0}, {1e160, 0, 0, 0}, {1e160, 0, 1e160, 0}, {0, 0, 1e160, 0}},
         CurveType::Bezier},
        // Differences whose squares fall below the normal range.
        {"near tiny",
         {{0, 0, 0, 0}, {3e-154, 1e-155, 0, 0}, {3e-154, 0, 7e-154, 0}, {0, 0, 3e-154, 0}},
         CurveType::Cardinal},
    };
    TrackSampler sampler;
    for (const Case& c : cases) {
        Track track(c.type);
        for (int i = 0; i < 4; ++i) {
            track.point(i).set_position(c.p[i][0], c.p[i][1], c.p[i][2]);
            track.point(i).roll = c.p[i][3];
        }
        track.make_handles();
        sampler.begin_frame(track);
        for (int k = 0; k <= 80; ++k) {
            const float u = static_cast<float>(k * 0.05);
            SCOPED_TRACE(testing::Message() << c.name << " u " << u);
            expect_same(sampler.tangent_at(u), track.tangent_at(u));
            expect_same(sampler.side_at(u), track.side_at(u));
            expect_same(sampler.up_at(u), track.up_at(u));
            EXPECT_EQ(sampler.heading_at(u), track.heading_at(u));
            EXPECT_EQ(sampler.pitch_at(u), track.pitch_at(u));
            expect_same_float(sampler.advance(0.65, u), track.advance(0.65, u));
        }
    }
}

TEST(TrackSampler, AdvanceMatchesTheTrackInBothDirectionsAndPastTheSeam) {
    std::mt19937 rng(77);
    TrackSampler sampler;
    const double distances[] = {0.01,
                                -0.01,
                                0.65,
                                -0.7,
                                2.2,
                                -15.4,
                                25.0,
                                -60.0,
                                0.0,
                                -0.0,
                                std::numeric_limits<double>::infinity(),
                                std::numeric_limits<double>::quiet_NaN()};
    for (int round = 0; round < 12; ++round) {
        const int n = std::uniform_int_distribution<int>(4, 100)(rng);
        const Track track = track_test::random_track(rng, {n, n});
        sampler.begin_frame(track);
        for (float u : probe_parameters(rng, n)) {
            for (double d : distances) {
                SCOPED_TRACE(testing::Message() << "n " << n << " u " << u << " d " << d);
                expect_same_float(sampler.advance(d, u), track.advance(d, u));
            }
        }
    }
}

// The ties' chain of walks: each result and the position handed on are those
// of advance and position_at, also when the chain wraps past the seam or
// starts off the ring.
TEST(TrackSampler, ChainedWalksHandOnTheEndPosition) {
    std::mt19937 rng(99);
    TrackSampler sampler;
    for (int round = 0; round < 8; ++round) {
        const int n = std::uniform_int_distribution<int>(4, 30)(rng);
        const Track track = track_test::random_track(rng, {n, n});
        sampler.begin_frame(track);
        for (float start : {0.0f, static_cast<float>(n) + 0.25f, -1.5f}) {
            float u = start;
            Point3 at = track.position_at(u);
            for (int k = 0; k < 400; ++k) {
                const float expected = track.advance(k % 3 == 2 ? -0.4 : 0.65, u);
                u = sampler.advance_along(k % 3 == 2 ? -0.4 : 0.65, u, at);
                ASSERT_EQ(u, expected) << "n " << n << " walk " << k;
                expect_same(at, track.position_at(u));
            }
        }
    }
}

// The cars' parameters: one walk per direction must give what one walk per
// distance gives, whatever the order, sign mix or repeats of the distances.
TEST(TrackSampler, AdvanceAllEqualsOneAdvancePerDistance) {
    std::mt19937 rng(5);
    TrackSampler sampler;
    for (int round = 0; round < 20; ++round) {
        const int n = std::uniform_int_distribution<int>(4, 100)(rng);
        const Track track = track_test::random_track(rng, {n, n});
        sampler.begin_frame(track);
        std::vector<double> d = {-0.0, -2.2, -4.4, -6.6, -8.8, -11.0, -13.2, -15.4};
        if (round % 2 == 1) {
            d = {3.0,
                 -15.4,
                 0.7,
                 -2.2,
                 0.0,
                 -2.2,
                 40.0,
                 -0.7,
                 0.005,
                 -1e-9,
                 std::numeric_limits<double>::quiet_NaN(),
                 -0.7,
                 2.0,
                 -8.8,
                 1.5,
                 -3.3,
                 9.0,
                 -100.0};
        }
        for (float u : probe_parameters(rng, n)) {
            std::vector<float> out(d.size(), -1.0f);
            sampler.advance_all(d.data(), static_cast<int>(d.size()), u, out.data());
            for (std::size_t k = 0; k < d.size(); ++k) {
                SCOPED_TRACE(testing::Message() << "n " << n << " u " << u << " d " << d[k]);
                expect_same_float(out[k], track.advance(d[k], u));
            }
        }
    }
}

// Walks that go round the ring many times, or cannot move at all, meet the
// track's guards; the shared walk must hand those over unchanged.
TEST(TrackSampler, LongAndDegenerateWalksMatchTheTrack) {
    Track tiny(CurveType::Cardinal);
    const double corners[4][2] = {{-0.2, -0.2}, {-0.2, 0.2}, {0.2, 0.2}, {0.2, -0.2}};
    for (int i = 0; i < 4; ++i) {
        tiny.point(i).set_position(corners[i][0], 1.0, corners[i][1]);
    }
    Track collapsed(CurveType::Bezier);
    for (int i = 0; i < 4; ++i) {
        collapsed.point(i).set_position(1.0, 2.0, 3.0);
    }
    collapsed.make_handles();

    TrackSampler sampler;
    const double d[] = {-2.2, -15.4, 0.7, 500.0, -1000.0, 12.0};
    const int count = 6;
    for (const Track* track : {&tiny, &collapsed}) {
        sampler.begin_frame(*track);
        for (float u : {0.0f, 1.3f, 3.999f}) {
            float out[count];
            sampler.advance_all(d, count, u, out);
            for (int k = 0; k < count; ++k) {
                SCOPED_TRACE(testing::Message() << "u " << u << " d " << d[k]);
                const float expected = track->advance(d[k], u);
                EXPECT_EQ(out[k], expected);
                EXPECT_EQ(sampler.advance(d[k], u), expected);
            }
        }
    }
    // The collapsed track has nowhere to go: every walk stays put.
    sampler.begin_frame(collapsed);
    EXPECT_EQ(sampler.advance(-2.2, 1.3f), 1.3f);
}

TEST(TrackSampler, EvaluatesEachParameterOncePerFrameAndForgetsBetweenFrames) {
    Track track(CurveType::Cardinal);
    TrackSampler sampler;
    sampler.begin_frame(track);
    EvaluationCounter evaluations;
    const Point3 first = sampler.position_at(0.5f);
    sampler.position_at(0.5f);
    sampler.position_at(0.5f);
    EXPECT_EQ(evaluations.count(), 1u);
    // -0.0 is another parameter to the cache (other bits), the same point.
    expect_same(sampler.position_at(-0.0f), track.position_at(0.0f));
    EXPECT_EQ(evaluations.count(), 3u);

    // A moved point shows up as soon as the next frame begins.
    track.point(1).set_position(-2.5, 3.0, 2.501);
    sampler.begin_frame(track);
    const Point3 moved = sampler.position_at(0.5f);
    expect_same(moved, track.position_at(0.5f));
    EXPECT_NE(moved.y, first.y);
    EXPECT_EQ(evaluations.count(), 5u);
}

} // namespace
