// The logger-CSV import over arbitrary bytes, and the round trip of what it accepts: the
// SDF written from an import reads back with the same table and the same counts.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "core/runtime/Errors.h"
#include "core/series/SeriesExchange.h"
#include "core/series/SeriesFile.h"

namespace {

std::string Scratch(const char* suffix) {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/orvane-fuzz-import-" + std::to_string(::getpid()) + suffix;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orvane;
    static const std::string csv = Scratch(".csv"), sdf = Scratch(".sdf");
    if (std::FILE* f = std::fopen(csv.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    } else {
        return 0;
    }
    SeriesFile in;
    try {
        ImportOptions options;
        if (size % 3 == 0) options.scales["a"] = {0.5, 1.0};  // a given scale, when a column has that name
        in = ImportSeriesCsv(csv, options);
    } catch (const OrvaneError&) {
        return 0;
    }
    // Accepted: it must be written and read back exactly.
    WriteSeriesFile(in, sdf);
    const SeriesFile back = ReadSeriesFile(sdf);
    const SeriesHeader &a = in.header, &b = back.header;
    bool same = a.NchInterval == b.NchInterval && a.SampleSize == b.SampleSize && a.Iteration == b.Iteration &&
                a.SInt == b.SInt && a.SIntUnit == b.SIntUnit && a.StartTime == b.StartTime &&
                in.interval == back.interval;
    for (int c = 0; same && c < a.NchInterval; ++c) same = a.CoefA[c] == b.CoefA[c] && a.CoefB[c] == b.CoefB[c];
    if (!same) __builtin_trap();
    std::remove(sdf.c_str());
    return 0;
}
