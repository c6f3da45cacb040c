// The biggest scene the controls can make, shared by the view's tests and the
// frame benchmark: the benchmark track of 100 banked points, 8 cars at u =
// 37.25 and 20 generators on a 5 x 4 grid with their balls in flight.
#pragma once

#include "literal_frame.h"
#include "scene/scene.h"

inline void build_big_scene(Scene& s) {
    s.track() = literal_frame::bench_scene();
    while (s.add_car()) {
    }
    s.train().car_u = 37.25f;
    for (int g = 0; s.add_ball_generator(); ++g) {
        s.generator(g).position().set_position(-9.0 + 4.5 * (g % 5), 0.0, -8.0 + 5.5 * (g / 5));
        for (int k = 0; k < 30; ++k) {
            s.generator(g).update(250, g, 1700000000 + k);
        }
    }
}
