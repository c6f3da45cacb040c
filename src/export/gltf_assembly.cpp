#include "export/gltf_assembly.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include <nlohmann/json.hpp>

namespace {

constexpr int kArrayBuffer = 34962;
constexpr int kElementArrayBuffer = 34963;
constexpr int kFloat = 5126;
constexpr int kUnsignedInt = 5125;
constexpr int kTriangles = 4;
// Not a metal, and rough: the view's fixed-function light has no sheen to
// speak of.
constexpr double kRoughness = 0.9;

// The view's colours go to the screen as they are, which shows them as sRGB;
// glTF's base colour is linear, so a viewer shows the view's own colour
// from the linear value of the sRGB one.
double linear_of(float srgb) {
    return srgb <= 0.04045f ? srgb / 12.92 : std::pow((srgb + 0.055) / 1.055, 2.4);
}

const char* type_of(int components) {
    return components == 1 ? "SCALAR" : components == 3 ? "VEC3" : "VEC4";
}

// The least and greatest of each component, as the validator checks them.
void bounds(const std::vector<float>& values, int components, nlohmann::json& accessor) {
    std::vector<float> lo(components, std::numeric_limits<float>::max());
    std::vector<float> hi(components, std::numeric_limits<float>::lowest());
    for (std::size_t k = 0; k < values.size(); ++k) {
        const std::size_t c = k % static_cast<std::size_t>(components);
        lo[c] = std::min(lo[c], values[k]);
        hi[c] = std::max(hi[c], values[k]);
    }
    accessor["min"] = lo;
    accessor["max"] = hi;
}

} // namespace

struct GltfAssembly::Json {
    nlohmann::json materials = nlohmann::json::array();
    nlohmann::json meshes = nlohmann::json::array();
    nlohmann::json nodes = nlohmann::json::array();
    nlohmann::json views = nlohmann::json::array();
    nlohmann::json accessors = nlohmann::json::array();
    nlohmann::json animations = nlohmann::json::array();
    nlohmann::json lights = nlohmann::json::array();
};

GltfAssembly::GltfAssembly() : json_(std::make_unique<Json>()) {}
GltfAssembly::~GltfAssembly() = default;

int GltfAssembly::view(const void* data, std::size_t bytes, int target) {
    bin_.resize((bin_.size() + 3) / 4 * 4, 0);
    nlohmann::json v = {{"buffer", 0}, {"byteOffset", bin_.size()}, {"byteLength", bytes}};
    if (target != 0) {
        v["target"] = target;
    }
    const std::size_t at = bin_.size();
    bin_.resize(at + bytes);
    std::memcpy(bin_.data() + at, data, bytes);
    json_->views.push_back(std::move(v));
    return static_cast<int>(json_->views.size()) - 1;
}

int GltfAssembly::vec3_accessor(const std::vector<float>& values, bool bounded) {
    nlohmann::json a = {{"bufferView", view(values.data(), values.size() * 4, kArrayBuffer)},
                        {"componentType", kFloat},
                        {"count", values.size() / 3},
                        {"type", "VEC3"}};
    if (bounded) {
        bounds(values, 3, a);
    }
    json_->accessors.push_back(std::move(a));
    return static_cast<int>(json_->accessors.size()) - 1;
}

int GltfAssembly::index_accessor(const std::vector<std::uint32_t>& indices) {
    json_->accessors.push_back(
        {{"bufferView", view(indices.data(), indices.size() * 4, kElementArrayBuffer)},
         {"componentType", kUnsignedInt},
         {"count", indices.size()},
         {"type", "SCALAR"}});
    return static_cast<int>(json_->accessors.size()) - 1;
}

int GltfAssembly::animation_accessor(const std::vector<float>& values, int components,
                                     bool bounded) {
    nlohmann::json a = {{"bufferView", view(values.data(), values.size() * 4, 0)},
                        {"componentType", kFloat},
                        {"count", values.size() / static_cast<std::size_t>(components)},
                        {"type", type_of(components)}};
    if (bounded) {
        bounds(values, components, a);
    }
    json_->accessors.push_back(std::move(a));
    return static_cast<int>(json_->accessors.size()) - 1;
}

int GltfAssembly::material(const Material& material) {
    for (std::size_t k = 0; k < json_->materials.size(); ++k) {
        if (json_->materials[k]["name"] == material.name) {
            return static_cast<int>(k);
        }
    }
    const shapes::Rgb& colour = material.colour;
    json_->materials.push_back(
        {{"name", material.name},
         {"pbrMetallicRoughness",
          {{"baseColorFactor",
            {linear_of(colour.r), linear_of(colour.g), linear_of(colour.b), 1.0}},
           {"metallicFactor", 0.0},
           {"roughnessFactor", kRoughness}}},
         {"doubleSided", true}});
    return static_cast<int>(json_->materials.size()) - 1;
}

int GltfAssembly::mesh(const std::string& name, const std::vector<Primitive>& primitives) {
    nlohmann::json list = nlohmann::json::array();
    for (const Primitive& p : primitives) {
        if (p.mesh->triangle_count() == 0) {
            continue;
        }
        list.push_back({{"attributes",
                         {{"POSITION", vec3_accessor(p.mesh->positions, true)},
                          {"NORMAL", vec3_accessor(p.mesh->normals, false)}}},
                        {"indices", index_accessor(p.mesh->indices)},
                        {"material", material(p.material)},
                        {"mode", kTriangles}});
    }
    if (list.empty()) {
        return -1;
    }
    json_->meshes.push_back({{"name", name}, {"primitives", std::move(list)}});
    return static_cast<int>(json_->meshes.size()) - 1;
}

int GltfAssembly::node(const std::string& name, int mesh, const std::vector<double>& translation,
                       const std::vector<double>& rotation, const std::vector<int>& children) {
    nlohmann::json n = {{"name", name}};
    if (mesh >= 0) {
        n["mesh"] = mesh;
    }
    if (!translation.empty()) {
        n["translation"] = translation;
    }
    if (!rotation.empty()) {
        n["rotation"] = rotation;
    }
    if (!children.empty()) {
        n["children"] = children;
    }
    json_->nodes.push_back(std::move(n));
    return static_cast<int>(json_->nodes.size()) - 1;
}

int GltfAssembly::directional_light(const std::string& name, const std::vector<double>& translation,
                                    const std::vector<double>& rotation) {
    json_->lights.push_back(
        {{"name", name}, {"type", "directional"}, {"color", {1.0, 1.0, 1.0}}, {"intensity", 3.0}});
    const int at = node(name, -1, translation, rotation, {});
    json_->nodes[at]["extensions"] = {
        {"KHR_lights_punctual", {{"light", json_->lights.size() - 1}}}};
    return at;
}

void GltfAssembly::animation(const std::string& name, int input,
                             const std::vector<Channel>& channels) {
    nlohmann::json samplers = nlohmann::json::array();
    nlohmann::json targets = nlohmann::json::array();
    for (const Channel& c : channels) {
        targets.push_back(
            {{"sampler", samplers.size()}, {"target", {{"node", c.node}, {"path", c.path}}}});
        samplers.push_back({{"input", input}, {"output", c.output}, {"interpolation", "LINEAR"}});
    }
    json_->animations.push_back(
        {{"name", name}, {"channels", std::move(targets)}, {"samplers", std::move(samplers)}});
}

std::string GltfAssembly::json(const std::vector<int>& scene_nodes, const std::string& generator) {
    bin_.resize((bin_.size() + 3) / 4 * 4, 0);
    nlohmann::json doc = {{"asset", {{"version", "2.0"}, {"generator", generator}}},
                          {"scene", 0},
                          {"scenes", {{{"name", "Ride"}, {"nodes", scene_nodes}}}},
                          {"nodes", json_->nodes}};
    const std::pair<const char*, const nlohmann::json*> parts[] = {
        {"materials", &json_->materials},
        {"meshes", &json_->meshes},
        {"accessors", &json_->accessors},
        {"bufferViews", &json_->views},
        {"animations", &json_->animations}};
    for (const auto& [key, value] : parts) {
        if (!value->empty()) {
            doc[key] = *value;
        }
    }
    if (!bin_.empty()) {
        doc["buffers"] = {{{"byteLength", bin_.size()}}};
    }
    if (!json_->lights.empty()) {
        doc["extensionsUsed"] = {"KHR_lights_punctual"};
        doc["extensions"] = {{"KHR_lights_punctual", {{"lights", json_->lights}}}};
    }
    return doc.dump();
}
