// Ball generators: a ball from five draws of the second's sequence, the rise
// schedule and removal above 15, the 15-slot ring, and balls that follow a
// dragged generator.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "scenery/ball_generator.h"
#include "scenery/random.h"

namespace {

// Calendar second 1 with index 0 seeds 1, whose sequence starts 41, 18467,
// 6334, 26500, 19169, 15724.
constexpr std::int64_t kSeedOne = 1;
constexpr std::int64_t kSomeSecond = 1700000000;

bool same_ball(const Ball& a, const Ball& b) {
    return a.colour().x == b.colour().x && a.colour().y == b.colour().y &&
           a.colour().z == b.colour().z && a.radius() == b.radius();
}

void expect_ring_consistent(const BallGenerator& g) {
    ASSERT_EQ(g.next_slot(), (g.first_ball() + g.num_balls()) % 15);
    for (int k = 1; k < g.num_balls(); ++k) {
        ASSERT_GT(g.live_ball(k - 1).height(), g.live_ball(k).height()) << "oldest is highest";
    }
}

} // namespace

TEST(BallGenerator, FirstUpdateSpawnsABallFromFiveDrawsOfThisSecondsSequence) {
    BallGenerator g(Point3{1.5, 2.5, -3.5});
    g.update(34, 0, kSeedOne);
    ASSERT_EQ(g.num_balls(), 1);
    EXPECT_EQ(g.next_slot(), 1);
    const Ball& ball = g.live_ball(0);
    EXPECT_EQ(ball.colour().x, 41 / 32768.0); // red, green, blue, then the radius
    EXPECT_EQ(ball.colour().y, 18467 / 32768.0);
    EXPECT_EQ(ball.colour().z, 6334 / 32768.0);
    EXPECT_EQ(ball.radius(), 26500 / 65536.0);
    // The fifth sets the interval: 19169 / 32768 * 1400 + 300 = 1118.99,
    // truncated; the overdraft of 34 ms is forgotten.
    EXPECT_EQ(g.spawn_timer_ms(), 1118);
    EXPECT_EQ(scenery_random().next(), 15724); // nothing else was drawn
    // Born at 0.5 at the generator's x and z, and already risen 0.001 once.
    EXPECT_DOUBLE_EQ(ball.height(), 0.501);
    EXPECT_EQ(&ball.source_position(), &g.position());

    // Even a zero-length first update spawns, and however long the pause,
    // one update spawns one ball.
    BallGenerator h(Point3{0.0, 0.0, 0.0});
    h.update(0, 0, kSeedOne);
    h.update(1000000, 0, kSeedOne);
    EXPECT_EQ(h.num_balls(), 2);
}

TEST(BallGenerator, EachUpdateReseedsFromTheSecondAndTheIndex) {
    BallGenerator g(Point3{0.0, 0.0, 0.0});
    g.update(34, 0, kSeedOne);
    scenery_random().seed(999); // someone else drew in between
    g.update(34, 0, kSeedOne);
    EXPECT_EQ(g.num_balls(), 1);
    EXPECT_EQ(g.spawn_timer_ms(), 1118 - 34);
    EXPECT_EQ(scenery_random().next(), 41); // reseeded with 1, nothing drawn

    // Within one second the same ball and interval come again.
    g.update(1118 - 34, 0, kSeedOne);
    ASSERT_EQ(g.num_balls(), 2);
    EXPECT_TRUE(same_ball(g.live_ball(0), g.live_ball(1)));
    EXPECT_EQ(g.spawn_timer_ms(), 1118);
    g.update(1118, 0, kSeedOne + 1);
    EXPECT_FALSE(same_ball(g.live_ball(1), g.live_ball(2)));

    // Index 1 draws what index 0 draws a thousand seconds later, and only the
    // low 32 bits of the seed count.
    BallGenerator g1(Point3{0.0, 0.0, 0.0});
    BallGenerator later(Point3{0.0, 0.0, 0.0});
    BallGenerator wrapped(Point3{0.0, 0.0, 0.0});
    g1.update(34, 1, kSomeSecond);
    later.update(34, 0, kSomeSecond + 1000);
    wrapped.update(34, 0, (std::int64_t{1} << 32) + 1);
    EXPECT_TRUE(same_ball(g1.live_ball(0), later.live_ball(0)));
    EXPECT_EQ(g1.spawn_timer_ms(), later.spawn_timer_ms());
    EXPECT_TRUE(same_ball(wrapped.live_ball(0), g.live_ball(0)));
}

// After n steps a ball is at 0.5 + 0.001 n + 0.0015 n (n - 1): 14.857 after
// 98, 15.152 after 99, and gone then.
TEST(BallGenerator, BallsRiseFasterAndFasterAndLeaveAbove15) {
    BallGenerator g(Point3{0.0, 0.0, 0.0});
    g.update(0, 0, kSeedOne); // spawns; zero-length updates never spawn again
    g.update(0, 0, kSeedOne);
    EXPECT_DOUBLE_EQ(g.live_ball(0).height(), 0.505); // rose 0.001, then 0.004
    for (int steps = 3; steps <= 98; ++steps) {
        g.update(0, 0, kSeedOne);
    }
    ASSERT_EQ(g.num_balls(), 1);
    EXPECT_NEAR(g.live_ball(0).height(), 14.857, 1e-9);
    g.update(0, 0, kSeedOne);
    EXPECT_EQ(g.num_balls(), 0);
    EXPECT_EQ(g.first_ball(), 1);
}

TEST(BallGenerator, AFullRingOfFifteenWaitsForARemovalWhileTheTimerRunsBelowZero) {
    BallGenerator g(Point3{0.0, 0.0, 0.0});
    const int elapsed = 2000; // longer than any interval: every update wants a ball
    for (int i = 1; i <= 15; ++i) {
        g.update(elapsed, 0, kSomeSecond + i);
        ASSERT_EQ(g.num_balls(), i);
    }
    EXPECT_EQ(g.next_slot(), 0); // wrapped past 14
    int timer = g.spawn_timer_ms();
    for (int update = 16; update <= 98; ++update) {
        g.update(elapsed, 0, kSomeSecond + update);
        ASSERT_EQ(g.num_balls(), 15);
        ASSERT_EQ(g.spawn_timer_ms(), timer - elapsed) << "update " << update;
        timer = g.spawn_timer_ms();
    }
    // Update 99: the first ball leaves; the spawn check came first, so the free
    // slot waits for update 100, which spawns into slot 0 with a fresh
    // interval while the second ball leaves.
    g.update(elapsed, 0, kSomeSecond + 99);
    EXPECT_EQ(g.num_balls(), 14);
    EXPECT_EQ(g.spawn_timer_ms(), timer - elapsed);
    g.update(elapsed, 0, kSomeSecond + 100);
    EXPECT_EQ(g.num_balls(), 14);
    EXPECT_EQ(g.first_ball(), 2);
    EXPECT_EQ(g.next_slot(), 1);
    EXPECT_GE(g.spawn_timer_ms(), 300);
    EXPECT_LE(g.spawn_timer_ms(), 1699);

    // Pauses of about 25 days each would wrap the timer round to a positive
    // count if it could run past the smallest int.
    BallGenerator full(Point3{0.0, 0.0, 0.0});
    for (int i = 0; i < 15; ++i) {
        full.update(elapsed, 0, kSomeSecond);
    }
    full.update(INT_MAX, 0, kSomeSecond);
    full.update(INT_MAX, 0, kSomeSecond);
    EXPECT_EQ(full.spawn_timer_ms(), INT_MIN);
}

TEST(BallGenerator, RemovalTakesTheOldestAndTheRingWrapsPastFourteen) {
    BallGenerator g(Point3{0.0, 0.0, 0.0});
    int wraps = 0;
    for (int update = 1; update <= 2000; ++update) {
        const int first_before = g.first_ball();
        const int count_before = g.num_balls();
        const int next_before = g.next_slot();
        g.update(2000, 0, kSomeSecond + update / 3);
        expect_ring_consistent(g);
        const int removed = count_before + (g.next_slot() != next_before) - g.num_balls();
        ASSERT_EQ(g.first_ball(), (first_before + removed) % 15);
        wraps += removed == 1 && first_before == 14;
    }
    EXPECT_GT(wraps, 10);
}

TEST(BallGenerator, DraggingMovesEveryLiveBallWithThePost) {
    BallGenerator g(Point3{0.0, 0.0, 0.0});
    for (int i = 0; i < 6; ++i) {
        g.update(2000, 0, kSomeSecond);
    }
    const double oldest = g.live_ball(0).height();
    g.position().set_position(4.0, 2.0, -7.0);
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(g.live_ball(k).source_position().x, 4.0);
        EXPECT_EQ(g.live_ball(k).source_position().z, -7.0);
    }
    // Heights are world heights: raising the generator does not lift the balls.
    EXPECT_EQ(g.live_ball(0).height(), oldest);
}
