// Replays every input of the fuzz corpus through the fuzzer's own checks, so
// the cases the fuzzer found stay covered by the regular suite.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#define LOOPTIDE_FUZZ_FAIL(what) ADD_FAILURE() << "check failed: " << (what)
#include "fuzz/track_fuzz_check.h"

TEST(FuzzCorpus, EveryInputPassesTheFuzzerChecks) {
    const std::filesystem::path dir =
        std::filesystem::path(LOOPTIDE_SOURCE_DIR) / "fuzz" / "corpus";
    int replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (!entry.is_regular_file()) {
            continue;
        }
        std::ifstream file(entry.path(), std::ios::binary);
        const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                              std::istreambuf_iterator<char>());
        SCOPED_TRACE(entry.path().filename().string());
        run_track_fuzz_case(bytes.data(), bytes.size());
        ++replayed;
    }
    EXPECT_GE(replayed, 5);
}
