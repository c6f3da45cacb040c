// Where in a JSON text the number lies that is too large for a double: the
// JSON library refuses such a number (1e999) with an error that names neither
// its place nor its field. Text only; no GL, no FLTK.
#pragma once

#include <string>
#include <string_view>

// The path of the first number in `text` too large for a double, as the
// design reader names fields ("points[0].z", "train.speed"); empty when the
// text is that number alone. Containers nested deeper than 32 end the path
// in "...".
std::string overflowing_number_path(std::string_view text);
