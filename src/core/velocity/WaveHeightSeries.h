#pragma once
// Wave-height time series from a series of the significant bottom-velocity amplitude Us,
// the spectral peak period Tp and the tide, all channels of one file.
//
// Per sample the small-amplitude relation between the bottom velocity amplitude and the
// height is inverted at the actual depth h = mean depth + dh + tide:
//   H = Us Tp sinh(kh) / pi,  k from the dispersion relation for Tp and h.
// Units: m, s, m/s.
//
// Order of use: store.OpenSeriesHeader(file) (the channel lists), then
// EstimateWaveHeightSeries(store, file, inputs, ...) builds the 4-channel result in `store`
// (copies of the three channels and "Hs"); the caller confirms it (save window) and
// writes it with WriteResultFile.
#include <span>
#include <string>
#include "core/runtime/Cancel.h"
#include "core/runtime/Progress.h"
#include "core/runtime/Prompter.h"
#include "core/series/SeriesStore.h"

namespace orvane {

struct WaveHeightInputs {
    int tideChannel = 0, usChannel = 0, tpChannel = 0;  // -1: no item selected
    double meanDepth = 10;  // EditMeanDepth: depth below MSL at the instrument (m)
    double dh = 0;          // Editdh: added to the tide to refer it to MSL (m)
    double factorUs = 1;    // EditFactorUs
    double factorTp = 1;    // EditFactorTp
};

// "Us(m/s)": a channel as the lists show it, name and unit without surrounding blanks.
std::string ChannelListText(const SeriesHeader& h, int channel);

// Height of a small-amplitude wave whose bottom velocity amplitude is Us (m/s), for the
// period Tp (s) at depth h (m). Raises the wavenumber solver's errors for Tp or h <= 0.
double HeightFromBottomVelocity(double Us, double Tp, double h, double g);

// The height of one sample from its physical Us (m/s), Tp (s) and tide (m): the factors
// and the depth of `inputs` applied as the file tool applies them.
double WaveHeightSample(double us, double tp, double tide, const WaveHeightInputs& inputs, double g);
// A height-series run as data, the one entry point of every front end: the three series
// (physical values, NaN where missing), the factors and depth, the threads and the cancel
// flag (may be null).
struct HeightSeriesRequest {
    std::span<const double> us, tp, tide;
    WaveHeightInputs inputs;
    double gravity = 9.8;
    int jobs = 1;
    const CancelFlag* cancel = nullptr;
};
// WaveHeightSample of every sample into `heights` (as long as `us`); NaN in, NaN out.
// Raises the error of the earliest failing sample, CancelledError when the flag is set.
void RunHeightSeries(const HeightSeriesRequest& request, std::span<double> heights);
// The same without a cancel flag.
void ComputeWaveHeights(std::span<const double> us, std::span<const double> tp,
                        std::span<const double> tide, const WaveHeightInputs& inputs, double g,
                        std::span<double> heights, int jobs = 1);

// Reads burst 0 of `inputFile` (its header read again, so that the result never mixes
// two files) and replaces the series in `store` with the result: NchInterval 4, the three
// copies (raw counts as read) and "Hs" (m, A = 0.001); sample count, interval, start time
// and memo stay those of the input. A height that does not fit 16 bits is stored as
// missing and counted in `outOfRange`. Shows a message and returns false when a channel
// is not selected or the file cannot be read. Raises the arithmetic errors of a sample.
bool EstimateWaveHeightSeries(SeriesStore& store, const std::string& inputFile,
                              const WaveHeightInputs& inputs, double g, Prompter& prompter,
                              Progress& progress, long long& outOfRange,
                              const CancelFlag* cancel = nullptr);

// Shown after the file is written when some heights did not fit ("" when none).
std::string WaveHeightOutOfRangeMessage(long long outOfRange);

}  // namespace orvane
