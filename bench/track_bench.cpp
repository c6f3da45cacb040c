// Track benchmarks: single curve queries, and the track work of one whole
// frame on the benchmark scene, done by the frame layout and query by query.
// Prints figures only; nothing here needs a display.
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include <benchmark/benchmark.h>

#include "../tests/scene/literal_frame.h"
#include "camera/orbit_camera.h"
#include "scene/frame_layout.h"
#include "track/evaluation_counter.h"
#include "track/track.h"

namespace {

constexpr int kCars = 8;
constexpr float kCarU = 37.25f;

Track scene_of_type(CurveType type) {
    Track track = literal_frame::bench_scene();
    track.set_curve_type(type);
    return track;
}

void BM_PositionAt(benchmark::State& state) {
    const Track track = scene_of_type(static_cast<CurveType>(state.range(0)));
    const char* names[] = {"Linear", "Cardinal", "BSpline", "Bezier"};
    state.SetLabel(names[state.range(0)]);
    float u = 0.0f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(track.position_at(u));
        u = u < 99.9f ? u + 0.0137f : 0.0f;
    }
}
BENCHMARK(BM_PositionAt)->DenseRange(0, 3);

void BM_Advance065(benchmark::State& state) {
    const Track track = literal_frame::bench_scene();
    float u = 0.0f;
    for (auto _ : state) {
        u = track.advance(0.65, u);
        benchmark::DoNotOptimize(u);
    }
}
BENCHMARK(BM_Advance065);

void BM_Length(benchmark::State& state) {
    const Track track =
        state.range(0) == 4 ? Track(CurveType::Cardinal) : literal_frame::bench_scene();
    for (auto _ : state) {
        benchmark::DoNotOptimize(track.length());
    }
}
BENCHMARK(BM_Length)->Arg(4)->Arg(100);

void BM_FrameFast(benchmark::State& state) {
    Track track = literal_frame::bench_scene();
    auto layout = std::make_unique<FrameLayout>();
    OrbitCamera camera(&track);
    EvaluationCounter evaluations;
    for (auto _ : state) {
        evaluations.reset();
        layout->forget_track(); // as right after an edit: rails and ties too
        layout->build(track, kCarU, kCars);
        benchmark::DoNotOptimize(camera.look(kCarU, true));
    }
    state.counters["evaluations"] = static_cast<double>(evaluations.count());
}
BENCHMARK(BM_FrameFast)->Unit(benchmark::kMicrosecond);

// An animation frame: the track as before, the train moved on.
void BM_FrameFastTrainMoved(benchmark::State& state) {
    Track track = literal_frame::bench_scene();
    auto layout = std::make_unique<FrameLayout>();
    layout->build(track, kCarU, kCars);
    OrbitCamera camera(&track);
    EvaluationCounter evaluations;
    float car_u = kCarU;
    for (auto _ : state) {
        car_u = car_u < 99.0f ? car_u + 0.05f : 0.0f;
        evaluations.reset();
        layout->build(track, car_u, kCars);
        benchmark::DoNotOptimize(camera.look(car_u, true));
    }
    state.counters["evaluations"] = static_cast<double>(evaluations.count());
}
BENCHMARK(BM_FrameFastTrainMoved)->Unit(benchmark::kMicrosecond);

void BM_FrameLiteral(benchmark::State& state) {
    Track track = literal_frame::bench_scene();
    EvaluationCounter evaluations;
    for (auto _ : state) {
        evaluations.reset();
        const literal_frame::Frame f = literal_frame::build(track, kCarU, kCars);
        benchmark::DoNotOptimize(f.ride_ahead_u);
    }
    state.counters["evaluations"] = static_cast<double>(evaluations.count());
}
BENCHMARK(BM_FrameLiteral)->Unit(benchmark::kMillisecond);

// Best of a few timed builds, in milliseconds.
template <typename Build> double best_ms(Build build, int runs) {
    double best = 1e300;
    for (int r = 0; r < runs; ++r) {
        const auto start = std::chrono::steady_clock::now();
        build();
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        best = took.count() < best ? took.count() : best;
    }
    return best;
}

void print_summary() {
    Track track = literal_frame::bench_scene();
    auto layout = std::make_unique<FrameLayout>();
    OrbitCamera camera(&track);
    // Our frame: the layout, and the camera's ride view straight off the track.
    const auto frame = [&](float u) {
        layout->build(track, u, kCars);
        benchmark::DoNotOptimize(camera.look(u, true));
    };

    std::uint64_t literal = 0;
    std::uint64_t fast = 0;
    std::uint64_t moved = 0;
    {
        EvaluationCounter evaluations;
        literal_frame::build(track, kCarU, kCars);
        literal = evaluations.count();
        evaluations.reset();
        frame(kCarU);
        fast = evaluations.count();
        evaluations.reset();
        frame(kCarU + 0.05f);
        moved = evaluations.count();
    }

    const double fast_ms = best_ms(
        [&] {
            layout->forget_track();
            frame(kCarU);
        },
        50);
    // The train moves on every build, as it does while animating.
    float car_u = kCarU;
    const double moved_ms = best_ms(
        [&] {
            car_u = car_u < 99.0f ? car_u + 0.05f : 0.0f;
            frame(car_u);
        },
        50);
    const double literal_ms = best_ms([&] { literal_frame::build(track, kCarU, kCars); }, 5);
    std::printf("frame on 100 points, 8 cars: %d rail vertices a side, %d ties\n",
                layout->rail_vertex_count(), layout->tie_count());
    std::printf("frame evaluations: literal %llu, fast %llu (%.1f%%), fast with the track "
                "unchanged %llu\n",
                static_cast<unsigned long long>(literal), static_cast<unsigned long long>(fast),
                100.0 * static_cast<double>(fast) / static_cast<double>(literal),
                static_cast<unsigned long long>(moved));
    std::printf("frame time (best of runs): literal %.3f ms, fast %.3f ms, fast with the track "
                "unchanged %.3f ms\n",
                literal_ms, fast_ms, moved_ms);
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    print_summary();
    return 0;
}
