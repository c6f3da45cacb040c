// The ride as one binary glTF 2.0 file: the ground, both rails, the ties, the
// train (each car's body and wheel sets) and the light, coloured as the view
// colours them, with one lap of the train as an animation at the analysed
// speeds. Builds the bytes only; writing the file is the caller's. No GL.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "analysis/ride_analysis.h"
#include "track/control_point.h"
#include "track/track.h"

// What the exported file holds, for reports and benchmarks.
struct SceneExport {
    std::vector<unsigned char> glb; // empty when there is a problem
    // Why the scene has no file, as a phrase: "the track reaches farther...".
    std::optional<std::string> problem;
    long triangles = 0; // in the scene as shown, every car counted
    int keys = 0;       // per animated channel; 0 when the train stands still
    double lap_time = 0.0;
};

// The scene of this track, light and train of `cars` cars (front car at u = 0,
// the start of the ride) under `motion`, the design's car controls read as a
// ride. docs/scene-export.md describes the nodes, materials and animation.
SceneExport export_scene(const Track& track, const ControlPoint& light, int cars,
                         const SpeedModel& motion);
