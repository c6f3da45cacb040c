// The .looptide text: random designs come back bit for bit, what the reader
// accepts loosely or ignores, every kind of bad input with its phrase, the
// seed files and the documented example, and the whole-file sentences.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "document/design_file.h"

namespace {

using Json = nlohmann::json;
using Limits = std::numeric_limits<double>;

// Designs with every count, curve and flag, hand-moved handles, and doubles
// whose text is easy to get wrong: signed zero, subnormals, the extremes,
// neighbours of short decimals, raw random bits.
class RandomDesigns {
public:
    explicit RandomDesigns(std::uint64_t seed) : rng_(seed) {}

    double any() {
        static const double awkward[] = {-0.0,
                                         0.1,
                                         1.0 / 3,
                                         std::nextafter(0.1, 1.0),
                                         std::nextafter(-2.5, 0.0),
                                         1e300,
                                         -1e-300,
                                         DBL_MAX,
                                         -DBL_MAX,
                                         DBL_MIN,
                                         Limits::denorm_min(),
                                         -Limits::denorm_min(),
                                         9007199254740993.0};
        std::uint64_t bits = rng_();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        switch (pick(0, 3)) {
        case 0:
            return awkward[pick(0, std::size(awkward) - 1)];
        case 1:
            return std::isfinite(value) ? value : 0.0;
        default:
            return std::uniform_real_distribution<double>(-10.0, 10.0)(rng_);
        }
    }
    double unit() {
        const double edges[] = {0.0, -0.0, 1.0, std::nextafter(1.0, 0.0), Limits::denorm_min()};
        return pick(0, 1) == 0 ? edges[pick(0, 4)]
                               : std::uniform_real_distribution<>(0.0, 1.0)(rng_);
    }
    ControlPoint place() { return ControlPoint(any(), any(), any()); }

    Design design() {
        Design d;
        std::vector<ControlPoint> points(pick(Track::kMinPoints, Track::kMaxPoints));
        for (ControlPoint& p : points) {
            p = ControlPoint(any(), any(), any(), any());
        }
        d.track.set_points(points.data(), static_cast<int>(points.size()));
        for (int k = 0; k < 2 * d.track.num_points(); ++k) {
            d.track.bezier_handle(k) = place();
        }
        d.track.set_curve_type(static_cast<CurveType>(pick(0, 3)));
        d.track.set_tension(pick(0, 1) == 0 ? static_cast<float>(unit())
                                            : std::numeric_limits<float>::denorm_min());
        d.light = place();
        d.generators.resize(pick(0, Scene::kMaxGenerators));
        for (ControlPoint& g : d.generators) {
            g = place();
        }
        d.cars = static_cast<int>(pick(1, Train::kMaxCars));
        d.speed = unit();
        d.constant_velocity = pick(0, 1) == 1;
        d.conserve_energy = pick(0, 1) == 1;
        d.physics = pick(0, 1) == 1;
        return d;
    }

private:
    std::size_t pick(std::size_t low, std::size_t high) {
        return std::uniform_int_distribution<std::size_t>(low, high)(rng_);
    }
    std::mt19937_64 rng_;
};

TEST(DesignFile, RandomDesignsComeBackBitForBitAndWriteTheSameText) {
    RandomDesigns random(20240601);
    // Each design is read over the one before, so nothing of an earlier
    // design (more points, more generators) may survive a read.
    Design back = random.design();
    for (int i = 0; i < 300; ++i) {
        const Design d = random.design();
        const std::string text = design_to_json(d, i % 2 == 0 ? "" : "Big \"Dipper\"\n");
        const Failure failure = design_from_json(text, back);
        ASSERT_FALSE(failure) << *failure << "\n" << text;
        ASSERT_TRUE(back == d) << "design " << i << " came back changed:\n" << text;
        ASSERT_EQ(design_to_json(back), design_to_json(d));
        ASSERT_EQ(i % 2 == 1,
                  text.find("\n  \"title\": \"Big \\\"Dipper\\\"\\n\",\n") != std::string::npos);
    }
}

// The default design's text with the value at a JSON pointer set, or erased.
std::string with(const char* pointer, const Json& value) {
    Json j = Json::parse(design_to_json(Design()));
    j[Json::json_pointer(pointer)] = value;
    return j.dump(2);
}
std::string without(const char* pointer) {
    Json j = Json::parse(design_to_json(Design()));
    const Json::json_pointer at(pointer);
    Json& parent = j[at.parent_pointer()];
    if (parent.is_array()) {
        parent.erase(std::stoul(at.back()));
    } else {
        parent.erase(at.back());
    }
    return j.dump(2);
}
// The default design's text with its first `from` replaced by `to`.
std::string replaced(const std::string& from, const std::string& to) {
    std::string text = design_to_json(Design());
    return text.replace(text.find(from), from.size(), to);
}

TEST(DesignFile, ReaderTakesWholeNumbersWrittenEitherWayAndIgnoresWhatItDoesNotKnow) {
    Json j = Json::parse(design_to_json(Design()));
    j["version"] = 1.0;
    j["title"] = 17;
    j["camera"] = {{"zoom", "far"}};
    j["points"][2]["x"] = 3; // an integer for a double
    j["points"][2]["colour"] = "red";
    j["handles"][4]["roll"] = 90.0; // handles have no roll
    j["light"]["roll"] = 12.0;      // nor has the light
    j["generators"] = {{{"x", 1}, {"y", 0}, {"z", -1}, {"balls", 3}}};
    j["train"]["cars"] = 3.0;
    Design d;
    ASSERT_FALSE(design_from_json(j.dump(), d));
    Design expected;
    expected.track.point(2).x = 3.0;
    expected.generators = {ControlPoint(1.0, 0.0, -1.0)};
    expected.cars = 3;
    EXPECT_TRUE(d == expected) << design_to_json(d);
}

TEST(DesignFile, EveryKindOfBadInputIsNamedAndChangesNothing) {
    Json three_points = Json::parse(design_to_json(Design()));
    three_points["points"].erase(3);
    three_points["handles"].erase(7);
    three_points["handles"].erase(6);
    Json many_points = Json::parse(design_to_json(Design()));
    many_points["points"] = Json::array();
    many_points["handles"] = Json::array();
    for (int i = 0; i < 101; ++i) {
        many_points["points"].push_back({{"x", i}, {"y", 0}, {"z", 0}, {"roll", 0}});
        many_points["handles"].push_back({{"x", i}, {"y", 0}, {"z", 0}});
        many_points["handles"].push_back({{"x", i}, {"y", 0}, {"z", 0}});
    }
    const Json place = {{"x", 0}, {"y", 0}, {"z", 0}};
    const std::string not_ours = "it is not a Looptide design (it has no \"format\": \"looptide\")";
    const std::string bad_version = "version must be a whole number of at least 1";
    const std::string curves = "; it must be Linear, Cardinal, BSpline or Bezier";
    // {phrase, text}; for text that is not JSON the phrase is a part of the whole.
    const std::vector<std::pair<std::string, std::string>> table = {
        {"it is not valid JSON (line 2, column 16: syntax error while parsing object key",
         "{\"format\": \"looptide\",\n  \"version\": 1,,\n}"},
        // A token the lexer refuses: nlohmann echoes it, which the phrase leaves out.
        {"it is not valid JSON (line 1, column 1: syntax error while parsing value - invalid "
         "literal)",
         "looptide"},
        {"unexpected end of input", design_to_json(Design()).substr(0, 300)},
        {"it is not a Looptide design (its text is an array, not an object)", "[1, 2]"},
        {"it is not a Looptide design (its text is a number, not an object)", "1e400"},
        {not_ours, without("/format")},
        {not_ours, with("/format", "svg")},
        {"version is missing", without("/version")},
        {"version should be a number, not a string", with("/version", "1")},
        {bad_version, with("/version", 1.5)},
        {bad_version, with("/version", 0)},
        {"it was written by a newer Looptide (format version 2); this one reads version 1",
         with("/version", 2)},
        {"it was written by a newer Looptide (format version 100000000000000000000); this one "
         "reads version 1",
         replaced("\"version\": 1", "\"version\": 1e20")},
        {"curve is missing", without("/curve")},
        {"curve is \"cardinal\"" + curves, with("/curve", "cardinal")},
        {"tension is 1.5; it must be 0 to 1", with("/tension", 1.5)},
        {"tension is -1e-300; it must be 0 to 1", with("/tension", -1e-300)},
        {"the number 1e999 at line 5, column 14 is too large",
         replaced("\"tension\": 0.0", "\"tension\": 1e999")},
        {"points has 3 entries; a track has 4 to 100 points", three_points.dump()},
        {"points has 101 entries; a track has 4 to 100 points", many_points.dump()},
        {"points[2] should be an object, not an array", with("/points/2", {1, 2, 3})},
        {"points[3].x is missing", without("/points/3/x")},
        {"points[3].x should be a number, not a string", with("/points/3/x", "2.5")},
        {"points[1].roll is missing", without("/points/1/roll")},
        {"the number -1e999 at line 10, column 12 is too large",
         replaced("\"z\": -2.5", "\"z\": -1e999")},
        {"the number -2e308 at line 80, column 41 is too large",
         replaced("\"train\"", "\"camera\": {\"zoom\": [[0, {}], \"1e999\", -2e308]}, \"train\"")},
        // Nesting is refused before anything is built, however the text goes on;
        // brackets in strings do not count, and a syntax error before it comes first.
        {"it is nested deeper than 64 levels (at line 1, column 65)", std::string(1 << 20, '[')},
        {"it is nested deeper than 64 levels (at line 2, column 64)",
         "{\"a\": \"[{[\\\"\", \"b\":\n" + std::string(64, '[') + "] ] ] ]\n}"},
        {"it is not valid JSON (line 2, column 1: syntax error while parsing object key",
         "{\"a\": \"[{[\\\"\",\n" + std::string(64, '[') + "] ] ] ]\n}"},
        {"handles has 7 entries; 4 points need 8 (two each)", without("/handles/7")},
        {"handles[5].y should be a number, not null", with("/handles/5/y", nullptr)},
        {"light.z should be a number, not true or false", with("/light/z", true)},
        {"generators has 21 entries; at most 20 are allowed",
         with("/generators", Json(std::vector<Json>(21, place)))},
        {"generators[0].y is missing", with("/generators", {{{"x", 0}, {"z", 0}}})},
        {"train.cars is 0; it must be 1 to 8", with("/train/cars", 0)},
        {"train.cars is 9; it must be 1 to 8", with("/train/cars", 9)},
        {"train.cars must be a whole number", with("/train/cars", 2.5)},
        {"train.speed is 1.5; it must be 0 to 1", with("/train/speed", 1.5)},
        {"train.constant_velocity should be true or false, not a number",
         with("/train/constant_velocity", 1)},
        {"train.conserve_energy is missing", without("/train/conserve_energy")},
        {"train.physics should be true or false, not a number", with("/train/physics", 1)},
        {"train.physics should be true or false, not a string", with("/train/physics", "yes")},
    };
    const Design before = RandomDesigns(7).design();
    for (const auto& [phrase, text] : table) {
        Design d = before;
        const Failure failure = design_from_json(text, d);
        ASSERT_TRUE(failure) << phrase;
        if (failure->rfind("it is not valid JSON", 0) == 0) {
            EXPECT_NE(failure->find(phrase), std::string::npos) << *failure;
            EXPECT_EQ(failure->find("last read"), std::string::npos) << *failure;
        } else {
            EXPECT_EQ(*failure, phrase);
        }
        EXPECT_TRUE(d == before) << phrase << ": the design changed";
    }
}

std::string file_text(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The fuzzer's seeds stay what their names say, and the example in the
// format's documentation is what the writer writes for the default design.
TEST(DesignFile, SeedFilesAndTheDocumentedExampleAgreeWithTheReaderAndWriter) {
    const std::filesystem::path source(LOOPTIDE_SOURCE_DIR);
    int seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(source / "fuzz/corpus-design")) {
        const std::string name = entry.path().filename().string();
        Design d;
        EXPECT_EQ(design_from_json(file_text(entry.path()), d).has_value(),
                  name.rfind("broken-", 0) == 0)
            << name;
        ++seeds;
    }
    EXPECT_GE(seeds, 4);

    const std::string doc = file_text(source / "docs/file-format.md");
    const std::size_t start = doc.find("```json\n");
    const std::size_t end = doc.find("```", start + 8);
    ASSERT_NE(end, std::string::npos);
    EXPECT_EQ(doc.substr(start + 8, end - start - 8), design_to_json(Design()));
}

TEST(DesignFile, WholeFilesComeBackAndFailuresAreSentencesNamingTheFile) {
    std::string folder = (std::filesystem::temp_directory_path() / "looptide-design-XXXXXX");
    ASSERT_NE(mkdtemp(folder.data()), nullptr);
    const std::shared_ptr<void> remove_folder(nullptr,
                                              [&](void*) { std::filesystem::remove_all(folder); });
    const std::string file = folder + "/ride.looptide";
    const Design d = RandomDesigns(99).design();
    ASSERT_FALSE(write_design(file, d));
    Design back;
    ASSERT_FALSE(read_design(file, back));
    EXPECT_TRUE(back == d);

    EXPECT_EQ(read_design(folder + "/none", back),
              "Cannot open " + folder + "/none: there is no such file.");
    std::ofstream(folder + "/list.json") << "[]";
    EXPECT_EQ(read_design(folder + "/list.json", back),
              "Cannot open " + folder +
                  "/list.json: it is not a Looptide design (its text is an array, not an object).");
    std::filesystem::resize_file(folder + "/list.json", kMaxDesignFileBytes + 1);
    EXPECT_EQ(read_design(folder + "/list.json", back),
              "Cannot open " + folder + "/list.json: it is larger than 1 MB.");
    // The largest design, every number written in full, fits many times over.
    Design largest = RandomDesigns(5).design();
    std::vector<ControlPoint> points(Track::kMaxPoints, ControlPoint(-1.0 / 3, 2.0 / 3, -1e-300));
    largest.track.set_points(points.data(), Track::kMaxPoints);
    for (int k = 0; k < 2 * Track::kMaxPoints; ++k) {
        largest.track.bezier_handle(k) = points[0];
    }
    largest.generators.assign(Scene::kMaxGenerators, points[0]);
    EXPECT_LT(design_to_json(largest, std::string(200, 't')).size(), 60'000u);
    EXPECT_TRUE(back == d);
    EXPECT_EQ(write_design(folder, d), "Cannot save " + folder + ": it is a folder.");

    // A design no file could hold is refused before anything is written.
    Design broken = d;
    broken.track.point(2).y = std::nan("");
    EXPECT_EQ(write_design(folder + "/broken", broken),
              "Cannot save " + folder +
                  "/broken: the design cannot be stored (points[2].y should be a number, not "
                  "null).");
    broken = d;
    broken.cars = 0;
    EXPECT_TRUE(write_design(folder + "/broken", broken));
    EXPECT_FALSE(std::filesystem::exists(folder + "/broken"));
}

} // namespace
