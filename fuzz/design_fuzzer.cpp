// libFuzzer entry for the .looptide reader: any text is either read or
// refused, without a crash or a leak, and a refusal leaves the design as it
// was. Whatever reads writes back to a text that reads to the same design,
// bit for bit, and that writes the same text again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "document/design_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // A design unlike the default, so that a read that fails halfway and
    // leaves part of its work behind shows.
    Design design;
    design.track.add_point();
    design.track.point(2).roll = -0.0;
    design.generators.assign(3, ControlPoint(1.0, 0.0, 2.0));
    design.cars = 5;
    const Design before = design;
    if (design_from_json(text, design)) {
        if (design != before) {
            std::abort();
        }
        return 0;
    }
    const std::string written = design_to_json(design);
    Design back = before;
    if (design_from_json(written, back) || back != design || design_to_json(back) != written) {
        std::abort();
    }
    return 0;
}
