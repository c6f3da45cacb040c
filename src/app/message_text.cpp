// Escaping control characters and bytes that are no UTF-8, and wrapping long
// messages.
#include "app/message_text.h"

#include <algorithm>
#include <vector>

namespace {

void put_hex(std::string& out, unsigned char byte) {
    static constexpr char kDigits[] = "0123456789abcdef";
    out += "\\x";
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0xf];
}

// The bytes of the UTF-8 sequence that starts at text[i], or 0 when the
// bytes there are none (a stray continuation byte, an overlong form, a
// surrogate, a code point past U+10FFFF or a sequence cut short).
std::size_t utf8_length(std::string_view text, std::size_t i) {
    const auto at = [&](std::size_t k) {
        return i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : 0u;
    };
    const unsigned lead = at(0);
    if (lead < 0x80) {
        return 1;
    }
    // The second byte's range depends on the lead; the rest are 0x80 to 0xbf.
    unsigned low = 0x80;
    unsigned high = 0xbf;
    std::size_t length = 0;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        low = lead == 0xe0 ? 0xa0 : low;
        high = lead == 0xed ? 0x9f : high;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        low = lead == 0xf0 ? 0x90 : low;
        high = lead == 0xf4 ? 0x8f : high;
    }
    if (length == 0 || at(1) < low || at(1) > high) {
        return 0;
    }
    for (std::size_t k = 2; k < length; ++k) {
        if ((at(k) & 0xc0) != 0x80) {
            return 0;
        }
    }
    return length;
}

// Lines of at most `width` bytes out of one line of text, broken at spaces.
void wrap_line(std::string_view line, std::size_t width, std::vector<std::string_view>& lines) {
    while (line.size() > width) {
        std::size_t cut = line.rfind(' ', width);
        if (cut == std::string_view::npos || cut == 0) {
            // A word longer than a line is cut, away from a UTF-8 sequence's middle.
            cut = width;
            while (cut > 1 && (static_cast<unsigned char>(line[cut]) & 0xc0) == 0x80) {
                --cut;
            }
            lines.push_back(line.substr(0, cut));
            line.remove_prefix(cut);
        } else {
            lines.push_back(line.substr(0, cut));
            line.remove_prefix(cut + 1);
        }
    }
    lines.push_back(line);
}

} // namespace

std::string printable(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const std::size_t length = utf8_length(text, i);
        if (byte == '\n' || byte == '\t') {
            out += byte == '\n' ? "\\n" : "\\t";
        } else if (length == 0 || byte < 0x20 || byte == 0x7f ||
                   (byte == 0xc2 && static_cast<unsigned char>(text[i + 1]) <= 0x9f)) {
            // Bytes that are no UTF-8, and U+0080 to U+009F, which terminals
            // read as escape sequences, are escaped byte by byte.
            for (std::size_t k = 0; k < std::max<std::size_t>(length, 1); ++k) {
                put_hex(out, static_cast<unsigned char>(text[i + k]));
            }
        } else {
            out.append(text.substr(i, length));
        }
        i += std::max<std::size_t>(length, 1);
    }
    return out;
}

std::string wrapped(std::string_view text, std::size_t width, std::size_t max_lines) {
    std::vector<std::string_view> lines;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find('\n', start);
        wrap_line(text.substr(start, end - start), width, lines);
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
    std::string out;
    const std::size_t head = lines.size() > max_lines ? (max_lines - 1) / 2 : lines.size();
    const std::size_t tail = lines.size() > max_lines ? max_lines - 1 - head : 0;
    for (std::size_t i = 0; i < head; ++i) {
        out.append(lines[i]).append(i + 1 < lines.size() ? "\n" : "");
    }
    if (tail > 0) {
        out += "...\n";
        for (std::size_t i = lines.size() - tail; i < lines.size(); ++i) {
            out.append(lines[i]).append(i + 1 < lines.size() ? "\n" : "");
        }
    }
    return out;
}
