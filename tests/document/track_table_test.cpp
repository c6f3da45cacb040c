// The track table: rows checked against the Track's own queries and its own
// length measure, the text against its format, the refusals, and the export
// of a real file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "document/large_designs.h"
#include "document/track_table.h"

namespace {

Track random_design(std::mt19937& random, CurveType type, int points) {
    Track track(type);
    while (track.num_points() < points) {
        track.add_point();
    }
    std::uniform_real_distribution<double> across(-40.0, 40.0);
    std::uniform_real_distribution<double> height(0.0, 20.0);
    std::uniform_real_distribution<double> bank(-180.0, 180.0);
    for (int i = 0; i < points; ++i) {
        track.point(i) = ControlPoint(across(random), height(random), across(random), bank(random));
    }
    track.make_handles();
    track.set_tension(std::uniform_real_distribution<float>(-0.5f, 0.5f)(random));
    return track;
}

std::vector<TableRow> rows_of(const Track& track, double spacing) {
    std::vector<TableRow> rows;
    const Failure failure =
        for_each_table_row(track, spacing, [&rows](const TableRow& r) { rows.push_back(r); });
    EXPECT_FALSE(failure) << *failure;
    return rows;
}

std::string text_of(const Track& track, double spacing) {
    std::string text;
    const Failure failure =
        write_track_table(track, spacing, [&text](std::string_view c) { text.append(c); });
    EXPECT_FALSE(failure) << *failure;
    return text;
}

// The samples that Track::length() sums chords over, traced here apart from
// the library: 0.05f added in single precision while u < n - 0.05; then the
// chord that closes the ring back to the start, which the table adds.
struct Measure {
    std::vector<float> u;
    std::vector<double> distance;

    explicit Measure(const Track& track) {
        const float step = 0.05f;
        u.push_back(0.0f);
        distance.push_back(0.0);
        while (u.back() < track.num_points() - static_cast<double>(step)) {
            const float next = static_cast<float>(u.back() + step);
            distance.push_back(distance.back() +
                               length(track.position_at(next) - track.position_at(u.back())));
            u.push_back(next);
        }
        measured = distance.back();
        distance.push_back(distance.back() +
                           length(track.position_at(0.0f) - track.position_at(u.back())));
        u.push_back(static_cast<float>(track.num_points()));
    }
    double measured = 0.0;                 // what Track::length() gives
    std::size_t chord_of(float at) const { // the chord [u[j], u[j + 1]] holding `at`
        const auto it = std::upper_bound(u.begin(), u.end(), at);
        return std::min<std::size_t>(std::max<std::ptrdiff_t>(it - u.begin(), 1) - 1, u.size() - 2);
    }
    double along(float at) const { // distance from u = 0, linear within a chord
        const std::size_t j = chord_of(at);
        return distance[j] + (static_cast<double>(at) - u[j]) /
                                 (static_cast<double>(u[j + 1]) - u[j]) *
                                 (distance[j + 1] - distance[j]);
    }
    // How far one float step of the parameter moves along the chord holding `at`.
    double ulp_along(float at) const {
        const std::size_t j = chord_of(at);
        return (std::nextafter(at, 1e9f) - at) * (distance[j + 1] - distance[j]) /
               (static_cast<double>(u[j + 1]) - u[j]);
    }
};

void expect_same(const Point3& a, const Point3& b, const char* what, float u) {
    EXPECT_TRUE(a.x == b.x && a.y == b.y && a.z == b.z) << what << " differs at u = " << u;
}

// Every row against the track's own answers and its own length measure.
void check_rows(const Track& track, double spacing, const std::string& design) {
    SCOPED_TRACE(design + " at " + std::to_string(spacing) + " m");
    const Measure measure(track);
    ASSERT_EQ(measure.measured, track.length()); // the same samples as Track::length()
    const double total = table_ring_length(track);
    ASSERT_EQ(measure.distance.back(), total); // and the closing chord
    const std::vector<TableRow> rows = rows_of(track, spacing);
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(std::ceil(total / spacing)));
    EXPECT_EQ(rows[0].u, 0.0f);
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const TableRow& r = rows[k];
        expect_same(r.position, track.position_at(r.u), "position", r.u);
        expect_same(r.front, track.tangent_at(r.u), "front", r.u);
        for (const Point3& v : {r.front, r.left, r.up}) {
            EXPECT_NEAR(length(v), 1.0, 1e-12) << "u = " << r.u;
        }
        EXPECT_NEAR(dot(r.front, r.up), 0.0, 1e-12) << "u = " << r.u;
        EXPECT_NEAR(dot(r.front, r.left), 0.0, 1e-12) << "u = " << r.u;
        EXPECT_NEAR(dot(r.left, r.up), 0.0, 1e-12) << "u = " << r.u;
        expect_same(r.left, cross(r.up, r.front), "left", r.u);
        const Point3 banked = track.up_at(r.u);
        EXPECT_GT(dot(r.up, banked) / length(banked), 1 - 1e-12) << "up turned at u = " << r.u;

        // Row k lies k spacings along; rounding its parameter to a float
        // moves it by at most one float step along the track.
        const double along = measure.along(r.u);
        EXPECT_NEAR(along, static_cast<double>(k) * spacing, measure.ulp_along(r.u) + 1e-12 * total)
            << "row " << k + 1;
        if (k > 0) {
            const std::size_t j = measure.chord_of(r.u);
            const double chord = measure.distance[j + 1] - measure.distance[j];
            EXPECT_NEAR(along - measure.along(rows[k - 1].u), spacing, chord) << "row " << k + 1;
        }
    }
    const double closing = total - measure.along(rows.back().u);
    EXPECT_GT(closing, 0.0);
    EXPECT_LE(closing, spacing + measure.ulp_along(rows.back().u));
}

TEST(TrackTableRows, FollowTheTrackOnTheDefaultAndRandomBankedDesigns) {
    check_rows(Track(CurveType::Cardinal), kDefaultTableSpacing, "default design");
    std::mt19937 random(20240611);
    // Point counts where the length measure ends a hair short of the ring
    // (4, 19 to 75) and a whole 0.05 step short (5 to 18, 76 to 100).
    const int counts[] = {4, 5, 11, 18, 19, 47, 75, 76, 100};
    int design = 0;
    for (const CurveType type :
         {CurveType::Linear, CurveType::Cardinal, CurveType::BSpline, CurveType::Bezier}) {
        for (int i = 0; i < 3; ++i) {
            const int points = counts[design++ % 9];
            const Track track = random_design(random, type, points);
            const double spacing = std::uniform_real_distribution<double>(0.05, 1.0)(random);
            check_rows(track, spacing,
                       "type " + std::to_string(static_cast<int>(type)) + " with " +
                           std::to_string(points) + " points");
        }
    }
}

TEST(TrackTableRows, CountIsWholeSpacingsWithTheLastGapUpToOneSpacing) {
    const Track track(CurveType::Cardinal);
    EXPECT_EQ(rows_of(track, 0.5).size(), 43u); // 21.0173 m: 42 whole spacings and a bit
    EXPECT_EQ(rows_of(track, 10.0).size(), 3u);
    // A length of exactly m spacings gives m rows, the last a whole spacing
    // before the start comes round again, never a repeat of row 1; for some m
    // (27 on the default design) the rounded quotient length / spacing is
    // just over m.
    struct Multiples {
        Track design;
        int from, to;
    };
    for (const Multiples& d : {Multiples{track, 3, 420}, Multiples{big_ring(), 3142, 3300}}) {
        const double length = table_ring_length(d.design);
        const Measure measure(d.design);
        for (int m = d.from; m <= d.to; ++m) {
            const double spacing = length / m;
            const std::vector<TableRow> rows = rows_of(d.design, spacing);
            ASSERT_EQ(rows.size(), static_cast<std::size_t>(m)) << "spacing " << spacing;
            const double gap = length - measure.along(rows.back().u);
            EXPECT_NEAR(gap, spacing, measure.ulp_along(rows.back().u) + 1e-12 * length)
                << "spacing " << spacing;
        }
    }
}

// A bank of +-30 leans up sideways as it leans the ties: +30 towards the left
// of travel, sin 30 of it; beyond 90 the roof turns under.
TEST(TrackTableRows, UpLeansWithTheBankAsTheTrackDoes) {
    for (const double roll : {30.0, -30.0, 150.0, -150.0}) {
        Track track(CurveType::Cardinal);
        for (int i = 0; i < track.num_points(); ++i) {
            track.point(i).roll = roll;
        }
        const double r = roll * std::acos(-1.0) / 180;
        for (const TableRow& row : rows_of(track, 1.0)) {
            const Point3 level_left = cross({0.0, 1.0, 0.0}, row.front);
            const Point3 banked = track.up_at(row.u);
            const double sideways = dot(banked, level_left) / length(banked);
            EXPECT_NEAR(dot(row.up, level_left), sideways, 1e-12) << "roll " << roll;
            EXPECT_NEAR(dot(row.up, level_left), std::sin(r), 1e-5) << "roll " << roll;
            EXPECT_NEAR(row.up.y, std::cos(r), 1e-5) << "roll " << roll;
            EXPECT_NEAR(row.left.y, -std::sin(r), 1e-5) << "roll " << roll;
        }
    }
    // A bank a hair past 90 on a climb a hair off vertical leaves up_at almost
    // nothing beside the track: up is then the level one, still a unit vector.
    Track climb(CurveType::Linear);
    climb.point(0) = ControlPoint(0.0, 0.0, 0.0, 90 * std::acos(-1.0) / 3.14159);
    climb.point(1) = ControlPoint(1e-12, 10.0, 0.0, 90 * std::acos(-1.0) / 3.14159);
    climb.point(2) = ControlPoint(5.0, 10.0, 0.0);
    climb.point(3) = ControlPoint(5.0, 0.0, 0.0);
    const TableRow up_the_climb = rows_of(climb, 1.0)[5];
    EXPECT_NEAR(up_the_climb.up.x, -1.0, 1e-9);
    EXPECT_NEAR(dot(up_the_climb.up, up_the_climb.front), 0.0, 1e-12);
}

TEST(TrackTableText, HeaderTabsSixDecimalsAndReadsBackAsTheRows) {
    // Level rows have exact zeros of both signs: -0.0 must print unsigned.
    const Track track(CurveType::Cardinal);
    const std::string text = text_of(track, 0.5);
    const std::vector<TableRow> rows = rows_of(track, 0.5);
    const std::string header = "\"No.\"\t\"PosX\"\t\"PosY\"\t\"PosZ\"\t\"FrontX\"\t\"FrontY\"\t"
                               "\"FrontZ\"\t\"LeftX\"\t\"LeftY\"\t\"LeftZ\"\t\"UpX\"\t\"UpY\"\t"
                               "\"UpZ\"\n";
    ASSERT_EQ(text.substr(0, header.size()), header);
    ASSERT_EQ(text.back(), '\n');
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_EQ(text.find("-0.000000"), std::string::npos);
    std::istringstream lines(text.substr(header.size()));
    std::string line;
    std::size_t k = 0;
    for (; std::getline(lines, line); ++k) {
        ASSERT_LT(k, rows.size());
        std::vector<std::string> fields;
        std::size_t start = 0;
        for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos;
             start = tab + 1) {
            fields.push_back(line.substr(start, tab - start));
        }
        fields.push_back(line.substr(start));
        ASSERT_EQ(fields.size(), 13u) << line;
        EXPECT_EQ(fields[0], std::to_string(k + 1));
        const TableRow& r = rows[k];
        const double want[12] = {r.position.x, r.position.y, r.position.z, r.front.x,
                                 r.front.y,    r.front.z,    r.left.x,     r.left.y,
                                 r.left.z,     r.up.x,       r.up.y,       r.up.z};
        for (int c = 0; c < 12; ++c) {
            const std::string& f = fields[c + 1];
            const std::size_t point = f.find('.');
            ASSERT_NE(point, std::string::npos) << f;
            EXPECT_EQ(f.size() - point, 7u) << f;
            EXPECT_EQ(f.find_first_not_of("-0123456789."), std::string::npos) << f;
            EXPECT_NEAR(std::strtod(f.c_str(), nullptr), want[c], 5e-7) << f;
        }
    }
    EXPECT_EQ(k, rows.size());
}

TEST(TrackTableText, RefusalsNameTheProblemAndWriteNothing) {
    Track spot(CurveType::Cardinal);
    for (int i = 0; i < spot.num_points(); ++i) {
        spot.point(i) = ControlPoint(1.0, 2.0, 3.0);
    }
    Track broken(CurveType::Cardinal);
    broken.point(2).y = std::nan("");
    Track vast(CurveType::Linear); // a square 1000 km across
    vast.point(0) = ControlPoint(0.0, 0.0, 0.0);
    vast.point(1) = ControlPoint(1e6, 0.0, 0.0);
    vast.point(2) = ControlPoint(1e6, 0.0, 1e6);
    vast.point(3) = ControlPoint(0.0, 0.0, 1e6);
    const std::string vast_rows =
        std::to_string(std::lround(std::ceil(table_ring_length(vast) / 0.05)));
    // Finite places whose chords overflow, and a ring of more rows than any
    // integer holds.
    Track too_large = vast;
    too_large.point(2) = ControlPoint(1e308, 0.0, 1e308);
    Track huge = vast;
    for (int i = 0; i < huge.num_points(); ++i) {
        huge.point(i).x *= 1e12;
        huge.point(i).z *= 1e12;
    }
    char huge_rows[64];
    std::snprintf(huge_rows, sizeof huge_rows, "%.0f", std::ceil(table_ring_length(huge) / 0.05));
    const Track fine(CurveType::Cardinal);
    struct Case {
        const Track& track;
        double spacing;
        std::string phrase;
    };
    const Case cases[] = {
        {spot, 0.5, "the track has no length: all its points are at one spot"},
        {broken, 0.5, "the length of the track is not a finite number"},
        {vast, 0.05,
         "the track is too long for a table at 0.05 m: it would have " + vast_rows +
             " rows, more than 10000000"},
        {too_large, 0.5, "the track is too large to measure"},
        {huge, 0.05,
         "the track is too long for a table at 0.05 m: it would have " + std::string(huge_rows) +
             " rows, more than 10000000"},
        {fine, 20.0, "the spacing 20 m is outside 0.05 m to 10 m"},
        {fine, 0.049, "the spacing 0.049 m is outside 0.05 m to 10 m"},
        {fine, -1.0, "the spacing -1 m is outside 0.05 m to 10 m"},
        {fine, INFINITY, "the spacing inf m is outside 0.05 m to 10 m"},
        {fine, std::nan(""), "the spacing is not a number"},
    };
    const std::string path = ::testing::TempDir() + "refused_table.csv";
    for (const Case& c : cases) {
        int calls = 0;
        EXPECT_EQ(write_track_table(c.track, c.spacing, [&](std::string_view) { ++calls; }),
                  c.phrase);
        EXPECT_EQ(for_each_table_row(c.track, c.spacing, [&](const TableRow&) { ++calls; }),
                  c.phrase);
        EXPECT_EQ(calls, 0) << c.phrase;
        std::remove(path.c_str());
        EXPECT_EQ(export_track_table(c.track, c.spacing, path),
                  "Cannot export the track table to " + path + ": " + c.phrase + ".");
        EXPECT_NE(access(path.c_str(), F_OK), 0) << c.phrase;
    }
    EXPECT_FALSE(check_table_spacing(kMinTableSpacing));
    EXPECT_FALSE(check_table_spacing(kMaxTableSpacing));
}

TEST(TrackTableText, TheLargestDesignStreamsInSmallChunks) {
    const Track ring = big_ring();
    for (const double spacing : {0.5, 0.05}) {
        std::size_t bytes = 0;
        std::size_t largest = 0;
        std::size_t lines = 0;
        std::size_t chunks = 0;
        ASSERT_FALSE(write_track_table(ring, spacing, [&](std::string_view chunk) {
            bytes += chunk.size();
            largest = std::max(largest, chunk.size());
            lines += static_cast<std::size_t>(std::count(chunk.begin(), chunk.end(), '\n'));
            ++chunks;
        }));
        EXPECT_EQ(lines - 1,
                  static_cast<std::size_t>(std::ceil(table_ring_length(ring) / spacing)));
        EXPECT_LE(largest, kMaxTableChunkBytes);
        EXPECT_GT(chunks, 100u);
        EXPECT_GT(bytes, 80 * (lines - 1)); // each row about a hundred characters
    }
    // The length measure of the largest ring stops a whole 0.05 step (about
    // 15 m) short of u = 100.
    EXPECT_NEAR(ring.length(), 2 * std::acos(-1.0) * 5000 - 15.2, 0.5);
    // The table goes once round: the piece Track::length() leaves out is in it.
    EXPECT_NEAR(table_ring_length(ring), 2 * std::acos(-1.0) * 5000, 0.1);
}

// Fails while src/document/file_io.cpp is still the placeholder that writes nothing.
TEST(TrackTableFile, ExportWritesTheTableAndReplacesAnOldFile) {
    const Track track(CurveType::Cardinal);
    const std::string path = ::testing::TempDir() + "exported_table.csv";
    {
        std::ofstream old(path);
        old << "an older table\n";
    }
    const Failure exported = export_track_table(track, 0.5, path);
    ASSERT_FALSE(exported) << *exported;
    std::ifstream in(path, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    EXPECT_EQ(contents.str(), text_of(track, 0.5));
    std::remove(path.c_str());

    const std::string nowhere = ::testing::TempDir() + "no_such_folder/table.csv";
    const Failure failure = export_track_table(track, 0.5, nowhere);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->rfind("Cannot export the track table to " + nowhere + ": ", 0), 0u)
        << *failure;
    EXPECT_EQ(failure->back(), '.');
}

} // namespace
