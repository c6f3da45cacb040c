// What the command line asks for: the editor (with or without a design to
// open), help, the version, or a track-table export that needs no display.
// Parsing only; main() carries it out.
#pragma once

#include <string>
#include <vector>

struct CommandLine {
    enum class Action { edit, help, version, export_track, usage_error };

    Action action = Action::edit;
    std::string design;       // edit: the file to open (empty: none); export: the design to read
    std::string output;       // export: the table to write
    double spacing = 0.0;     // export: metres between rows
    std::string spacing_text; // export: the spacing as written, when given
    std::string error;        // usage_error: what was wrong, one line
};

// argv[1..] without the program's name.
CommandLine parse_command_line(const std::vector<std::string>& args);

// The text of --help.
std::string usage_text();
// "Looptide VERSION".
std::string version_text();

// One line on stderr: "looptide: " and the sentence, its control characters
// shown escaped.
void report_failure(const std::string& sentence);

// Reads the design and writes its track table, with no display. Returns the
// exit status: 0 on success; 1 with one line on stderr on any failure,
// among them an output that is the design file itself.
int run_export(const CommandLine& command);
