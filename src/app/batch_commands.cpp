// The export and the ride report, each a read, a check and a write.
#include "app/batch_commands.h"

#include <cmath>
#include <cstdio>

#include "analysis/ride_analysis.h"
#include "app/message_text.h"
#include "app/scene_file.h"
#include "app/speed_model.h"
#include "document/design_file.h"
#include "document/ride_report.h"
#include "document/track_table.h"
#include "scene/ranges.h"

namespace {

// The design, or a failure already reported.
bool read_reported(const std::string& path, Design& design) {
    if (Failure failure = read_design(path, design)) {
        report_failure(*failure);
        return false;
    }
    return true;
}

// Whether `output` may be written: not the design being read, by any name.
bool other_than_design(const CommandLine& command, const char* what) {
    if (same_file(command.design, command.output)) {
        report_failure(std::string("Cannot ") + what + " to " + command.output +
                       ": it is the design file being read.");
        return false;
    }
    return true;
}

} // namespace

void report_failure(const std::string& sentence) {
    std::fprintf(stderr, "looptide: %s\n", printable(sentence).c_str());
}

int run_export(const CommandLine& command) {
    const double spacing = command.spacing ? command.spacing->value : kDefaultTableSpacing;
    if (Failure bad =
            check_table_spacing(spacing, command.spacing ? command.spacing->text : std::string())) {
        report_failure(*bad + ".");
        return 1;
    }
    Design design;
    if (!read_reported(command.design, design) ||
        !other_than_design(command, "export the track table")) {
        return 1;
    }
    if (Failure failure = export_track_table(design.track, spacing, command.output)) {
        report_failure(*failure);
        return 1;
    }
    return 0;
}

int run_export_scene(const CommandLine& command) {
    Design design;
    if (!read_reported(command.design, design) || !other_than_design(command, "export the scene")) {
        return 1;
    }
    if (Failure failure = export_scene_file(design, command.output)) {
        report_failure(*failure);
        return 1;
    }
    return 0;
}

int run_ride_report(const CommandLine& command) {
    Design design;
    if (!read_reported(command.design, design)) {
        return 1;
    }
    SpeedModel model =
        speed_model_of(design.constant_velocity, design.conserve_energy, design.speed);
    if (command.speed) {
        model.velocity = command.speed->value;
        if (!std::isfinite(model.velocity) || model.velocity < 0.0) {
            report_failure("the speed \"" + command.speed->text +
                           "\" is not a number of metres per second of at least 0.");
            return 1;
        }
    }
    const RideAnalysis ride = analyse_ride(design.track, model);
    if (ride.refusal != RideRefusal::none) {
        report_failure(std::string("Cannot analyse the ride of ") + command.design + ": " +
                       refusal_phrase(ride.refusal) + ".");
        return 1;
    }
    if (!command.output.empty()) {
        if (!other_than_design(command, "write the forces")) {
            return 1;
        }
        if (Failure failure = write_forces_csv(ride, command.output)) {
            report_failure(*failure);
            return 1;
        }
    }
    // A summary that does not reach standard output (a full disk, a closed
    // stream) is a failure, not a report.
    const std::string summary = ride_summary_json(ride, model);
    if (std::fwrite(summary.data(), 1, summary.size(), stdout) != summary.size() ||
        std::fflush(stdout) != 0) {
        report_failure("Cannot write the ride's summary to standard output.");
        return 1;
    }
    return 0;
}
