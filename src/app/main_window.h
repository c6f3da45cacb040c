// The program's main window: controls on the left, the 3-D view on the right.
// It keeps its controls by name and shows the document in them and in its
// title; it takes the editor's keys (the view declines keys) and owns the ride
// analysis window that F2 opens beside it.
#pragma once

#include <FL/Fl_Double_Window.H>

#include <memory>
#include <string>

#include "analysis/ride_analysis.h"
#include "app/analysis_window.h"
#include "app/dialogs.h"
#include "app/file_commands.h"
#include "document/document.h"

class CoasterWindow;
class Fl_Check_Button;
class Fl_Value_Slider;

class MainWindow : public Fl_Double_Window {
public:
    MainWindow(int x, int y, int w, int h, const char* label);
    ~MainWindow() override;

    // The keys of the key table (keys.h); every other event as any window.
    int handle(int event) override;

    FileCommands& file_commands() { return *commands_; }
    Document& document() { return *document_; }
    CoasterWindow& view() { return *view_; }
    // F2: shows the ride analysis window beside this one, following the
    // design, or hides it again.
    void toggle_analysis();
    AnalysisWindow* analysis_window() { return analysis_window_.get(); } // null until F2
    // Ctrl+B and the analysis window's button: sets every control point's
    // bank, together, so that riders feel as little sideways force as the
    // track allows (see level_banking): one edit. The analysis window then
    // says the largest lateral G left.
    void bank_for_level_riding();
    // Hides the analysis window too, so that the program ends with this one.
    void hide() override;
    // Sets the controls that show the design from the scene (tension, speed,
    // Constant Velocity, Conserve Energy, the roll of a selected point)
    // without running their callbacks.
    void show_design();

private:
    friend MainWindow* build_main_window(Document& document, Dialogs& dialogs,
                                         const std::string& examples_folder);
    void attach(Document& document, Dialogs& dialogs, const std::string& examples_folder);
    void on_document_change(Document::Change change);
    // While the analysis window is shown: the analysis of the design as it
    // is now, and the front car's place in it.
    void show_analysis();
    void show_car();
    SpeedModel speed_model() const;
    // Runs the key table's command for `key` with the modifiers in `state`,
    // pressed in this window or the analysis window: 1 if there is one, else 0.
    int run_key(int key, int state);
    static void close_cb(Fl_Widget* window, void* data);

    Document* document_ = nullptr;
    std::unique_ptr<FileCommands> commands_;
    CoasterWindow* view_ = nullptr;
    Fl_Value_Slider* roll_ = nullptr;
    Fl_Value_Slider* tension_ = nullptr;
    Fl_Check_Button* constant_velocity_ = nullptr;
    Fl_Check_Button* conserve_energy_ = nullptr;
    Fl_Value_Slider* velocity_ = nullptr;
    std::unique_ptr<AnalysisWindow> analysis_window_;
    RideAnalysis ride_;     // what the analysis window shows, its storage reused
    std::string bank_note_; // what the last banking left, until the next other edit
    bool banking_ = false;
};

// Builds the main window "Looptide" at (10, 10), 700 x 600, with its 23
// children in table order (the view among them) showing `document`, sets
// the_coaster_window and ends the window's group. The caller shows and owns
// the window, which must go before the document and the dialogs; deleting it
// deletes every control and the view.
MainWindow* build_main_window(Document& document, Dialogs& dialogs,
                              const std::string& examples_folder = {});
