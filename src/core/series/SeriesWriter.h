#pragma once
// The one writer of SDF and TSD files.
//
// Every series output (a tool's result, convert, import, the in-place upgrade of an old
// SDF, Python's write_series) goes through SeriesWriter: the header and the bursts go to a
// TemporaryFile beside the target, which Commit() renames over it. An uncommitted writer
// (an error, a cancel) removes its temporary: the target is never half written, and an
// old file of that name stays as it was. Errors name the target.
#include <string>
#include <vector>

#include "core/runtime/Cancel.h"
#include "core/runtime/TextFile.h"
#include "core/series/SeriesFile.h"
#include "core/series/SeriesFormats.h"
#include "core/series/SeriesStore.h"

namespace orvane {

class SeriesWriter {
public:
    // Writes the header of `store` at once: SDF for a ".sdf" target (any case), TSD
    // otherwise. The store's OutputFileName is the temporary while the writer lives, the
    // target afterwards.
    SeriesWriter(SeriesStore& store, const std::string& target);
    ~SeriesWriter();
    SeriesWriter(const SeriesWriter&) = delete;
    SeriesWriter& operator=(const SeriesWriter&) = delete;
    // Burst k from the store's IntervalData / BurstData.
    void WriteBurst(int k);
    // Renames the file into place; the store's OutputFileName is the target afterwards.
    void Commit();
    const std::string& TemporaryPath() const { return temp_.Path(); }
private:
    SeriesStore& store_;
    TemporaryFile temp_;
    bool sdf_;
};

// Writes `f` as SDF (".sdf", any case) or TSD (otherwise); stops with CancelledError when
// `cancel` is set between bursts (nothing is then created).
void WriteSeriesFile(const SeriesFile& f, const std::string& path, const CancelFlag* cancel = nullptr);

}  // namespace orvane
