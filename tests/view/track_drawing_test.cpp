// Rails and ties as issued to GL, captured through feedback in world
// coordinates.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "view/gl_fixture.h"

namespace {

using gl_test::Feedback;
using gl_test::FeedbackLine;
using gl_test::GlView;

constexpr float kRailGrey[3] = {0.4f, 0.4f, 0.42f};
constexpr float kTieBrown[3] = {0.6196f, 0.4039f, 0.1137f};

Feedback capture_rails(GlView& gl) {
    return gl.capture([&] { gl.view().draw_rails(); });
}

Feedback capture_ties(GlView& gl) {
    return gl.capture([&] { gl.view().draw_ties(); });
}

int expected_ties(const Track& track) {
    return static_cast<int>(std::trunc(track.length() / 0.65 - 0.25));
}

TEST(Rails, EachRailIsOneClosedLoopOfTwentySamplesPerSegment) {
    GlView gl;
    const Feedback fb = capture_rails(gl);
    ASSERT_FALSE(fb.overflow);
    const auto strips = fb.strips();
    ASSERT_EQ(strips.size(), 2u);
    for (const auto& strip : strips) {
        // A closed loop of 80 vertices has 80 segments, each starting where
        // the one before ended, the last one ending at the first vertex.
        ASSERT_EQ(strip.size(), 80u);
        for (std::size_t k = 0; k < strip.size(); ++k) {
            const FeedbackLine& here = strip[k];
            const FeedbackLine& next = strip[(k + 1) % strip.size()];
            EXPECT_LT(length(here.b.world - next.a.world), 1e-4) << "segment " << k;
            for (int c = 0; c < 3; ++c) {
                EXPECT_NEAR(here.a.colour[c], kRailGrey[c], 2e-3);
            }
        }
    }

    // Seen from above where the first side runs along z, each rail is a
    // line four pixels wide.
    const Point3 side = gl.scene().track().position_at(0.5f);
    const gl_test::Image above =
        gl.render([&] { gl.view().draw_rails(); }, side + Point3{0, 20, 0}, side, {0, 0, -1}, 1.0);
    EXPECT_EQ(above.count(0, 240, 479, 240, gl_test::Rgb{102, 102, 107}), 2 * 4);

    gl.view().add_point();
    const auto five = capture_rails(gl).strips();
    ASSERT_EQ(five.size(), 2u);
    EXPECT_EQ(five[0].size(), 100u);
    EXPECT_EQ(five[1].size(), 100u);
}

TEST(Ties, ALevelTieSpansOneAcrossTheTrackBelowTheCurve) {
    GlView gl;
    const Feedback fb = capture_ties(gl);
    const int per_tie = 6 * gl.polygons_per_quad();
    ASSERT_GE(static_cast<int>(fb.polygons.size()), 2 * per_tie);

    const Track& track = gl.scene().track();
    float u = 0.0f;
    for (int tie = 0; tie < 2; ++tie) {
        u = track.advance(0.65, u);
        const Point3 centre = track.position_at(u);
        const Point3 along = track.tangent_at(u);
        const Point3 up{0.0, 1.0, 0.0};
        const Point3 across = cross(up, along);
        double lo[3] = {1e9, 1e9, 1e9};
        double hi[3] = {-1e9, -1e9, -1e9};
        for (int q = tie * per_tie; q < (tie + 1) * per_tie; ++q) {
            for (const auto& v : fb.polygons[q]) {
                for (int c = 0; c < 3; ++c) {
                    EXPECT_NEAR(v.colour[c], kTieBrown[c], 2e-3);
                }
                const Point3 d = v.world - centre;
                const double coord[3] = {dot(d, across), dot(d, up), dot(d, along)};
                for (int c = 0; c < 3; ++c) {
                    lo[c] = std::min(lo[c], coord[c]);
                    hi[c] = std::max(hi[c], coord[c]);
                }
            }
        }
        // 1.0 across (0.125 beyond each rail), 0.1 thick with its centre 0.1
        // below the curve, 0.25 along the track.
        EXPECT_NEAR(lo[0], -0.5, 1e-3);
        EXPECT_NEAR(hi[0], 0.5, 1e-3);
        EXPECT_NEAR(lo[1], -0.15, 1e-3);
        EXPECT_NEAR(hi[1], -0.05, 1e-3);
        EXPECT_NEAR(lo[2], -0.125, 1e-3);
        EXPECT_NEAR(hi[2], 0.125, 1e-3);
    }
}

// The distinct corners of one tie's quads.
std::vector<Point3> corners(const Feedback& fb, int first, int count) {
    std::vector<Point3> result;
    for (int q = first; q < first + count; ++q) {
        for (const auto& v : fb.polygons[q]) {
            bool seen = false;
            for (const Point3& c : result) {
                seen = seen || length(c - v.world) < 1e-4;
            }
            if (!seen) {
                result.push_back(v.world);
            }
        }
    }
    return result;
}

TEST(Ties, OnePerSpacingFollowingThePitchAndTheRollAndShadedByTheLight) {
    GlView gl;
    Track& track = gl.scene().track();
    track.point(1).set_position(-2.5, 3.0, 2.501);
    track.point(1).roll = 30.0;
    gl.scene().light().set_position(2.0, 5.0, 3.0);
    const Feedback fb = gl.capture([&] { gl.view().draw_ties(); }, 30.0, 1 << 21, true);
    const int per_tie = 6 * gl.polygons_per_quad();
    float u = 0.0f;
    const int count = static_cast<int>(fb.polygons.size()) / per_tie;
    // As many ties as 0.65 spacings fit the length, less a quarter.
    ASSERT_EQ(count, expected_ties(track));
    int climbing_and_banked = 0;
    for (int tie = 0; tie < count; ++tie) {
        u = track.advance(0.65, u);
        const std::vector<Point3> box = corners(fb, tie * per_tie, per_tie);
        ASSERT_EQ(box.size(), 8u) << "tie " << tie;
        // From one corner the box has edges 0.1 thick, 0.25 along and 1.0
        // across (the other corners are face or space diagonals).
        auto edge = [&](double size) {
            for (std::size_t k = 1; k < box.size(); ++k) {
                const Point3 d = box[k] - box[0];
                if (std::fabs(length(d) - size) < 1e-3) {
                    return d;
                }
            }
            ADD_FAILURE() << "tie " << tie << " has no edge of length " << size;
            return Point3{1.0, 0.0, 0.0};
        };
        // The thin edge stands close to the track's up vector (the turns by
        // heading, pitch and bank differ from it by a few degrees on a banked
        // climb), so the tie banks the way the rails do.
        EXPECT_GT(std::fabs(dot(gl_test::unit(edge(0.1)), track.up_at(u))), 0.98) << "tie " << tie;
        const Point3 long_edge = edge(1.0);
        const Point3 short_edge = edge(0.25);
        // The long edge runs across the track; it leans by the bank, which
        // the climb foreshortens.
        const Point3 across = gl_test::unit(long_edge);
        const Point3 along = track.tangent_at(u);
        EXPECT_NEAR(dot(across, along), 0.0, 2e-3) << "tie " << tie;
        const double roll = track.roll_at(u) * 3.14159 / 180.0;
        const double pitch = track.pitch_at(u) * 3.14159 / 180.0;
        EXPECT_NEAR(std::fabs(across.y), std::fabs(std::sin(roll) * std::cos(pitch)), 2e-3)
            << "tie " << tie;
        // The short edge along the track follows the climb.
        const Point3 lengthwise = gl_test::unit(short_edge);
        EXPECT_NEAR(std::fabs(dot(lengthwise, along)), 1.0, 2e-3) << "tie " << tie;
        if (std::fabs(roll) > 0.1 && std::fabs(pitch) > 0.1) {
            ++climbing_and_banked;
        }

        Point3 mean{};
        for (const Point3& c : box) {
            mean = mean + c;
        }
        mean = mean * (1.0 / box.size());
        // Centre 0.1 below the curve along the track's up vector.
        const Point3 expected = track.position_at(u) - 0.1 * track.up_at(u);
        EXPECT_LT(length(mean - expected), 1e-3) << "tie " << tie;

        // Each face is shaded by how far it turns to the light.
        const std::vector<gl_test::Polygon> faces(fb.polygons.begin() + tie * per_tie,
                                                  fb.polygons.begin() + (tie + 1) * per_tie);
        EXPECT_LT(gl_test::shading_error(faces, {kTieBrown[0], kTieBrown[1], kTieBrown[2]},
                                         gl_test::unit(Point3{2.0, 5.0, 3.0})),
                  2e-3)
            << "tie " << tie;
    }
    EXPECT_GT(climbing_and_banked, 2);

    // A track shorter than 0.8125 has no room for a tie.
    GlView small;
    Track& tiny = small.scene().track();
    for (int i = 0; i < 4; ++i) {
        ControlPoint& p = tiny.point(i);
        p.set_position(p.x * 0.02, p.y, p.z * 0.02);
    }
    ASSERT_LT(tiny.length(), 0.8125);
    EXPECT_TRUE(capture_ties(small).polygons.empty());
}

} // namespace
