// Per-frame memo over a const Track: curve positions cached by the exact bits of
// their parameter, and the track queries rebuilt on top of that cache. No GL.
#pragma once

#include <cstdint>
#include <vector>

#include "track/point3.h"
#include "track/track.h"

// Every query answers exactly (bit for bit) what the Track's own query of the
// same name answers; it only avoids evaluating the same parameter twice. The
// cache belongs to one frame: call begin_frame() before the first query of a
// frame, and do not change the track until the frame's queries are done.
class TrackSampler {
public:
    // Slots of the direct-mapped position cache (a power of two). A frame on
    // the largest track samples about 35000 distinct parameters.
    static constexpr int kSlotBits = 17;
    static constexpr int kSlots = 1 << kSlotBits;

    // Position, tangent and angles at one parameter, from one tangent.
    struct Orientation {
        Point3 tangent;
        double heading = 0.0; // degrees
        double pitch = 0.0;   // degrees
        double roll = 0.0;    // degrees
    };

    TrackSampler(); // allocates the cache once; no query allocates

    // Binds the track and forgets every position cached so far (in O(1): the
    // entries of older frames simply stop matching).
    void begin_frame(const Track& track);
    const Track& track() const { return *track_; }

    Point3 position_at(float u);
    double roll_at(float u) const { return track_->roll_at(u); }
    Point3 tangent_at(float u);
    Point3 side_at(float u);
    Point3 up_at(float u);
    double heading_at(float u);
    double pitch_at(float u);
    // heading, pitch and roll at u with a single tangent.
    Orientation orientation_at(float u);
    // up_at(u) when the tangent at u is already known (from orientation_at).
    Point3 up_from(const Orientation& o) const;

    double length();
    float advance(double distance, float u);
    // advance() for a chain of walks, each starting where the last one ended
    // (the ties): `at` holds position_at(u) on entry and position_at(result)
    // on return. The samples in between bypass the cache, as nothing else in
    // a frame lands on them; this keeps the cache small and warm.
    float advance_along(double distance, float u, Point3& at);
    // out[k] = advance(distances[k], u) for k < count, with one walk per
    // direction: the walks towards the nearer targets are the first steps of
    // the walk towards the farthest one, so a single chord sum serves them all.
    void advance_all(const double* distances, int count, float u, float* out);

    // Parameter wrapped onto [0, n) exactly as the Track's queries wrap it.
    float wrap(float u) const;

private:
    struct Slot {
        std::uint32_t bits = 0;
        std::uint32_t generation = 0;
        Point3 p;
    };

    // Walks from start (already wrapped) in one direction towards the targets
    // listed in order[0..count) by growing |distance|.
    void walk_many(float start, bool forward, const double* distances, const int* order, int count,
                   float* out);

    const Track* track_ = nullptr;
    std::uint32_t generation_ = 0;
    std::vector<Slot> slots_;
};
