// The ride report: the summary through nlohmann JSON, and the forces CSV
// streamed through ChunkedWriter into AtomicWriter.
#include "document/ride_report.h"

#include <string_view>

#include <nlohmann/json.hpp>

#include "document/text_writer.h"

namespace {

using OrderedJson = nlohmann::ordered_json;

// How the train moves, in one word: the model the figures come from.
const char* motion_of(const SpeedModel& speed) {
    if (!speed.constant_velocity) {
        return "parameter";
    }
    if (!(speed.velocity > 0)) {
        return "standing";
    }
    return speed.conserve_energy ? "frictionless" : "powered";
}

OrderedJson extremes(const char* high, const Extreme& max, const char* low, const Extreme& min) {
    return OrderedJson{{high, max.value},
                       {std::string(high) + "_at_m", max.distance},
                       {low, min.value},
                       {std::string(low) + "_at_m", min.distance}};
}

constexpr std::string_view kHeader =
    "distance_m,x,y,z,speed_mps,vertical_g,lateral_g,longitudinal_g\n";

} // namespace

std::string ride_summary_json(const RideAnalysis& analysis, const SpeedModel& speed) {
    const RideSummary& s = analysis.summary;
    OrderedJson corners = OrderedJson::array();
    for (const Corner& c : analysis.corners) {
        corners.push_back({{"distance_m", c.distance},
                           {"nearest_point", c.nearest_point},
                           {"angle_deg", c.angle_degrees}});
    }
    OrderedJson json{
        {"speed_model",
         {{"motion", motion_of(speed)},
          {"constant_velocity", speed.constant_velocity},
          {"conserve_energy", speed.conserve_energy},
          {"velocity_mps", speed.velocity}}},
        {"length_m", s.length_m},
        {"samples", analysis.samples.size()},
        {"lowest_point", {{"height_m", s.lowest.value}, {"at_m", s.lowest.distance}}},
        {"highest_point", {{"height_m", s.highest.value}, {"at_m", s.highest.distance}}},
        {"biggest_drop", {{"height_m", s.biggest_drop.value}, {"from_m", s.biggest_drop.distance}}},
        {"max_speed_mps", s.max_speed.value},
        {"max_speed_at_m", s.max_speed.distance},
        {"min_speed_mps", s.min_speed.value},
        {"min_speed_at_m", s.min_speed.distance},
        {"lap_time_s", s.lap_time_s ? OrderedJson(*s.lap_time_s) : OrderedJson(nullptr)},
        {"vertical_g", extremes("max", s.vertical_max, "min", s.vertical_min)},
        {"lateral_g",
         {{"max_abs", s.lateral_max_abs.value}, {"max_abs_at_m", s.lateral_max_abs.distance}}},
        {"longitudinal_g", extremes("max", s.longitudinal_max, "min", s.longitudinal_min)},
        {"airtime_s", s.airtime_s},
        {"inversions", s.inversions},
        {"corners", corners},
    };
    return json.dump(2) + "\n";
}

Failure write_forces_csv(const RideAnalysis& analysis, const std::string& path) {
    AtomicWriter file(path);
    ChunkedWriter out([&file](std::string_view bytes) { file.write(bytes); });
    out.text(kHeader);
    for (const RideSample& s : analysis.samples) {
        for (const double value : {s.distance, s.position.x, s.position.y, s.position.z, s.speed,
                                   s.vertical_g, s.lateral_g}) {
            out.number(value);
            out.text(",");
        }
        out.number(s.longitudinal_g);
        out.text("\n");
    }
    out.flush();
    if (Failure bad = file.commit()) {
        return "Cannot write the forces to " + path + ": " + *bad + ".";
    }
    return std::nullopt;
}
