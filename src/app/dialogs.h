// The questions and messages the editor puts to a person, and its file
// choosers, behind one interface, so that the file commands can be driven by
// tests without a modal loop. The toolkit's own versions are made here too.
#pragma once

#include <memory>
#include <string>

class Dialogs {
public:
    enum class Answer { save, discard, cancel };

    virtual ~Dialogs() = default;

    // Unsaved changes: Save, Discard or Cancel (Escape cancels).
    virtual Answer ask_to_save(const std::string& question) = 0;
    // Whether to replace an existing file.
    virtual bool ask_to_replace(const std::string& question) = 0;
    // A failure, said plainly under a title that names the action.
    virtual void alert(const std::string& title, const std::string& message) = 0;
    // A file to open or to write, starting in `folder` and showing the files
    // that `pattern` matches (as "*.looptide"); empty when cancelled.
    virtual std::string choose_file_to_open(const std::string& title,
                                            const std::string& filter_name,
                                            const std::string& pattern,
                                            const std::string& folder) = 0;
    virtual std::string choose_file_to_save(const std::string& title,
                                            const std::string& filter_name,
                                            const std::string& pattern, const std::string& folder,
                                            const std::string& name) = 0;
    virtual void show_help(const std::string& text) = 0;
};

// FLTK's message boxes and its native file chooser.
std::unique_ptr<Dialogs> make_toolkit_dialogs();
