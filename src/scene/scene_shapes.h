// The solid shapes of the ride, as numbers: the car body's quads, the wheel
// sets, the tie box, the ground's checkerboard and their colours. The view
// draws them and the scene export writes them; no GL here.
#pragma once

namespace shapes {

struct Rgb {
    float r, g, b;
};

constexpr Rgb kRailColour{0.4f, 0.4f, 0.42f};
constexpr Rgb kTieColour{0.6196f, 0.4039f, 0.1137f};
constexpr Rgb kBodyColour{0.0f, 0.27451f, 0.7059f};
constexpr Rgb kWheelColour{0.6275f, 0.4902f, 0.0f};
// The axles are drawn in the rails' grey.
constexpr Rgb kAxleColour = kRailColour;

// A tie: a box from kTieLow to kTieHigh in the tie's own frame (x across the
// track, z along it), centred on its TiePose.
constexpr double kTieLow[3] = {-0.5, -0.05, -0.125};
constexpr double kTieHigh[3] = {0.5, 0.05, 0.125};

struct BodyQuad {
    float normal[3]; // only read for the first quad of each normal group
    float v[4][3];
};

// The body in car coordinates: +z forward, +y up, x across; the block is 1
// wide, 1 high and 2 long with a seat, a foot well and a nose.
constexpr BodyQuad kCarBody[28] = {
    {{0, 1, 0}, {{0.5, 0.5, -1}, {0.5, 0.5, -0.85}, {-0.5, 0.5, -0.85}, {-0.5, 0.5, -1}}},
    {{0, 1, 0}, {{0.5, 0.5, -0.85}, {0.5, 0.5, 0}, {0.35, 0.5, 0}, {0.35, 0.5, -0.85}}},
    {{0, 1, 0}, {{-0.35, 0.5, -0.85}, {-0.35, 0.5, 0}, {-0.5, 0.5, 0}, {-0.5, 0.5, -0.85}}},
    {{0, 1, 0}, {{0.5, 0.25, 0.85}, {0.5, 0.25, 1}, {-0.5, 0.25, 1}, {-0.5, 0.25, 0.85}}},
    {{0, 1, 0}, {{0.5, -0.25, 0}, {0.5, -0.25, 0.85}, {0.35, -0.25, 0.85}, {0.35, -0.25, 0}}},
    {{0, 1, 0}, {{-0.35, -0.25, 0}, {-0.35, -0.25, 0.85}, {-0.5, -0.25, 0.85}, {-0.5, -0.25, 0}}},
    {{0, 1, 0},
     {{0.35, -0.375, -0.2}, {0.35, -0.375, 0.85}, {-0.35, -0.375, 0.85}, {-0.35, -0.375, -0.2}}},
    {{0, 1, 0}, {{0.35, 0, -0.85}, {0.35, 0, -0.2}, {-0.35, 0, -0.2}, {-0.35, 0, -0.85}}},
    {{0, -1, 0}, {{0.5, -0.5, -1}, {0.5, -0.5, 1}, {-0.5, -0.5, 1}, {-0.5, -0.5, -1}}},
    {{0, 0, 1}, {{-0.5, 0.25, 1}, {0.5, 0.25, 1}, {0.5, -0.5, 1}, {-0.5, -0.5, 1}}},
    {{0, 0, 1}, {{0.35, 0.5, -0.85}, {0.35, 0, -0.85}, {-0.35, 0, -0.85}, {-0.35, 0.5, -0.85}}},
    {{0, 0, 1}, {{0.35, 0, -0.2}, {0.35, -0.375, -0.2}, {-0.35, -0.375, -0.2}, {-0.35, 0, -0.2}}},
    {{0, 0, 1}, {{0.5, 0.5, 0}, {0.5, -0.25, 0}, {0.35, -0.25, 0}, {0.35, 0.5, 0}}},
    {{0, 0, 1}, {{-0.35, 0.5, 0}, {-0.35, -0.25, 0}, {-0.5, -0.25, 0}, {-0.5, 0.5, 0}}},
    {{0, 0, -1}, {{-0.5, -0.5, -1}, {-0.5, 0.5, -1}, {0.5, 0.5, -1}, {0.5, -0.5, -1}}},
    {{0, 0, -1},
     {{0.5, 0.25, 0.85}, {0.5, -0.375, 0.85}, {-0.5, -0.375, 0.85}, {-0.5, 0.25, 0.85}}},
    {{-1, 0, 0}, {{-0.5, 0.5, -1}, {-0.5, 0.5, 0}, {-0.5, -0.5, 0}, {-0.5, -0.5, -1}}},
    {{-1, 0, 0}, {{0.35, 0.5, -1}, {0.35, 0.5, 0}, {0.35, -0.5, 0}, {0.35, -0.5, -1}}},
    {{-1, 0, 0}, {{-0.5, -0.25, 0}, {-0.5, -0.25, 0.85}, {-0.5, -0.5, 0.85}, {-0.5, -0.5, 0}}},
    {{-1, 0, 0}, {{0.35, -0.25, 0}, {0.35, -0.25, 0.85}, {0.35, -0.5, 0.85}, {0.35, -0.5, 0}}},
    {{-1, 0, 0}, {{-0.5, 0.25, 0.85}, {-0.5, 0.25, 1}, {-0.5, -0.5, 1}, {-0.5, -0.5, 0.85}}},
    {{-1, 0, 0}, {{0.35, 0.25, 0.85}, {0.35, 0.25, 1}, {0.35, -0.5, 1}, {0.35, -0.5, 0.85}}},
    {{1, 0, 0}, {{0.5, 0.5, -1}, {0.5, 0.5, 0}, {0.5, -0.5, 0}, {0.5, -0.5, -1}}},
    {{1, 0, 0}, {{-0.35, 0.5, -1}, {-0.35, 0.5, 0}, {-0.35, -0.5, 0}, {-0.35, -0.5, -1}}},
    {{1, 0, 0}, {{0.5, -0.25, 0}, {0.5, -0.25, 0.85}, {0.5, -0.5, 0.85}, {0.5, -0.5, 0}}},
    {{1, 0, 0}, {{-0.35, -0.25, 0}, {-0.35, -0.25, 0.85}, {-0.35, -0.5, 0.85}, {-0.35, -0.5, 0}}},
    {{1, 0, 0}, {{0.5, 0.25, 0.85}, {0.5, 0.25, 1}, {0.5, -0.5, 1}, {0.5, -0.5, 0.85}}},
    {{1, 0, 0}, {{-0.35, 0.25, 0.85}, {-0.35, 0.25, 1}, {-0.35, -0.5, 1}, {-0.35, -0.5, 0.85}}},
};

// The body sits this far up the car's own up axis from its place on the track.
constexpr float kBodyLift = 0.7f;

struct WheelPiece {
    float z;
    bool disk; // else the tread cylinder, kWheelWidth long along +z
};

// A wheel set is turned by kWheelTurn degrees about its up axis, so that local
// z runs across the track: each side gets two disks closing a short cylinder,
// centred 0.375 out, each piece lifted kWheelLift.
constexpr float kWheelTurn = 90.0f;
constexpr float kWheelLift = 0.15f;
constexpr double kWheelRadius = 0.15;
constexpr double kWheelWidth = 0.1;
constexpr int kWheelSlices = 8;
constexpr WheelPiece kWheelPieces[6] = {{0.325f, true},  {0.425f, true},  {0.325f, false},
                                        {-0.325f, true}, {-0.425f, true}, {-0.425f, false}};
// The axle joins the wheels, at the wheels' lift, from -kAxleHalf to kAxleHalf.
constexpr float kAxleHalf = 0.375f;

// The ground: a checkerboard of kGroundCells x kGroundCells cells from
// kGroundMin to kGroundMax in x and z, at y = 0; black where col + row is
// even, so the (min x, min z) corner cell is black.
constexpr int kGroundCells = 10;
constexpr float kGroundMin = -10.0f;
constexpr float kGroundMax = 10.0f;

} // namespace shapes
