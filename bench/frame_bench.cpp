// Frame and pick benchmarks: the real view under the X display (Mesa), drawing
// the benchmark scene: 8 cars on a 100-point banked Cardinal track and 20 ball
// generators with balls in flight. Prints figures only; asserts nothing.
#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/gl.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "../tests/scene/big_scene.h"
#include "view/coaster_window.h"

namespace {

struct BenchWindow {
    std::unique_ptr<Document> document = std::make_unique<Document>(); // outlives the view
    std::unique_ptr<Fl_Window> window;
    CoasterWindow* view = nullptr; // owned by window
};

BenchWindow& bench_window() {
    static BenchWindow s = [] {
        BenchWindow made;
        made.window = std::make_unique<Fl_Window>(0, 0, 480, 480, "frame bench");
        made.window->begin();
        made.view = new CoasterWindow(0, 0, 480, 480, *made.document);
        made.window->end();
        made.window->show();
        for (int i = 0; i < 100 && !made.view->shown(); ++i) {
            Fl::wait(0.01);
        }
        Fl::flush();

        build_big_scene(made.view->scene());
        return made;
    }();
    return s;
}

void BM_Frame(benchmark::State& state) {
    CoasterWindow& v = *bench_window().view;
    v.scene().set_look_from_car(state.range(0) != 0);
    for (auto _ : state) {
        v.make_current();
        v.draw();
        glFinish();
    }
    state.SetLabel(v.scene().look_from_car() ? "ride view" : "orbit view");
}
BENCHMARK(BM_Frame)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_Pick(benchmark::State& state) {
    CoasterWindow& v = *bench_window().view;
    v.scene().set_look_from_car(false);
    v.make_current();
    v.draw();
    // Over the middle of the view: the ground, the track and a generator.
    Fl::e_x = 240;
    Fl::e_y = 300;
    for (auto _ : state) {
        benchmark::DoNotOptimize(v.pick());
    }
}
BENCHMARK(BM_Pick)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// A drag frame: the selected point moves, then the frame is drawn. range(0)
// 0 moves it on the scene itself, 1 through the document's edit path inside
// the open gesture of a drag, as the view does.
void BM_DragFrame(benchmark::State& state) {
    CoasterWindow& v = *bench_window().view;
    Document& document = v.document();
    v.scene().set_look_from_car(false);
    v.scene().select_name(37);
    const Point3 eye{v.camera().eye_x(), v.camera().eye_y(), v.camera().eye_z()};
    double x = 0.0;
    const bool edit_path = state.range(0) != 0;
    const MergeKey drag{MergeKey::Kind::drag, 37}; // the moves of one drag make one step
    for (auto _ : state) {
        x = x > 5.0 ? -5.0 : x + 0.01;
        const Point3 through = eye + 0.1 * (Point3{x, 3.0, 1.0} - eye);
        if (edit_path) {
            document.edit([&](Scene& s) { return s.drag_selection(eye, through, false); }, drag);
        } else {
            v.scene().drag_selection(eye, through, false);
        }
        v.make_current();
        v.draw();
        glFinish();
    }
    state.SetLabel(edit_path ? "through the edit path" : "on the scene alone");
}
BENCHMARK(BM_DragFrame)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    if (std::getenv("DISPLAY") == nullptr) {
        std::fprintf(stderr, "frame_bench needs an X display (try xvfb-run -a)\n");
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    bench_window();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
