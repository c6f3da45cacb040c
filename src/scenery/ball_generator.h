// Ball generators: scenery posts that emit rising coloured balls into a fixed
// ring of 15 slots. State and rules only; the view draws them.
#pragma once

#include <array>
#include <cstdint>

#include "track/control_point.h"
#include "track/point3.h"

class Ball {
public:
    Ball() = default;
    Ball(const ControlPoint* source_position, double radius, const Point3& colour);

    void step(); // height += rise_rate, then rise_rate += 0.003
    double height() const { return height_; }
    double radius() const { return radius_; }
    const Point3& colour() const { return colour_; } // red, green, blue in x, y, z
    // x and z follow the generator, so balls move with it when it is dragged.
    const ControlPoint& source_position() const { return *source_position_; }

private:
    const ControlPoint* source_position_ = nullptr;
    double height_ = 0.5;
    double rise_rate_ = 0.001;
    double radius_ = 0.0;
    Point3 colour_;
};

class BallGenerator {
public:
    static constexpr int kRingSize = 15;

    explicit BallGenerator(const Point3& position); // roll 0
    BallGenerator(const BallGenerator&) = delete;   // balls point at our position
    BallGenerator& operator=(const BallGenerator&) = delete;

    ControlPoint& position() { return position_; }
    const ControlPoint& position() const { return position_; }

    // One animation step: reseed with calendar_seconds + 1000 * index, spawn a
    // ball when the timer has run out and a slot is free, raise every live ball
    // and remove those above 15.
    void update(int elapsed_ms, int index, std::int64_t calendar_seconds);

    int num_balls() const { return num_balls_; }
    int first_ball() const { return first_ball_; }
    int next_slot() const { return next_slot_; }
    int spawn_timer_ms() const { return spawn_timer_ms_; }
    // k-th live ball, oldest first: 0 <= k < num_balls()
    const Ball& live_ball(int k) const { return balls_[(first_ball_ + k) % kRingSize]; }

private:
    std::array<Ball, kRingSize> balls_{};
    ControlPoint position_;
    int num_balls_ = 0;
    int first_ball_ = 0;
    int next_slot_ = 0;
    int spawn_timer_ms_ = 0;
};
