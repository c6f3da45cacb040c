// The table of keys and the two ways it is read: by key, and as help lines.
#include "app/keys.h"

#include <FL/Enumerations.H>

#include <string>
#include <vector>

#include "app/main_window.h"
#include "track/track.h"
#include "view/coaster_window.h"

namespace {

// The point count's limits, stated in the help as the track holds them.
const std::string kInsertHelp =
    "insert a point there (up to " + std::to_string(Track::kMaxPoints) + " points)";
const std::string kDeleteHelp =
    "remove the selected point (down to " + std::to_string(Track::kMinPoints) + " points)";

void delete_selected_point(MainWindow& w) {
    w.view().delete_selected_point();
}

const std::vector<KeyCommand> kKeys = {
    {'n', FL_CTRL, "Ctrl+N", "a new design", [](MainWindow& w) { w.file_commands().new_design(); }},
    {'o', FL_CTRL, "Ctrl+O", "open a design", [](MainWindow& w) { w.file_commands().open(); }},
    {'s', FL_CTRL, "Ctrl+S", "save", [](MainWindow& w) { w.file_commands().save(); }},
    {'s', FL_CTRL | FL_SHIFT, "Ctrl+Shift+S", "save as",
     [](MainWindow& w) { w.file_commands().save_as(); }},
    // The restored design reaches the controls and the view through the
    // document's observer: one redraw.
    {'z', FL_CTRL, "Ctrl+Z", "undo", [](MainWindow& w) { w.document().undo(); }},
    {'z', FL_CTRL | FL_SHIFT, "Ctrl+Shift+Z", "redo", [](MainWindow& w) { w.document().redo(); }},
    {'y', FL_CTRL, "Ctrl+Y", "redo", [](MainWindow& w) { w.document().redo(); }},
    {'e', FL_CTRL, "Ctrl+E", "export the track table (CSV)",
     [](MainWindow& w) { w.file_commands().export_track_table(); }},
    {'e', FL_CTRL | FL_SHIFT, "Ctrl+Shift+E", "export the scene with one lap of the ride (glTF)",
     [](MainWindow& w) { w.file_commands().export_scene(); }},
    {'b', FL_CTRL, "Ctrl+B", "bank the track for level riding",
     [](MainWindow& w) { w.bank_for_level_riding(); }},
    {FL_F + 1, 0, "F1", "help on the keys and the mouse",
     [](MainWindow& w) { w.file_commands().help(); }},
    {FL_F + 2, 0, "F2", "the ride analysis: speed and G-forces along the track (again: close it)",
     [](MainWindow& w) { w.toggle_analysis(); }},
    {FL_Delete, 0, "Delete", kDeleteHelp.c_str(), delete_selected_point},
    {FL_BackSpace, 0, "BackSpace", "the same as Delete", delete_selected_point},
    // The view's one gesture of its own, listed with the keys.
    {0, 0, "double-click the track", kInsertHelp.c_str(), nullptr},
    {FL_Escape, 0, "Escape", "close the window", nullptr},
};

constexpr int kModifiers = FL_CTRL | FL_SHIFT;

} // namespace

const std::vector<KeyCommand>& key_table() {
    return kKeys;
}

const KeyCommand* key_command(int key, int state) {
    const KeyCommand* same_ctrl = nullptr;
    for (const KeyCommand& k : kKeys) {
        if (k.key != key || k.run == nullptr) {
            continue;
        }
        if (k.modifiers == (state & kModifiers)) {
            return &k;
        }
        if ((k.modifiers & FL_CTRL) == (state & FL_CTRL) && same_ctrl == nullptr) {
            same_ctrl = &k;
        }
    }
    return same_ctrl;
}

std::string key_help(const std::string& indent) {
    std::string text;
    for (const KeyCommand& k : kKeys) {
        text += indent + k.name + ": " + k.help + "\n";
    }
    return text;
}
