// The design being edited, with its undo history and its file: the one path
// every edit takes. An edit runs on the scene; if the design changed, the
// design before it becomes an undo step and the observer hears of it, unless
// it continues the edits of the step before (a slider or a mouse drag), which
// it then joins. No GL, no FLTK.
#pragma once

#include <functional>
#include <string>
#include <type_traits>
#include <utility>

#include "document/design.h"
#include "document/file_io.h"
#include "document/history.h"
#include "scene/scene.h"

// What an edit changes, when consecutive edits of it make one undo step:
// the roll of one point, the tension or the speed from a slider dragged with
// the mouse, or one object dragged in the view. Edits of the same key fold
// into one step until something else happens (another edit, a new press, a
// key, Undo, Redo, New, Open or Save), as editors merge a drag's changes.
struct MergeKey {
    enum class Kind { none, roll, tension, velocity, drag };
    Kind kind = Kind::none;
    int target = -1; // the point banked, or the name of the object dragged

    bool operator==(const MergeKey& o) const { return kind == o.kind && target == o.target; }
};

class Document {
public:
    // What the observer hears. `edited`: the design changed by an edit, or its
    // file state changed (saved); the title may read differently. `replaced`:
    // New, Open, Undo or Redo put a whole design in place; the controls must
    // show it too.
    enum class Change { edited, replaced };
    using Observer = std::function<void(Change)>;

    // The default design, untitled, unchanged, with no history.
    Document();

    Scene& scene() { return scene_; }
    const Scene& scene() const { return scene_; }
    void set_observer(Observer observer) { observer_ = std::move(observer); }

    // --- The one edit path ---
    // Runs change(scene) and returns what it returns. A change of the design
    // is one undo step, or joins the step before when `merge` continues it.
    template <typename F>
    auto edit(F&& change, MergeKey merge = {}) -> std::invoke_result_t<F&, Scene&> {
        Design before(scene_);
        if constexpr (std::is_void_v<std::invoke_result_t<F&, Scene&>>) {
            change(scene_);
            record_if_changed(std::move(before), merge);
        } else {
            auto result = change(scene_);
            record_if_changed(std::move(before), merge);
            return result;
        }
    }
    // Something other than an edit happened (a press, a key): the next edit
    // starts a step of its own, whatever its key.
    void end_merging() { merge_ = MergeKey(); }

    // --- Undo and redo ---
    bool can_undo() const { return history_.undo_steps() > 0; }
    bool can_redo() const { return history_.redo_steps() > 0; }
    bool undo();
    bool redo();
    const History& history() const { return history_; }

    // --- The file ---
    const std::string& path() const { return path_; } // empty while untitled
    // The name shown in the title: the file's name without its folder.
    std::string file_name() const;
    // Whether the design differs from the one last opened, saved or begun.
    bool modified() const { return modified_; }
    // Whether this session has opened or saved a file, or started with one:
    // from then on unsaved changes are marked in the title and asked about
    // on closing.
    bool worked_with_files() const { return worked_with_files_; }
    // "Looptide" untitled, "NAME - Looptide" once a file is named, with a
    // leading "*" while changes are unsaved in a session that works with files.
    std::string title() const;

    // The default design in place of this one, untitled, with no history; the
    // train starts again and nothing is selected.
    void new_design();
    // Reads `path` and puts its design in place, named and unchanged, with no
    // history, the train at the start and nothing selected. On failure
    // nothing changes at all, and the sentence names the file and the problem.
    Failure open(const std::string& path);
    // Writes the design to its file (the document must have one), or to
    // `path`, which becomes its file. On failure the design stays as it was
    // and unsaved, and the file on disk is untouched.
    Failure save();
    Failure save_as(const std::string& path);

private:
    void record_if_changed(Design before, MergeKey merge);
    void restore(const Design& design);
    void replace_all(const Design& design);
    void notify(Change change);

    Scene scene_;
    History history_;
    Design clean_;   // the design as last opened, saved or begun
    MergeKey merge_; // the key of the newest step, while edits may still join it
    std::string path_;
    bool modified_ = false;
    bool worked_with_files_ = false;
    Observer observer_;
};
