// The ride-analysis window on hand-made analyses: its title, size and keys, a
// click selecting the nearest point, the bank button, the car's line, the red
// stretches past the guide lines, and an empty analysis.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Group.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "app/analysis_window.h"

namespace {

constexpr double kLength = 500.0;

// A 500 m ring sampled every metre at 10 m/s and 1 g, with control points at
// 0, 100, 250 and 400 m; `shape` may change each sample.
template <class Shape> RideAnalysis ride(Shape shape) {
    RideAnalysis a;
    for (int i = 0; i < 500; ++i) {
        RideSample s;
        s.distance = i;
        s.speed = 10.0;
        s.vertical_g = 1.0;
        shape(s);
        a.samples.push_back(s);
    }
    a.point_distances = {0.0, 100.0, 250.0, 400.0};
    a.summary.length_m = kLength;
    return a;
}

RideAnalysis plain_ride() {
    return ride([](RideSample&) {});
}

class AnalysisWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        Fl_Group::current(nullptr);
        window_ = std::make_unique<AnalysisWindow>();
    }
    void TearDown() override {
        window_->hide();
        Fl::check();
    }

    void show() {
        window_->show();
        for (int i = 0; i < 100 && !window_->shown(); ++i) {
            Fl::wait(0.01);
        }
        settle();
    }

    // Lets the window draw what it was asked to (it draws once mapped).
    void settle() {
        Fl::flush();
        for (int i = 0; i < 200 && window_->damage() != 0; ++i) {
            Fl::wait(0.01);
        }
    }

    // A key pressed in the window, through the toolkit: to the focus, then as
    // a shortcut, then the toolkit's own Escape.
    int key(int keysym) {
        Fl::e_keysym = keysym;
        Fl::e_state = 0;
        static char no_text[] = "";
        Fl::e_text = no_text;
        Fl::e_length = 0;
        Fl::belowmouse(nullptr); // the pointer is in no widget: one shortcut round
        return Fl::handle(FL_KEYBOARD, window_.get());
    }

    int click(int x, int y, int button = 1) {
        Fl::e_x = x;
        Fl::e_y = y;
        Fl::e_keysym = FL_Button + button;
        Fl::e_state = button == 1 ? FL_BUTTON1 : FL_BUTTON3;
        return window_->handle(FL_PUSH);
    }

    // The window as drawn, one RGB triple per pixel, row by row.
    std::vector<unsigned char> draw_pixels() {
        show();
        window_->make_current();
        const int w = window_->w();
        const int h = window_->h();
        Fl_Offscreen image = fl_create_offscreen(w, h);
        fl_begin_offscreen(image);
        window_->draw();
        std::vector<unsigned char> pixels(static_cast<size_t>(w * h * 3));
        fl_read_image(pixels.data(), 0, 0, w, h);
        fl_end_offscreen();
        fl_delete_offscreen(image);
        return pixels;
    }

    std::unique_ptr<AnalysisWindow> window_;
};

TEST_F(AnalysisWindowTest, TitleSizeAndKeysThatHideIt) {
    EXPECT_STREQ(window_->label(), "Ride analysis - Looptide");
    EXPECT_EQ(window_->w(), 640);
    EXPECT_EQ(window_->h(), 560);
    EXPECT_NE(window_->resizable(), nullptr);
    EXPECT_STREQ(window_->bank_button().label(), "Bank for level riding");

    // Grown, the plots reach the new right edge and the button keeps to the bottom.
    window_->show_analysis(plain_ride());
    window_->resize(0, 0, 800, 700);
    EXPECT_NEAR(window_->x_of(kLength), 800 - 16, 2);
    EXPECT_EQ(window_->bank_button().y() + window_->bank_button().h(), 700 - 6);

    std::vector<int> offered;
    int take = 0;
    window_->on_key([&](int k) {
        offered.push_back(k);
        return take;
    });
    struct Row {
        int keysym;
        int owner_takes;
        bool hidden;
    };
    const Row rows[] = {
        {'z', 0, false},      // not the window's: offered, kept shown
        {FL_F + 2, 1, false}, // the owner takes F2
        {FL_Escape, 0, true}, // offered, taken by no one: the toolkit hides the window
    };
    for (const Row& row : rows) {
        show();
        take = row.owner_takes;
        EXPECT_EQ(key(row.keysym), row.owner_takes || row.hidden) << row.keysym;
        EXPECT_EQ(!window_->shown(), row.hidden) << row.keysym;
    }
    EXPECT_EQ(offered, (std::vector<int>{'z', FL_F + 2, FL_Escape}));

    // The close button hides the window too, and the program goes on.
    show();
    window_->do_callback();
    EXPECT_FALSE(window_->shown());
}

TEST_F(AnalysisWindowTest, ClickSelectsNearestPointAndButtonBanks) {
    std::vector<int> selected;
    window_->on_select_point([&](int p) { selected.push_back(p); });
    int banked = 0;
    window_->on_bank_for_level_riding([&] { ++banked; });

    // An empty analysis selects nothing.
    const PixelRect speed = window_->plot_area(0);
    EXPECT_EQ(click(speed.x + 10, speed.y + 10), 0);
    EXPECT_TRUE(selected.empty());

    window_->show_analysis(plain_ride());
    struct Row {
        double distance;
        int plot;
        int point;
    };
    const Row rows[] = {
        {10.0, 0, 0},  {60.0, 1, 1},  {170.0, 2, 1}, {180.0, 3, 2},
        {330.0, 0, 3}, {440.0, 1, 3}, {460.0, 2, 0}, // wraps round to point 0 at 500 m
        {499.0, 3, 0},
    };
    for (const Row& row : rows) {
        const PixelRect r = window_->plot_area(row.plot);
        selected.clear();
        EXPECT_EQ(click(window_->x_of(row.distance), r.y + r.h / 2), 1) << row.distance;
        EXPECT_EQ(selected, std::vector<int>{row.point}) << row.distance;
    }
    // Outside the plots, or with the right button, nothing is selected.
    selected.clear();
    click(window_->x_of(100.0), window_->h() - 40);
    click(window_->x_of(100.0), speed.y - 5);
    click(window_->x_of(100.0), speed.y + 10, 3);
    EXPECT_TRUE(selected.empty());

    window_->bank_button().do_callback();
    EXPECT_EQ(banked, 1);

    // "Ride these speeds" reports its state; shown off, a line says what
    // the train on screen follows instead.
    std::vector<bool> rides;
    window_->on_ride_speeds([&](bool on) { rides.push_back(on); });
    EXPECT_NE(window_->ride_line().find("simpler rule"), std::string::npos);
    window_->ride_button().value(1);
    window_->ride_button().do_callback();
    EXPECT_EQ(rides, std::vector<bool>{true});
    EXPECT_EQ(window_->ride_line(), "");
    window_->show_ride_speeds(false);
    EXPECT_EQ(rides, std::vector<bool>{true}) << "showing the state is no request";
    EXPECT_EQ(window_->ride_button().value(), 0);
    EXPECT_NE(window_->ride_line().find("simpler rule"), std::string::npos);
}

TEST_F(AnalysisWindowTest, CarLineRedrawsOnlyWhenItMoves) {
    window_->show_analysis(plain_ride());
    show();
    struct Row {
        double distance;
        bool redraws;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // One pixel column is about 0.8 m of this ring.
    const Row rows[] = {{100.0, true}, {100.0, false}, {100.2, false}, {200.0, true},
                        {nan, true},   {nan, false},   {200.0, true}};
    for (const Row& row : rows) {
        window_->show_car_at(row.distance);
        EXPECT_EQ(window_->damage() != 0, row.redraws) << row.distance;
        settle();
    }
}

TEST_F(AnalysisWindowTest, RedOnlyWherePastTheGuides) {
    // Vertical G of 6 from 200 to 300 m (past +5), lateral G of -2 from 350 to
    // 380 m (past -1.5); everything else well inside the guides.
    window_->show_analysis(ride([](RideSample& s) {
        if (s.distance >= 200 && s.distance <= 300) {
            s.vertical_g = 6.0;
        }
        if (s.distance >= 350 && s.distance <= 380) {
            s.lateral_g = -2.0;
        }
    }));
    const std::vector<unsigned char> pixels = draw_pixels();
    const int w = window_->w();
    const PixelRect vertical = window_->plot_area(1);
    const PixelRect lateral = window_->plot_area(2);
    int in_vertical = 0;
    int in_lateral = 0;
    int elsewhere = 0;
    for (int y = 0; y < window_->h(); ++y) {
        for (int x = 0; x < w; ++x) {
            const unsigned char* p = &pixels[static_cast<size_t>((y * w + x) * 3)];
            if (p[0] < 200 || p[1] > 60 || p[2] > 60) {
                continue;
            }
            if (vertical.contains(x, y) && y < vertical.y + vertical.h / 2 &&
                x >= window_->x_of(200) - 2 && x <= window_->x_of(300) + 2) {
                ++in_vertical;
            } else if (lateral.contains(x, y) && y > lateral.y + lateral.h / 2 &&
                       x >= window_->x_of(350) - 2 && x <= window_->x_of(380) + 2) {
                ++in_lateral;
            } else {
                ++elsewhere;
            }
        }
    }
    // Each stretch is a flat run of about 100 or 30 m, two pixels thick.
    EXPECT_GT(in_vertical, 2 * (window_->x_of(300) - window_->x_of(200)) - 4);
    EXPECT_GT(in_lateral, 2 * (window_->x_of(380) - window_->x_of(350)) - 4);
    EXPECT_EQ(elsewhere, 0);
}

TEST_F(AnalysisWindowTest, AnalysesWithoutLengthDrawQuietly) {
    std::vector<int> selected;
    window_->on_select_point([&](int p) { selected.push_back(p); });
    RideAnalysis one_sample;
    one_sample.samples.resize(1);
    one_sample.point_distances = {0.0, 0.0, 0.0, 0.0};
    const double inf = std::numeric_limits<double>::infinity();
    RideAnalysis wild = ride([&](RideSample& s) {
        s.lateral_g = s.distance == 7 ? inf : 1e300;
        s.speed = s.distance == 9 ? std::nan("") : s.speed;
    });
    // Whatever the figures, every plot's frame is drawn; red shows only in
    // the lateral plot of the wild figures, far past its guide; and only an
    // analysis without samples (none, or refused) says, in the middle plot, that there is
    // nothing to analyse.
    RideAnalysis none;
    RideAnalysis refused;
    refused.refusal = RideRefusal::speed_too_large;
    for (const RideAnalysis* a : {&none, &one_sample, &wild, &refused}) {
        window_->show_analysis(*a);
        window_->show_car_at(std::nan(""));
        window_->show_car_at(1e300);
        const std::vector<unsigned char> pixels = draw_pixels();
        const auto at = [&](int x, int y) {
            return &pixels[static_cast<size_t>((y * window_->w() + x) * 3)];
        };
        int red_lateral = 0;
        int red_elsewhere = 0;
        for (int y = 0; y < window_->h(); ++y) {
            for (int x = 0; x < window_->w(); ++x) {
                const unsigned char* p = at(x, y);
                const bool red = p[0] > 200 && p[1] < 60 && p[2] < 60;
                (window_->plot_area(2).contains(x, y) ? red_lateral : red_elsewhere) += red;
            }
        }
        EXPECT_EQ(red_lateral > 0, a == &wild) << a->samples.size();
        EXPECT_EQ(red_elsewhere, 0) << a->samples.size();
        const PixelRect middle = window_->plot_area(1);
        int dark = 0;
        for (int y = middle.y + middle.h / 2 - 6; y <= middle.y + middle.h / 2 + 6; ++y) {
            for (int x = middle.x + middle.w / 4; x < middle.x + 3 * middle.w / 4; ++x) {
                dark += at(x, y)[0] < 100 && at(x, y)[1] < 100 && at(x, y)[2] < 100;
            }
        }
        EXPECT_EQ(dark > 0, a->samples.empty()) << a->samples.size();
        for (int i = 0; i < AnalysisWindow::kPlots; ++i) {
            const PixelRect r = window_->plot_area(i);
            EXPECT_LT(at(r.x, r.bottom())[0] + at(r.right(), r.y)[1], 60) << i;
        }
    }
    window_->show_analysis(RideAnalysis{});
    const PixelRect r = window_->plot_area(1);
    EXPECT_EQ(click(r.x + r.w / 2, r.y + r.h / 2), 0);
    EXPECT_TRUE(selected.empty());
}

TEST(AnalysisWindowPlotTest, StepsAndScales) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::pair<double, double> steps[] = {{0.3, 0.5}, {1.0, 1.0},  {1.2, 2.0}, {7.0, 10.0},
                                               {0.0, 1.0}, {-3.0, 1.0}, {nan, 1.0}, {230, 500}};
    for (const auto& [at_least, step] : steps) {
        EXPECT_DOUBLE_EQ(nice_step(at_least), step) << at_least;
    }
    char text[32];
    format_tick(text, sizeof text, -1e-17, 0.5);
    EXPECT_STREQ(text, "0.0");
    format_tick(text, sizeof text, 250.0, 50.0);
    EXPECT_STREQ(text, "250");

    // A y axis (pixels run down) and scales of empty or endless ranges.
    const Scale y(-2.0, 6.0, 100, 20);
    EXPECT_EQ(y.pixel(-2.0), 100);
    EXPECT_EQ(y.pixel(1.0), 70);
    EXPECT_EQ(y.pixel(1e300, 3), 17);
    EXPECT_EQ(y.pixel(-1e300, 3), 103);
    EXPECT_DOUBLE_EQ(y.value(70), 1.0);
    EXPECT_DOUBLE_EQ(y.value(500), -2.0);
    const Scale flat(4.0, 4.0, 0, 100);
    EXPECT_EQ(flat.pixel(4.0), 50);
    const Scale endless(0.0, std::numeric_limits<double>::infinity(), 0, 100);
    EXPECT_EQ(endless.pixel(0.5), 50);
}

} // namespace
