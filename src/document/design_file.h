// The .looptide file: a design as JSON, read and written with nlohmann JSON.
// The file names its format and version; a reader takes its own version and
// older ones, refuses newer ones, and ignores fields it does not know. Every
// double is written so that it reads back bit for bit. No GL, no FLTK.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "document/design.h"
#include "document/file_io.h"

constexpr int kDesignFormatVersion = 1;
// Larger files are refused unread: the largest design, 100 points with every
// number written in full and 20 generators, is under 60 kB.
constexpr std::size_t kMaxDesignFileBytes = 1024 * 1024;
// Arrays and objects nested deeper than this are refused before the parser
// builds anything: a design nests three deep.
constexpr std::size_t kMaxDesignNesting = 64;

// The design as the text of a .looptide file. A non-empty title is written
// in the "title" field, which readers ignore.
std::string design_to_json(const Design& design, std::string_view title = {});
// Reads a design from the text of a .looptide file into `design`, which is
// left unchanged on failure; the failure names the first problem found
// (with line and column when the text is not JSON).
Failure design_from_json(std::string_view text, Design& design);

// Whole files: the failure is a sentence that names the file, as "Cannot
// open FILE: problem." or "Cannot save FILE: problem.".
Failure read_design(const std::string& path, Design& design);
Failure write_design(const std::string& path, const Design& design);
