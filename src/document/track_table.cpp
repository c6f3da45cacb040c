// The track table: rows placed along the track's own length measure, their
// frames from the Track's queries, and the text streamed out in bounded chunks.
#include "document/track_table.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <vector>

#include "track/ring_measure.h"

namespace {

// Where the rows go: the ring measure (track/ring_measure.h) and the number of rows.
struct Plan {
    std::vector<MeasureSample> samples; // from u = 0 to u = n, the start again
    long rows = 0;
};

std::string metres_text(double value) {
    std::array<char, 32> text{};
    const auto end = std::to_chars(text.data(), text.data() + text.size(), value).ptr;
    return std::string(text.data(), end) + " m";
}

// Whether every control point and handle of the track is finite.
bool finite_track(const Track& track) {
    for (int i = 0; i < track.num_points(); ++i) {
        if (!is_finite(track.point(i).position()) ||
            !is_finite(track.bezier_handle(2 * i).position()) ||
            !is_finite(track.bezier_handle(2 * i + 1).position())) {
            return false;
        }
    }
    return true;
}

// A whole number of rows as digits, however large: "12345678" or "1.2e+19".
std::string row_count(double rows) {
    std::array<char, 32> text{};
    const auto end = std::to_chars(text.data(), text.data() + text.size(), rows).ptr;
    return std::string(text.data(), end);
}

Failure plan_table(const Track& track, double spacing, Plan& plan) {
    if (Failure bad = check_table_spacing(spacing)) {
        return bad;
    }
    measure_ring(track, plan.samples);
    const double ring = plan.samples.back().distance;
    if (!std::isfinite(ring)) {
        // Finite coordinates whose chords add up past the largest double.
        return std::string(finite_track(track) ? "the track is too large to measure"
                                               : "the length of the track is not a finite number");
    }
    if (!(ring > 0)) {
        return std::string("the track has no length: all its points are at one spot");
    }
    // Compared as doubles: a count past kMaxTableRows may not fit any integer.
    const double rows = std::ceil(ring / spacing);
    if (rows > static_cast<double>(kMaxTableRows)) {
        return "the track is too long for a table at " + metres_text(spacing) + ": it would have " +
               row_count(rows) + " rows, more than " + std::to_string(kMaxTableRows);
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

// Rows k = 0 .. plan.rows - 1, each found from its own target k * spacing on
// the cumulative chord sums: rounding never carries from one row to the next.
template <typename RowFn>
void compute_rows(const Track& track, double spacing, const Plan& plan, RowFn&& emit) {
    std::size_t chord = 0;
    TableRow row;
    for (long k = 0; k < plan.rows; ++k) {
        row.u = ring_parameter_at(plan.samples, k * spacing, chord);
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
    measure_ring(track, plan.samples);
    return plan.samples.back().distance;
}

Failure check_table_spacing(double spacing, std::string_view as_written) {
    if (std::isnan(spacing)) {
        return std::string("the spacing is not a number");
    }
    if (!(spacing >= kMinTableSpacing && spacing <= kMaxTableSpacing)) {
        const std::string shown =
            as_written.empty() ? metres_text(spacing) : std::string(as_written) + " m";
        return "the spacing " + shown + " is outside " + metres_text(kMinTableSpacing) + " to " +
               metres_text(kMaxTableSpacing);
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
