// The guide lines' words, built from their numbers.
#include "analysis/ride_guides.h"

#include <cstdio>

std::string g_text(double g, bool with_sign) {
    char text[32];
    std::snprintf(text, sizeof text, with_sign ? "%+g g" : "%g g", g);
    return text;
}

std::string guides_text(const Range& band, const char* joiner) {
    if (band.low == -band.high) {
        return "\xc2\xb1" + g_text(band.high, false); // a plus-minus sign
    }
    return g_text(band.low, true) + joiner + g_text(band.high, true);
}
