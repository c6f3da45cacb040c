// Layout of the main window: every child in order with its class, geometry,
// label, settings and callback, and the initial states of the controls.
#include <gtest/gtest.h>

#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Light_Button.H>
#include <FL/Fl_Value_Slider.H>

#include <string>
#include <typeinfo>

#include "app/app_fixture.h"
#include "app/controls.h"

namespace {

enum class Kind { Caption, Button, Slider, View, Check, Light };

struct Row {
    Kind kind;
    int x, y, w, h;
    const char* label;
    Fl_Callback* callback; // null for the captions and the view
};

// The window's children as the user must find them.
const Row kRows[kChildCount] = {
    {Kind::Caption, 5, 5, 160, 20, "Track/Curve Controls: ", nullptr},
    {Kind::Button, 5, 30, 95, 20, "Add Point", add_point_cb},
    {Kind::Button, 105, 30, 95, 20, "Remove Point", remove_point_cb},
    {Kind::Slider, 10, 60, 190, 20, "Selected Point's Z Rotation", roll_cb},
    {Kind::View, 210, 10, 480, 480, "Coaster Window", nullptr},
    {Kind::Caption, 10, 110, 80, 20, "Curve Type:", nullptr},
    {Kind::Button, 30, 140, 90, 20, "Linear", linear_cb},
    {Kind::Button, 30, 165, 90, 20, "Cardinal", cardinal_cb},
    {Kind::Button, 30, 190, 90, 20, "BSpline", bspline_cb},
    {Kind::Button, 30, 215, 90, 20, "Bezier", bezier_cb},
    {Kind::Slider, 10, 245, 190, 20, "Cardinal Tension", tension_cb},
    {Kind::Caption, 10, 305, 80, 20, "Car Controls:", nullptr},
    {Kind::Check, 10, 330, 175, 20, "Constant Velocity", constant_velocity_cb},
    {Kind::Check, 10, 355, 175, 20, "Conserve Energy", conserve_energy_cb},
    {Kind::Slider, 10, 380, 190, 20, "Coaster Velocity", velocity_cb},
    {Kind::Button, 10, 440, 90, 20, "Add Car", add_car_cb},
    {Kind::Button, 110, 440, 90, 20, "Remove Car", remove_car_cb},
    {Kind::Caption, 10, 500, 250, 20, "Camera/Environment Controls:", nullptr},
    {Kind::Check, 30, 525, 175, 20, "Look from Car", look_from_car_cb},
    {Kind::Check, 30, 550, 175, 20, "Lights On", lights_cb},
    {Kind::Light, 225, 525, 190, 50, "Animate", animate_cb},
    {Kind::Caption, 470, 500, 100, 20, "Scenery:", nullptr},
    {Kind::Button, 450, 525, 190, 50, "Add Ball Generator", add_ball_generator_cb},
};

const std::type_info& class_of(Kind kind) {
    switch (kind) {
    case Kind::Caption:
        return typeid(Fl_Box);
    case Kind::Button:
        return typeid(Fl_Button);
    case Kind::Slider:
        return typeid(Fl_Value_Slider);
    case Kind::View:
        return typeid(CoasterWindow);
    case Kind::Check:
        return typeid(Fl_Check_Button);
    case Kind::Light:
        return typeid(Fl_Light_Button);
    }
    return typeid(void);
}

std::string shown_text(Fl_Value_Slider* s) {
    char text[128];
    s->format(text);
    return text;
}

using MainWindowTest = MainWindowFixture;

TEST_F(MainWindowTest, WindowIsLooptideAtTenTenSevenHundredBySixHundredAndFixed) {
    const Fl_Window* window = window_.get();
    EXPECT_EQ(typeid(*window), typeid(MainWindow));
    ASSERT_NE(window_->label(), nullptr);
    EXPECT_EQ(std::string(window_->label()), "Looptide");
    EXPECT_EQ(window_->x(), 10);
    EXPECT_EQ(window_->y(), 10);
    EXPECT_EQ(window_->w(), 700);
    EXPECT_EQ(window_->h(), 600);
    EXPECT_EQ(window_->resizable(), nullptr);
    EXPECT_EQ(window_->parent(), nullptr);
    // Closing the window hides it, which ends the event loop.
    EXPECT_EQ(window_->callback(), reinterpret_cast<Fl_Callback*>(Fl_Window::default_callback));
    // Building is finished: new widgets no longer land in the window.
    EXPECT_NE(Fl_Group::current(), window_.get());
    EXPECT_NE(Fl_Group::current(), static_cast<Fl_Group*>(the_coaster_window));
}

TEST_F(MainWindowTest, ChildrenComeInOrderWithClassGeometryLabelAndCallback) {
    for (int i = 0; i < kChildCount; ++i) {
        const Row& row = kRows[i];
        Fl_Widget* w = child(static_cast<Child>(i));
        SCOPED_TRACE("child " + std::to_string(i) + " \"" + row.label + "\"");
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(typeid(*w), class_of(row.kind)) << "is a " << typeid(*w).name();
        EXPECT_EQ(w->parent(), window_.get());
        EXPECT_EQ(w->x(), row.x);
        EXPECT_EQ(w->y(), row.y);
        EXPECT_EQ(w->w(), row.w);
        EXPECT_EQ(w->h(), row.h);
        ASSERT_NE(w->label(), nullptr);
        EXPECT_EQ(std::string(w->label()), row.label);

        switch (row.kind) {
        case Kind::Caption:
            EXPECT_EQ(w->box(), FL_FLAT_BOX);
            EXPECT_EQ(w->color(), FL_GRAY);
            EXPECT_EQ(w->callback(), Fl_Widget::default_callback);
            break;
        case Kind::View:
            EXPECT_EQ(w, the_coaster_window);
            EXPECT_EQ(w->callback(), reinterpret_cast<Fl_Callback*>(Fl_Window::default_callback));
            break;
        case Kind::Slider:
            EXPECT_EQ(w->type(), FL_HOR_NICE_SLIDER);
            [[fallthrough]];
        case Kind::Check:
            // Sliders and check buttons read themselves through their user data.
            EXPECT_EQ(w->user_data(), static_cast<void*>(w));
            EXPECT_EQ(w->callback(), row.callback);
            break;
        case Kind::Button:
        case Kind::Light:
            EXPECT_EQ(w->callback(), row.callback);
            break;
        }
    }
}

TEST_F(MainWindowTest, SlidersHaveTheirRangesPrecisionsAndStartingValues) {
    struct SliderRow {
        Child child;
        double value, minimum, maximum;
        const char* shown; // the text the slider shows at its starting value
        const char* shown_at_max;
    };
    const SliderRow rows[] = {
        {kRollSlider, 0.0, -180.0, 180.0, "0.0", "180.0"},
        {kTension, 0.0, 0.0, 1.0, "0.00", "1.00"},
        {kVelocity, 3.0, 0.0, 30.0, "3.00", "30.00"},
    };
    for (const SliderRow& r : rows) {
        auto* s = child_as<Fl_Value_Slider>(r.child);
        ASSERT_NE(s, nullptr);
        SCOPED_TRACE(s->label());
        EXPECT_EQ(s->value(), r.value);
        EXPECT_EQ(s->minimum(), r.minimum);
        EXPECT_EQ(s->maximum(), r.maximum);
        EXPECT_EQ(shown_text(s), r.shown);
        s->value(s->maximum());
        EXPECT_EQ(shown_text(s), r.shown_at_max);
        s->value(r.value);
    }
}

TEST_F(MainWindowTest, ButtonsStartInStatesThatAgreeWithTheView) {
    auto state = [this](Child c) {
        auto* b = child_as<Fl_Button>(c);
        EXPECT_NE(b, nullptr);
        return b == nullptr ? -1 : static_cast<int>(b->value());
    };
    EXPECT_EQ(state(kConstantVelocity), 1);
    EXPECT_EQ(state(kConserveEnergy), 1);
    EXPECT_EQ(state(kLookFromCar), 0);
    EXPECT_EQ(state(kLights), 1);
    EXPECT_EQ(state(kAnimate), 0);

    EXPECT_EQ(state(kConstantVelocity) != 0, scene().train().constant_velocity);
    EXPECT_EQ(state(kConserveEnergy) != 0, scene().train().conserve_energy);
    EXPECT_EQ(state(kLookFromCar) != 0, scene().look_from_car());
    EXPECT_EQ(state(kLights) != 0, scene().lights_on());
    EXPECT_EQ(state(kAnimate) != 0, scene().animating());

    auto* velocity = child_as<Fl_Value_Slider>(kVelocity);
    auto* tension = child_as<Fl_Value_Slider>(kTension);
    ASSERT_NE(velocity, nullptr);
    ASSERT_NE(tension, nullptr);
    EXPECT_DOUBLE_EQ(velocity->value() / 30.0, scene().train().speed);
    EXPECT_DOUBLE_EQ(velocity->value() / 30.0, scene().train().base_speed);
    EXPECT_EQ(static_cast<float>(tension->value()), scene().track().tension());
}

TEST_F(MainWindowTest, ViewIsTheFifthChildWithTheDefaultTrack) {
    auto* v = child_as<CoasterWindow>(kView);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v, the_coaster_window);
    EXPECT_EQ(std::string(v->label()), "Coaster Window");
    EXPECT_EQ(v->children(), 0);
    EXPECT_EQ(v->scene().track().num_points(), 4);
    EXPECT_EQ(v->scene().track().curve_type(), CurveType::Cardinal);
    EXPECT_EQ(v->scene().selection().name(), -1);
}

} // namespace
