// What the user has picked: nothing, a control point, a Bezier handle, the
// light or a ball generator, with the name the picture draws it under. Plain
// value; no GL, no FLTK.
#pragma once

#include "track/track.h"

// Names the picture draws its objects under, so that a pick can report them.
// Control point i is i and handle k is (point count) + k: the handle names
// shift whenever the point count changes.
constexpr int kNoName = -1;
constexpr int kLightName = 301;
constexpr int kFirstGeneratorName = 400;

class Selection {
public:
    enum class Kind { nothing, point, handle, light, generator };

    constexpr Selection() = default; // nothing

    static constexpr Selection point(int i) { return {Kind::point, i, i}; }
    static constexpr Selection handle(int k, int num_points) {
        return {Kind::handle, k, num_points + k};
    }
    static constexpr Selection light() { return {Kind::light, -1, kLightName}; }
    static constexpr Selection generator(int g) {
        return {Kind::generator, g, kFirstGeneratorName + g};
    }
    // The object a picked name denotes in a scene of num_points points and
    // num_generators generators; a name that denotes none (the ground's, a
    // gap between the ranges, a generator past the last) gives nothing.
    static Selection from_name(int name, int num_points, int num_generators);

    Kind kind() const { return kind_; }
    bool is(Kind k) const { return kind_ == k; }
    int index() const { return index_; }         // point i, handle k or generator g; -1 otherwise
    constexpr int name() const { return name_; } // the name it is drawn under; kNoName for nothing

    bool operator==(const Selection& o) const { return kind_ == o.kind_ && index_ == o.index_; }
    bool operator!=(const Selection& o) const { return !(*this == o); }

private:
    constexpr Selection(Kind kind, int index, int name) : kind_(kind), index_(index), name_(name) {}

    Kind kind_ = Kind::nothing;
    int index_ = -1;
    int name_ = kNoName;
};

// The ranges never meet, so a name tells its object apart: the handles of the
// largest track end below the light, and the light comes before the generators.
static_assert(Selection::handle(2 * Track::kMaxPoints - 1, Track::kMaxPoints).name() <
                  Selection::light().name(),
              "the last handle's name must stay below the light's");
static_assert(Selection::light().name() < Selection::generator(0).name(),
              "the light's name must stay below the first generator's");
