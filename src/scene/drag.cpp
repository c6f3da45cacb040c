// Dragging the selection: the pointer ray is cut with the selection's drag
// plane, and a ray that cannot meet it in front of the eye moves nothing.
#include "scene/scene.h"

namespace {

// Where the ray from the eye E through N meets the drag plane of P: the
// horizontal plane through P, or when vertical the plane z = P.z (which holds
// the vertical line through P, so only y changes). Empty when the ray runs
// parallel to the plane, meets it at or behind the eye, or the result is not
// a finite point.
std::optional<Point3> ray_to_drag_plane(const ControlPoint& p, const Point3& e, const Point3& n,
                                        bool vertical) {
    const double denom = vertical ? e.z - n.z : e.y - n.y;
    if (denom == 0.0) {
        return std::nullopt;
    }
    const double t = (vertical ? e.z - p.z : e.y - p.y) / denom;
    if (!(t > 0.0)) {
        return std::nullopt;
    }
    const Point3 hit = e + t * (n - e);
    const Point3 moved = vertical ? Point3{p.x, hit.y, p.z} : hit;
    if (!is_finite(moved)) {
        return std::nullopt;
    }
    return moved;
}

} // namespace

ControlPoint* Scene::drag_target(bool vertical) {
    switch (selection_.kind()) {
    case Selection::Kind::point:
        return &track_.point(selection_.index());
    case Selection::Kind::handle:
        return &track_.bezier_handle(selection_.index());
    case Selection::Kind::light:
        return &light_;
    case Selection::Kind::generator:
        // Generators stay on the ground: they only slide.
        return vertical ? nullptr : &generators_[selection_.index()]->position();
    case Selection::Kind::nothing:
        break;
    }
    return nullptr;
}

bool Scene::drag_selection(const Point3& eye, const Point3& through, bool vertical) {
    ControlPoint* target = drag_target(vertical);
    if (target == nullptr) {
        return false;
    }
    const std::optional<Point3> moved = ray_to_drag_plane(*target, eye, through, vertical);
    if (!moved) {
        return false;
    }
    target->set_position(*moved);
    return true;
}
