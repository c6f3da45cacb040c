// The ride analysis as files: the summary as JSON and the samples' forces as
// CSV, for the ride report on the command line and in the app. No GL, no FLTK.
#pragma once

#include <string>

#include "analysis/ride_analysis.h"
#include "document/file_io.h"

// The summary of `analysis` (which analyse_ride made under `speed`) as
// pretty-printed JSON ending in a newline: length_m, the lowest and highest
// points, the biggest drop, speeds, lap_time_s (null when the train stands
// still), the G extremes each with where it happens (..._at_m), airtime_s,
// inversions, the corners and the speed model. Every number is written so
// that it reads back to the same double.
std::string ride_summary_json(const RideAnalysis& analysis, const SpeedModel& speed);

// Writes one row per sample, "distance_m,x,y,z,speed_mps,vertical_g,lateral_g,
// longitudinal_g" under that header line, to the file at `path` through
// AtomicWriter: replaced whole or not at all. An analysis without samples
// gives the header alone. On failure, a sentence: "Cannot write the forces
// to PATH: PHRASE.".
Failure write_forces_csv(const RideAnalysis& analysis, const std::string& path);
