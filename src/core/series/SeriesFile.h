#pragma once
// A whole time-series file in memory, read without ever writing the file.
//
//   orvane::SeriesFile f = orvane::ReadSeriesFile("wave.sdf");   // SDF 1-4 or TSD
//   f.header.NchInterval, f.header.SampleSize, f.header.Iteration ...
//   f.Interval(k, s, ch)            raw count of burst k, sample s, interval channel ch
//   f.Physical(ch, raw)             raw * A + B as the readers give it; ErrorValue if missing
//   f.BurstStart(k), f.SampleSeconds()
//
// An old SDF version (1-3) is converted in memory only: version 1's millisecond intervals
// are split into units and its missing marker 32767 becomes ErrorRaw, exactly what the
// in-place conversion would store. The kind comes from the extension (".sdf"/".tsd", any
// case; SDF otherwise). Failures raise OrvaneError with the reader's Japanese message.
#include <cstdint>
#include <string>
#include <vector>

#include "core/runtime/Prompter.h"
#include "core/series/SeriesStore.h"

namespace orvane {

struct SeriesFile {
    SeriesHeader header;
    SeriesKind kind = SeriesKind::SDF;
    int sdfVersion = 0;  // 1..4 as found in the file; 0 for TSD
    // Raw counts in file order, ErrorRaw for missing samples:
    // interval[(k * SampleSize + s) * NchInterval + ch], burst[k * NchBurst + j].
    std::vector<std::int16_t> interval;
    std::vector<std::int16_t> burst;

    std::int16_t Interval(int k, std::int64_t s, int ch) const {
        return interval[static_cast<std::size_t>((k * static_cast<std::int64_t>(header.SampleSize) + s) *
                                                     header.NchInterval + ch)];
    }
    // Physical value of a count of channel `ch` (0-based over the whole table):
    // float(raw * double(A) + double(B)), ErrorValue if missing; for SDF this is what the
    // channel readers give to the last bit. A TSD channel reader gives the text's own
    // value instead: ReadSeriesChannel gives exactly that.
    float Physical(int ch, std::int16_t raw) const;
    double SampleSeconds() const;  // sampling interval
    double BurstSeconds() const;   // burst interval
    // Start of burst k in days since 1899-12-30 (the header's start time + k burst intervals).
    double BurstStart(int k) const;
};

// Reads the header and every burst. Questions (a TSD value that does not fit 16 bits) are
// answered No, so such a file is refused.
SeriesFile ReadSeriesFile(const std::string& fileName);
// Same, asking `prompter` (the command line answers Yes with --yes).
SeriesFile ReadSeriesFile(const std::string& fileName, Prompter& prompter);

// The physical values of interval channel `channel` of burst `burst`, exactly as the
// time-series tools read them (ErrorValue for missing samples); never writes the file.
std::vector<float> ReadSeriesChannel(const std::string& fileName, int burst, int channel);

}  // namespace orvane
