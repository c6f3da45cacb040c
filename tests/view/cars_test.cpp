// The train as issued to GL: body quads, wheel sets and axles, placed by the
// track's frame at each car's own parameter.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "view/gl_fixture.h"

namespace {

using gl_test::Feedback;
using gl_test::FeedbackVertex;
using gl_test::GlView;

using Polygons = std::vector<std::vector<FeedbackVertex>>;

constexpr float kBody[3] = {0.0f, 0.27451f, 0.7059f};
constexpr float kWheel[3] = {0.6275f, 0.4902f, 0.0f};

// The car frame of a level, unbanked track at u: across, up, forward.
struct Frame {
    Point3 origin, across, up, forward;
    Point3 local(const Point3& w) const {
        const Point3 d = w - origin;
        return {dot(d, across), dot(d, up), dot(d, forward)};
    }
};

Frame frame_at(const Track& track, float u) {
    Frame f;
    f.origin = track.position_at(u);
    f.forward = track.tangent_at(u);
    f.up = track.up_at(u);
    f.across = cross(f.up, f.forward);
    return f;
}

// A Linear ring whose first side runs straight along +z at x = -10, y = 1:
// a car there has the world's axes for its own.
void straight_track(Scene& scene) {
    scene.set_curve_type(CurveType::Linear);
    const double corners[4][2] = {{-10, -10}, {-10, 10}, {10, 10}, {10, -10}};
    for (int i = 0; i < 4; ++i) {
        scene.track().point(i) = ControlPoint(corners[i][0], 1.0, corners[i][1]);
    }
}

TEST(Cars, OneBodyPerCarOpenAtTheTopAndShadedByTheLight) {
    GlView gl;
    CoasterWindow& view = gl.view();
    const int per_body = 28 * gl.polygons_per_quad();
    for (int cars : {1, 3, 8}) {
        view.scene().train().cars = cars;
        const Feedback fb = gl.capture([&] { view.draw_cars(); });
        EXPECT_EQ(fb.polygons_coloured(kBody[0], kBody[1], kBody[2]).size(),
                  static_cast<std::size_t>(per_body * cars));
    }

    // One car at z = 0 on the straight side: car coordinates are the world's
    // less (-10, 1.7, 0), the body being lifted 0.7 above the track.
    straight_track(view.scene());
    view.scene().train().cars = 1;
    view.scene().train().car_u = 0.5f;
    view.scene().light().set_position(2.0, 5.0, 3.0);
    const Feedback fb = gl.capture([&] { view.draw_cars(); }, 12.0, 1 << 21, true);
    const Polygons body(fb.polygons.begin(), fb.polygons.begin() + per_body);
    EXPECT_LT(gl_test::shading_error(body, {kBody[0], kBody[1], kBody[2]},
                                     gl_test::unit(Point3{2.0, 5.0, 3.0})),
              2e-3);

    // The heights of the body's top surfaces, looking down on it at (x, z):
    // the back wall and the side walls beside the seat reach 0.5, the seat
    // 0, the foot well -0.375, the walls beside it -0.25 and the nose 0.25.
    auto top_at = [&](double x, double z) {
        double top = -1e9;
        for (std::size_t k = 0; k < body.size(); ++k) {
            const Point3 n = gl_test::outward_normal(body, k);
            const Point3 a = body[k][0].world, b = body[k][1].world, c = body[k][2].world;
            const auto inside = [&](const Point3& p, const Point3& q) {
                return (q.x - p.x) * (z - p.z) - (q.z - p.z) * (x - 10.0 - p.x);
            };
            const double s1 = inside(a, b), s2 = inside(b, c), s3 = inside(c, a);
            const bool over = (s1 >= 0 && s2 >= 0 && s3 >= 0) || (s1 <= 0 && s2 <= 0 && s3 <= 0);
            if (n.y > 0.99 && over) {
                top = std::max(top, a.y - 1.7);
            }
        }
        return top;
    };
    struct Top {
        double x, z, y;
    };
    for (const Top t : {Top{0.0, -0.95, 0.5}, Top{0.0, -0.5, 0.0}, Top{0.0, 0.3, -0.375},
                        Top{0.0, 0.95, 0.25}, Top{0.42, -0.5, 0.5}, Top{-0.42, -0.5, 0.5},
                        Top{0.42, 0.4, -0.25}, Top{-0.42, 0.4, -0.25}, Top{0.42, 0.95, 0.25}}) {
        EXPECT_NEAR(top_at(t.x, t.z), t.y, 1e-3) << "at x " << t.x << ", z " << t.z;
    }
}

TEST(Cars, WheelSetsSitOnTheRailsAtTheirOwnParameters) {
    GlView gl;
    CoasterWindow& view = gl.view();
    view.scene().train().cars = 2;
    view.scene().train().car_u = 1.2f;
    const Track& track = view.scene().track();
    const Feedback fb = gl.capture([&] { view.draw_cars(); });
    const Polygons wheels = fb.polygons_coloured(kWheel[0], kWheel[1], kWheel[2]);
    // Each set: four eight-sided disks (triangle fans) and two eight-sided treads.
    ASSERT_EQ(wheels.size(), 4u * (4 * 8 + 2 * 8 * gl.polygons_per_quad()));

    std::vector<float> sets;
    for (int car = 0; car < 2; ++car) {
        const float u = track.advance(-2.2 * car, view.scene().train().car_u);
        sets.push_back(track.advance(0.7, u));
        sets.push_back(track.advance(-0.7, u));
    }
    std::vector<Point3> sum(sets.size());
    std::vector<int> count(sets.size(), 0);
    for (const auto& polygon : wheels) {
        for (const auto& v : polygon) {
            std::size_t nearest = 0;
            for (std::size_t s = 1; s < sets.size(); ++s) {
                if (length(v.world - track.position_at(sets[s])) <
                    length(v.world - track.position_at(sets[nearest]))) {
                    nearest = s;
                }
            }
            sum[nearest] = sum[nearest] + v.world;
            ++count[nearest];
            // Every wheel vertex lies within a wheel of its set: 0.425 out
            // along the axle at most, 0.15 from the axle line.
            const Point3 l = frame_at(track, sets[nearest]).local(v.world);
            EXPECT_LE(std::fabs(l.x), 0.425 + 1e-3);
            EXPECT_GE(std::fabs(l.x), 0.325 - 1e-3);
            EXPECT_LE(std::hypot(l.y - 0.15, l.z), 0.15 + 1e-3);
        }
    }
    for (std::size_t s = 0; s < sets.size(); ++s) {
        ASSERT_GT(count[s], 0) << "wheel set " << s;
        // Both wheels of a set are mirror images, so their vertices average
        // out on the axle, 0.15 above the track line.
        const Point3 centre = sum[s] / count[s];
        const Frame f = frame_at(track, sets[s]);
        const Point3 expected = f.origin + 0.15 * f.up;
        EXPECT_LT(length(centre - expected), 2e-3) << "wheel set " << s;
    }

    // One grey axle per set, 0.75 long across the track at wheel height.
    std::vector<gl_test::FeedbackLine> axles = fb.lines;
    ASSERT_EQ(axles.size(), sets.size());
    for (std::size_t s = 0; s < sets.size(); ++s) {
        const auto& line = axles[s];
        EXPECT_NEAR(line.a.colour[0], 0.4f, 2e-3);
        EXPECT_NEAR(line.a.colour[2], 0.42f, 2e-3);
        EXPECT_NEAR(length(line.a.world - line.b.world), 0.75, 1e-3);
        const Frame f = frame_at(track, sets[s]);
        const Point3 mid = 0.5 * (line.a.world + line.b.world);
        EXPECT_LT(length(mid - (f.origin + 0.15 * f.up)), 1e-3);
        const Point3 dir = gl_test::unit(line.b.world - line.a.world);
        EXPECT_NEAR(std::fabs(dot(dir, f.across)), 1.0, 1e-3);
    }

    // Seen from the front, below the body, the axles are three pixels thick.
    straight_track(view.scene());
    view.scene().train().car_u = 0.5f;
    const Point3 axle{-10.0, 1.15, 0.0};
    const gl_test::Image front =
        gl.render([&] { view.draw_cars(); }, axle + Point3{0, 0, 20}, axle, {0, 1, 0}, 0.6);
    EXPECT_EQ(front.count(240, 0, 240, 479, gl_test::Rgb{102, 102, 107}), 3);
}

TEST(Cars, BodyTurnsWithTheClimbAndTheBankLikeTheRails) {
    GlView gl;
    CoasterWindow& view = gl.view();
    Track& track = view.scene().track();
    const int ppq = gl.polygons_per_quad();
    view.scene().train().car_u = 0.5f; // a rail sample: vertex 10 of each rail loop
    struct Shape {
        double y1;
        double roll;
    };
    for (const Shape shape : {Shape{1.0, 40.0}, Shape{1.0, -25.0}, Shape{3.0, 0.0}}) {
        track.point(1).set_position(-2.5, shape.y1, 2.501);
        for (int i = 0; i < 4; ++i) {
            track.point(i).roll = shape.roll;
        }
        // The frame the rails give: across from one rail to the other,
        // forward along the track, up at right angles to both.
        const auto rails = gl.capture([&] { view.draw_rails(); }).strips();
        ASSERT_EQ(rails.size(), 2u);
        Frame f;
        f.origin = track.position_at(view.scene().train().car_u);
        f.across = gl_test::unit(rails[0][10].a.world - rails[1][10].a.world);
        f.forward = track.tangent_at(view.scene().train().car_u);
        f.up = cross(f.forward, f.across);
        ASSERT_NEAR(dot(f.across, f.forward), 0.0, 1e-3);

        const Feedback fb = gl.capture([&] { view.draw_cars(); });
        const Polygons body = fb.polygons_coloured(kBody[0], kBody[1], kBody[2]);
        ASSERT_EQ(body.size(), static_cast<std::size_t>(28 * ppq));
        double lo[3] = {1e9, 1e9, 1e9};
        double hi[3] = {-1e9, -1e9, -1e9};
        for (const auto& polygon : body) {
            for (const auto& v : polygon) {
                const Point3 l = f.local(v.world);
                const double c[3] = {l.x, l.y, l.z};
                for (int k = 0; k < 3; ++k) {
                    lo[k] = std::min(lo[k], c[k]);
                    hi[k] = std::max(hi[k], c[k]);
                }
            }
        }
        EXPECT_NEAR(lo[0], -0.5, 2e-3) << "roll " << shape.roll << " y " << shape.y1;
        EXPECT_NEAR(hi[0], 0.5, 2e-3) << "roll " << shape.roll << " y " << shape.y1;
        EXPECT_NEAR(lo[1], 0.2, 2e-3) << "roll " << shape.roll << " y " << shape.y1;
        EXPECT_NEAR(hi[1], 1.2, 2e-3) << "roll " << shape.roll << " y " << shape.y1;
        EXPECT_NEAR(lo[2], -1.0, 2e-3) << "roll " << shape.roll << " y " << shape.y1;
        EXPECT_NEAR(hi[2], 1.0, 2e-3) << "roll " << shape.roll << " y " << shape.y1;
    }
}

} // namespace
