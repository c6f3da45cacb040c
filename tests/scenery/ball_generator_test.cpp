// Ball generators: spawning from the per-second seed, the 15-slot ring, the
// rise schedule and removal above 15, and balls following a dragged generator.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "scenery/ball_generator.h"
#include "scenery/random.h"

namespace {

// Calendar second 1 with index 0 seeds the generator with 1, whose sequence
// starts 41, 18467, 6334, 26500, 19169, 15724.
constexpr std::int64_t kSeedOneSecond = 1;
constexpr std::int64_t kSomeSecond = 1700000000; // a plausible calendar time

void expect_same_ball(const Ball& a, const Ball& b) {
    EXPECT_EQ(a.colour().x, b.colour().x);
    EXPECT_EQ(a.colour().y, b.colour().y);
    EXPECT_EQ(a.colour().z, b.colour().z);
    EXPECT_EQ(a.radius(), b.radius());
}

bool same_colour(const Ball& a, const Ball& b) {
    return a.colour().x == b.colour().x && a.colour().y == b.colour().y &&
           a.colour().z == b.colour().z;
}

// The ring bookkeeping that every update must keep.
void expect_ring_consistent(const BallGenerator& g) {
    ASSERT_GE(g.num_balls(), 0);
    ASSERT_LE(g.num_balls(), BallGenerator::kRingSize);
    ASSERT_GE(g.first_ball(), 0);
    ASSERT_LT(g.first_ball(), BallGenerator::kRingSize);
    ASSERT_EQ(g.next_slot(), (g.first_ball() + g.num_balls()) % BallGenerator::kRingSize);
    for (int k = 0; k < g.num_balls(); ++k) {
        ASSERT_LE(g.live_ball(k).height(), 15.0);
        if (k > 0) {
            ASSERT_GT(g.live_ball(k - 1).height(), g.live_ball(k).height()) << "oldest is highest";
        }
    }
}

} // namespace

TEST(BallGenerator, StandsWhereItWasPlacedWithNoBallsAndAnExpiredTimer) {
    const BallGenerator g(Point3{1.5, 2.5, -3.5});
    EXPECT_EQ(g.position().x, 1.5);
    EXPECT_EQ(g.position().y, 2.5);
    EXPECT_EQ(g.position().z, -3.5);
    EXPECT_EQ(g.position().roll, 0.0);
    EXPECT_EQ(g.num_balls(), 0);
    EXPECT_EQ(g.first_ball(), 0);
    EXPECT_EQ(g.next_slot(), 0);
    EXPECT_EQ(g.spawn_timer_ms(), 0);
}

TEST(BallGenerator, FirstUpdateSpawnsABallFromFiveDrawsOfThisSecondsSequence) {
    BallGenerator g(Point3{0.0, 0.0, 0.0});
    g.update(34, 0, kSeedOneSecond);

    ASSERT_EQ(g.num_balls(), 1);
    EXPECT_EQ(g.first_ball(), 0);
    EXPECT_EQ(g.next_slot(), 1);
    const Ball& ball = g.live_ball(0);
    // Red, green, blue from the first three draws, the radius from the fourth.
    EXPECT_EQ(ball.colour().x, 41 / 32768.0);
    EXPECT_EQ(ball.colour().y, 18467 / 32768.0);
    EXPECT_EQ(ball.colour().z, 6334 / 32768.0);
    EXPECT_EQ(ball.radius(), 26500 / 65536.0);
    // The fifth sets the next interval: 19169 / 32768 * 1400 + 300 = 1118.99,
    // truncated; the overdraft of 34 ms is forgotten.
    EXPECT_EQ(g.spawn_timer_ms(), 1118);
    // The new ball already rose once in the same update.
    EXPECT_DOUBLE_EQ(ball.height(), 0.501);
    EXPECT_EQ(&ball.source_position(), &g.position());
    // Exactly five numbers were drawn after the reseed.
    EXPECT_EQ(scenery_random().next(), 15724);

    // An update of zero milliseconds on a fresh generator spawns too.
    BallGenerator h(Point3{0.0, 0.0, 0.0});
    h.update(0, 0, kSeedOneSecond);
    EXPECT_EQ(h.num_balls(), 1);

    // However long the pause, one update spawns at most one ball.
    BallGenerator k(Point3{0.0, 0.0, 0.0});
    k.update(1000000, 0, kSomeSecond);
    EXPECT_EQ(k.num_balls(), 1);
}

TEST(BallGenerator, ReseedsAtEveryUpdateEvenWithoutASpawn) {
    BallGenerator g(Point3{0.0, 0.0, 0.0});
    g.update(34, 0, kSeedOneSecond);
    scenery_random().seed(999); // someone else drew in between
    g.update(34, 0, kSeedOneSecond);
    EXPECT_EQ(g.num_balls(), 1);
    EXPECT_EQ(g.spawn_timer_ms(), 1118 - 34);
    EXPECT_EQ(scenery_random().next(), 41); // reseeded with 1, nothing drawn
}

TEST(BallGenerator, UpdatesWithinOneSecondRepeatTheSameBallAndInterval) {
    BallGenerator g(Point3{0.0, 0.0, 0.0});
    g.update(34, 0, kSomeSecond);
    const int first_interval = g.spawn_timer_ms();
    g.update(first_interval, 0, kSomeSecond); // timer reaches exactly 0: spawns
    ASSERT_EQ(g.num_balls(), 2);
    expect_same_ball(g.live_ball(0), g.live_ball(1));
    EXPECT_EQ(g.spawn_timer_ms(), first_interval);

    // The next second gives a different ball.
    g.update(first_interval, 0, kSomeSecond + 1);
    ASSERT_EQ(g.num_balls(), 3);
    EXPECT_FALSE(same_colour(g.live_ball(1), g.live_ball(2)));
}

TEST(BallGenerator, IndicesSeedDifferentlyAThousandApart) {
    BallGenerator g0(Point3{0.0, 0.0, 0.0});
    BallGenerator g1(Point3{0.0, 0.0, 0.0});
    BallGenerator later0(Point3{0.0, 0.0, 0.0});
    g0.update(34, 0, kSomeSecond);
    g1.update(34, 1, kSomeSecond);
    later0.update(34, 0, kSomeSecond + 1000);
    EXPECT_FALSE(same_colour(g0.live_ball(0), g1.live_ball(0)));
    // Index 1 now draws what index 0 draws a thousand seconds later.
    expect_same_ball(g1.live_ball(0), later0.live_ball(0));
    EXPECT_EQ(g1.spawn_timer_ms(), later0.spawn_timer_ms());

    // Only the low 32 bits of the seed count: 2^32 + 1 seeds like 1.
    BallGenerator wrapped(Point3{0.0, 0.0, 0.0});
    wrapped.update(34, 0, (std::int64_t{1} << 32) + 1);
    EXPECT_EQ(wrapped.live_ball(0).colour().x, 41 / 32768.0);
    EXPECT_EQ(wrapped.spawn_timer_ms(), 1118);
}

TEST(BallGenerator, BallsRiseFasterAndFasterAndLeaveStrictlyAbove15) {
    BallGenerator g(Point3{0.0, 0.0, 0.0});
    g.update(0, 0, kSeedOneSecond); // spawns, timer 1118; zero-length updates never spawn again
    EXPECT_DOUBLE_EQ(g.live_ball(0).height(), 0.501);
    g.update(0, 0, kSeedOneSecond);
    EXPECT_DOUBLE_EQ(g.live_ball(0).height(), 0.505); // rose 0.001, then 0.004

    for (int steps = 3; steps <= 98; ++steps) {
        g.update(0, 0, kSeedOneSecond);
        ASSERT_EQ(g.num_balls(), 1) << "after step " << steps;
        ASSERT_NEAR(g.live_ball(0).height(), 0.5 + 0.001 * steps + 0.0015 * steps * (steps - 1),
                    1e-9);
    }
    EXPECT_NEAR(g.live_ball(0).height(), 14.857, 1e-9);

    g.update(0, 0, kSeedOneSecond); // the 99th step takes it to 15.152: gone
    EXPECT_EQ(g.num_balls(), 0);
    EXPECT_EQ(g.first_ball(), 1);
    EXPECT_EQ(g.next_slot(), 1);
    EXPECT_EQ(g.spawn_timer_ms(), 1118);
}

TEST(BallGenerator, AFullRingWaitsForARemovalWhileTheTimerRunsBelowZero) {
    BallGenerator g(Point3{0.0, 0.0, 0.0});
    const int elapsed = 2000; // longer than any interval: every update wants a ball
    for (int i = 1; i <= 15; ++i) {
        g.update(elapsed, 0, kSomeSecond + i);
        ASSERT_EQ(g.num_balls(), i);
        expect_ring_consistent(g);
    }
    EXPECT_EQ(g.first_ball(), 0);
    EXPECT_EQ(g.next_slot(), 0); // wrapped past 14

    int timer = g.spawn_timer_ms();
    for (int update = 16; update <= 98; ++update) {
        g.update(elapsed, 0, kSomeSecond + update);
        ASSERT_EQ(g.num_balls(), 15);
        ASSERT_EQ(g.spawn_timer_ms(), timer - elapsed) << "update " << update;
        timer = g.spawn_timer_ms();
        expect_ring_consistent(g);
    }
    EXPECT_LT(timer, -150000);

    // Update 99: the first ball takes its 99th step and leaves; the spawn check
    // came first, so the free slot waits for the next update.
    g.update(elapsed, 0, kSomeSecond + 99);
    EXPECT_EQ(g.num_balls(), 14);
    EXPECT_EQ(g.first_ball(), 1);
    EXPECT_EQ(g.spawn_timer_ms(), timer - elapsed);

    // Update 100 spawns into slot 0 with a fresh interval; the second ball
    // leaves in the same update.
    g.update(elapsed, 0, kSomeSecond + 100);
    EXPECT_EQ(g.num_balls(), 14);
    EXPECT_EQ(g.first_ball(), 2);
    EXPECT_EQ(g.next_slot(), 1);
    EXPECT_GE(g.spawn_timer_ms(), 300);
    EXPECT_LE(g.spawn_timer_ms(), 1699);
    expect_ring_consistent(g);
}

TEST(BallGenerator, AnOverdueTimerStaysOverdueHoweverLongTheRingStaysFull) {
    BallGenerator g(Point3{0.0, 0.0, 0.0});
    for (int i = 0; i < 15; ++i) {
        g.update(2000, 0, kSomeSecond);
    }
    ASSERT_EQ(g.num_balls(), 15);
    // Two pauses of about 25 days each: the timer would wrap round to a
    // positive count if it were allowed to run past the smallest int.
    g.update(INT_MAX, 0, kSomeSecond);
    g.update(INT_MAX, 0, kSomeSecond);
    EXPECT_EQ(g.spawn_timer_ms(), INT_MIN);
    ASSERT_EQ(g.num_balls(), 15);

    int updates = 0;
    while (g.num_balls() == 15) {
        g.update(0, 0, kSomeSecond);
        ASSERT_LT(++updates, 200);
    }
    // The first update with a free slot spawns, with no time passing at all.
    g.update(0, 0, kSomeSecond);
    EXPECT_GE(g.spawn_timer_ms(), 300);
    expect_ring_consistent(g);
}

TEST(BallGenerator, RemovalTakesTheOldestAndTheRingWrapsPastFourteen) {
    BallGenerator g(Point3{0.0, 0.0, 0.0});
    int wraps_of_first = 0;
    int wraps_of_next = 0;
    for (int update = 1; update <= 2000; ++update) {
        const int first_before = g.first_ball();
        const int next_before = g.next_slot();
        const int count_before = g.num_balls();
        g.update(2000, 0, kSomeSecond + update / 3);
        expect_ring_consistent(g);
        const int removed = count_before + (g.next_slot() != next_before ? 1 : 0) - g.num_balls();
        ASSERT_GE(removed, 0);
        ASSERT_LE(removed, 1);
        ASSERT_EQ(g.first_ball(), (first_before + removed) % BallGenerator::kRingSize);
        if (removed == 1 && first_before == 14) {
            ++wraps_of_first;
        }
        if (next_before == 14 && g.next_slot() == 0) {
            ++wraps_of_next;
        }
    }
    EXPECT_GT(wraps_of_first, 10);
    EXPECT_GT(wraps_of_next, 10);
}

TEST(BallGenerator, DraggingMovesEveryLiveBallWithThePost) {
    BallGenerator g(Point3{0.0, 0.0, 0.0});
    for (int i = 0; i < 6; ++i) {
        g.update(2000, 0, kSomeSecond);
    }
    ASSERT_EQ(g.num_balls(), 6);

    ControlPoint* where = &g.position();
    where->x = 4.0;
    where->y = 2.0;
    where->z = -7.0;
    for (int k = 0; k < g.num_balls(); ++k) {
        EXPECT_EQ(g.live_ball(k).source_position().x, 4.0);
        EXPECT_EQ(g.live_ball(k).source_position().z, -7.0);
    }
    // Heights stay world heights: raising the generator does not lift the balls.
    const double oldest = g.live_ball(0).height();
    where->set_position(-1.0, 5.0, 1.0);
    EXPECT_EQ(g.live_ball(0).height(), oldest);
    EXPECT_EQ(g.live_ball(5).source_position().x, -1.0);

    // Balls born after the move follow too.
    g.update(2000, 0, kSomeSecond);
    EXPECT_EQ(g.live_ball(g.num_balls() - 1).source_position().z, 1.0);
}
