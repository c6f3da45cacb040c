#include "scenery/random.h"

int Random::next() {
    // Unsigned arithmetic wraps modulo 2^32, which is exactly the recurrence.
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 0x7fffu);
}

Random& scenery_random() {
    static Random shared;
    return shared;
}
