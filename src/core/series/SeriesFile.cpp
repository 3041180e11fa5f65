#include "core/series/SeriesFile.h"

#include <algorithm>
#include <filesystem>

#include "core/runtime/Errors.h"
#include "core/runtime/Progress.h"
#include "core/runtime/TextFile.h"

namespace orvane {
namespace {

// Keeps the last message and passes the questions on.
class Collecting : public Prompter {
public:
    explicit Collecting(Prompter* ask) : ask_(ask) {}
    MsgResult Message(MsgKind kind, const std::string& text, MsgButtons buttons) override {
        if (buttons == MsgButtons::Ok) {
            last = text;
            return MsgResult::Ok;
        }
        MsgResult r = ask_ ? ask_->Message(kind, text, buttons)
                           : (buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Cancel);
        if (r != MsgResult::Yes && r != MsgResult::Ok) last = text;
        return r;
    }
    void Plain(const std::string&, const std::string&) override {}
    void Beep() override {}
    std::string last;
private:
    Prompter* ask_;
};

[[noreturn]] void Fail(const Collecting& prompter, const std::string& fallback) {
    throw OrvaneError(prompter.last.empty() ? fallback : prompter.last);
}

void Open(SeriesStore& store, const std::string& fileName, Collecting& prompter) {
    RequireInputFile(fileName);
    NullProgress progress;
    store.ConvertOldInPlace = false;
    if (!store.OpenSeriesHeader(fileName, prompter, progress)) Fail(prompter, "フォーマットが違います。");
    store.DataFileName = fileName;
}

SeriesFile Read(const std::string& fileName, Prompter* ask) {
    Collecting prompter(ask);
    SeriesStore store;
    Open(store, fileName, prompter);
    auto fail = [&](const std::string& fallback) { Fail(prompter, fallback); };

    SeriesFile f;
    const auto& h = store.header;
    const std::size_t nchI = static_cast<std::size_t>(h.NchInterval);
    const std::size_t nchB = static_cast<std::size_t>(h.NchBurst);
    const std::size_t samples = static_cast<std::size_t>(h.SampleSize);
    const std::size_t bursts = static_cast<std::size_t>(h.Iteration);
    // Reserved only as far as the file can hold values (two bytes each in SDF, one at least
    // in TSD): a header claiming more bursts than are there must not cost memory.
    std::error_code ec;
    const std::uintmax_t bytes = std::filesystem::file_size(fileName, ec);
    const std::size_t held = ec ? 0 : static_cast<std::size_t>(store.FileKind == SeriesKind::SDF ? bytes / 2 : bytes);
    f.interval.reserve(std::min(bursts * samples * nchI, held));
    f.burst.reserve(std::min(bursts * nchB, held));
    bool ok = store.ReadEachBurst(
        [&](int) {
            for (std::size_t s = 0; s < samples; ++s)
                for (std::size_t ch = 0; ch < nchI; ++ch) f.interval.push_back(store.IntervalData[ch][s]);
            f.burst.insert(f.burst.end(), store.BurstData.begin(), store.BurstData.end());
            return true;
        },
        prompter);
    if (!ok) fail("「" + fileName + "」のデータを読み込めませんでした。");
    f.header = h;
    f.kind = store.FileKind;
    f.sdfVersion = store.FileKind == SeriesKind::SDF ? store.LastSdfVersion : 0;
    return f;
}

}  // namespace

float SeriesFile::Physical(int ch, std::int16_t raw) const {
    if (raw == ErrorRaw) return ErrorValue;
    return static_cast<float>(raw * static_cast<double>(header.CoefA[ch]) + static_cast<double>(header.CoefB[ch]));
}

double SeriesFile::SampleSeconds() const { return header.SInt * UnitSeconds(header.SIntUnit); }
double SeriesFile::BurstSeconds() const { return header.BInt * UnitSeconds(header.BIntUnit); }
double SeriesFile::BurstStart(int k) const { return header.StartTime + k * BurstSeconds() / 86400.0; }

std::vector<float> ReadSeriesChannel(const std::string& fileName, int burst, int channel) {
    Collecting prompter(nullptr);
    SeriesStore store;
    Open(store, fileName, prompter);
    if (burst < 0 || burst >= std::max<int>(1, store.header.Iteration) || channel < 0 ||
        channel >= store.header.NchInterval)
        throw OrvaneError("バースト番号またはチャンネル番号が範囲外です。");
    std::vector<float> values(static_cast<std::size_t>(store.header.SampleSize));
    if (!store.ReadChannel(burst, channel, values, prompter))
        Fail(prompter, "「" + fileName + "」のデータを読み込めませんでした。");
    return values;
}

SeriesFile ReadSeriesFile(const std::string& fileName) { return Read(fileName, nullptr); }
SeriesFile ReadSeriesFile(const std::string& fileName, Prompter& prompter) { return Read(fileName, &prompter); }

}  // namespace orvane
