// The example designs of data/examples: each is what make_examples writes now
// and keeps to what the controls can make, opens, rides round in every speed
// mode without sticking or jumping, keeps its up vector from turning over,
// exports its track table, and rides within the guidelines at the speeds
// the animation shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <set>
#include <string>

#include "analysis/lap_on_screen.h"
#include "analysis/ride_analysis.h"
#include "document/design_file.h"
#include "document/document.h"
#include "document/track_table.h"
#include "examples.h"
#include "scene/ranges.h"

namespace {

const std::filesystem::path kFolder =
    std::filesystem::path(LOOPTIDE_SOURCE_DIR) / "data" / "examples";

std::string path_of(const Example& example) {
    return (kFolder / (example.name + ".looptide")).string();
}

Point3 unit(const Point3& v) {
    return v / length(v);
}

bool within(double v, double lo, double hi) {
    return v >= lo && v <= hi;
}

TEST(Examples, TheCommittedFilesAreWhatMakeExamplesWritesAndKeepToTheControls) {
    std::set<std::string> written;
    for (const Example& example : examples()) {
        SCOPED_TRACE(example.name);
        std::string committed;
        ASSERT_FALSE(read_file(path_of(example), kMaxDesignFileBytes, committed))
            << "run scripts/make-examples.sh";
        const std::string text = example_text(example);
        EXPECT_EQ(committed, text) << "data/examples is stale: run scripts/make-examples.sh";
        written.insert(example.name + ".looptide");

        // What the file holds is what the builder made, bit for bit.
        const Design built = example.build();
        Design read;
        ASSERT_FALSE(design_from_json(text, read));
        EXPECT_TRUE(read == built);

        // Within the controls' reach, and inside the ground the view shows.
        const Track& track = built.track;
        for (int i = 0; i < track.num_points(); ++i) {
            const ControlPoint& p = track.point(i);
            EXPECT_TRUE(within(p.roll, -180.0, 180.0)) << "point " << i;
            EXPECT_TRUE(within(p.x, -10.0, 10.0) && within(p.z, -10.0, 10.0) && p.y > 0.0)
                << "point " << i;
        }
        EXPECT_TRUE(within(track.tension(), 0.0f, 1.0f));
        EXPECT_TRUE(within(built.speed, 0.01, 1.0)) << "a standing train shows nothing";
        EXPECT_TRUE(within(built.cars, 1, 8));
        EXPECT_LE(built.generators.size(), static_cast<std::size_t>(Scene::kMaxGenerators));
        for (const ControlPoint& g : built.generators) {
            EXPECT_EQ(g.y, 0.0) << "generators stay on the ground";
        }
    }
    // Nothing else in the folder: a design dropped from the list goes too.
    std::set<std::string> present;
    for (const auto& entry : std::filesystem::directory_iterator(kFolder)) {
        present.insert(entry.path().filename().string());
    }
    EXPECT_EQ(present, written);
    EXPECT_GE(written.size(), 5u);
}

struct SpeedMode {
    const char* name;
    bool constant_velocity;
    bool conserve_energy;
};

constexpr SpeedMode kSpeedModes[] = {
    {"constant velocity, conserving energy", true, true},
    {"constant velocity", true, false},
    {"parameter steps", false, false},
};

// 2,000 steps, driven through the 34 ms gate: every step moves the front car
// (it never sticks), by no more than its speed (it never jumps), to a finite
// place at a finite speed.
TEST(Examples, EachOpensAndRidesRoundInEverySpeedMode) {
    for (const Example& example : examples()) {
        for (const SpeedMode& mode : kSpeedModes) {
            SCOPED_TRACE(example.name + ", " + mode.name);
            Document doc;
            ASSERT_FALSE(doc.open(path_of(example)));
            EXPECT_EQ(doc.title(), example.name + ".looptide - Looptide");
            Scene& scene = doc.scene();
            scene.set_constant_velocity(mode.constant_velocity);
            scene.set_conserve_energy(mode.conserve_energy);
            // The controls' rule; the analysed speeds are ridden below.
            scene.set_physics(false);
            int now = 0;
            scene.set_clock([&now] { return now; });
            scene.set_calendar([] { return std::int64_t{1700000000}; });
            scene.toggle_animation();

            const Track& track = scene.track();
            const float n = static_cast<float>(track.num_points());
            float u = scene.train().car_u;
            Point3 at = track.position_at(u);
            int seam_holds = 0;
            int laps = 0;
            for (int step = 0; step < 2000; ++step) {
                now += Scene::kStepMs - 1;
                ASSERT_FALSE(scene.step()) << "step " << step << " came before its time";
                now += 1;
                const double speed = scene.train().speed;
                ASSERT_TRUE(scene.step()) << "step " << step;
                const float next = scene.train().car_u;
                const Point3 there = track.position_at(next);
                ASSERT_TRUE(is_finite(there) && std::isfinite(scene.train().speed))
                    << "step " << step;
                ASSERT_NE(next, u) << "step " << step;
                laps += next < u ? 1 : 0;
                const double moved = length(there - at);
                // Parameter steps may stop at u = n, which is where u = 0 is,
                // for one step before going back to 0.
                if (!mode.constant_velocity && next == 0.0f && u > n - 0.001f) {
                    ++seam_holds;
                } else {
                    ASSERT_GT(moved, 1e-3) << "stuck at u = " << u << " on step " << step;
                }
                // A step moves by the speed, give or take one chord of the
                // walk's grid (the one across the seam is the longest).
                const double most = mode.constant_velocity ? speed + 0.05 : 0.5;
                ASSERT_LT(moved, most) << "jumped from u = " << u << " on step " << step;
                if (mode.constant_velocity) {
                    ASSERT_GE(scene.train().speed, scene.train().base_speed);
                }
                u = next;
                at = there;
            }
            EXPECT_LE(seam_holds, laps);
            if (mode.constant_velocity) {
                EXPECT_GE(laps, 1) << "2,000 steps ride the ring at least once";
            }
        }
    }
}

// The up vector turns by little between neighbouring parameters, so the cars
// and the ride view never turn over for a frame: checked on the walk's grid
// and at every float parameter near each place where a bank passes through
// +-90 degrees, where the side vector turns over.
TEST(Examples, TheUpVectorNeverTurnsOverAlongTheRing) {
    for (const Example& example : examples()) {
        SCOPED_TRACE(example.name);
        Document doc;
        ASSERT_FALSE(doc.open(path_of(example)));
        const Track& track = doc.scene().track();
        const int n = track.num_points();
        const auto expect_smooth = [&track](float a, float b) {
            const double turn = dot(unit(track.up_at(a)), unit(track.up_at(b)));
            EXPECT_GT(turn, 0.5) << "the up vector turns over between u = " << a << " and " << b;
            return turn > 0.5;
        };
        for (int k = 1; k <= 200 * n; ++k) {
            const float a = track.wrap((k - 1) * 0.005f);
            const float b = track.wrap(k * 0.005f);
            if (!expect_smooth(a, b)) {
                break;
            }
        }
        for (int i = 0; i < n; ++i) {
            const double r0 = track.point(i).roll;
            const double r1 = track.point((i + 1) % n).roll;
            for (double bank : {90.0, -90.0}) {
                if (r0 == r1 || (r0 - bank) * (r1 - bank) > 0) {
                    continue;
                }
                const float centre = static_cast<float>(i + (bank - r0) / (r1 - r0));
                float a = centre - 2e-5f;
                for (float b = std::nextafter(a, 1e9f); b < centre + 2e-5f;
                     a = b, b = std::nextafter(b, 1e9f)) {
                    if (!expect_smooth(track.wrap(a), track.wrap(b))) {
                        break;
                    }
                }
            }
        }
    }
}

// Once round the ring, a row every 0.5 m: about the track's length in rows,
// and every value a number.
TEST(Examples, EachExportsItsTrackTable) {
    for (const Example& example : examples()) {
        SCOPED_TRACE(example.name);
        Document doc;
        ASSERT_FALSE(doc.open(path_of(example)));
        const Track& track = doc.scene().track();
        std::string text;
        ASSERT_FALSE(write_track_table(track, kDefaultTableSpacing,
                                       [&text](std::string_view chunk) { text += chunk; }));
        const long rows = std::count(text.begin(), text.end(), '\n') - 1; // the header aside
        EXPECT_NEAR(rows * kDefaultTableSpacing, track.length(), 1.0);
        EXPECT_EQ(text.find("nan"), std::string::npos);
        EXPECT_EQ(text.find("inf"), std::string::npos);
    }
}

TEST(Examples, RideWithinTheGuidelinesUnderTheirOwnSettingsAndRideTheAnalysedSpeeds) {
    // The twisting drop breaks the common guidelines (-1.5 to 5 g vertical,
    // 1.5 g lateral) on purpose, as the README's gallery says: it rolls the
    // train over through a drop far too tight for its speed.
    for (const Example& example : examples()) {
        const Design d = example.build();
        const SpeedModel model{d.constant_velocity, d.conserve_energy,
                               d.speed * kVelocitySliderScale};
        const RideAnalysis ride = analyse_ride(d.track, model);
        const RideSummary& s = ride.summary;
        const double lateral = std::abs(s.lateral_max_abs.value);
        const bool fine = within(s.vertical_min.value, -1.5, 5.0) &&
                          within(s.vertical_max.value, -1.5, 5.0) && lateral <= 1.5;
        EXPECT_EQ(fine, example.name != "twisting-drop")
            << example.name << ": vertical " << s.vertical_min.value << " to "
            << s.vertical_max.value << " g, lateral " << lateral << " g";
        // Banking for level riding at least halves a lateral figure above 1 g
        // and adds no inversion.
        Track banked = d.track;
        const std::vector<double> rolls = level_banking(banked, model);
        for (int i = 0; i < banked.num_points(); ++i) {
            banked.point(i).roll = rolls[static_cast<std::size_t>(i)];
        }
        const RideSummary level = analyse_ride(banked, model).summary;
        EXPECT_LE(std::abs(level.lateral_max_abs.value), lateral > 1.0 ? 0.5 * lateral : lateral)
            << example.name;
        EXPECT_LE(level.inversions, s.inversions) << example.name;
        // A frictionless train is shown at the analysed speeds, lap for lap.
        EXPECT_TRUE(d.physics || !(d.constant_velocity && d.conserve_energy)) << example.name;
        if (d.physics) {
            ride_test::expect_lap_on_screen_as_analysed([&d](Scene& scene) { apply(d, scene); },
                                                        ride, example.name);
        }
    }
}

} // namespace
