// The real program under the current X display: it must sleep while nothing
// moves (no busy idle loop) and keep animating once "Animate" is pressed.
// CPU shares are printed for the log; only a generous idle ceiling is checked.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// Runs a shell command and returns what it printed.
std::string run(const std::string& command) {
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe) != nullptr) {
            out += buffer;
        }
        pclose(pipe);
    }
    return out;
}

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

std::string screenshot(const std::string& window, const std::string& path) {
    run("import -silent -window " + window + " " + path + " 2>/dev/null");
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool wait_for_exit(pid_t pid, double seconds, int* status) {
    const auto until = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < until) {
        if (waitpid(pid, status, WNOHANG) == pid) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

} // namespace

TEST(IdleCpu, SleepsWhileStillAndAnimatesAfterAnimateIsPressed) {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
        GTEST_SKIP() << "needs an X display";
    }
    if (run("command -v xdotool").empty() || run("command -v import").empty()) {
        GTEST_SKIP() << "needs xdotool and ImageMagick";
    }

    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        execl(LOOPTIDE_BINARY, LOOPTIDE_BINARY, static_cast<char*>(nullptr));
        _exit(127);
    }

    // Our own window: several copies of the program may share the display.
    const std::string found = run("timeout 20 xdotool search --sync --onlyvisible --pid " +
                                  std::to_string(pid) + " --name '^Looptide$' 2>/dev/null");
    std::string window;
    std::istringstream(found) >> window;
    if (window.empty()) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        FAIL() << "the Looptide window did not appear";
    }
    std::this_thread::sleep_for(std::chrono::seconds(1)); // let the first frames settle

    // Still: nothing is due, so the process should be asleep in the event loop.
    const std::string still_a =
        screenshot(window, "/tmp/looptide_idle_a_" + std::to_string(pid) + ".png");
    const double idle = cpu_share(pid, 3.0);
    const std::string still_b =
        screenshot(window, "/tmp/looptide_idle_b_" + std::to_string(pid) + ".png");
    std::cout << "idle CPU share: " << idle * 100.0 << " % of one core\n";
    EXPECT_GE(idle, 0.0) << "the program exited while idle";
    EXPECT_LT(idle, 0.10) << "the program spins while nothing moves";
    EXPECT_FALSE(still_a.empty());
    EXPECT_EQ(still_a, still_b) << "the picture changed while nothing was animating";

    // Press "Animate" (the light button at 225, 525, 190 x 50 in the main window).
    run("xdotool mousemove --window " + window + " 320 550 click 1");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const std::string moving_a =
        screenshot(window, "/tmp/looptide_run_a_" + std::to_string(pid) + ".png");
    const double animating = cpu_share(pid, 3.0);
    const std::string moving_b =
        screenshot(window, "/tmp/looptide_run_b_" + std::to_string(pid) + ".png");
    std::cout << "CPU share while animating: " << animating * 100.0 << " % of one core\n";
    EXPECT_GE(animating, 0.0) << "the program exited while animating";
    EXPECT_FALSE(moving_a.empty());
    EXPECT_NE(moving_a, moving_b) << "the car did not move after Animate was pressed";
    run("rm -f /tmp/looptide_idle_[ab]_" + std::to_string(pid) + ".png /tmp/looptide_run_[ab]_" +
        std::to_string(pid) + ".png");

    // Close the window the way a user would: Escape with the window focused.
    run("xdotool windowfocus --sync " + window + " key Escape 2>/dev/null");
    int status = 0;
    if (!wait_for_exit(pid, 5.0, &status)) {
        kill(pid, SIGTERM);
        if (!wait_for_exit(pid, 5.0, &status)) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
        }
        ADD_FAILURE() << "the window did not close on Escape";
    }
}
