#pragma once
// Series exchanged with other programs: CSV (RFC 4180, UTF-8 or CP932) and netCDF-4 files
// following the CF conventions, and a CSV of a logger or spreadsheet taken in as a series.
//
// Every writer writes a TemporaryFile beside the target and renames it into place only
// when complete; `cancel` is asked between blocks of samples and stops the work with
// CancelledError (the file is then not created). Failures raise OrvaneError with a
// Japanese message.
#include <functional>
#include <map>
#include <string>
#include <utility>

#include "core/runtime/TextFile.h"
#include "core/series/SeriesFile.h"
#include "core/series/SeriesWriter.h"

namespace orvane {

struct ExportOptions {
    int burst = -1;  // 0-based burst to write; -1 writes every burst
    TextEncoding encoding = TextEncoding::Utf8;  // CSV only
    const CancelFlag* cancel = nullptr;
};

// "2003-08-14T12:00:00" (".500" added when `millis`), local time as the series keeps it.
// "name(unit)", or the name alone when the channel has no unit.
std::string ChannelTitle(const SeriesHeader& h, int ch);
std::string IsoDateTime(std::int64_t millisecondsSince1899, bool millis);
// Time of sample s of burst k in milliseconds since 1899-12-30 00:00, rounded to the ms.
std::int64_t SampleMilliseconds(const SeriesFile& f, int burst, std::int64_t sample);

// Header "time,name(unit),..." ("burst" after the time when there are several); one row
// per sample of the interval channels; values in the general 7-digit format; a missing
// sample is an empty field. Burst channels are not written (netCDF carries them).
void ExportSeriesCsv(const SeriesFile& f, const std::string& path, const ExportOptions& options);
// A `time` coordinate in seconds since the start (calendar "standard"); one float variable
// per interval channel with `long_name`, `units` and `_FillValue`; burst channels on a
// `burst` dimension; the memo, intervals and burst layout as global attributes.
void ExportSeriesNetcdf(const SeriesFile& f, const std::string& path, const ExportOptions& options);

struct ImportOptions {
    // Channel name (without unit) -> coefficients A, B given by the user.
    std::map<std::string, std::pair<double, double>> scales;
    const CancelFlag* cancel = nullptr;
};
// A CSV whose first column is the time (ISO 8601 or "yyyy/mm/dd hh:nn:ss") and whose other
// columns are channels named "name(unit)" or "name"; UTF-8 or CP932 found by itself. The
// interval comes from the times, which must be evenly spaced. Coefficients: B = 0 and
// A = one unit of the finest decimal the column's texts show, unless that cannot hold the
// values in 16 bits (B then moves to the middle of the range) or --scale gives them.
SeriesFile ImportSeriesCsv(const std::string& path, const ImportOptions& options);

}  // namespace orvane
