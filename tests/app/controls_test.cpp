// The control callbacks, driven through the real widgets of the main window:
// set a control's value as the user would, run its callback, read the view.
#include <gtest/gtest.h>

#include <FL/Fl_Button.H>
#include <FL/Fl_Value_Slider.H>

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
    EXPECT_EQ(view().speed, 1.0);
    EXPECT_EQ(view().base_speed, 1.0);

    slide(kVelocity, 15.0);
    EXPECT_EQ(view().speed, 0.5);
    EXPECT_EQ(view().base_speed, 0.5);

    view().speed = 0.9; // speed gained on a descent
    slide(kVelocity, 0.0);
    EXPECT_EQ(view().speed, 0.0);
    EXPECT_EQ(view().base_speed, 0.0);
}

TEST_F(ControlsTest, TensionSliderPassesTheValueAsAFloat) {
    slide(kTension, 0.3);
    EXPECT_EQ(view().track.tension(), 0.3f);
    slide(kTension, 0.77);
    EXPECT_EQ(view().track.tension(), 0.77f);
    slide(kTension, 1.0);
    EXPECT_EQ(view().track.tension(), 1.0f);
    EXPECT_EQ(view().track.curve_type(), Cardinal);
}

TEST_F(ControlsTest, CurveButtonsEachSetTheirType) {
    press(kBezier);
    EXPECT_EQ(view().track.curve_type(), Bezier);
    press(kLinear);
    EXPECT_EQ(view().track.curve_type(), Linear);
    press(kBSpline);
    EXPECT_EQ(view().track.curve_type(), BSpline);
    press(kCardinal);
    EXPECT_EQ(view().track.curve_type(), Cardinal);
    press(kCardinal);
    EXPECT_EQ(view().track.curve_type(), Cardinal);
}

TEST_F(ControlsTest, RollSliderBanksOnlyTheSelectedPoint) {
    view().selected_name = 2;
    slide(kRollSlider, -90.0);
    EXPECT_EQ(view().track.point(2).roll, -90.0);
    for (int i : {0, 1, 3}) {
        EXPECT_EQ(view().track.point(i).roll, 0.0) << "point " << i;
    }

    view().selected_name = 0;
    slide(kRollSlider, 37.5);
    EXPECT_EQ(view().track.point(0).roll, 37.5);
    EXPECT_EQ(view().track.point(2).roll, -90.0);

    view().selected_name = -1;
    slide(kRollSlider, 120.0);
    EXPECT_EQ(view().track.point(0).roll, 37.5);
    EXPECT_EQ(view().track.point(1).roll, 0.0);
    EXPECT_EQ(view().track.point(2).roll, -90.0);
    EXPECT_EQ(view().track.point(3).roll, 0.0);
}

TEST_F(ControlsTest, CheckButtonsSetTheirFlags) {
    struct CheckRow {
        Child child;
        bool CoasterWindow::*flag;
    };
    const CheckRow rows[] = {
        {kConstantVelocity, &CoasterWindow::constant_velocity},
        {kConserveEnergy, &CoasterWindow::conserve_energy},
        {kLookFromCar, &CoasterWindow::look_from_car},
        {kLights, &CoasterWindow::lights_on},
    };
    for (const CheckRow& r : rows) {
        SCOPED_TRACE(child(r.child)->label());
        const bool initial = view().*r.flag;
        tick(r.child, initial ? 0 : 1);
        EXPECT_EQ(view().*r.flag, !initial);
        tick(r.child, initial ? 1 : 0);
        EXPECT_EQ(view().*r.flag, initial);
        tick(r.child, 0);
        EXPECT_FALSE(view().*r.flag);
    }
    EXPECT_FALSE(view().animating);
}

TEST_F(ControlsTest, CarButtonsAddAndRemoveCars) {
    press(kAddCar);
    press(kAddCar);
    EXPECT_EQ(view().num_cars, 3);
    press(kRemoveCar);
    EXPECT_EQ(view().num_cars, 2);
    for (int i = 0; i < 10; ++i) {
        press(kAddCar);
    }
    EXPECT_EQ(view().num_cars, 8);
    for (int i = 0; i < 10; ++i) {
        press(kRemoveCar);
    }
    EXPECT_EQ(view().num_cars, 1);
}

TEST_F(ControlsTest, PointButtonsResampleTheTrack) {
    press(kAddPoint);
    EXPECT_EQ(view().num_points, 5);
    EXPECT_EQ(view().track.num_points(), 5);
    press(kRemovePoint);
    EXPECT_EQ(view().num_points, 4);
    EXPECT_EQ(view().track.num_points(), 4);
    press(kRemovePoint);
    EXPECT_EQ(view().num_points, 4);
    EXPECT_EQ(view().track.num_points(), 4);
}

TEST_F(ControlsTest, AnimateTogglesTheViewTwiceBackToOff) {
    press(kAnimate);
    EXPECT_TRUE(view().animating);
    press(kAnimate);
    EXPECT_FALSE(view().animating);
    // The button's own light is not what decides: the view's flag is.
    button(kAnimate).value(1);
    press(kAnimate);
    EXPECT_TRUE(view().animating);
    press(kAnimate);
    EXPECT_FALSE(view().animating);
}

TEST_F(ControlsTest, AddBallGeneratorPlacesOneAtTheOrigin) {
    press(kAddBallGenerator);
    ASSERT_EQ(view().num_generators, 1);
    const ControlPoint* p = view().generators[0]->position();
    EXPECT_EQ(p->x, 0.0);
    EXPECT_EQ(p->y, 0.0);
    EXPECT_EQ(p->z, 0.0);
    press(kAddBallGenerator);
    EXPECT_EQ(view().num_generators, 2);
}

} // namespace
