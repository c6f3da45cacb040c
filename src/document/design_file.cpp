// The .looptide reader and writer. The writer lays the fields out in the
// order a person reads them; the reader walks the same fields, refusing the
// first one that is missing, of the wrong type or out of range, and builds
// the design aside so that a refusal changes nothing.
#include "document/design_file.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <new>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "document/text_writer.h"
#include "scene/ranges.h"

namespace {

using Json = nlohmann::json;
using OrderedJson = nlohmann::ordered_json;

constexpr const char* kFormatName = "looptide";
constexpr const char* kCurveNames[] = {"Linear", "Cardinal", "BSpline", "Bezier"};
// A string quoted in a message (a curve name, a key) is cut to this many bytes.
constexpr std::size_t kMaxQuotedBytes = 40;

// ---- Writing ----

const char* curve_name(CurveType type) {
    const int index = static_cast<int>(type);
    // A value outside the four evaluates as Linear, so it is stored as Linear.
    return index >= 0 && index < 4 ? kCurveNames[index] : kCurveNames[0];
}

OrderedJson place(const ControlPoint& p) {
    return OrderedJson{{"x", p.x}, {"y", p.y}, {"z", p.z}};
}

OrderedJson track_point(const ControlPoint& p) {
    return OrderedJson{{"x", p.x}, {"y", p.y}, {"z", p.z}, {"roll", p.roll}};
}

// ---- Reading ----

// A refusal while walking the text, caught by design_from_json.
struct Refusal {
    std::string phrase;
};

[[noreturn]] void refuse(std::string phrase) {
    throw Refusal{std::move(phrase)};
}

// "an object", "a string", "true or false": the value's type as a message says it.
std::string a_type_name(const Json& value) {
    if (value.is_null() || value.is_boolean()) {
        return value.is_null() ? "null" : "true or false";
    }
    return (value.is_structured() ? "an " : "a ") + std::string(value.type_name());
}

// A value as it would be written, for quoting in a message: short, and
// valid UTF-8 whatever the text held.
std::string shown(const Json& value) {
    if (value.is_string()) {
        const std::string& text = value.get_ref<const std::string&>();
        if (text.size() > kMaxQuotedBytes) {
            return Json(text.substr(0, kMaxQuotedBytes) + "...")
                .dump(-1, ' ', false, Json::error_handler_t::replace);
        }
    }
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

const Json& field(const Json& object, const char* key, const std::string& path) {
    const auto found = object.find(key);
    if (found == object.end()) {
        refuse(path + " is missing");
    }
    return *found;
}

std::string child_path(const std::string& parent, const char* key) {
    return parent.empty() ? std::string(key) : parent + "." + key;
}

const Json& typed(const Json& object, const char* key, const std::string& parent,
                  Json::value_t type, const char* type_wanted) {
    const std::string path = child_path(parent, key);
    const Json& value = field(object, key, path);
    const bool is_number = type == Json::value_t::number_float && value.is_number();
    if (value.type() != type && !is_number) {
        refuse(path + " should be " + type_wanted + ", not " + a_type_name(value));
    }
    return value;
}

const Json& object_field(const Json& object, const char* key, const std::string& parent) {
    return typed(object, key, parent, Json::value_t::object, "an object");
}

const Json& array_field(const Json& object, const char* key, const std::string& parent) {
    return typed(object, key, parent, Json::value_t::array, "an array");
}

bool bool_field(const Json& object, const char* key, const std::string& parent) {
    return typed(object, key, parent, Json::value_t::boolean, "true or false").get<bool>();
}

// A finite number. The text check refuses text such as 1e999 (see
// TextCheck); this keeps the design finite whatever the parser lets through.
double number_field(const Json& object, const char* key, const std::string& parent) {
    const double value =
        typed(object, key, parent, Json::value_t::number_float, "a number").get<double>();
    if (!std::isfinite(value)) {
        refuse(child_path(parent, key) + " is not a finite number");
    }
    return value;
}

// A finite number within `range`.
double ranged_field(const Json& object, const char* key, const std::string& parent, Range range) {
    const double value = number_field(object, key, parent);
    if (!range.holds(value)) {
        refuse(child_path(parent, key) + " is " + shown(object.at(key)) + "; it must be " +
               number_text(range.low) + " to " + number_text(range.high));
    }
    return value;
}

// A whole number, written with or without a fraction of zero.
double whole_field(const Json& object, const char* key, const std::string& parent,
                   const std::string& refusal) {
    const Json& value = typed(object, key, parent, Json::value_t::number_float, "a number");
    const double number = value.get<double>();
    if (!std::isfinite(number) || std::floor(number) != number) {
        refuse(child_path(parent, key) + " " + refusal);
    }
    return number;
}

ControlPoint read_place(const Json& object, const std::string& path) {
    return ControlPoint(number_field(object, "x", path), number_field(object, "y", path),
                        number_field(object, "z", path));
}

// An entry of an array that must be an object.
const Json& entry(const Json& array, std::size_t i, const std::string& path) {
    const Json& value = array[i];
    if (!value.is_object()) {
        refuse(path + " should be an object, not " + a_type_name(value));
    }
    return value;
}

std::string indexed(const char* name, std::size_t i) {
    return std::string(name) + "[" + std::to_string(i) + "]";
}

// The version as a message quotes it: a whole number, however large.
std::string version_text(const Json& value) {
    return value.is_number_integer() ? value.dump() : number_text(value.get<double>(), 0);
}

void check_format(const Json& top) {
    if (!top.is_object()) {
        refuse("it is not a Looptide design (its text is " + a_type_name(top) + ", not an object)");
    }
    const auto format = top.find("format");
    if (format == top.end() || *format != kFormatName) {
        refuse("it is not a Looptide design (it has no \"format\": \"looptide\")");
    }
    const double version = whole_field(top, "version", "", "must be a whole number of at least 1");
    if (version < 1) {
        refuse("version must be a whole number of at least 1");
    }
    if (version > kDesignFormatVersion) {
        refuse("it was written by a newer Looptide (format version " +
               version_text(top.at("version")) + "); this one reads version " +
               std::to_string(kDesignFormatVersion));
    }
}

CurveType read_curve(const Json& top) {
    const Json& curve = typed(top, "curve", "", Json::value_t::string, "a string");
    for (int i = 0; i < 4; ++i) {
        if (curve == kCurveNames[i]) {
            return static_cast<CurveType>(i);
        }
    }
    refuse("curve is " + shown(curve) + "; it must be Linear, Cardinal, BSpline or Bezier");
}

// The track's fields: its curve, tension, points and their handles.
void read_track(const Json& top, Track& track) {
    track.set_curve_type(read_curve(top));
    track.set_tension(static_cast<float>(ranged_field(top, "tension", "", kTensionRange)));

    const Json& points = array_field(top, "points", "");
    const std::size_t n = points.size();
    if (n < static_cast<std::size_t>(Track::kMinPoints) ||
        n > static_cast<std::size_t>(Track::kMaxPoints)) {
        refuse("points has " + std::to_string(n) + " entries; a track has " +
               std::to_string(Track::kMinPoints) + " to " + std::to_string(Track::kMaxPoints) +
               " points");
    }
    std::vector<ControlPoint> places(n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::string path = indexed("points", i);
        const Json& point = entry(points, i, path);
        places[i] = read_place(point, path);
        places[i].roll = number_field(point, "roll", path);
    }
    track.set_points(places.data(), static_cast<int>(n));

    const Json& handles = array_field(top, "handles", "");
    if (handles.size() != 2 * n) {
        refuse("handles has " + std::to_string(handles.size()) + " entries; " + std::to_string(n) +
               " points need " + std::to_string(2 * n) + " (two each)");
    }
    for (std::size_t k = 0; k < 2 * n; ++k) {
        const std::string path = indexed("handles", k);
        track.bezier_handle(static_cast<int>(k)) = read_place(entry(handles, k, path), path);
    }
}

// Reads a whole design into `design`; throws Refusal at the first problem.
void read_design_json(const Json& top, Design& design) {
    check_format(top);
    read_track(top, design.track);
    design.light = read_place(object_field(top, "light", ""), "light");

    const Json& generators = array_field(top, "generators", "");
    if (generators.size() > static_cast<std::size_t>(Scene::kMaxGenerators)) {
        refuse("generators has " + std::to_string(generators.size()) + " entries; at most " +
               std::to_string(Scene::kMaxGenerators) + " are allowed");
    }
    design.generators.clear();
    for (std::size_t g = 0; g < generators.size(); ++g) {
        const std::string path = indexed("generators", g);
        design.generators.push_back(read_place(entry(generators, g, path), path));
    }

    const Json& train = object_field(top, "train", "");
    const double cars = whole_field(train, "cars", "train", "must be a whole number");
    if (cars < 1 || cars > Train::kMaxCars) {
        refuse("train.cars is " + shown(train.at("cars")) + "; it must be 1 to " +
               std::to_string(Train::kMaxCars));
    }
    design.cars = static_cast<int>(cars);
    design.speed = ranged_field(train, "speed", "train", kSpeedRange);
    design.constant_velocity = bool_field(train, "constant_velocity", "train");
    design.conserve_energy = bool_field(train, "conserve_energy", "train");
    // Absent in files written before the animation could ride the physical speeds.
    design.physics = train.contains("physics") && bool_field(train, "physics", "train");
}

// Where byte `at` of the text lies, as the JSON parser counts: line from 1,
// column the byte's place in its line from 1.
std::string place_of(std::string_view text, std::size_t at) {
    const std::string_view before = text.substr(0, at);
    const auto lines = std::count(before.begin(), before.end(), '\n');
    const std::size_t line_start = before.rfind('\n') + 1; // npos + 1 is 0
    return "line " + std::to_string(lines + 1) + ", column " + std::to_string(at - line_start + 1);
}

// "line 3, column 7: syntax error while parsing object - unexpected end of
// input; expected '}'" out of nlohmann's message, without the echo of the
// text that was last read (which may hold anything).
std::string syntax_phrase(const std::string& what) {
    std::string phrase;
    const std::size_t at = what.find(" at line ");
    const std::size_t colon = at == std::string::npos ? at : what.find(": ", at);
    if (colon != std::string::npos) {
        phrase = what.substr(at + 4, colon - at - 4);
        std::string reason = what.substr(colon + 2);
        const std::size_t echo = reason.find("; last read: ");
        if (echo != std::string::npos) {
            reason.erase(echo);
        }
        if (!reason.empty()) {
            phrase += ": " + reason;
        }
    }
    return phrase.empty() ? "it is not valid JSON" : "it is not valid JSON (" + phrase + ")";
}

// Hands the parser the text a byte at a time and counts the bytes handed
// over, so that the handler can say where the bracket it is told of lies.
class CountingReader {
public:
    using iterator_category = std::input_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = const char&;

    CountingReader(const char* at, std::size_t& count) : at_(at), count_(&count) {}
    reference operator*() const { return *at_; }
    CountingReader& operator++() {
        ++at_;
        ++*count_;
        return *this;
    }
    bool operator==(const CountingReader& other) const { return at_ == other.at_; }
    bool operator!=(const CountingReader& other) const { return at_ != other.at_; }

private:
    const char* at_;
    std::size_t* count_;
};

// Reads the text through the parser's events without building anything, and
// keeps the first refusal: nesting past kMaxDesignNesting, a number too
// large for a double (which the parser reports without its place), or the
// parser's own syntax error.
class TextCheck final : public nlohmann::json_sax<Json> {
public:
    explicit TextCheck(std::string_view text) : text_(text) {}

    // The refusal, or empty when the text is JSON the reader may build.
    std::string run() {
        const CountingReader begin(text_.data(), read_);
        const CountingReader end(text_.data() + text_.size(), read_);
        Json::sax_parse(begin, end, this);
        return std::move(refusal_);
    }

    bool start_object(std::size_t) override { return open(); }
    bool start_array(std::size_t) override { return open(); }
    bool end_object() override { return close(); }
    bool end_array() override { return close(); }
    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t) override { return true; }
    bool number_unsigned(number_unsigned_t) override { return true; }
    bool number_float(number_float_t, const string_t&) override { return true; }
    bool string(string_t&) override { return true; }
    bool binary(binary_t&) override { return true; }
    bool key(string_t&) override { return true; }

    // `token` is the number as written, and `position` the count of bytes
    // read to its end, when the error is a number out of range (406).
    bool parse_error(std::size_t position, const std::string& token,
                     const nlohmann::detail::exception& error) override {
        if (error.id != 406) {
            refusal_ = syntax_phrase(error.what());
        } else if (depth_ == 0) {
            refusal_ = "it is not a Looptide design (its text is a number, not an object)";
        } else {
            const std::string shown_token =
                token.size() > kMaxQuotedBytes ? token.substr(0, kMaxQuotedBytes) + "..." : token;
            refusal_ = "the number " + shown_token + " at " +
                       place_of(text_, position - token.size()) + " is too large";
        }
        return false;
    }

private:
    // The parser has read the text through the bracket it reports.
    bool open() {
        if (++depth_ <= kMaxDesignNesting) {
            return true;
        }
        refusal_ = "it is nested deeper than " + std::to_string(kMaxDesignNesting) +
                   " levels (at " + place_of(text_, read_ - 1) + ")";
        return false;
    }
    bool close() {
        --depth_;
        return true;
    }

    std::string_view text_;
    std::size_t read_ = 0;
    std::size_t depth_ = 0;
    std::string refusal_;
};

} // namespace

std::string design_to_json(const Design& design, std::string_view title) {
    const Track& track = design.track;
    OrderedJson top;
    top["format"] = kFormatName;
    top["version"] = kDesignFormatVersion;
    if (!title.empty()) {
        top["title"] = std::string(title);
    }
    top["curve"] = curve_name(track.curve_type());
    // The float tension is written as the double it converts to exactly, and
    // so reads back into the same float.
    top["tension"] = static_cast<double>(track.tension());
    OrderedJson points = OrderedJson::array();
    for (int i = 0; i < track.num_points(); ++i) {
        points.push_back(track_point(track.point(i)));
    }
    top["points"] = std::move(points);
    OrderedJson handles = OrderedJson::array();
    for (int k = 0; k < 2 * track.num_points(); ++k) {
        handles.push_back(place(track.bezier_handle(k)));
    }
    top["handles"] = std::move(handles);
    top["light"] = place(design.light);
    OrderedJson generators = OrderedJson::array();
    for (const ControlPoint& g : design.generators) {
        generators.push_back(place(g));
    }
    top["generators"] = std::move(generators);
    top["train"] = OrderedJson{{"cars", design.cars},
                               {"speed", design.speed},
                               {"constant_velocity", design.constant_velocity},
                               {"conserve_energy", design.conserve_energy}};
    if (design.physics) {
        top["train"]["physics"] = true; // absent means false, as older files read
    }
    // A title that is not valid UTF-8 is written with replacement characters
    // rather than refused.
    return top.dump(2, ' ', false, OrderedJson::error_handler_t::replace) + "\n";
}

Failure design_from_json(std::string_view text, Design& design) {
    try {
        if (std::string refusal = TextCheck(text).run(); !refusal.empty()) {
            return refusal;
        }
        const Json top = Json::parse(text.begin(), text.end());
        Design read;
        read_design_json(top, read);
        design = std::move(read);
        return std::nullopt;
    } catch (const Refusal& refusal) {
        return refusal.phrase;
    } catch (const Json::exception& error) {
        return std::string("it cannot be read: ") + error.what();
    } catch (const std::bad_alloc&) {
        return std::string("there is not enough memory to read it");
    }
}

Failure read_design(const std::string& path, Design& design) {
    std::string text;
    Failure failure = read_file(path, kMaxDesignFileBytes, text);
    if (!failure) {
        failure = design_from_json(text, design);
    }
    if (failure) {
        return "Cannot open " + path + ": " + *failure + ".";
    }
    return std::nullopt;
}

Failure write_design(const std::string& path, const Design& design) {
    try {
        const std::string text = design_to_json(design);
        // A file that would not open again is not written: a design with a
        // value no file can hold (not finite, out of range) is refused here.
        Design check;
        Failure failure = design_from_json(text, check);
        if (!failure && check != design) {
            failure = "a value would not read back as it is";
        }
        if (failure) {
            return "Cannot save " + path + ": the design cannot be stored (" + *failure + ").";
        }
        AtomicWriter writer(path);
        writer.write(text);
        if (Failure written = writer.commit()) {
            return "Cannot save " + path + ": " + *written + ".";
        }
        return std::nullopt;
    } catch (const std::bad_alloc&) {
        return "Cannot save " + path + ": there is not enough memory.";
    }
}
