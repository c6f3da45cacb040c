// Editing markers as drawn: point cubes with their roll posts and tips, Bezier
// handle boxes and the light cube: where they sit, their size and colours, how
// the light shades them and how wide their lines are.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "view/box.h"
#include "view/gl_fixture.h"

namespace {

using gl_test::Feedback;
using gl_test::FeedbackVertex;
using gl_test::GlView;

using Polygons = std::vector<std::vector<FeedbackVertex>>;

constexpr gl_test::Rgb kBlack{0, 0, 0};

// Shines the light from (2, 5, 3), where it meets no face of an unturned box
// edge-on, and returns its direction.
Point3 place_light(GlView& gl) {
    gl.scene().light().set_position(2.0, 5.0, 3.0);
    return gl_test::unit(Point3{2.0, 5.0, 3.0});
}

Polygons slice(const Polygons& all, std::size_t first, std::size_t count) {
    return Polygons(all.begin() + first, all.begin() + first + count);
}

Point3 mean_of(const Polygons& polygons, std::size_t first, std::size_t count) {
    Point3 sum{};
    int n = 0;
    for (std::size_t q = first; q < first + count; ++q) {
        for (const auto& v : polygons[q]) {
            sum = sum + v.world;
            ++n;
        }
    }
    return sum / n;
}

// Every vertex of the polygons lies on the surface of the cube of half size
// `half` centred at `centre`: as far as a corner from the centre.
void expect_cube_corners(const Polygons& polygons, std::size_t first, std::size_t count,
                         const Point3& centre, double half, const char* what) {
    for (std::size_t q = first; q < first + count; ++q) {
        for (const auto& v : polygons[q]) {
            EXPECT_NEAR(length(v.world - centre), half * std::sqrt(3.0), 1e-3) << what;
        }
    }
}

TEST(PointMarkers, CubeFloatsHalfAUnitAboveEachPointWithAnUprightPost) {
    GlView gl;
    CoasterWindow& view = gl.view();
    const int per_cube = 6 * gl.polygons_per_quad();
    const Feedback fb = gl.capture([&] { view.draw_control_points(); });
    const Polygons blue = fb.polygons_coloured(0.0f, 0.0f, 0.8f);
    const Polygons purple = fb.polygons_coloured(0.7f, 0.0f, 1.0f);
    ASSERT_EQ(blue.size(), 4u * per_cube);
    ASSERT_EQ(purple.size(), 4u * per_cube);
    EXPECT_TRUE(fb.polygons_coloured(0.7f, 0.0f, 0.0f).empty()) << "nothing selected";

    for (int i = 0; i < 4; ++i) {
        const ControlPoint& p = view.scene().track().point(i);
        const Point3 centre{p.x, p.y + 0.5, p.z};
        expect_cube_corners(blue, i * per_cube, per_cube, centre, 0.15, "point cube");
        EXPECT_LT(length(mean_of(blue, i * per_cube, per_cube) - centre), 1e-4);
        // On the level, unbanked default track the post stands straight up,
        // so its tip sits 0.45 above the cube's centre.
        const Point3 tip{centre.x, centre.y + 0.45, centre.z};
        expect_cube_corners(purple, i * per_cube, per_cube, tip, 0.05, "tip cube");
    }

    // Black lines: twelve outline edges and the post for every point.
    int black = 0;
    for (const auto& line : fb.lines) {
        if (line.a.colour[0] == 0.0f && line.a.colour[1] == 0.0f && line.a.colour[2] == 0.0f) {
            ++black;
        }
    }
    EXPECT_EQ(black, 4 * 13);
    EXPECT_EQ(static_cast<int>(fb.lines.size()), 4 * 13);

    // Lit, each cube and each tip is shaded by how far its faces turn to the
    // light: a cube, then its tip, point by point.
    const Point3 towards_light = place_light(gl);
    const Feedback lit = gl.capture([&] { view.draw_control_points(); }, 30.0, 1 << 21, true);
    ASSERT_EQ(lit.polygons.size(), 8u * per_cube);
    for (int i = 0; i < 4; ++i) {
        EXPECT_LT(gl_test::shading_error(slice(lit.polygons, 2 * i * per_cube, per_cube),
                                         {0.0f, 0.0f, 0.8f}, towards_light),
                  2e-3)
            << "cube " << i;
        EXPECT_LT(gl_test::shading_error(slice(lit.polygons, (2 * i + 1) * per_cube, per_cube),
                                         {0.7f, 0.0f, 1.0f}, towards_light),
                  2e-3)
            << "tip " << i;
    }

    // Seen from the side, across the square so that no other post lines up
    // behind it, the post between the cube and its tip is a black line two
    // pixels wide.
    const ControlPoint& p = view.scene().track().point(1);
    const Point3 mid{p.x, p.y + 0.8, p.z};
    const gl_test::Image side = gl.render([&] { view.draw_control_points(); },
                                          mid + Point3{7.0, 0.0, -3.0}, mid, {0, 1, 0}, 0.5);
    EXPECT_EQ(side.count(0, 240, 479, 240, kBlack), 2);
}

TEST(PointMarkers, PostLeansWithTheRollAtRightAnglesToTheRails) {
    GlView gl;
    CoasterWindow& view = gl.view();
    for (double roll : {35.0, -60.0}) {
        view.scene().track().point(2).roll = roll;
        const Feedback fb = gl.capture([&] { view.draw_control_points(); });
        const Feedback rails = gl.capture([&] { view.draw_rails(); });
        const auto strips = rails.strips();
        ASSERT_EQ(strips.size(), 2u);

        // Point 2's post: the black segment that starts at the cube's centre.
        const ControlPoint& p = view.scene().track().point(2);
        const Point3 centre{p.x, p.y + 0.5, p.z};
        Point3 post{};
        int found = 0;
        for (const auto& line : fb.lines) {
            if (length(line.a.world - centre) < 1e-3) {
                post = line.b.world - line.a.world;
                ++found;
            }
        }
        ASSERT_EQ(found, 1) << "roll " << roll;
        EXPECT_NEAR(length(post), 0.45, 1e-3);
        const Point3 dir = gl_test::unit(post);
        EXPECT_NEAR(dir.y, std::cos(roll * 3.14159 / 180.0), 1e-3) << "roll " << roll;
        // The rails at u = 2 lie along the line the post stands across.
        const Point3 across = strips[0][40].a.world - strips[1][40].a.world;
        EXPECT_NEAR(dot(dir, gl_test::unit(across)), 0.0, 2e-3) << "roll " << roll;
        // And it leans over the rail that the bank lowers.
        const Point3 lowered = strips[0][40].a.world.y < strips[1][40].a.world.y
                                   ? strips[0][40].a.world
                                   : strips[1][40].a.world;
        const Point3 out = lowered - view.scene().track().position_at(2.0f);
        const Point3 lean{dir.x, 0.0, dir.z};
        EXPECT_GT(dot(lean, Point3{out.x, 0.0, out.z}), 0.1) << "roll " << roll;
    }
}

TEST(PointMarkers, OnlyTheSelectedPointIsRed) {
    GlView gl;
    CoasterWindow& view = gl.view();
    const int per_cube = 6 * gl.polygons_per_quad();
    view.scene().select_name(3);
    const Feedback fb = gl.capture([&] { view.draw_control_points(); });
    const Polygons red = fb.polygons_coloured(0.7f, 0.0f, 0.0f);
    ASSERT_EQ(red.size(), static_cast<std::size_t>(per_cube));
    const ControlPoint& p = view.scene().track().point(3);
    EXPECT_LT(length(mean_of(red, 0, per_cube) - Point3{p.x, p.y + 0.5, p.z}), 1e-4);
    EXPECT_EQ(fb.polygons_coloured(0.0f, 0.0f, 0.8f).size(), 3u * per_cube);

    // A handle's name (Bezier, 4 points: 4 to 11) turns no point red.
    view.scene().select_name(4);
    const Feedback none = gl.capture([&] { view.draw_control_points(); });
    EXPECT_TRUE(none.polygons_coloured(0.7f, 0.0f, 0.0f).empty());
}

TEST(HandleMarkers, WorldAlignedBoxesAroundEveryHandleSelectedOneRed) {
    GlView gl;
    CoasterWindow& view = gl.view();
    view.set_curve_type(CurveType::Bezier);
    view.scene().track().point(1).roll = 40.0;
    view.scene().track().point(2).set_position(3.0, 2.5, 2.0);
    view.scene().track().make_handles();
    const int per_box = 6 * gl.polygons_per_quad();
    view.scene().select_name(4 + 2 * 1 + 1); // handle 1 of segment 1
    const Feedback fb = gl.capture([&] { view.draw_handles(); });
    ASSERT_EQ(fb.polygons.size(), 8u * per_box);
    for (int k = 0; k < 8; ++k) {
        const ControlPoint& h = view.scene().track().bezier_handle(k);
        for (int q = k * per_box; q < (k + 1) * per_box; ++q) {
            const auto& c = fb.polygons[q].front().colour;
            if (k == 3) {
                EXPECT_NEAR(c[1], 0.0f, 1e-3) << "selected handle is red";
            } else {
                EXPECT_NEAR(c[1], 0.7f, 1e-3) << "handle " << k << " is olive";
            }
            EXPECT_NEAR(c[0], 0.7f, 1e-3);
            for (const auto& v : fb.polygons[q]) {
                // Axis-aligned: every corner is 0.125 off on each axis.
                EXPECT_NEAR(std::fabs(v.world.x - h.x), 0.125, 1e-3) << "handle " << k;
                EXPECT_NEAR(std::fabs(v.world.y - h.y), 0.125, 1e-3) << "handle " << k;
                EXPECT_NEAR(std::fabs(v.world.z - h.z), 0.125, 1e-3) << "handle " << k;
            }
        }
    }
    // Each box is outlined: 12 black edges.
    EXPECT_EQ(fb.lines.size(), 8u * 12u);

    // Lit, each box is shaded by how far its faces turn to the light.
    const Point3 towards_light = place_light(gl);
    const Feedback lit = gl.capture([&] { view.draw_handles(); }, 30.0, 1 << 21, true);
    for (int k = 0; k < 8; ++k) {
        const std::array<float, 3> colour{0.7f, k == 3 ? 0.0f : 0.7f, 0.0f};
        EXPECT_LT(gl_test::shading_error(slice(lit.polygons, k * per_box, per_box), colour,
                                         towards_light),
                  2e-3)
            << "handle " << k;
    }

    // The outline is two pixels wide: seen from above, the square of a box
    // two units across shows two such edges in every row through it.
    const gl_test::Image above = gl.render(
        [] {
            DrawList d;
            box_outline(d, -1.0, -1.0, -1.0, 1.0, 1.0, 1.0);
            d.flush();
        },
        {0.0, 10.0, 0.0}, {0.0, 0.0, 0.0}, {0.0, 0.0, -1.0}, 2.0);
    EXPECT_EQ(above.count(0, 240, 479, 240, kBlack), 4);
}

TEST(LightMarker, UnoutlinedCubeAtTheLight) {
    GlView gl;
    CoasterWindow& view = gl.view();
    view.scene().light().set_position(-3.0, 6.0, 1.5);
    const int per_cube = 6 * gl.polygons_per_quad();
    const Feedback fb = gl.capture([&] { view.draw_light_cube(); });
    const Polygons yellow = fb.polygons_coloured(1.0f, 1.0f, 0.0f);
    ASSERT_EQ(yellow.size(), static_cast<std::size_t>(per_cube));
    ASSERT_EQ(fb.polygons.size(), yellow.size());
    for (const auto& polygon : yellow) {
        for (const auto& v : polygon) {
            EXPECT_NEAR(std::fabs(v.world.x + 3.0), 0.2, 1e-3);
            EXPECT_NEAR(std::fabs(v.world.y - 6.0), 0.2, 1e-3);
            EXPECT_NEAR(std::fabs(v.world.z - 1.5), 0.2, 1e-3);
        }
    }
    EXPECT_TRUE(fb.lines.empty());
}

} // namespace
