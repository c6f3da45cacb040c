// Ride analysis benchmarks: a warm analysis of the benchmark scene's track
// (aim: under 2 ms, to follow a drag) and of the 31 km ring (aim: under
// 100 ms), under each speed model. Prints figures only; no display needed.
#include <string>

#include <benchmark/benchmark.h>

#include "../tests/document/large_designs.h"
#include "../tests/scene/literal_frame.h"
#include "analysis/ride_analysis.h"

namespace {

// range(0): 0 for the benchmark scene, 1 for the ring of radius 5000;
// range(1): 0 energy conserved, 1 powered, 2 the parameter rate.
void BM_AnalyseRide(benchmark::State& state) {
    const Track track = state.range(0) == 0 ? literal_frame::bench_scene() : big_ring();
    const SpeedModel speed{state.range(1) != 2, state.range(1) == 0, 9.0};
    RideAnalysis ride;
    analyse_ride(track, speed, ride); // warm
    for (auto _ : state) {
        analyse_ride(track, speed, ride);
        benchmark::DoNotOptimize(ride.summary.vertical_max.value);
    }
    const char* models[] = {"energy", "powered", "parameter"};
    state.SetLabel(std::string(state.range(0) == 0 ? "bench scene " : "ring r=5000 ") +
                   models[state.range(1)]);
    state.counters["samples"] = static_cast<double>(ride.samples.size());
}
BENCHMARK(BM_AnalyseRide)
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({0, 2})
    ->Args({1, 0})
    ->Args({1, 2})
    ->Unit(benchmark::kMillisecond);

void BM_LevelBanking(benchmark::State& state) {
    const Track track = literal_frame::bench_scene();
    for (auto _ : state) {
        benchmark::DoNotOptimize(level_banking(track, {true, true, 9.0}).data());
    }
}
BENCHMARK(BM_LevelBanking)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
