// The scene's nodes: "Ground", "Rails" (both rails), "Ties", "Train" with
// a "Car N" per car (its body) and under each car its "Car N front wheels" and
// "Car N rear wheels", and "Light". One metre is one unit, y up, as in the view.
#include "export/scene_export.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "export/glb_writer.h"
#include "export/gltf_assembly.h"
#include "export/ride_keys.h"
#include "scene/scene_shapes.h"

namespace {

std::vector<double> vec(const Point3& p) {
    return {p.x, p.y, p.z};
}

// Narrowed to float as the keys are, and kept within [-1, 1] where rounding
// a unit quaternion's double would step past it.
std::vector<double> vec(const Quaternion& q) {
    std::vector<double> v;
    for (const double c : {q.x, q.y, q.z, q.w}) {
        v.push_back(static_cast<float>(std::clamp(c, -1.0, 1.0)));
    }
    return v;
}

struct CarNodes {
    int body, front, rear;
};

// The view's colours.
const GltfAssembly::Material kRailMaterial{"Rails and axles", shapes::kRailColour};
const GltfAssembly::Material kTieMaterial{"Ties", shapes::kTieColour};
const GltfAssembly::Material kBodyMaterial{"Car bodies", shapes::kBodyColour};
const GltfAssembly::Material kWheelMaterial{"Wheels", shapes::kWheelColour};
const GltfAssembly::Material kAxleMaterial{"Rails and axles", shapes::kAxleColour};
const GltfAssembly::Material kBlackMaterial{"Ground black", {0.0f, 0.0f, 0.0f}};
const GltfAssembly::Material kWhiteMaterial{"Ground white", {1.0f, 1.0f, 1.0f}};

// One node per car with its two wheel sets under it, placed at the first key.
std::vector<CarNodes> add_cars(GltfAssembly& gltf, const std::vector<CarPlaces>& start,
                               long& triangles) {
    const Mesh body = car_body_mesh();
    const Mesh wheels = wheels_mesh();
    const Mesh axle = axle_mesh();
    const int body_mesh = gltf.mesh("Car body", {{&body, kBodyMaterial}});
    const int wheel_mesh =
        gltf.mesh("Wheel set", {{&wheels, kWheelMaterial}, {&axle, kAxleMaterial}});
    std::vector<CarNodes> nodes;
    for (std::size_t c = 0; c < start.size(); ++c) {
        const std::string name = "Car " + std::to_string(c + 1);
        const CarPlaces& p = start[c];
        CarNodes n{};
        n.front = gltf.node(name + " front wheels", wheel_mesh, vec(p.front_wheels.translation),
                            vec(p.front_wheels.rotation), {});
        n.rear = gltf.node(name + " rear wheels", wheel_mesh, vec(p.rear_wheels.translation),
                           vec(p.rear_wheels.rotation), {});
        n.body = gltf.node(name, body_mesh, vec(p.body.translation), vec(p.body.rotation),
                           {n.front, n.rear});
        nodes.push_back(n);
        triangles += body.triangle_count() + 2L * (wheels.triangle_count() + axle.triangle_count());
    }
    return nodes;
}

// The places of every car's three nodes at every key, as the animation's outputs.
void add_animation(GltfAssembly& gltf, const RideKeys& keys, const std::vector<CarNodes>& nodes) {
    const std::vector<float> times(keys.times.begin(), keys.times.end());
    const int input = gltf.animation_accessor(times, 1, true);
    std::vector<GltfAssembly::Channel> channels;
    for (std::size_t c = 0; c < nodes.size(); ++c) {
        const CarNodes& n = nodes[c];
        const std::pair<int, NodePlace CarPlaces::*> parts[] = {{n.body, &CarPlaces::body},
                                                                {n.front, &CarPlaces::front_wheels},
                                                                {n.rear, &CarPlaces::rear_wheels}};
        for (const auto& [node, part] : parts) {
            std::vector<float> moves, turns;
            for (const CarPlaces& places : keys.cars[c]) {
                const NodePlace& p = places.*part;
                for (const double v : vec(p.translation)) {
                    moves.push_back(static_cast<float>(v));
                }
                for (const double v : vec(p.rotation)) {
                    turns.push_back(static_cast<float>(v));
                }
            }
            channels.push_back({node, "translation", gltf.animation_accessor(moves, 3, false)});
            channels.push_back({node, "rotation", gltf.animation_accessor(turns, 4, false)});
        }
    }
    gltf.animation("Ride", input, channels);
}

// The view's light shines from its place towards the origin, as a direction
// (straight down for a light with no usable place); a directional light shines
// along its node's -z.
int add_light(GltfAssembly& gltf, const ControlPoint& light) {
    const Point3 at{light.x, light.y, light.z};
    const double l = length(at);
    const bool usable = std::isfinite(l) && l > 0.0;
    const Point3 from = usable ? at / l : Point3{0.0, 1.0, 0.0};
    return gltf.directional_light("Light", usable ? vec(at) : std::vector<double>{},
                                  vec(quaternion_from_z(from)));
}

// A node for a mesh of world coordinates, when it has triangles.
void add_fixed(GltfAssembly& gltf, std::vector<int>& roots, const std::string& name,
               const std::vector<GltfAssembly::Primitive>& primitives, long& triangles) {
    const int mesh = gltf.mesh(name, primitives);
    if (mesh >= 0) {
        roots.push_back(gltf.node(name, mesh, {}, {}, {}));
        for (const GltfAssembly::Primitive& p : primitives) {
            triangles += p.mesh->triangle_count();
        }
    }
}

bool fits_float(const Point3& p) {
    return std::isfinite(static_cast<float>(p.x)) && std::isfinite(static_cast<float>(p.y)) &&
           std::isfinite(static_cast<float>(p.z));
}

// Whether every place the file would hold as a float is a finite one: a
// track that reaches past about 3.4e38 m (or so far that its rails cannot be
// placed at all, which the view leaves undrawn) has no glTF of its own.
bool fits_floats(const FrameLayout& layout, const Mesh& ties, const std::vector<CarPlaces>& start,
                 const RideKeys& keys) {
    for (int k = 0; k < layout.rail_vertex_count(); ++k) {
        if (!fits_float(layout.left_rail()[k]) || !fits_float(layout.right_rail()[k])) {
            return false;
        }
    }
    if (!std::all_of(ties.positions.begin(), ties.positions.end(),
                     [](float v) { return std::isfinite(v); })) {
        return false;
    }
    const auto car_fits = [](const CarPlaces& p) { return fits_float(p.body.translation); };
    return std::all_of(start.begin(), start.end(), car_fits) &&
           std::all_of(keys.cars.begin(), keys.cars.end(), [&](const auto& car) {
               return std::all_of(car.begin(), car.end(), car_fits);
           });
}

} // namespace

SceneExport export_scene(const Track& track, const ControlPoint& light, int cars,
                         const SpeedModel& motion) {
    SceneExport out;
    const auto layout = std::make_unique<FrameLayout>();
    const RideAnalysis ride = analyse_ride(track, motion);
    const RideKeys keys = ride_keys(track, ride, cars, *layout);
    layout->build(track, 0.0f, cars);
    GltfAssembly gltf;
    std::vector<int> roots;
    const Mesh black = ground_mesh(false), white = ground_mesh(true);
    add_fixed(gltf, roots, "Ground", {{&black, kBlackMaterial}, {&white, kWhiteMaterial}},
              out.triangles);
    const Mesh rails = rails_mesh(*layout);
    add_fixed(gltf, roots, "Rails", {{&rails, kRailMaterial}}, out.triangles);
    const Mesh ties = ties_mesh(*layout);
    add_fixed(gltf, roots, "Ties", {{&ties, kTieMaterial}}, out.triangles);
    std::vector<CarPlaces> start;
    for (int c = 0; c < layout->car_count(); ++c) {
        start.push_back(car_places(layout->cars()[c]));
    }
    if (!fits_floats(*layout, ties, start, keys)) {
        out.problem = "the track reaches farther than the file's numbers do (about 3.4e38 m)";
        return out;
    }
    const std::vector<CarNodes> car_nodes = add_cars(gltf, start, out.triangles);
    std::vector<int> train;
    for (const CarNodes& n : car_nodes) {
        train.push_back(n.body);
    }
    roots.push_back(gltf.node("Train", -1, {}, {}, train));
    roots.push_back(add_light(gltf, light));
    if (!keys.times.empty()) {
        add_animation(gltf, keys, car_nodes);
        out.keys = static_cast<int>(keys.times.size());
        out.lap_time = keys.times.back();
    }
    const std::string json = gltf.json(roots, "Looptide");
    out.glb = glb_bytes(json, gltf.binary());
    return out;
}
