// The truncated angle constants that the worked numbers depend on. Constants
// only: every degree/radian conversion in the track, the layout and the camera uses them.
#pragma once

namespace angles {

// Not M_PI: tie spacing, rail offsets, headings and pitches are worked with pi cut to 3.14159.
constexpr double kTrackPi = 3.14159;

// Not M_PI / 180: the orbit eye's coordinates are worked with pi / 180 cut to 13 digits.
constexpr double kCameraDegToRad = 0.01745329251994;

} // namespace angles
