#include "app/scene_file.h"

#include <string_view>

#include "export/scene_export.h"
#include "scene/ranges.h"

Failure export_scene_file(const Design& design, const std::string& path) {
    const SpeedModel motion{design.constant_velocity, design.conserve_energy,
                            design.speed * kVelocitySliderScale};
    const auto sentence = [&path](const std::string& phrase) {
        return "Cannot export the scene to " + path + ": " + phrase + ".";
    };
    const SceneExport scene = export_scene(design.track, design.light, design.cars, motion);
    if (scene.problem) {
        return sentence(*scene.problem);
    }
    AtomicWriter out(path);
    out.write(std::string_view(reinterpret_cast<const char*>(scene.glb.data()), scene.glb.size()));
    if (Failure bad = out.commit()) {
        return sentence(*bad);
    }
    return std::nullopt;
}
