#include "core/series/SeriesFormats.h"

#include "core/runtime/TextFile.h"

namespace orvane {

namespace {

constexpr SeriesFormatInfo kFormats[] = {
    {SeriesFormat::SDF, ".sdf", "SDF", true, false},
    {SeriesFormat::TSD, ".tsd", "TSD", true, false},
    {SeriesFormat::CSV, ".csv", "CSV", false, true},
    {SeriesFormat::NetCDF, ".nc", "netCDF", false, true},
};

}  // namespace

std::span<const SeriesFormatInfo> SeriesFormats() { return kFormats; }

const SeriesFormatInfo* SeriesFormatOf(const std::string& path) {
    const std::string ext = LowerAscii(ExtractFileExt(path));
    for (const auto& f : kFormats)
        if (ext == f.extension) return &f;
    return nullptr;
}

std::string ExtensionList(std::span<const SeriesFormat> wanted, const std::string& joiner) {
    std::string list;
    for (const auto& f : kFormats)
        for (SeriesFormat w : wanted)
            if (w == f.format) list += (list.empty() ? "" : joiner) + std::string(f.extension);
    return list;
}

std::vector<SeriesFormat> SeriesFileFormats() {
    std::vector<SeriesFormat> v;
    for (const auto& f : kFormats)
        if (f.series) v.push_back(f.format);
    return v;
}

std::vector<SeriesFormat> ExportFormats() {
    std::vector<SeriesFormat> v;
    for (const auto& f : kFormats)
        if (f.exported) v.push_back(f.format);
    return v;
}

std::string OverwriteInputText(const std::string& input) {
    const SeriesFormatInfo* f = SeriesFormatOf(input);
    if (f && f->series) return std::string("ロードしている") + f->name + "ファイルは上書き出来ません。";
    return "読み込んでいるファイルは上書き出来ません。";
}

}  // namespace orvane
