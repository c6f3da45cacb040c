// The real program on an X server of its own: its window opens as "Looptide",
// 700 x 600 and fixed in size, shows the control column and a drawn 3-D view,
// and Escape closes it with exit status 0.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <chrono>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <thread>

#include "e2e/e2e_support.h"

namespace {

using e2e::Image;
using e2e::Rgb;

// Places in the control column (window coordinates) where no control draws.
constexpr int kBlankSpots[][2] = {{180, 120}, {195, 470}, {300, 510}, {680, 590}};
// The view's rectangle inside the window.
constexpr int kViewX = 210, kViewY = 10, kViewW = 480, kViewH = 480;

struct ViewSummary {
    double panel_grey = 0; // share of pixels in the colour of the control panel
    double dark = 0;       // share of near-black pixels (sky, black tiles)
    double bright = 0;     // share of near-white pixels (white tiles)
};

ViewSummary summarize_view(const Image& shot, const e2e::Geometry& g, const Rgb& panel) {
    ViewSummary s;
    int count = 0, grey = 0, dark = 0, bright = 0;
    for (int y = kViewY; y < kViewY + kViewH; ++y) {
        for (int x = kViewX; x < kViewX + kViewW; ++x) {
            const Rgb c = shot.at(g.x + x, g.y + y);
            ++count;
            grey += c == panel;
            dark += c.r < 40 && c.g < 40 && c.b < 40;
            bright += c.r > 215 && c.g > 215 && c.b > 215;
        }
    }
    s.panel_grey = static_cast<double>(grey) / count;
    s.dark = static_cast<double>(dark) / count;
    s.bright = static_cast<double>(bright) / count;
    return s;
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        display_ = std::make_unique<e2e::PrivateDisplay>();
        ASSERT_TRUE(display_->ok()) << "could not start a private Xvfb";
        program_ = std::make_unique<e2e::Program>(display_->name());
        ASSERT_GT(program_->pid(), 0) << "could not start " << LOOPTIDE_BINARY;
        window_ = program_->wait_for_window();
        ASSERT_FALSE(window_.empty()) << "no window named Looptide appeared";
    }

    void TearDown() override {
        program_.reset(); // kills the program if a test left it running
        display_.reset();
    }

    void keep(const Image& shot, const std::string& name) {
        const std::string path = ::testing::TempDir() + name;
        std::ofstream out(path, std::ios::binary);
        out << "P6\n" << shot.width() << " " << shot.height() << "\n255\n";
        for (int y = 0; y < shot.height(); ++y) {
            for (int x = 0; x < shot.width(); ++x) {
                const Rgb c = shot.at(x, y);
                out.put(static_cast<char>(c.r))
                    .put(static_cast<char>(c.g))
                    .put(static_cast<char>(c.b));
            }
        }
        std::cout << "screenshot kept in " << path << "\n";
    }

    std::unique_ptr<e2e::PrivateDisplay> display_;
    std::unique_ptr<e2e::Program> program_;
    std::string window_;
};

TEST_F(WindowTest, OpensFixedSizeWithTheControlColumnAndADrawnView) {
    e2e::Geometry g;
    ASSERT_TRUE(e2e::window_geometry(display_->name(), window_, &g));
    EXPECT_EQ(g.w, 700);
    EXPECT_EQ(g.h, 600);

    // Not resizable: the size hints pin the minimum and the maximum to the
    // window's size, and the requested place is (10, 10).
    const std::string hints =
        e2e::run(display_->name(), "xprop -id " + window_ + " WM_NORMAL_HINTS").out;
    EXPECT_NE(hints.find("minimum size: 700 by 600"), std::string::npos) << hints;
    EXPECT_NE(hints.find("maximum size: 700 by 600"), std::string::npos) << hints;
    EXPECT_NE(hints.find("location: 10, 10"), std::string::npos) << hints;

    // The view draws on its own schedule: take screenshots until it shows up
    // (bounded), then judge the last one.
    Image shot;
    Rgb panel;
    ViewSummary view;
    for (int attempt = 0; attempt < 100; ++attempt) {
        ASSERT_TRUE(e2e::screenshot(display_->name(), &shot));
        ASSERT_GE(shot.width(), g.x + 700);
        ASSERT_GE(shot.height(), g.y + 600);
        panel = shot.at(g.x + kBlankSpots[0][0], g.y + kBlankSpots[0][1]);
        view = summarize_view(shot, g, panel);
        if (view.panel_grey < 0.1 && view.dark > 0.1 && view.bright > 0.05) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }

    // The control column is the toolkit's grey, the same everywhere.
    EXPECT_EQ(panel.r, panel.g);
    EXPECT_EQ(panel.g, panel.b);
    EXPECT_GT(panel.r, 100) << "the control column is not grey";
    EXPECT_LT(panel.r, 240) << "the control column is not grey";
    for (const auto& spot : kBlankSpots) {
        EXPECT_EQ(shot.at(g.x + spot[0], g.y + spot[1]), panel)
            << "at (" << spot[0] << ", " << spot[1] << ")";
    }

    // Labels are drawn: dark text inside the "Add Point" and "Add Ball
    // Generator" buttons.
    auto dark_pixels = [&](int x0, int y0, int w, int h) {
        int n = 0;
        for (int y = y0; y < y0 + h; ++y) {
            for (int x = x0; x < x0 + w; ++x) {
                const Rgb c = shot.at(g.x + x, g.y + y);
                n += c.r < 64 && c.g < 64 && c.b < 64;
            }
        }
        return n;
    };
    EXPECT_GT(dark_pixels(8, 33, 89, 14), 20) << "no label on Add Point";
    EXPECT_GT(dark_pixels(455, 530, 180, 40), 40) << "no label on Add Ball Generator";

    // The view is not panel grey but a drawn scene: dark sky and tiles, white
    // tiles.
    EXPECT_LT(view.panel_grey, 0.1);
    EXPECT_GT(view.dark, 0.1);
    EXPECT_GT(view.bright, 0.05);
    if (HasFailure()) {
        keep(shot, "looptide_window.ppm");
    }
}

TEST_F(WindowTest, EscapeClosesTheWindowAndTheProgramExitsWithStatusZero) {
    ASSERT_TRUE(program_->running()) << "the program ended on its own";

    // A key from the keyboard goes to the focused window: focus ours, press Escape.
    const e2e::CommandResult focus =
        e2e::run(display_->name(), "xdotool windowfocus --sync " + window_);
    ASSERT_EQ(focus.status, 0);
    const e2e::CommandResult key = e2e::run(display_->name(), "xdotool key Escape");
    ASSERT_EQ(key.status, 0);

    int status = 0;
    ASSERT_TRUE(program_->wait_exit(15.0, &status)) << "Escape did not end the program";
    ASSERT_TRUE(WIFEXITED(status)) << "the program did not exit normally, wait status " << status;
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

} // namespace
