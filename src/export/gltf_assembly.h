// Builds a glTF 2.0 document piece by piece: its binary buffer with the
// buffer views and accessors over it, materials, meshes and nodes. What the
// scene holds is decided by the caller; this only files it by the format.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "export/scene_mesh.h"
#include "scene/scene_shapes.h"

class GltfAssembly {
public:
    GltfAssembly();
    ~GltfAssembly();
    GltfAssembly(const GltfAssembly&) = delete;
    GltfAssembly& operator=(const GltfAssembly&) = delete;

    // A surface: a rough, non-metallic one of the colour, seen from both
    // sides as the view draws every face.
    struct Material {
        const char* name;
        shapes::Rgb colour;
    };
    struct Primitive {
        const Mesh* mesh;
        Material material;
    };
    // A mesh of one or more triangle primitives (each with positions, normals
    // and indices), or -1 when none of them has a triangle: nothing is filed.
    // A material is filed once, by name, with the first primitive that uses it.
    int mesh(const std::string& name, const std::vector<Primitive>& primitives);
    // float data of `components` per element (1, 3 or 4) for an animation,
    // with its bounds when `bounded` (sampler inputs need them).
    int animation_accessor(const std::vector<float>& values, int components, bool bounded);

    // A node; mesh -1 for none. Returns its index.
    int node(const std::string& name, int mesh, const std::vector<double>& translation,
             const std::vector<double>& rotation, const std::vector<int>& children);
    // A directional light (KHR_lights_punctual) on a new node turned so that
    // it shines along -`towards`.
    int directional_light(const std::string& name, const std::vector<double>& translation,
                          const std::vector<double>& rotation);
    // An animation of LINEAR samplers over one input: each channel is a
    // node, its path ("translation" or "rotation") and its output accessor.
    struct Channel {
        int node;
        const char* path;
        int output;
    };
    void animation(const std::string& name, int input, const std::vector<Channel>& channels);

    // The whole document as JSON text with the nodes as its one scene, and
    // the binary buffer it refers to.
    std::string json(const std::vector<int>& scene_nodes, const std::string& generator);
    const std::vector<unsigned char>& binary() const { return bin_; }

private:
    struct Json;
    int material(const Material& material);
    // Appends bytes at a four-byte boundary as a new buffer view (target 0:
    // none). Returns the view's index.
    int view(const void* data, std::size_t bytes, int target);
    int vec3_accessor(const std::vector<float>& values, bool bounded);
    int index_accessor(const std::vector<std::uint32_t>& indices);

    std::unique_ptr<Json> json_;
    std::vector<unsigned char> bin_;
};
