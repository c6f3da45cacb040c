// Test fixture that builds the real main window (not shown) over a document
// of its own, with dialogs that answer as a test tells them, and names the
// window's children by their place in it.
#pragma once

#include <gtest/gtest.h>

#include <FL/Fl_Group.H>

#include <memory>
#include <string>
#include <vector>

#include "app/dialogs.h"
#include "app/main_window.h"
#include "document/document.h"
#include "view/coaster_window.h"

// Dialogs that record what they were asked and answer from a script.
class ScriptedDialogs : public Dialogs {
public:
    Answer unsaved_answer = Answer::cancel;
    bool replace_answer = false;
    std::vector<std::string> chosen; // files the choosers hand back, in turn ("" cancels)
    std::vector<std::string> asked;  // every question and message, in order
    std::string suggested;           // the name the last save chooser offered
    std::vector<std::string> chooser_folders;

    Answer ask_to_save(const std::string& question) override {
        asked.push_back("save? " + question);
        return unsaved_answer;
    }
    bool ask_to_replace(const std::string& question) override {
        asked.push_back("replace? " + question);
        return replace_answer;
    }
    void alert(const std::string& title, const std::string& message) override {
        asked.push_back(title + ": " + message);
    }
    std::string choose_file_to_open(const std::string&, const std::string&,
                                    const std::string& pattern,
                                    const std::string& folder) override {
        return choose(pattern, folder);
    }
    std::string choose_file_to_save(const std::string&, const std::string&,
                                    const std::string& pattern, const std::string& folder,
                                    const std::string& name) override {
        suggested = name;
        return choose(pattern, folder);
    }
    void show_help(const std::string& text) override { asked.push_back("help: " + text); }

private:
    std::string choose(const std::string& pattern, const std::string& folder) {
        asked.push_back("choose " + pattern);
        chooser_folders.push_back(folder);
        if (chosen.empty()) {
            return {};
        }
        std::string file = chosen.front();
        chosen.erase(chosen.begin());
        return file;
    }
};

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
        window_.reset(build_main_window(document_, dialogs_, "/usr/share/looptide/examples"));
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

    Document document_;
    ScriptedDialogs dialogs_;
    std::unique_ptr<MainWindow> window_; // goes before the document and dialogs
};
