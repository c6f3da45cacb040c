// Counts the track's curve evaluations, for benchmarks and tests that measure
// how much work a query does. Counting changes no result; nothing counts unless
// a counter is alive.
#pragma once

#include <cstdint>

// While a counter lives, every curve position that a Track or TrackSampler
// evaluates on the constructing thread adds one to it. Counters nest: the
// newest live one counts, and each must end on the thread it began on, newest
// first (as locals do).
class EvaluationCounter {
public:
    EvaluationCounter() : outer_(active_) { active_ = &count_; }
    ~EvaluationCounter() { active_ = outer_; }
    EvaluationCounter(const EvaluationCounter&) = delete;
    EvaluationCounter& operator=(const EvaluationCounter&) = delete;

    std::uint64_t count() const { return count_; }
    void reset() { count_ = 0; }

    // The count the evaluations of this thread go to now; null when no counter lives.
    static std::uint64_t* active() { return active_; }

private:
    std::uint64_t count_ = 0;
    std::uint64_t* outer_;
    static inline thread_local std::uint64_t* active_ = nullptr;
};
