#include "export/glb_writer.h"

#include <cstdint>

namespace {

constexpr std::uint32_t kMagic = 0x46546C67; // "glTF"
constexpr std::uint32_t kVersion = 2;
constexpr std::uint32_t kJsonChunk = 0x4E4F534A; // "JSON"
constexpr std::uint32_t kBinChunk = 0x004E4942;  // "BIN\0"

std::size_t padded(std::size_t bytes) {
    return (bytes + 3) / 4 * 4;
}

// Little-endian, whatever the machine's order.
void put_u32(std::vector<unsigned char>& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<unsigned char>(v >> shift));
    }
}

void put_chunk(std::vector<unsigned char>& out, std::uint32_t type, const unsigned char* data,
               std::size_t size, unsigned char pad) {
    put_u32(out, static_cast<std::uint32_t>(padded(size)));
    put_u32(out, type);
    out.insert(out.end(), data, data + size);
    out.insert(out.end(), padded(size) - size, pad);
}

} // namespace

std::vector<unsigned char> glb_bytes(std::string_view json, const std::vector<unsigned char>& bin) {
    const std::size_t total =
        12 + 8 + padded(json.size()) + (bin.empty() ? 0 : 8 + padded(bin.size()));
    std::vector<unsigned char> out;
    out.reserve(total);
    put_u32(out, kMagic);
    put_u32(out, kVersion);
    put_u32(out, static_cast<std::uint32_t>(total));
    put_chunk(out, kJsonChunk, reinterpret_cast<const unsigned char*>(json.data()), json.size(),
              ' ');
    if (!bin.empty()) {
        put_chunk(out, kBinChunk, bin.data(), bin.size(), 0);
    }
    return out;
}
