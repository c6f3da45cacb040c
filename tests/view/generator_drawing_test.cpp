// Ball generators and their balls as issued to GL.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "view/gl_fixture.h"

namespace {

using gl_test::Feedback;
using gl_test::FeedbackVertex;
using gl_test::GlView;

double horizontal(const Point3& v, double x, double z) {
    return std::hypot(v.x - x, v.z - z);
}

TEST(GeneratorDrawing, GreenPostOnTheGroundWithAnOpenCupRaisedByY) {
    GlView gl;
    CoasterWindow& view = gl.view();
    view.add_ball_generator();
    view.scene().generator(0).position().set_position(3.0, 0.5, -4.0);
    const Feedback fb = gl.capture([&] { view.draw_generators(); });
    const auto green = fb.polygons_coloured(0.0f, 0.9f, 0.0f);
    const auto black = fb.polygons_coloured(0.0f, 0.0f, 0.0f);
    // Twelve sides all round: the post and the cup's two walls, and the two
    // rims of three rings each; the floor is a fan within two more rings.
    const std::size_t ppq = gl.polygons_per_quad();
    EXPECT_EQ(green.size(), (3 * 12 + 2 * 3 * 12) * ppq);
    EXPECT_EQ(black.size(), 12 + 2 * 12 * ppq);
    EXPECT_EQ(green.size() + black.size(), fb.polygons.size()) << "no balls yet";

    double lowest = 1e9;
    double highest = -1e9;
    int post = 0;
    for (const auto& polygon : green) {
        for (const auto& v : polygon) {
            const Point3& w = v.world;
            lowest = std::min(lowest, w.y);
            highest = std::max(highest, w.y);
            const double r = horizontal(w, 3.0, -4.0);
            EXPECT_LE(r, 0.7 + 1e-3);
            if (w.y < 1.1 - 1e-3) {
                // Only the post reaches below the cup: radius 0.6.
                EXPECT_NEAR(r, 0.6, 1e-3);
                ++post;
            } else {
                // The cup, between y + 1.1 and y + 1.5, or the post's top rim.
                EXPECT_TRUE(std::fabs(w.y - 1.1) < 1e-3 || (w.y > 1.6 - 1e-3 && w.y < 2.0 + 1e-3))
                    << "y " << w.y;
            }
        }
    }
    EXPECT_GT(post, 0);
    EXPECT_NEAR(lowest, 0.0, 1e-3) << "the post stands on the ground";
    EXPECT_NEAR(highest, 2.0, 1e-3) << "cup top at y + 1.5";
    // The black floor of the cup: a flat disk of radius 0.7 at y + 1.2.
    double widest = 0.0;
    for (const auto& polygon : black) {
        for (const auto& v : polygon) {
            EXPECT_NEAR(v.world.y, 1.7, 1e-3);
            widest = std::max(widest, horizontal(v.world, 3.0, -4.0));
        }
    }
    EXPECT_NEAR(widest, 0.7, 1e-3);
}

TEST(GeneratorDrawing, BallsAreSpheresAtTheirWorldHeightFollowingTheGenerator) {
    GlView gl;
    CoasterWindow& view = gl.view();
    view.add_ball_generator();
    BallGenerator& generator = view.scene().generator(0);
    generator.position().set_position(-2.0, 0.7, 1.0);
    // Each update in a different second, so every ball gets its own colour.
    for (int k = 0; k < 40; ++k) {
        generator.update(400, 0, 1700000000 + k);
    }
    ASSERT_GE(generator.num_balls(), 3);

    for (const Point3 at : {Point3{-2.0, 0.7, 1.0}, Point3{5.0, 0.7, -6.0}}) {
        generator.position().set_position(at.x, at.y, at.z);
        const Feedback fb = gl.capture([&] { view.draw_generators(); });
        for (int k = 0; k < generator.num_balls(); ++k) {
            const Ball& ball = generator.live_ball(k);
            const Point3& c = ball.colour();
            const auto sphere = fb.polygons_coloured(
                static_cast<float>(c.x), static_cast<float>(c.y), static_cast<float>(c.z));
            // Six slices and six stacks: a fan at each pole, four bands between.
            ASSERT_EQ(sphere.size(), 2 * 6 + 4 * 6 * gl.polygons_per_quad()) << "ball " << k;
            // The ball's height is its own: the generator's y is not added.
            const Point3 centre{at.x, ball.height(), at.z};
            for (const auto& polygon : sphere) {
                for (const auto& v : polygon) {
                    EXPECT_NEAR(length(v.world - centre), ball.radius(), 1e-3) << "ball " << k;
                }
            }
        }
    }
}

TEST(GeneratorDrawing, NothingIsDrawnWithoutGenerators) {
    GlView gl;
    const Feedback fb = gl.capture([&] { gl.view().draw_generators(); });
    EXPECT_TRUE(fb.values.empty());
}

} // namespace
