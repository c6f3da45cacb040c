// One number formatter over std::to_chars, and the chunked writer around it.
#include "document/text_writer.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <utility>

namespace {

// The longest number: a finite double in fixed notation has at most a sign,
// 309 digits before the point, the point and its decimals; the shortest
// form is under 25 bytes.
constexpr std::size_t kMaxNumberBytes = 1 + 309 + 1 + kMaxDecimals;
// The longest whole number: a sign and 19 digits.
constexpr std::size_t kMaxWholeBytes = 20;
static_assert(kMaxNumberBytes < kTextChunkBytes / 8, "a chunk holds many numbers");

// Writes `value` at `p` as number_text says, with room for kMaxNumberBytes.
char* put_number(char* p, double value, int decimals) {
    char* const start = p;
    char* const end = p + kMaxNumberBytes;
    if (decimals < 0) {
        return std::to_chars(p, end, value).ptr;
    }
    p = std::to_chars(p, end, value, std::chars_format::fixed, std::min(decimals, kMaxDecimals))
            .ptr;
    // A small negative value rounds to "-0.000000": zero is written unsigned.
    if (*start == '-' && std::all_of(start + 1, p, [](char c) { return c == '0' || c == '.'; })) {
        std::memmove(start, start + 1, static_cast<std::size_t>(p - start - 1));
        --p;
    }
    return p;
}

} // namespace

std::string number_text(double value, int decimals) {
    std::array<char, kMaxNumberBytes> text;
    return std::string(text.data(), put_number(text.data(), value, decimals));
}

ChunkedWriter::ChunkedWriter(std::function<void(std::string_view)> sink) : sink_(std::move(sink)) {}

void ChunkedWriter::make_room(std::size_t bytes) {
    if (buffer_.size() - used_ < bytes) {
        flush();
    }
}

void ChunkedWriter::text(std::string_view bytes) {
    for (;;) {
        const std::size_t piece = std::min(bytes.size(), buffer_.size() - used_);
        std::copy_n(bytes.data(), piece, buffer_.data() + used_);
        used_ += piece;
        bytes.remove_prefix(piece);
        if (bytes.empty()) {
            return;
        }
        flush();
    }
}

void ChunkedWriter::number(double value, int decimals) {
    make_room(kMaxNumberBytes);
    char* const start = buffer_.data() + used_;
    used_ += static_cast<std::size_t>(put_number(start, value, decimals) - start);
}

void ChunkedWriter::whole(long value) {
    make_room(kMaxWholeBytes);
    char* const start = buffer_.data() + used_;
    used_ +=
        static_cast<std::size_t>(std::to_chars(start, start + kMaxWholeBytes, value).ptr - start);
}

void ChunkedWriter::flush() {
    if (used_ > 0) {
        sink_(std::string_view(buffer_.data(), used_));
        used_ = 0;
    }
}
