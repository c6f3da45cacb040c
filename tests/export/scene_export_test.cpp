// The exported file as a viewer reads it: a node per car with its two wheel
// sets, the rails, ties and ground, the light where the view's light shines
// from, the view's colours, and the lap's channels.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

#include "analysis/ride_test_designs.h"
#include "export/scene_export.h"

namespace {

nlohmann::json json_chunk(const std::vector<unsigned char>& glb) {
    const std::size_t length = glb[12] | glb[13] << 8 | glb[14] << 16 | glb[15] << 24;
    return nlohmann::json::parse(glb.begin() + 20, glb.begin() + 20 + static_cast<long>(length));
}

const nlohmann::json* node_named(const nlohmann::json& gltf, const std::string& name) {
    for (const auto& node : gltf["nodes"]) {
        if (node.value("name", "") == name) {
            return &node;
        }
    }
    return nullptr;
}

TEST(SceneExport, ACarNodeEachTheTrackTheLightAndTheLap) {
    const struct {
        const char* name;
        int cars;
        double speed;
        ControlPoint light;
        Point3 shines_from;
    } rows[] = {
        {"three cars", 3, 5.0, {0.0, 4.0, 4.0}, {0.0, 0.7071068, 0.7071068}},
        {"eight cars, light below", 8, 10.0, {0.0, -2.0, 0.0}, {0.0, -1.0, 0.0}},
        {"standing", 1, 0.0, {3.0, 0.0, 4.0}, {0.6, 0.0, 0.8}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const SceneExport scene =
            export_scene(ride_test::hills(), row.light, row.cars, {true, true, row.speed});
        const nlohmann::json gltf = json_chunk(scene.glb);
        for (const char* fixed : {"Ground", "Rails", "Ties", "Train", "Light"}) {
            EXPECT_NE(node_named(gltf, fixed), nullptr) << fixed;
        }
        EXPECT_EQ(node_named(gltf, "Train")->at("children").size(),
                  static_cast<std::size_t>(row.cars));
        for (int c = 1; c <= row.cars; ++c) {
            const nlohmann::json* car = node_named(gltf, "Car " + std::to_string(c));
            ASSERT_NE(car, nullptr) << c;
            EXPECT_EQ(car->at("children").size(), 2u);
        }
        EXPECT_EQ(node_named(gltf, "Car " + std::to_string(row.cars + 1)), nullptr);
        // The light shines along its node's -z: +z turned by the rotation
        // points back at where the view's light comes from.
        const auto& q = node_named(gltf, "Light")->at("rotation");
        const double x = q[0], y = q[1], z = q[2], w = q[3];
        const Point3 back{2 * (x * z + y * w), 2 * (y * z - x * w), 1 - 2 * (x * x + y * y)};
        EXPECT_LT(length(back - row.shines_from), 1e-6);
        // A viewer turns the linear base colour back into the view's sRGB one.
        for (const auto& material : gltf["materials"]) {
            const auto& pbr = material["pbrMetallicRoughness"];
            EXPECT_EQ(pbr["metallicFactor"], 0.0);
            EXPECT_GE(pbr["roughnessFactor"], 0.8);
            if (material["name"] == "Car bodies") {
                const float view[3] = {0.0f, 0.27451f, 0.7059f};
                for (int c = 0; c < 3; ++c) {
                    const double l = pbr["baseColorFactor"][c];
                    const double shown =
                        l <= 0.0031308 ? 12.92 * l : 1.055 * std::pow(l, 1 / 2.4) - 0.055;
                    EXPECT_NEAR(shown, view[c], 1e-6) << c;
                }
                EXPECT_NE(pbr["baseColorFactor"][1], 0.27451f);
            }
        }
        if (row.speed == 0.0) {
            EXPECT_FALSE(gltf.contains("animations"));
            EXPECT_EQ(scene.keys, 0);
            continue;
        }
        const auto& channels = gltf["animations"][0]["channels"];
        EXPECT_EQ(channels.size(), 6u * static_cast<std::size_t>(row.cars));
        const int input = gltf["animations"][0]["samplers"][0]["input"];
        EXPECT_FLOAT_EQ(gltf["accessors"][input]["max"][0].get<float>(),
                        static_cast<float>(scene.lap_time));
        EXPECT_EQ(gltf["accessors"][input]["count"], scene.keys);
    }
}

} // namespace
