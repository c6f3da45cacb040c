// The lap's keys: one lap at the analysed speeds, 30 keys a second, closing
// on the first key, and none for a train that stands still.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "analysis/ride_test_designs.h"
#include "export/ride_keys.h"

namespace {

struct Row {
    const char* name;
    Track track;
    SpeedModel motion;
    int cars;
    bool moves;
};

double dot4(const Quaternion& a, const Quaternion& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
}

// q and -q are the same turn.
bool same_place(const NodePlace& a, const NodePlace& b) {
    return length(a.translation - b.translation) == 0.0 &&
           std::abs(dot4(a.rotation, b.rotation)) == dot4(a.rotation, a.rotation);
}

// The analysed speed where the front car is: that of the nearest sample.
double speed_near(const RideAnalysis& ride, const Point3& p) {
    const RideSample* best = &ride.samples.front();
    for (const RideSample& s : ride.samples) {
        if (length(s.position - p) < length(best->position - p)) {
            best = &s;
        }
    }
    return best->speed;
}

TEST(RideKeys, OneLapAtTheAnalysedSpeedsEndingWhereItStarts) {
    using ride_test::hills;
    const Row rows[] = {
        {"hills, energy kept", hills(), {true, true, 3.0}, 3, true},
        {"hills, powered", hills(CurveType::Linear), {true, false, 10.0}, 8, true},
        {"circle, parameter rate", ride_test::circle(10, true, 20), {false, true, 3.0}, 1, true},
        {"hills, crawling", hills(), {true, false, 0.02}, 2, true},
        {"hills, standing", hills(), {true, true, 0.0}, 4, false},
        {"a square of a picometre, its lap far shorter than a key",
         ride_test::track_through(CurveType::Cardinal, {{-1e-12, 1, -1e-12, 0},
                                                        {-1e-12, 1, 1e-12, 0},
                                                        {1e-12, 1, 1e-12, 0},
                                                        {1e-12, 1, -1e-12, 0}}),
         {true, false, 30.0},
         2,
         true},
    };
    const auto layout = std::make_unique<FrameLayout>();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const RideAnalysis ride = analyse_ride(row.track, row.motion);
        const RideKeys keys = ride_keys(row.track, ride, row.cars, *layout);
        if (!row.moves) {
            EXPECT_TRUE(keys.times.empty());
            continue;
        }
        const double lap = *ride.summary.lap_time_s;
        // Every 1/30 s and at the lap's end; a lap too long for that many
        // keys has kMaxRideKeys of them, evenly spaced.
        const bool capped = lap * kRideKeysPerSecond > kMaxRideKeys - 1;
        const double step = capped ? lap / (kMaxRideKeys - 1) : 1 / kRideKeysPerSecond;
        ASSERT_GE(keys.times.size(), 2u);
        EXPECT_EQ(keys.times.front(), 0.0);
        EXPECT_EQ(keys.times.back(), lap);
        for (std::size_t k = 1; k + 1 < keys.times.size(); ++k) {
            EXPECT_NEAR(keys.times[k] - keys.times[k - 1], step, 1e-9);
        }
        const double last = lap - keys.times[keys.times.size() - 2];
        EXPECT_TRUE(last > 0.0 && last <= step + 1e-9) << last;
        EXPECT_EQ(keys.times.size() == static_cast<std::size_t>(kMaxRideKeys), capped);
        ASSERT_EQ(keys.cars.size(), static_cast<std::size_t>(row.cars));
        for (const auto& car : keys.cars) {
            ASSERT_EQ(car.size(), keys.times.size());
            EXPECT_TRUE(same_place(car.front().body, car.back().body));
            EXPECT_TRUE(same_place(car.front().front_wheels, car.back().front_wheels));
            for (std::size_t k = 1; k < car.size(); ++k) {
                // Neighbouring keys turn the short way: no flip of sign.
                EXPECT_GT(dot4(car[k].body.rotation, car[k - 1].body.rotation), 0.9) << k;
                EXPECT_GT(dot4(car[k].rear_wheels.rotation, car[k - 1].rear_wheels.rotation), 0.9)
                    << k;
            }
        }
        // The front car covers each key's stretch at the speed the analysis
        // gives there.
        const auto& front = keys.cars[0];
        for (std::size_t k = 1; k + 1 < front.size(); k += 7) {
            const Point3 a = front[k - 1].body.translation, b = front[k].body.translation;
            const double speed = length(b - a) / (keys.times[k] - keys.times[k - 1]);
            EXPECT_NEAR(speed, speed_near(ride, 0.5 * (a + b)), 0.03 * speed + 1e-3) << "key " << k;
        }
    }
}

} // namespace
