// Numbers written one way in every file and message, and the writer that hands
// a long text (a table of rows) to its sink in bounded chunks. No GL, no FLTK.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// A text reaches its sink in chunks of at most this many bytes.
constexpr std::size_t kTextChunkBytes = 32 * 1024;
// The `decimals` that ask for the shortest text reading back to the same double.
constexpr int kShortest = -1;
constexpr int kMaxDecimals = 17;

// `value` as text: by default the shortest that reads back to the same double
// ("0", "0.05", "-180", "1.2e+19"); with 0 <= decimals <= kMaxDecimals, fixed
// notation with that many decimals, a value that rounds to zero written
// unsigned ("0.000000", never "-0.000000").
std::string number_text(double value, int decimals = kShortest);

// Gathers text in a buffer of its own and hands it to `sink` in chunks of at
// most kTextChunkBytes, so that a table of any length is written without an
// allocation per row. flush() hands over what is left; call it at the end.
class ChunkedWriter {
public:
    explicit ChunkedWriter(std::function<void(std::string_view)> sink);
    ChunkedWriter(const ChunkedWriter&) = delete;
    ChunkedWriter& operator=(const ChunkedWriter&) = delete;

    void text(std::string_view bytes);
    // As number_text writes it.
    void number(double value, int decimals = kShortest);
    void whole(long value);
    void flush();

private:
    // Flushes first when fewer than `bytes` bytes are free.
    void make_room(std::size_t bytes);

    std::function<void(std::string_view)> sink_;
    std::array<char, kTextChunkBytes> buffer_;
    std::size_t used_ = 0;
};
