#include "app/dialogs.h"

#include <FL/Fl_Native_File_Chooser.H>
#include <FL/fl_ask.H>

#include "app/message_text.h"

namespace {

// Lines of a dialog's message, and how many: at the toolkit's font, 72
// characters and 24 lines fit a 1024 x 768 screen with the buttons below.
constexpr std::size_t kDialogColumns = 72;
constexpr std::size_t kDialogLines = 24;

// A message as a dialog shows it: control characters escaped, lines wrapped.
std::string dialog_text(const std::string& message) {
    return wrapped(printable(message), kDialogColumns, kDialogLines);
}

// Every dialog's title starts with what it is about and ends in the program's
// name, so that a window list tells them from the main window.
std::string titled(const std::string& what) {
    return what + " - Looptide";
}

class ToolkitDialogs : public Dialogs {
public:
    Answer ask_to_save(const std::string& question) override {
        const std::string title = titled("Unsaved changes");
        fl_message_title(title.c_str());
        // Buttons run right to left; Escape and closing give the first.
        switch (fl_choice("%s", "Cancel", "Save", "Discard", dialog_text(question).c_str())) {
        case 1:
            return Answer::save;
        case 2:
            return Answer::discard;
        default:
            return Answer::cancel;
        }
    }

    bool ask_to_replace(const std::string& question) override {
        const std::string title = titled("Replace file");
        fl_message_title(title.c_str());
        return fl_choice("%s", "Cancel", "Replace", nullptr, dialog_text(question).c_str()) == 1;
    }

    void alert(const std::string& title, const std::string& message) override {
        const std::string full = titled(title);
        fl_message_title(full.c_str());
        fl_alert("%s", dialog_text(message).c_str());
    }

    std::string choose_file_to_open(const std::string& title, const std::string& filter_name,
                                    const std::string& pattern,
                                    const std::string& folder) override {
        Fl_Native_File_Chooser chooser(Fl_Native_File_Chooser::BROWSE_FILE);
        return choose(chooser, title, filter_name, pattern, folder, "");
    }

    std::string choose_file_to_save(const std::string& title, const std::string& filter_name,
                                    const std::string& pattern, const std::string& folder,
                                    const std::string& name) override {
        Fl_Native_File_Chooser chooser(Fl_Native_File_Chooser::BROWSE_SAVE_FILE);
        chooser.options(Fl_Native_File_Chooser::SAVEAS_CONFIRM |
                        Fl_Native_File_Chooser::NEW_FOLDER);
        return choose(chooser, title, filter_name, pattern, folder, name);
    }

    void show_help(const std::string& text) override {
        const std::string title = titled("Help");
        fl_message_title(title.c_str());
        fl_message("%s", text.c_str());
    }

private:
    static std::string choose(Fl_Native_File_Chooser& chooser, const std::string& title,
                              const std::string& filter_name, const std::string& pattern,
                              const std::string& folder, const std::string& name) {
        const std::string full = titled(title);
        const std::string filter = filter_name + "\t" + pattern;
        chooser.title(full.c_str());
        chooser.filter(filter.c_str());
        if (!folder.empty()) {
            chooser.directory(folder.c_str());
        }
        if (!name.empty()) {
            chooser.preset_file(name.c_str());
        }
        // 0: a file was chosen; 1: cancelled; -1: the chooser failed.
        if (chooser.show() != 0 || chooser.filename() == nullptr) {
            return {};
        }
        return chooser.filename();
    }
};

} // namespace

std::unique_ptr<Dialogs> make_toolkit_dialogs() {
    return std::make_unique<ToolkitDialogs>();
}
