#include "app/file_commands.h"

#include <filesystem>

#include "analysis/ride_guides.h"
#include "app/keys.h"
#include "app/scene_file.h"
#include "document/track_table.h"

namespace {

constexpr const char* kDesignExtension = ".looptide";
constexpr const char* kDesignPattern = "*.looptide";
constexpr const char* kDesignFilter = "Looptide designs";
constexpr const char* kTableExtension = ".csv";

bool ends_with(const std::string& s, const std::string& end) {
    return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

// "track.looptide" from "track.looptide", "track.csv" from "track.looptide".
std::string with_extension(const std::string& name, const std::string& extension) {
    std::string base = name;
    if (ends_with(base, kDesignExtension)) {
        base.resize(base.size() - std::string(kDesignExtension).size());
    }
    return base + extension;
}

} // namespace

FileCommands::FileCommands(Document& document, Dialogs& dialogs, std::string examples_folder)
    : document_(document), dialogs_(dialogs), examples_folder_(std::move(examples_folder)),
      folder_(examples_folder_) {}

bool FileCommands::settle_unsaved_changes(const std::string& before) {
    if (!document_.modified()) {
        return true;
    }
    const std::string name =
        document_.path().empty() ? "the untitled design" : "\"" + document_.file_name() + "\"";
    switch (dialogs_.ask_to_save("Save the changes to " + name + " before " + before + "?")) {
    case Dialogs::Answer::save:
        return save();
    case Dialogs::Answer::discard:
        return true;
    case Dialogs::Answer::cancel:
        break;
    }
    return false;
}

void FileCommands::new_design() {
    if (settle_unsaved_changes("starting a new one")) {
        document_.new_design();
    }
}

void FileCommands::open() {
    if (!settle_unsaved_changes("opening another")) {
        return;
    }
    const std::string path =
        dialogs_.choose_file_to_open("Open design", kDesignFilter, kDesignPattern, folder_);
    if (!path.empty()) {
        open_file(path);
    }
}

bool FileCommands::open_file(const std::string& path) {
    if (Failure failure = open_file_quietly(path)) {
        dialogs_.alert("Open failed", *failure);
        return false;
    }
    return true;
}

Failure FileCommands::open_file_quietly(const std::string& path) {
    Failure failure = document_.open(path);
    if (!failure) {
        remember_folder_of(path);
    }
    return failure;
}

bool FileCommands::save() {
    if (document_.path().empty()) {
        return save_as();
    }
    if (Failure failure = document_.save()) {
        dialogs_.alert("Save failed", *failure);
        return false;
    }
    return true;
}

bool FileCommands::save_as() {
    const std::string suggestion = document_.path().empty()
                                       ? std::string("untitled") + kDesignExtension
                                       : document_.file_name();
    const std::string path =
        choose_target("Save design as", kDesignFilter, kDesignExtension, suggestion);
    if (path.empty()) {
        return false;
    }
    if (Failure failure = document_.save_as(path)) {
        dialogs_.alert("Save failed", *failure);
        return false;
    }
    remember_folder_of(path);
    return true;
}

void FileCommands::export_track_table() {
    const std::string base = document_.path().empty() ? "track" : document_.file_name();
    export_with("Export track table", "Track tables", kTableExtension, base, "the track table",
                [this](const std::string& path) {
                    return ::export_track_table(document_.scene().track(), kDefaultTableSpacing,
                                                path);
                });
}

void FileCommands::export_scene() {
    const std::string base = document_.path().empty() ? "untitled" : document_.file_name();
    export_with("Export scene", "glTF scenes", kSceneExtension, base, "the scene",
                [this](const std::string& path) {
                    return export_scene_file(Design(document_.scene()), path);
                });
}

void FileCommands::export_with(const std::string& title, const std::string& filter_name,
                               const std::string& extension, const std::string& base,
                               const std::string& what,
                               const std::function<Failure(const std::string&)>& write) {
    const std::string path =
        choose_target(title, filter_name, extension, with_extension(base, extension));
    if (path.empty()) {
        return;
    }
    // An export must not take the place of the design's own file.
    if (!document_.path().empty() && same_file(document_.path(), path)) {
        dialogs_.alert("Export failed", "Cannot export " + what + " to " + path +
                                            ": it is the file of the design being edited.");
        return;
    }
    if (Failure failure = write(path)) {
        dialogs_.alert("Export failed", *failure);
    }
}

std::string FileCommands::choose_target(const std::string& title, const std::string& filter_name,
                                        const std::string& extension, const std::string& name) {
    const std::string chosen =
        dialogs_.choose_file_to_save(title, filter_name, "*" + extension, folder_, name);
    if (chosen.empty() || ends_with(chosen, extension)) {
        return chosen; // the chooser itself asked before replacing this name
    }
    const std::string path = chosen + extension;
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::symlink_status(path, error)) &&
        !dialogs_.ask_to_replace("\"" + std::filesystem::path(path).filename().string() +
                                 "\" already exists. Replace it?")) {
        return {};
    }
    return path;
}

bool FileCommands::may_close() {
    if (!document_.worked_with_files()) {
        return true;
    }
    return settle_unsaved_changes("closing");
}

void FileCommands::help() {
    dialogs_.show_help(help_text(examples_folder_));
}

void FileCommands::remember_folder_of(const std::string& path) {
    std::string folder = std::filesystem::path(path).parent_path().string();
    if (folder.empty()) {
        folder = ".";
    }
    // An example opened from the examples folder is not a file of the person's own.
    if (folder != examples_folder_) {
        folder_ = folder;
    }
}

std::string help_text(const std::string& examples_folder) {
    std::string text = "Keys\n" + key_help("  ") +
                       "\n"
                       "Mouse, in the 3-D view\n"
                       "  Left press: select a point, handle, the light or a generator\n"
                       "  Left drag: move it across the ground; with Ctrl: up or down\n"
                       "  Right drag: orbit the camera; with Ctrl: raise or lower it\n"
                       "  Middle drag: zoom; with Ctrl: raise or lower the point looked at\n"
                       "\n"
                       "Ride analysis (F2)\n"
                       "  Speed and G-forces along the track; a click selects the nearest point.\n"
                       "  The dashed lines at " +
                       guides_text(kVerticalGuides, " and ") + " vertical and " +
                       g_text(kLateralGuides.high, false) +
                       " either way\n"
                       "  lateral are common design guidelines, not a standard.\n";
    if (!examples_folder.empty()) {
        text += "\nExample designs are in " + examples_folder + "\n";
    }
    return text;
}
