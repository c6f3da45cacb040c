// The track as the tab-separated table that coaster tools exchange: evenly spaced
// rows of position and front, left, up. Writes only, reads no tables; no GL, no FLTK.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "document/file_io.h"
#include "document/text_writer.h"
#include "track/point3.h"
#include "track/track.h"

// Distance between neighbouring rows along the track, in metres (world units).
constexpr double kDefaultTableSpacing = 0.5;
constexpr double kMinTableSpacing = 0.05;
constexpr double kMaxTableSpacing = 10.0;
// A table of more rows is refused rather than written: about 1 GB of text.
constexpr long kMaxTableRows = 10'000'000;
// The text reaches its sink in chunks of at most this many bytes.
constexpr std::size_t kMaxTableChunkBytes = kTextChunkBytes;

// One sample of the track: its parameter, the point on the centre line, and
// three unit directions, pairwise orthogonal with left = cross(up, front).
struct TableRow {
    float u = 0.0f;
    Point3 position; // Track::position_at(u)
    Point3 front;    // Track::tangent_at(u), the direction of travel
    Point3 left;
    Point3 up; // Track::up_at(u), the banked up of the ties and cars, made unit
};

// Empty for a spacing in [kMinTableSpacing, kMaxTableSpacing]; otherwise a
// phrase such as "the spacing 20 m is outside 0.05 m to 10 m", quoting the
// spacing `as_written` when given (a number such as 1e400 reads as infinity).
Failure check_table_spacing(double spacing, std::string_view as_written = {});

// The length the table measures the ring with: the chords of
// Track::length() (0.05 steps of the parameter) and the chord that closes the
// ring back to the start, which Track::length() leaves out.
double table_ring_length(const Track& track);

// Hands `row` the rows of the table in order: row k (from 0) lies k * spacing
// along the track from u = 0, measured with the chord sums of
// table_ring_length(), and there are ceil(table_ring_length() / spacing)
// rows: once round the ring, the start not repeated. Fails with a
// phrase, before any row, for a spacing out of range and for a track of zero,
// non-finite or too great a length. Allocates once per call, never per row.
Failure for_each_table_row(const Track& track, double spacing,
                           const std::function<void(const TableRow&)>& row);

// Writes the whole table as text to `sink`, in chunks of at most
// kMaxTableChunkBytes each; fails as for_each_table_row does, before writing
// anything.
Failure write_track_table(const Track& track, double spacing,
                          const std::function<void(std::string_view)>& sink);

// Writes the table to the file at `path` through AtomicWriter: the file is
// replaced whole or not at all. On failure, a sentence: "Cannot export the
// track table to PATH: PHRASE.".
Failure export_track_table(const Track& track, double spacing, const std::string& path);
