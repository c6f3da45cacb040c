// Messages stay one line whatever a name holds, and long ones fit a dialog.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>

#include "app/message_text.h"

namespace {

TEST(MessageText, ControlCharactersAreShownEscapedAndAllElseStays) {
    const std::pair<std::string, std::string> cases[] = {
        {"Cannot open a/ride.looptide: it is empty.", "Cannot open a/ride.looptide: it is empty."},
        {"two\nlines\ttab", "two\\nlines\\ttab"},
        {"\x1b[31mred\x7f\x01", "\\x1b[31mred\\x7f\\x01"},
        {"caf\xc3\xa9 \xc2\x9b"
         "2J \xc2\xa0",
         "caf\xc3\xa9 \\xc2\\x9b"
         "2J \xc2\xa0"},
        {std::string("nul\0in", 6), "nul\\x00in"},
        // Bytes that are no UTF-8 are escaped one by one; valid sequences stay.
        {"latin1 caf\xe9.looptide", "latin1 caf\\xe9.looptide"},
        {"\xff\xfe \x80 \xc3", "\\xff\\xfe \\x80 \\xc3"},
        {"overlong \xc0\xaf \xe0\x80\xaf \xf0\x80\x80\xaf",
         "overlong \\xc0\\xaf \\xe0\\x80\\xaf \\xf0\\x80\\x80\\xaf"},
        {"surrogate \xed\xa0\x80 past \xf4\x90\x80\x80",
         "surrogate \\xed\\xa0\\x80 past \\xf4\\x90\\x80\\x80"},
        {"cut \xe2\x82 \xf0\x9f\x8e", "cut \\xe2\\x82 \\xf0\\x9f\\x8e"},
        {"\xe2\x82\xac \xed\x9f\xbf \xf0\x9f\x8e\xa2 \xf4\x8f\xbf\xbf",
         "\xe2\x82\xac \xed\x9f\xbf \xf0\x9f\x8e\xa2 \xf4\x8f\xbf\xbf"},
    };
    for (const auto& [text, shown] : cases) {
        EXPECT_EQ(printable(text), shown);
    }
}

TEST(MessageText, WrappedLinesFitTheWidthAndTheMiddleGivesWayPastTheLineLimit) {
    const std::string path = "/home/rider/" + std::string(500, 'p') + "/ride.looptide";
    const std::string message = "Cannot open " + path + ": there is no such file.";
    struct Case {
        std::string text;
        std::size_t lines;
    } const cases[] = {
        {"short words stay on one line", 1},
        {"first line\nsecond line", 2},
        {message, 9},
        {message + "\n" + message + "\n" + message, 10},
    };
    for (const Case& c : cases) {
        const std::string out = wrapped(c.text, 72, 10);
        std::istringstream in(out);
        std::size_t lines = 0;
        for (std::string line; std::getline(in, line); ++lines) {
            EXPECT_LE(line.size(), 72u) << line;
        }
        EXPECT_EQ(lines, c.lines) << out;
        EXPECT_EQ(out.rfind(c.text.substr(c.text.size() - 10)), out.size() - 10) << out;
    }
    // Nothing is lost while the lines fit: only the breaks are new.
    std::string joined = wrapped(message, 72, 24);
    joined.erase(std::remove(joined.begin(), joined.end(), '\n'), joined.end());
    std::string spaceless = message;
    spaceless.erase(std::remove(spaceless.begin(), spaceless.end(), ' '), spaceless.end());
    joined.erase(std::remove(joined.begin(), joined.end(), ' '), joined.end());
    EXPECT_EQ(joined, spaceless);
}

} // namespace
