#pragma once
// Bottom orbital velocity time series at estimation points near the shore, from a series
// of offshore significant waves (height, period) and a tide series.
//
// Per sample: the shoaling model of a ShoalingRun marches the sample's offshore wave over
// the bed at the sample's tide; at each estimation point the rms height and set-up it
// gives become a velocity with RandomWaveVelocity (JONSWAP sea at the bed, Soulsby 1987).
//
// Order of use (window, command line and Python alike):
//   ReadVelocityInputs(store, files, inputs, ...)     the two files -> three series;
//                                                     store.header = the tide file's
//                                                     (Python hands the series itself)
//   run.ParseEstimationPoints(text); SetUpVelocityOutput(store, options, run)
//   (the window shows its save window here; the user may edit the channel table)
//   RunVelocitySeries(request, run, ...)              the result series as data
//   StoreVelocityValues(result, store); WriteResultFile(store, name)   (files only)
// Units: heights and tide in m, periods in s, velocities in m/s.
//
// The tide: a file's tide channel is read as its physical value (count x A + B) in its
// unit, m, cm or mm (any other unit is refused). A channel that stores millimetre counts
// (A = 0.001 in m, 1 in mm; B = 0) gives the same numbers as the older reading of the
// count as millimetres, to the last bit; any other gets a note saying which reading was
// used.
#include <string>
#include <vector>
#include "core/app/PhysicalConstants.h"
#include "core/runtime/Progress.h"
#include "core/runtime/Prompter.h"
#include "core/series/SeriesStore.h"
#include "core/shoaling/ShoalingRun.h"

namespace orvane {

// The two input files and what is taken from them.
struct VelocityInputFiles {
    std::string waveFile, tideFile;
    int hsChannel = 0, tsChannel = 0, tideChannel = 0;  // -1: no item selected
    double hsFactor = 1, tsFactor = 1;                  // EditCHs, EditCTs
};

// The three input series after their factors; the tide in m above the tide datum.
// Missing samples are at or above ErrorLimit. The wave series may be shorter than the
// tide series (its tail is then missing).
struct VelocityInputs {
    std::vector<float> HsSeries, TsSeries, TideSeries;
    double WaveStart = 0, TideStart = 0;
    double WaveSInt = 0, TideSInt = 0;
    // Set when the tide channel's physical value differs from its count read as
    // millimetres: which reading was used (the window shows it with the result, the
    // command line on stderr).
    std::string TideNote;
};

// Metres per unit of a tide channel ("m", "cm", "mm", any case, blanks ignored); raises
// OrvaneError naming the channel for any other unit.
double TideUnitMetres(const std::string& unit, const std::string& channelName);

struct VelocityOptions {
    bool copyHs = false, copyTs = false, copyTide = false;  // CheckBoxHs, Ts, Tide
    int output = 0;            // RadioGroupOutput: 0 Urms, 1 Um = sqrt(2) Urms, 2 Us
    bool velMax = false;       // CheckBoxUmax
    bool placeMax = false;     // CheckBoxXmax
    double Kr = 1;             // EditKr: measured height -> offshore height
    double MSL = 0;            // EditMSL: height of MSL above the tide datum (m)
};

// "Urms", "Um", "Us".
const char* VelocityItemName(int output);

// Reads both files through `store` (burst 0 of each). Shows the message of a failing step
// and returns false. A channel of -1 stops with its own message before anything is read.
bool ReadVelocityInputs(SeriesStore& store, const VelocityInputFiles& files, VelocityInputs& in,
                        Prompter& prompter, Progress& progress);

// The result channel table in store.header (the tide file's sample count, interval and
// start time stay), sized with AllocateSeriesData. `run` has parsed its estimation points
// and holds the x-axis choice (Inputs.XAxis). False, without a message, when there are
// no estimation points: the caller shows msg::kNoEstimationPoints.
bool SetUpVelocityOutput(SeriesStore& store, const VelocityOptions& options, const ShoalingRun& run);

struct VelocityRunResult {
    bool completed = false;          // every sample computed
    PrepareResult prepare;           // when PrepareRun refused: the tab to show
    long long outOfRange = 0;        // values stored as missing because they do not fit
    double runStart = 0, runEnd = 0; // local date-times
};

// The computing loop. Uses the channel table of store.header as it stands and fills
// IntervalData. `jobs` > 1 computes samples on that many threads, each on its own copy of
// `run` (results are the same as with one thread); with one thread the loop uses `run`
// itself, so that a change made to it between samples applies from the next sample.
// Raises what the velocity computation raises (the progress dialog is hidden first).
VelocityRunResult ComputeVelocitySeries(const VelocityInputs& in, const VelocityOptions& options,
                                        ShoalingRun& run, SeriesStore& store,
                                        const PhysicalConstants& constants, Progress& progress,
                                        Prompter& prompter, int jobs = 1);

// The same loop with the values themselves, before any rounding to counts: one array per
// channel of `table` (a table as SetUpVelocityOutput builds it, SampleSize samples), NaN
// where the file gets a missing sample. For callers that hold the series in memory.
VelocityRunResult ComputeVelocityValues(const VelocityInputs& in, const VelocityOptions& options,
                                        ShoalingRun& run, const SeriesHeader& table,
                                        std::vector<std::vector<double>>& values,
                                        const PhysicalConstants& constants, Progress& progress,
                                        Prompter& prompter, int jobs = 1);

// A velocity-series run as data: the three series, the options, the result's channel
// table (as SetUpVelocityOutput made it, perhaps edited in the save window), the
// constants and the threads. The bed, the model and the estimation points are those of
// the ShoalingRun handed beside it.
struct VelocitySeriesRequest {
    VelocityInputs inputs;
    VelocityOptions options;
    SeriesHeader table;
    PhysicalConstants constants;
    int jobs = 1;
};
struct VelocitySeriesResult {
    VelocityRunResult run;
    // One array per channel of the table, SampleSize samples; NaN where a file gets a
    // missing sample.
    std::vector<std::vector<double>> values;
};
// The one entry point of every front end. Raises what the computation raises.
VelocitySeriesResult RunVelocitySeries(const VelocitySeriesRequest& request, ShoalingRun& run,
                                       Progress& progress, Prompter& prompter);
// The values as 16-bit counts of the store's channel table, into burst 0 (the store's
// IntervalData, sized here); values that do not fit are counted in `outOfRange`.
void StoreVelocityValues(const std::vector<std::vector<double>>& values, SeriesStore& store,
                         long long& outOfRange);

// The largest velocity (as `output` chooses) along the profile recorded by the last model
// run of `run`, and where it occurs: the depth below MSL in depth mode (AxisMode 0), the
// distance in distance mode. `level` is the run's tide level above MSL, Tp the peak
// period. Nothing recorded gives 0 and 0.
struct ProfileMaximum {
    double velocity = 0, place = 0;
};
// `scratch` holds one value per recorded point; passing the same vector to every sample
// keeps the loop free of allocations.
ProfileMaximum FindProfileMaximum(const ShoalingRun& run, double Tp, double level, int output,
                                  double g, std::vector<double>& scratch);
ProfileMaximum FindProfileMaximum(const ShoalingRun& run, double Tp, double level, int output,
                                  double g);

// The message of a finished run.
std::string VelocityFinishedMessage(const VelocityRunResult& r);

}  // namespace orvane
