#pragma once
// Measured wave heights (and set-up) along a beach, from a gauge array, a field campaign or a
// flume, to be set beside the models' curves.
//
// The file is a CSV like a profile: a header line of column names, then one gauge per line,
// UTF-8 or CP932. The position is a depth below mean sea level or a distance from the
// shoreline (m), in the axis mode of the run it is compared with; a measured depth is
// placed on a curve at depth + tide, as the estimation points are.
#include <limits>
#include <span>
#include <string>
#include <vector>

namespace orvane {

enum class ObservedHeight { Hs, Hrms };

// Columns counted from 0; setup -1 when the file has no measured set-up.
struct ObservationColumns {
    int position = 0;
    int height = 1;
    int setup = -1;
};

struct ObservedSet {
    ObservedHeight kind = ObservedHeight::Hs;
    std::string name;                   // the file (or what the caller calls the set)
    std::vector<double> position;       // m
    std::vector<double> height;         // m; NaN where the gauge gave no height
    std::vector<double> setup;          // m; empty without a set-up column, NaN where not measured
    bool HasSetup() const { return !setup.empty(); }
    int HeightCount() const;            // gauges with a height
    int SetupCount() const;
};

inline constexpr double kNotMeasured = std::numeric_limits<double>::quiet_NaN();

// Reads a measured-data file with the profile reader's rules and messages. An empty
// height or set-up field means the gauge did not measure it; a position must be a number
// and a height must not be negative. Raises OrvaneError ("観測データを読み込めません。…").
ObservedSet ReadObservations(const std::string& path, const ObservationColumns& columns,
                             ObservedHeight kind);
// The same checks for values held by the caller (NaN: not measured); `setup` may be empty.
ObservedSet MakeObservations(std::span<const double> position, std::span<const double> height,
                             std::span<const double> setup, ObservedHeight kind);

// "Hs" / "Hrms".
const char* ObservedHeightName(ObservedHeight kind);

}  // namespace orvane
