// What the command line asks for: the editor (with or without a design to
// open), help, the version, or a command that needs no display (the track
// table, the ride report). Parsing only; main() carries it out.
#pragma once

#include <optional>
#include <string>
#include <vector>

// A number option as given: its value and the text it was read from (for
// messages that quote it: 1e400 reads as infinity).
struct NumberOption {
    double value = 0.0;
    std::string text;
};

struct CommandLine {
    enum class Action { edit, help, version, export_track, export_scene, ride_report, usage_error };

    Action action = Action::edit;
    std::string design;                  // the file to open (empty: none), or the design to read
    std::string output;                  // export: the table or scene; ride report: the forces (empty: none)
    std::optional<NumberOption> spacing; // export: metres between rows, when given
    std::optional<NumberOption> speed;   // ride report: the Coaster Velocity in m/s, when given
    std::string error;                   // usage_error: what was wrong, one line
};

// A number written as a decimal number and nothing else, spaces included;
// empty when the text is not one (NaN and hexadecimal such as 0x10 are not).
// A number too large or too small for a double reads as infinity or zero, for
// a range check to refuse; -0 reads as 0.
std::optional<double> parse_number(const std::string& text);

// argv[1..] without the program's name.
CommandLine parse_command_line(const std::vector<std::string>& args);

// The text of --help.
std::string usage_text();
// "Looptide VERSION".
std::string version_line();
