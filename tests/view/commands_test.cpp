// The view's freshly built state and its commands: what each one changes, what
// it leaves alone at its limits, and whether it asks for a redraw.
//
// FLTK records damage on a window only once the window is mapped, so the
// redraw checks show the view first. No event loop runs, so draw() is never
// called and only the damage bits are observed.
#include <gtest/gtest.h>

#include <FL/Fl.H>

#include <array>
#include <string>
#include <vector>

#include "view/coaster_window.h"
#include "view/view_fixture.h"

namespace {

struct Xyz {
    double x, y, z;
};

// The corners of the track every view starts with.
constexpr std::array<Xyz, 4> kDefaultCorners{
    {{-2.501, 1.0, -2.5}, {-2.5, 1.0, 2.501}, {2.501, 1.0, 2.5}, {2.5, 1.0, -2.501}}};

std::vector<double> rolls(CoasterWindow& view) {
    std::vector<double> out;
    for (int i = 0; i < view.track.num_points(); ++i) {
        out.push_back(view.track.point(i).roll);
    }
    return out;
}

using CommandsTest = ViewFixture;

TEST_F(CommandsTest, FreshViewHoldsTheStartingState) {
    CoasterWindow& v = view();
    EXPECT_EQ(std::string(v.label()), "Coaster Window");
    EXPECT_EQ(v.x(), 0);
    EXPECT_EQ(v.y(), 0);
    EXPECT_EQ(v.w(), 480);
    EXPECT_EQ(v.h(), 480);
    EXPECT_EQ(v.children(), 0);

    // Track: Cardinal, tension 0, the four default corners with no bank.
    EXPECT_EQ(v.track.curve_type(), Cardinal);
    EXPECT_EQ(v.track.tension(), 0.0f);
    ASSERT_EQ(v.track.num_points(), 4);
    EXPECT_EQ(v.num_points, 4);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE("point " + std::to_string(i));
        EXPECT_EQ(v.track.point(i).x, kDefaultCorners[i].x);
        EXPECT_EQ(v.track.point(i).y, kDefaultCorners[i].y);
        EXPECT_EQ(v.track.point(i).z, kDefaultCorners[i].z);
        EXPECT_EQ(v.track.point(i).roll, 0.0);
    }

    EXPECT_EQ(v.selected_name, -1);
    EXPECT_FALSE(v.picked);
    EXPECT_EQ(v.num_cars, 1);
    EXPECT_FALSE(v.animating);
    EXPECT_TRUE(v.constant_velocity);
    EXPECT_TRUE(v.conserve_energy);
    EXPECT_DOUBLE_EQ(v.speed, 0.1);
    EXPECT_DOUBLE_EQ(v.base_speed, 0.1);
    EXPECT_EQ(v.last_tick, 0);
    EXPECT_EQ(v.car_u, 0.0f);
    EXPECT_FALSE(v.look_from_car);
    EXPECT_TRUE(v.lights_on);

    EXPECT_EQ(v.light_pos.x, 0.0);
    EXPECT_EQ(v.light_pos.y, 4.0);
    EXPECT_EQ(v.light_pos.z, 4.0);
    EXPECT_EQ(v.light_pos.roll, 0.0);

    EXPECT_EQ(v.num_generators, 0);
    for (const auto& g : v.generators) {
        EXPECT_EQ(g, nullptr);
    }
    EXPECT_EQ(v.roll_slider, slider_.get());

    EXPECT_EQ(v.grid_cols, 10);
    EXPECT_EQ(v.grid_rows, 10);
    EXPECT_EQ(v.ground_max_x, 10.0f);
    EXPECT_EQ(v.ground_min_x, -10.0f);
    EXPECT_EQ(v.ground_max_z, 10.0f);
    EXPECT_EQ(v.ground_min_z, -10.0f);
}

TEST_F(CommandsTest, CurveTypeIsSetAndRedrawnEvenWhenUnchanged) {
    show();
    CoasterWindow& v = view();
    v.set_curve_type(Cardinal); // already Cardinal
    EXPECT_EQ(v.track.curve_type(), Cardinal);
    EXPECT_TRUE(redraw_requested());

    for (int type : {Bezier, Linear, BSpline, Cardinal}) {
        SCOPED_TRACE("curve type " + std::to_string(type));
        v.set_curve_type(type);
        EXPECT_EQ(v.track.curve_type(), type);
        EXPECT_TRUE(redraw_requested());
    }
}

TEST_F(CommandsTest, ToggleAnimationFlipsTheFlagAndNeverRedraws) {
    show();
    CoasterWindow& v = view();
    v.toggle_animation();
    EXPECT_TRUE(v.animating);
    EXPECT_TRUE(no_damage());
    v.toggle_animation();
    EXPECT_FALSE(v.animating);
    EXPECT_TRUE(no_damage());
    // Nothing else moves with it.
    EXPECT_EQ(v.car_u, 0.0f);
    EXPECT_EQ(v.last_tick, 0);
}

TEST_F(CommandsTest, TensionReachesTheTrackUnchanged) {
    show();
    CoasterWindow& v = view();
    for (float t : {0.3f, 1.0f, 0.55f, 0.0f}) {
        v.set_tension(t);
        EXPECT_EQ(v.track.tension(), t);
        EXPECT_TRUE(redraw_requested());
    }
    EXPECT_EQ(v.track.curve_type(), Cardinal);
}

TEST_F(CommandsTest, FlagCommandsSetOnlyTheirOwnFlagAndRedraw) {
    show();
    CoasterWindow& v = view();
    struct FlagCommand {
        const char* name;
        void (CoasterWindow::*command)(bool);
        bool CoasterWindow::*flag;
    };
    const FlagCommand commands[] = {
        {"constant velocity", &CoasterWindow::set_constant_velocity,
         &CoasterWindow::constant_velocity},
        {"conserve energy", &CoasterWindow::set_conserve_energy, &CoasterWindow::conserve_energy},
        {"look from car", &CoasterWindow::set_look_from_car, &CoasterWindow::look_from_car},
        {"lights on", &CoasterWindow::set_lights_on, &CoasterWindow::lights_on},
    };
    for (const FlagCommand& c : commands) {
        SCOPED_TRACE(c.name);
        for (bool value : {!(v.*c.flag), v.*c.flag, !(v.*c.flag)}) {
            std::vector<bool> others;
            for (const FlagCommand& o : commands) {
                if (o.flag != c.flag) {
                    others.push_back(v.*o.flag);
                }
            }
            (v.*c.command)(value);
            EXPECT_EQ(v.*c.flag, value);
            EXPECT_TRUE(redraw_requested());
            std::size_t k = 0;
            for (const FlagCommand& o : commands) {
                if (o.flag != c.flag) {
                    EXPECT_EQ(v.*o.flag, others[k++]) << "changed " << o.name;
                }
            }
        }
    }
    EXPECT_FALSE(v.animating);
}

TEST_F(CommandsTest, VelocitySetsSpeedAndBaseSpeedTogether) {
    show();
    CoasterWindow& v = view();
    v.set_velocity(0.5);
    EXPECT_EQ(v.speed, 0.5);
    EXPECT_EQ(v.base_speed, 0.5);
    EXPECT_TRUE(redraw_requested());

    // A speed gained on a descent is dropped too, down to a standstill.
    v.speed = 0.8;
    v.set_velocity(0.0);
    EXPECT_EQ(v.speed, 0.0);
    EXPECT_EQ(v.base_speed, 0.0);
    EXPECT_TRUE(redraw_requested());

    v.set_velocity(1.0);
    EXPECT_EQ(v.speed, 1.0);
    EXPECT_EQ(v.base_speed, 1.0);
    EXPECT_TRUE(redraw_requested());
}

TEST_F(CommandsTest, SelectedRollChangesOnlyASelectedControlPoint) {
    show();
    CoasterWindow& v = view();
    v.add_ball_generator();
    v.clear_damage();

    v.selected_name = 2;
    v.set_selected_roll(45.0);
    EXPECT_EQ(rolls(v), (std::vector<double>{0.0, 0.0, 45.0, 0.0}));
    EXPECT_EQ(v.selected_point, &v.track.point(2));
    EXPECT_TRUE(redraw_requested());

    v.selected_name = 3; // the last point is still a point
    v.set_selected_roll(-180.0);
    EXPECT_EQ(rolls(v), (std::vector<double>{0.0, 0.0, 45.0, -180.0}));
    EXPECT_TRUE(redraw_requested());

    // Nothing, the first and the last handle, the light and a generator: no
    // point changes, yet the view still redraws.
    const std::vector<double> before = rolls(v);
    for (int name : {-1, 4, 11, CoasterWindow::kLightName, CoasterWindow::kFirstGeneratorName}) {
        SCOPED_TRACE("selected name " + std::to_string(name));
        v.selected_name = name;
        v.set_selected_roll(90.0);
        EXPECT_EQ(rolls(v), before);
        EXPECT_EQ(v.selected_point, &v.track.point(3)); // still the last point rolled
        EXPECT_TRUE(redraw_requested());
    }
    EXPECT_EQ(v.light_pos.roll, 0.0);
    EXPECT_EQ(v.generators[0]->position()->roll, 0.0);
    for (int k = 0; k < 2 * v.num_points; ++k) {
        EXPECT_EQ(v.track.bezier_handle(k).roll, 0.0) << "handle " << k;
    }
}

TEST_F(CommandsTest, CarCountStaysWithinOneToEightAndAlwaysRedraws) {
    show();
    CoasterWindow& v = view();
    v.remove_car(); // already at one
    EXPECT_EQ(v.num_cars, 1);
    EXPECT_TRUE(redraw_requested());

    for (int expected = 2; expected <= 8; ++expected) {
        v.add_car();
        EXPECT_EQ(v.num_cars, expected);
        EXPECT_TRUE(redraw_requested());
    }
    v.add_car(); // at eight
    EXPECT_EQ(v.num_cars, 8);
    EXPECT_TRUE(redraw_requested());

    for (int expected = 7; expected >= 1; --expected) {
        v.remove_car();
        EXPECT_EQ(v.num_cars, expected);
        EXPECT_TRUE(redraw_requested());
    }
    v.remove_car();
    EXPECT_EQ(v.num_cars, 1);
    EXPECT_TRUE(redraw_requested());
}

TEST_F(CommandsTest, PointCountStaysWithinFourToHundredAndRedrawsOnlyOnChange) {
    show();
    CoasterWindow& v = view();

    // At four points removing does nothing at all, not even a redraw.
    v.remove_point();
    EXPECT_EQ(v.num_points, 4);
    EXPECT_EQ(v.track.num_points(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(v.track.point(i).x, kDefaultCorners[i].x) << "point " << i;
        EXPECT_EQ(v.track.point(i).z, kDefaultCorners[i].z) << "point " << i;
    }
    EXPECT_TRUE(no_damage());

    for (int expected = 5; expected <= 100; ++expected) {
        v.add_point();
        ASSERT_EQ(v.num_points, expected);
        ASSERT_EQ(v.track.num_points(), expected);
        ASSERT_TRUE(redraw_requested()) << "at " << expected << " points";
    }

    // At a hundred, adding changes nothing and asks for no redraw.
    const ControlPoint last = v.track.point(99);
    v.add_point();
    EXPECT_EQ(v.num_points, 100);
    EXPECT_EQ(v.track.num_points(), 100);
    EXPECT_EQ(v.track.point(99).x, last.x);
    EXPECT_EQ(v.track.point(99).z, last.z);
    EXPECT_TRUE(no_damage());

    v.remove_point();
    EXPECT_EQ(v.num_points, 99);
    EXPECT_EQ(v.track.num_points(), 99);
    EXPECT_TRUE(redraw_requested());
}

TEST_F(CommandsTest, AddingOrRemovingAPointDropsAPointOrHandleSelection) {
    show();
    CoasterWindow& v = view();
    v.add_point(); // five points: names 0-4 points, 5-14 handles
    v.add_ball_generator();
    v.clear_damage();

    for (int name : {0, 4, 5, 14}) {
        SCOPED_TRACE("selected name " + std::to_string(name));
        v.selected_name = name;
        v.add_point();
        EXPECT_EQ(v.selected_name, -1);
        v.selected_name = name;
        v.remove_point();
        EXPECT_EQ(v.selected_name, -1);
        ASSERT_EQ(v.num_points, 5);
    }

    // The light and the generators keep their names across a resample.
    for (int name : {CoasterWindow::kLightName, CoasterWindow::kFirstGeneratorName}) {
        SCOPED_TRACE("selected name " + std::to_string(name));
        v.selected_name = name;
        v.add_point();
        EXPECT_EQ(v.selected_name, name);
        v.remove_point();
        EXPECT_EQ(v.selected_name, name);
    }

    // A refused removal changes nothing, the selection included.
    v.remove_point();
    ASSERT_EQ(v.num_points, 4);
    v.selected_name = 2;
    v.clear_damage();
    v.remove_point();
    EXPECT_EQ(v.selected_name, 2);
    EXPECT_TRUE(no_damage());
}

TEST_F(CommandsTest, BallGeneratorsStartAtTheOriginUpToTwenty) {
    show();
    CoasterWindow& v = view();
    for (int expected = 1; expected <= CoasterWindow::kMaxGenerators; ++expected) {
        v.add_ball_generator();
        ASSERT_EQ(v.num_generators, expected);
        ASSERT_NE(v.generators[expected - 1], nullptr);
        const ControlPoint* p = v.generators[expected - 1]->position();
        EXPECT_EQ(p->x, 0.0);
        EXPECT_EQ(p->y, 0.0);
        EXPECT_EQ(p->z, 0.0);
        EXPECT_EQ(p->roll, 0.0);
        EXPECT_EQ(v.generators[expected - 1]->num_balls(), 0);
        EXPECT_TRUE(redraw_requested());
        // A generator moved away does not pull the next one with it.
        v.generators[expected - 1]->position()->set_position(expected, 0.0, -expected);
    }

    std::array<const BallGenerator*, CoasterWindow::kMaxGenerators> before{};
    for (int i = 0; i < CoasterWindow::kMaxGenerators; ++i) {
        before[i] = v.generators[i].get();
    }
    v.add_ball_generator(); // the twenty-first is refused but still redraws
    EXPECT_EQ(v.num_generators, CoasterWindow::kMaxGenerators);
    for (int i = 0; i < CoasterWindow::kMaxGenerators; ++i) {
        EXPECT_EQ(v.generators[i].get(), before[i]) << "generator " << i;
    }
    EXPECT_EQ(v.generators[19]->position()->x, 20.0);
    EXPECT_TRUE(redraw_requested());
}

} // namespace
