// The track table: rows placed along the track's own length measure, their
// frames from the Track's queries, and the text streamed out in bounded chunks.
#include "document/track_table.h"

#include <cmath>
#include <vector>

#include "document/text_writer.h"
#include "track/ring_measure.h"

namespace {

// Where the rows go: the ring measure (track/ring_measure.h) and the number of rows.
struct Plan {
    std::vector<MeasureSample> samples; // from u = 0 to u = n, the start again
    long rows = 0;
};

std::string metres_text(double value) {
    return number_text(value) + " m";
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
    const double rows = places_round_ring(ring, spacing);
    if (rows > static_cast<double>(kMaxTableRows)) {
        return "the track is too long for a table at " + metres_text(spacing) + ": it would have " +
               number_text(rows) + " rows, more than " + std::to_string(kMaxTableRows);
    }
    plan.rows = static_cast<long>(rows);
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

void write_rows(const Track& track, double spacing, const Plan& plan, ChunkedWriter& out) {
    out.text(kHeader);
    long number = 0;
    compute_rows(track, spacing, plan, [&](const TableRow& row) {
        out.whole(++number);
        for (const Point3* v : {&row.position, &row.front, &row.left, &row.up}) {
            for (const double value : {v->x, v->y, v->z}) {
                out.text("\t");
                out.number(value, 6);
            }
        }
        out.text("\n");
    });
    out.flush();
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
    ChunkedWriter out(sink);
    write_rows(track, spacing, plan, out);
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
    AtomicWriter file(path);
    ChunkedWriter out([&file](std::string_view bytes) { file.write(bytes); });
    write_rows(track, spacing, plan, out);
    if (Failure bad = file.commit()) {
        return sentence(*bad);
    }
    return std::nullopt;
}
