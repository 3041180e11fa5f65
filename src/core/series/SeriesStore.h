#pragma once
// The current time series and the SDF / TSD file services.
//
// SeriesStore holds one series: `header` (SeriesHeader), the raw 16-bit samples of one
// burst (`IntervalData`, `BurstData`), the input name (`DataFileName`, read by the burst
// and channel readers) and the output name (`OutputFileName`, written by WriteSdfBurst and
// AppendTsdBurst). The time-series window owns the program's one instance; tools and the
// command line call it directly, without the window:
//
//   reading:  OpenSeriesHeader(name, ...) -> set DataFileName = name ->
//             ReadSdfBurst / ReadTsdBurst or ReadSdfChannel / ReadTsdChannel (or the
//             kind-neutral ReadBurst / ReadChannel).
//   writing:  fill header, AllocateSeriesData(), fill IntervalData with raw counts,
//             WriteOutputHeader(name) (the save step: header by extension, sets
//             OutputFileName) -> WriteSdfBurst(k) or AppendTsdBurst(k) per burst.
//
// Header readers never touch the current series unless the whole header is valid, so a
// corrupt file leaves the previous series usable. Readers report through Prompter
// ("フォーマットが違います。" ...) and return false; writers of bursts raise EInOutError.
#include <array>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <span>
#include <string_view>
#include <string>
#include <vector>
#include "core/runtime/Progress.h"
#include "core/runtime/Prompter.h"

namespace orvane {

// Missing samples.
constexpr std::int16_t ErrorRaw = -32768;     // version 4 and memory
constexpr std::int16_t ErrorRawOld = 32767;   // versions 1 to 3
constexpr float ErrorLimit = 3.0E38f;         // physical values at or above are missing
constexpr float ErrorValue = static_cast<float>(1.1 * static_cast<double>(ErrorLimit));

constexpr int MaxChannels = 128;       // data slots
constexpr int ChannelTableSize = 129;  // room in the channel table
constexpr int TsdMaxFields = 129;
// A header without bursts cannot be checked against the file's length; the data arrays it
// asks for (samples x interval channels) are capped instead, far above a real burst.
constexpr std::int64_t MaxSamplesWithoutBursts = 1LL << 24;

// The unit table of time intervals; the index is what files store.
constexpr int TimeUnitCount = 9;
const char* UnitName(int index);     // "usec" ... "yr"; "" outside the table
double UnitSeconds(int index);       // 0 outside the table
// First unit (in table order) whose name occurs in `line`; -1 when none does.
int FindUnitIndex(const std::string& line);
// Millisecond count -> count in the largest unit up to days that divides it exactly.
void SplitMilliseconds(std::int32_t& value, std::uint8_t& unit);

struct SeriesHeader {
    std::string Memo;  // UTF-8; at most 160 bytes in CP932
    std::int16_t NchInterval = 0;
    std::int16_t NchBurst = 0;
    std::int16_t Iteration = 0;
    std::int32_t SampleSize = 0;
    std::int32_t SInt = 0;
    std::uint8_t SIntUnit = 2;
    std::int32_t BInt = 0;
    std::uint8_t BIntUnit = 2;
    double StartTime = 0;  // days since 1899-12-30
    std::array<std::string, ChannelTableSize> ItemName;  // at most 16 bytes
    std::array<std::string, ChannelTableSize> UnitName;  // at most 8 bytes
    std::array<float, ChannelTableSize> CoefA{};
    std::array<float, ChannelTableSize> CoefB{};

    int ChannelCount() const { return NchInterval + NchBurst; }
};

// 1 + ceil(N / 8): header length in 256-byte units.
int SdfHeaderBlocks(const SeriesHeader& h);
// Bytes of one version-4 burst.
std::int64_t SdfBlockBytes(const SeriesHeader& h);

enum class SeriesKind { SDF, TSD };
// ".SDF"/".TSD" in any case; other extensions leave `kind` as it was.
void KindFromExtension(const std::string& fileName, SeriesKind& kind);
bool HasSdfExtension(const std::string& fileName);

// The version-4 header bytes (256 * HeaderBlocks).
std::vector<char> EncodeSdfHeader(const SeriesHeader& h);
// Decodes an SDF header from its first bytes. `fileSize` is the whole file's length and
// bounds every count. Returns the version (1..4), or 0 when the bytes are not a sound
// SDF header. Old versions keep their millisecond intervals and units untouched.
int DecodeSdfHeader(const char* data, std::size_t size, std::int64_t fileSize,
                    SeriesHeader& out);
// Largest header an SDF file can have (128 channels).
constexpr std::size_t SdfMaxHeaderBytes = 256 * (1 + (MaxChannels + 7) / 8);

// Splits a TSD line at "," into at most 129 views into `line`; returns the count.
int SplitFields(std::string_view line, std::array<std::string_view, TsdMaxFields>& out);
std::string StripQuotes(const std::string& text);

// Writes `value` in the general 7-digit format into `buf` (at least 32 bytes) without
// allocating; returns the length. Same text as FormatGeneral(value, 7).
int FormatGeneral7(double value, char* buf);

// The text a TSD channel table cannot hold ("," in a name or unit), or "" when it is fine.
std::string TsdTableProblem(const SeriesHeader& h);

class SeriesStore {
public:
    SeriesHeader header;
    std::array<std::vector<std::int16_t>, MaxChannels> IntervalData;
    std::vector<std::int16_t> BurstData;
    std::string DataFileName;
    std::string OutputFileName;
    SeriesKind FileKind = SeriesKind::SDF;
    // Of the last SDF header read (the burst and channel readers use them).
    int HeaderBlocks = 1;
    std::int64_t BlockBytes = 0;
    // Version of the last SDF header read (before any conversion), 0 for TSD.
    int LastSdfVersion = 0;
    // The system's reason for the last header write that returned false (0 when unknown).
    int LastWriteErrno = 0;
    // True: an old SDF version (1-3) is converted in place after the question, as the
    // window does. False: it is read as it is, converted in memory only, and the file is
    // never written (commands that only read).
    bool ConvertOldInPlace = true;

    // Called after every successful SDF header read (the window redraws its interval).
    std::function<void()> onSdfHeaderRead;
    // Called when a version-1 conversion has rewritten the interval units.
    std::function<void(std::uint8_t sIntUnit, std::uint8_t bIntUnit)> onUnitsConverted;

    // Sizes IntervalData / BurstData from the header.
    void AllocateSeriesData();

    bool OpenSeriesHeader(const std::string& fileName, Prompter& prompter, Progress& progress);
    bool ReadSdfHeader(const std::string& fileName, Prompter& prompter, Progress& progress);
    bool ReadTsdHeader(const std::string& fileName, Prompter& prompter);
    // Same, from a stream (fuzzing, tests); `fileName` only names it.
    bool ReadTsdHeader(std::istream& in, Prompter& prompter);

    // Raw values of a burst of DataFileName into IntervalData / BurstData.
    bool ReadSdfBurst(int burst);
    bool ReadSdfBurst(std::istream& in, int burst);
    bool ReadTsdBurst(int burst, Prompter& prompter);
    bool ReadTsdBurst(std::istream& in, int burst, Prompter& prompter);
    // Physical values of interval channel `channel` (ErrorValue for missing samples);
    // `values` needs at least SampleSize entries.
    bool ReadSdfChannel(int burst, int channel, std::span<float> values);
    bool ReadSdfChannel(std::istream& in, int burst, int channel, std::span<float> values);
    bool ReadTsdChannel(int burst, int channel, std::span<float> values, Prompter& prompter);
    bool ReadTsdChannel(std::istream& in, int burst, int channel, std::span<float> values,
                        Prompter& prompter);
    // By FileKind.
    bool ReadBurst(int burst, Prompter& prompter);
    // Every burst of DataFileName in order, in one pass over the file: `take(k)` runs
    // when burst k is in IntervalData / BurstData and returns false to stop early.
    bool ReadEachBurst(const std::function<bool(int)>& take, Prompter& prompter);
    bool ReadChannel(int burst, int channel, std::span<float> values, Prompter& prompter);

    // Header writers: false on a file failure. The SDF one overwrites an existing file's
    // header in place and keeps every byte after it.
    bool WriteSdfHeader(const std::string& fileName);
    bool WriteTsdHeader(const std::string& fileName);
    // Burst writers into OutputFileName; raise EInOutError on a file failure.
    void WriteSdfBurst(int burst);
    void AppendTsdBurst(int burst);

    // The save step: refuses or asks as the save window does; true when saving may go on.
    bool ConfirmOutputName(const std::string& name, Prompter& prompter) const;
    // Writes the header by the name's extension and makes it the output file.
    bool WriteOutputHeader(const std::string& name);

    // Converts a version 1-3 file to version 4 in place (header already decoded into
    // `header`). False when cancelled; the file is then unchanged.
    bool UpdateOldSdf(int version, const std::string& fileName, Progress& progress);

private:
    // `fileSize`: the bytes that hold data, which bound the header's counts.
    bool ReadTsdHeader(std::istream& in, Prompter& prompter, std::int64_t fileSize);
    // Where burst k starts in an SDF file of the layout read last.
    std::int64_t SdfBurstOffset(int burst) const;
    bool ReadTsdBody(std::istream& in, Prompter& prompter);
    int layoutVersion_ = 4;
    bool PositionTsd(std::istream& in, int burst, Prompter& prompter, std::string& line);
    bool FinishSdfHeader(const SeriesHeader& h, int version, const std::string& fileName,
                         Prompter& prompter, Progress& progress);
};

}  // namespace orvane
