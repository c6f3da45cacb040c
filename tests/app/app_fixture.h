// Test fixture that builds the real main window (not shown) and names its
// children by their place in the window.
#pragma once

#include <gtest/gtest.h>

#include <FL/Fl_Group.H>

#include <memory>

#include "app/main_window.h"
#include "view/coaster_window.h"

// Child indices of the main window, in creation order.
enum Child : int {
    kTrackCaption,
    kAddPoint,
    kRemovePoint,
    kRollSlider,
    kView,
    kCurveCaption,
    kLinear,
    kCardinal,
    kBSpline,
    kBezier,
    kTension,
    kCarCaption,
    kConstantVelocity,
    kConserveEnergy,
    kVelocity,
    kAddCar,
    kRemoveCar,
    kEnvironmentCaption,
    kLookFromCar,
    kLights,
    kAnimate,
    kSceneryCaption,
    kAddBallGenerator,
    kChildCount
};

class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        Fl_Group::current(nullptr);
        the_coaster_window = nullptr;
        window_.reset(build_main_window());
        ASSERT_NE(window_, nullptr);
        ASSERT_NE(the_coaster_window, nullptr);
        ASSERT_EQ(window_->children(), kChildCount);
    }

    void TearDown() override {
        window_.reset();
        the_coaster_window = nullptr;
    }

    Fl_Widget* child(Child c) const { return window_->child(c); }
    template <class W> W* child_as(Child c) const { return dynamic_cast<W*>(child(c)); }
    CoasterWindow& view() const { return *the_coaster_window; }
    Scene& scene() const { return the_coaster_window->scene(); }

    std::unique_ptr<MainWindow> window_;
};
