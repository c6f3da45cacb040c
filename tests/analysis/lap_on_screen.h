// The lap the animation shows, held to the analysed lap time: shared by the
// ride tests and the examples test.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "analysis/ride_analysis.h"
#include "scene/scene.h"

namespace ride_test {

// A scene set up by `setup` runs from the start until its front car passes it
// again (the last step counted in part): the analysed lap time within 1 %.
inline void expect_lap_on_screen_as_analysed(const std::function<void(Scene&)>& setup,
                                             const RideAnalysis& ride, const std::string& name) {
    ASSERT_TRUE(ride.summary.lap_time_s) << name;
    Scene scene;
    setup(scene);
    int now = 0;
    scene.set_clock([&now] { return now; });
    scene.restart_train();
    scene.toggle_animation();
    double before = 0.0;
    for (long steps = 1; steps < 1'000'000; ++steps) {
        now += Scene::kStepMs;
        scene.step();
        const double after = distance_at(ride, scene.train().car_u);
        if (after < before) {
            const double ring = ride.summary.length_m;
            const double lap =
                (steps - 1 + (ring - before) / (ring - before + after)) * kStepSeconds;
            EXPECT_NEAR(lap / *ride.summary.lap_time_s, 1.0, 0.01) << name;
            return;
        }
        before = after;
    }
    ADD_FAILURE() << name << ": the train never came round";
}

} // namespace ride_test
