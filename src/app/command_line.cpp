#include "app/command_line.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <utility>

#include "app/keys.h"
#include "document/design_file.h"
#include "document/message_text.h"
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

// A number of metres written as a decimal number and nothing else, spaces
// included; empty when the text is not one (NaN is not). A number too large
// or too small for a double reads as infinity or zero, which the range check
// then refuses.
std::optional<double> parse_metres(const std::string& text) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text.front())) ||
        std::isspace(static_cast<unsigned char>(text.back()))) {
        return std::nullopt;
    }
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (*end != '\0' || std::isnan(value)) {
        return std::nullopt;
    }
    return value;
}

// A file name given on the command line that cannot be used as one; empty
// when it can.
std::string unusable_name(const std::string& name, const char* what) {
    if (name.empty()) {
        return std::string("the ") + what + " file name is empty";
    }
    if (name == "-") {
        return std::string("\"-\" is not a ") + what + " file; to name a file -, write ./-";
    }
    return {};
}

CommandLine parse_export(const std::vector<std::string>& args) {
    // --export-track DESIGN OUT [--spacing METRES], the spacing before or
    // after; after "--" every argument is a file name.
    CommandLine c;
    c.action = CommandLine::Action::export_track;
    c.spacing = kDefaultTableSpacing;
    std::vector<std::string> files;
    bool options = true;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (options && a == "--") {
            options = false;
        } else if (options && a == "--spacing") {
            if (i + 1 == args.size()) {
                return usage_error("--spacing needs a number of metres");
            }
            c.spacing_text = args[++i];
            const std::optional<double> spacing = parse_metres(c.spacing_text);
            if (!spacing) {
                return usage_error("--spacing needs a number of metres, not \"" + args[i] + "\"");
            }
            c.spacing = *spacing;
        } else if (options && a.size() > 1 && a[0] == '-') {
            return usage_error("unknown option " + a);
        } else {
            files.push_back(a);
        }
    }
    if (files.size() != 2) {
        return usage_error("--export-track needs a design file and an output file");
    }
    c.design = files[0];
    c.output = files[1];
    for (const auto& [name, what] : {std::pair{&c.design, "design"}, {&c.output, "output"}}) {
        if (std::string wrong = unusable_name(*name, what); !wrong.empty()) {
            return usage_error(wrong);
        }
    }
    return c;
}

} // namespace

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

std::string usage_text() {
    return "Usage:\n"
           "  looptide [FILE]\n"
           "      Starts the editor, with the design FILE (a .looptide file) when given.\n"
           "  looptide --export-track DESIGN OUT [--spacing METRES]\n"
           "      Writes the track of DESIGN to OUT as a tab-separated track table\n"
           "      (No., PosX..Z, FrontX..Z, LeftX..Z, UpX..Z; metres, y up), one row\n"
           "      every METRES along the track (default 0.5, from 0.05 to 10).\n"
           "      Needs no display.\n"
           "  looptide --help       Shows this text.\n"
           "  looptide --version    Shows the version.\n"
           "\n"
           "Keys in the editor:\n" +
           key_help("  ");
}

std::string version_text() {
    return std::string("Looptide ") + LOOPTIDE_VERSION;
}

void report_failure(const std::string& sentence) {
    std::fprintf(stderr, "looptide: %s\n", printable(sentence).c_str());
}

int run_export(const CommandLine& command) {
    if (Failure bad = check_table_spacing(command.spacing, command.spacing_text)) {
        report_failure(*bad + ".");
        return 1;
    }
    Design design;
    if (Failure failure = read_design(command.design, design)) {
        report_failure(*failure);
        return 1;
    }
    if (same_file(command.design, command.output)) {
        report_failure("Cannot export the track table to " + command.output +
                       ": it is the design file being read.");
        return 1;
    }
    if (Failure failure = export_track_table(design.track, command.spacing, command.output)) {
        report_failure(*failure);
        return 1;
    }
    return 0;
}
