// The ride's state: the track, the train, the light, the ball generators, the
// lights and ride-view flags and the selection, with the commands that change
// them and the animation step. No GL, no FLTK: the view draws a Scene and turns
// the user's gestures into calls on it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "scene/selection.h"
#include "scene/train.h"
#include "scenery/ball_generator.h"
#include "track/control_point.h"
#include "track/point3.h"
#include "track/ride_motion.h"
#include "track/ring_measure.h"
#include "track/track.h"
#include "track/track_watch.h"

class Scene {
public:
    static constexpr int kMaxGenerators = 20;
    // The animation step does work at most once per this many milliseconds.
    static constexpr int kStepMs = ::kStepMs;

    // Milliseconds of real time since program start; calendar seconds.
    using MillisecondClock = std::function<int()>;
    using SecondsClock = std::function<std::int64_t()>;

    // A Cardinal track of four points, one car at the start, the light at
    // (0, 4, 4), no generators, nothing selected, lights on, orbit view.
    Scene();

    const Track& track() const { return track_; }
    Track& track() { return track_; } // tests and benchmarks shape it directly
    const Train& train() const { return train_; }
    Train& train() { return train_; } // tests and benchmarks place the train directly
    const ControlPoint& light() const { return light_; } // the light's direction and its cube
    ControlPoint& light() { return light_; }
    int num_generators() const { return static_cast<int>(generators_.size()); }
    const BallGenerator& generator(int g) const { return *generators_[g]; } // g < num_generators()
    BallGenerator& generator(int g) { return *generators_[g]; }
    bool lights_on() const { return lights_on_; }
    bool look_from_car() const { return look_from_car_; }
    bool animating() const { return animating_; }

    // --- Commands. Those with a limit return whether they changed anything. ---
    void set_curve_type(CurveType type);
    void set_tension(float tension);
    void set_constant_velocity(bool on) { train_.constant_velocity = on; }
    void set_conserve_energy(bool on) { train_.conserve_energy = on; }
    void set_velocity(double v); // speed and base speed both, dropping any gained speed
    // "Ride these speeds": with Constant Velocity on, the front car moves at
    // the physical speed of the ride (see Train::physics).
    void set_physics(bool on) { train_.physics = on; }
    void set_look_from_car(bool on) { look_from_car_ = on; }
    void set_lights_on(bool on) { lights_on_ = on; }
    void toggle_animation() { animating_ = !animating_; }
    bool set_selected_roll(double degrees); // banks a selected control point only
    bool add_car();                         // up to Train::kMaxCars
    bool remove_car();                      // down to one
    // Resample the ring with one point more (up to 100) or fewer (down to 4).
    // A selected point whose index is still a point stays selected; a handle,
    // or a point past the new count, is dropped, since its name would now
    // denote another object or none.
    bool add_point();
    bool remove_point();
    bool add_ball_generator(); // at the origin, up to kMaxGenerators
    // Edits in place (Track::insert_point, delete_point): a point inserted at
    // the place u on the track becomes the selection; the selected point is
    // removed, and with it the selection. The front car keeps its place on
    // the track. Each returns false, changing nothing, at the limit of 100
    // or 4 points, or (delete) when no point is selected.
    bool insert_point(float u);
    bool delete_selected_point();

    // --- Whole designs: opening a file, undo and redo ---
    // Puts `track` in place of the ring. The front car stays on the new ring
    // (its parameter wrapped onto it); when the point count changes the
    // selection follows the same rule as after Add or Remove Point.
    void replace_track(const Track& track);
    // One generator at each position (at most kMaxGenerators are kept): those
    // that stay keep their balls and move; those past the new count go, with a
    // selection of one of them.
    void set_generator_positions(const std::vector<ControlPoint>& positions);
    void set_cars(int cars); // clamped to 1 .. Train::kMaxCars
    // The front car back at u = 0, at the chosen speed.
    void restart_train();

    // --- Selection and dragging ---
    const Selection& selection() const { return selection_; }
    void clear_selection() { selection_ = Selection(); }
    // Selects the object a pick reported by its name.
    void select_name(int name);
    // The bank of the selected control point; empty for any other selection.
    std::optional<double> selected_roll() const;
    // Moves the selection to where the pointer ray from `eye` through
    // `through` meets its drag plane: the horizontal plane through it, or with
    // `vertical` the plane z = its z, so that only its height changes.
    // Generators stay on the ground. Returns false, leaving everything in
    // place, when nothing movable is selected or the ray misses the plane.
    bool drag_selection(const Point3& eye, const Point3& through, bool vertical);

    // --- Animation ---
    // One animation step when one is due: moves the train and updates the
    // generators. Returns whether it did (and the picture changed).
    bool step();
    // Milliseconds until step() can next do work; -1 while none can be due
    // (not animating, or halted at zero speed in arc-length mode).
    int ms_until_next_step() const;
    int last_tick() const { return last_tick_; }   // clock reading of the last step
    int elapsed_ms() const { return elapsed_ms_; } // time handed to the generators last
    // Time sources; tests replace them to drive the step.
    void set_clock(MillisecondClock clock) { clock_ms_ = std::move(clock); }
    void set_calendar(SecondsClock calendar) { calendar_seconds_ = std::move(calendar); }

private:
    // The 34 ms gate: when a step is due, hands the real elapsed time to every
    // generator, restarts the interval and returns true.
    bool take_step_time();
    // Moves the front car by `speed` along the track, gaining or losing speed
    // with height when energy is conserved.
    void advance_by_distance();
    // Moves the front car speed x kStepSeconds metres along the ring measure,
    // at the physical speed where it stands: the chosen speed (read in m/s)
    // everywhere, or with energy conserved the frictionless train's speed
    // crossing the highest point at it.
    void advance_physically();
    // After the point count changed: drops a selection whose name would now
    // denote another object or none, and wraps the front car onto the ring.
    void follow_new_point_count();
    // After an edit in place: the front car, which stood at `car`, keeps its
    // place on the track.
    void follow_ring_change(const RingChange& change, const Point3& car);
    // The record a drag moves, or null when the selection cannot move that way.
    ControlPoint* drag_target(bool vertical);

    Track track_;
    Train train_;
    ControlPoint light_;
    std::vector<std::unique_ptr<BallGenerator>> generators_;
    Selection selection_;
    bool lights_on_ = true;
    bool look_from_car_ = false;
    bool animating_ = false;
    int last_tick_ = 0;
    int elapsed_ms_ = 0;
    MillisecondClock clock_ms_;
    SecondsClock calendar_seconds_;
    // The ring measure and the height the frictionless speed is measured
    // from, and the track they were found on.
    std::vector<MeasureSample> measure_;
    double highest_ = 0.0;
    TrackWatch measured_;
};
