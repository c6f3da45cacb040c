#include "document/document.h"

#include <filesystem>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "document/design_file.h"

Document::Document() : clean_(scene_) {}

namespace {
// A cleared history frees up to about 20 MB in many small pieces; the C
// library keeps freed memory for reuse unless asked to give it back.
void release_free_memory() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}
} // namespace

void Document::record_if_changed(Design before, MergeKey merge) {
    Design now(scene_);
    if (now == before) {
        return;
    }
    // An edit that continues the newest step joins it: that step already
    // holds the design from before the first of them.
    if (merge.kind == MergeKey::Kind::none || !(merge == merge_) || !can_undo()) {
        history_.record(std::move(before));
    }
    merge_ = merge;
    modified_ = now != clean_;
    notify(Change::edited);
}

bool Document::undo() {
    if (!can_undo()) {
        return false;
    }
    restore(*history_.undo(Design(scene_)));
    return true;
}

bool Document::redo() {
    if (!can_redo()) {
        return false;
    }
    restore(*history_.redo(Design(scene_)));
    return true;
}

void Document::restore(const Design& design) {
    end_merging();
    apply(design, scene_);
    modified_ = design != clean_;
    notify(Change::replaced);
}

void Document::replace_all(const Design& design) {
    end_merging();
    apply(design, scene_);
    scene_.restart_train();
    scene_.clear_selection();
    history_.clear();
    clean_ = design;
    modified_ = false;
    release_free_memory();
}

std::string Document::file_name() const {
    return std::filesystem::path(path_).filename().string();
}

std::string Document::title() const {
    std::string title = modified_ && worked_with_files_ ? "*" : "";
    if (!path_.empty()) {
        title += file_name() + " - ";
    }
    return title + "Looptide";
}

void Document::new_design() {
    replace_all(Design());
    path_.clear();
    notify(Change::replaced);
}

Failure Document::open(const std::string& path) {
    Design design;
    if (Failure failure = read_design(path, design)) {
        return failure;
    }
    replace_all(design);
    path_ = path;
    worked_with_files_ = true;
    notify(Change::replaced);
    return std::nullopt;
}

Failure Document::save() {
    return save_as(path_);
}

Failure Document::save_as(const std::string& path) {
    Design design(scene_);
    if (Failure failure = write_design(path, design)) {
        return failure;
    }
    end_merging();
    path_ = path;
    clean_ = std::move(design);
    modified_ = false;
    worked_with_files_ = true;
    notify(Change::edited);
    return std::nullopt;
}

void Document::notify(Change change) {
    if (observer_) {
        observer_(change);
    }
}
