// The scenery's own 32-bit random generator.
#include <gtest/gtest.h>

#include <algorithm>

#include "scenery/random.h"

TEST(Random, FollowsTheLinearCongruentialSequence) {
    Random r;
    r.seed(1);
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    for (int want : expected) {
        EXPECT_EQ(r.next(), want);
    }

    // Seed 0: the first state is the increment itself, 2531011, whose bits
    // 16 and up are 38.
    r.seed(0);
    EXPECT_EQ(r.next(), 38);

    // Reseeding restarts the sequence.
    r.seed(1);
    EXPECT_EQ(r.next(), 41);
    EXPECT_EQ(r.next(), 18467);
}

TEST(Random, StaysInFifteenBitsAndWrapsTheStateModulo2To32) {
    Random r;
    r.seed(0xffffffffu);
    // state = (2^32 - 1) * 214013 + 2531011 mod 2^32 = 2531011 - 214013 = 2316998,
    // and 2316998 >> 16 = 35: the multiplication must wrap, not saturate.
    EXPECT_EQ(r.next(), 35);

    r.seed(12345);
    int lowest = 32767, highest = 0;
    for (int i = 0; i < 100000; ++i) {
        const int v = r.next();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 32767);
        lowest = std::min(lowest, v);
        highest = std::max(highest, v);
    }
    // The whole 0..32767 range is used, so dividing by 32768 gives [0, 1).
    EXPECT_LT(lowest, 10);
    EXPECT_GT(highest, 32757);
}

TEST(Random, TheSceneryShareOneGenerator) {
    Random& a = scenery_random();
    Random& b = scenery_random();
    EXPECT_EQ(&a, &b);
    a.seed(1);
    EXPECT_EQ(b.next(), 41);
    EXPECT_EQ(a.next(), 18467);
}
