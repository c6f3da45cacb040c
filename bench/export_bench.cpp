// Track-table export benchmarks: the largest design (100 points round a circle
// of radius 5000, about 31 km) and the 100-point benchmark scene, at 0.5 m and
// 0.05 m, into a sink that counts bytes and into a real file. Prints figures
// only; nothing here needs a display.
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <string>

#include <benchmark/benchmark.h>

#include "../tests/document/large_designs.h"
#include "../tests/scene/literal_frame.h"
#include "document/track_table.h"
#include "track/track.h"

namespace {

// range(0): 0 for the big ring, 1 for the benchmark scene; range(1): the
// spacing in centimetres.
Track design_of(const benchmark::State& state) {
    return state.range(0) == 0 ? big_ring() : literal_frame::bench_scene();
}
double spacing_of(const benchmark::State& state) {
    return static_cast<double>(state.range(1)) / 100;
}
void label(benchmark::State& state) {
    state.SetLabel(std::string(state.range(0) == 0 ? "ring r=5000" : "bench scene") + " at " +
                   std::to_string(spacing_of(state)).substr(0, 4) + " m");
}

void BM_ExportToCountingSink(benchmark::State& state) {
    const Track track = design_of(state);
    const double spacing = spacing_of(state);
    std::size_t bytes = 0;
    std::size_t rows = 0;
    for (auto _ : state) {
        bytes = 0;
        rows = 0;
        const Failure failure = write_track_table(track, spacing, [&](std::string_view chunk) {
            bytes += chunk.size();
            for (const char c : chunk) {
                rows += c == '\n';
            }
        });
        if (failure) {
            state.SkipWithError(failure->c_str());
            return;
        }
    }
    label(state);
    state.counters["bytes"] = static_cast<double>(bytes);
    state.counters["rows"] = static_cast<double>(rows - 1);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_ExportToCountingSink)
    ->Args({0, 50})
    ->Args({0, 5})
    ->Args({1, 50})
    ->Args({1, 5})
    ->Unit(benchmark::kMillisecond);

// The rows alone, without the text: how much of an export is the track's work.
void BM_RowsOnly(benchmark::State& state) {
    const Track track = design_of(state);
    const double spacing = spacing_of(state);
    for (auto _ : state) {
        double sum = 0.0;
        for_each_table_row(track, spacing, [&sum](const TableRow& row) { sum += row.up.y; });
        benchmark::DoNotOptimize(sum);
    }
    label(state);
}
BENCHMARK(BM_RowsOnly)->Args({0, 50})->Args({0, 5})->Unit(benchmark::kMillisecond);

void BM_ExportToFile(benchmark::State& state) {
    const Track track = design_of(state);
    const double spacing = spacing_of(state);
    const std::string path = "/tmp/looptide_export_bench.csv";
    for (auto _ : state) {
        if (const Failure failure = export_track_table(track, spacing, path)) {
            state.SkipWithError(failure->c_str());
            return;
        }
    }
    label(state);
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        std::fseek(f, 0, SEEK_END);
        state.counters["bytes"] = static_cast<double>(std::ftell(f));
        std::fclose(f);
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_ExportToFile)->Args({0, 50})->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
