// Each builder follows the view's drawing routine for the same object, reading
// the same layout and shape tables, so the two cannot drift apart.
#include "export/scene_mesh.h"

#include <cmath>

#include "export/turn.h"
#include "scene/scene_shapes.h"

std::uint32_t Mesh::vertex(const Point3& position, const Point3& normal) {
    const auto index = static_cast<std::uint32_t>(vertex_count());
    for (const double v : {position.x, position.y, position.z}) {
        positions.push_back(static_cast<float>(v));
    }
    for (const double v : {normal.x, normal.y, normal.z}) {
        normals.push_back(static_cast<float>(v));
    }
    return index;
}

void Mesh::quad(const Point3 (&corners)[4], const Point3& normal) {
    const std::uint32_t first = vertex(corners[0], normal);
    for (int k = 1; k < 4; ++k) {
        vertex(corners[k], normal);
    }
    indices.insert(indices.end(), {first, first + 1, first + 2, first, first + 2, first + 3});
}

namespace {

Point3 unit_or(const Point3& v, const Point3& fallback) {
    const double l = length(v);
    return l > 1e-12 && std::isfinite(l) ? v / l : fallback;
}

// One closed tube round the points, the ring at each point square to the line
// through its neighbours and turned by `side` (the direction across the
// track there).
void add_tube(Mesh& mesh, const std::vector<Point3>& line, const std::vector<Point3>& side) {
    const std::size_t n = line.size();
    // A rail of no length (a track whose points all coincide) shows nothing
    // in the view, and gets no tube of empty triangles here.
    double run = 0.0;
    for (std::size_t k = 0; k + 1 < n; ++k) {
        run += length(line[k + 1] - line[k]);
    }
    if (!(run > 0.0)) {
        return;
    }
    const auto first = static_cast<std::uint32_t>(mesh.vertex_count());
    for (std::size_t k = 0; k < n; ++k) {
        const Point3 along = unit_or(line[(k + 1) % n] - line[(k + n - 1) % n], {0, 0, 1});
        const Point3 up = unit_or(cross(side[k], along), {0, 1, 0});
        const Point3 across = unit_or(cross(along, up), {1, 0, 0});
        for (int s = 0; s < kRailTubeSides; ++s) {
            const double a = 2 * 3.14159265358979323846 * s / kRailTubeSides;
            const Point3 out = std::cos(a) * across + std::sin(a) * up;
            mesh.vertex(line[k] + kRailTubeRadius * out, out);
        }
    }
    const auto ring = static_cast<std::uint32_t>(kRailTubeSides);
    for (std::size_t k = 0; k < n; ++k) {
        const std::uint32_t a = first + static_cast<std::uint32_t>(k) * ring;
        const std::uint32_t b = first + static_cast<std::uint32_t>((k + 1) % n) * ring;
        for (std::uint32_t s = 0; s < ring; ++s) {
            const std::uint32_t t = (s + 1) % ring;
            mesh.indices.insert(mesh.indices.end(), {a + s, b + s, b + t, a + s, b + t, a + t});
        }
    }
}

// The box's six faces as box_quads gives them, each vertex passed through
// `place` and each normal through `turn`.
template <typename Place, typename TurnNormal>
void add_box(Mesh& mesh, const Point3& lo, const Point3& hi, Place place, TurnNormal turn) {
    const double x0 = lo.x, y0 = lo.y, z0 = lo.z, x1 = hi.x, y1 = hi.y, z1 = hi.z;
    const Point3 faces[6][5] = {
        {{0, 0, 1}, {x0, y0, z1}, {x0, y1, z1}, {x1, y1, z1}, {x1, y0, z1}},
        {{0, 0, -1}, {x0, y0, z0}, {x0, y1, z0}, {x1, y1, z0}, {x1, y0, z0}},
        {{0, 1, 0}, {x0, y1, z0}, {x0, y1, z1}, {x1, y1, z1}, {x1, y1, z0}},
        {{0, -1, 0}, {x0, y0, z0}, {x0, y0, z1}, {x1, y0, z1}, {x1, y0, z0}},
        {{1, 0, 0}, {x1, y0, z0}, {x1, y0, z1}, {x1, y1, z1}, {x1, y1, z0}},
        {{-1, 0, 0}, {x0, y0, z0}, {x0, y0, z1}, {x0, y1, z1}, {x0, y1, z0}},
    };
    for (const auto& f : faces) {
        mesh.quad({place(f[1]), place(f[2]), place(f[3]), place(f[4])}, turn(f[0]));
    }
}

bool finite_tie(const TiePose& t) {
    return std::isfinite(t.x) && std::isfinite(t.y) && std::isfinite(t.z) &&
           std::isfinite(t.heading) && std::isfinite(t.pitch) && std::isfinite(t.roll);
}

Point3 point_of(const float (&v)[3]) {
    return {v[0], v[1], v[2]};
}

} // namespace

Mesh rails_mesh(const FrameLayout& layout) {
    Mesh mesh;
    for (const Point3* rail : {layout.left_rail(), layout.right_rail()}) {
        std::vector<Point3> line;
        std::vector<Point3> side;
        for (int k = 0; k < layout.rail_vertex_count(); ++k) {
            if (is_finite(rail[k])) {
                line.push_back(rail[k]);
                side.push_back(layout.left_rail()[k] - layout.right_rail()[k]);
            }
        }
        add_tube(mesh, line, side);
    }
    return mesh;
}

Mesh ties_mesh(const FrameLayout& layout) {
    Mesh mesh;
    const Point3 lo{shapes::kTieLow[0], shapes::kTieLow[1], shapes::kTieLow[2]};
    const Point3 hi{shapes::kTieHigh[0], shapes::kTieHigh[1], shapes::kTieHigh[2]};
    for (int k = 0; k < layout.tie_count(); ++k) {
        const TiePose& tie = layout.ties()[k];
        if (!finite_tie(tie)) {
            continue;
        }
        const Turn turn = turn_of(tie.heading, tie.pitch, tie.roll);
        const Point3 centre{tie.x, tie.y, tie.z};
        add_box(
            mesh, lo, hi, [&](const Point3& p) { return centre + apply(turn, p); },
            [&](const Point3& n) { return apply(turn, n); });
    }
    return mesh;
}

Mesh car_body_mesh() {
    Mesh mesh;
    const Point3 lift{0.0, shapes::kBodyLift, 0.0};
    for (const shapes::BodyQuad& q : shapes::kCarBody) {
        mesh.quad({lift + point_of(q.v[0]), lift + point_of(q.v[1]), lift + point_of(q.v[2]),
                   lift + point_of(q.v[3])},
                  point_of(q.normal));
    }
    return mesh;
}

namespace {

// One wheel piece in the wheel set's turned frame: a disk facing +z (a fan
// round its centre) or the tread, kWheelWidth along +z; normals as the view's.
void add_wheel_piece(Mesh& mesh, const shapes::WheelPiece& piece, const Turn& turn) {
    const Point3 at{0.0, shapes::kWheelLift, piece.z};
    const int slices = shapes::kWheelSlices;
    const double r = shapes::kWheelRadius;
    const auto put = [&](const Point3& p, const Point3& n) {
        return mesh.vertex(apply(turn, at + p), apply(turn, n));
    };
    for (int i = 0; i < slices; ++i) {
        const double a0 = 2 * 3.14159265358979323846 * i / slices;
        const double a1 = 2 * 3.14159265358979323846 * (i + 1) / slices;
        const Point3 d0{std::sin(a0), std::cos(a0), 0.0};
        const Point3 d1{std::sin(a1), std::cos(a1), 0.0};
        if (piece.disk) {
            const Point3 face{0, 0, 1};
            mesh.indices.insert(mesh.indices.end(),
                                {put({0, 0, 0}, face), put(r * d1, face), put(r * d0, face)});
        } else {
            const Point3 h{0, 0, shapes::kWheelWidth};
            const std::uint32_t a = put(r * d0, d0), b = put(r * d0 + h, d0);
            const std::uint32_t c = put(r * d1 + h, d1), d = put(r * d1, d1);
            mesh.indices.insert(mesh.indices.end(), {a, d, c, a, c, b});
        }
    }
}

// The axle drawn as a line in the view, as a box this thick here.
constexpr double kAxleHalfThickness = 0.02;

} // namespace

Mesh wheels_mesh() {
    Mesh mesh;
    const Turn turn = turn_about_y(shapes::kWheelTurn);
    for (const shapes::WheelPiece& piece : shapes::kWheelPieces) {
        add_wheel_piece(mesh, piece, turn);
    }
    return mesh;
}

Mesh axle_mesh() {
    Mesh mesh;
    const Turn turn = turn_about_y(shapes::kWheelTurn);
    const double t = kAxleHalfThickness;
    add_box(
        mesh, {-t, shapes::kWheelLift - t, -shapes::kAxleHalf},
        {t, shapes::kWheelLift + t, shapes::kAxleHalf},
        [&](const Point3& p) { return apply(turn, p); },
        [&](const Point3& n) { return apply(turn, n); });
    return mesh;
}

Mesh ground_mesh(bool white) {
    Mesh mesh;
    // The same float steps as the view's checkerboard.
    const float width =
        (shapes::kGroundMax - shapes::kGroundMin) / static_cast<float>(shapes::kGroundCells);
    float x = shapes::kGroundMin;
    for (int col = 0; col < shapes::kGroundCells; ++col) {
        float z = shapes::kGroundMin;
        for (int row = 0; row < shapes::kGroundCells; ++row) {
            if (((col + row) % 2 == 1) == white) {
                mesh.quad(
                    {{x, 0, z}, {x, 0, z + width}, {x + width, 0, z + width}, {x + width, 0, z}},
                    {0, 1, 0});
            }
            z += width;
        }
        x += width;
    }
    return mesh;
}
