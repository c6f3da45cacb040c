// Test fixture for the view's state, commands and animation step: a top-level
// CoasterWindow with a roll slider of its own, mapped only on request, and
// checks on the redraw requests it makes. It draws nothing and runs no event
// loop, so the damage bits stay observable.
#pragma once

#include <gtest/gtest.h>

#include <FL/Fl_Group.H>
#include <FL/Fl_Value_Slider.H>

#include <memory>

#include "view/coaster_window.h"

class ViewFixture : public ::testing::Test {
protected:
    void SetUp() override {
        Fl_Group::current(nullptr);
        slider_ = std::make_unique<Fl_Value_Slider>(0, 0, 100, 20);
        view_ = std::make_unique<CoasterWindow>(0, 0, 480, 480, slider_.get());
        view_->end();
    }

    void TearDown() override {
        view_.reset();
        slider_.reset();
    }

    // FLTK records damage on a window only once it is mapped: shows the view
    // and starts from no damage.
    void show() {
        view_->show();
        ASSERT_TRUE(view_->shown());
        view_->clear_damage();
    }

    // True when a redraw was requested since the last check; resets for the next.
    bool redraw_requested() {
        const bool requested = (view_->damage() & 1) != 0;
        view_->clear_damage();
        return requested;
    }

    // True when no damage of any kind was recorded; resets for the next check.
    bool no_damage() {
        const bool none = view_->damage() == 0;
        view_->clear_damage();
        return none;
    }

    CoasterWindow& view() { return *view_; }

    std::unique_ptr<Fl_Value_Slider> slider_;
    std::unique_ptr<CoasterWindow> view_;
};
