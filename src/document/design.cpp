#include "document/design.h"

#include <cstring>

namespace {

bool same_bits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool same_bits(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool same_bits(const ControlPoint& a, const ControlPoint& b) {
    return same_bits(a.x, b.x) && same_bits(a.y, b.y) && same_bits(a.z, b.z) &&
           same_bits(a.roll, b.roll);
}

bool same_track(const Track& a, const Track& b) {
    const int n = a.num_points();
    if (n != b.num_points() || a.curve_type() != b.curve_type() ||
        !same_bits(a.tension(), b.tension())) {
        return false;
    }
    for (int i = 0; i < n; ++i) {
        if (!same_bits(a.point(i), b.point(i))) {
            return false;
        }
    }
    for (int k = 0; k < 2 * n; ++k) {
        if (!same_bits(a.bezier_handle(k), b.bezier_handle(k))) {
            return false;
        }
    }
    return true;
}

} // namespace

Design::Design() : Design(Scene()) {}

Design::Design(const Scene& scene)
    : track(scene.track()), light(scene.light()), cars(scene.train().cars),
      speed(scene.train().base_speed), constant_velocity(scene.train().constant_velocity),
      conserve_energy(scene.train().conserve_energy), physics(scene.train().physics) {
    generators.reserve(scene.num_generators());
    for (int g = 0; g < scene.num_generators(); ++g) {
        generators.push_back(scene.generator(g).position());
    }
}

bool operator==(const Design& a, const Design& b) {
    if (a.generators.size() != b.generators.size()) {
        return false;
    }
    for (std::size_t g = 0; g < a.generators.size(); ++g) {
        if (!same_bits(a.generators[g], b.generators[g])) {
            return false;
        }
    }
    return same_track(a.track, b.track) && same_bits(a.light, b.light) && a.cars == b.cars &&
           same_bits(a.speed, b.speed) && a.constant_velocity == b.constant_velocity &&
           a.conserve_energy == b.conserve_energy && a.physics == b.physics;
}

void apply(const Design& design, Scene& scene) {
    scene.replace_track(design.track);
    scene.light() = design.light;
    scene.set_generator_positions(design.generators);
    scene.set_cars(design.cars);
    // Setting the speed drops what the train gained on the hills; only a
    // change of the chosen speed does that.
    if (!same_bits(scene.train().base_speed, design.speed)) {
        scene.set_velocity(design.speed);
    }
    scene.set_constant_velocity(design.constant_velocity);
    scene.set_conserve_energy(design.conserve_energy);
    scene.set_physics(design.physics);
}
