// The scenery's own 32-bit random generator: state * 214013 + 2531011 modulo
// 2^32, bits 16 to 30 returned.
#include <gtest/gtest.h>

#include <algorithm>

#include "scenery/random.h"

TEST(Random, FollowsTheLinearCongruentialSequence) {
    Random& r = scenery_random(); // the one the whole scenery shares
    r.seed(1);
    for (int want : {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464}) {
        EXPECT_EQ(scenery_random().next(), want);
    }
    // Seed 0: the first state is 2531011 itself, whose bits 16 and up are 38.
    r.seed(0);
    EXPECT_EQ(r.next(), 38);
    // (2^32 - 1) * 214013 + 2531011 wraps to 2316998; 2316998 >> 16 = 35.
    r.seed(0xffffffffu);
    EXPECT_EQ(r.next(), 35);

    // Fifteen bits, all of them used: divided by 32768 they give [0, 1).
    r.seed(12345);
    int lowest = 32767;
    int highest = 0;
    for (int i = 0; i < 100000; ++i) {
        lowest = std::min(lowest, r.next());
        highest = std::max(highest, r.next());
    }
    EXPECT_EQ(lowest, 0);
    EXPECT_EQ(highest, 32767);
}
