#include "app/main_window.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Light_Button.H>
#include <FL/Fl_Value_Slider.H>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>

#include "app/controls.h"
#include "app/keys.h"
#include "app/speed_model.h"
#include "scene/ranges.h"
#include "view/coaster_window.h"

MainWindow::MainWindow(int x, int y, int w, int h, const char* label)
    : Fl_Double_Window(x, y, w, h, label) {}

MainWindow::~MainWindow() {
    if (document_ != nullptr) {
        document_->set_observer(nullptr);
    }
}

namespace {

void caption(int x, int y, int w, int h, const char* label) {
    auto* box = new Fl_Box(FL_FLAT_BOX, x, y, w, h, label);
    box->color(FL_GRAY);
}

void button(int x, int y, int w, int h, const char* label, Fl_Callback* cb) {
    auto* b = new Fl_Button(x, y, w, h, label);
    b->callback(cb);
}

// Sliders are set in the order type, value, bounds, precision, callback, user data.
Fl_Value_Slider* slider(int x, int y, int w, int h, const char* label, double value, Range range,
                        int precision, Fl_Callback* cb) {
    auto* s = new Fl_Value_Slider(x, y, w, h, label);
    s->type(FL_HOR_NICE_SLIDER);
    s->value(value);
    s->bounds(range.low, range.high);
    s->precision(precision);
    s->callback(cb);
    s->user_data(s);
    return s;
}

Fl_Check_Button* check(int x, int y, int w, int h, const char* label, bool checked,
                       Fl_Callback* cb) {
    auto* c = new Fl_Check_Button(x, y, w, h, label);
    if (checked) {
        c->set();
    } else {
        c->value(0);
    }
    c->callback(cb);
    c->user_data(c);
    return c;
}

// The velocity slider's bounds: the chosen speed's, as it shows them.
constexpr Range kVelocityRange{kSpeedRange.low * kVelocitySliderScale,
                               kSpeedRange.high* kVelocitySliderScale};

// What the controls that show the design read off the scene, here and in
// show_design alike: each starting value comes from the scene alone.
double shown_roll(const Scene& s) {
    return s.selected_roll().value_or(0.0);
}
double shown_velocity(const Scene& s) {
    return s.train().base_speed * kVelocitySliderScale;
}
double shown_tension(const Scene& s) {
    return s.track().tension();
}

} // namespace

MainWindow* build_main_window(Document& document, Dialogs& dialogs,
                              const std::string& examples_folder) {
    const Scene& scene = document.scene();
    auto* window = new MainWindow(10, 10, 700, 600, "Looptide");
    window->begin();

    caption(5, 5, 160, 20, "Track/Curve Controls: ");
    button(5, 30, 95, 20, "Add Point", add_point_cb);
    button(105, 30, 95, 20, "Remove Point", remove_point_cb);
    Fl_Value_Slider* roll = slider(10, 60, 190, 20, "Selected Point's Z Rotation",
                                   shown_roll(scene), kRollRange, 1, roll_cb);
    window->roll_ = roll;

    auto* view = new CoasterWindow(210, 10, 480, 480, document);
    // A picked control point shows its bank; value() only shows it, the
    // slider's callback does not run.
    view->on_pick([view, roll] {
        if (const std::optional<double> bank = view->scene().selected_roll()) {
            roll->value(*bank);
        }
    });
    view->on_step([window] { window->show_car(); });
    the_coaster_window = view;
    window->view_ = view;

    caption(10, 110, 80, 20, "Curve Type:");
    button(30, 140, 90, 20, "Linear", linear_cb);
    button(30, 165, 90, 20, "Cardinal", cardinal_cb);
    button(30, 190, 90, 20, "BSpline", bspline_cb);
    button(30, 215, 90, 20, "Bezier", bezier_cb);
    window->tension_ = slider(10, 245, 190, 20, "Cardinal Tension", shown_tension(scene),
                              kTensionRange, 2, tension_cb);

    caption(10, 305, 80, 20, "Car Controls:");
    window->constant_velocity_ = check(10, 330, 175, 20, "Constant Velocity",
                                       scene.train().constant_velocity, constant_velocity_cb);
    window->conserve_energy_ = check(10, 355, 175, 20, "Conserve Energy",
                                     scene.train().conserve_energy, conserve_energy_cb);
    window->velocity_ = slider(10, 380, 190, 20, "Coaster Velocity", shown_velocity(scene),
                               kVelocityRange, 2, velocity_cb);
    button(10, 440, 90, 20, "Add Car", add_car_cb);
    button(110, 440, 90, 20, "Remove Car", remove_car_cb);

    caption(10, 500, 250, 20, "Camera/Environment Controls:");
    check(30, 525, 175, 20, "Look from Car", scene.look_from_car(), look_from_car_cb);
    check(30, 550, 175, 20, "Lights On", scene.lights_on(), lights_cb);
    auto* animate = new Fl_Light_Button(225, 525, 190, 50, "Animate");
    animate->callback(animate_cb);

    caption(470, 500, 100, 20, "Scenery:");
    button(450, 525, 190, 50, "Add Ball Generator", add_ball_generator_cb);

    window->end();
    window->attach(document, dialogs, examples_folder);
    return window;
}

void MainWindow::attach(Document& document, Dialogs& dialogs, const std::string& examples_folder) {
    document_ = &document;
    commands_ = std::make_unique<FileCommands>(document, dialogs, examples_folder);
    document.set_observer([this](Document::Change change) { on_document_change(change); });
}

void MainWindow::show_design() {
    const Scene& s = document_->scene();
    roll_->value(shown_roll(s));
    tension_->value(shown_tension(s));
    constant_velocity_->value(s.train().constant_velocity ? 1 : 0);
    conserve_energy_->value(s.train().conserve_energy ? 1 : 0);
    velocity_->value(shown_velocity(s));
}

void MainWindow::on_document_change(Document::Change change) {
    if (change == Document::Change::replaced) {
        show_design();
        view_->design_replaced();
    }
    const std::string title = document_->title();
    if (label() == nullptr || title != label()) {
        copy_label(title.c_str());
    }
    if (!banking_) {
        bank_note_.clear();
    }
    show_analysis();
    // Until a file is in use the window closes as any other; from then on it
    // asks first about unsaved changes.
    if (document_->worked_with_files()) {
        callback(close_cb, this);
    }
}

void MainWindow::close_cb(Fl_Widget*, void* data) {
    auto* window = static_cast<MainWindow*>(data);
    if (window->commands_->may_close()) {
        window->hide();
    }
}

SpeedModel MainWindow::speed_model() const {
    const Train& train = document_->scene().train();
    return speed_model_of(train.constant_velocity, train.conserve_energy, train.base_speed);
}

void MainWindow::toggle_analysis() {
    if (analysis_window_ != nullptr && analysis_window_->shown()) {
        analysis_window_->hide();
        return;
    }
    if (analysis_window_ == nullptr) {
        Fl_Group::current(nullptr); // a window of its own, not a child of this one
        analysis_window_ = std::make_unique<AnalysisWindow>();
        analysis_window_->on_select_point([this](int point) {
            document_->scene().select_name(Selection::point(point).name());
            roll_->value(document_->scene().selected_roll().value_or(0.0));
            view_->redraw();
        });
        analysis_window_->on_bank_for_level_riding([this] { bank_for_level_riding(); });
        analysis_window_->on_ride_speeds([this](bool on) {
            document_->end_merging();
            document_->edit([on](Scene& s) { s.set_physics(on); });
        });
        analysis_window_->on_key([this](int key) { return run_key(key, Fl::event_state()); });
    }
    // Beside this window, as far as the screen allows.
    const int x_beside = std::min(x() + w() + 10, Fl::w() - AnalysisWindow::kWidth);
    analysis_window_->position(std::max(0, x_beside), y());
    analysis_window_->show();
    show_analysis();
}

void MainWindow::show_analysis() {
    if (analysis_window_ == nullptr || !analysis_window_->shown()) {
        return;
    }
    analyse_ride(document_->scene().track(), speed_model(), ride_);
    analysis_window_->show_analysis(ride_);
    analysis_window_->show_ride_speeds(document_->scene().train().physics);
    analysis_window_->show_note(bank_note_);
    show_car();
}

void MainWindow::show_car() {
    if (analysis_window_ != nullptr && analysis_window_->shown()) {
        analysis_window_->show_car_at(distance_at(ride_, document_->scene().train().car_u));
    }
}

namespace {

// "Banked for level riding: the largest lateral G is now 0.42 g (was 1.80 g)."
std::string bank_note(const RideAnalysis& before, const RideAnalysis& after) {
    if (after.samples.empty()) {
        return {};
    }
    char text[160];
    std::snprintf(text, sizeof text,
                  "Banked for level riding: the largest lateral G is now %.2f g (was %.2f g).",
                  std::abs(after.summary.lateral_max_abs.value),
                  std::abs(before.summary.lateral_max_abs.value));
    return text;
}

} // namespace

void MainWindow::bank_for_level_riding() {
    const SpeedModel model = speed_model();
    const RideAnalysis before = analyse_ride(document_->scene().track(), model);
    document_->end_merging();
    banking_ = true;
    document_->edit([&](Scene& s) {
        const std::vector<double> rolls = level_banking(s.track(), model);
        for (std::size_t i = 0; i < rolls.size(); ++i) {
            s.track().point(static_cast<int>(i)).roll = rolls[i];
        }
        bank_note_ = bank_note(before, analyse_ride(s.track(), model));
    });
    banking_ = false;
    show_analysis(); // with the note, also when banking changed nothing
    roll_->value(shown_roll(document_->scene()));
    view_->redraw();
}

void MainWindow::hide() {
    if (analysis_window_ != nullptr) {
        analysis_window_->hide();
    }
    Fl_Double_Window::hide();
}

int MainWindow::run_key(int key, int state) {
    const KeyCommand* command = key_command(key, state);
    if (command == nullptr) {
        return 0;
    }
    command->run(*this);
    return 1;
}

int MainWindow::handle(int event) {
    if ((event == FL_KEYBOARD || event == FL_SHORTCUT) && commands_ != nullptr &&
        run_key(Fl::event_key(), Fl::event_state())) {
        return 1;
    }
    // A press starts a new gesture: no later edit joins the undo step of an
    // earlier drag.
    if (event == FL_PUSH && document_ != nullptr) {
        document_->end_merging();
    }
    return Fl_Double_Window::handle(event);
}
