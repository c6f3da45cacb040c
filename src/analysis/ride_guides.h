// The guide lines the ride analysis draws on its G plots (common design
// guidelines for what riders bear, not a standard), and the words that state
// them: every note and help line is built from these numbers. No GL, no FLTK.
#pragma once

#include <string>

#include "track/range.h"

constexpr Range kVerticalGuides{-1.5, 5.0}; // vertical G, g
constexpr Range kLateralGuides{-1.5, 1.5};  // lateral G either way, g

// A figure in g as the notes write it: "1.5 g", or with its sign, "+5 g".
std::string g_text(double g, bool with_sign);
// A band's two guides joined by `joiner` ("-1.5 g and +5 g"), or for a band
// symmetric about 0, "±1.5 g".
std::string guides_text(const Range& band, const char* joiner);
