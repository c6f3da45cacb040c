// libFuzzer entry for the track model; the decoding and checks live in
// track_fuzz_check.h so that the corpus replays as a regular test.
#include <cstddef>
#include <cstdint>

#include "track_fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    run_track_fuzz_case(data, size);
    return 0;
}
