// The 480 x 480 OpenGL view: owner of all editor and simulation state (track,
// camera, train, light, generators, selection), its commands, the animation
// step, the frame drawing, picking and mouse handling. Implementation is split
// by concern: commands.cpp, animation.cpp, frame.cpp, draw_*.cpp, picking.cpp,
// mouse.cpp.
#pragma once

#include <FL/Fl_Gl_Window.H>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "camera/orbit_camera.h"
#include "scenery/ball_generator.h"
#include "track/control_point.h"
#include "track/frame_layout.h"
#include "track/track.h"

class Fl_Value_Slider;
struct GLUquadric;

class CoasterWindow : public Fl_Gl_Window {
public:
    static constexpr int kMaxCars = 8;
    static constexpr int kMaxGenerators = 20;
    static constexpr int kLightName = 301;
    static constexpr int kFirstGeneratorName = 400;
    static constexpr int kStepMs = 34; // at most one animation step per 34 ms

    // Milliseconds of real time since program start; calendar seconds.
    using MillisecondClock = std::function<int()>;
    using SecondsClock = std::function<std::int64_t()>;

    CoasterWindow(int x, int y, int w, int h, Fl_Value_Slider* roll_slider);
    ~CoasterWindow() override;

    // --- Commands (called from the control callbacks) ---
    void set_curve_type(int type);
    void toggle_animation(); // never redraws; the next step does
    void set_tension(float tension);
    void set_constant_velocity(bool on);
    void set_velocity(double v);
    void set_look_from_car(bool on);
    void set_selected_roll(double roll);
    void add_car();
    void remove_car();
    void set_lights_on(bool on);
    void set_conserve_energy(bool on);
    void add_point();
    void remove_point();
    void add_ball_generator();

    // --- Animation (animation.cpp) ---
    void step_animation();
    // Time sources; tests replace them to drive the step.
    void set_clock(MillisecondClock clock) { clock_ms_ = std::move(clock); }
    void set_calendar(SecondsClock calendar) { calendar_seconds_ = std::move(calendar); }
    // Milliseconds until the animation step can next do work, or -1 when no
    // step can be due (not animating, or halted at zero speed).
    int ms_until_next_step() const;
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
    bool pick();
    int handle(int event) override;
    int unproject(double win_x, double win_y, double win_z, double* x, double* y, double* z);

    // --- State (public, as the drawing, animation and tests read it) ---
    int selected_name = -1;
    bool picked = false;
    OrbitCamera camera;
    int last_button = 0;
    int last_mouse_x = 0;
    int last_mouse_y = 0;
    int num_points = 4;
    int num_cars = 1;
    bool animating = false;
    bool constant_velocity = true;
    bool conserve_energy = true;
    double speed = 0.1;
    double base_speed = 0.1;
    int last_tick = 0;
    int elapsed_ms = 0;
    float car_u = 0.0f;
    bool look_from_car = false;
    Track track;
    ControlPoint light_pos;
    std::array<std::unique_ptr<BallGenerator>, kMaxGenerators> generators{};
    int num_generators = 0;
    Fl_Value_Slider* roll_slider = nullptr; // not owned
    ControlPoint* selected_point = nullptr; // the point last picked or rolled
    int grid_cols = 10;
    int grid_rows = 10;
    float ground_max_x = 10.0f;
    float ground_min_x = -10.0f;
    float ground_max_z = 10.0f;
    float ground_min_z = -10.0f;
    bool lights_on = true;

private:
    // The rails, ties and train of the current track and car_u, laid out once
    // and reused by every draw routine of the same frame.
    const FrameLayout& layout();

    // The step's 34 ms gate: when a step is due, hands the real elapsed time
    // to every generator, restarts the interval and returns true.
    bool take_step_time();
    // Moves the front car by `speed` along the track, gaining or losing speed
    // with height when energy is conserved.
    void advance_by_distance();

    // The object a left drag moves, resolved from selected_name; null for none.
    ControlPoint* drag_target(bool ctrl);

    MillisecondClock clock_ms_;
    SecondsClock calendar_seconds_;
    FrameLayout layout_;
    GLUquadric* quadric_ = nullptr; // one for the view's lifetime, made on first draw
    int viewport_w_ = 0;            // pixel size the viewport was last set to
    int viewport_h_ = 0;
};

// The one view of the program, set by the entry function right after it is built.
extern CoasterWindow* the_coaster_window;

// Idle-time hook: runs the animation step of the_coaster_window.
void idle_cb(void* data);
// Timeout hook armed by schedule_step: one animation step of the view in data,
// then re-arms itself for the next due time.
void step_timeout_cb(void* data);
