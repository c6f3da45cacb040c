// The track queries over a per-frame position cache. Frame math and walks are
// the Track's own (track_math.h), only fed from the cache, so that every
// answer is the same double or float the Track gives; the tests compare them
// bit for bit.
#include "track/track_sampler.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "track/track_math.h"

using track_math::step_backward;
using track_math::step_forward;
using track_math::steps_per_lap;

namespace {

// Targets handled by one advance_all chunk.
constexpr int kChunk = 16;

std::uint32_t bits_of(float u) {
    std::uint32_t bits;
    std::memcpy(&bits, &u, sizeof bits);
    return bits;
}

} // namespace

TrackSampler::TrackSampler() : slots_(kSlots) {}

void TrackSampler::begin_frame(const Track& track) {
    track_ = &track;
    if (++generation_ == 0) {
        // After 2^32 frames the stamps would repeat: start over once.
        for (Slot& slot : slots_) {
            slot.generation = 0;
        }
        generation_ = 1;
    }
}

// Flattened: a cache miss runs the curve formulas inlined here, not through
// whichever out-of-line copy of them the linker keeps (the copies differ with
// what else their source file calls, and the frame's speed with them).
[[gnu::flatten]] Point3 TrackSampler::position_at(float u) {
    const std::uint32_t bits = bits_of(u);
    // Fibonacci hashing spreads the neighbouring bit patterns of a walk's
    // samples over the whole table.
    Slot& slot = slots_[(bits * 0x9E3779B1u) >> (32 - kSlotBits)];
    if (slot.generation != generation_ || slot.bits != bits) {
        slot.p = track_math::Positions(*track_)(u);
        slot.bits = bits;
        slot.generation = generation_;
    }
    return slot.p;
}

float TrackSampler::wrap(float u) const {
    return track_math::wrap_parameter(u, track_->num_points());
}

Point3 TrackSampler::tangent_at(float u) {
    return track_math::tangent_from([this](float v) { return position_at(v); }, u,
                                    track_->num_points());
}

Point3 TrackSampler::side_at(float u) {
    return track_math::side_from(tangent_at(u), roll_at(u));
}

Point3 TrackSampler::up_from(const Orientation& o) const {
    return track_math::up_from(o.tangent, o.roll);
}

Point3 TrackSampler::up_at(float u) {
    return track_math::up_from(tangent_at(u), roll_at(u));
}

double TrackSampler::heading_at(float u) {
    return track_math::heading_from(tangent_at(u));
}

double TrackSampler::pitch_at(float u) {
    return track_math::pitch_from(tangent_at(u));
}

TrackSampler::Orientation TrackSampler::orientation_at(float u) {
    Orientation o;
    o.tangent = tangent_at(u);
    o.heading = track_math::heading_from(o.tangent);
    o.pitch = track_math::pitch_from(o.tangent);
    o.roll = roll_at(u);
    return o;
}

double TrackSampler::length() {
    return track_math::length_of([this](float v) { return position_at(v); }, track_->num_points());
}

float TrackSampler::advance(double distance, float u) {
    return track_math::advance_by([this](float v) { return position_at(v); }, track_->num_points(),
                                  distance, u);
}

float TrackSampler::advance_along(double distance, float u, Point3& at) {
    // The lap sum of a very long walk is worth caching: later walks of the
    // frame land on the same grid.
    return track_math::advance_by(
        track_math::Positions(*track_), [this](float v) { return position_at(v); },
        track_->num_points(), distance, u, &at);
}

void TrackSampler::walk_many(float start, bool forward, const double* distances, const int* order,
                             int count, float* out) {
    if (count == 0) {
        return;
    }
    const double n = track_->num_points();
    const long lap = steps_per_lap(track_->num_points());
    float next = forward ? step_forward(start, n) : step_backward(start, n);
    long steps = 0;
    double sum = 0.0;
    int done = 0;
    Point3 a = position_at(start);
    for (;;) {
        const Point3 b = position_at(next);
        sum += ::length(b - a); // the global length: the member hides it
        while (done < count && sum >= std::fabs(distances[order[done]])) {
            out[order[done]] = next;
            ++done;
        }
        if (done == count) {
            return;
        }
        // Up to here every single walk would have taken the same steps with
        // the same sums. A walk that goes a whole lap meets the guards for
        // degenerate and very long walks; leave those to advance() itself.
        if (++steps == lap) {
            for (int k = done; k < count; ++k) {
                out[order[k]] = advance(distances[order[k]], start);
            }
            return;
        }
        a = b;
        next = forward ? step_forward(next, n) : step_backward(next, n);
    }
}

void TrackSampler::advance_all(const double* distances, int count, float u, float* out) {
    const float start = wrap(u);
    for (int base = 0; base < count; base += kChunk) {
        const int size = std::min(kChunk, count - base);
        const double* d = distances + base;
        float* result = out + base;
        int ahead[kChunk];
        int behind[kChunk];
        int num_ahead = 0;
        int num_behind = 0;
        for (int k = 0; k < size; ++k) {
            if (d[k] == 0 || !std::isfinite(d[k])) {
                result[k] = start;
            } else if (d[k] > 0) {
                ahead[num_ahead++] = k;
            } else {
                behind[num_behind++] = k;
            }
        }
        const auto nearer = [d](int a, int b) { return std::fabs(d[a]) < std::fabs(d[b]); };
        std::sort(ahead, ahead + num_ahead, nearer);
        std::sort(behind, behind + num_behind, nearer);
        walk_many(start, true, d, ahead, num_ahead, result);
        walk_many(start, false, d, behind, num_behind, result);
    }
}
