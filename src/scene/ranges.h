// The ranges of the design's settings, written once: the window's sliders and
// the file reader both take their bounds from here. The counts stay with what
// they count (Track::kMinPoints and kMaxPoints, Train::kMaxCars,
// Scene::kMaxGenerators). No GL, no FLTK.
#pragma once

#include "track/range.h"

constexpr Range kRollRange{-180.0, 180.0}; // a control point's bank, degrees (the slider's)
constexpr Range kTensionRange{0.0, 1.0};   // the Cardinal tension
constexpr Range kSpeedRange{0.0, 1.0};     // the chosen speed: track length per animation step

// The "Coaster Velocity" slider shows the chosen speed times this (0 to 30).
constexpr double kVelocitySliderScale = 30.0;
