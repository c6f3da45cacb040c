// Opens the X display for the toolkit once, before any test of a display
// suite runs, and retries for a few seconds if the server refuses at first:
// the toolkit itself ends the whole test program on a failed open.
// gtest comes first: the X headers define macros (None, Bool) it also uses.
#include <gtest/gtest.h>

#include <FL/x.H>

#include <chrono>
#include <cstdio>
#include <thread>

namespace {

class DisplayEnvironment : public testing::Environment {
public:
    void SetUp() override {
        for (int attempt = 0; attempt < 50; ++attempt) {
            if (Display* display = XOpenDisplay(nullptr)) {
                fl_open_display(display);
                return;
            }
            std::fprintf(stderr, "display not open yet, retrying\n");
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
};

const testing::Environment* const display_environment =
    testing::AddGlobalTestEnvironment(new DisplayEnvironment);

} // namespace
