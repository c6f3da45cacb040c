// The ride's solid geometry as indexed triangles, built from the frame's
// layout and the shared shapes the view draws: the rails as tubes round the
// rail lines, the ties, a car body, a wheel set and the ground. No GL, no files.
#pragma once

#include <cstdint>
#include <vector>

#include "scene/frame_layout.h"
#include "track/point3.h"

// Positions and unit normals (x, y, z each, as float) and triangles.
struct Mesh {
    std::vector<float> positions;
    std::vector<float> normals;
    std::vector<std::uint32_t> indices;

    int vertex_count() const { return static_cast<int>(positions.size() / 3); }
    int triangle_count() const { return static_cast<int>(indices.size() / 3); }
    // Adds a vertex; returns its index.
    std::uint32_t vertex(const Point3& position, const Point3& normal);
    // Four vertices in order round a flat face, as two triangles.
    void quad(const Point3 (&corners)[4], const Point3& normal);
};

// A rail drawn as a line is a pixel wide in a viewer, if drawn at all: the
// export makes it a tube of this radius.
constexpr double kRailTubeRadius = 0.05;
constexpr int kRailTubeSides = 6;

// Both rails of the layout, each a closed tube whose ring k is centred on the
// rail's vertex k. Vertices that are not finite are left out, as the view
// leaves them out of its rail lines.
Mesh rails_mesh(const FrameLayout& layout);
// Every tie of the layout as the view's tie box, turned and placed as the view
// places it, in world coordinates. Ties that are not finite are left out.
Mesh ties_mesh(const FrameLayout& layout);
// A car body in the car's own frame (+z forward, +y up), lifted as the view
// lifts it.
Mesh car_body_mesh();
// A wheel set's wheels, and its axle (a thin box), in the wheel set's frame.
Mesh wheels_mesh();
Mesh axle_mesh();
// The ground's black (white = false) or white cells, facing up.
Mesh ground_mesh(bool white);
