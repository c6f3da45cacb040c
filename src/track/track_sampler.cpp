// The track queries over a per-frame position cache. The arithmetic below is
// the Track's own, step for step (same helpers, same order of operations, same
// guards), so that every answer is the same double or float the Track gives;
// the tests compare them bit for bit.
#include "track/track_sampler.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr double kPi = 3.14159;
constexpr float kAdvanceStep = 0.005f;
// Laps walked sample by sample before a longer walk is shortened by whole laps.
constexpr long kLiteralLaps = 8;
// Targets handled by one advance_all chunk.
constexpr int kChunk = 16;

double chord(const Point3& a, const Point3& b) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double dz = b.z - a.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

float step_forward(float u, double n) {
    if (static_cast<double>(u) + kAdvanceStep > n - 0.01) {
        return 0.0f;
    }
    return static_cast<float>(static_cast<double>(u) + kAdvanceStep);
}

float step_backward(float u, double n) {
    const double w = static_cast<double>(u) - kAdvanceStep;
    float next = static_cast<float>(w < 0 ? n + w : w);
    if (next == n) {
        next = static_cast<float>(n - 0.001);
    }
    return next;
}

long steps_per_lap(int n) {
    return static_cast<long>(n / 0.005 * 1.01) + 4;
}

bool usable_norm(double norm) {
    return norm >= 1e-150 && norm <= 1e150;
}

Point3 normalized(const Point3& v, const Point3& fallback) {
    double norm = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (usable_norm(norm)) {
        return {v.x / norm, v.y / norm, v.z / norm};
    }
    const double scale = std::max({std::fabs(v.x), std::fabs(v.y), std::fabs(v.z)});
    if (!(scale > 0.0) || !std::isfinite(scale)) {
        return fallback;
    }
    const Point3 w{v.x / scale, v.y / scale, v.z / scale};
    norm = std::sqrt(w.x * w.x + w.y * w.y + w.z * w.z);
    return {w.x / norm, w.y / norm, w.z / norm};
}

Point3 side_from_tangent(const Point3& tangent, double roll) {
    const double horizontal = std::sqrt(tangent.x * tangent.x + tangent.z * tangent.z);
    const double radians = roll * kPi / 180;
    return normalized({-tangent.z, std::tan(radians) * horizontal, tangent.x}, {1.0, 0.0, 0.0});
}

double heading_from(const Point3& t) {
    if (t.x == 0.0 && t.z == 0.0) {
        return 0.0;
    }
    const double heading = std::atan(t.x / t.z) * 180 / kPi;
    return t.z > 0 ? heading : heading + 180;
}

double pitch_from(const Point3& t) {
    double horizontal = std::sqrt(t.x * t.x + t.z * t.z);
    if (t.x * t.z < 0) {
        horizontal = -horizontal;
    }
    if (horizontal == 0.0 && t.y == 0.0) {
        return 0.0;
    }
    const double pitch = std::atan(t.y / horizontal) * 180 / kPi;
    return horizontal > 0 && pitch != 0 ? -pitch : pitch;
}

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

Point3 TrackSampler::position_at(float u) {
    const std::uint32_t bits = bits_of(u);
    // Fibonacci hashing spreads the neighbouring bit patterns of a walk's
    // samples over the whole table.
    Slot& slot = slots_[(bits * 0x9E3779B1u) >> (32 - kSlotBits)];
    if (slot.generation != generation_ || slot.bits != bits) {
        slot.p = track_->position_at(u);
        slot.bits = bits;
        slot.generation = generation_;
    }
    return slot.p;
}

float TrackSampler::wrap(float u) const {
    const double n = track_->num_points();
    if (!std::isfinite(u)) {
        return 0.0f;
    }
    if (u >= 0.0f && u < n) {
        return u;
    }
    double w = std::fmod(static_cast<double>(u), n);
    if (w < 0.0) {
        w += n;
    }
    const float wrapped = static_cast<float>(w);
    return wrapped < n ? wrapped : 0.0f;
}

Point3 TrackSampler::tangent_at(float u) {
    u = wrap(u);
    const double n = track_->num_points();
    const double ud = u;
    Point3 a;
    Point3 b;
    if (ud - 0.025 < 0) {
        a = position_at(static_cast<float>(ud + 0.025));
        b = position_at(static_cast<float>(ud - 0.025 + n - 0.0001));
    } else if (ud + 0.025 >= n) {
        a = position_at(static_cast<float>(ud + 0.025 - n));
        b = position_at(static_cast<float>(ud - 0.025));
    } else {
        a = position_at(static_cast<float>(ud + 0.025));
        b = position_at(static_cast<float>(ud - 0.025));
    }
    return normalized({a.x - b.x, a.y - b.y, a.z - b.z}, {0.0, 0.0, 1.0});
}

Point3 TrackSampler::side_at(float u) {
    return side_from_tangent(tangent_at(u), roll_at(u));
}

Point3 TrackSampler::up_from(const Orientation& o) const {
    const Point3& t = o.tangent;
    const Point3 s = side_from_tangent(t, o.roll);
    Point3 up{s.y * t.z - s.z * t.y, s.z * t.x - s.x * t.z, s.x * t.y - s.y * t.x};
    if (o.roll > 90 || o.roll < -90) {
        up = {-up.x, -up.y, -up.z};
    }
    return up;
}

Point3 TrackSampler::up_at(float u) {
    Orientation o;
    o.tangent = tangent_at(u);
    o.roll = roll_at(u);
    return up_from(o);
}

double TrackSampler::heading_at(float u) {
    return heading_from(tangent_at(u));
}

double TrackSampler::pitch_at(float u) {
    return pitch_from(tangent_at(u));
}

TrackSampler::Orientation TrackSampler::orientation_at(float u) {
    Orientation o;
    o.tangent = tangent_at(u);
    o.heading = heading_from(o.tangent);
    o.pitch = pitch_from(o.tangent);
    o.roll = roll_at(u);
    return o;
}

double TrackSampler::length() {
    const float step = 0.05f;
    double sum = 0.0;
    float u = 0.0f;
    Point3 a = position_at(u);
    while (u < track_->num_points() - static_cast<double>(step)) {
        const float next = static_cast<float>(u + step);
        const Point3 b = position_at(next);
        sum += chord(a, b);
        a = b;
        u = next;
    }
    return sum;
}

double TrackSampler::lap_chord_sum() {
    const double n = track_->num_points();
    double sum = 0.0;
    float u = 0.0f;
    Point3 a = position_at(u);
    do {
        const float next = step_forward(u, n);
        const Point3 b = position_at(next);
        sum += chord(a, b);
        a = b;
        u = next;
    } while (u != 0.0f);
    return sum;
}

float TrackSampler::advance(double distance, float u) {
    return walk_one<true>(distance, u, nullptr);
}

float TrackSampler::advance_along(double distance, float u, Point3& at) {
    return walk_one<false>(distance, u, &at);
}

template <bool cached> float TrackSampler::walk_one(double distance, float u, Point3* at) {
    const float given = u;
    u = wrap(u);
    if (at != nullptr && std::memcmp(&u, &given, sizeof u) != 0) {
        *at = sample<cached>(u); // the caller's position was for the unwrapped u
    }
    if (distance == 0 || !std::isfinite(distance)) {
        return u;
    }
    const float start = u;
    const double n = track_->num_points();
    const bool forward = distance > 0;
    double target = std::fabs(distance);
    float next = forward ? step_forward(u, n) : step_backward(u, n);

    const long lap = steps_per_lap(track_->num_points());
    long steps = 0;
    bool shortened = false;
    double sum = 0.0;
    Point3 a = at != nullptr ? *at : sample<cached>(u);
    const auto land = [&](float where, const Point3& p) {
        if (at != nullptr) {
            *at = p;
        }
        return where;
    };
    const Point3 at_start = a;
    for (;;) {
        const Point3 b = sample<cached>(next);
        sum += chord(a, b);
        if (sum >= target) {
            return land(next, b);
        }
        ++steps;
        if (steps == lap && !(sum > 0)) {
            return land(start, at_start);
        }
        if (steps == kLiteralLaps * lap) {
            if (shortened) {
                return land(next, b);
            }
            const double ring = lap_chord_sum();
            if (!(ring > 0) || !std::isfinite(ring)) {
                return land(start, at_start);
            }
            target = sum + std::fmod(target - sum, ring);
            steps = (kLiteralLaps - 3) * lap;
            shortened = true;
        }
        a = b;
        u = next;
        next = forward ? step_forward(next, n) : step_backward(next, n);
    }
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
        sum += chord(a, b);
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
