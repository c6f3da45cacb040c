// The animation step on an injected clock: its gates, both motion modes, the
// energy model and the time handed to the generators.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "scene/scene.h"

namespace {

constexpr std::int64_t kStartSecond = 1700000000;

class Animation : public ::testing::Test {
protected:
    void SetUp() override {
        scene_.set_clock([this] { return now_ms_; });
        scene_.set_calendar([this] { return kStartSecond + now_ms_ / 1000; });
    }

    // Advances the fake clock by ms and runs one step; true when it moved.
    bool step_after(int ms) {
        now_ms_ += ms;
        return scene_.step();
    }

    // A Linear ring whose first side falls 0.7 per unit of length (from y 10
    // to 3 over 10 units), whose second is level, and whose third climbs 0.5
    // per unit (from y 3 to 8): the front car's height change per step is
    // known from the distance it moves.
    void use_slope_track() {
        Track& t = scene_.track();
        t.set_curve_type(CurveType::Linear);
        const double run_down = std::sqrt(1.0 - 0.7 * 0.7) * 10.0;
        const double run_up = std::sqrt(1.0 - 0.5 * 0.5) * 10.0;
        t.point(0) = ControlPoint(0.0, 10.0, 0.0, 0.0);
        t.point(1) = ControlPoint(run_down, 3.0, 0.0, 0.0);
        t.point(2) = ControlPoint(run_down, 3.0, 10.0, 0.0);
        t.point(3) = ControlPoint(run_down - run_up, 8.0, 10.0, 0.0);
    }

    double height_at(float u) const { return scene_.track().position_at(u).y; }
    Train& train() { return scene_.train(); }

    Scene scene_;
    int now_ms_ = 0;
};

TEST_F(Animation, NothingHappensWhileStoppedOrWithinThirtyFourMilliseconds) {
    scene_.add_ball_generator();
    for (int i = 0; i < 100; ++i) {
        EXPECT_FALSE(step_after(1000));
    }
    EXPECT_EQ(train().car_u, 0.0f);
    EXPECT_EQ(scene_.generator(0).num_balls(), 0);
    EXPECT_EQ(scene_.ms_until_next_step(), -1);

    now_ms_ = 0;
    scene_.toggle_animation();
    EXPECT_EQ(scene_.ms_until_next_step(), 34);
    EXPECT_FALSE(step_after(20));
    EXPECT_EQ(scene_.ms_until_next_step(), 14);
    EXPECT_FALSE(step_after(13));
    EXPECT_EQ(train().car_u, 0.0f);
    EXPECT_EQ(scene_.generator(0).num_balls(), 0);

    // At 34 ms one step: the train moves 0.1 along the track, a ball rises.
    EXPECT_TRUE(step_after(1));
    EXPECT_EQ(scene_.last_tick(), 34);
    EXPECT_EQ(scene_.elapsed_ms(), 34);
    EXPECT_EQ(train().car_u, scene_.track().advance(0.1, 0.0f));
    EXPECT_EQ(scene_.generator(0).num_balls(), 1);

    // The gate counts from the new tick, in both modes.
    const float after_first = train().car_u;
    EXPECT_FALSE(step_after(33));
    EXPECT_EQ(train().car_u, after_first);
    EXPECT_TRUE(step_after(1));
    scene_.set_constant_velocity(false);
    EXPECT_FALSE(step_after(33));
    EXPECT_TRUE(step_after(1));
    EXPECT_EQ(scene_.last_tick(), 102);
    EXPECT_EQ(scene_.ms_until_next_step(), 34);
    now_ms_ += 500;
    EXPECT_EQ(scene_.ms_until_next_step(), 0);
}

TEST_F(Animation, ZeroSpeedHaltsArcLengthModeAndKeepsThePauseForLater) {
    scene_.add_ball_generator();
    scene_.set_velocity(0.0);
    scene_.toggle_animation();
    EXPECT_FALSE(step_after(1000));
    EXPECT_FALSE(step_after(1000));
    EXPECT_EQ(train().car_u, 0.0f);
    EXPECT_EQ(scene_.generator(0).num_balls(), 0);
    EXPECT_EQ(scene_.ms_until_next_step(), -1);

    // Raising the velocity resumes with the whole pause as elapsed time.
    scene_.set_velocity(0.2);
    EXPECT_TRUE(scene_.step());
    EXPECT_EQ(scene_.elapsed_ms(), 2000);
    EXPECT_EQ(train().car_u, scene_.track().advance(0.2, 0.0f));

    // Parameter mode does not look at the speed.
    scene_.set_velocity(0.0);
    scene_.set_constant_velocity(false);
    EXPECT_EQ(scene_.ms_until_next_step(), 34);
    const float u = train().car_u;
    EXPECT_TRUE(step_after(34));
    EXPECT_EQ(train().car_u, static_cast<float>(static_cast<double>(u) + 0.02));
}

TEST_F(Animation, GoingDownGainsASeventhOfTheDropAndClimbingLosesAFifthDownToBaseSpeed) {
    use_slope_track();
    scene_.set_velocity(1.0);
    scene_.toggle_animation();

    // Down the first side: about 0.7 lower, about 0.1 faster.
    train().car_u = 0.2f;
    step_after(34);
    const double drop = height_at(0.2f) - height_at(train().car_u);
    EXPECT_NEAR(drop, 0.7, 0.04);
    EXPECT_DOUBLE_EQ(train().speed, 1.0 + drop / 7.0);
    EXPECT_NEAR(train().speed - 1.0, 0.1, 0.006);

    // The gain has no ceiling: it grows on every step down.
    const double after_one = train().speed;
    step_after(34);
    EXPECT_GT(train().speed, after_one);

    // On the level the speed is kept.
    train().car_u = 1.3f;
    train().speed = 1.0;
    step_after(34);
    EXPECT_EQ(height_at(1.3f), height_at(train().car_u));
    EXPECT_EQ(train().speed, 1.0);

    // Up the third side: about 0.5 higher, about 0.1 slower ...
    scene_.set_velocity(0.5);
    train().speed = 1.0;
    train().car_u = 2.2f;
    step_after(34);
    const double rise = height_at(train().car_u) - height_at(2.2f);
    EXPECT_NEAR(rise, 0.5, 0.03);
    EXPECT_DOUBLE_EQ(train().speed, 1.0 - rise / 5.0);

    // ... but never below the chosen speed.
    scene_.set_velocity(0.95);
    train().speed = 1.0;
    train().car_u = 2.2f;
    step_after(34);
    EXPECT_EQ(train().speed, 0.95);
}

TEST_F(Animation, WithoutEnergyTheSpeedIsAlwaysTheChosenOne) {
    use_slope_track();
    scene_.set_conserve_energy(false);
    scene_.set_velocity(0.3);
    scene_.toggle_animation();

    train().speed = 1.0; // left over from earlier energy gains
    train().car_u = 0.2f;
    step_after(34);
    // This step still moves by the old speed, then drops it.
    EXPECT_EQ(train().car_u, scene_.track().advance(1.0, 0.2f));
    EXPECT_EQ(train().speed, 0.3);
    for (int i = 0; i < 200; ++i) {
        const float u = train().car_u;
        step_after(34);
        ASSERT_EQ(train().car_u, scene_.track().advance(0.3, u));
        ASSERT_EQ(train().speed, 0.3);
    }
}

TEST_F(Animation, ParameterModeStepsByTwoHundredthsAndWrapsPastTheLastPoint) {
    scene_.set_constant_velocity(false);
    train().speed = 0.37;
    scene_.toggle_animation();
    step_after(34);
    EXPECT_EQ(train().car_u, 0.02f);

    int wraps = 0;
    float highest = 0.0f;
    for (int i = 0; i < 250; ++i) {
        const float u = train().car_u;
        step_after(34);
        if (train().car_u < u) {
            ++wraps;
            EXPECT_EQ(train().car_u, 0.0f);
            EXPECT_GT(u + 0.02, 4.0) << "wrapped early, from " << u;
        }
        highest = std::max(highest, train().car_u);
    }
    EXPECT_EQ(wraps, 1);
    EXPECT_LE(highest, 4.0f);
    EXPECT_GT(highest, 3.98f);
    EXPECT_EQ(train().speed, 0.37); // parameter mode leaves the speed alone
}

TEST_F(Animation, SwitchingModesContinuesFromTheCurrentParameter) {
    scene_.set_constant_velocity(false);
    scene_.toggle_animation();
    for (int i = 0; i < 5; ++i) {
        step_after(34);
    }
    const float u = train().car_u;
    EXPECT_NEAR(u, 0.1f, 1e-6f);
    scene_.set_constant_velocity(true);
    scene_.set_velocity(0.25);
    step_after(34);
    EXPECT_EQ(train().car_u, scene_.track().advance(0.25, u));
}

TEST_F(Animation, TheFirstStepAfterAPauseHandsTheWholePauseToEveryGenerator) {
    for (int i = 0; i < 3; ++i) {
        scene_.add_ball_generator();
    }
    scene_.toggle_animation();
    // Long steps fill every ring, so the timers run below zero from then on
    // and show exactly how much time each update was given.
    for (int i = 0; i < 15; ++i) {
        step_after(2000);
    }
    int timers[3];
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(scene_.generator(i).num_balls(), 15);
        timers[i] = scene_.generator(i).spawn_timer_ms();
    }
    scene_.toggle_animation();
    EXPECT_FALSE(step_after(10000)); // stopped: this one does nothing
    scene_.toggle_animation();
    EXPECT_TRUE(scene_.step());
    EXPECT_EQ(scene_.elapsed_ms(), 10000);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(scene_.generator(i).spawn_timer_ms(), timers[i] - 10000) << "generator " << i;
    }
    // Generators are updated in index order, each with its own seed: on the
    // same step, neighbours get different balls.
    EXPECT_NE(scene_.generator(0).live_ball(0).colour().x,
              scene_.generator(1).live_ball(0).colour().x);
}

} // namespace
