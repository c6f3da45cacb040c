// The one edit path: which changes become undo steps, what Undo and Redo
// bring back (bit for bit, with the selection and the train following), the
// history's bounds, and the title and file state around them.
#include <gtest/gtest.h>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <random>
#include <string>
#include <vector>

#include "document/document.h"

namespace {

using Kind = Selection::Kind;

const Point3 kEye{0.0, 7.5, 13.0};

// A point on the ray from the eye towards `target`, a little way out.
Point3 towards(const Point3& target) {
    return kEye + 0.1 * (target - kEye);
}

// One random edit of the kinds a person makes, run through the edit path;
// drags are several moves that share a merge key, after a press.
void random_edit(Document& doc, std::mt19937& rng) {
    Scene& s = doc.scene();
    std::uniform_real_distribution<double> coord(-6.0, 6.0);
    const int n = s.track().num_points();
    switch (std::uniform_int_distribution<int>(0, 9)(rng)) {
    case 0:
        doc.edit([](Scene& sc) { return sc.add_point(); });
        break;
    case 1:
        doc.edit([](Scene& sc) { return sc.remove_point(); });
        break;
    case 2: {
        const auto type = static_cast<CurveType>(std::uniform_int_distribution<int>(0, 3)(rng));
        doc.edit([type](Scene& sc) { sc.set_curve_type(type); });
        break;
    }
    case 3: {
        const float t = std::uniform_real_distribution<float>(0.0f, 1.0f)(rng);
        doc.edit([t](Scene& sc) { sc.set_tension(t); });
        break;
    }
    case 4: {
        s.select_name(std::uniform_int_distribution<int>(0, n - 1)(rng));
        const double roll = std::uniform_real_distribution<double>(-180.0, 180.0)(rng);
        doc.edit([roll](Scene& sc) { return sc.set_selected_roll(roll); });
        break;
    }
    case 5: {
        const bool more = std::uniform_int_distribution<int>(0, 1)(rng) == 1;
        doc.edit([more](Scene& sc) { return more ? sc.add_car() : sc.remove_car(); });
        break;
    }
    case 6: {
        const double v = std::uniform_int_distribution<int>(0, 30)(rng) / 30.0;
        doc.edit([v](Scene& sc) { sc.set_velocity(v); });
        break;
    }
    case 7:
        doc.edit([](Scene& sc) { return sc.add_ball_generator(); });
        break;
    case 8: {
        const bool on = std::uniform_int_distribution<int>(0, 1)(rng) == 1;
        doc.edit([on](Scene& sc) {
            sc.set_constant_velocity(on);
            sc.set_conserve_energy(!on);
        });
        break;
    }
    default: {
        // A drag of a point, a handle, the light or a generator, over
        // several moves, some straight up.
        const int names[] = {0, n + 1, kLightName, kFirstGeneratorName};
        s.select_name(names[std::uniform_int_distribution<int>(0, 3)(rng)]);
        doc.end_merging();
        for (int move = 0; move < 4; ++move) {
            const Point3 target{coord(rng), coord(rng) / 3.0, coord(rng)};
            const bool vertical = move == 2;
            doc.edit([&](Scene& sc) { return sc.drag_selection(kEye, towards(target), vertical); },
                     {MergeKey::Kind::drag, s.selection().name()});
        }
        break;
    }
    }
}

TEST(EditPath, RandomEditsUndoToTheStartAndRedoToTheEndBitForBit) {
    for (unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 rng(seed);
        Document doc;
        // Every design the edits pass through, one per recorded step.
        std::vector<Design> seen{Design(doc.scene())};
        for (int i = 0; i < 150; ++i) {
            random_edit(doc, rng);
            const Design now(doc.scene());
            if (now != seen.back()) {
                seen.push_back(now);
            }
            ASSERT_EQ(doc.history().undo_steps(), static_cast<int>(seen.size()) - 1)
                << "an edit that changed the design is exactly one step, one that did not is none";
        }
        for (auto it = seen.rbegin() + 1; it != seen.rend(); ++it) {
            ASSERT_TRUE(doc.undo());
            ASSERT_TRUE(Design(doc.scene()) == *it);
        }
        EXPECT_FALSE(doc.undo());
        for (auto it = seen.begin() + 1; it != seen.end(); ++it) {
            ASSERT_TRUE(doc.redo());
            ASSERT_TRUE(Design(doc.scene()) == *it);
        }
        EXPECT_FALSE(doc.redo());
    }
}

TEST(EditPath, EditsOfOneDragAreOneStepAndViewChangesAreNone) {
    Document doc;
    Scene& s = doc.scene();
    int heard = 0;
    doc.set_observer([&heard](Document::Change c) { heard += c == Document::Change::edited; });

    // Selection, lights, ride view, animation and the train's place are not edits.
    s.select_name(2);
    doc.edit([](Scene& sc) {
        sc.set_lights_on(false);
        sc.set_look_from_car(true);
        sc.toggle_animation();
        sc.train().car_u = 1.5f;
    });
    EXPECT_EQ(doc.history().undo_steps(), 0);
    EXPECT_EQ(heard, 0);

    // A drag of point 2 over ten moves, then the roll slider dragged through
    // five values: two steps, each move heard.
    const ControlPoint start = s.track().point(2);
    const MergeKey drag{MergeKey::Kind::drag, 2};
    const MergeKey roll_of_2{MergeKey::Kind::roll, 2};
    for (int k = 0; k < 10; ++k) {
        doc.edit(
            [k](Scene& sc) {
                return sc.drag_selection(kEye, towards({k * 0.3, 1.0, 1.0}), false);
            },
            drag);
    }
    EXPECT_EQ(heard, 10);
    EXPECT_EQ(doc.history().undo_steps(), 1);
    for (double roll : {10.0, 20.0, 30.0, 40.0, 50.0}) {
        doc.edit([roll](Scene& sc) { return sc.set_selected_roll(roll); }, roll_of_2);
    }
    EXPECT_EQ(doc.history().undo_steps(), 2);
    // A new press ends the drag: the next drag of the same slider is a step
    // of its own, and so is each change from the keyboard (no key).
    doc.end_merging();
    doc.edit([](Scene& sc) { return sc.set_selected_roll(60.0); }, roll_of_2);
    doc.edit([](Scene& sc) { return sc.set_selected_roll(70.0); });
    doc.edit([](Scene& sc) { return sc.set_selected_roll(80.0); });
    EXPECT_EQ(doc.history().undo_steps(), 5);
    for (int k = 0; k < 3; ++k) {
        ASSERT_TRUE(doc.undo());
    }
    EXPECT_EQ(s.track().point(2).roll, 50.0);
    // After Undo a continued drag starts a new step instead of joining one.
    doc.edit([](Scene& sc) { return sc.set_selected_roll(50.0); }, roll_of_2);
    doc.edit([](Scene& sc) { return sc.set_selected_roll(55.0); }, roll_of_2);
    EXPECT_EQ(doc.history().undo_steps(), 3);
    ASSERT_TRUE(doc.undo());

    ASSERT_TRUE(doc.undo());
    EXPECT_EQ(s.track().point(2).roll, 0.0);
    EXPECT_NE(s.track().point(2).x, start.x);
    ASSERT_TRUE(doc.undo());
    EXPECT_EQ(s.track().point(2).x, start.x);
    EXPECT_EQ(s.track().point(2).z, start.z);

    // A new edit after Undo drops what could have been redone.
    EXPECT_TRUE(doc.can_redo());
    doc.edit([](Scene& sc) { return sc.add_car(); });
    EXPECT_FALSE(doc.can_redo());
    EXPECT_FALSE(doc.redo());
}

TEST(EditPath, UndoBringsBackResampledPointsAndEditedHandlesAndFollowsTheSelection) {
    Document doc;
    Scene& s = doc.scene();
    doc.edit([](Scene& sc) { sc.set_curve_type(CurveType::Bezier); });
    for (int i = 0; i < 3; ++i) {
        doc.edit([](Scene& sc) { return sc.add_point(); });
    }
    // Hand-move handle 5 and bank point 6, then let Remove Point resample
    // them away.
    const ControlPoint automatic_handle = s.track().bezier_handle(5);
    s.select_name(7 + 5);
    doc.edit([](Scene& sc) { return sc.drag_selection(kEye, towards({0.5, 2.0, 0.5}), false); });
    const ControlPoint moved_handle = s.track().bezier_handle(5);
    s.select_name(6);
    doc.edit([](Scene& sc) { return sc.set_selected_roll(-120.0); });
    const Design edited(s);
    doc.edit([](Scene& sc) { return sc.remove_point(); });
    doc.edit([](Scene& sc) { return sc.remove_point(); });
    ASSERT_EQ(s.track().num_points(), 5);

    // Park the train near the end of the five-point ring and select point 4
    // and then generator-less names: undo must keep only what still holds.
    s.train().car_u = 4.75f;
    s.select_name(4);
    ASSERT_TRUE(doc.undo());
    EXPECT_EQ(s.track().num_points(), 6);
    EXPECT_EQ(s.selection(), Selection::point(4)) << "point 4 is still point 4 of six";
    ASSERT_TRUE(doc.undo());
    EXPECT_TRUE(Design(s) == edited);
    EXPECT_EQ(s.track().point(6).roll, -120.0);
    EXPECT_EQ(s.track().bezier_handle(5).x, moved_handle.x) << "a moved handle comes back";
    EXPECT_EQ(s.track().bezier_handle(5).z, moved_handle.z);
    EXPECT_NE(moved_handle.x, automatic_handle.x);
    EXPECT_EQ(s.train().car_u, 4.75f) << "the train keeps its place on a ring that still has it";

    // Redo down to five points: a handle is dropped, so is point 6, and the
    // train is wrapped onto the shorter ring rather than left past its end.
    s.select_name(7 + 3);
    ASSERT_TRUE(doc.redo());
    EXPECT_TRUE(s.selection().is(Kind::nothing));
    s.select_name(5);
    s.train().car_u = 5.5f;
    ASSERT_TRUE(doc.redo());
    EXPECT_TRUE(s.selection().is(Kind::nothing));
    EXPECT_GE(s.train().car_u, 0.0f);
    EXPECT_LT(s.train().car_u, 5.0f);
    EXPECT_EQ(s.train().car_u, 0.5f);

    // Undoing an added generator drops its selection, and the light keeps its own.
    doc.edit([](Scene& sc) { return sc.add_ball_generator(); });
    s.select_name(kFirstGeneratorName);
    ASSERT_TRUE(doc.undo());
    EXPECT_EQ(s.num_generators(), 0);
    EXPECT_TRUE(s.selection().is(Kind::nothing));
    s.select_name(kLightName);
    ASSERT_TRUE(doc.redo());
    EXPECT_EQ(s.selection(), Selection::light());
}

TEST(EditPath, TheTrainKeepsRunningAndKeepsItsGainedSpeedAcrossUndo) {
    Document doc;
    Scene& s = doc.scene();
    int now = 0;
    s.set_clock([&now] { return now; });
    s.toggle_animation();
    doc.edit([](Scene& sc) { return sc.add_point(); });
    for (int k = 1; k <= 20; ++k) {
        now = 40 * k;
        ASSERT_TRUE(s.step());
    }
    s.train().speed = 0.25; // gained on a descent
    ASSERT_TRUE(doc.undo());
    EXPECT_EQ(s.train().speed, 0.25) << "the chosen speed did not change";
    EXPECT_LT(s.train().car_u, 4.0f);
    const float before = s.train().car_u;
    now += 40;
    ASSERT_TRUE(s.step());
    EXPECT_NE(s.train().car_u, before);

    doc.edit([](Scene& sc) { sc.set_velocity(0.5); });
    s.train().speed = 0.9;
    ASSERT_TRUE(doc.undo());
    EXPECT_EQ(s.train().base_speed, 0.1);
    EXPECT_EQ(s.train().speed, 0.1) << "bringing back the chosen speed drops what was gained";
}

// The biggest design: 100 banked points, Bezier with every handle moved, 20
// generators, 8 cars.
void build_biggest(Document& doc) {
    doc.edit([](Scene& sc) {
        while (sc.add_point()) {
        }
        sc.set_curve_type(CurveType::Bezier);
        for (int k = 0; k < 2 * Track::kMaxPoints; ++k) {
            sc.track().bezier_handle(k).y += 0.25 * (k % 7);
        }
        while (sc.add_ball_generator()) {
        }
        while (sc.add_car()) {
        }
    });
}

// Bytes the C library's allocator has handed out and not had back; 0 where
// it cannot tell.
std::size_t heap_in_use() {
#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd; // small pieces and those mapped alone
#else
    return 0;
#endif
}

TEST(History, KeepsAThousandStepsOfTheBiggestDesignUnderSixteenMegabytes) {
    Document doc;
    build_biggest(doc);
    Scene& s = doc.scene();
    s.select_name(37);
    const int steps = History::kMaxSteps + 200;
    for (int k = 0; k < steps; ++k) {
        doc.edit([k](Scene& sc) { return sc.set_selected_roll(k % 360 - 179.5); });
    }
    // At least the last thousand edits can be undone, as the README promises.
    EXPECT_EQ(doc.history().undo_steps(), History::kMaxSteps);
    EXPECT_GE(doc.history().undo_steps(), 1000);
    EXPECT_LT(doc.history().bytes(), 16u << 20);
    // Undo as far as it goes, then all the way back; the history holds the
    // same designs whichever way they have moved, so its size holds too.
    int undone = 0;
    while (doc.undo()) {
        ++undone;
    }
    EXPECT_EQ(undone, History::kMaxSteps);
    EXPECT_EQ(s.track().point(37).roll, (steps - History::kMaxSteps - 1) % 360 - 179.5);
    EXPECT_LT(doc.history().bytes(), 16u << 20);
    while (doc.redo()) {
    }
    EXPECT_EQ(s.track().point(37).roll, (steps - 1) % 360 - 179.5);
    // A new edit after undoing everything forgets the thousand redo steps and
    // their memory with them, so that long use levels off.
    for (int k = 0; k < History::kMaxSteps; ++k) {
        doc.undo();
    }
    const std::size_t before = heap_in_use();
    doc.edit([](Scene& sc) { return sc.set_selected_roll(1.0); });
    ASSERT_EQ(doc.history().redo_steps(), 0);
    if (before > 0) { // the sanitizers' allocator reports nothing
        EXPECT_LT(heap_in_use() + 8'000'000, before);
    }
}

TEST(FileState, TitleMarksUnsavedChangesOnlyOnceFilesAreInUse) {
    Document doc;
    std::vector<Document::Change> heard;
    doc.set_observer([&heard](Document::Change c) { heard.push_back(c); });
    EXPECT_EQ(doc.title(), "Looptide");
    doc.edit([](Scene& sc) { return sc.add_car(); });
    EXPECT_TRUE(doc.modified());
    EXPECT_EQ(doc.title(), "Looptide") << "a session without files looks as it always did";
    ASSERT_TRUE(doc.undo());
    EXPECT_FALSE(doc.modified()) << "back to the design it began with";

    // A file that cannot be opened changes nothing at all.
    doc.edit([](Scene& sc) { return sc.add_car(); });
    heard.clear();
    const Failure failure = doc.open("/nonexistent-folder/track.looptide");
    ASSERT_TRUE(failure.has_value());
    EXPECT_NE(failure->find("/nonexistent-folder/track.looptide"), std::string::npos) << *failure;
    EXPECT_TRUE(heard.empty());
    EXPECT_EQ(doc.scene().train().cars, 2);
    EXPECT_TRUE(doc.modified());
    EXPECT_TRUE(doc.can_undo());
    EXPECT_EQ(doc.path(), "");
    EXPECT_FALSE(doc.worked_with_files());

    // New: the default design, unchanged, with no history.
    doc.scene().train().car_u = 2.5f;
    doc.new_design();
    EXPECT_TRUE(Design(doc.scene()) == Design());
    EXPECT_FALSE(doc.modified());
    EXPECT_FALSE(doc.can_undo());
    EXPECT_EQ(doc.scene().train().car_u, 0.0f);
    ASSERT_FALSE(heard.empty());
    EXPECT_EQ(heard.back(), Document::Change::replaced);
}

} // namespace
