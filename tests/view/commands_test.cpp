// The controls' commands as the view runs them: which ask for a redraw, and
// the timeout that wakes the animation step only while a step can be due.
#include <gtest/gtest.h>

#include <FL/Fl.H>

#include <chrono>
#include <functional>
#include <iostream>

#include "view/gl_fixture.h"

using gl_test::GlView;

TEST(ViewCommands, EachRedrawsWhereItsControlNeedsIt) {
    GlView gl;
    CoasterWindow& v = gl.view();
    struct Row {
        const char* what;
        std::function<void()> command;
        bool redraws;
    };
    const Row rows[] = {
        {"same curve type", [&] { v.set_curve_type(CurveType::Cardinal); }, true},
        {"tension", [&] { v.set_tension(0.5f); }, true},
        {"constant velocity", [&] { v.set_constant_velocity(false); }, true},
        {"conserve energy", [&] { v.set_conserve_energy(false); }, true},
        {"velocity", [&] { v.set_velocity(0.2); }, true},
        {"look from car", [&] { v.set_look_from_car(true); }, true},
        {"lights", [&] { v.set_lights_on(false); }, true},
        {"roll with nothing selected", [&] { v.set_selected_roll(45.0); }, true},
        {"remove the only car", [&] { v.remove_car(); }, true},
        {"add a car", [&] { v.add_car(); }, true},
        {"remove a point at four", [&] { v.remove_point(); }, false},
        {"add a point", [&] { v.add_point(); }, true},
        {"remove a point", [&] { v.remove_point(); }, true},
        {"add a generator", [&] { v.add_ball_generator(); }, true},
        {"start the animation", [&] { v.toggle_animation(); }, false},
        {"stop the animation", [&] { v.toggle_animation(); }, false},
    };
    for (const Row& row : rows) {
        gl.clear_damage();
        row.command();
        EXPECT_EQ(gl.damaged(), row.redraws) << row.what;
    }
    for (int i = 0; i < 10; ++i) {
        v.add_car();
        v.add_ball_generator();
    }
    while (v.scene().track().num_points() < Track::kMaxPoints) {
        v.add_point();
    }
    gl.clear_damage();
    v.add_car();
    EXPECT_TRUE(gl.damaged()) << "add a ninth car";
    gl.clear_damage();
    v.add_ball_generator();
    EXPECT_TRUE(gl.damaged()) << "add a twenty-first generator";
    gl.clear_damage();
    v.add_point();
    EXPECT_FALSE(gl.damaged()) << "add a hundred and first point";
}

TEST(ViewCommands, TheStepTimeoutIsArmedOnlyWhileAStepCanBeDue) {
    GlView gl;
    CoasterWindow& v = gl.view();
    int now_ms = 10;
    v.scene().set_clock([&] { return now_ms; });
    EXPECT_FALSE(Fl::has_timeout(step_timeout_cb, &v));
    v.toggle_animation();
    EXPECT_TRUE(Fl::has_timeout(step_timeout_cb, &v));
    v.set_velocity(0.0); // halts arc-length mode
    EXPECT_FALSE(Fl::has_timeout(step_timeout_cb, &v));
    v.set_constant_velocity(false); // parameter mode ignores the speed
    EXPECT_TRUE(Fl::has_timeout(step_timeout_cb, &v));
    v.set_constant_velocity(true);
    EXPECT_FALSE(Fl::has_timeout(step_timeout_cb, &v));
    v.set_velocity(0.1);
    EXPECT_TRUE(Fl::has_timeout(step_timeout_cb, &v));

    // The timeout runs one step, redraws, and re-arms for the next due time.
    now_ms = 500;
    gl.clear_damage();
    step_timeout_cb(&v);
    EXPECT_EQ(v.scene().last_tick(), 500);
    EXPECT_TRUE(gl.damaged());
    EXPECT_TRUE(Fl::has_timeout(step_timeout_cb, &v));
    gl.clear_damage();
    step_timeout_cb(&v); // not yet due: nothing moves, nothing redraws
    EXPECT_FALSE(gl.damaged());

    v.toggle_animation();
    EXPECT_FALSE(Fl::has_timeout(step_timeout_cb, &v));
}

TEST(ViewCommands, AViewThatGoesAwayTakesItsPendingStepWithIt) {
    Document document;
    auto v = std::make_unique<CoasterWindow>(0, 0, 100, 100, document);
    v->toggle_animation();
    ASSERT_TRUE(Fl::has_timeout(step_timeout_cb, v.get()));
    const void* gone = v.get();
    v.reset();
    EXPECT_FALSE(Fl::has_timeout(step_timeout_cb, const_cast<void*>(gone)));
}

// Runs the real event loop on a view with the program's own clock and counts
// its steps: the timeout must keep the animation going at about one step per
// 34 ms. The figure is printed; only a loose floor is checked.
TEST(ViewCommands, TheEventLoopDrivesAboutThirtyStepsPerSecond) {
    GlView gl;
    CoasterWindow& v = gl.view();
    v.add_ball_generator();
    v.toggle_animation();
    using Clock = std::chrono::steady_clock;
    const auto begin = Clock::now();
    int steps = 0;
    int last_tick = v.scene().last_tick();
    while (Clock::now() < begin + std::chrono::seconds(2)) {
        Fl::wait(0.1);
        if (v.scene().last_tick() != last_tick) {
            ++steps;
            last_tick = v.scene().last_tick();
        }
    }
    const double rate = steps / std::chrono::duration<double>(Clock::now() - begin).count();
    std::cout << "animation steps per second under the event loop: " << rate << '\n';
    EXPECT_GT(rate, 5.0);
    EXPECT_GT(v.scene().train().car_u, 0.0f);
    v.toggle_animation();
}
