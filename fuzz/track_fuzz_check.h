// Decodes one fuzz input into a track and a run of edits and queries, and
// checks what must hold for every input: finite results, parameters on the
// ring, bounded walks. Shared by the libFuzzer target and the corpus replay
// test; no libFuzzer or test-framework include.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "../tests/track/reference_walk.h"
#include "track/evaluation_counter.h"
#include "track/track.h"

// The replay test reports through its framework instead of aborting.
#ifndef LOOPTIDE_FUZZ_FAIL
#define LOOPTIDE_FUZZ_FAIL(what)                                                                   \
    do {                                                                                           \
        std::fprintf(stderr, "track fuzz check failed: %s\n", what);                               \
        std::abort();                                                                              \
    } while (0)
#endif

#define LOOPTIDE_FUZZ_CHECK(cond)                                                                  \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            LOOPTIDE_FUZZ_FAIL(#cond);                                                             \
        }                                                                                          \
    } while (0)

namespace track_fuzz {

// Reads the input front to back; past the end every read gives zeros.
class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool done() const { return pos_ >= size_; }
    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::int16_t i16() {
        const std::uint16_t lo = byte();
        const std::uint16_t hi = byte();
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(lo | (hi << 8)));
    }
    float any_float() {
        std::uint32_t bits = 0;
        for (int k = 0; k < 4; ++k) {
            bits |= static_cast<std::uint32_t>(byte()) << (8 * k);
        }
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }
    double any_double() {
        std::uint64_t bits = 0;
        for (int k = 0; k < 8; ++k) {
            bits |= static_cast<std::uint64_t>(byte()) << (8 * k);
        }
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

constexpr int kMaxOperations = 32;

inline bool finite(const Point3& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

// Coordinates from 16-bit integers at one of four scales, from a millionth
// (nearly coincident points) to whole units (a ring some 60000 across).
inline double coordinate(Reader& in, double scale) {
    return in.i16() * scale;
}

inline double roll_value(Reader& in) {
    return in.i16() / 182.0;
} // about -180..180

inline void check_queries(const Track& track, float u) {
    LOOPTIDE_FUZZ_CHECK(finite(track.position_at(u)));
    LOOPTIDE_FUZZ_CHECK(finite(track.linear_at(u)));
    LOOPTIDE_FUZZ_CHECK(finite(track.cardinal_at(u)));
    LOOPTIDE_FUZZ_CHECK(finite(track.bspline_at(u)));
    LOOPTIDE_FUZZ_CHECK(finite(track.bezier_at(u)));
    const Point3 t = track.tangent_at(u);
    const Point3 s = track.side_at(u);
    const Point3 up = track.up_at(u);
    LOOPTIDE_FUZZ_CHECK(finite(t) && std::fabs(length(t) - 1.0) < 1e-9);
    LOOPTIDE_FUZZ_CHECK(finite(s) && std::fabs(length(s) - 1.0) < 1e-9);
    LOOPTIDE_FUZZ_CHECK(finite(up) && length(up) < 1.0 + 1e-9);
    const double heading = track.heading_at(u);
    const double pitch = track.pitch_at(u);
    const double roll = track.roll_at(u);
    // atan spans +-90.000076 degrees with the 3.14159 constant.
    LOOPTIDE_FUZZ_CHECK(heading >= -90.0001 && heading <= 270.0001);
    LOOPTIDE_FUZZ_CHECK(pitch >= -90.0001 && pitch <= 90.0001);
    LOOPTIDE_FUZZ_CHECK(std::isfinite(roll) && std::fabs(roll) <= 181.0);
}

inline void check_advance(const Track& track, double distance, float u) {
    const int n = track.num_points();
    EvaluationCounter evaluations;
    const float got = track.advance(distance, u);
    const std::uint64_t used = evaluations.count();
    LOOPTIDE_FUZZ_CHECK(got >= 0.0f && got < static_cast<float>(n));
    if (distance == 0 || !std::isfinite(distance)) {
        LOOPTIDE_FUZZ_CHECK(used == 0);
        if (u >= 0.0f && u < static_cast<float>(n)) {
            LOOPTIDE_FUZZ_CHECK(got == u);
        }
    }
    // A walk takes a dozen laps of the 0.005 grid at most, however far it is
    // sent and whatever the track: it always ends.
    LOOPTIDE_FUZZ_CHECK(used <= 13 * static_cast<std::uint64_t>(reference::lap_steps(n)));
}

// An edit in place leaves a ring that the old ring's parameters map onto.
inline void check_ring_change(const RingChange& change, float u, const Track& track) {
    const float mapped = change.map(u);
    if (change.changed()) {
        LOOPTIDE_FUZZ_CHECK(change.new_count == track.num_points());
        LOOPTIDE_FUZZ_CHECK(mapped >= 0.0f && mapped < static_cast<float>(track.num_points()));
    }
}

} // namespace track_fuzz

inline void run_track_fuzz_case(const std::uint8_t* data, std::size_t size) {
    using namespace track_fuzz;
    Reader in(data, size);
    const int count = Track::kMinPoints + in.byte() % (Track::kMaxPoints - Track::kMinPoints + 1);
    // Types -1 and 4 are outside the four curve types and must still be safe.
    const int type = in.byte() % 6 - 1;
    const float tension = in.byte() / 255.0f;
    static constexpr double kScales[4] = {1e-6, 1e-3, 0.01, 1.0};
    const double scale = kScales[in.byte() % 4];

    Track track(CurveType::Cardinal);
    while (track.num_points() < count) {
        track.add_point();
    }
    for (int i = 0; i < count; ++i) {
        const double x = coordinate(in, scale);
        const double y = coordinate(in, scale);
        const double z = coordinate(in, scale);
        track.point(i).set_position(x, y, z);
        track.point(i).roll = roll_value(in);
    }
    track.make_handles();
    track.set_curve_type(static_cast<CurveType>(type));
    track.set_tension(tension);

    for (int op = 0; op < kMaxOperations && !in.done(); ++op) {
        const int n = track.num_points();
        switch (in.byte() % 10) {
        case 0:
            // Resampled or in place, at any parameter.
            if (in.byte() % 2 == 0) {
                track.add_point();
            } else { // the bytes are read in order: place, then a parameter to map
                const float at = in.any_float();
                check_ring_change(track.insert_point(at), in.any_float(), track);
            }
            LOOPTIDE_FUZZ_CHECK(track.num_points() == (n < Track::kMaxPoints ? n + 1 : n));
            break;
        case 1:
            if (in.byte() % 2 == 0) {
                track.remove_point();
            } else {
                const int point = in.byte() % n;
                check_ring_change(track.delete_point(point), in.any_float(), track);
            }
            LOOPTIDE_FUZZ_CHECK(track.num_points() == (n > Track::kMinPoints ? n - 1 : n));
            break;
        case 2:
            check_queries(track, in.i16() / 256.0f);
            break;
        case 3:
            check_queries(track, in.any_float());
            break;
        case 4: {
            const double distance = in.i16() / 64.0;
            check_advance(track, distance, in.i16() / 256.0f);
            break;
        }
        case 5: {
            const double distance = in.any_double();
            check_advance(track, distance, in.any_float());
            break;
        }
        case 6: {
            const double length = track.length();
            LOOPTIDE_FUZZ_CHECK(std::isfinite(length) && length >= 0);
            break;
        }
        case 7:
            track.set_curve_type(static_cast<CurveType>(in.byte() % 6 - 1));
            track.set_tension(in.byte() / 255.0f);
            break;
        case 8: {
            ControlPoint& p = track.point(in.byte() % n);
            const double x = coordinate(in, scale);
            const double y = coordinate(in, scale);
            const double z = coordinate(in, scale);
            p.set_position(x, y, z);
            p.roll = roll_value(in);
            break;
        }
        default: {
            const int k = in.byte() % (2 * n);
            if (k % 2 == 0) {
                track.make_handles();
            } else {
                const double x = coordinate(in, scale);
                const double y = coordinate(in, scale);
                const double z = coordinate(in, scale);
                track.bezier_handle(k).set_position(x, y, z);
            }
            break;
        }
        }
        LOOPTIDE_FUZZ_CHECK(track.num_points() >= Track::kMinPoints &&
                            track.num_points() <= Track::kMaxPoints);
    }
}
