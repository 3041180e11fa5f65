#include "core/series/SeriesWriter.h"

#include "core/runtime/Errors.h"

namespace orvane {

namespace {

constexpr SeriesFormatInfo kFormats[] = {
    {SeriesFormat::SDF, ".sdf", "SDF", true, false},
    {SeriesFormat::TSD, ".tsd", "TSD", true, false},
    {SeriesFormat::CSV, ".csv", "CSV", false, true},
    {SeriesFormat::NetCDF, ".nc", "netCDF", false, true},
};

// A write failure names the target, never the temporary.
template <class F> void NamingTargetOf(const std::string& temp, const std::string& target, F f) {
    try {
        f();
    } catch (const EInOutError& e) {
        throw EInOutError(NamingTarget(e.what(), temp, target), e.Errno());
    }
}

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

SeriesWriter::SeriesWriter(SeriesStore& store, const std::string& target)
    : store_(store), temp_(target), sdf_(HasSdfExtension(target)) {
    const std::string& temp = temp_.Path();
    if (!(sdf_ ? store_.WriteSdfHeader(temp) : store_.WriteTsdHeader(temp)))
        throw EInOutError(WriteFailureText(target, store_.LastWriteErrno), store_.LastWriteErrno);
    store_.OutputFileName = temp;
}

SeriesWriter::~SeriesWriter() {
    if (store_.OutputFileName == temp_.Path()) store_.OutputFileName = temp_.Target();
}

void SeriesWriter::WriteBurst(int k) {
    NamingTargetOf(temp_.Path(), temp_.Target(), [&] {
        if (sdf_) store_.WriteSdfBurst(k);
        else store_.AppendTsdBurst(k);
    });
}

void SeriesWriter::Commit() {
    temp_.Commit();
    store_.OutputFileName = temp_.Target();
}

void WriteSeriesFile(const SeriesFile& f, const std::string& path, const CancelFlag* cancel) {
    SeriesStore store;
    store.header = f.header;
    store.AllocateSeriesData();
    const auto& h = f.header;
    if (!HasSdfExtension(path)) {
        if (std::string problem = TsdTableProblem(h); !problem.empty()) throw OrvaneError(problem);
    }
    SeriesWriter out(store, path);
    for (int k = 0; k < h.Iteration; ++k) {
        ThrowIfCancelled(cancel);
        for (int ch = 0; ch < h.NchInterval; ++ch)
            for (std::int64_t s = 0; s < h.SampleSize; ++s) store.IntervalData[ch][s] = f.Interval(k, s, ch);
        for (int j = 0; j < h.NchBurst; ++j) store.BurstData[j] = f.burst[static_cast<std::size_t>(k) * h.NchBurst + j];
        out.WriteBurst(k);
    }
    ThrowIfCancelled(cancel);
    out.Commit();
}

}  // namespace orvane
