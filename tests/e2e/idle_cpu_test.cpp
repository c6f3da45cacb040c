// The real program under the current X display: it must sleep while nothing
// moves (no busy idle loop) and keep animating once "Animate" is pressed.
// CPU shares are printed for the log; only a generous idle ceiling is checked.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>

#include "e2e/e2e_support.h"

namespace {

using Clock = std::chrono::steady_clock;

// User plus system CPU time of a process, in clock ticks; -1 once it is gone.
long cpu_ticks(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) {
        return -1;
    }
    // The command name may hold spaces; the fields after it are plain numbers.
    std::istringstream rest(line.substr(line.rfind(')') + 2));
    std::string field;
    long utime = 0, stime = 0;
    // state is field 3; utime and stime are fields 14 and 15.
    for (int i = 3; i <= 15 && rest >> field; ++i) {
        if (i == 14) {
            utime = std::stol(field);
        } else if (i == 15) {
            stime = std::stol(field);
        }
    }
    return utime + stime;
}

// Share of one core that the process used over the next `seconds`.
double cpu_share(pid_t pid, double seconds) {
    const long before = cpu_ticks(pid);
    const auto start = Clock::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    const long after = cpu_ticks(pid);
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    if (before < 0 || after < 0) {
        return -1.0;
    }
    return static_cast<double>(after - before) / static_cast<double>(sysconf(_SC_CLK_TCK)) / wall;
}

} // namespace

TEST(IdleCpu, SleepsWhileStillAndAnimatesAfterAnimateIsPressed) {
    const std::string display = e2e::current_display();
    if (display.empty()) {
        GTEST_SKIP() << "needs an X display";
    }
    if (e2e::run(display, "command -v xdotool").out.empty() ||
        e2e::run(display, "command -v import").out.empty()) {
        GTEST_SKIP() << "needs xdotool and ImageMagick";
    }

    e2e::Program program(display);
    const pid_t pid = program.pid();
    ASSERT_GT(pid, 0) << "could not start " << LOOPTIDE_BINARY;

    // Our own window: several copies of the program may share the display.
    const std::string window = program.wait_for_window();
    ASSERT_FALSE(window.empty()) << "the Looptide window did not appear";
    std::this_thread::sleep_for(std::chrono::seconds(1)); // let the first frames settle

    // Still: nothing is due, so the process should be asleep in the event loop.
    e2e::Image still_a, still_b;
    const bool shot_a = e2e::screenshot(display, &still_a, window);
    const double idle = cpu_share(pid, 3.0);
    const bool shot_b = e2e::screenshot(display, &still_b, window);
    std::cout << "idle CPU share: " << idle * 100.0 << " % of one core\n";
    EXPECT_GE(idle, 0.0) << "the program exited while idle";
    EXPECT_LT(idle, 0.10) << "the program spins while nothing moves";
    EXPECT_TRUE(shot_a && shot_b);
    EXPECT_TRUE(still_a == still_b) << "the picture changed while nothing was animating";

    // Press "Animate" (the light button at 225, 525, 190 x 50 in the main window).
    e2e::run(display, "xdotool mousemove --window " + window + " 320 550 click 1");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    e2e::Image moving_a, moving_b;
    const bool shot_c = e2e::screenshot(display, &moving_a, window);
    const double animating = cpu_share(pid, 3.0);
    const bool shot_d = e2e::screenshot(display, &moving_b, window);
    std::cout << "CPU share while animating: " << animating * 100.0 << " % of one core\n";
    EXPECT_GE(animating, 0.0) << "the program exited while animating";
    EXPECT_TRUE(shot_c && shot_d);
    EXPECT_TRUE(moving_a != moving_b) << "the car did not move after Animate was pressed";

    // Close the window the way a user would: Escape with the window focused.
    e2e::run(display, "xdotool windowfocus --sync " + window + " key Escape 2>/dev/null");
    int status = 0;
    if (!program.wait_exit(5.0, &status)) {
        kill(pid, SIGTERM);
        program.wait_exit(5.0, &status); // the program's destructor kills what is left
        ADD_FAILURE() << "the window did not close on Escape";
    }
}
