#include <algorithm>
#include <cerrno>
#include <cmath>
#include <fstream>

#include "core/runtime/DateTime.h"
#include "core/runtime/Errors.h"
#include "core/runtime/NumberText.h"
#include "core/runtime/TextFile.h"
#include "core/series/SeriesInternal.h"
#include "core/series/SeriesStore.h"

namespace orvane {
namespace {

using series_detail::DecodeCp932Lenient;
using series_detail::LineReader;
using series_detail::ParseNumber;

constexpr char kTsdMagic[] = "Time Series Data Text Format Ver.";
constexpr char kTsdVer1[] = "Time Series Data Text Format Ver.1";
constexpr char kTsdVer2[] = "Time Series Data Text Format Ver.2";
constexpr char kFormatError[] = "フォーマットが違います。";
constexpr std::size_t kFlushBytes = 1 << 20;
// A data line holds at most 129 numbers; one far longer is damage, and is not read whole.
constexpr std::size_t kMaxDataLine = 1 << 20;
constexpr char kLineTooLong[] = "データの行が長すぎます (1 MB まで)。";

using Fields = std::array<std::string_view, TsdMaxFields>;

std::string_view Field(const Fields& f, int count, int i) { return i < count ? f[i] : std::string_view(); }
bool IsMissing(std::string_view f) { return f.empty() || f == "="; }

// "500 msec" -> 500 and the unit index (-1 when no unit is named).
void ParseInterval(const std::string& line, std::int32_t& value, int& unit) {
    value = StrToInt(line.substr(0, line.find(' ')));
    unit = FindUnitIndex(line);
}

std::string OneLine(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            out += ' ';
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += c;
        }
    }
    return out;
}

// Refused before anything is stored: the counts would not fit the tables.
struct FormatRefused {};

// The next line of a block of data; false, said through `prompter`, when there is none
// or it is too long.
bool NextDataLine(LineReader& lines, std::string& line, Prompter& prompter) {
    if (lines.AtEnd()) {
        prompter.Error("データが足りません。");
        return false;
    }
    if (!lines.NextBounded(line, kMaxDataLine) && lines.TooLong()) {
        prompter.Error(kLineTooLong);
        return false;
    }
    return true;
}

}  // namespace

bool SeriesStore::ReadTsdHeader(const std::string& fileName, Prompter& prompter) {
    if (std::string problem = InputFileProblem(fileName); !problem.empty()) {
        prompter.Error(problem);
        return false;
    }
    std::ifstream in(fileName, std::ios::binary);
    if (!in) {
        prompter.Error("ファイル「" + fileName + "」を開けません。");
        return false;
    }
    return ReadTsdHeader(in, prompter, series_detail::ContentBytes(fileName, series_detail::StreamSize(in)));
}

bool SeriesStore::ReadTsdHeader(std::istream& in, Prompter& prompter) {
    return ReadTsdHeader(in, prompter, series_detail::StreamSize(in));
}

bool SeriesStore::ReadTsdHeader(std::istream& in, Prompter& prompter, std::int64_t fileSize) {
    LineReader lines(in);
    std::string line;
    // Far above 129 numbers or names; a longer header line is no TSD header.
    constexpr std::size_t kMaxHeaderLine = 1 << 16;
    auto next = [&]() -> const std::string& {
        if (!lines.NextBounded(line, kMaxHeaderLine) && lines.TooLong()) throw FormatRefused{};
        return line;
    };
    auto refuse = [&]() {
        prompter.Error(kFormatError);
        return false;
    };
    try {
        next();
    } catch (const FormatRefused&) {
        return refuse();
    }
    // Memo, names and units are decoded once the header's encoding is known.
    std::string headerBytes = line + '\n';
    auto raw = [&]() -> const std::string& {
        next();
        headerBytes += line + '\n';
        return line;
    };
    std::size_t at = line.find(kTsdMagic);
    if (at == std::string::npos) return refuse();
    std::size_t vpos = at + sizeof kTsdMagic - 1;
    int version = vpos < line.size() ? line[vpos] - '0' : 0;
    if (version != 1 && version != 2) return refuse();

    SeriesHeader h;
    auto int16In = [](int v, int lo) {
        if (v < lo || v > 32767) throw FormatRefused{};
        return static_cast<std::int16_t>(v);
    };
    try {
        const std::string memo = StripQuotes(raw());
        h.StartTime = ParseDateTime(raw());
        if (version == 1) {
            h.SInt = StrToInt(raw());
            h.SIntUnit = 1;
            h.Iteration = 1;
            h.BInt = 0;
            h.BIntUnit = 2;
            h.NchBurst = 0;
            h.NchInterval = 0;
        } else {
            int unit = -1;
            ParseInterval(raw(), h.SInt, unit);
            if (unit < 0) throw FormatRefused{};
            h.SIntUnit = static_cast<std::uint8_t>(unit);
            h.Iteration = int16In(StrToInt(raw()), 0);
            ParseInterval(raw(), h.BInt, unit);
            if (unit < 0) throw FormatRefused{};
            h.BIntUnit = static_cast<std::uint8_t>(unit);
            Fields f;
            int n = SplitFields(raw(), f);
            h.NchInterval = int16In(StrToInt(std::string(Field(f, n, 0))), 0);
            h.NchBurst = int16In(StrToInt(std::string(Field(f, n, 1))), 0);
        }
        h.SampleSize = StrToInt(raw());
        if (h.SampleSize < 0) throw FormatRefused{};

        Fields f;
        int n = SplitFields(raw(), f);
        // Only Ver.1 takes its channel count from the coefficient line; a Ver.2 file with
        // no interval channels must keep 0 (its burst channels follow).
        if (version == 1) h.NchInterval = static_cast<std::int16_t>(n);
        if (h.ChannelCount() > MaxChannels) throw FormatRefused{};
        const int channels = h.ChannelCount();
        for (int i = 0; i < channels; ++i) h.CoefA[i] = static_cast<float>(StrToFloat(std::string(Field(f, n, i))));
        n = SplitFields(raw(), f);
        for (int i = 0; i < channels; ++i) h.CoefB[i] = static_cast<float>(StrToFloat(std::string(Field(f, n, i))));
        std::string names = raw();
        std::string units = raw();
        const DetectedText text = DetectTextEncoding(headerBytes, "TSDファイル");
        // Names are kept in what CP932 can hold: a UTF-8 character beyond it becomes '?'
        // rather than failing a file that reads well otherwise.
        auto decode = [&](const std::string& bytes) {
            return text.kind == DetectedText::Utf8 ? series_detail::KeepCp932Characters(bytes)
                                                   : DecodeCp932Lenient(bytes);
        };
        h.Memo = CutToCp932Bytes(decode(memo), 160);
        n = SplitFields(names, f);
        for (int i = 0; i < channels; ++i)
            h.ItemName[i] = CutToCp932Bytes(decode(StripQuotes(std::string(Field(f, n, i)))), 16);
        n = SplitFields(units, f);
        for (int i = 0; i < channels; ++i)
            h.UnitName[i] = CutToCp932Bytes(decode(StripQuotes(std::string(Field(f, n, i)))), 8);

        // Every data line takes at least one byte: counts beyond that cannot be in the file.
        std::int64_t remaining = fileSize - lines.Consumed();
        std::int64_t b = h.SampleSize + (h.NchBurst > 0 ? 1 : 0);
        std::int64_t needLines = version == 1 ? h.SampleSize : h.Iteration * (b + 1);
        if (h.Iteration == 0 && static_cast<std::int64_t>(h.SampleSize) * h.NchInterval > MaxSamplesWithoutBursts)
            throw FormatRefused{};
        if (needLines > remaining) throw FormatRefused{};
        // Every value takes a byte at least (its comma, or the line end after the last): a
        // header asking for more values than that would cost memory for counts alone.
        const std::int64_t values = (version == 1 ? 1 : h.Iteration) *
                                    (static_cast<std::int64_t>(h.SampleSize) * h.NchInterval + h.NchBurst);
        if (values > remaining) throw FormatRefused{};
    } catch (const FormatRefused&) {
        return refuse();
    }
    header = std::move(h);
    LastSdfVersion = 0;
    AllocateSeriesData();
    return true;
}

bool SeriesStore::PositionTsd(std::istream& in, int burst, Prompter& prompter, std::string& line) {
    LineReader lines(in);
    lines.NextBounded(line, kMaxDataLine);
    if (line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
    if (line == kTsdVer1) {
        for (int i = 0; i < 8; ++i) lines.NextBounded(line, kMaxDataLine);
        return true;
    }
    if (line != kTsdVer2) {
        prompter.Error("データがありません。");
        return false;
    }
    std::int64_t b = std::max(0, header.SampleSize) + (header.NchBurst > 0 ? 1 : 0);
    std::int64_t skip = 11 + std::max<std::int64_t>(0, static_cast<std::int64_t>(burst) * (b + 1));
    // Past the end every line is empty, so stopping there changes nothing but the time.
    for (std::int64_t i = 0; i < skip && !lines.AtEnd(); ++i) {
        if (!lines.NextBounded(line, kMaxDataLine) && lines.TooLong()) {
            prompter.Error(kLineTooLong);
            return false;
        }
    }
    if (lines.Bad()) {
        prompter.Error("データがありません。");
        return false;
    }
    lines.NextBounded(line, kMaxDataLine);
    if (line != "No." + std::to_string(static_cast<std::int64_t>(burst) + 1)) {
        prompter.Error("ブロックデータ異常");
        return false;
    }
    return true;
}

bool SeriesStore::ReadTsdBurst(int burst, Prompter& prompter) {
    std::ifstream in(DataFileName, std::ios::binary);
    if (!in) {
        prompter.Error("データがありません。");
        return false;
    }
    return ReadTsdBurst(in, burst, prompter);
}

bool SeriesStore::ReadTsdBurst(std::istream& in, int burst, Prompter& prompter) {
    const int nchI = header.NchInterval, nchB = header.NchBurst;
    if (nchI < 0 || nchB < 0 || nchI + nchB > MaxChannels || header.SampleSize < 0) return false;
    std::string line;
    if (!PositionTsd(in, burst, prompter, line)) return false;
    return ReadTsdBody(in, prompter);
}

bool SeriesStore::ReadTsdBody(std::istream& in, Prompter& prompter) {
    const int nchI = header.NchInterval, nchB = header.NchBurst;
    std::string line;
    const std::size_t samples = static_cast<std::size_t>(header.SampleSize);
    bool sized = BurstData.size() == static_cast<std::size_t>(nchB);
    for (int ch = 0; ch < nchI && sized; ++ch) sized = IntervalData[ch].size() == samples;
    if (!sized) AllocateSeriesData();

    bool silent = false;
    // Raw count of a physical value; false when the user refuses to go on.
    auto toRaw = [&](std::string_view field, int channel, std::int16_t& raw) {
        if (IsMissing(field)) {
            raw = ErrorRaw;
            return true;
        }
        double value = ParseNumber(field);
        double x = CheckedDiv(value - static_cast<double>(header.CoefB[channel]),
                              static_cast<double>(header.CoefA[channel]));
        if (std::fabs(x) < 32768.0) {
            std::int64_t r = RoundHalfEven(x);
            if (r >= -32767 && r <= 32767) {
                raw = static_cast<std::int16_t>(r);
                return true;
            }
        }
        if (!silent) {
            prompter.Beep();
            if (prompter.Message(MsgKind::Warning,
                                 "単精度整数を超えるデータを発見しました。\nエラーデータに変換してよろしいですか。",
                                 MsgButtons::YesNo) != MsgResult::Yes)
                return false;
            silent = true;
        }
        raw = ErrorRaw;
        return true;
    };

    LineReader lines(in);
    Fields f;
    const std::size_t b = samples + (nchB > 0 ? 1 : 0);
    for (std::size_t r = 0; r < b; ++r) {
        if (!NextDataLine(lines, line, prompter)) return false;
        int n = SplitFields(line, f);
        if (r < samples) {
            for (int i = 0; i < nchI; ++i)
                if (!toRaw(Field(f, n, i), i, IntervalData[i][r])) return false;
        } else {
            for (int j = 0; j < nchB; ++j)
                if (!toRaw(Field(f, n, j), nchI + j, BurstData[j])) return false;
        }
    }
    return true;
}

bool SeriesStore::ReadEachBurst(const std::function<bool(int)>& take, Prompter& prompter) {
    if (FileKind == SeriesKind::SDF) {
        std::ifstream in(DataFileName, std::ios::binary);
        for (int k = 0; k < header.Iteration; ++k)
            if (!in || !ReadSdfBurst(in, k) || !take(k)) return false;
        return true;
    }
    const int nchI = header.NchInterval, nchB = header.NchBurst;
    if (nchI < 0 || nchB < 0 || nchI + nchB > MaxChannels || header.SampleSize < 0) return false;
    std::ifstream in(DataFileName, std::ios::binary);
    std::string line;
    if (!in) {
        prompter.Error("データがありません。");
        return false;
    }
    if (header.Iteration <= 0) return true;
    if (!PositionTsd(in, 0, prompter, line)) return false;
    for (int k = 0; k < header.Iteration; ++k) {
        if (k > 0) {
            LineReader lines(in);
            lines.NextBounded(line, kMaxDataLine);
            if (line != "No." + std::to_string(k + 1)) {
                prompter.Error("ブロックデータ異常");
                return false;
            }
        }
        if (!ReadTsdBody(in, prompter) || !take(k)) return false;
    }
    return true;
}

bool SeriesStore::ReadTsdChannel(int burst, int channel, std::span<float> values, Prompter& prompter) {
    std::ifstream in(DataFileName, std::ios::binary);
    if (!in) {
        prompter.Error("データがありません。");
        return false;
    }
    return ReadTsdChannel(in, burst, channel, values, prompter);
}

bool SeriesStore::ReadTsdChannel(std::istream& in, int burst, int channel, std::span<float> values,
                                 Prompter& prompter) {
    if (channel < 0 || channel >= header.NchInterval || channel >= MaxChannels || header.SampleSize < 0 ||
        values.size() < static_cast<std::size_t>(header.SampleSize))
        return false;
    std::string line;
    if (!PositionTsd(in, burst, prompter, line)) return false;
    LineReader lines(in);
    Fields f;
    for (std::size_t s = 0; s < static_cast<std::size_t>(header.SampleSize); ++s) {
        if (!NextDataLine(lines, line, prompter)) return false;
        std::string_view field = Field(f, SplitFields(line, f), channel);
        values[s] = IsMissing(field) ? ErrorValue : static_cast<float>(ParseNumber(field));
    }
    return true;
}

bool SeriesStore::WriteTsdHeader(const std::string& fileName) {
    const SeriesHeader& h = header;
    const int n = std::clamp(h.ChannelCount(), 0, ChannelTableSize);
    auto join = [n](auto item) {
        std::string s;
        for (int i = 0; i < n; ++i) {
            if (i) s += ',';
            s += item(i);
        }
        return s;
    };
    std::vector<std::string> lines = {
        kTsdVer2,
        OneLine(h.Memo),
        FormatDateTime(h.StartTime),
        std::to_string(h.SInt) + " " + UnitName(h.SIntUnit),
        std::to_string(h.Iteration),
        std::to_string(h.BInt) + " " + UnitName(h.BIntUnit),
        std::to_string(h.NchInterval) + "," + std::to_string(h.NchBurst),
        std::to_string(h.SampleSize),
        join([&](int i) { return FormatGeneral(h.CoefA[i], 7); }),
        join([&](int i) { return FormatGeneral(h.CoefB[i], 7); }),
        join([&](int i) { return h.ItemName[i]; }),
        join([&](int i) { return h.UnitName[i]; }),
    };
    try {
        WriteTextFileAtomic(fileName, lines);
    } catch (const EInOutError& e) {
        LastWriteErrno = e.Errno();
        return false;
    } catch (const std::exception&) {
        LastWriteErrno = 0;
        return false;
    }
    LastWriteErrno = 0;
    return true;
}

void SeriesStore::AppendTsdBurst(int burst) {
    const int nchI = std::max<int>(0, header.NchInterval);
    const int nchB = std::max<int>(0, header.NchBurst);
    const std::size_t samples = static_cast<std::size_t>(std::max(0, header.SampleSize));
    if (nchI + nchB > MaxChannels) throw OrvaneError("チャンネル数が不正です。");
    for (int ch = 0; ch < nchI; ++ch)
        if (IntervalData[ch].size() < samples) throw OrvaneError("時系列データの領域が確保されていません。");
    if (BurstData.size() < static_cast<std::size_t>(nchB)) throw OrvaneError("時系列データの領域が確保されていません。");
    if (!FileExists(OutputFileName)) throw EInOutError("ファイル「" + OutputFileName + "」が見つかりません。");
    errno = 0;
    std::ofstream out(OutputFileName, std::ios::binary | std::ios::app);
    if (!out) throw EInOutError("ファイル「" + OutputFileName + "」を開けません。", errno);

    std::string buf;
    buf.reserve(kFlushBytes + 64 * MaxChannels);
    char num[40];
    auto value = [&](std::int16_t raw, int channel) {
        if (raw == ErrorRaw) {
            buf += '=';
            return;
        }
        double v = raw * static_cast<double>(header.CoefA[channel]) + static_cast<double>(header.CoefB[channel]);
        buf.append(num, static_cast<std::size_t>(FormatGeneral7(v, num)));
    };
    auto flush = [&] {
        out.write(buf.data(), static_cast<std::streamsize>(buf.size()));
        buf.clear();
    };
    buf += "No." + std::to_string(static_cast<std::int64_t>(burst) + 1) + "\r\n";
    for (std::size_t s = 0; s < samples; ++s) {
        for (int i = 0; i < nchI; ++i) {
            if (i) buf += ',';
            value(IntervalData[i][s], i);
        }
        buf += "\r\n";
        if (buf.size() >= kFlushBytes) flush();
    }
    if (nchB > 0) {
        for (int j = 0; j < nchB; ++j) {
            if (j) buf += ',';
            value(BurstData[j], nchI + j);
        }
        buf += "\r\n";
    }
    flush();
    out.flush();
    out.close();
    if (out.fail()) {
        const int err = errno;
        throw EInOutError(WriteFailureText(OutputFileName, err), err);
    }
}

}  // namespace orvane
