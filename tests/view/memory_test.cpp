// Resident memory over long use of the real view: a thousand picks on the
// biggest scene, and a long animation with every generator, must not grow it.
// The sanitizer build keeps freed memory in quarantine, so there these checks
// are left to its leak checker.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>

#include "scene/big_scene.h"
#include "view/gl_fixture.h"

using gl_test::GlView;

namespace {

long resident_bytes() {
    long pages = 0;
    long resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

class Memory : public ::testing::Test {
protected:
    void SetUp() override {
        if (gl_test::kSanitized) {
            GTEST_SKIP() << "the sanitizer's quarantine holds freed memory";
        }
    }
};

TEST_F(Memory, AThousandPicksOnTheBiggestSceneKeepResidentMemoryFlat) {
    GlView gl;
    CoasterWindow& v = gl.view();
    build_big_scene(v.scene());
    v.set_curve_type(CurveType::Bezier); // the handles too
    gl.draw_frame();
    // Pixels over the ground, the track, generators and the empty sky.
    auto pick_at = [&](int k) {
        Fl::e_x = 40 + (k * 37) % 400;
        Fl::e_y = 20 + (k * 53) % 440;
        return v.pick();
    };
    for (int k = 0; k < 50; ++k) {
        pick_at(k);
    }
    const long before = resident_bytes();
    int hits = 0;
    for (int k = 0; k < 1000; ++k) {
        hits += pick_at(k).has_value() ? 1 : 0;
    }
    const long grown = resident_bytes() - before;
    std::printf("1000 picks: resident %ld kB before, grew by %ld kB, %d hit\n", before / 1024,
                grown / 1024, hits);
    EXPECT_GT(hits, 500);
    EXPECT_LT(grown, 2L << 20);
}

TEST_F(Memory, ALongAnimationWithEveryGeneratorKeepsResidentMemoryFlat) {
    GlView gl;
    CoasterWindow& v = gl.view();
    build_big_scene(v.scene());
    int now_ms = 0;
    v.scene().set_clock([&] { return now_ms; });
    v.toggle_animation();
    auto run = [&](int frames) {
        for (int f = 0; f < frames; ++f) {
            now_ms += 34;
            v.step_animation();
            gl.draw_frame();
        }
    };
    run(200);
    const long before = resident_bytes();
    run(2000);
    const long grown = resident_bytes() - before;
    std::printf("2000 frames: resident %ld kB before, grew by %ld kB\n", before / 1024,
                grown / 1024);
    EXPECT_LT(grown, 2L << 20);
    v.toggle_animation();
}

} // namespace
