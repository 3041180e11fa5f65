#include "core/series/SeriesWriter.h"

#include "core/runtime/Errors.h"

namespace orvane {

namespace {

// A write failure names the target, never the temporary.
template <class F> void NamingTargetOf(const std::string& temp, const std::string& target, F f) {
    try {
        f();
    } catch (const EInOutError& e) {
        throw EInOutError(NamingTarget(e.what(), temp, target), e.Errno());
    }
}

}  // namespace

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
