// The example designs of data/examples drawn by the real view from the
// starting orbit camera: the whole track inside the picture, its rails seen
// along it, and only finite numbers handed to GL.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "view/gl_fixture.h"

namespace {

using gl_test::GlView;
using gl_test::Image;
using gl_test::Rgb;

std::vector<std::filesystem::path> example_files() {
    std::vector<std::filesystem::path> files;
    const auto folder = std::filesystem::path(LOOPTIDE_SOURCE_DIR) / "data" / "examples";
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() == ".looptide") {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The rails' grey, (0.4, 0.4, 0.42), as it reaches the picture; nothing
// else in a frame is this colour.
bool rail_grey(const Rgb& c) {
    return std::abs(c.r - 102) <= 3 && std::abs(c.g - 102) <= 3 && std::abs(c.b - 107) <= 3;
}

// Whether a rail pixel lies within `radius` pixels of (x, y).
bool rail_near(const Image& image, double x, double y, int radius) {
    const int cx = static_cast<int>(std::lround(x));
    const int cy = static_cast<int>(std::lround(y));
    for (int py = std::max(0, cy - radius); py <= std::min(GlView::kSize - 1, cy + radius); ++py) {
        for (int px = std::max(0, cx - radius); px <= std::min(GlView::kSize - 1, cx + radius);
             ++px) {
            if (rail_grey(image.at(px, py))) {
                return true;
            }
        }
    }
    return false;
}

// Each example as the starting view draws it: every rail vertex inside the
// picture and most of them with rail drawn there, and nothing but finite
// numbers handed to GL, from the orbit view and the ride view.
TEST(Examples, EachDrawsItsWholeTrackInTheStartingView) {
    const auto files = example_files();
    ASSERT_GE(files.size(), 5u);
    for (const auto& file : files) {
        SCOPED_TRACE(file.filename().string());
        GlView gl;
        ASSERT_FALSE(gl.document().open(file.string()));
        const gl_test::Feedback scene = gl.capture([&] { gl.view().draw_scene(); });
        ASSERT_FALSE(scene.overflow);
        EXPECT_TRUE(std::all_of(scene.values.begin(), scene.values.end(),
                                [](GLfloat v) { return std::isfinite(v); }));
        // Where the rails run, in world coordinates. GL drops a line with a
        // NaN end without a trace: both rails arrive whole, 20 lines a segment.
        const gl_test::Feedback rails = gl.capture([&] { gl.view().draw_rails(); });
        ASSERT_EQ(rails.lines.size(), 2u * 20u * gl.scene().track().num_points());

        gl.draw_frame();
        const Image image = gl.snapshot();
        // The train, the cubes, the scenery and the track's own nearer turns
        // hide some rail (almost a third of the helix).
        int checked = 0;
        int railed = 0;
        for (std::size_t k = 0; k < rails.lines.size(); k += 3) {
            const gl_test::WindowPoint at = gl.project(rails.lines[k].a.world);
            EXPECT_TRUE(at.visible) << "a rail at (" << at.x << ", " << at.y << ")";
            ++checked;
            railed += rail_near(image, at.x, at.y, 2) ? 1 : 0;
        }
        EXPECT_GE(railed, checked * 3 / 5) << railed << " of " << checked << " show rail";

        gl.scene().set_look_from_car(true);
        gl.draw_frame();
        GLdouble m[16];
        glGetDoublev(GL_MODELVIEW_MATRIX, m);
        EXPECT_TRUE(std::all_of(m, m + 16, [](GLdouble v) { return std::isfinite(v); }));
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
}

} // namespace
