#include "scenery/ball_generator.h"

#include <climits>

#include "scenery/random.h"

namespace {
constexpr double kSpawnHeight = 0.5;
constexpr double kFirstRise = 0.001;
constexpr double kRiseGain = 0.003;
constexpr double kVanishHeight = 15.0;
// Seeds of neighbouring generators are this far apart within one second.
constexpr std::int64_t kSeedStride = 1000;
constexpr int kShortestIntervalMs = 300;
constexpr double kIntervalSpreadMs = 1400.0;

int next_ring_index(int i) {
    return i + 1 > BallGenerator::kRingSize - 1 ? 0 : i + 1;
}
} // namespace

Ball::Ball(const ControlPoint* source_position, double radius, const Point3& colour)
    : source_position_(source_position), height_(kSpawnHeight), rise_rate_(kFirstRise),
      radius_(radius), colour_(colour) {}

void Ball::step() {
    height_ += rise_rate_;
    rise_rate_ += kRiseGain;
}

BallGenerator::BallGenerator(const Point3& position)
    : position_(position.x, position.y, position.z, 0.0) {}

void BallGenerator::update(int elapsed_ms, int index, std::int64_t calendar_seconds) {
    // Reseeding at every update makes all draws within one calendar second
    // repeat the same sequence for this generator; only the low 32 bits count.
    Random& random = scenery_random();
    random.seed(static_cast<std::uint32_t>(
        static_cast<std::uint64_t>(calendar_seconds + index * kSeedStride)));

    // While the ring is full the timer keeps running below zero; any negative
    // value means "spawn at the next free slot", so it is held at INT_MIN rather
    // than allowed to overflow during a very long pause.
    const std::int64_t timer = static_cast<std::int64_t>(spawn_timer_ms_) - elapsed_ms;
    spawn_timer_ms_ = timer < INT_MIN ? INT_MIN : static_cast<int>(timer);

    if (spawn_timer_ms_ <= 0 && num_balls_ < kRingSize) {
        Point3 colour;
        colour.x = random.next() / 32768.0;
        colour.y = random.next() / 32768.0;
        colour.z = random.next() / 32768.0;
        const double radius = random.next() / 65536.0;
        balls_[next_slot_] = Ball(&position_, radius, colour);
        const double fraction = random.next() / 32768.0;
        // The fresh interval replaces the timer; an overdraft is forgotten.
        spawn_timer_ms_ = static_cast<int>(fraction * kIntervalSpreadMs + kShortestIntervalMs);
        ++num_balls_;
        next_slot_ = next_ring_index(next_slot_);
    }

    // Every ball follows the same schedule from its spawn and at most one spawns
    // per update, so the oldest is always the highest: balls leave from the front.
    const int live = num_balls_;
    int slot = first_ball_;
    for (int k = 0; k < live; ++k) {
        Ball& ball = balls_[slot];
        ball.step();
        if (ball.height() > kVanishHeight) {
            first_ball_ = next_ring_index(first_ball_);
            --num_balls_;
        }
        slot = next_ring_index(slot);
    }
}
