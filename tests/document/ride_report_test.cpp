// The ride report's files: the summary JSON read back against the analysis,
// and the forces CSV's header, rows and numbers.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include "document/ride_report.h"

namespace {

// A Linear ring (corners at its points) with a climb and a drop.
Track linear_ring() {
    Track track(CurveType::Linear);
    const ControlPoint points[] = {{0, 0, 0}, {20, 6, 0}, {20, 2, 20}, {0, 1, 20}, {-5, 3, 10}};
    track.set_points(points, 5);
    return track;
}

TEST(RideReport, SummaryJsonHoldsTheAnalysisFigures) {
    for (const SpeedModel& speed : {SpeedModel{true, true, 4.0}, SpeedModel{true, false, 0.0}}) {
        const RideAnalysis ride = analyse_ride(linear_ring(), speed);
        const std::string text = ride_summary_json(ride, speed);
        ASSERT_EQ(text.back(), '\n');
        const nlohmann::json j = nlohmann::json::parse(text);
        const RideSummary& s = ride.summary;
        EXPECT_EQ(j["length_m"].get<double>(), s.length_m);
        EXPECT_EQ(j["max_speed_mps"].get<double>(), s.max_speed.value);
        EXPECT_EQ(j["max_speed_at_m"].get<double>(), s.max_speed.distance);
        EXPECT_EQ(j["min_speed_mps"].get<double>(), s.min_speed.value);
        EXPECT_EQ(j["lap_time_s"].is_null(), !s.lap_time_s.has_value());
        if (s.lap_time_s) {
            EXPECT_EQ(j["lap_time_s"].get<double>(), *s.lap_time_s);
        }
        EXPECT_EQ(j["vertical_g"]["max"].get<double>(), s.vertical_max.value);
        EXPECT_EQ(j["vertical_g"]["max_at_m"].get<double>(), s.vertical_max.distance);
        EXPECT_EQ(j["vertical_g"]["min"].get<double>(), s.vertical_min.value);
        EXPECT_EQ(j["vertical_g"]["min_at_m"].get<double>(), s.vertical_min.distance);
        EXPECT_EQ(j["lateral_g"]["max_abs"].get<double>(), s.lateral_max_abs.value);
        EXPECT_EQ(j["longitudinal_g"]["max"].get<double>(), s.longitudinal_max.value);
        EXPECT_EQ(j["longitudinal_g"]["min_at_m"].get<double>(), s.longitudinal_min.distance);
        EXPECT_EQ(j["airtime_s"].get<double>(), s.airtime_s);
        EXPECT_EQ(j["inversions"].get<int>(), s.inversions);
        EXPECT_EQ(j["highest_point"]["height_m"].get<double>(), s.highest.value);
        EXPECT_EQ(j["lowest_point"]["at_m"].get<double>(), s.lowest.distance);
        EXPECT_EQ(j["biggest_drop"]["height_m"].get<double>(), s.biggest_drop.value);
        EXPECT_EQ(j["speed_model"]["velocity_mps"].get<double>(), speed.velocity);
        EXPECT_EQ(j["speed_model"]["conserve_energy"].get<bool>(), speed.conserve_energy);
        ASSERT_EQ(j["corners"].size(), ride.corners.size());
        ASSERT_EQ(ride.corners.size(), 5u);
        for (std::size_t k = 0; k < ride.corners.size(); ++k) {
            EXPECT_EQ(j["corners"][k]["distance_m"].get<double>(), ride.corners[k].distance);
            EXPECT_EQ(j["corners"][k]["nearest_point"].get<int>(), ride.corners[k].nearest_point);
            EXPECT_EQ(j["corners"][k]["angle_deg"].get<double>(), ride.corners[k].angle_degrees);
        }
    }
}

TEST(RideReport, ForcesCsvHasARowPerSample) {
    // Long enough for several chunks of the writer's buffer.
    Track track = linear_ring();
    track.set_curve_type(CurveType::Cardinal);
    const RideAnalysis ride = analyse_ride(track, {true, true, 4.0});
    ASSERT_GT(ride.samples.size(), 500u); // over 60 kB of rows
    const std::string path = "/tmp/looptide_forces_" + std::to_string(getpid()) + ".csv";
    ASSERT_FALSE(write_forces_csv(ride, path));
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "distance_m,x,y,z,speed_mps,vertical_g,lateral_g,longitudinal_g");
    std::size_t rows = 0;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string field;
        double values[8];
        for (double& v : values) {
            std::getline(fields, field, ',');
            v = std::stod(field);
        }
        const RideSample& s = ride.samples[rows++];
        const double expected[8] = {s.distance, s.position.x, s.position.y, s.position.z,
                                    s.speed,    s.vertical_g, s.lateral_g,  s.longitudinal_g};
        for (int k = 0; k < 8; ++k) {
            ASSERT_EQ(values[k], expected[k]) << "row " << rows << " field " << k;
        }
    }
    EXPECT_EQ(rows, ride.samples.size());
    std::remove(path.c_str());

    const Failure failure = write_forces_csv(ride, "/nonexistent-folder/forces.csv");
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->rfind("Cannot write the forces to /nonexistent-folder/forces.csv: ", 0), 0u)
        << *failure;
    EXPECT_EQ(failure->back(), '.');
}

} // namespace
