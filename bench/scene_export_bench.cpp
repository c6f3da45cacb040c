// Scene export benchmarks: each example design made into its binary glTF
// (geometry, the lap's keys and the file's bytes, the ride analysis
// included), with the file's size, triangles and keys as counters. Prints
// figures only; nothing here needs a display.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "document/design_file.h"
#include "export/scene_export.h"
#include "scene/ranges.h"

namespace {

std::vector<std::filesystem::path> examples() {
    std::vector<std::filesystem::path> files;
    const auto folder = std::filesystem::path(LOOPTIDE_SOURCE_DIR) / "data" / "examples";
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

void BM_ExportScene(benchmark::State& state, const std::filesystem::path& file) {
    Design design;
    if (read_design(file.string(), design)) {
        state.SkipWithError("the example cannot be read");
        return;
    }
    const SpeedModel motion{design.constant_velocity, design.conserve_energy,
                            design.speed * kVelocitySliderScale};
    SceneExport scene;
    for (auto _ : state) {
        scene = export_scene(design.track, design.light, design.cars, motion);
        benchmark::DoNotOptimize(scene.glb.data());
    }
    state.counters["bytes"] = static_cast<double>(scene.glb.size());
    state.counters["triangles"] = static_cast<double>(scene.triangles);
    state.counters["keys"] = scene.keys;
    state.counters["lap_s"] = scene.lap_time;
}

} // namespace

int main(int argc, char** argv) {
    for (const auto& file : examples()) {
        benchmark::RegisterBenchmark(("BM_ExportScene/" + file.stem().string()).c_str(),
                                     BM_ExportScene, file)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
