#include "app/command_line.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <utility>

#include "analysis/ride_analysis.h"
#include "app/keys.h"
#include "document/track_table.h"

#ifndef LOOPTIDE_VERSION
#define LOOPTIDE_VERSION "unknown"
#endif

namespace {

CommandLine usage_error(std::string error) {
    CommandLine c;
    c.action = CommandLine::Action::usage_error;
    c.error = std::move(error);
    return c;
}

// A file name given on the command line that cannot be used as one; empty
// when it can.
std::string unusable_name(const std::string& name, const char* what) {
    if (name.empty()) {
        return std::string("the ") + what + " file name is empty";
    }
    if (name == "-") {
        const bool vowel = std::string_view("aeiou").find(what[0]) != std::string_view::npos;
        return std::string("\"-\" is not ") + (vowel ? "an " : "a ") + what +
               " file; to name a file -, write ./-";
    }
    return {};
}

// A place for what an argument gives: a file name (checked usable), or an
// option's value, kept as written.
struct Slot {
    const char* name;                   // the option; empty for a file name
    std::string* file;                  // where a file name goes, or null
    std::optional<NumberOption>* value; // where an option's number goes, or null
    const char* what;                   // a file's kind ("design"), or what an option's value is
};

// Reads the arguments after a command's own option (args[0]) into their
// slots: `files.size()` file names, and the `options`, each with the value
// that follows it; after "--" every argument is a file name. Returns what is
// wrong with them, or nothing.
std::string walk_arguments(const std::vector<std::string>& args, const std::vector<Slot>& options,
                           const std::vector<Slot>& files, const char* files_wanted) {
    std::size_t given = 0;
    bool any_option = true;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        const Slot* slot = nullptr;
        if (any_option && a == "--") {
            any_option = false;
            continue;
        }
        if (any_option && a.size() > 1 && a[0] == '-') {
            const auto option = std::find_if(options.begin(), options.end(),
                                             [&a](const Slot& o) { return a == o.name; });
            if (option == options.end()) {
                return "unknown option " + a;
            }
            if (++i == args.size()) {
                return a + " needs " +
                       (option->file != nullptr ? std::string("a file name") : option->what);
            }
            slot = &*option;
        } else if (given < files.size()) {
            slot = &files[given++];
        } else {
            return args[0] + " needs " + files_wanted;
        }
        if (slot->file == nullptr) {
            // One policy for every number option: text that is no number is a
            // usage error; a number out of range is refused when it is used.
            const std::optional<double> number = parse_number(args[i]);
            if (!number) {
                return std::string(slot->name) + " needs " + slot->what + ", not \"" + args[i] +
                       "\"";
            }
            *slot->value = NumberOption{*number, args[i]};
        } else if (std::string wrong = unusable_name(args[i], slot->what); !wrong.empty()) {
            return wrong;
        } else {
            *slot->file = args[i];
        }
    }
    return given == files.size() ? std::string() : args[0] + " needs " + files_wanted;
}

// --export-track DESIGN OUT [--spacing METRES], the spacing before or after.
CommandLine parse_export(const std::vector<std::string>& args) {
    CommandLine c;
    c.action = CommandLine::Action::export_track;
    const std::string wrong =
        walk_arguments(args, {{"--spacing", nullptr, &c.spacing, "a number of metres"}},
                       {{"", &c.design, nullptr, "design"}, {"", &c.output, nullptr, "output"}},
                       "a design file and an output file");
    return wrong.empty() ? c : usage_error(wrong);
}

// --export-scene DESIGN OUT.glb
CommandLine parse_export_scene(const std::vector<std::string>& args) {
    CommandLine c;
    c.action = CommandLine::Action::export_scene;
    const std::string wrong = walk_arguments(
        args, {}, {{"", &c.design, nullptr, "design"}, {"", &c.output, nullptr, "output"}},
        "a design file and an output file");
    return wrong.empty() ? c : usage_error(wrong);
}

// --ride-report DESIGN [--speed M/S] [--forces OUT.csv].
CommandLine parse_ride_report(const std::vector<std::string>& args) {
    CommandLine c;
    c.action = CommandLine::Action::ride_report;
    const std::string wrong =
        walk_arguments(args,
                       {{"--speed", nullptr, &c.speed, "a number of metres per second"},
                        {"--forces", &c.output, nullptr, "forces"}},
                       {{"", &c.design, nullptr, "design"}}, "one design file");
    return wrong.empty() ? c : usage_error(wrong);
}

} // namespace

std::optional<double> parse_number(const std::string& text) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text.front())) ||
        std::isspace(static_cast<unsigned char>(text.back()))) {
        return std::nullopt;
    }
    if (text.find_first_of("xX") != std::string::npos) {
        return std::nullopt; // hexadecimal, which strtod would read
    }
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (*end != '\0' || std::isnan(value)) {
        return std::nullopt;
    }
    return value == 0.0 ? 0.0 : value;
}

CommandLine parse_command_line(const std::vector<std::string>& args) {
    if (args.empty()) {
        return {};
    }
    const std::string& first = args[0];
    if (first == "--help" || first == "-h") {
        CommandLine c;
        c.action = CommandLine::Action::help;
        return args.size() == 1 ? c : usage_error("--help takes no arguments");
    }
    if (first == "--version") {
        CommandLine c;
        c.action = CommandLine::Action::version;
        return args.size() == 1 ? c : usage_error("--version takes no arguments");
    }
    if (first == "--export-track") {
        return parse_export(args);
    }
    if (first == "--ride-report") {
        return parse_ride_report(args);
    }
    if (first == "--export-scene") {
        return parse_export_scene(args);
    }
    // "--" ends the options: a design whose name starts with a dash.
    std::size_t at = 0;
    if (first == "--") {
        at = 1;
    } else if (first.size() > 1 && first[0] == '-') {
        return usage_error("unknown option " + first);
    }
    if (args.size() != at + 1) {
        return usage_error(args.size() == at ? "-- needs a design file after it"
                                             : "one design file at a time");
    }
    CommandLine c;
    c.design = args[at];
    if (std::string wrong = unusable_name(c.design, "design"); !wrong.empty()) {
        return usage_error(wrong);
    }
    return c;
}

namespace {

// A limit as the usage text writes it: 0.5, 0.05, 10.
std::string limit_text(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// A count with its thousands grouped: 10,000,000.
std::string grouped(long count) {
    std::string digits = std::to_string(count);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<std::size_t>(at), ",");
    }
    return digits;
}

} // namespace

std::string usage_text() {
    return "Usage:\n"
           "  looptide [FILE]\n"
           "      Starts the editor, with the design FILE (a .looptide file) when given.\n"
           "  looptide --export-track DESIGN OUT [--spacing METRES]\n"
           "      Writes the track of DESIGN to OUT as a tab-separated track table\n"
           "      (No., PosX..Z, FrontX..Z, LeftX..Z, UpX..Z; metres, y up), one row\n"
           "      every METRES along the track (default " +
           limit_text(kDefaultTableSpacing) + ", from " + limit_text(kMinTableSpacing) + " to " +
           limit_text(kMaxTableSpacing) + "; at most\n      " + grouped(kMaxTableRows) +
           " rows). Needs no display.\n"
           "  looptide --export-scene DESIGN OUT.glb\n"
           "      Writes the scene of DESIGN to OUT.glb as binary glTF 2.0: the ground,\n"
           "      the rails, the ties, the train and the light, with one lap of the\n"
           "      train at the ride's speeds as an animation. Needs no display.\n"
           "  looptide --ride-report DESIGN [--speed M/S] [--forces OUT.csv]\n"
           "      Prints the ride's summary as JSON: length, speeds, lap time, the\n"
           "      vertical, lateral and longitudinal G extremes, airtime, inversions\n"
           "      and corners, under the design's own speed settings, with the Coaster\n"
           "      Velocity M/S (metres per second) when given. --forces writes speed\n"
           "      and G-forces every " +
           limit_text(kRideSampleSpacing) +
           " m as CSV. Needs no display.\n"
           "  looptide --help       Shows this text.\n"
           "  looptide --version    Shows the version.\n"
           "\n"
           "Keys in the editor:\n" +
           key_help("  ");
}

std::string version_line() {
    return std::string("Looptide ") + LOOPTIDE_VERSION;
}
