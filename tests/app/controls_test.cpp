// The control callbacks, driven through the real widgets of the main window:
// set a control's value as the user would, run its callback, read the view.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Value_Slider.H>

#include <functional>
#include <string>

#include "app/app_fixture.h"

namespace {

class ControlsTest : public MainWindowFixture {
protected:
    Fl_Value_Slider& slider(Child c) {
        auto* s = child_as<Fl_Value_Slider>(c);
        EXPECT_NE(s, nullptr);
        return *s;
    }
    Fl_Button& button(Child c) {
        auto* b = child_as<Fl_Button>(c);
        EXPECT_NE(b, nullptr);
        return *b;
    }
    void press(Child c) { button(c).do_callback(); }
    void slide(Child c, double value) {
        slider(c).value(value);
        slider(c).do_callback();
    }
    void tick(Child c, int state) {
        button(c).value(state);
        button(c).do_callback();
    }
};

TEST_F(ControlsTest, VelocitySliderSetsSpeedInThirtiethsDownToAStandstill) {
    slide(kVelocity, 30.0);
    EXPECT_EQ(scene().train().speed, 1.0);
    EXPECT_EQ(scene().train().base_speed, 1.0);

    slide(kVelocity, 15.0);
    EXPECT_EQ(scene().train().speed, 0.5);
    EXPECT_EQ(scene().train().base_speed, 0.5);

    scene().train().speed = 0.9; // speed gained on a descent
    slide(kVelocity, 0.0);
    EXPECT_EQ(scene().train().speed, 0.0);
    EXPECT_EQ(scene().train().base_speed, 0.0);
}

TEST_F(ControlsTest, TensionSliderPassesTheValueAsAFloat) {
    slide(kTension, 0.3);
    EXPECT_EQ(scene().track().tension(), 0.3f);
    slide(kTension, 0.77);
    EXPECT_EQ(scene().track().tension(), 0.77f);
    slide(kTension, 1.0);
    EXPECT_EQ(scene().track().tension(), 1.0f);
    EXPECT_EQ(scene().track().curve_type(), CurveType::Cardinal);
}

TEST_F(ControlsTest, CurveButtonsEachSetTheirType) {
    press(kBezier);
    EXPECT_EQ(scene().track().curve_type(), CurveType::Bezier);
    press(kLinear);
    EXPECT_EQ(scene().track().curve_type(), CurveType::Linear);
    press(kBSpline);
    EXPECT_EQ(scene().track().curve_type(), CurveType::BSpline);
    press(kCardinal);
    EXPECT_EQ(scene().track().curve_type(), CurveType::Cardinal);
    press(kCardinal);
    EXPECT_EQ(scene().track().curve_type(), CurveType::Cardinal);
}

TEST_F(ControlsTest, RollSliderBanksOnlyTheSelectedPoint) {
    scene().select_name(2);
    slide(kRollSlider, -90.0);
    EXPECT_EQ(scene().track().point(2).roll, -90.0);
    for (int i : {0, 1, 3}) {
        EXPECT_EQ(scene().track().point(i).roll, 0.0) << "point " << i;
    }

    scene().select_name(0);
    slide(kRollSlider, 37.5);
    EXPECT_EQ(scene().track().point(0).roll, 37.5);
    EXPECT_EQ(scene().track().point(2).roll, -90.0);

    scene().select_name(-1);
    slide(kRollSlider, 120.0);
    EXPECT_EQ(scene().track().point(0).roll, 37.5);
    EXPECT_EQ(scene().track().point(1).roll, 0.0);
    EXPECT_EQ(scene().track().point(2).roll, -90.0);
    EXPECT_EQ(scene().track().point(3).roll, 0.0);
}

TEST_F(ControlsTest, CheckButtonsSetTheirFlags) {
    struct CheckRow {
        Child child;
        std::function<bool()> flag;
    };
    const CheckRow rows[] = {
        {kConstantVelocity, [this] { return scene().train().constant_velocity; }},
        {kConserveEnergy, [this] { return scene().train().conserve_energy; }},
        {kLookFromCar, [this] { return scene().look_from_car(); }},
        {kLights, [this] { return scene().lights_on(); }},
    };
    for (const CheckRow& r : rows) {
        SCOPED_TRACE(child(r.child)->label());
        const bool initial = r.flag();
        tick(r.child, initial ? 0 : 1);
        EXPECT_EQ(r.flag(), !initial);
        tick(r.child, initial ? 1 : 0);
        EXPECT_EQ(r.flag(), initial);
        tick(r.child, 0);
        EXPECT_FALSE(r.flag());
    }
    EXPECT_FALSE(scene().animating());
}

TEST_F(ControlsTest, CarButtonsAddAndRemoveCars) {
    press(kAddCar);
    press(kAddCar);
    EXPECT_EQ(scene().train().cars, 3);
    press(kRemoveCar);
    EXPECT_EQ(scene().train().cars, 2);
    for (int i = 0; i < 10; ++i) {
        press(kAddCar);
    }
    EXPECT_EQ(scene().train().cars, 8);
    for (int i = 0; i < 10; ++i) {
        press(kRemoveCar);
    }
    EXPECT_EQ(scene().train().cars, 1);
}

TEST_F(ControlsTest, PointButtonsResampleTheTrackAndTheRollSliderStillBanksAKeptPoint) {
    scene().select_name(2);
    press(kAddPoint);
    EXPECT_EQ(scene().track().num_points(), 5);
    slide(kRollSlider, 25.0);
    EXPECT_EQ(scene().track().point(2).roll, 25.0);

    scene().select_name(4);
    press(kRemovePoint);
    EXPECT_EQ(scene().track().num_points(), 4);
    slide(kRollSlider, -60.0);
    for (int i = 0; i < 4; ++i) {
        EXPECT_NE(scene().track().point(i).roll, -60.0) << "point " << i;
    }
    press(kRemovePoint);
    EXPECT_EQ(scene().track().num_points(), 4);
}

TEST_F(ControlsTest, PickingAPointShowsItsBankInTheRollSlider) {
    window_->show();
    // The camera looks at (0, 3, 0), which the view shows at its centre:
    // point 2's cube, half a unit above the point, goes there.
    scene().track().point(2) = ControlPoint(0.0, 2.5, 0.0, 33.0);
    view().redraw();
    Fl::flush();
    Fl::e_x = 240;
    Fl::e_y = 240;
    Fl::e_keysym = FL_Button + 1;
    Fl::e_state = FL_BUTTON1;
    view().handle(FL_PUSH);
    ASSERT_EQ(scene().selection(), Selection::point(2));
    EXPECT_EQ(slider(kRollSlider).value(), 33.0);
    EXPECT_EQ(slider(kRollSlider).value(), scene().track().point(2).roll);

    // A press on the empty sky shows nothing new.
    Fl::e_y = 3;
    view().handle(FL_PUSH);
    EXPECT_TRUE(scene().selection().is(Selection::Kind::nothing));
    EXPECT_EQ(slider(kRollSlider).value(), 33.0);

    // A double-click on the track in front inserts a point there, which
    // shows the track's bank in the slider.
    for (int i = 0; i < 4; ++i) {
        scene().track().point(i) =
            ControlPoint(Track(CurveType::Cardinal).point(i).position(), -20);
    }
    view().redraw();
    Fl::flush();
    Fl::e_y = 393;
    Fl::e_clicks = 1;
    view().handle(FL_PUSH);
    Fl::e_clicks = 0;
    EXPECT_EQ(slider(kRollSlider).value(), -20.0);
    window_->hide();
}

TEST_F(ControlsTest, AnimateTogglesTheViewTwiceBackToOff) {
    press(kAnimate);
    EXPECT_TRUE(scene().animating());
    press(kAnimate);
    EXPECT_FALSE(scene().animating());
    // The button's own light is not what decides: the view's flag is.
    button(kAnimate).value(1);
    press(kAnimate);
    EXPECT_TRUE(scene().animating());
    press(kAnimate);
    EXPECT_FALSE(scene().animating());
}

TEST_F(ControlsTest, AddBallGeneratorPlacesOneAtTheOrigin) {
    press(kAddBallGenerator);
    ASSERT_EQ(scene().num_generators(), 1);
    const ControlPoint* p = &scene().generator(0).position();
    EXPECT_EQ(p->x, 0.0);
    EXPECT_EQ(p->y, 0.0);
    EXPECT_EQ(p->z, 0.0);
    press(kAddBallGenerator);
    EXPECT_EQ(scene().num_generators(), 2);
}

} // namespace
