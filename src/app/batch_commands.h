// The commands that run without a display: the track-table export, the scene
// export and the ride report. Each reads a design, writes its output, and says in one line on
// stderr why it could not.
#pragma once

#include <string>

#include "app/command_line.h"

// One line on stderr: "looptide: " and the sentence, its control characters
// shown escaped.
void report_failure(const std::string& sentence);

// Reads the design and writes its track table. Returns the exit status: 0 on
// success; 1 with one line on stderr on any failure, among them an output that
// is the design file itself.
int run_export(const CommandLine& command);

// Reads the design and writes its scene as binary glTF. Returns 0 on success;
// 1 with one line on stderr for a bad design or an output that cannot be
// written (or is the design file itself).
int run_export_scene(const CommandLine& command);

// Reads the design and prints its ride summary as JSON on stdout; with an
// output, writes the forces there as CSV too. The speed model is the design's,
// with the speed given in metres per second if any. Returns 0 on success; 1
// with one line on stderr for a bad design, a speed that is negative or not a
// finite number, or a forces file that cannot be written (or is the design).
int run_ride_report(const CommandLine& command);
