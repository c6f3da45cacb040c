// New, Open, Save, Save As, Export and the question on closing: the file
// commands as a person meets them, with their questions, choosers and
// failure messages. The Document does the work; this decides when to ask.
#pragma once

#include <functional>
#include <string>

#include "app/dialogs.h"
#include "document/document.h"

class FileCommands {
public:
    // The chooser of Open starts in `examples_folder` until a person opens
    // or saves a file of their own.
    FileCommands(Document& document, Dialogs& dialogs, std::string examples_folder);

    void new_design(); // asks about unsaved changes first
    void open();       // asks about unsaved changes, then a chooser
    // Opens `path` (asking nothing); a failure gets a dialog and changes nothing.
    bool open_file(const std::string& path);
    // The same without the dialog, for a design named on the command line.
    Failure open_file_quietly(const std::string& path);
    bool save();    // Save As while untitled
    bool save_as(); // a chooser; the extension is added when missing
    void export_track_table();
    // The scene as binary glTF, named after the design by default.
    void export_scene();
    // Whether the window may close: at once in a session that never used a
    // file or with nothing unsaved; otherwise after Save or Discard.
    bool may_close();
    void help();

    // The folder the choosers start in.
    const std::string& folder() const { return folder_; }

private:
    // Unsaved changes are settled (saved or discarded); false on Cancel or a
    // failed save.
    bool settle_unsaved_changes(const std::string& before);
    // A file name from the save chooser, ending in `extension`; the person is
    // asked before a file that the added extension names is replaced. Empty
    // when cancelled.
    std::string choose_target(const std::string& title, const std::string& filter_name,
                              const std::string& extension, const std::string& name);
    void remember_folder_of(const std::string& path);
    // Chooses a target ending in `extension` (offering `base` with it) and
    // writes `what` there with `write`, refusing the design's own file; every
    // failure in a dialog.
    void export_with(const std::string& title, const std::string& filter_name,
                     const std::string& extension, const std::string& base, const std::string& what,
                     const std::function<Failure(const std::string&)>& write);

    Document& document_;
    Dialogs& dialogs_;
    std::string examples_folder_;
    std::string folder_;
};

// The keys, the mouse gestures and where the examples are.
std::string help_text(const std::string& examples_folder);
