// The animation step on an injected clock: its gates, both motion modes, the
// energy model, the time handed to the generators, the generator limit, the
// timeout that wakes the step, and a long soak.
//
// FLTK records damage on a window only once it is mapped, so each view is
// shown; no event loop runs (except in the step-rate check), so draw() is
// never called behind the test's back and the damage bits stay observable.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Value_Slider.H>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <iostream>
#include <memory>
#include <random>

#include "view/coaster_window.h"
#include "view/view_fixture.h"

namespace {

constexpr std::int64_t kStartSecond = 1700000000;

class AnimationTest : public ViewFixture {
protected:
    void SetUp() override {
        ViewFixture::SetUp();
        view_->set_clock([this] { return now_ms_; });
        view_->set_calendar([this] { return kStartSecond + now_ms_ / 1000; });
        ASSERT_NO_FATAL_FAILURE(show());
    }

    // Starts the animation and forgets the damage of the setup so far.
    void start() {
        view_->toggle_animation();
        ASSERT_TRUE(view_->animating);
        view_->clear_damage();
    }

    // Advances the fake clock by ms and runs one step.
    void step_after(int ms) {
        now_ms_ += ms;
        view_->step_animation();
    }

    // A Linear ring whose first side falls 0.7 per unit of length (from y 10
    // to 3 over 10 units), whose second is level, and whose third climbs 0.5
    // per unit (from y 3 to 8): the front car's height change per step is
    // known from the distance it moves.
    void use_slope_track() {
        Track& t = view_->track;
        t.set_curve_type(Linear);
        const double run_down = std::sqrt(1.0 - 0.7 * 0.7) * 10.0;
        const double run_up = std::sqrt(1.0 - 0.5 * 0.5) * 10.0;
        t.point(0) = ControlPoint(0.0, 10.0, 0.0, 0.0);
        t.point(1) = ControlPoint(run_down, 3.0, 0.0, 0.0);
        t.point(2) = ControlPoint(run_down, 3.0, 10.0, 0.0);
        t.point(3) = ControlPoint(run_down - run_up, 8.0, 10.0, 0.0);
    }

    double height_at(float u) const { return view_->track.position_at(u).y; }

    int now_ms_ = 0;
};

TEST_F(AnimationTest, NothingHappensWhileStoppedOrWithinThirtyFourMilliseconds) {
    CoasterWindow& v = view();
    v.add_ball_generator();
    v.clear_damage();

    // Stopped: however often the step runs, nothing changes and nothing redraws.
    for (int i = 0; i < 100; ++i) {
        step_after(1000);
    }
    EXPECT_FALSE(redraw_requested());
    EXPECT_EQ(v.car_u, 0.0f);
    EXPECT_EQ(v.last_tick, 0);
    EXPECT_EQ(v.generators[0]->num_balls(), 0);

    // Started, 20 and then 33 ms after the last tick: still nothing.
    now_ms_ = 0;
    start();
    step_after(20);
    step_after(13);
    EXPECT_FALSE(redraw_requested());
    EXPECT_EQ(v.car_u, 0.0f);
    EXPECT_EQ(v.last_tick, 0);
    EXPECT_EQ(v.generators[0]->num_balls(), 0);

    // At 34 ms one step is taken.
    step_after(1);
    EXPECT_TRUE(redraw_requested());
    EXPECT_EQ(v.last_tick, 34);
    EXPECT_EQ(v.elapsed_ms, 34);
    EXPECT_EQ(v.car_u, v.track.advance(0.1, 0.0f));
    EXPECT_GT(v.car_u, 0.0f);
    EXPECT_EQ(v.generators[0]->num_balls(), 1);

    // The gate counts from the new tick.
    const float after_first = v.car_u;
    step_after(33);
    EXPECT_FALSE(redraw_requested());
    EXPECT_EQ(v.car_u, after_first);
    step_after(1);
    EXPECT_TRUE(redraw_requested());
    EXPECT_EQ(v.last_tick, 68);
    EXPECT_GT(v.car_u, after_first);

    // The same gate holds in parameter mode.
    v.set_constant_velocity(false);
    v.clear_damage();
    step_after(33);
    EXPECT_FALSE(redraw_requested());
    step_after(1);
    EXPECT_TRUE(redraw_requested());
    EXPECT_EQ(v.last_tick, 102);

    // Idle-time hook: steps the program's view.
    the_coaster_window = &v;
    now_ms_ += 34;
    idle_cb(nullptr);
    the_coaster_window = nullptr;
    EXPECT_EQ(v.last_tick, 136);
    EXPECT_TRUE(redraw_requested());
}

TEST_F(AnimationTest, ZeroSpeedHaltsArcLengthModeAndKeepsThePauseForLater) {
    CoasterWindow& v = view();
    v.add_ball_generator();
    v.set_velocity(0.0);
    start();

    step_after(1000);
    step_after(1000);
    EXPECT_FALSE(redraw_requested());
    EXPECT_EQ(v.car_u, 0.0f);
    EXPECT_EQ(v.last_tick, 0);
    EXPECT_EQ(v.generators[0]->num_balls(), 0);
    EXPECT_EQ(v.ms_until_next_step(), -1);

    // Raising the velocity resumes with the whole pause as elapsed time.
    v.set_velocity(0.2);
    v.clear_damage();
    v.step_animation();
    EXPECT_TRUE(redraw_requested());
    EXPECT_EQ(v.elapsed_ms, 2000);
    EXPECT_EQ(v.last_tick, 2000);
    EXPECT_EQ(v.car_u, v.track.advance(0.2, 0.0f));
    EXPECT_EQ(v.generators[0]->num_balls(), 1);

    // Parameter mode does not look at the speed.
    v.set_velocity(0.0);
    v.set_constant_velocity(false);
    v.clear_damage();
    const float u = v.car_u;
    step_after(34);
    EXPECT_TRUE(redraw_requested());
    EXPECT_EQ(v.car_u, static_cast<float>(static_cast<double>(u) + 0.02));
}

TEST_F(AnimationTest, GoingDownGainsASeventhOfTheDropAndClimbingLosesAFifthDownToBaseSpeed) {
    CoasterWindow& v = view();
    use_slope_track();
    v.set_velocity(1.0);
    start();

    // Down the first side: about 0.7 lower, about 0.1 faster.
    v.car_u = 0.2f;
    step_after(34);
    const double drop = height_at(0.2f) - height_at(v.car_u);
    EXPECT_EQ(v.car_u, v.track.advance(1.0, 0.2f));
    EXPECT_NEAR(drop, 0.7, 0.04);
    EXPECT_DOUBLE_EQ(v.speed, 1.0 + drop / 7.0);
    EXPECT_NEAR(v.speed - 1.0, 0.1, 0.006);
    EXPECT_EQ(v.base_speed, 1.0);

    // The gain has no ceiling: it grows on every step down.
    const double after_one = v.speed;
    const float u1 = v.car_u;
    step_after(34);
    EXPECT_DOUBLE_EQ(v.speed, after_one + (height_at(u1) - height_at(v.car_u)) / 7.0);
    EXPECT_GT(v.speed, after_one);

    // On the level the speed is kept.
    v.car_u = 1.3f;
    v.speed = 1.0;
    step_after(34);
    EXPECT_EQ(height_at(1.3f), height_at(v.car_u));
    EXPECT_EQ(v.speed, 1.0);

    // Up the third side: about 0.5 higher, about 0.1 slower.
    v.set_velocity(0.5);
    v.speed = 1.0;
    v.car_u = 2.2f;
    step_after(34);
    const double rise = height_at(v.car_u) - height_at(2.2f);
    EXPECT_NEAR(rise, 0.5, 0.03);
    EXPECT_DOUBLE_EQ(v.speed, 1.0 - rise / 5.0);
    EXPECT_NEAR(1.0 - v.speed, 0.1, 0.006);

    // ... but never below the chosen speed.
    v.set_velocity(0.95);
    v.speed = 1.0;
    v.car_u = 2.2f;
    step_after(34);
    EXPECT_GT(height_at(v.car_u), height_at(2.2f));
    EXPECT_EQ(v.speed, 0.95);
    for (int i = 0; i < 5; ++i) {
        step_after(34);
        EXPECT_GE(v.speed, v.base_speed);
    }
}

TEST_F(AnimationTest, WithoutEnergyTheSpeedIsAlwaysTheChosenOne) {
    CoasterWindow& v = view();
    use_slope_track();
    v.set_conserve_energy(false);
    v.set_velocity(0.3);
    start();

    v.speed = 1.0; // left over from earlier energy gains
    v.car_u = 0.2f;
    step_after(34);
    // This step still moves by the old speed, then drops it.
    EXPECT_EQ(v.car_u, v.track.advance(1.0, 0.2f));
    EXPECT_EQ(v.speed, 0.3);

    for (int i = 0; i < 200; ++i) {
        const float u = v.car_u;
        step_after(34);
        ASSERT_EQ(v.car_u, v.track.advance(0.3, u));
        ASSERT_EQ(v.speed, 0.3);
    }
}

TEST_F(AnimationTest, ParameterModeStepsByTwoHundredthsAndWrapsPastTheLastPoint) {
    CoasterWindow& v = view();
    v.set_constant_velocity(false);
    v.speed = 0.37;
    start();

    step_after(34);
    EXPECT_EQ(v.car_u, 0.02f);
    step_after(34);
    EXPECT_FLOAT_EQ(v.car_u, 0.04f);

    int wraps = 0;
    float highest = 0.0f;
    float before_wrap = 0.0f;
    for (int i = 0; i < 250; ++i) {
        const float u = v.car_u;
        step_after(34);
        // The sum is formed in double and only then stored as a float.
        const double sum = static_cast<double>(u) + 0.02;
        if (sum > 4.0) {
            ASSERT_EQ(v.car_u, 0.0f) << "after " << u;
            ++wraps;
            before_wrap = u;
        } else {
            ASSERT_EQ(v.car_u, static_cast<float>(sum));
            ASSERT_NEAR(v.car_u - u, 0.02f, 1e-5f);
        }
        highest = std::max(highest, v.car_u);
    }
    EXPECT_EQ(wraps, 1);
    EXPECT_LE(highest, 4.0f);
    EXPECT_GT(before_wrap, 3.98f);
    EXPECT_EQ(v.speed, 0.37);
}

TEST_F(AnimationTest, SwitchingModesContinuesFromTheCurrentParameter) {
    CoasterWindow& v = view();
    v.set_constant_velocity(false);
    start();
    for (int i = 0; i < 5; ++i) {
        step_after(34);
    }
    const float u = v.car_u;
    EXPECT_NEAR(u, 0.1f, 1e-6f);

    v.set_constant_velocity(true);
    v.speed = 0.25;
    v.base_speed = 0.25;
    step_after(34);
    EXPECT_EQ(v.car_u, v.track.advance(0.25, u));

    const float w = v.car_u;
    v.set_constant_velocity(false);
    step_after(34);
    EXPECT_EQ(v.car_u, static_cast<float>(static_cast<double>(w) + 0.02));
}

TEST_F(AnimationTest, TheFirstStepAfterAPauseHandsTheWholePauseToEveryGenerator) {
    CoasterWindow& v = view();
    for (int i = 0; i < 3; ++i) {
        v.add_ball_generator();
    }
    start();
    // Long steps fill every ring, so the timers run below zero from then on
    // and show exactly how much time each update was given.
    for (int i = 0; i < 15; ++i) {
        step_after(2000);
    }
    int timers[3];
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(v.generators[i]->num_balls(), 15);
        timers[i] = v.generators[i]->spawn_timer_ms();
    }

    v.toggle_animation();
    now_ms_ += 10000;
    v.step_animation(); // stopped: this one does nothing
    v.toggle_animation();
    v.step_animation();
    EXPECT_EQ(v.elapsed_ms, 10000);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(v.generators[i]->spawn_timer_ms(), timers[i] - 10000) << "generator " << i;
    }
}

TEST_F(AnimationTest, AtMostTwentyGeneratorsAndEveryAttemptRedraws) {
    CoasterWindow& v = view();
    for (int i = 0; i < 20; ++i) {
        v.add_ball_generator();
        ASSERT_TRUE(redraw_requested());
    }
    ASSERT_EQ(v.num_generators, 20);
    const BallGenerator* last = v.generators[19].get();
    for (const auto& g : v.generators) {
        ASSERT_NE(g, nullptr);
        EXPECT_EQ(g->position()->x, 0.0);
        EXPECT_EQ(g->position()->z, 0.0);
    }
    v.add_ball_generator();
    EXPECT_TRUE(redraw_requested());
    EXPECT_EQ(v.num_generators, 20);
    EXPECT_EQ(v.generators[19].get(), last);

    // Generators are updated in index order, each with its own seed: on the
    // same step, neighbours get different balls.
    start();
    step_after(34);
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(v.generators[i]->num_balls(), 1);
    }
    EXPECT_NE(v.generators[0]->live_ball(0).colour().x, v.generators[1]->live_ball(0).colour().x);
}

TEST_F(AnimationTest, TheStepTimeoutIsArmedOnlyWhileAStepCanBeDue) {
    CoasterWindow& v = view();
    EXPECT_EQ(v.ms_until_next_step(), -1);
    EXPECT_FALSE(Fl::has_timeout(step_timeout_cb, &v));

    now_ms_ = 10;
    v.toggle_animation();
    EXPECT_EQ(v.ms_until_next_step(), 24);
    EXPECT_TRUE(Fl::has_timeout(step_timeout_cb, &v));
    now_ms_ = 500;
    EXPECT_EQ(v.ms_until_next_step(), 0);

    v.set_velocity(0.0); // halts arc-length mode
    EXPECT_EQ(v.ms_until_next_step(), -1);
    EXPECT_FALSE(Fl::has_timeout(step_timeout_cb, &v));
    v.set_constant_velocity(false); // parameter mode ignores the speed
    EXPECT_EQ(v.ms_until_next_step(), 0);
    EXPECT_TRUE(Fl::has_timeout(step_timeout_cb, &v));
    v.set_constant_velocity(true);
    EXPECT_FALSE(Fl::has_timeout(step_timeout_cb, &v));
    v.set_velocity(0.1);
    EXPECT_TRUE(Fl::has_timeout(step_timeout_cb, &v));

    // The timeout runs one step and re-arms for the next due time.
    step_timeout_cb(&v);
    EXPECT_EQ(v.last_tick, 500);
    EXPECT_EQ(v.ms_until_next_step(), 34);
    EXPECT_TRUE(Fl::has_timeout(step_timeout_cb, &v));

    v.toggle_animation();
    EXPECT_FALSE(Fl::has_timeout(step_timeout_cb, &v));

    // A view that goes away takes its pending step with it.
    v.toggle_animation();
    ASSERT_TRUE(Fl::has_timeout(step_timeout_cb, &v));
    const void* gone = &v;
    view_.reset();
    EXPECT_FALSE(Fl::has_timeout(step_timeout_cb, const_cast<void*>(gone)));
}

TEST_F(AnimationTest, SoakOfTwentyThousandStepsKeepsEveryRingAndTheCarInBounds) {
    CoasterWindow& v = view();
    for (int i = 0; i < 25; ++i) {
        v.add_ball_generator();
    }
    for (int i = 0; i < 10; ++i) {
        v.add_car();
    }
    ASSERT_EQ(v.num_generators, 20);
    ASSERT_EQ(v.num_cars, 8);
    for (int i = 0; i < 20; ++i) {
        v.generators[i]->position()->x = -9.0 + i;
    }
    start();

    std::mt19937 jitter(12345);
    std::uniform_int_distribution<int> long_gap(34, 3000);
    int full_rings_seen = 0;
    for (int s = 1; s <= 20000; ++s) {
        // Mostly the normal rate, now and then a long gap that fills the rings.
        step_after(s % 7 == 0 ? long_gap(jitter) : 34);
        if (s % 4000 == 0) {
            v.set_constant_velocity(!v.constant_velocity);
            v.set_conserve_energy(!v.conserve_energy);
            v.add_point();
            v.set_curve_type(s / 4000 % 4);
        }
        if (s % 1000 == 0) {
            v.redraw();
            Fl::flush(); // draw the scene now and then with all 20 generators and 8 cars
        }
        ASSERT_GE(v.car_u, 0.0f) << "step " << s;
        ASSERT_LE(v.car_u, static_cast<float>(v.num_points)) << "step " << s;
        ASSERT_TRUE(std::isfinite(v.speed));
        for (int i = 0; i < v.num_generators; ++i) {
            const BallGenerator& g = *v.generators[i];
            ASSERT_LE(g.num_balls(), BallGenerator::kRingSize) << "step " << s;
            ASSERT_EQ(g.next_slot(), (g.first_ball() + g.num_balls()) % BallGenerator::kRingSize);
            if (g.num_balls() == BallGenerator::kRingSize) {
                ++full_rings_seen;
            }
        }
    }
    EXPECT_GT(full_rings_seen, 0); // the limit was reached, not just never approached
    EXPECT_EQ(v.num_points, 9);
}

// Runs the real event loop on a view that keeps the program's own clock and
// counts the steps it takes: the timeout must keep the animation going at
// about one step per 34 ms. The figure is printed; only a loose floor is checked.
TEST_F(AnimationTest, TheEventLoopDrivesAboutThirtyStepsPerSecond) {
    Fl_Group::current(nullptr);
    auto slider = std::make_unique<Fl_Value_Slider>(0, 0, 100, 20);
    auto live = std::make_unique<CoasterWindow>(0, 0, 480, 480, slider.get());
    live->end();
    live->show();
    live->add_ball_generator();
    live->toggle_animation();

    using Clock = std::chrono::steady_clock;
    const auto begin = Clock::now();
    const auto until = begin + std::chrono::seconds(2);
    int steps = 0;
    int last_tick = live->last_tick;
    while (Clock::now() < until) {
        Fl::wait(0.1);
        if (live->last_tick != last_tick) {
            ++steps;
            last_tick = live->last_tick;
        }
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
    const double rate = steps / seconds;
    std::cout << "animation steps per second under the event loop: " << rate << '\n';
    EXPECT_GT(rate, 5.0);
    EXPECT_GT(live->car_u, 0.0f);

    live->toggle_animation();
    live->hide();
    Fl::check();
}

} // namespace
