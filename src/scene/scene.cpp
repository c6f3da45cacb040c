// Construction and the commands: each checks its own limits and changes the
// state; the view decides what to redraw.
#include "scene/scene.h"

#include <algorithm>
#include <chrono>
#include <ctime>

namespace {

// Milliseconds of real time since the program started (steady, not CPU time).
int program_milliseconds() {
    static const auto start = std::chrono::steady_clock::now();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

std::int64_t calendar_seconds_now() {
    return static_cast<std::int64_t>(std::time(nullptr));
}

// The parameter within half a segment of `guess` whose place on the track is
// nearest `place`, by golden sections: where an edit moved the curve under
// the train, the car goes to the nearest place on it.
float nearest_parameter(const Track& track, const Point3& place, float guess) {
    const auto gap = [&](double u) {
        return length(track.position_at(track.wrap(static_cast<float>(u))) - place);
    };
    constexpr double kGolden = 0.6180339887498949;
    double lo = guess - 0.5;
    double hi = guess + 0.5;
    for (int k = 0; k < 40; ++k) {
        const double a = hi - kGolden * (hi - lo);
        const double b = lo + kGolden * (hi - lo);
        if (gap(a) < gap(b)) {
            hi = b;
        } else {
            lo = a;
        }
    }
    const double found = (lo + hi) / 2;
    return gap(found) < gap(guess) ? track.wrap(static_cast<float>(found)) : guess;
}

} // namespace

Scene::Scene()
    : track_(CurveType::Cardinal), light_(0.0, 4.0, 4.0, 0.0), clock_ms_(program_milliseconds),
      calendar_seconds_(calendar_seconds_now) {
    program_milliseconds(); // pin the clock's origin no later than the scene's birth
    generators_.reserve(kMaxGenerators);
}

void Scene::set_curve_type(CurveType type) {
    track_.set_curve_type(type);
}

void Scene::set_tension(float tension) {
    track_.set_tension(tension);
}

void Scene::set_velocity(double v) {
    train_.speed = v;
    train_.base_speed = v;
}

bool Scene::set_selected_roll(double degrees) {
    if (!selection_.is(Selection::Kind::point)) {
        return false;
    }
    track_.point(selection_.index()).roll = degrees;
    return true;
}

bool Scene::add_car() {
    if (train_.cars >= Train::kMaxCars) {
        return false;
    }
    ++train_.cars;
    return true;
}

bool Scene::remove_car() {
    if (train_.cars <= 1) {
        return false;
    }
    --train_.cars;
    return true;
}

bool Scene::add_point() {
    if (track_.num_points() >= Track::kMaxPoints) {
        return false;
    }
    track_.add_point();
    follow_new_point_count();
    return true;
}

bool Scene::remove_point() {
    if (track_.num_points() <= Track::kMinPoints) {
        return false;
    }
    track_.remove_point();
    follow_new_point_count();
    return true;
}

bool Scene::insert_point(float u) {
    const Point3 car = track_.position_at(train_.car_u);
    const RingChange change = track_.insert_point(u);
    if (!change.changed()) {
        return false;
    }
    follow_ring_change(change, car);
    selection_ = Selection::point(change.point);
    return true;
}

bool Scene::delete_selected_point() {
    if (!selection_.is(Selection::Kind::point)) {
        return false;
    }
    const Point3 car = track_.position_at(train_.car_u);
    const RingChange change = track_.delete_point(selection_.index());
    if (!change.changed()) {
        return false;
    }
    follow_ring_change(change, car);
    clear_selection();
    return true;
}

void Scene::follow_ring_change(const RingChange& change, const Point3& car) {
    // Read on the new ring, the car's parameter points at its place, exactly
    // where the shape was kept; where the curve moved under the car, it goes
    // to the nearest place on the new curve.
    train_.car_u = change.map(train_.car_u);
    const CurveType type = track_.curve_type();
    if (type != CurveType::Linear && type != CurveType::Bezier) {
        train_.car_u = nearest_parameter(track_, car, train_.car_u);
    }
}

bool Scene::add_ball_generator() {
    if (num_generators() >= kMaxGenerators) {
        return false;
    }
    generators_.push_back(std::make_unique<BallGenerator>(Point3{0.0, 0.0, 0.0}));
    return true;
}

void Scene::follow_new_point_count() {
    // The handles are rebuilt and their names shift with the point count, so a
    // handle selection would now name another handle; a point keeps its index
    // as long as the ring still has it.
    const bool stale_point =
        selection_.is(Selection::Kind::point) && selection_.index() >= track_.num_points();
    if (stale_point || selection_.is(Selection::Kind::handle)) {
        clear_selection();
    }
    // Every query reads a parameter past the ring as wrapped onto it, so the
    // car is drawn where it was; the parameter step then carries on from
    // there instead of jumping back to the start.
    train_.car_u = track_.wrap(train_.car_u);
}

void Scene::replace_track(const Track& track) {
    const int old_count = track_.num_points();
    track_ = track;
    if (track_.num_points() != old_count) {
        follow_new_point_count();
    }
}

void Scene::set_generator_positions(const std::vector<ControlPoint>& positions) {
    const int count = std::min(static_cast<int>(positions.size()), kMaxGenerators);
    if (selection_.is(Selection::Kind::generator) && selection_.index() >= count) {
        clear_selection();
    }
    generators_.resize(std::min(num_generators(), count));
    while (num_generators() < count) {
        generators_.push_back(std::make_unique<BallGenerator>(Point3{}));
    }
    for (int g = 0; g < count; ++g) {
        generators_[g]->position() = positions[g];
    }
}

void Scene::set_cars(int cars) {
    train_.cars = std::clamp(cars, 1, Train::kMaxCars);
}

void Scene::restart_train() {
    train_.car_u = 0.0f;
    train_.speed = train_.base_speed;
}

void Scene::select_name(int name) {
    selection_ = Selection::from_name(name, track_.num_points(), num_generators());
}

std::optional<double> Scene::selected_roll() const {
    if (!selection_.is(Selection::Kind::point)) {
        return std::nullopt;
    }
    return track_.point(selection_.index()).roll;
}
