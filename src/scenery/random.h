// The program's own 32-bit random generator (never the C library's rand):
// state = state * 214013 + 2531011, returning bits 16..30 (0 .. 32767).
#pragma once

#include <cstdint>

class Random {
public:
    void seed(std::uint32_t s) { state_ = s; }
    int next(); // 0 .. 32767

private:
    std::uint32_t state_ = 1;
};

// The one generator the scenery shares, as a program-wide srand/rand pair would.
Random& scenery_random();
