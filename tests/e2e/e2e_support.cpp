#include "e2e/e2e_support.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <thread>

extern char** environ;

namespace e2e {

namespace {

using Clock = std::chrono::steady_clock;

// Our environment with DISPLAY replaced.
std::vector<std::string> environment_with_display(const std::string& display) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::strncmp(*e, "DISPLAY=", 8) != 0) {
            env.emplace_back(*e);
        }
    }
    env.push_back("DISPLAY=" + display);
    return env;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> out;
    for (std::string& s : strings) {
        out.push_back(s.data());
    }
    out.push_back(nullptr);
    return out;
}

// Waits at most `seconds` for `pid` to exit; true (with its status) if it did.
bool wait_bounded(pid_t pid, double seconds, int* status) {
    const auto until = Clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        const pid_t r = waitpid(pid, status, WNOHANG);
        if (r == pid) {
            return true;
        }
        if (r < 0 || Clock::now() >= until) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

} // namespace

PrivateDisplay::PrivateDisplay() {
    int fds[2];
    if (pipe(fds) != 0) {
        return;
    }
    // Xvfb picks a free display number and writes it to the pipe once it
    // accepts connections.
    const std::string write_fd = std::to_string(fds[1]);
    std::vector<std::string> args{"Xvfb", "-displayfd",  write_fd,    "-screen",
                                  "0",    "1024x768x24", "-nolisten", "tcp"};
    std::vector<char*> argv = pointers(args);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const int spawned = posix_spawnp(&pid_, "Xvfb", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned != 0) {
        pid_ = -1;
        close(fds[0]);
        return;
    }

    std::string number;
    const auto until = Clock::now() + std::chrono::seconds(30);
    while (Clock::now() < until && number.find('\n') == std::string::npos) {
        pollfd p{fds[0], POLLIN, 0};
        if (poll(&p, 1, 100) > 0) {
            char buffer[32];
            const ssize_t n = read(fds[0], buffer, sizeof buffer);
            if (n <= 0) {
                break; // the server ended without naming a display
            }
            number.append(buffer, static_cast<std::size_t>(n));
        }
    }
    close(fds[0]);
    const std::size_t end = number.find('\n');
    if (end != std::string::npos && end > 0) {
        name_ = ":" + number.substr(0, end);
    }
}

PrivateDisplay::~PrivateDisplay() {
    if (pid_ <= 0) {
        return;
    }
    int status = 0;
    kill(pid_, SIGTERM);
    if (!wait_bounded(pid_, 10.0, &status)) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
    }
}

std::string current_display() {
    const char* display = std::getenv("DISPLAY");
    return display == nullptr ? std::string() : std::string(display);
}

CommandResult run(const std::string& display, const std::string& command) {
    CommandResult result;
    const std::string line = "export DISPLAY='" + display + "'; " + command;
    FILE* pipe = popen(line.c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    char buffer[65536];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        result.out.append(buffer, n);
    }
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

Program::Program(const std::string& display) : display_(display) {
    std::vector<std::string> args{LOOPTIDE_BINARY};
    std::vector<char*> argv = pointers(args);
    std::vector<std::string> env = environment_with_display(display);
    std::vector<char*> envp = pointers(env);
    if (posix_spawn(&pid_, LOOPTIDE_BINARY, nullptr, nullptr, argv.data(), envp.data()) != 0) {
        pid_ = -1;
    }
}

Program::~Program() {
    if (pid_ > 0 && !reaped_) {
        kill(pid_, SIGKILL);
        int status = 0;
        waitpid(pid_, &status, 0);
    }
}

bool Program::running() {
    if (pid_ <= 0 || reaped_) {
        return false;
    }
    if (waitpid(pid_, &wait_status_, WNOHANG) == pid_) {
        reaped_ = true;
    }
    return !reaped_;
}

bool Program::wait_exit(double seconds, int* wait_status) {
    if (pid_ <= 0) {
        return false;
    }
    if (!reaped_) {
        reaped_ = wait_bounded(pid_, seconds, &wait_status_);
    }
    if (reaped_) {
        *wait_status = wait_status_;
    }
    return reaped_;
}

std::string Program::wait_for_window(int timeout_seconds) {
    if (pid_ <= 0) {
        return "";
    }
    const CommandResult r =
        run(display_, "timeout " + std::to_string(timeout_seconds) +
                          " xdotool search --sync --onlyvisible --pid " + std::to_string(pid_) +
                          " --name '^Looptide$' 2>/dev/null");
    std::istringstream lines(r.out);
    std::string first;
    std::getline(lines, first);
    return first;
}

bool window_geometry(const std::string& display, const std::string& window, Geometry* out) {
    const CommandResult r =
        run(display, "xdotool getwindowgeometry --shell " + window + " 2>/dev/null");
    if (r.status != 0) {
        return false;
    }
    std::istringstream lines(r.out);
    std::string line;
    int found = 0;
    while (std::getline(lines, line)) {
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) {
            continue;
        }
        const std::string key = line.substr(0, eq);
        const int value = std::atoi(line.c_str() + eq + 1);
        if (key == "X") {
            out->x = value;
        } else if (key == "Y") {
            out->y = value;
        } else if (key == "WIDTH") {
            out->w = value;
        } else if (key == "HEIGHT") {
            out->h = value;
        } else {
            continue;
        }
        ++found;
    }
    return found == 4;
}

Rgb Image::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return {};
    }
    const std::size_t i = 3 * (static_cast<std::size_t>(y) * width_ + x);
    return Rgb{rgb_[i], rgb_[i + 1], rgb_[i + 2]};
}

bool Image::parse_ppm(const std::string& bytes) {
    std::size_t pos = 0;
    // Next header number, skipping blanks and comments.
    auto number = [&](int* value) {
        while (pos < bytes.size()) {
            if (bytes[pos] == '#') {
                while (pos < bytes.size() && bytes[pos] != '\n') {
                    ++pos;
                }
            } else if (std::isspace(static_cast<unsigned char>(bytes[pos]))) {
                ++pos;
            } else {
                break;
            }
        }
        if (pos >= bytes.size() || !std::isdigit(static_cast<unsigned char>(bytes[pos]))) {
            return false;
        }
        *value = 0;
        while (pos < bytes.size() && std::isdigit(static_cast<unsigned char>(bytes[pos]))) {
            *value = *value * 10 + (bytes[pos] - '0');
            ++pos;
        }
        return true;
    };
    if (bytes.compare(0, 2, "P6") != 0) {
        return false;
    }
    pos = 2;
    int w = 0, h = 0, max = 0;
    if (!number(&w) || !number(&h) || !number(&max) || max != 255 || w <= 0 || h <= 0) {
        return false;
    }
    ++pos; // the single blank before the pixels
    const std::size_t size = 3 * static_cast<std::size_t>(w) * h;
    if (bytes.size() < pos + size) {
        return false;
    }
    width_ = w;
    height_ = h;
    rgb_.assign(bytes.begin() + static_cast<std::ptrdiff_t>(pos),
                bytes.begin() + static_cast<std::ptrdiff_t>(pos + size));
    return true;
}

bool screenshot(const std::string& display, Image* out, const std::string& window) {
    *out = Image();
    const CommandResult r =
        run(display, "import -silent -window " + window + " -depth 8 ppm:- 2>/dev/null");
    return r.status == 0 && out->parse_ppm(r.out);
}

} // namespace e2e
