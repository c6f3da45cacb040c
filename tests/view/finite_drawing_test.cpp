// Degenerate tracks must never hand GL a NaN or an infinity: vertical
// stretches, banks of +-90 and 180 degrees, coincident points.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "view/gl_fixture.h"

namespace {

using gl_test::Feedback;
using gl_test::GlView;

struct Case {
    std::string name;
    std::function<void(Track&)> shape;
};

void set_points(Track& track, std::initializer_list<ControlPoint> points) {
    int i = 0;
    for (const ControlPoint& p : points) {
        track.point(i++) = p;
    }
}

std::vector<Case> degenerate_tracks() {
    return {
        {"vertical rectangle",
         [](Track& t) {
             set_points(t, {{0, 1, 0, 0}, {0, 6, 0, 0}, {4, 6, 0, 0}, {4, 1, 0, 0}});
         }},
        {"vertical stretch in a square",
         [](Track& t) { t.point(1).set_position(t.point(0).x, 7.0, t.point(0).z); }},
        {"bank of +90", [](Track& t) { t.point(2).roll = 90.0; }},
        {"bank of -90 everywhere",
         [](Track& t) {
             for (int i = 0; i < 4; ++i) {
                 t.point(i).roll = -90.0;
             }
         }},
        {"bank of 180 and -180",
         [](Track& t) {
             t.point(0).roll = 180.0;
             t.point(3).roll = -180.0;
         }},
        {"two coincident points", [](Track& t) { t.point(2) = t.point(1); }},
        {"all points coincident",
         [](Track& t) {
             for (int i = 1; i < 4; ++i) {
                 t.point(i) = t.point(0);
             }
         }},
    };
}

bool all_finite(const std::vector<GLfloat>& values) {
    for (GLfloat v : values) {
        if (!std::isfinite(v)) {
            return false;
        }
    }
    return true;
}

bool matrix_finite(GLenum which) {
    GLdouble m[16];
    glGetDoublev(which, m);
    for (double v : m) {
        if (!std::isfinite(v)) {
            return false;
        }
    }
    return true;
}

TEST(FiniteDrawing, DegenerateTracksIssueOnlyFiniteValues) {
    for (const Case& c : degenerate_tracks()) {
        for (CurveType type :
             {CurveType::Linear, CurveType::Cardinal, CurveType::BSpline, CurveType::Bezier}) {
            GlView gl;
            CoasterWindow& view = gl.view();
            c.shape(view.scene().track());
            view.set_curve_type(type);
            view.scene().track().make_handles();
            view.scene().train().cars = Train::kMaxCars;
            view.add_ball_generator();
            const std::string what =
                c.name + ", curve type " + std::to_string(static_cast<int>(type));

            for (float u : {0.0f, 0.5f, 1.0f, 2.75f}) {
                view.scene().train().car_u = u;
                const Feedback fb = gl.capture([&] { view.draw_scene(); });
                ASSERT_FALSE(fb.overflow) << what;
                EXPECT_FALSE(fb.values.empty()) << what;
                EXPECT_TRUE(all_finite(fb.values)) << what << ", car at " << u;
                // GL drops a primitive with a NaN corner without a trace, so
                // the counts show that nothing was lost on the way.
                const int ppq = gl.polygons_per_quad();
                const Feedback rails = gl.capture([&] { view.draw_rails(); });
                std::size_t segments = 0;
                for (const auto& strip : rails.strips()) {
                    segments += strip.size();
                }
                EXPECT_EQ(segments, 2u * 20u * 4u) << what;
                const Feedback cars = gl.capture([&] { view.draw_cars(); });
                EXPECT_EQ(cars.polygons_coloured(0.0f, 0.27451f, 0.7059f).size(),
                          static_cast<std::size_t>(28 * ppq * Train::kMaxCars))
                    << what;
                const Feedback points = gl.capture([&] { view.draw_control_points(); });
                EXPECT_EQ(points.polygons.size(), static_cast<std::size_t>(4 * 2 * 6 * ppq))
                    << what;
                const Feedback ties = gl.capture([&] { view.draw_ties(); });
                const double wanted = std::trunc(view.scene().track().length() / 0.65 - 0.25);
                EXPECT_EQ(static_cast<double>(ties.polygons.size()),
                          6.0 * ppq * std::max(0.0, wanted))
                    << what;
                EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << what;

                // Both camera modes give finite matrices for a real frame.
                for (bool ride : {false, true}) {
                    view.scene().set_look_from_car(ride);
                    gl.draw_frame();
                    EXPECT_TRUE(matrix_finite(GL_MODELVIEW_MATRIX)) << what << " ride " << ride;
                    EXPECT_TRUE(matrix_finite(GL_PROJECTION_MATRIX)) << what;
                    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << what;
                }
                view.scene().set_look_from_car(false);
            }
        }
    }
}

TEST(FiniteDrawing, FarAwayPointsStillDrawTheWholeTrack) {
    GlView gl;
    CoasterWindow& view = gl.view();
    view.scene().track().point(3).set_position(1.0e9, -1.0e9, 1.0e9);
    const Feedback fb = gl.capture([&] { view.draw_scene(); }, 2.0e9, 1 << 23);
    ASSERT_FALSE(fb.overflow);
    EXPECT_TRUE(all_finite(fb.values));
    const auto strips = fb.strips();
    EXPECT_GE(strips.size(), 2u);
}

} // namespace
