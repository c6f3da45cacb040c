// The track table: rows placed along the track's own length measure, their
// frames from the Track's queries, and the text streamed out in bounded chunks.
#include "document/track_table.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <vector>

#include "track/track_math.h"

namespace {

// Where the rows go: the samples of Track::length(), each with the chord sum
// from u = 0 up to it, and the chord that closes the ring.
//
// Track::length() (track_math::length_of) sums chords between float samples
// 0, 0.05, 0.1, ... made by adding 0.05f again and again, for as long as a
// sample lies below n - 0.05. Its last chord never quite closes the ring back
// to u = n: for 4 points (the default design) and for 19 to 75 points the
// float sums drift just under the whole numbers, so the last sample is a hair
// short of n (3.99999738 for 4 points); for 5 to 18 and 76 to 100 points they
// drift just over, so the loop stops a whole step early and the last sample is
// about n - 0.05 (99.9515 for 100 points, where the piece left out of a ring
// of radius 5000 is 15 m long). The ties are laid by that length, so it stays
// as it is; the table adds the closing chord from the last sample back to the
// start, so that its rows go once round the whole ring and the gap from the
// last row back to row 1 is at most one spacing along the track itself.
struct MeasureSample {
    float u;
    double distance;
};

struct Plan {
    std::vector<MeasureSample> samples; // from u = 0 to u = n, the start again
    long rows = 0;
};

std::string metres(double value) {
    std::array<char, 32> text{};
    const auto end = std::to_chars(text.data(), text.data() + text.size(), value).ptr;
    return std::string(text.data(), end) + " m";
}

// The samples of the whole ring, from u = 0 back to the start at u = n.
void record_ring(const Track& track, Plan& plan) {
    const int n = track.num_points();
    plan.samples.clear();
    plan.samples.reserve(static_cast<std::size_t>(20 * n + 2));
    double sum = 0.0;
    Point3 previous;
    const auto record = [&](float u, const Point3& p) {
        if (!plan.samples.empty()) {
            sum += length(p - previous);
        }
        previous = p;
        plan.samples.push_back({u, sum});
    };
    // length_of evaluates each sample once, in order, and sums length(b - a)
    // over consecutive ones; the same sums here give the same distances.
    track_math::length_of(
        [&](float u) {
            const Point3 p = track.position_at(u);
            record(u, p);
            return p;
        },
        n);
    // The closing chord: u = n is the start of the ring again.
    record(static_cast<float>(n), track.position_at(0.0f));
}

Failure plan_table(const Track& track, double spacing, Plan& plan) {
    if (Failure bad = check_table_spacing(spacing)) {
        return bad;
    }
    record_ring(track, plan);
    const double ring = plan.samples.back().distance;
    if (!std::isfinite(ring)) {
        return std::string("the length of the track is not a finite number");
    }
    if (!(ring > 0)) {
        return std::string("the track has no length: all its points are at one spot");
    }
    const double rows = std::ceil(ring / spacing);
    if (rows > kMaxTableRows) {
        return "the track is too long for a table at " + metres(spacing) + ": it would have " +
               std::to_string(static_cast<long long>(rows)) + " rows, more than " +
               std::to_string(kMaxTableRows);
    }
    plan.rows = static_cast<long>(rows);
    // When the ring is a whole number of spacings, the rounded quotient can
    // land on either side of it; a last row within a billionth of a spacing
    // of the end would be the start again, so it is not written.
    if (plan.rows > 1 && ring - (plan.rows - 1) * spacing <= 1e-9 * spacing) {
        --plan.rows;
    }
    return std::nullopt;
}

// Up made unit and perpendicular to front. Where Track::up_at has (almost)
// nothing left beside front, as a bank a hair past 90 degrees on a climb a hair
// off vertical gives, its direction drowns in rounding (about 1e-16 in each
// coordinate): then the up of the same point unbanked, by the same formula.
Point3 unit_up(const Point3& front, const Point3& up) {
    const Point3 across = up - dot(up, front) * front;
    const double norm = length(across);
    if (norm > 1e-12 && std::isfinite(norm)) {
        return across / norm;
    }
    const Point3 level = track_math::up_from(front, 0.0);
    return level / length(level);
}

// Rows k = 0 .. plan.rows - 1, each found from its own target k * spacing on
// the cumulative chord sums: rounding never carries from one row to the next.
template <typename RowFn>
void compute_rows(const Track& track, double spacing, const Plan& plan, RowFn&& emit) {
    const std::vector<MeasureSample>& s = plan.samples;
    const std::size_t last_chord = s.size() - 2; // a track with length has a chord
    std::size_t j = 0;
    const float ring_end = s.back().u;
    TableRow row;
    for (long k = 0; k < plan.rows; ++k) {
        const double target = k * spacing;
        while (j < last_chord && s[j + 1].distance < target) {
            ++j;
        }
        const double chord = s[j + 1].distance - s[j].distance;
        const double f = chord > 0 ? std::clamp((target - s[j].distance) / chord, 0.0, 1.0) : 0.0;
        row.u = static_cast<float>(s[j].u + f * (static_cast<double>(s[j + 1].u) - s[j].u));
        // Within the closing chord a parameter can round up to n, which is
        // the start again: keep it on the last float before the end.
        if (row.u >= ring_end) {
            row.u = std::nextafter(ring_end, 0.0f);
        }
        row.position = track.position_at(row.u);
        row.front = track.tangent_at(row.u);
        row.up = unit_up(row.front, track.up_at(row.u));
        row.left = cross(row.up, row.front);
        emit(row);
    }
}

constexpr std::string_view kHeader = "\"No.\"\t\"PosX\"\t\"PosY\"\t\"PosZ\"\t"
                                     "\"FrontX\"\t\"FrontY\"\t\"FrontZ\"\t"
                                     "\"LeftX\"\t\"LeftY\"\t\"LeftZ\"\t"
                                     "\"UpX\"\t\"UpY\"\t\"UpZ\"\n";

// The longest line: a row number and 12 finite doubles in fixed notation
// (at most a sign, 309 digits, the point and 6 decimals), with their tabs.
constexpr std::size_t kMaxLineBytes = 20 + 12 * (1 + 309 + 1 + 6 + 1) + 1;
static_assert(kMaxLineBytes < kMaxTableChunkBytes / 4, "a chunk holds several lines");

char* put_number(char* p, char* end, double value) {
    *p++ = '\t';
    char* const start = p;
    p = std::to_chars(p, end, value, std::chars_format::fixed, 6).ptr;
    // A small negative value rounds to "-0.000000"; the table writes zero unsigned.
    if (p - start == 9 && std::memcmp(start, "-0.000000", 9) == 0) {
        std::memmove(start, start + 1, 8);
        --p;
    }
    return p;
}

char* put_point(char* p, char* end, const Point3& v) {
    p = put_number(p, end, v.x);
    p = put_number(p, end, v.y);
    return put_number(p, end, v.z);
}

template <typename Sink>
void write_rows(const Track& track, double spacing, const Plan& plan, Sink&& sink) {
    std::array<char, kMaxTableChunkBytes> chunk;
    char* const begin = chunk.data();
    char* const end = begin + chunk.size();
    char* p = std::copy(kHeader.begin(), kHeader.end(), begin);
    long number = 0;
    compute_rows(track, spacing, plan, [&](const TableRow& row) {
        if (static_cast<std::size_t>(end - p) < kMaxLineBytes) {
            sink(std::string_view(begin, static_cast<std::size_t>(p - begin)));
            p = begin;
        }
        p = std::to_chars(p, end, ++number).ptr;
        p = put_point(p, end, row.position);
        p = put_point(p, end, row.front);
        p = put_point(p, end, row.left);
        p = put_point(p, end, row.up);
        *p++ = '\n';
    });
    sink(std::string_view(begin, static_cast<std::size_t>(p - begin)));
}

} // namespace

double table_ring_length(const Track& track) {
    Plan plan;
    record_ring(track, plan);
    return plan.samples.back().distance;
}

Failure check_table_spacing(double spacing) {
    if (std::isnan(spacing)) {
        return std::string("the spacing is not a number");
    }
    if (!(spacing >= kMinTableSpacing && spacing <= kMaxTableSpacing)) {
        return "the spacing " + metres(spacing) + " is outside " + metres(kMinTableSpacing) +
               " to " + metres(kMaxTableSpacing);
    }
    return std::nullopt;
}

Failure for_each_table_row(const Track& track, double spacing,
                           const std::function<void(const TableRow&)>& row) {
    Plan plan;
    if (Failure bad = plan_table(track, spacing, plan)) {
        return bad;
    }
    compute_rows(track, spacing, plan, row);
    return std::nullopt;
}

Failure write_track_table(const Track& track, double spacing,
                          const std::function<void(std::string_view)>& sink) {
    Plan plan;
    if (Failure bad = plan_table(track, spacing, plan)) {
        return bad;
    }
    write_rows(track, spacing, plan, sink);
    return std::nullopt;
}

Failure export_track_table(const Track& track, double spacing, const std::string& path) {
    const auto sentence = [&path](const std::string& phrase) {
        return "Cannot export the track table to " + path + ": " + phrase + ".";
    };
    Plan plan;
    if (Failure bad = plan_table(track, spacing, plan)) {
        return sentence(*bad);
    }
    AtomicWriter out(path);
    write_rows(track, spacing, plan, [&out](std::string_view bytes) { out.write(bytes); });
    if (Failure bad = out.commit()) {
        return sentence(*bad);
    }
    return std::nullopt;
}
