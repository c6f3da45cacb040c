// The editor's keys, files and undo as a person meets them in the main
// window: the questions asked before work is lost, the choosers, the title,
// the controls showing a restored design, and a slider drag as one step.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Value_Slider.H>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <sstream>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "analysis/ride_analysis.h"
#include "analysis/ride_guides.h"
#include "app/analysis_window.h"
#include "app/app_fixture.h"
#include "app/command_line.h"
#include "app/controls.h"
#include "app/keys.h"
#include "document/design.h"

namespace {

class FileCommandsTest : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        Fl::e_number = 0; // no event of an earlier test is under way
        char pattern[] = "/tmp/looptide-app-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
    }
    void TearDown() override {
        MainWindowFixture::TearDown();
        std::string command = "rm -rf '" + folder_ + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }

    // A key as the toolkit hands it to the window when no control takes it.
    int key(int keysym, int state = 0) {
        Fl::e_keysym = keysym;
        Fl::e_state = state;
        return window_->handle(FL_SHORTCUT);
    }
    void press(Child c) { child(c)->do_callback(); }
    Fl_Value_Slider& slider(Child c) { return *child_as<Fl_Value_Slider>(c); }
    int checked(Child c) { return child_as<Fl_Button>(c)->value(); }
    std::string title() const { return window_->label() == nullptr ? "" : window_->label(); }
    std::string file(const std::string& name) const { return folder_ + "/" + name; }
    static std::string contents(const std::string& path) {
        std::ifstream in(path);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    bool exists(const std::string& path) const {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0;
    }

    std::string folder_;
};

TEST_F(FileCommandsTest, UndoAndRedoKeysRestoreTheDesignAndTheControlsShowIt) {
    window_->show(); // a window that is not shown takes no redraw requests
    // Four edits from the controls: Bezier, a tension, a speed, energy off.
    press(kBezier);
    slider(kTension).value(0.4);
    press(kTension);
    slider(kVelocity).value(12.0);
    press(kVelocity);
    child_as<Fl_Button>(kConserveEnergy)->value(0);
    press(kConserveEnergy);
    scene().select_name(1);
    slider(kRollSlider).value(45.0);
    press(kRollSlider);
    ASSERT_EQ(document_.history().undo_steps(), 5);

    // Ctrl+Z four times: the roll, energy, speed and tension come back, and
    // each control shows the value it had, without running its callback.
    for (int k = 0; k < 4; ++k) {
        view().clear_damage();
        EXPECT_EQ(key('z', FL_CTRL), 1);
        EXPECT_TRUE(view().damage() != 0) << "the view redraws the restored design";
    }
    EXPECT_EQ(scene().track().curve_type(), CurveType::Bezier);
    EXPECT_EQ(scene().track().tension(), 0.0f);
    EXPECT_EQ(slider(kTension).value(), 0.0);
    EXPECT_EQ(slider(kVelocity).value(), 3.0);
    EXPECT_EQ(scene().train().base_speed, 0.1);
    EXPECT_EQ(checked(kConserveEnergy), 1);
    EXPECT_TRUE(scene().train().conserve_energy);
    EXPECT_EQ(scene().track().point(1).roll, 0.0);
    EXPECT_EQ(slider(kRollSlider).value(), 0.0) << "the selected point's restored bank";

    // Ctrl+Shift+Z and Ctrl+Y both redo.
    EXPECT_EQ(key('z', FL_CTRL | FL_SHIFT), 1);
    EXPECT_EQ(key('y', FL_CTRL), 1);
    EXPECT_EQ(scene().track().tension(), 0.4f);
    EXPECT_EQ(slider(kTension).value(), static_cast<double>(0.4f));
    EXPECT_EQ(slider(kVelocity).value(), 12.0);
    EXPECT_EQ(scene().train().base_speed, 12.0 / 30.0);

    // Keys that are not the editor's pass on: Escape still closes the window.
    EXPECT_EQ(key('z'), 0);
    EXPECT_EQ(key(FL_Escape), 0);
    EXPECT_EQ(key('q', FL_CTRL), 0);
    EXPECT_EQ(title(), "Looptide") << "a session without files keeps its title";

    // Delete removes the selected point in one step.
    press(kAddPoint);
    const Design five(scene());
    scene().select_name(3);
    EXPECT_EQ(key(FL_Delete), 1);
    EXPECT_EQ(scene().track().num_points(), 4);
    EXPECT_EQ(key('z', FL_CTRL), 1);
    EXPECT_TRUE(Design(scene()) == five);
}

TEST_F(FileCommandsTest, ASliderDraggedWithTheMouseIsOneStep) {
    // A drag's changes arrive as push and drag events and join one step; the
    // press that begins the next drag, anywhere in the window, ends it.
    const auto drag = [&](Child c, std::initializer_list<double> values) {
        Fl::e_x = 695; // a corner no control covers
        Fl::e_y = 595;
        window_->handle(FL_PUSH);
        Fl::e_number = FL_PUSH;
        for (double v : values) {
            slider(c).value(v);
            press(c);
            Fl::e_number = FL_DRAG;
        }
    };
    scene().select_name(2);
    drag(kRollSlider, {10.0, 20.0, 35.0});
    EXPECT_EQ(document_.history().undo_steps(), 1);
    EXPECT_EQ(scene().track().point(2).roll, 35.0);
    drag(kVelocity, {5.0, 9.0, 14.0});
    drag(kVelocity, {20.0, 25.0});
    // Keyboard changes are one step each.
    Fl::e_number = FL_KEYBOARD;
    for (double t : {0.1, 0.2}) {
        slider(kTension).value(t);
        press(kTension);
    }
    Fl::e_number = 0;
    EXPECT_EQ(document_.history().undo_steps(), 5);
    for (int k = 0; k < 3; ++k) {
        ASSERT_TRUE(document_.undo());
    }
    EXPECT_EQ(scene().train().base_speed, 14.0 / 30.0) << "one undo takes back one drag";
    ASSERT_TRUE(document_.undo());
    EXPECT_EQ(scene().train().base_speed, 0.1);
    ASSERT_TRUE(document_.undo());
    EXPECT_EQ(scene().track().point(2).roll, 0.0);
}

TEST_F(FileCommandsTest, SaveOpenAndNewAskBeforeLosingWorkAndNameTheFileInTheTitle) {
    press(kAddCar);
    // Save while untitled is Save As: the extension is added.
    dialogs_.chosen = {file("ride")};
    EXPECT_EQ(key('s', FL_CTRL), 1);
    const std::string saved = file("ride.looptide");
    ASSERT_TRUE(exists(saved)) << dialogs_.asked.back();
    EXPECT_EQ(title(), "ride.looptide - Looptide");
    EXPECT_EQ(dialogs_.chooser_folders.back(), "/usr/share/looptide/examples");
    EXPECT_NE(window_->callback(), reinterpret_cast<Fl_Callback*>(Fl_Window::default_callback))
        << "once files are in use, closing asks first";

    press(kAddCar);
    EXPECT_EQ(title(), "*ride.looptide - Looptide");
    // New with unsaved changes: Cancel keeps everything.
    dialogs_.unsaved_answer = Dialogs::Answer::cancel;
    key('n', FL_CTRL);
    EXPECT_EQ(scene().train().cars, 3);
    EXPECT_EQ(title(), "*ride.looptide - Looptide");
    EXPECT_NE(dialogs_.asked.back().find("\"ride.looptide\""), std::string::npos);
    // Closing asks the same; Cancel keeps the window.
    window_->show();
    window_->do_callback();
    EXPECT_TRUE(window_->shown());
    // Discard: the default design, untitled.
    dialogs_.unsaved_answer = Dialogs::Answer::discard;
    key('n', FL_CTRL);
    EXPECT_EQ(scene().train().cars, 1);
    EXPECT_EQ(title(), "Looptide");
    EXPECT_EQ(checked(kConstantVelocity), 1);

    // Open the saved file: its design, its name, its controls; the chooser
    // now starts where the person saved.
    dialogs_.chosen = {saved};
    key('o', FL_CTRL);
    EXPECT_EQ(scene().train().cars, 2);
    EXPECT_EQ(title(), "ride.looptide - Looptide");
    EXPECT_EQ(dialogs_.chooser_folders.back(), folder_);
    EXPECT_FALSE(document_.can_undo()) << "an opened design starts a new history";

    // An edit saved with Ctrl+S goes to the same file, without a chooser.
    slider(kVelocity).value(24.0);
    press(kVelocity);
    const std::size_t choosers = dialogs_.chooser_folders.size();
    key('s', FL_CTRL);
    EXPECT_EQ(dialogs_.chooser_folders.size(), choosers);
    EXPECT_NE(contents(saved).find("0.8"), std::string::npos) << contents(saved);
    EXPECT_EQ(title(), "ride.looptide - Looptide");
    window_->do_callback();
    EXPECT_FALSE(window_->shown()) << "nothing unsaved: the window closes at once";
}

TEST_F(FileCommandsTest, ABadFileIsReportedAndChangesNothing) {
    press(kAddCar);
    const std::string bad = file("bad.looptide");
    std::ofstream(bad) << "{ \"format\": \"looptide\", \"version\": 1, ";
    dialogs_.unsaved_answer = Dialogs::Answer::discard;
    dialogs_.chosen = {bad};
    key('o', FL_CTRL);
    ASSERT_FALSE(dialogs_.asked.empty());
    const std::string& said = dialogs_.asked.back();
    EXPECT_EQ(said.rfind("Open failed: ", 0), 0u) << said;
    EXPECT_NE(said.find(bad), std::string::npos) << said;
    EXPECT_EQ(scene().train().cars, 2);
    EXPECT_TRUE(document_.can_undo());
    EXPECT_EQ(title(), "Looptide");
    EXPECT_EQ(document_.path(), "");
}

TEST_F(FileCommandsTest, SaveAsAsksBeforeTheAddedExtensionReplacesAFile) {
    const std::string existing = file("mine.looptide");
    std::ofstream(existing) << "precious";
    dialogs_.chosen = {file("mine")};
    dialogs_.replace_answer = false;
    key('s', FL_CTRL | FL_SHIFT);
    EXPECT_EQ(contents(existing), "precious");
    EXPECT_NE(dialogs_.asked.back().find("\"mine.looptide\" already exists"), std::string::npos);
    EXPECT_EQ(document_.path(), "");

    dialogs_.chosen = {file("mine")};
    dialogs_.replace_answer = true;
    key('s', FL_CTRL | FL_SHIFT);
    EXPECT_NE(contents(existing), "precious");
    EXPECT_EQ(document_.path(), existing);

    // A save that fails says where, and the design stays unsaved.
    press(kAddCar);
    ASSERT_EQ(::mkdir(file("folder.looptide").c_str(), 0755), 0);
    dialogs_.chosen = {file("folder.looptide")};
    key('s', FL_CTRL | FL_SHIFT);
    EXPECT_EQ(dialogs_.asked.back().rfind("Save failed: ", 0), 0u) << dialogs_.asked.back();
    EXPECT_NE(dialogs_.asked.back().find(file("folder.looptide")), std::string::npos);
    EXPECT_EQ(title(), "*mine.looptide - Looptide");
}

TEST_F(FileCommandsTest, ExportWritesTheTrackTableAndHelpListsTheKeys) {
    dialogs_.chosen = {file("track")};
    EXPECT_EQ(key('e', FL_CTRL), 1);
    EXPECT_EQ(dialogs_.asked.back(), "choose *.csv");
    const std::string table = contents(file("track.csv"));
    EXPECT_EQ(table.rfind("\"No.\"\t\"PosX\"", 0), 0u) << table.substr(0, 80);
    EXPECT_EQ(document_.history().undo_steps(), 0) << "an export is no edit";
    // The design's own file, by whatever name, is never replaced by a table.
    ASSERT_FALSE(document_.save_as(file("ride.csv")));
    const std::string design = contents(file("ride.csv"));
    ASSERT_EQ(symlink("ride.csv", file("link.csv").c_str()), 0);
    for (const std::string& chosen : {file("ride.csv"), folder_ + "/./link.csv"}) {
        dialogs_.chosen = {chosen};
        EXPECT_EQ(key('e', FL_CTRL), 1);
        EXPECT_EQ(dialogs_.asked.back(), "Export failed: Cannot export the track table to " +
                                             chosen +
                                             ": it is the file of the design being edited.");
        EXPECT_EQ(contents(file("ride.csv")), design);
    }
    // Ctrl+Shift+E: the scene, offered under the design's name, and never
    // over the design's own file.
    ASSERT_FALSE(document_.save_as(file("mine.looptide")));
    dialogs_.chosen = {file("scene")};
    EXPECT_EQ(key('e', FL_CTRL | FL_SHIFT), 1);
    EXPECT_EQ(dialogs_.asked.back(), "choose *.glb");
    EXPECT_EQ(dialogs_.suggested, "mine.glb");
    EXPECT_EQ(contents(file("scene.glb")).substr(0, 4), "glTF");
    EXPECT_EQ(document_.history().undo_steps(), 0) << "an export is no edit";
    ASSERT_FALSE(document_.save_as(file("own.glb")));
    dialogs_.chosen = {file("own.glb")};
    EXPECT_EQ(key('e', FL_CTRL | FL_SHIFT), 1);
    EXPECT_EQ(dialogs_.asked.back(), "Export failed: Cannot export the scene to " +
                                         file("own.glb") +
                                         ": it is the file of the design being edited.");
    EXPECT_EQ(contents(file("own.glb")).substr(0, 1), "{");

    EXPECT_EQ(key(FL_F + 1), 1);
    const std::string help = dialogs_.asked.back();
    for (const char* k :
         {"Ctrl+N", "Ctrl+O", "Ctrl+S", "Ctrl+Shift+S", "Ctrl+Z", "Ctrl+Y", "Ctrl+E", "F1", "F2",
          "guidelines, not a standard", "at -1.5 g and +5 g vertical and 1.5 g either way",
          "Right drag", "/usr/share/looptide/examples"}) {
        EXPECT_NE(help.find(k), std::string::npos) << k;
    }
}

} // namespace

namespace {

// F2 opens the ride analysis beside the window, following the design: edits,
// a click that selects a point, and banking for level riding as one step.
TEST_F(FileCommandsTest, F2ShowsTheRideAnalysisFollowingTheDesign) {
    EXPECT_EQ(window_->analysis_window(), nullptr) << "nothing is made before F2";
    window_->show();
    EXPECT_EQ(key(FL_F + 2), 1);
    AnalysisWindow* analysis = window_->analysis_window();
    ASSERT_NE(analysis, nullptr);
    ASSERT_TRUE(analysis->shown());
    EXPECT_STREQ(analysis->label(), "Ride analysis - Looptide");
    EXPECT_GE(analysis->x(), window_->x() + window_->w() - AnalysisWindow::kWidth);

    // A click at point 2's distance selects it and the roll slider shows its bank.
    press(kAddPoint);
    press(kAddPoint);
    scene().track().point(3).roll = 25.0;
    const RideAnalysis ride =
        analyse_ride(scene().track(), {true, true, scene().train().base_speed * 30});
    const PixelRect plot = analysis->plot_area(1);
    Fl::e_x = analysis->x_of(ride.point_distances[3]);
    Fl::e_y = plot.y + plot.h / 2;
    Fl::e_keysym = FL_Button + 1;
    Fl::e_state = FL_BUTTON1;
    analysis->handle(FL_PUSH);
    EXPECT_EQ(scene().selection(), Selection::point(3));
    EXPECT_EQ(slider(kRollSlider).value(), 25.0);

    // Bank for level riding: one step, the largest sideways force over the
    // ride at most half what it was, said in the window's note, and one undo
    // puts every bank back. Ctrl+B does the same from the main window.
    press(kConserveEnergy);
    const int steps = document_.history().undo_steps();
    const Design before(scene());
    const SpeedModel model{true, false, scene().train().base_speed * 30};
    const double tilted =
        std::abs(analyse_ride(scene().track(), model).summary.lateral_max_abs.value);
    analysis->bank_button().do_callback();
    EXPECT_EQ(document_.history().undo_steps(), steps + 1);
    const RideAnalysis level = analyse_ride(scene().track(), model);
    const double left = std::abs(level.summary.lateral_max_abs.value);
    EXPECT_LT(left, 0.5 * tilted);
    char figures[64];
    std::snprintf(figures, sizeof figures, "now %.2f g (was %.2f g)", left, tilted);
    EXPECT_NE(analysis->note().find(figures), std::string::npos) << analysis->note();
    const Design level_design(scene());
    ASSERT_TRUE(document_.undo());
    EXPECT_EQ(key('b', FL_CTRL), 1);
    EXPECT_TRUE(Design(scene()) == level_design) << "Ctrl+B banks as the button does";
    EXPECT_EQ(document_.history().undo_steps(), steps + 1);
    EXPECT_EQ(analysis->note().find("Banked"), 0u);

    // "Ride these speeds" is one edit of the design, shown by the button.
    analysis->ride_button().value(1);
    analysis->ride_button().do_callback();
    EXPECT_TRUE(scene().train().physics);
    EXPECT_EQ(document_.history().undo_steps(), steps + 2);
    EXPECT_EQ(analysis->note(), "") << "another edit clears what banking left";
    ASSERT_TRUE(document_.undo());
    EXPECT_FALSE(scene().train().physics);
    EXPECT_EQ(analysis->ride_button().value(), 0);
    EXPECT_NE(scene().track().point(3).roll, 25.0);
    EXPECT_EQ(slider(kRollSlider).value(), scene().track().point(3).roll);
    ASSERT_TRUE(document_.undo());
    EXPECT_TRUE(Design(scene()) == before);

    // F2 again closes it; so does closing the main window.
    EXPECT_EQ(key(FL_F + 2), 1);
    EXPECT_FALSE(analysis->shown());
    EXPECT_EQ(key(FL_F + 2), 1);
    EXPECT_TRUE(analysis->shown());
    window_->hide();
    EXPECT_FALSE(analysis->shown());

    // Pressed in the analysis window, the editor's keys work there: F2 closes
    // it, and Escape, through the toolkit, closes it and not the editor.
    window_->show();
    for (const int keysym : {FL_F + 2, FL_Escape}) {
        EXPECT_EQ(key(FL_F + 2), 1);
        ASSERT_TRUE(analysis->shown());
        Fl::e_keysym = keysym;
        Fl::e_state = 0;
        Fl::belowmouse(nullptr);
        EXPECT_EQ(Fl::handle(FL_KEYBOARD, analysis), 1) << keysym;
        EXPECT_FALSE(analysis->shown()) << keysym;
        EXPECT_TRUE(window_->shown()) << keysym;
    }
}

} // namespace

namespace {

// Every key of the table is handled, the help F1 shows and --help both list
// it on a line of its own, once, in the table's order, and so does the
// README's table of keys. The README's words on the guide lines state their
// numbers.
TEST_F(FileCommandsTest, EveryKeyIsHandledAndListedInBothHelps) {
    ASSERT_EQ(key(FL_F + 1), 1);
    ASSERT_FALSE(dialogs_.asked.empty());
    const std::string help = dialogs_.asked.back();
    ASSERT_EQ(help.rfind("help: Keys\n", 0), 0u) << help;
    const std::string usage = usage_text();
    std::ifstream readme_file(std::string(LOOPTIDE_SOURCE_DIR) + "/README.md");
    const std::string readme((std::istreambuf_iterator<char>(readme_file)), {});
    const std::size_t keys_start = readme.find("| Key | What it does |");
    ASSERT_NE(keys_start, std::string::npos);
    const std::string keys =
        readme.substr(keys_start, readme.find("\n\n", keys_start) - keys_start);
    std::size_t help_from = 0;
    std::size_t usage_from = 0;
    for (const KeyCommand& k : key_table()) {
        EXPECT_EQ(key_command(k.key, k.modifiers), k.run != nullptr ? &k : nullptr) << k.name;
        EXPECT_TRUE(k.run == nullptr || keys.find(k.name) != std::string::npos)
            << "the README's keys leave out " << k.name;
        // The view's gesture, listed with the keys, is in the README's mouse table.
        EXPECT_TRUE(k.key != 0 || readme.find("| " + std::string(k.name)) != std::string::npos)
            << "the README's mouse table leaves out " << k.name;
        const std::string line = "  " + std::string(k.name) + ": " + k.help + "\n";
        for (auto [text, from] : {std::pair{&help, &help_from}, std::pair{&usage, &usage_from}}) {
            const std::size_t at = text->find(line, *from);
            ASSERT_NE(at, std::string::npos) << k.name << " in order in\n" << *text;
            EXPECT_EQ(text->find(line, at + 1), std::string::npos) << k.name << " twice";
            *from = at + line.size();
        }
    }
    std::string guides = readme.substr(readme.find("- The dashed lines at "), 80);
    for (std::size_t minus; (minus = guides.find("\xe2\x88\x92")) != std::string::npos;) {
        guides.replace(minus, 3, "-");
    }
    EXPECT_NE(guides.find("at " + guides_text(kVerticalGuides, " and ") + " vertical and " +
                          guides_text(kLateralGuides, " and ") + " lateral"),
              std::string::npos)
        << guides;
    // Shift with a key that has no Shift row of its own does what the key does.
    EXPECT_EQ(key_command('n', FL_CTRL | FL_SHIFT), key_command('n', FL_CTRL));
    EXPECT_EQ(key_command('n', 0), nullptr);
    // Delete, with or without Shift, and BackSpace do the same.
    ASSERT_NE(key_command(FL_Delete, FL_SHIFT), nullptr);
    EXPECT_EQ(key_command(FL_Delete, FL_SHIFT)->run, key_command(FL_BackSpace, 0)->run);
    // The help states the limits of the point count.
    EXPECT_NE(help.find("(up to 100 points)"), std::string::npos);
    EXPECT_NE(help.find("(down to 4 points)"), std::string::npos);
}

} // namespace
