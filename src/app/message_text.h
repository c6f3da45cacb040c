// Messages as a person reads them: one line whatever a file name holds, and
// broken into lines that fit a dialog. Text only; no GL, no FLTK.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// `text` with every control character shown escaped, so that a message stays
// one line and sends nothing to a terminal: newline as \n, tab as \t, other
// control bytes (C0, DEL and the C1 range written in UTF-8) and every byte
// that is not part of valid UTF-8 as \xHH.
std::string printable(std::string_view text);

// `text` broken at spaces into lines of at most `width` bytes (a word longer
// than that is cut), keeping its own line breaks. Past `max_lines` lines the
// middle ones give way to a line "...", so the whole fits a dialog on a small
// screen. 0 < width, 2 < max_lines.
std::string wrapped(std::string_view text, std::size_t width, std::size_t max_lines);
