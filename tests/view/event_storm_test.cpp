// Thousands of seeded random mouse, key and wheel events over the real view,
// mixed with the commands that reshape what the events act on. Nothing may
// crash, and no position may become NaN or infinite.
#include <gtest/gtest.h>

#include <FL/Fl.H>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "view/gl_fixture.h"

using gl_test::GlView;

namespace {

bool finite(const ControlPoint& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z) && std::isfinite(p.roll);
}

// Every position a drag can write; empty when all are finite.
std::string first_non_finite(CoasterWindow& v) {
    for (int i = 0; i < v.scene().track().num_points(); ++i) {
        if (!finite(v.scene().track().point(i))) {
            return "point " + std::to_string(i);
        }
    }
    for (int k = 0; k < 2 * v.scene().track().num_points(); ++k) {
        if (!finite(v.scene().track().bezier_handle(k))) {
            return "handle " + std::to_string(k);
        }
    }
    if (!finite(v.scene().light())) {
        return "light";
    }
    for (int i = 0; i < v.scene().num_generators(); ++i) {
        if (!finite(v.scene().generator(i).position())) {
            return "generator " + std::to_string(i);
        }
    }
    const OrbitCamera& c = v.camera();
    if (!std::isfinite(c.eye_x()) || !std::isfinite(c.eye_y()) || !std::isfinite(c.eye_z())) {
        return "camera eye";
    }
    return {};
}

} // namespace

TEST(EventStorm, RandomGesturesAndCommandsKeepEveryPositionFinite) {
    GlView h;
    CoasterWindow& v = h.view();
    std::mt19937 rng(20240611u);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const int states[] = {0, FL_CTRL, FL_SHIFT, FL_CTRL | FL_SHIFT, FL_ALT};
    const int others[] = {FL_KEYDOWN, FL_KEYUP, FL_MOUSEWHEEL, FL_ENTER,   FL_LEAVE,
                          FL_MOVE,    FL_FOCUS, FL_UNFOCUS,    FL_SHORTCUT};
    // Aim some presses at real objects so that drags have something to move.
    auto aim = [&]() -> gl_test::Pixel {
        const int kind = pick(0, 3);
        if (kind == 0) {
            return h.locate(gl_test::cube_centre(
                v.scene().track().point(pick(0, v.scene().track().num_points() - 1))));
        }
        if (kind == 1) {
            const int k = pick(0, 2 * v.scene().track().num_points() - 1);
            return h.locate(v.scene().track().bezier_handle(k).position());
        }
        if (kind == 2) {
            return h.locate(v.scene().light().position());
        }
        if (v.scene().num_generators() > 0) {
            const ControlPoint& g =
                v.scene().generator(pick(0, v.scene().num_generators() - 1)).position();
            return h.locate(Point3{g.x, 0.55, g.z});
        }
        return gl_test::Pixel{pick(0, 479), pick(0, 479), true};
    };

    int picks = 0;
    int moves = 0;
    const int kEvents = 4000;
    for (int step = 0; step < kEvents; ++step) {
        const int roll = pick(0, 99);
        const int x = pick(-200, 700); // well outside the 480 x 480 view too
        const int y = pick(-200, 700);
        const int state = states[pick(0, 4)];
        if (roll < 12) {
            gl_test::Pixel target = pick(0, 1) == 0 ? aim() : gl_test::Pixel{x, y, true};
            h.press(pick(1, 3), target.x, target.y, state);
            picks += v.scene().selection().name() >= 0 ? 1 : 0;
        } else if (roll < 60) {
            moves += (v.last_button() == 1 && v.scene().selection().name() >= 0) ? 1 : 0;
            ASSERT_EQ(h.drag(x, y, state), 1);
        } else if (roll < 66) {
            ASSERT_EQ(h.release(x, y, state), 1);
        } else if (roll < 78) {
            Fl::e_x = x;
            Fl::e_y = y;
            Fl::e_keysym = pick(0, 0xffff);
            Fl::e_dy = pick(-3, 3);
            Fl::e_state = state;
            ASSERT_EQ(h.send(others[pick(0, 8)]), 0);
        } else if (roll < 82) {
            if (pick(0, 1) == 0) {
                v.add_point();
            } else {
                v.remove_point();
            }
        } else if (roll < 86) {
            v.set_curve_type(static_cast<CurveType>(pick(0, 3)));
        } else if (roll < 88) {
            v.set_look_from_car(pick(0, 2) == 0);
        } else if (roll < 90) {
            v.add_ball_generator();
        } else if (roll < 93) {
            // A stale name from before points were removed, as a selection
            // can hold after the ring changes under it.
            v.scene().select_name(pick(-5, 450));
        } else if (roll < 95) {
            v.scene().train().car_u =
                static_cast<float>(pick(0, 100 * v.scene().track().num_points() - 1)) / 100.0f;
        } else {
            h.draw_frame();
        }
        const std::string bad = first_non_finite(v);
        ASSERT_TRUE(bad.empty()) << bad << " after step " << step;
        ASSERT_GE(v.scene().track().num_points(), Track::kMinPoints);
        ASSERT_LE(v.scene().track().num_points(), Track::kMaxPoints);
    }
    // The storm must have exercised selections, not only empty presses.
    EXPECT_GT(picks, 20);
    std::printf("storm: %d presses selected something, %d left drags had a selection\n", picks,
                moves);
}
