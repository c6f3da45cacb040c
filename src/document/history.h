// The undo history: the designs that Undo and Redo bring back, newest last.
// Whole designs rather than differences: a design of the biggest kind is
// about 10 kB, so even a full history stays small, and restoring one is a
// copy. No GL, no FLTK.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>

#include "document/design.h"

class History {
public:
    // Steps kept; the oldest is forgotten when a new one would pass this.
    static constexpr int kMaxSteps = 1000;

    // A new step: `before` is what Undo brings back. Forgets every redo step.
    void record(Design before);
    // The design to restore, with `current` kept for Redo; empty when there
    // is nothing to undo.
    std::optional<Design> undo(Design current);
    // The design to restore, with `current` kept for Undo; empty when there
    // is nothing to redo.
    std::optional<Design> redo(Design current);
    void clear();

    int undo_steps() const { return static_cast<int>(undo_.size()); }
    int redo_steps() const { return static_cast<int>(redo_.size()); }
    // Bytes held by the designs of both lists.
    std::size_t bytes() const;

private:
    // Both lists hand a step's memory back as it leaves them: a vector would
    // keep the room of the longest redo list for the rest of the session.
    std::deque<Design> undo_;
    std::deque<Design> redo_;
};
