// The cached queries against the Track's own: the same doubles and floats, bit
// for bit, on random and awkward tracks, at awkward parameters and distances.
#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "track/evaluation_counter.h"
#include "track/track.h"
#include "track/track_sampler.h"
#include "track_test_support.h"

namespace {

using track_test::expect_same;

constexpr float kNaNf = std::numeric_limits<float>::quiet_NaN();

void expect_same_float(float a, float b) {
    if (std::isnan(b)) {
        EXPECT_TRUE(std::isnan(a));
    } else {
        EXPECT_EQ(a, b);
    }
}

// Random tracks, then tracks with vertical, axis-parallel and vanishing
// tangents, banks at and beyond 90 degrees, and coordinates whose squares
// underflow or overflow.
std::vector<Track> tracks_to_probe() {
    std::mt19937 rng(20240611);
    std::vector<Track> tracks;
    for (int k = 0; k < 24; ++k) {
        tracks.push_back(track_test::random_track(rng));
    }
    const double special[][4][4] = {
        {{0, 0, 0, 0}, {0, 5, 0, 90}, {3, 5, 0, -90}, {3, 0, 0, 120}},
        {{0, 1, 0, 0}, {4, 1, 0, 45}, {4, 1, 4, -135}, {0, 1, 4, 180}},
        {{1, 1, 1, 0}, {1, 1, 1, 0}, {1, 1, 1, 90}, {2, 1, 1, 0}},
        {{0, 0, 0, 0}, {1e-170, 0, 0, 0}, {1e-170, 0, 1e-170, 0}, {0, 0, 1e-170, 0}},
        {{0, 0, 0, 0}, {1e160, 0, 0, 0}, {1e160, 0, 1e160, 0}, {0, 0, 1e160, 0}},
        {{0, 0, 0, 0}, {3e-154, 1e-155, 0, 0}, {3e-154, 0, 7e-154, 0}, {0, 0, 3e-154, 0}},
        {{1, 2, 3, 0}, {1, 2, 3, 0}, {1, 2, 3, 0}, {1, 2, 3, 0}},
    };
    int type = 0;
    for (const auto& points : special) {
        Track track(static_cast<CurveType>(type++ % 4));
        for (int i = 0; i < 4; ++i) {
            track.point(i) = ControlPoint(points[i][0], points[i][1], points[i][2], points[i][3]);
        }
        track.make_handles();
        tracks.push_back(track);
    }
    return tracks;
}

// Parameters inside the ring, at its ends and seam, and off it.
std::vector<float> parameters(int n) {
    return {0.0f,
            -0.0f,
            1e-7f,
            0.01f,
            0.025f,
            0.5f,
            1.37f,
            n - 0.001f,
            n - 0.02f,
            std::nextafter(float(n), 0.0f),
            float(n),
            n + 0.3f,
            -0.3f,
            -3.0f * n,
            1e9f,
            kNaNf,
            std::numeric_limits<float>::infinity()};
}

TEST(TrackSampler, EveryQueryMatchesTheTrackBitForBit) {
    TrackSampler sampler;
    for (const Track& track : tracks_to_probe()) {
        const int n = track.num_points();
        sampler.begin_frame(track);
        EXPECT_EQ(sampler.length(), track.length());
        for (float u : parameters(n)) {
            SCOPED_TRACE(testing::Message()
                         << "type " << track.curve_type() << " n " << n << " u " << u);
            for (int pass = 0; pass < 2; ++pass) { // the second from the cache
                expect_same(sampler.position_at(u), track.position_at(u));
                expect_same(sampler.tangent_at(u), track.tangent_at(u));
                expect_same(sampler.side_at(u), track.side_at(u));
                expect_same(sampler.up_at(u), track.up_at(u));
                EXPECT_EQ(sampler.heading_at(u), track.heading_at(u));
                EXPECT_EQ(sampler.pitch_at(u), track.pitch_at(u));
                const TrackSampler::Orientation o = sampler.orientation_at(u);
                EXPECT_EQ(o.heading, track.heading_at(u));
                EXPECT_EQ(o.pitch, track.pitch_at(u));
                EXPECT_EQ(o.roll, track.roll_at(u));
                expect_same(sampler.up_from(o), track.up_at(u));
            }
            // The cars' walks: one per direction for all distances at once,
            // in any order, signs and repeats, past the seam and many laps;
            // the first distance is exactly the first chord ahead.
            const float w = track.advance(0.0, u);
            const double chord = length(track.position_at(w + 0.005f) - track.position_at(w));
            const double d[] = {chord, -2.2,  0.7,   -15.4, 0.0,    40.0,  -0.0, -0.7,
                                2.2,   0.005, -1e-9, kNaNf, -100.0, 500.0, -2.2, 25.0};
            float all[16];
            sampler.advance_all(d, 16, u, all);
            for (int k = 0; k < 16; ++k) {
                const float want = track.advance(d[k], u);
                expect_same_float(all[k], want);
                expect_same_float(sampler.advance(d[k], u), want);
            }
        }
    }
}

// The ties' chain of walks: each result and the position handed on are those
// of advance and position_at, also past the seam and from off the ring.
TEST(TrackSampler, ChainedWalksHandOnTheEndPosition) {
    std::mt19937 rng(99);
    TrackSampler sampler;
    for (int round = 0; round < 6; ++round) {
        const Track track = track_test::random_track(rng, 4, 30);
        sampler.begin_frame(track);
        for (float u : {0.0f, track.num_points() + 0.25f, -1.5f}) {
            Point3 at = track.position_at(u);
            for (int k = 0; k < 300; ++k) {
                const double d = k % 3 == 2 ? -0.4 : 0.65;
                const float want = track.advance(d, u);
                u = sampler.advance_along(d, u, at);
                ASSERT_EQ(u, want) << "walk " << k;
                expect_same(at, track.position_at(u));
            }
        }
    }
}

TEST(TrackSampler, EvaluatesEachParameterOncePerFrameAndForgetsBetweenFrames) {
    Track track(CurveType::Cardinal);
    TrackSampler sampler;
    sampler.begin_frame(track);
    EvaluationCounter evaluations;
    const Point3 first = sampler.position_at(0.5f);
    sampler.position_at(0.5f);
    EXPECT_EQ(evaluations.count(), 1u);
    // A moved point shows up as soon as the next frame begins.
    track.point(1).y = 3.0;
    sampler.begin_frame(track);
    expect_same(sampler.position_at(0.5f), track.position_at(0.5f));
    EXPECT_NE(sampler.position_at(0.5f).y, first.y);
}

} // namespace
