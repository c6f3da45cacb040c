// The track's own length measure, shared by the track table and the ride
// analysis: Track::length()'s samples with their chord sums, closed back to the
// start, and the unit banked up written with each sample. Pure math: no GL, no FLTK.
#pragma once

#include <cstddef>
#include <vector>

#include "track/point3.h"
#include "track/track.h"

// One sample of the measure: a curve parameter and the chord sum from u = 0 to it.
struct MeasureSample {
    float u;
    double distance;
};

// Replaces `samples` with the samples of Track::length() (0, 0.05, 0.1, ...
// made by adding 0.05f in single precision while u < n - 0.05), each with the
// chord sum from u = 0, followed by u = n: the chord back to the start, which
// Track::length() leaves out, closes the ring. So samples.back().distance is
// the length of the whole ring. Reuses the vector's storage; at most
// 20 * num_points() + 2 samples.
void measure_ring(const Track& track, std::vector<MeasureSample>& samples);

// The parameter `target` metres along the ring, interpolated linearly in u on
// the chord sums of `samples` (as measure_ring made them, of a track with
// length, so with at least two samples). `cursor` indexes the chord searched
// from: start it at 0 and keep it across calls with growing targets, so a
// walk round the ring costs one pass. A target at or past the end gives the
// last float before n, never n itself (which is the start again).
float ring_parameter_at(const std::vector<MeasureSample>& samples, double target,
                        std::size_t& cursor);

// How many places, `step` apart from distance 0, go once round a ring of
// length `ring`: ceil(ring / step), less a last place within a billionth of
// a step of the end, which would be the start again (when the ring is a whole
// number of steps the rounded quotient can land on either side of it). A
// double, since the count may exceed any integer. ring > 0, step > 0.
double places_round_ring(double ring, double step);

// Up made unit and perpendicular to the unit `front`, as the track table
// writes it. Where `up` has (almost) nothing left beside front (a bank a hair
// past 90 degrees on a climb a hair off vertical), the up of the same point
// unbanked, by the same formula.
Point3 unit_up(const Point3& front, const Point3& up);
