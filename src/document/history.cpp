#include "document/history.h"

#include <utility>

void History::record(Design before) {
    redo_.clear();
    undo_.push_back(std::move(before));
    if (undo_steps() > kMaxSteps) {
        undo_.pop_front();
    }
}

std::optional<Design> History::undo(Design current) {
    if (undo_.empty()) {
        return std::nullopt;
    }
    Design restored = std::move(undo_.back());
    undo_.pop_back();
    redo_.push_back(std::move(current));
    return restored;
}

std::optional<Design> History::redo(Design current) {
    if (redo_.empty()) {
        return std::nullopt;
    }
    Design restored = std::move(redo_.back());
    redo_.pop_back();
    undo_.push_back(std::move(current));
    return restored;
}

void History::clear() {
    undo_.clear();
    redo_.clear();
}

std::size_t History::bytes() const {
    std::size_t total = 0;
    const auto add = [&total](const Design& d) {
        total += sizeof(Design) + d.generators.capacity() * sizeof(ControlPoint);
    };
    for (const Design& d : undo_) {
        add(d);
    }
    for (const Design& d : redo_) {
        add(d);
    }
    return total;
}
