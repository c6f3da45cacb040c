// The frame as a whole: projection and camera, scene order and selection
// names, lighting switches and the ground, seen through GL state, GL_SELECT
// and the pixels of real frames.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <unistd.h>

#include "view/gl_fixture.h"

namespace {

using gl_test::GlView;
using gl_test::Rgb;

constexpr GLuint kNoName = 0xFFFFFFFFu;

struct Planes {
    double near_plane;
    double far_plane;
};

// Near and far planes of a perspective matrix (column-major, as GL stores it;
// GL keeps it in single precision, so far comes back only to about 1e-3).
Planes planes_of(const GLdouble* m) {
    return {m[14] / (m[10] - 1.0), m[14] / (m[10] + 1.0)};
}

std::vector<GLuint> iota_names(GLuint first, GLuint count) {
    std::vector<GLuint> names;
    for (GLuint k = 0; k < count; ++k) {
        names.push_back(first + k);
    }
    return names;
}

std::vector<GLuint> concat(std::initializer_list<std::vector<GLuint>> parts) {
    std::vector<GLuint> all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

Rgb pixel_at(GlView& gl, const Point3& p) {
    const gl_test::WindowPoint w = gl.project(p);
    EXPECT_TRUE(w.visible) << "(" << p.x << ", " << p.y << ", " << p.z << ")";
    return gl.pixel(static_cast<int>(w.x), static_cast<int>(w.y));
}

void expect_rgb(const Rgb& got, int r, int g, int b, const char* what) {
    EXPECT_NEAR(got.r, r, 1) << what;
    EXPECT_NEAR(got.g, g, 1) << what;
    EXPECT_NEAR(got.b, b, 1) << what;
}

TEST(Projection, PerspectiveOf45DegreesWithTheNearPlaneOfTheViewMode) {
    GlView gl;
    CoasterWindow& view = gl.view();
    for (bool ride : {false, true}) {
        view.scene().set_look_from_car(ride);
        gl.make_current();
        view.setup_projection(true);
        GLdouble m[16];
        glGetDoublev(GL_PROJECTION_MATRIX, m);
        const Planes planes = planes_of(m);
        EXPECT_NEAR(planes.near_plane, ride ? 0.5 : 2.0, 1e-5) << "ride " << ride;
        EXPECT_NEAR(planes.far_plane, 100.0, 1e-2) << "ride " << ride;
        EXPECT_NEAR(m[5], 1.0 / std::tan(22.5 * M_PI / 180.0), 1e-6);
        EXPECT_NEAR(m[0], m[5], 1e-6); // aspect 1 for the square view
        GLint mode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(mode, GL_MODELVIEW);
    }

    // Without a reset the perspective is multiplied onto what is there.
    gl.make_current();
    view.scene().set_look_from_car(false);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glScaled(2.0, 2.0, 1.0);
    view.setup_projection(false);
    GLdouble scaled[16];
    glGetDoublev(GL_PROJECTION_MATRIX, scaled);
    EXPECT_NEAR(scaled[5], 2.0 / std::tan(22.5 * M_PI / 180.0), 1e-6);
}

TEST(Projection, ModelviewIsTheCameraLook) {
    GlView gl;
    CoasterWindow& view = gl.view();
    for (bool ride : {false, true}) {
        view.scene().set_look_from_car(ride);
        view.scene().train().car_u = 1.3f;
        gl.make_current();
        view.setup_projection(true);
        const LookAt look = view.camera().look(view.scene().train().car_u, ride);
        GLdouble m[16];
        glGetDoublev(GL_MODELVIEW_MATRIX, m);
        auto apply = [&](const Point3& p) {
            return Point3{m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12],
                          m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
                          m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]};
        };
        // The eye goes to the origin and the centre straight ahead (-z).
        const Point3 eye = apply(look.eye);
        EXPECT_NEAR(length(eye), 0.0, 1e-5);
        const Point3 centre = apply(look.centre);
        const double d = length(look.centre - look.eye);
        EXPECT_NEAR(centre.x, 0.0, 1e-5);
        EXPECT_NEAR(centre.y, 0.0, 1e-5);
        EXPECT_NEAR(centre.z, -d, 1e-5);
    }
}

TEST(Frame, ViewportFollowsThePixelSizeOfTheView) {
    GlView gl;
    CoasterWindow& view = gl.view();
    gl.draw_frame();
    GLint vp[4];
    glGetIntegerv(GL_VIEWPORT, vp);
    EXPECT_EQ(vp[2], view.pixel_w());
    EXPECT_EQ(vp[3], view.pixel_h());

    view.size(400, 300);
    gl.draw_frame();
    glGetIntegerv(GL_VIEWPORT, vp);
    EXPECT_EQ(vp[2], view.pixel_w());
    EXPECT_EQ(vp[3], view.pixel_h());
    EXPECT_EQ(view.pixel_w(), 400);
    GLdouble m[16];
    glGetDoublev(GL_PROJECTION_MATRIX, m);
    EXPECT_NEAR(m[5] / m[0], 400.0 / 300.0, 1e-6);
}

TEST(Frame, EveryDrawRoutineLeavesTheMatrixStackAsItFoundIt) {
    GlView gl;
    CoasterWindow& view = gl.view();
    view.add_ball_generator();
    view.scene().train().cars = 3;
    view.set_curve_type(CurveType::Bezier);
    const std::vector<std::pair<const char*, std::function<void()>>> routines = {
        {"scene", [&] { view.draw_scene(); }},     {"points", [&] { view.draw_control_points(); }},
        {"handles", [&] { view.draw_handles(); }}, {"light", [&] { view.draw_light_cube(); }},
        {"rails", [&] { view.draw_rails(); }},     {"ties", [&] { view.draw_ties(); }},
        {"cars", [&] { view.draw_cars(); }},       {"generators", [&] { view.draw_generators(); }},
    };
    gl.make_current();
    view.setup_projection(true);
    for (const auto& [name, routine] : routines) {
        GLdouble before[16];
        GLdouble after[16];
        GLint depth_before = 0;
        GLint depth_after = 0;
        glGetDoublev(GL_MODELVIEW_MATRIX, before);
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth_before);
        routine();
        glGetDoublev(GL_MODELVIEW_MATRIX, after);
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth_after);
        EXPECT_EQ(depth_after, depth_before) << name;
        for (int k = 0; k < 16; ++k) {
            EXPECT_EQ(after[k], before[k]) << name << " entry " << k;
        }
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << name;
    }
}

// Below OpenGL 1.4 there is no glMultiDrawArrays: the draw list then hands
// each primitive to glDrawArrays alone, and the frames must not change.
TEST(Frame, DrawingEachPrimitiveAloneBelowOpenGl14GivesTheSameFrames) {
    for (const char* v : {"1.4", "4.5 (Compatibility Profile) Mesa 22.3.6", "2.1 Mesa 9"}) {
        EXPECT_TRUE(gl_version_at_least(v, 1, 4)) << v;
    }
    for (const char* v : {"1.3 Mesa", "0.9.9", "garbage", "", "1.", " 1.4", "OpenGL 4.5"}) {
        EXPECT_FALSE(gl_version_at_least(v, 1, 4)) << '"' << v << '"';
    }
    EXPECT_FALSE(gl_version_at_least(nullptr, 1, 4));

    GlView gl;
    CoasterWindow& view = gl.view();
    // Mesa has the call, so the frames below do come from both ways.
    ASSERT_TRUE(gl_version_at_least(reinterpret_cast<const char*>(glGetString(GL_VERSION)), 1, 4));
    for (CurveType type : {CurveType::Cardinal, CurveType::Bezier}) {
        view.set_curve_type(type);
        for (bool lights : {true, false}) {
            view.set_lights_on(lights);
            gl.draw_frame();
            const gl_test::Image multi = gl.snapshot();
            view.draw_list().use_single_draws(true);
            gl.draw_frame();
            view.draw_list().use_single_draws(false);
            EXPECT_TRUE(gl.snapshot().pixels == multi.pixels)
                << "curve type " << static_cast<int>(type) << (lights ? ", lit" : ", unlit");
        }
    }
}

// A design saved and opened again draws the very same frame: an edited
// Bezier track with hand-moved handles, banked points, a moved light,
// generators and cars, seen lit from the orbit and from the front car.
TEST(Frame, AnEditedDesignDrawsTheSameFramesAfterSavingAndOpening) {
    char folder[] = "/tmp/looptide-frame-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string path = std::string(folder) + "/edited.looptide";
    std::vector<gl_test::Image> before;
    {
        GlView gl;
        gl.document().edit([](Scene& s) {
            s.add_point();
            s.add_point();
            s.set_curve_type(CurveType::Bezier);
            for (int k = 0; k < 2 * s.track().num_points(); k += 3) {
                s.track().bezier_handle(k).set_position(0.3 * k - 2.0, 1.7, 0.1 * k);
            }
            s.track().point(2).roll = 37.5;
            s.track().point(4).roll = -121.0;
            s.light().set_position(-3.0, 5.0, 1.0);
            s.add_ball_generator();
            s.generator(0).position().set_position(4.0, 0.0, -3.5);
            s.add_car();
            s.add_car();
        });
        ASSERT_FALSE(gl.document().save_as(path));
        for (bool ride : {false, true}) {
            gl.view().set_look_from_car(ride);
            gl.draw_frame();
            before.push_back(gl.snapshot());
        }
    }
    GlView gl;
    ASSERT_FALSE(gl.document().open(path));
    for (bool ride : {false, true}) {
        gl.view().set_look_from_car(ride);
        gl.draw_frame();
        EXPECT_TRUE(gl.snapshot().pixels == before[ride ? 1 : 0].pixels)
            << (ride ? "ride view" : "orbit view");
    }
    std::remove(path.c_str());
    ::rmdir(folder);
}

TEST(SelectionNames, LoadedInDrawingOrderWithHandlesOnlyForBezier) {
    GlView gl;
    CoasterWindow& view = gl.view();
    const std::vector<GLuint> points = iota_names(0, 4);
    const std::vector<GLuint> light = {301};
    const std::vector<GLuint> rest = {kNoName};

    // No generators: no generator name at all.
    EXPECT_EQ(gl.select_names(), concat({points, light, rest}));

    view.add_ball_generator();
    view.add_ball_generator();
    view.scene().generator(1).position().set_position(3.0, 0.0, -4.0);
    const std::vector<GLuint> generators = {400, 401};
    for (CurveType type : {CurveType::Linear, CurveType::Cardinal, CurveType::BSpline}) {
        view.set_curve_type(type);
        EXPECT_EQ(gl.select_names(), concat({points, generators, light, rest}))
            << "curve type " << static_cast<int>(type);
    }
    view.set_curve_type(CurveType::Bezier);
    EXPECT_EQ(gl.select_names(), concat({points, iota_names(4, 8), generators, light, rest}));

    // Back to Cardinal: the handles and their names are gone again.
    view.set_curve_type(CurveType::Cardinal);
    EXPECT_EQ(gl.select_names(), concat({points, generators, light, rest}));
}

TEST(SelectionNames, HandleNamesOfAHundredPointsStayBelowTheLight) {
    GlView gl;
    CoasterWindow& view = gl.view();
    while (view.scene().track().num_points() < Track::kMaxPoints) {
        view.add_point();
    }
    view.set_curve_type(CurveType::Bezier);
    EXPECT_EQ(gl.select_names(),
              concat({iota_names(0, 100), iota_names(100, 200), {301}, {kNoName}}));
}

TEST(Ground, CheckerboardWithBlackCornersSeenFromAbove) {
    GlView gl;
    CoasterWindow& view = gl.view();
    view.camera().set_target(0.0, 0.0, 0.0);
    view.camera().set_up(0.0, 0.0, -1.0);
    view.camera().set_distance(40.0);
    view.camera().set_elevation(90.0);
    gl.draw_frame();

    // Cells of the outer ring, away from the track, the car and the markers.
    int checked = 0;
    for (int col = 0; col < 10; ++col) {
        for (int row = 0; row < 10; ++row) {
            if (col > 1 && col < 8 && row > 1 && row < 8) {
                continue;
            }
            const Point3 centre{-9.0 + 2.0 * col, 0.0, -9.0 + 2.0 * row};
            const Rgb c = pixel_at(gl, centre);
            const int level = (col + row) % 2 == 1 ? 255 : 0;
            expect_rgb(c, level, level, level, "ground cell");
            ++checked;
        }
    }
    EXPECT_EQ(checked, 64);
    // The (-10, -10) corner cell itself, next to its edge.
    expect_rgb(pixel_at(gl, {-9.7, 0.0, -9.7}), 0, 0, 0, "corner cell");
    expect_rgb(pixel_at(gl, {-7.7, 0.0, -9.7}), 255, 255, 255, "neighbour along x");
    expect_rgb(pixel_at(gl, {-9.7, 0.0, -7.7}), 255, 255, 255, "neighbour along z");

    // Beside the board there is only the clear colour.
    expect_rgb(pixel_at(gl, {-12.0, 0.0, 0.0}), 0, 0, 0, "outside the board");
    expect_rgb(pixel_at(gl, {0.0, 0.0, 11.0}), 0, 0, 0, "outside the board");
}

TEST(Lighting, LightCubeYellowOrBlueWhenSelectedAndNeverShaded) {
    GlView gl;
    CoasterWindow& view = gl.view();
    const Point3 light{view.scene().light().x, view.scene().light().y, view.scene().light().z};
    for (bool lights : {true, false}) {
        view.scene().set_lights_on(lights);
        view.scene().select_name(-1);
        gl.draw_frame();
        expect_rgb(pixel_at(gl, light), 255, 255, 0, "light cube");
        view.scene().select_name(kLightName);
        gl.draw_frame();
        expect_rgb(pixel_at(gl, light), 0, 0, 255, "selected light cube");
    }
}

TEST(Lighting, CubesTiesAndCarsShowPlainColoursFromTheFirstFrameWithTheLightsOff) {
    GlView gl;
    CoasterWindow& view = gl.view();
    view.scene().train().car_u = 2.5f; // between two markers, away from the first ties
    const Track& track = view.scene().track();
    const float tie_u = track.advance(0.65, 0.0f);
    const Point3 up = track.up_at(tie_u);
    const Point3 tie_top = track.position_at(tie_u) - 0.05 * up;
    const Point3 car = track.position_at(view.scene().train().car_u) +
                       0.7 * track.up_at(view.scene().train().car_u);

    view.scene().select_name(2);
    view.scene().set_lights_on(false);
    gl.draw_frame();
    expect_rgb(pixel_at(gl, gl_test::cube_centre(track.point(2))), 178, 0, 0, "plain red cube");
    expect_rgb(pixel_at(gl, gl_test::cube_centre(track.point(3))), 0, 0, 204, "plain blue cube");
    const Rgb plain_tie = pixel_at(gl, tie_top);
    expect_rgb(plain_tie, 158, 103, 29, "plain tie");
    const Rgb plain_car = pixel_at(gl, car);
    expect_rgb(plain_car, 0, 70, 180, "plain car");
    // Ground and rails stay unlit either way.
    const Rgb plain_ground = pixel_at(gl, {-9.0, 0.0, 0.5});
    expect_rgb(plain_ground, 255, 255, 255, "white cell");

    view.scene().set_lights_on(true);
    gl.draw_frame();
    const Rgb lit_tie = pixel_at(gl, tie_top);
    EXPECT_GT(std::abs(lit_tie.r - plain_tie.r), 10) << "ties are shaded when lit";
    const Rgb lit_car = pixel_at(gl, car);
    EXPECT_GT(std::abs(lit_car.b - plain_car.b), 10) << "cars are shaded when lit";
    const Rgb lit_ground = pixel_at(gl, {-9.0, 0.0, 0.5});
    expect_rgb(lit_ground, plain_ground.r, plain_ground.g, plain_ground.b, "ground");
}

} // namespace
