// Numbers are written one way everywhere, and long texts reach their sink
// whole, in chunks no larger than the writer's buffer.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <string>
#include <vector>

#include "document/text_writer.h"

namespace {

TEST(TextWriter, NumbersAreShortestOrFixedAndARoundedZeroHasNoSign) {
    struct Case {
        double value;
        int decimals;
        std::string text;
    } const cases[] = {
        {0.05, kShortest, "0.05"},
        {-180.0, kShortest, "-180"},
        {1.0 / 3, kShortest, "0.3333333333333333"},
        {-0.0, kShortest, "-0"},
        {1e20, 0, "100000000000000000000"},
        {2.5, 0, "2"},
        {-1e-7, 6, "0.000000"},
        {-0.0, 6, "0.000000"},
        {-4e-7, 3, "0.000"},
        {-6e-7, 6, "-0.000001"},
        {-1.5, 6, "-1.500000"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(number_text(c.value, c.decimals), c.text) << c.value << ", " << c.decimals;
    }
    // The longest number there is: a sign, 309 digits, the point and the decimals.
    EXPECT_EQ(number_text(-DBL_MAX, kMaxDecimals).size(), 1u + 309 + 1 + kMaxDecimals);
}

TEST(TextWriter, AllTheTextArrivesInOrderInChunksThatFitTheBuffer) {
    std::string expected;
    std::vector<std::size_t> chunks;
    std::string got;
    {
        ChunkedWriter out([&](std::string_view chunk) {
            chunks.push_back(chunk.size());
            got += chunk;
        });
        const std::string long_text(3 * kTextChunkBytes + 7, 'x');
        for (long i = 0; i < 20000; ++i) {
            const double value = std::sqrt(static_cast<double>(i)) * (i % 2 == 0 ? 1 : -1e300);
            out.whole(-i);
            out.text(",");
            out.number(value, i % 3 == 0 ? 6 : kShortest);
            out.text(i % 5000 == 0 ? long_text : "\n");
            expected += std::to_string(-i) + "," + number_text(value, i % 3 == 0 ? 6 : kShortest) +
                        (i % 5000 == 0 ? long_text : "\n");
        }
        out.flush();
        out.flush(); // nothing is left to hand over
    }
    EXPECT_EQ(got, expected);
    ASSERT_GT(chunks.size(), 10u);
    for (const std::size_t size : chunks) {
        EXPECT_GT(size, 0u);
        EXPECT_LE(size, kTextChunkBytes);
    }
}

} // namespace
