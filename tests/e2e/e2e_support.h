// Helpers for driving the real looptide binary: a private X server or the
// current one, the program as a child process, xdotool/ImageMagick commands
// and screenshots. No assertions here; the tests decide what a result means.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

// An Xvfb server of our own. Tests may run side by side on the machine's
// display; on a private one no other window can cover ours, take the focus or
// receive our keys.
class PrivateDisplay {
public:
    PrivateDisplay(); // starts Xvfb with one 1024 x 768 x 24 screen
    ~PrivateDisplay();
    PrivateDisplay(const PrivateDisplay&) = delete;
    PrivateDisplay& operator=(const PrivateDisplay&) = delete;

    bool ok() const { return !name_.empty(); }
    const std::string& name() const { return name_; } // such as ":3"

private:
    pid_t pid_ = -1;
    std::string name_;
};

// The display this test process runs on (DISPLAY), or "" when there is none.
std::string current_display();

struct CommandResult {
    int status = -1; // exit status of the shell, -1 when it could not run
    std::string out; // everything it wrote to stdout (may be binary)
};

// Runs a shell command with DISPLAY set to `display`.
CommandResult run(const std::string& display, const std::string& command);

// The looptide binary running on a display. The destructor kills it if it is
// still alive, so a failing test never leaves it behind.
class Program {
public:
    explicit Program(const std::string& display);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    pid_t pid() const { return pid_; }
    // True while the process has not exited (reaps it when it has).
    bool running();
    // Waits at most `seconds` for the process to exit; on exit stores the raw
    // wait status and returns true.
    bool wait_exit(double seconds, int* wait_status);
    // Waits (bounded) for this process's top-level window titled "Looptide"
    // to be mapped and returns its X window id in decimal, or "" when none
    // appeared. Other copies of the program may share the display.
    std::string wait_for_window(int timeout_seconds = 20);

private:
    std::string display_;
    pid_t pid_ = -1;
    bool reaped_ = false;
    int wait_status_ = 0;
};

struct Geometry {
    int x = 0, y = 0, w = 0, h = 0; // absolute position on the screen, size
};

// Geometry of a window as the X server reports it; false on failure.
bool window_geometry(const std::string& display, const std::string& window, Geometry* out);

struct Rgb {
    int r = 0, g = 0, b = 0;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const Rgb& o) const { return !(*this == o); }
};

class Image {
public:
    int width() const { return width_; }
    int height() const { return height_; }
    // Black outside the image, so that a square around a point near the edge
    // can be scanned without clipping it first.
    Rgb at(int x, int y) const;
    bool operator==(const Image& o) const {
        return width_ == o.width_ && height_ == o.height_ && rgb_ == o.rgb_;
    }
    bool operator!=(const Image& o) const { return !(*this == o); }
    // Parses a binary PPM (P6, maximum 255); false when it is not one.
    bool parse_ppm(const std::string& bytes);

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t> rgb_;
};

// Screenshot of one window of `display` (by default the whole screen); on
// failure returns false and leaves `out` empty.
bool screenshot(const std::string& display, Image* out, const std::string& window = "root");

} // namespace e2e
