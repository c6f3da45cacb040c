// Design files and the undo history on the biggest design (100 banked points,
// Bezier with every handle moved, 20 generators, 8 cars): opening and saving
// it, one undo and redo, and what the edit path adds to an edit. Prints
// figures only; nothing here needs a display.
#include <cstdio>
#include <string>

#include <benchmark/benchmark.h>

#include "../tests/scene/literal_frame.h"
#include "document/design_file.h"
#include "document/document.h"

namespace {

const std::string kPath = "/tmp/looptide_document_bench.looptide";

void build_biggest(Scene& s) {
    s.track() = literal_frame::bench_scene();
    s.set_curve_type(CurveType::Bezier);
    for (int k = 0; k < 2 * Track::kMaxPoints; ++k) {
        s.track().bezier_handle(k).y += 0.25 * (k % 7);
    }
    for (int g = 0; s.add_ball_generator(); ++g) {
        s.generator(g).position().set_position(-9.0 + 4.5 * (g % 5), 0.0, -8.0 + 5.5 * (g / 5));
    }
    while (s.add_car()) {
    }
}

Design biggest() {
    Scene s;
    build_biggest(s);
    return Design(s);
}

void BM_SaveBiggest(benchmark::State& state) {
    const Design design = biggest();
    for (auto _ : state) {
        if (const Failure failure = write_design(kPath, design)) {
            state.SkipWithError(failure->c_str());
            return;
        }
    }
    if (std::FILE* f = std::fopen(kPath.c_str(), "rb")) {
        std::fseek(f, 0, SEEK_END);
        state.counters["bytes"] = static_cast<double>(std::ftell(f));
        std::fclose(f);
    }
}
BENCHMARK(BM_SaveBiggest)->Unit(benchmark::kMillisecond);

void BM_OpenBiggest(benchmark::State& state) {
    if (const Failure failure = write_design(kPath, biggest())) {
        state.SkipWithError(failure->c_str());
        return;
    }
    Document document;
    for (auto _ : state) {
        if (const Failure failure = document.open(kPath)) {
            state.SkipWithError(failure->c_str());
            return;
        }
    }
}
BENCHMARK(BM_OpenBiggest)->Unit(benchmark::kMillisecond);

// One step back and forth: range(0) 1 undoes, 0 redoes, each half of the pair.
void BM_UndoRedoBiggest(benchmark::State& state) {
    Document document;
    document.edit([](Scene& s) { build_biggest(s); });
    document.scene().select_name(37);
    document.edit([](Scene& s) { return s.set_selected_roll(12.5); });
    for (auto _ : state) {
        document.undo();
        document.redo();
    }
    state.counters["history bytes"] = static_cast<double>(document.history().bytes());
}
BENCHMARK(BM_UndoRedoBiggest)->Unit(benchmark::kMicrosecond);

// A move of the selection: range(0) 0 on the scene itself, 1 through the
// edit path inside an open gesture (as every drag event after the press), 2
// through the edit path as a step of its own (as a control's command).
void BM_EditPath(benchmark::State& state) {
    Document document;
    document.edit([](Scene& s) { build_biggest(s); });
    Scene& scene = document.scene();
    scene.select_name(37);
    const Point3 eye{0.0, 7.5, 13.0};
    double x = 0.0;
    const auto through = [&eye, &x] { return eye + 0.1 * (Point3{x, 3.0, 1.0} - eye); };
    // Arg 1: every move of one drag, joining one step; arg 2: a step each.
    const MergeKey key = state.range(0) == 1 ? MergeKey{MergeKey::Kind::drag, 37} : MergeKey();
    for (auto _ : state) {
        x = x > 5.0 ? -5.0 : x + 0.01;
        const Point3 at = through();
        if (state.range(0) == 0) {
            benchmark::DoNotOptimize(scene.drag_selection(eye, at, false));
        } else {
            benchmark::DoNotOptimize(
                document.edit([&](Scene& s) { return s.drag_selection(eye, at, false); }, key));
        }
    }
    const char* labels[] = {"scene alone", "edit path, one drag", "edit path, one step each"};
    state.SetLabel(labels[state.range(0)]);
}
BENCHMARK(BM_EditPath)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
