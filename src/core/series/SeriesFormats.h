#pragma once
// The table of series formats by extension: what the program reads and writes as a series
// file, and what a series is exported to. The command line, Python and the windows ask
// it rather than list extensions of their own.
#include <span>
#include <string>
#include <vector>

namespace orvane {

enum class SeriesFormat { SDF, TSD, CSV, NetCDF };

struct SeriesFormatInfo {
    SeriesFormat format;
    const char* extension;   // lower case, with the dot
    const char* name;        // as messages name it
    bool series;             // a series file the program reads and writes (SDF, TSD)
    bool exported;           // what a series is exported to (CSV, netCDF)
};
// Every format, in the order messages list them.
std::span<const SeriesFormatInfo> SeriesFormats();
// The format of a file name by its extension (any case); null when none matches.
const SeriesFormatInfo* SeriesFormatOf(const std::string& path);
// ".sdf か .tsd": the extensions of the formats `wanted` allows, for a message.
std::string ExtensionList(std::span<const SeriesFormat> wanted, const std::string& joiner = " か ");
// The series files (SDF, TSD), or the formats a series is exported to (CSV, netCDF).
std::vector<SeriesFormat> SeriesFileFormats();
std::vector<SeriesFormat> ExportFormats();
// Why `input`, a file being read, cannot be the output: named by its format.
std::string OverwriteInputText(const std::string& input);

}  // namespace orvane
