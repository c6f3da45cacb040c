// Looptide: roller-coaster track editor and ride simulator.
#include <FL/Fl.H>
#include <FL/fl_ask.H>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/controls.h"
#include "app/dialogs.h"
#include "app/main_window.h"
#include "app/opengl_check.h"
#include "document/document.h"
#include "document/message_text.h"
#include "view/coaster_window.h"

#include <sys/stat.h>
#include <unistd.h>

#ifndef LOOPTIDE_EXAMPLES_DIR
#define LOOPTIDE_EXAMPLES_DIR ""
#endif
#ifndef LOOPTIDE_SOURCE_EXAMPLES_DIR
#define LOOPTIDE_SOURCE_EXAMPLES_DIR ""
#endif

namespace {

bool is_folder(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Where the example designs are: beside an installed program (wherever its
// prefix was moved), where the build installs them, or, for a program run
// from its build folder, in the source tree. Empty when none is there.
std::string examples_folder() {
    std::string exe(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", exe.data(), exe.size() - 1);
    if (n > 0) {
        exe.resize(static_cast<std::size_t>(n));
        const std::size_t slash = exe.find_last_of('/');
        const std::string beside = exe.substr(0, slash) + "/../share/looptide/examples";
        if (is_folder(beside)) {
            char resolved[PATH_MAX];
            return ::realpath(beside.c_str(), resolved) != nullptr ? resolved : beside;
        }
    }
    for (const char* folder : {LOOPTIDE_EXAMPLES_DIR, LOOPTIDE_SOURCE_EXAMPLES_DIR}) {
        if (is_folder(folder)) {
            return folder;
        }
    }
    return {};
}

int edit(const std::string& design) {
    // Without OpenGL the view could only show a grey box: say so and stop.
    const std::string missing = missing_opengl();
    if (!missing.empty()) {
        std::fprintf(stderr, "Looptide needs OpenGL, but %s.\n", missing.c_str());
        fl_message_title("Looptide");
        fl_alert("Looptide needs OpenGL to draw its 3-D view, but %s.", missing.c_str());
        return 1;
    }
    Document document;
    const std::unique_ptr<Dialogs> dialogs = make_toolkit_dialogs();
    std::unique_ptr<MainWindow> window(build_main_window(document, *dialogs, examples_folder()));
    // A design that cannot be opened is reported on both channels, over the
    // window with the default design.
    Failure failure;
    if (!design.empty()) {
        failure = window->file_commands().open_file_quietly(design);
    }
    window->show();
    if (failure) {
        report_failure(*failure);
        dialogs->alert("Open failed", *failure);
    }
    // The animation step is woken by a timeout aimed at its next due time
    // rather than an idle callback, so the program sleeps while nothing moves.
    the_coaster_window->schedule_step();
    Fl::run();
    // The controls and the view go with the window; nothing may reach the view
    // through the global after this.
    window.reset();
    the_coaster_window = nullptr;
    // Closing the window is the normal way to quit: report success.
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const CommandLine command = parse_command_line(std::vector<std::string>(argv + 1, argv + argc));
    switch (command.action) {
    case CommandLine::Action::help:
        std::fputs(usage_text().c_str(), stdout);
        return 0;
    case CommandLine::Action::version:
        std::printf("%s\n", version_text().c_str());
        return 0;
    case CommandLine::Action::usage_error:
        std::fprintf(stderr, "looptide: %s\n\n%s", printable(command.error).c_str(),
                     usage_text().c_str());
        return 2;
    case CommandLine::Action::export_track:
        return run_export(command);
    case CommandLine::Action::edit:
        break;
    }
    return edit(command.design);
}
