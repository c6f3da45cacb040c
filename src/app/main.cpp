// Looptide: roller-coaster track editor and ride simulator.
#include <FL/Fl.H>
#include <FL/fl_ask.H>

#include <array>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/batch_commands.h"
#include "app/command_line.h"
#include "app/controls.h"
#include "app/dialogs.h"
#include "app/main_window.h"
#include "app/message_text.h"
#include "app/opengl_check.h"
#include "document/document.h"
#include "view/coaster_window.h"

#ifndef LOOPTIDE_EXAMPLES_DIR
#define LOOPTIDE_EXAMPLES_DIR ""
#endif
#ifndef LOOPTIDE_SOURCE_EXAMPLES_DIR
#define LOOPTIDE_SOURCE_EXAMPLES_DIR ""
#endif

namespace {

// Where the example designs are: beside an installed program (wherever its
// prefix was moved), where the build installs them, or, for a program run
// from its build folder, in the source tree. Empty when none is there.
std::string examples_folder() {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path beside =
        fs::read_symlink("/proc/self/exe", error).parent_path() / "../share/looptide/examples";
    if (!error && fs::is_directory(beside, error)) {
        return fs::canonical(beside, error).string();
    }
    for (const char* folder : {LOOPTIDE_EXAMPLES_DIR, LOOPTIDE_SOURCE_EXAMPLES_DIR}) {
        if (*folder != '\0' && fs::is_directory(folder, error)) {
            return folder;
        }
    }
    return {};
}

// The toolkit's own complaints ("Can't open display: :0" when there is no
// display) said as the program's: after "looptide: ", escaped, on standard
// error. A fatal one still ends the program with status 1, as the toolkit's does.
void toolkit_message(const char* format, va_list args) {
    std::array<char, 1024> text;
    std::vsnprintf(text.data(), text.size(), format, args);
    report_failure(text.data());
}

void toolkit_warning(const char* format, ...) {
    va_list args;
    va_start(args, format);
    toolkit_message(format, args);
    va_end(args);
}

[[noreturn]] void toolkit_fatal(const char* format, ...) {
    va_list args;
    va_start(args, format);
    toolkit_message(format, args);
    va_end(args);
    std::exit(1);
}

int edit(const std::string& design) {
    Fl::warning = toolkit_warning;
    Fl::error = toolkit_warning;
    Fl::fatal = toolkit_fatal;
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
        std::printf("%s\n", version_line().c_str());
        return 0;
    case CommandLine::Action::usage_error:
        std::fprintf(stderr, "looptide: %s\n\n%s", printable(command.error).c_str(),
                     usage_text().c_str());
        return 2;
    case CommandLine::Action::export_track:
        return run_export(command);
    case CommandLine::Action::export_scene:
        return run_export_scene(command);
    case CommandLine::Action::ride_report:
        return run_ride_report(command);
    case CommandLine::Action::edit:
        break;
    }
    return edit(command.design);
}
