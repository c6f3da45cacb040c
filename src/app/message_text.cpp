// Escaping control characters and wrapping long messages.
#include "app/message_text.h"

#include <vector>

namespace {

void put_hex(std::string& out, unsigned char byte) {
    static constexpr char kDigits[] = "0123456789abcdef";
    out += "\\x";
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0xf];
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
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == '\n') {
            out += "\\n";
        } else if (byte == '\t') {
            out += "\\t";
        } else if (byte < 0x20 || byte == 0x7f) {
            put_hex(out, byte);
        } else if (byte == 0xc2 && i + 1 < text.size() &&
                   static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x9f) {
            // U+0080 to U+009F: terminals read some of them as escape sequences.
            put_hex(out, byte);
            put_hex(out, static_cast<unsigned char>(text[++i]));
        } else {
            out += static_cast<char>(byte);
        }
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
