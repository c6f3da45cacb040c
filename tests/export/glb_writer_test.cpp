// The .glb container: a header that counts every byte, and two chunks padded
// to four bytes, the JSON with spaces and the binary with zeros.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "export/glb_writer.h"

namespace {

std::uint32_t u32(const std::vector<unsigned char>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

TEST(GlbWriter, HeaderCountsEveryByteAndChunksArePadded) {
    const struct {
        std::string json;
        std::size_t bin;
    } rows[] = {
        {"{}", 0}, {"{\"a\":1}", 5}, {"{\"ab\":1}", 4}, {"{\"abc\":1}", 1}, {"{\"\":[]}", 7}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.json);
        std::vector<unsigned char> bin(row.bin);
        for (std::size_t k = 0; k < bin.size(); ++k) {
            bin[k] = static_cast<unsigned char>(0xA0 + k);
        }
        const std::vector<unsigned char> glb = glb_bytes(row.json, bin);
        ASSERT_GE(glb.size(), 20u);
        EXPECT_EQ(std::string(glb.begin(), glb.begin() + 4), "glTF");
        EXPECT_EQ(u32(glb, 4), 2u);
        EXPECT_EQ(u32(glb, 8), glb.size());
        const std::size_t json_length = u32(glb, 12);
        EXPECT_EQ(json_length, (row.json.size() + 3) / 4 * 4);
        EXPECT_EQ(std::string(glb.begin() + 16, glb.begin() + 20), "JSON");
        std::string padded = row.json;
        padded.resize(json_length, ' ');
        EXPECT_EQ(std::string(glb.begin() + 20, glb.begin() + 20 + json_length), padded);
        std::size_t at = 20 + json_length;
        if (row.bin > 0) {
            const std::size_t bin_length = u32(glb, at);
            EXPECT_EQ(bin_length, (row.bin + 3) / 4 * 4);
            EXPECT_EQ(std::string(glb.begin() + at + 4, glb.begin() + at + 8),
                      std::string("BIN\0", 4));
            bin.resize(bin_length, 0);
            EXPECT_EQ(
                std::vector<unsigned char>(glb.begin() + at + 8, glb.begin() + at + 8 + bin_length),
                bin);
            at += 8 + bin_length;
        }
        EXPECT_EQ(at, glb.size());
    }
}

} // namespace
