// The .looptide file: a design as JSON, read and written with nlohmann JSON.
// The file names its format and version; a reader takes its own version and
// older ones, refuses newer ones, and ignores fields it does not know. Every
// double is written so that it reads back bit for bit. No GL, no FLTK.
#pragma once

#include <string>
#include <string_view>

#include "document/design.h"
#include "document/file_io.h"

constexpr int kDesignFormatVersion = 1;
// Larger files are refused unread: a design of 100 points is about 30 kB.
constexpr std::size_t kMaxDesignFileBytes = 16 * 1024 * 1024;

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
