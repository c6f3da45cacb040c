// The exported scene against the frame the view draws: every rail vertex, tie
// and car body of the export sits where GL_FEEDBACK finds the view's own, for
// each example design.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <limits>
#include <vector>

#include "export/ride_keys.h"
#include "export/scene_mesh.h"
#include "scene/frame_layout.h"
#include "scene/scene_shapes.h"
#include "view/gl_fixture.h"

namespace {

using gl_test::GlView;
using gl_test::Polygon;

// Feedback positions come back through float window coordinates.
constexpr double kTolerance = 2e-3;

struct Box {
    Point3 lo{std::numeric_limits<double>::max(), std::numeric_limits<double>::max(),
              std::numeric_limits<double>::max()};
    Point3 hi{-std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(),
              -std::numeric_limits<double>::max()};
    void add(const Point3& p) {
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }
};

// The boxes round each run of `per` polygons, as drawn.
std::vector<Box> drawn_boxes(const std::vector<Polygon>& polygons, std::size_t per) {
    std::vector<Box> boxes(polygons.size() / per);
    for (std::size_t k = 0; k < boxes.size() * per; ++k) {
        for (const auto& v : polygons[k]) {
            boxes[k / per].add(v.world);
        }
    }
    return boxes;
}

// The boxes round each run of `per` vertices of the mesh, each vertex placed by `place`.
template <typename Place> std::vector<Box> exported_boxes(const Mesh& mesh, int per, Place place) {
    std::vector<Box> boxes(static_cast<std::size_t>(mesh.vertex_count() / per));
    for (int k = 0; k < mesh.vertex_count(); ++k) {
        const float* p = &mesh.positions[3 * static_cast<std::size_t>(k)];
        boxes[static_cast<std::size_t>(k / per)].add(place(Point3{p[0], p[1], p[2]}, k / per));
    }
    return boxes;
}

void expect_same_boxes(const std::vector<Box>& drawn, const std::vector<Box>& exported,
                       const char* what) {
    ASSERT_EQ(drawn.size(), exported.size()) << what;
    for (std::size_t k = 0; k < drawn.size(); ++k) {
        EXPECT_LT(length(drawn[k].lo - exported[k].lo), kTolerance) << what << " " << k;
        EXPECT_LT(length(drawn[k].hi - exported[k].hi), kTolerance) << what << " " << k;
    }
}

Point3 turned(const Quaternion& q, const Point3& v) {
    const Quaternion r = q * Quaternion{v.x, v.y, v.z, 0.0} * conjugate(q);
    return {r.x, r.y, r.z};
}

TEST(SceneExport, RailsTiesAndCarsSitWhereTheFrameDrawsThem) {
    const auto folder = std::filesystem::path(LOOPTIDE_SOURCE_DIR) / "data" / "examples";
    int examples = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        SCOPED_TRACE(entry.path().filename().string());
        GlView gl;
        ASSERT_FALSE(gl.document().open(entry.path().string()));
        ++examples;
        const Scene& scene = gl.scene();
        FrameLayout layout;
        layout.build(scene.track(), scene.train().car_u, scene.train().cars);

        // Ring k of the rail tubes is centred on the drawn rail's vertex k.
        const auto strips = gl.capture([&] { gl.view().draw_rails(); }).strips();
        ASSERT_EQ(strips.size(), 2u);
        const Mesh rails = rails_mesh(layout);
        const auto rings =
            exported_boxes(rails, kRailTubeSides, [](const Point3& p, int) { return p; });
        ASSERT_EQ(rings.size(), 2 * strips[0].size());
        for (std::size_t k = 0; k < rings.size(); ++k) {
            const Point3 centre = 0.5 * (rings[k].lo + rings[k].hi);
            const auto& strip = strips[k / strips[0].size()];
            EXPECT_LT(length(centre - strip[k % strip.size()].a.world), kTolerance) << "ring " << k;
        }

        const std::size_t per_quad = static_cast<std::size_t>(gl.polygons_per_quad());
        const shapes::Rgb tie = shapes::kTieColour;
        const auto drawn_ties =
            gl.capture([&] { gl.view().draw_ties(); }).polygons_coloured(tie.r, tie.g, tie.b);
        expect_same_boxes(
            drawn_boxes(drawn_ties, 6 * per_quad),
            exported_boxes(ties_mesh(layout), 24, [](const Point3& p, int) { return p; }), "tie");

        // Each car body through its node's place.
        std::vector<CarPlaces> places;
        for (int c = 0; c < layout.car_count(); ++c) {
            places.push_back(car_places(layout.cars()[c]));
        }
        const Mesh body = car_body_mesh();
        Mesh bodies;
        for (std::size_t c = 0; c < places.size(); ++c) {
            bodies.positions.insert(bodies.positions.end(), body.positions.begin(),
                                    body.positions.end());
        }
        const shapes::Rgb blue = shapes::kBodyColour;
        const auto drawn_cars =
            gl.capture([&] { gl.view().draw_cars(); }).polygons_coloured(blue.r, blue.g, blue.b);
        expect_same_boxes(drawn_boxes(drawn_cars, 28 * per_quad),
                          exported_boxes(bodies, body.vertex_count(),
                                         [&](const Point3& p, int car) {
                                             const NodePlace& at =
                                                 places[static_cast<std::size_t>(car)].body;
                                             return at.translation + turned(at.rotation, p);
                                         }),
                          "car body");
    }
    EXPECT_GE(examples, 5);
}

} // namespace
