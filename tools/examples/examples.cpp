// The example designs. Each starts from a fresh scene and uses only what the
// controls and the mouse can do: Add and Remove Point, the curve type and
// tension, the roll slider on a picked point (-180 to 180), the velocity
// slider (0 to 30), the speed check boxes, Add and Remove Car, Add Ball
// Generator, and drags, which can put a point, handle or the light anywhere
// and a generator anywhere on the ground. Places are kept to whole
// centimetres and banks to whole degrees, as a careful hand leaves them.
#include "examples.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "analysis/ride_analysis.h"
#include "document/design_file.h"
#include "scene/ranges.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

double centimetres(double v) {
    return std::round(v * 100.0) / 100.0;
}

// Add Point or Remove Point, pressed until the ring has n points.
void set_point_count(Scene& s, int n) {
    while (s.track().num_points() < n && s.add_point()) {
    }
    while (s.track().num_points() > n && s.remove_point()) {
    }
}

// Point i dragged to (x, y, z).
void drag_point(Scene& s, int i, double x, double y, double z) {
    s.track().point(i).set_position(centimetres(x), centimetres(y), centimetres(z));
}

// Handle k dragged to (x, y, z).
void drag_handle(Scene& s, int k, const Point3& p) {
    s.track().bezier_handle(k).set_position(centimetres(p.x), centimetres(p.y), centimetres(p.z));
}

// Point i picked and banked with the roll slider.
void bank_point(Scene& s, int i, double degrees) {
    s.select_name(Selection::point(i).name());
    s.set_selected_roll(std::clamp(std::round(degrees), -180.0, 180.0));
    s.clear_selection();
}

// Banks every point into its turn: `gain` degrees per radian of heading turned
// per metre of track around the point, at most `limit` degrees either way. The
// turn is read off the chords of a whole segment on either side, which
// centimetre places hardly disturb.
void bank_into_turns(Scene& s, double gain, double limit) {
    const Track& track = s.track();
    for (int i = 0; i < track.num_points(); ++i) {
        const Point3 here = track.position_at(static_cast<float>(i));
        const Point3 a = here - track.position_at(track.wrap(static_cast<float>(i - 1)));
        const Point3 b = track.position_at(static_cast<float>(i + 1)) - here;
        // Positive while the track turns left, where a positive roll banks it.
        const double turn = std::atan2(b.x * a.z - b.z * a.x, a.x * b.x + a.z * b.z);
        const double metres = 0.5 * (length(a) + length(b));
        const double curvature = metres > 0.0 ? turn / metres : 0.0;
        bank_point(s, i, std::clamp(gain * curvature, -limit, limit));
    }
}

// Every handle dragged to where Add or Remove Point would have put it for
// these points, so that a switch to Bezier shows a curve near the ring.
void place_handles_automatically(Scene& s) {
    s.track().make_handles();
    for (int k = 0; k < 2 * s.track().num_points(); ++k) {
        drag_handle(s, k, s.track().bezier_handle(k).position());
    }
}

// "Bank for level riding" pressed: every point's bank chosen together for the
// ride under the car controls as they are set.
void bank_for_level_riding(Scene& s) {
    const Train& t = s.train();
    const SpeedModel model{t.constant_velocity, t.conserve_energy,
                           t.base_speed * kVelocitySliderScale};
    const std::vector<double> rolls = level_banking(s.track(), model);
    for (std::size_t i = 0; i < rolls.size(); ++i) {
        bank_point(s, static_cast<int>(i), rolls[i]);
    }
}

void set_velocity_slider(Scene& s, double shown) {
    s.set_velocity(shown / kVelocitySliderScale);
}

void set_cars(Scene& s, int cars) {
    while (s.train().cars < cars && s.add_car()) {
    }
    while (s.train().cars > cars && s.remove_car()) {
    }
}

void drag_light(Scene& s, double x, double y, double z) {
    s.light().set_position(x, y, z);
}

// A generator added and dragged over the ground to (x, 0, z).
void add_generator(Scene& s, double x, double z) {
    if (s.add_ball_generator()) {
        s.generator(s.num_generators() - 1)
            .position()
            .set_position(centimetres(x), 0.0, centimetres(z));
    }
}

// Points placed on a ring from a function of s in [0, 1).
template <typename Shape> void drag_points_along(Scene& s, Shape shape) {
    const int n = s.track().num_points();
    for (int i = 0; i < n; ++i) {
        const Point3 p = shape(static_cast<double>(i) / n);
        drag_point(s, i, p.x, p.y, p.z);
    }
}

// A figure eight whose crossing is a bridge: the track passes 3 m above
// itself, banked into both loops, the left one and the right one.
Design figure_eight() {
    Scene s;
    set_point_count(s, 12);
    drag_points_along(s, [](double t) {
        const double a = 2 * kPi * t;
        return Point3{2.8 * std::sin(2 * a), 2.1 + 1.5 * std::cos(a), 4.6 * std::sin(a)};
    });
    bank_into_turns(s, 150.0, 60.0);
    place_handles_automatically(s);
    set_cars(s, 3);
    // A powered train at 3 m/s: with Conserve Energy the 3 m the bridge stands
    // up would buy more speed than loops this tight can turn gently.
    set_velocity_slider(s, 3.0);
    s.set_conserve_energy(false);
    drag_light(s, 3.0, 9.0, 6.0);
    return Design(s);
}

// A helix on the full 100 points: two turns climbing close round the middle,
// two coming down outside them.
Design helix() {
    Scene s;
    set_point_count(s, Track::kMaxPoints);
    drag_points_along(s, [](double t) {
        const double angle = 2 * kPi * 4 * t;
        // Inner radius while climbing, outer while descending, easing across
        // at the top and at the bottom.
        const auto ease = [](double x) {
            return x <= 0 ? 0.0 : x >= 1 ? 1.0 : x * x * (3 - 2 * x);
        };
        const double out = ease((t - 0.5) / 0.125) - ease((t - 0.875) / 0.125);
        const double r = 2.0 + 2.2 * out;
        return Point3{r * std::cos(angle), 3.3 - 2.5 * std::cos(2 * kPi * t), r * std::sin(angle)};
    });
    bank_into_turns(s, 90.0, 45.0);
    place_handles_automatically(s);
    set_cars(s, 8);
    // Powered at 3 m/s, as a helix's chain lift and brakes would hold it.
    set_velocity_slider(s, 3.0);
    s.set_conserve_energy(false);
    drag_light(s, 4.0, 10.0, 3.0);
    return Design(s);
}

// A height eased between (place, height) keys given in increasing place:
// level at every key, a half cosine between; level beyond the ends.
double eased_height(const std::vector<std::pair<double, double>>& keys, double s) {
    if (s <= keys.front().first) {
        return keys.front().second;
    }
    for (std::size_t k = 1; k < keys.size(); ++k) {
        if (s <= keys[k].first) {
            const double t = (s - keys[k - 1].first) / (keys[k].first - keys[k - 1].first);
            return keys[k - 1].second +
                   (keys[k].second - keys[k - 1].second) * (1 - std::cos(kPi * t)) / 2;
        }
    }
    return keys.back().second;
}

// Camelback hills after a tall lift: with Conserve Energy the train races
// through the valleys and slows over each crest. The hills stand side-on to
// the starting view, along the back.
Design camelback() {
    Scene s;
    std::vector<Point3> points;
    // The lift, on the right, going away from the view; the train waits on it.
    const double lift[][3] = {{-1.0, 1.45, -4.8},
                              {-2.0, 1.85, -4.8},
                              {-2.9, 2.15, -4.7},
                              {-3.7, 2.3, -4.4},
                              {-4.4, 2.3, -3.8}};
    for (const auto& p : lift) {
        points.push_back({p[0], p[1], p[2]});
    }
    // The drop and two hills along the back, level at each key.
    const std::vector<std::pair<double, double>> profile = {
        {-3.8, 2.3}, {-0.4, 0.9}, {1.9, 1.7}, {4.0, 1.1}, {5.6, 1.3}};
    for (int k = 0; k < 11; ++k) {
        const double z = -3.1 + 0.7 * k;
        points.push_back({-4.8, eased_height(profile, z), z});
    }
    // The turn to the front, the station straight, and the turn into the lift.
    const double rest[][3] = {{-4.7, 1.25, 4.7}, {-4.2, 1.3, 5.7}, {-3.1, 1.1, 6.2},
                              {-1.8, 0.9, 5.9},  {-0.6, 0.8, 5.0}, {0.4, 0.8, 3.6},
                              {0.9, 0.8, 1.8},   {1.0, 0.8, 0.0},  {1.0, 0.8, -1.8},
                              {0.9, 0.8, -3.3},  {0.6, 0.9, -4.4}, {0.0, 1.15, -4.8}};
    for (const auto& p : rest) {
        points.push_back({p[0], p[1], p[2]});
    }
    const int n = static_cast<int>(points.size());
    set_point_count(s, n);
    for (int i = 0; i < n; ++i) {
        drag_point(s, i, points[i].x, points[i].y, points[i].z);
    }
    bank_into_turns(s, 90.0, 35.0);
    place_handles_automatically(s);
    set_cars(s, 4);
    set_velocity_slider(s, 1.0);
    s.set_constant_velocity(true);
    s.set_conserve_energy(true);
    s.set_physics(true);
    bank_for_level_riding(s);
    drag_light(s, 6.0, 12.0, 6.0);
    return Design(s);
}

// A Bezier ring of eight points, its handles pulled by hand into line: each
// point's two handles stand on one line through it, so the track runs through
// every point smoothly, swinging from a low bend in front to a high one at
// the back, with a dip in between.
Design bezier_swing() {
    Scene s;
    set_point_count(s, 8);
    s.set_curve_type(CurveType::Bezier);
    const int n = s.track().num_points();
    // A bean, high at the back and low in front, pinched on the right.
    const auto ring = [](double a) {
        return Point3{-0.6 + 3.2 * std::cos(a) - 0.8 * std::cos(2 * a),
                      3.0 - 1.8 * std::cos(a) + 0.9 * std::sin(2 * a),
                      4.3 * std::sin(a) - 0.6 * std::sin(2 * a)};
    };
    for (int i = 0; i < n; ++i) {
        const Point3 p = ring(2 * kPi * i / n);
        drag_point(s, i, p.x, p.y, p.z);
    }
    for (int i = 0; i < n; ++i) {
        const Point3 p = s.track().point(i).position();
        const Point3 before = s.track().point((i + n - 1) % n).position();
        const Point3 after = s.track().point((i + 1) % n).position();
        // Along the line from the point before to the point after.
        const Point3 d = (after - before) / length(after - before);
        const double reach = 0.3 * (length(after - p) + length(p - before));
        // A segment leaves its point at a third of the pace its first handle
        // sets and reaches the next at the full pace of its second: the
        // leaving handle stands farther out, which evens the bends.
        drag_handle(s, 2 * i, p + 2.5 * reach * d);
        drag_handle(s, (2 * i + 2 * n - 1) % (2 * n), p - reach * d);
    }
    set_cars(s, 2);
    set_velocity_slider(s, 2.0);
    s.set_conserve_energy(false);
    drag_light(s, -2.0, 9.0, 5.0);
    return Design(s);
}

// A tall drop that twists the train over on its way down, a crest ridden
// upside down and an overbanked turn home.
Design twisting_drop() {
    Scene s;
    struct Banked {
        Point3 p;
        double roll;
    };
    // The train waits halfway up the lift hill.
    const Banked points[] = {
        {{-3.7, 4.4, -1.4}, 0},   {{-3.4, 5.9, -3.2}, 0},   {{-2.2, 6.3, -4.4}, -20},
        {{-0.4, 5.7, -4.4}, -10}, {{1.0, 3.9, -3.2}, 60},   {{1.6, 1.9, -1.8}, 150},
        {{1.6, 1.1, -0.2}, 90},   {{1.4, 2.9, 1.3}, 0},     {{1.0, 4.2, 2.5}, -100},
        {{0.0, 3.8, 3.8}, -180},  {{-1.5, 2.5, 4.3}, -130}, {{-3.0, 1.3, 4.0}, -60},
        {{-3.8, 0.9, 2.6}, 0},    {{-3.8, 2.5, 0.6}, 0},
    };
    const int n = static_cast<int>(std::size(points));
    set_point_count(s, n);
    for (int i = 0; i < n; ++i) {
        drag_point(s, i, points[i].p.x, points[i].p.y, points[i].p.z);
        bank_point(s, i, points[i].roll);
    }
    place_handles_automatically(s);
    set_cars(s, 3);
    set_velocity_slider(s, 3.0);
    s.set_physics(true);
    drag_light(s, 4.0, 9.0, 2.0);
    return Design(s);
}

// Ball generators in a ring round a small BSpline loop that climbs over the
// middle of the park, and two more inside it.
Design ball_park() {
    Scene s;
    set_point_count(s, 8);
    s.set_curve_type(CurveType::BSpline);
    drag_points_along(s, [](double t) {
        const double a = 2 * kPi * t;
        return Point3{-0.6 + 2.6 * std::cos(a), 2.6 + 1.2 * std::sin(2 * a), 3.4 * std::sin(a)};
    });
    bank_into_turns(s, 60.0, 30.0);
    place_handles_automatically(s);
    // Round the back and the sides; none in front, where they would hide the loop.
    for (int g = 0; g < 12; ++g) {
        const double a = 2 * kPi * (0.2 + 0.6 * g / 11.0);
        add_generator(s, -1.6 + 4.4 * std::cos(a), 5.4 * std::sin(a));
    }
    add_generator(s, -0.6, -1.0);
    add_generator(s, -0.6, 1.0);
    set_cars(s, 2);
    set_velocity_slider(s, 3.0);
    s.set_conserve_energy(false);
    drag_light(s, 6.0, 12.0, 6.0);
    return Design(s);
}

// Straight runs and sharp corners: a Linear track that zigzags up the
// hillside in three rows and runs straight back down to the front.
Design switchback() {
    Scene s;
    s.set_curve_type(CurveType::Linear);
    // The train waits on the straight in front.
    const Point3 points[] = {
        {2.4, 0.9, 0.6},   {2.4, 0.9, -3.8},  {0.4, 1.8, -4.4}, {-0.2, 2.6, 2.2}, {-2.2, 3.4, 2.8},
        {-2.6, 4.4, -3.6}, {-4.4, 5.2, -4.0}, {-4.6, 6.0, 3.8}, {-2.0, 4.0, 5.0}, {2.4, 0.9, 4.0},
    };
    const int n = static_cast<int>(std::size(points));
    set_point_count(s, n);
    for (int i = 0; i < n; ++i) {
        drag_point(s, i, points[i].x, points[i].y, points[i].z);
    }
    place_handles_automatically(s);
    set_cars(s, 3);
    set_velocity_slider(s, 3.0);
    s.set_physics(true);
    drag_light(s, 6.0, 12.0, 6.0);
    return Design(s);
}

} // namespace

const std::vector<Example>& examples() {
    static const std::vector<Example> all = {
        {"figure-eight", "Banked figure eight", figure_eight},
        {"helix", "Helix on 100 points", helix},
        {"camelback", "Camelback hills", camelback},
        {"bezier-swing", "Bezier swing", bezier_swing},
        {"twisting-drop", "Twisting drop", twisting_drop},
        {"switchback", "Switchback", switchback},
        {"ball-park", "Ball park", ball_park},
    };
    return all;
}

std::string example_text(const Example& example) {
    return design_to_json(example.build(), example.title);
}
