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
#include <optional>
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
    // netCDF only: the UTC offset of the series' local clock, in minutes; unset means the
    // machine's offset at the series start.
    std::optional<int> utcOffsetMinutes;
};

// "2003-08-14T12:00:00" (".500" added when `millis`), local time as the series keeps it.
// "name(unit)", or the name alone when the channel has no unit.
std::string ChannelTitle(const SeriesHeader& h, int ch);
std::string IsoDateTime(std::int64_t millisecondsSince1899, bool millis);
// Time of sample s of burst k in milliseconds since 1899-12-30 00:00, rounded to the ms.
std::int64_t SampleMilliseconds(const SeriesFile& f, int burst, std::int64_t sample);

// A count as text at its channel's resolution: raw × A + B in double, rounded to the
// decimals A and B need, trailing zeros dropped ("9.9", "8.43"); "" for a missing sample.
std::string CountText(const SeriesHeader& h, int ch, std::int16_t raw);
// Decimals a number text shows: "1.25" 2, "1.5e-3" 4, "1200" 0, "2.50" 1.
int TextDecimals(const std::string& text);
// A channel's CSV column title: ChannelTitle, then " [burst A=a B=b]" with "burst" for a
// burst channel and the coefficients when the import would not find them from texts whose
// finest decimal is `finestDecimals` (-1: no value), so that an import gives the same counts.
std::string CsvColumnTitle(const SeriesHeader& h, int ch, int finestDecimals);

// Header "time,name(unit),..." ("burst" after the time when there are several); one row
// per sample; values at their channel's resolution; a missing sample is an empty field.
// Burst channels follow the interval channels, titled "name(unit) [burst]", their value
// repeated on every row of its burst.
void ExportSeriesCsv(const SeriesFile& f, const std::string& path, const ExportOptions& options);
// A `time` coordinate in seconds since the start, the start written with its UTC offset
// (calendar "standard"); one float variable per interval channel named with letters,
// digits and "_", with `long_name` (the channel's name), UDUNITS `units`, `standard_name`
// where one applies and `_FillValue`; burst channels on the `burst_time` coordinate; the
// memo, intervals and burst layout as global attributes. A series without samples is refused.
void ExportSeriesNetcdf(const SeriesFile& f, const std::string& path, const ExportOptions& options);

struct ImportOptions {
    // Channel name (without unit) -> coefficients A, B given by the user.
    std::map<std::string, std::pair<double, double>> scales;
    const CancelFlag* cancel = nullptr;
};
// A CSV whose first column is the time (ISO 8601 or "yyyy/mm/dd hh:nn:ss") and whose other
// columns are channels named "name(unit)", "name（unit）", "name [unit]" or "name"; UTF-8 or
// CP932 found by itself; commas, semicolons or tabs between fields, found from the header
// (a decimal comma is read when the fields are not comma-separated). A "burst" column after
// the time gives several bursts; an "経過時間(s)" column (as `series csv` writes) gives the
// times as the first time plus those seconds. The interval comes from the times, which must
// be evenly spaced within a burst, as the burst starts must be. Coefficients: --scale, else
// the title's " [A=a B=b]", else B = 0 and A = the coarsest power of ten that reproduces every
// value within what a single-precision value printed to 7 digits can be off (one float unit
// plus half the 7th digit), so float noise such as "9.900001" still gives A = 0.1; when that
// A cannot hold the values in 16 bits B moves to the middle of the range.
SeriesFile ImportSeriesCsv(const std::string& path, const ImportOptions& options);

}  // namespace orvane
