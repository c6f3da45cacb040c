// The quadrics of the wheels, the generators and the balls against GLU's own:
// the same primitives, window positions and lit colours, as GL's feedback
// reports them, so the scene looks and picks as it did with GLU.
#include <gtest/gtest.h>

#include <GL/glu.h>

#include <functional>
#include <string>

#include "view/draw_list.h"
#include "view/gl_fixture.h"
#include "view/quadrics.h"

using gl_test::GlView;

namespace {

struct Case {
    std::string what;
    std::function<void(GLUquadric*)> glu;
    std::function<void(DrawList&)> ours;
    double extent; // half the size of the box the capture shows
};

} // namespace

TEST(Quadrics, MatchGlusPrimitivesVertexForVertex) {
    if (gl_test::kSanitized) {
        GTEST_SKIP() << "GLU draws with glBegin/glEnd, which loses Mesa's buffers in feedback mode";
    }
    GlView gl;
    gl.draw_frame(); // places the light
    GLUquadric* q = gluNewQuadric();
    std::vector<Case> cases = {
        {"wheel", [](GLUquadric* g) { gluDisk(g, 0.0, 0.15, 8, 1); },
         [](DrawList& d) { disk(d, 0.0, 0.15, 8, 1); }, 0.2},
        {"tread", [](GLUquadric* g) { gluCylinder(g, 0.15, 0.15, 0.1, 8, 1); },
         [](DrawList& d) { cylinder(d, 0.15, 0.15, 0.1, 8, 1); }, 0.2},
        {"post", [](GLUquadric* g) { gluCylinder(g, 0.6, 0.6, 1.1, 12, 1); },
         [](DrawList& d) { cylinder(d, 0.6, 0.6, 1.1, 12, 1); }, 1.2},
        {"cup", [](GLUquadric* g) { gluCylinder(g, 0.7, 0.7, 0.4, 12, 1); },
         [](DrawList& d) { cylinder(d, 0.7, 0.7, 0.4, 12, 1); }, 1.0},
        {"inner cup", [](GLUquadric* g) { gluCylinder(g, 0.5, 0.5, 0.4, 12, 1); },
         [](DrawList& d) { cylinder(d, 0.5, 0.5, 0.4, 12, 1); }, 1.0},
        {"rim", [](GLUquadric* g) { gluDisk(g, 0.5, 0.7, 12, 3); },
         [](DrawList& d) { disk(d, 0.5, 0.7, 12, 3); }, 1.0},
        {"floor", [](GLUquadric* g) { gluDisk(g, 0.0, 0.7, 12, 3); },
         [](DrawList& d) { disk(d, 0.0, 0.7, 12, 3); }, 1.0},
    };
    // Ball radii run from 0 to just under 0.5 in steps of 1 / 65536.
    for (int k = 0; k < 32768; k += 1031) {
        const double r = k / 65536.0;
        cases.push_back({"ball " + std::to_string(k), [r](GLUquadric* g) { gluSphere(g, r, 6, 6); },
                         [r](DrawList& d) { sphere(d, r, 6, 6); }, 0.6});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const gl_test::Feedback theirs = gl.capture(
            [&] {
                glEnable(GL_LIGHTING);
                glColor3f(1.0f, 1.0f, 1.0f);
                c.glu(q);
            },
            c.extent);
        const gl_test::Feedback ours = gl.capture(
            [&] {
                DrawList d;
                d.lighting(true);
                c.ours(d);
                d.flush();
            },
            c.extent);
        ASSERT_FALSE(theirs.values.empty());
        EXPECT_EQ(ours.values, theirs.values);
    }
    gluDeleteQuadric(q);
}
