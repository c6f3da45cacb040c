// A coaster design as a value: everything a .looptide file holds and an undo
// step restores (the track, the light, the generators' places and the train's
// settings), and nothing of the ride (camera, selection, balls, the car's
// place, animation, ride view, lights). No GL, no FLTK.
#pragma once

#include <vector>

#include "scene/scene.h"
#include "track/control_point.h"
#include "track/track.h"

struct Design {
    // The design of a fresh scene: four points on a Cardinal track, one car.
    Design();
    // The design of `scene` as it stands.
    explicit Design(const Scene& scene);

    Track track;                          // curve type, tension, points with rolls, handles
    ControlPoint light;                   // the light's place (its roll is unused)
    std::vector<ControlPoint> generators; // each generator's place, at most Scene::kMaxGenerators
    int cars;                             // 1 .. Train::kMaxCars
    double speed;                         // chosen speed: track length per animation step, 0 .. 1
    bool constant_velocity;
    bool conserve_energy;
    bool physics; // "Ride these speeds": the animation at the ride's physical speed
};

// Bit for bit over what a design holds: the live points and handles only,
// every double compared by its bits (so -0 differs from 0).
bool operator==(const Design& a, const Design& b);
inline bool operator!=(const Design& a, const Design& b) {
    return !(a == b);
}

// Puts the design in place in the scene. The ride goes on: the train keeps
// running on the new ring, a speed gained on hills stays unless the chosen
// speed changed, and the selection keeps every name that still means the
// same object.
void apply(const Design& design, Scene& scene);
