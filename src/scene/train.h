// The train's state: where the front car is, how many cars follow it, and its
// speed. Plain value; no GL, no FLTK.
#pragma once

// The train: only the front car's parameter is kept; the cars behind it are
// placed along the track when a frame is laid out.
struct Train {
    static constexpr int kMaxCars = 8;

    float car_u = 0.0f; // front car's curve parameter, in [0, point count]
    int cars = 1;       // 1 .. kMaxCars
    // Arc length moved per animation step when constant_velocity is on.
    double speed = 0.1;
    // The chosen speed; under energy conservation the floor of `speed`.
    double base_speed = 0.1;
    bool constant_velocity = true; // by arc length (else by a fixed parameter step)
    bool conserve_energy = true;   // speed changes with height (arc-length mode only)
    // With constant_velocity: the front car moves at the ride's physical speed
    // (base_speed x the velocity slider's scale read as m/s, and with
    // conserve_energy the frictionless speed from height) instead of the
    // controls' simpler rule.
    bool physics = false;
};
