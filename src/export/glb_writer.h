// The binary glTF container (.glb): a 12-byte header, then the JSON chunk
// padded with spaces and the binary chunk padded with zeros, each to four
// bytes. It knows nothing of what the JSON says.
#pragma once

#include <string_view>
#include <vector>

// The whole .glb file: format version 2, the JSON chunk, and the binary chunk
// when `bin` is not empty.
std::vector<unsigned char> glb_bytes(std::string_view json, const std::vector<unsigned char>& bin);
