// The 480 x 480 OpenGL view of a document's Scene: draws it, picks objects in
// it, turns mouse gestures into changes of it and its camera, and wakes the
// animation step. Every change of the design goes through the document's one
// edit path; the scene itself (track, train, light, generators, selection)
// holds no GL. Implementation by concern: commands.cpp, animation.cpp,
// frame.cpp, draw_*.cpp, picking.cpp, mouse.cpp.
#pragma once

#include <FL/Fl_Gl_Window.H>

#include <array>
#include <functional>
#include <optional>

#include "camera/orbit_camera.h"
#include "document/document.h"
#include "scene/frame_layout.h"
#include "scene/scene.h"
#include "view/draw_list.h"

class CoasterWindow : public Fl_Gl_Window {
public:
    // The OpenGL window mode: RGB colour, double buffering, a depth buffer.
    static constexpr int kGlMode = FL_RGB | FL_DOUBLE | FL_DEPTH;

    // Shows and edits `document`, which must outlive the view.
    CoasterWindow(int x, int y, int w, int h, Document& document);
    ~CoasterWindow() override;

    Document& document() { return document_; }
    Scene& scene() { return scene_; }
    const Scene& scene() const { return scene_; }
    OrbitCamera& camera() { return camera_; }
    DrawList& draw_list() { return draw_list_; } // tests compare its ways of drawing

    // --- Commands of the controls: each changes the scene and asks for the
    // redraw its control needs. ---
    void set_curve_type(CurveType type);
    void toggle_animation(); // never redraws; the next step does
    // A slider's change `dragged` with the mouse joins the undo step of the
    // drag's earlier changes; one from the keyboard is a step of its own.
    void set_tension(float tension, bool dragged = false);
    void set_constant_velocity(bool on);
    void set_velocity(double v, bool dragged = false);
    void set_look_from_car(bool on);
    // Redraws even when nothing is banked.
    void set_selected_roll(double roll, bool dragged = false);
    void add_car();    // redraws even at the limit
    void remove_car(); // redraws even at the limit
    void set_lights_on(bool on);
    void set_conserve_energy(bool on);
    void add_point();    // redraws only when the count changed
    void remove_point(); // redraws only when the count changed
    void add_ball_generator();
    // Removes the selected control point (Delete): one undo step. At 4
    // points, or with no point selected, nothing changes and the view beeps.
    void delete_selected_point();
    // Inserts a point at the place u on the track and selects it (a
    // double-click on the track): one undo step. At 100 points nothing
    // changes and the view beeps. Returns whether it inserted.
    bool insert_point(float u);
    // What sounds when an edit is refused; the toolkit's beep unless a test
    // listens instead.
    void on_refusal(std::function<void()> callback) { on_refusal_ = std::move(callback); }

    // After New, Open, Undo or Redo put a whole design in place: one redraw,
    // and the step timeout aimed anew.
    void design_replaced();

    // Runs after every left press whose pick hit something (the ground
    // included), once the scene's selection is set: the main window shows a
    // picked point's bank in its roll slider.
    void on_pick(std::function<void()> callback) { on_pick_ = std::move(callback); }
    // Runs after every animation step that moved the train: the ride analysis
    // window follows the front car.
    void on_step(std::function<void()> callback) { on_step_ = std::move(callback); }

    // --- Animation (animation.cpp) ---
    // One animation step of the scene when due; redraws when it moved anything.
    void step_animation();
    // Arms the toolkit timeout that wakes the step when it can next be due
    // (the event loop otherwise sleeps: nothing spins while nothing moves).
    void schedule_step();

    // --- Frame (frame.cpp and draw_*.cpp) ---
    void draw() override;
    void setup_projection(bool reset_projection);
    void setup_light();
    void draw_scene();
    void draw_control_points();
    void draw_handles();
    void draw_light_cube();
    void draw_rails();
    void draw_ties();
    void draw_cars();
    void draw_generators();

    // --- Picking and mouse (picking.cpp, mouse.cpp) ---
    // Room for 25 one-name hit records of four entries each; a 26th overflows
    // it and the selection reports a negative count.
    using SelectBuffer = std::array<GLuint, 100>;
    // Draws the scene in selection mode in the 5 x 5 pixels around window
    // pixel (x, y) and returns glRenderMode's count of hit records (negative
    // on overflow); `records` holds them.
    int select_at(int x, int y, SelectBuffer& records);
    // The selection under the pointer of the current event. Empty when nothing
    // was hit or the hits overflowed; else the name of the first record (the
    // ground reports kNoName).
    std::optional<int> pick();
    // Pointer reach of the drawn rails, in pixels.
    static constexpr double kTrackReach = 5.0;
    // The curve parameter of the place on the drawn track nearest window
    // pixel (x, y), as the last frame shows it; empty when no rail passes
    // within kTrackReach pixels.
    std::optional<float> track_at(int x, int y);
    int handle(int event) override;
    int unproject(double win_x, double win_y, double win_z, double* x, double* y, double* z);

    // The mouse state of the last event, for the drag that follows a press.
    int last_button() const { return last_button_; }
    int last_mouse_x() const { return last_mouse_x_; }
    int last_mouse_y() const { return last_mouse_y_; }

private:
    // The rails, ties and train of the current track and train, laid out once
    // and reused by every draw routine of the same frame.
    const FrameLayout& layout();
    // The gestures. press() and drag() read the event and dispatch to the
    // rest; press() returns whether the picture changed (a pick hit).
    bool press();
    bool select();
    // A double-click that hit no object: inserts a point on the track under
    // the pointer. Returns whether the track was there.
    bool insert_on_track();
    // An edit past its limit: the beep, or the test's listener.
    void refuse();
    void drag();
    void move_in_plane(int x, int y);   // left drag
    void move_vertically(int x, int y); // Ctrl + left drag
    void move_selection(int x, int y, bool vertical);
    void orbit(int x);            // right drag
    void change_elevation(int y); // Ctrl + right drag
    void zoom(int y);             // middle drag
    void raise_target(int y);     // Ctrl + middle drag

    Document& document_;
    Scene& scene_; // the document's
    OrbitCamera camera_;
    std::function<void()> on_pick_;
    std::function<void()> on_step_;
    std::function<void()> on_refusal_;
    int last_button_ = 0;
    int last_mouse_x_ = 0;
    int last_mouse_y_ = 0;
    FrameLayout layout_;
    DrawList draw_list_; // every vertex of the scene goes through it
};

// The one view of the program: the main window sets it when it builds the view,
// and the entry function clears it when the main window is gone.
extern CoasterWindow* the_coaster_window;

// Timeout hook armed by schedule_step: one animation step of the view in data,
// then re-arms itself for the next due time.
void step_timeout_cb(void* data);
