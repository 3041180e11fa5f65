#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "core/runtime/Errors.h"
#include "core/runtime/TextFile.h"
#include "core/series/SeriesInternal.h"
#include "core/series/SeriesStore.h"
#include "core/series/SeriesWriter.h"

static_assert(std::endian::native == std::endian::little, "SDF files are little-endian");

namespace orvane {
namespace {

using series_detail::DecodeCp932Lenient;

constexpr char kMagic[] = "Standard Burst-Interval Data Format Ver.";
constexpr std::size_t kMagicLen = 40;
constexpr std::size_t kChunkWords = 1 << 15;
// Dates the date routines can show: years 1 to 9999.
constexpr double kMinDate = -693593.0, kMaxDate = 2958466.0;

template <class T> T Get(const char* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
template <class T> void Put(std::vector<char>& out, T v) {
    char b[sizeof v];
    std::memcpy(b, &v, sizeof v);
    out.insert(out.end(), b, b + sizeof v);
}

void PutText(std::vector<char>& out, const std::string& utf8, std::size_t width) {
    std::string bytes = Utf8ToCp932(CutToCp932Bytes(utf8, width));
    bytes.resize(width, ' ');
    out.insert(out.end(), bytes.begin(), bytes.end());
}

// A text field ends at a NUL; trailing blanks and control characters are not part of it.
std::string TrimTail(std::string s) {
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.pop_back();
    return s;
}

std::string ErrOpen(const std::string& name) { return "ファイル「" + name + "」を開けません。"; }
std::string ErrWrite(const std::string& name, int err = 0) { return WriteFailureText(name, err); }

// Reads `count` int16 values, in chunks through `buf`, handing each chunk to `sink`.
template <class Sink>
bool ReadWords(std::istream& in, std::int64_t count, std::vector<std::int16_t>& buf, Sink sink) {
    while (count > 0) {
        std::size_t n = static_cast<std::size_t>(std::min<std::int64_t>(count, kChunkWords));
        buf.resize(n);
        if (!in.read(reinterpret_cast<char*>(buf.data()), static_cast<std::streamsize>(2 * n)))
            return false;
        sink(buf.data(), n);
        count -= static_cast<std::int64_t>(n);
    }
    return true;
}

}  // namespace

std::vector<char> EncodeSdfHeader(const SeriesHeader& h) {
    std::vector<char> out;
    int blocks = SdfHeaderBlocks(h);
    out.reserve(static_cast<std::size_t>(256 * blocks));
    std::string magic = std::string(kMagic) + "4";
    magic.resize(50, ' ');
    out.insert(out.end(), magic.begin(), magic.end());
    PutText(out, h.Memo, 160);
    Put(out, h.NchInterval);
    Put(out, h.NchBurst);
    Put(out, h.SampleSize);
    Put(out, h.SInt);
    Put(out, h.SIntUnit);
    Put(out, h.Iteration);
    Put(out, h.BInt);
    Put(out, h.BIntUnit);
    Put(out, h.StartTime);
    out.insert(out.end(), 18, ' ');
    int n = std::clamp(h.ChannelCount(), 0, ChannelTableSize);
    for (int i = 0; i < n; ++i) {
        PutText(out, h.ItemName[i], 16);
        PutText(out, h.UnitName[i], 8);
        Put(out, h.CoefA[i]);
        Put(out, h.CoefB[i]);
    }
    out.resize(static_cast<std::size_t>(256 * blocks), ' ');
    return out;
}

int DecodeSdfHeader(const char* data, std::size_t size, std::int64_t fileSize, SeriesHeader& out) {
    if (size < 256 || fileSize < 256) return 0;
    std::string text(data, 210);
    if (auto nul = text.find('\0'); nul != std::string::npos) text.resize(nul);
    if (text.size() <= kMagicLen || text.compare(0, kMagicLen, kMagic) != 0) return 0;
    char vc = text[kMagicLen];
    if (vc < '1' || vc > '4') return 0;
    int version = vc - '0';

    SeriesHeader h;
    h.Memo = text.size() > 50 ? DecodeCp932Lenient(text.substr(50)) : std::string();
    const char* p = data + 210;
    h.NchInterval = Get<std::int16_t>(p);
    h.NchBurst = Get<std::int16_t>(p + 2);
    h.SampleSize = Get<std::int32_t>(p + 4);
    h.SInt = Get<std::int32_t>(p + 8);
    if (version == 1) {
        h.Iteration = Get<std::int16_t>(p + 12);
        h.BInt = Get<std::int32_t>(p + 14);
        h.StartTime = Get<double>(p + 18);
        h.SIntUnit = 1;
        h.BIntUnit = 1;
    } else {
        h.SIntUnit = Get<std::uint8_t>(p + 12);
        h.Iteration = Get<std::int16_t>(p + 13);
        h.BInt = Get<std::int32_t>(p + 15);
        h.BIntUnit = Get<std::uint8_t>(p + 19);
        h.StartTime = Get<double>(p + 20);
    }

    // Everything below bounds what a later allocation or seek may ask for.
    if (h.NchInterval < 0 || h.NchBurst < 0 || h.ChannelCount() > MaxChannels) return 0;
    if (h.SampleSize < 0 || h.Iteration < 0) return 0;
    if (h.SIntUnit >= TimeUnitCount || h.BIntUnit >= TimeUnitCount) return 0;
    if (!(h.StartTime >= kMinDate && h.StartTime < kMaxDate)) return 0;
    int blocks = SdfHeaderBlocks(h);
    if (size < static_cast<std::size_t>(256 * blocks)) return 0;
    std::int64_t words = static_cast<std::int64_t>(h.SampleSize) * h.NchInterval + h.NchBurst;
    if (h.Iteration == 0 && words > MaxSamplesWithoutBursts) return 0;
    // A file cut short after some bursts stays readable (a reader of a missing burst says
    // so), but burst 0 must be there: it is what the arrays are sized for.
    std::int64_t need = 256LL * blocks;
    if (h.Iteration > 0) need += 2 * words;
    if (need > fileSize) return 0;

    for (int i = 0; i < h.ChannelCount(); ++i) {
        const char* e = data + 256 + 32 * i;
        std::string names(e, 24);
        if (auto nul = names.find('\0'); nul != std::string::npos) names.resize(nul);
        h.ItemName[i] = DecodeCp932Lenient(TrimTail(names.substr(0, 16)));
        h.UnitName[i] = names.size() > 16 ? DecodeCp932Lenient(TrimTail(names.substr(16))) : "";
        h.CoefA[i] = Get<float>(e + 24);
        h.CoefB[i] = Get<float>(e + 28);
    }
    out = std::move(h);
    return version;
}

bool SeriesStore::ReadSdfHeader(const std::string& fileName, Prompter& prompter, Progress& progress) {
    if (std::string problem = InputFileProblem(fileName); !problem.empty()) {
        prompter.Error(problem);
        return false;
    }
    std::ifstream in(fileName, std::ios::binary);
    if (!in) {
        prompter.Error(ErrOpen(fileName));
        return false;
    }
    std::int64_t fileSize = series_detail::StreamSize(in);
    std::vector<char> buf(static_cast<std::size_t>(std::min<std::int64_t>(fileSize, SdfMaxHeaderBytes)));
    in.read(buf.data(), static_cast<std::streamsize>(buf.size()));
    SeriesHeader h;
    int version = in ? DecodeSdfHeader(buf.data(), buf.size(), series_detail::ContentBytes(fileName, fileSize), h) : 0;
    in.close();
    if (version == 0) {
        prompter.Error("フォーマットが違います。");
        return false;
    }
    return FinishSdfHeader(h, version, fileName, prompter, progress);
}

bool SeriesStore::FinishSdfHeader(const SeriesHeader& h, int version, const std::string& fileName,
                                  Prompter& prompter, Progress& progress) {
    SeriesHeader loaded = h;
    int layout = 4;
    if (version < 4 && !ConvertOldInPlace) {
        if (version == 1) {
            SplitMilliseconds(loaded.SInt, loaded.SIntUnit);
            SplitMilliseconds(loaded.BInt, loaded.BIntUnit);
        }
        layout = version;
    } else if (version < 4) {
        if (!prompter.Confirm("データの形式が旧式です。更新してよろしいですか。")) return false;
        // The conversion runs on a store of its own: a cancel leaves this one as it was.
        SeriesStore conv;
        conv.header = h;
        conv.OutputFileName = OutputFileName;
        if (!conv.UpdateOldSdf(version, fileName, progress)) return false;
        loaded = conv.header;
        if (version == 1 && onUnitsConverted) onUnitsConverted(loaded.SIntUnit, loaded.BIntUnit);
    }
    header = std::move(loaded);
    LastSdfVersion = version;
    layoutVersion_ = layout;
    HeaderBlocks = SdfHeaderBlocks(header);
    BlockBytes = SdfBlockBytes(header);
    AllocateSeriesData();
    if (onSdfHeaderRead) onSdfHeaderRead();
    return true;
}

bool SeriesStore::UpdateOldSdf(int version, const std::string& fileName, Progress& progress) {
    if (version == 1) {
        SplitMilliseconds(header.SInt, header.SIntUnit);
        SplitMilliseconds(header.BInt, header.BIntUnit);
    }
    AllocateSeriesData();
    // A temporary of this run's own beside the file, renamed over it in one step: there
    // is no moment without either file, and two conversions in one folder never meet.
    SeriesWriter out(*this, fileName);
    bool complete = false;
    try {
        progress.SetProgressComment("ただ今、データ形式の更新中．．．．");
        std::int64_t words = static_cast<std::int64_t>(header.SampleSize) * header.NchInterval + header.NchBurst;
        std::int64_t records = (words + 127) / 128;
        HeaderBlocks = SdfHeaderBlocks(header);
        BlockBytes = SdfBlockBytes(header);
        std::ifstream old(fileName, std::ios::binary);
        if (!old) throw EInOutError(ErrOpen(fileName));
        std::vector<std::int16_t> buf;
        int k = 0;
        for (; k < header.Iteration; ++k) {
            progress.SetProgressPosition(static_cast<int>(std::lround(k * 100.0 / header.Iteration)));
            if (progress.Cancelled()) break;
            old.seekg(256LL * (HeaderBlocks + records * k));
            std::int64_t at = 0;
            const int nchI = header.NchInterval;
            bool ok = ReadWords(old, words, buf, [&](const std::int16_t* w, std::size_t n) {
                for (std::size_t i = 0; i < n; ++i, ++at) {
                    std::int16_t v = w[i] == ErrorRawOld ? ErrorRaw : w[i];
                    std::int64_t inRows = static_cast<std::int64_t>(header.SampleSize) * nchI;
                    if (at < inRows) IntervalData[at % nchI][at / nchI] = v;
                    else BurstData[at - inRows] = v;
                }
            });
            if (!ok) throw EInOutError("ファイル「" + fileName + "」を読み込めません。");
            out.WriteBurst(k);
        }
        complete = k == header.Iteration;
        progress.Hide();
    } catch (...) {
        progress.Hide();
        throw;
    }
    if (!complete) return false;
    out.Commit();
    return true;
}

bool SeriesStore::WriteSdfHeader(const std::string& fileName) {
    std::vector<char> bytes;
    try {
        bytes = EncodeSdfHeader(header);
    } catch (const std::exception&) {
        return false;
    }
    errno = 0;
    std::fstream out;
    if (FileExists(fileName)) out.open(fileName, std::ios::binary | std::ios::in | std::ios::out);
    else out.open(fileName, std::ios::binary | std::ios::out);
    if (out) {
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
    }
    LastWriteErrno = out.fail() ? errno : 0;
    return !out.fail();
}

void SeriesStore::WriteSdfBurst(int burst) {
    const int nchI = std::max<int>(0, header.NchInterval);
    const int nchB = std::max<int>(0, header.NchBurst);
    const std::size_t samples = static_cast<std::size_t>(std::max(0, header.SampleSize));
    if (burst < 0 || nchI + nchB > MaxChannels) throw OrvaneError("バースト番号またはチャンネル数が不正です。");
    for (int ch = 0; ch < nchI; ++ch)
        if (IntervalData[ch].size() < samples) throw OrvaneError("時系列データの領域が確保されていません。");
    if (BurstData.size() < static_cast<std::size_t>(nchB)) throw OrvaneError("時系列データの領域が確保されていません。");
    HeaderBlocks = SdfHeaderBlocks(header);
    BlockBytes = SdfBlockBytes(header);

    errno = 0;
    std::fstream out(OutputFileName, std::ios::binary | std::ios::in | std::ios::out);
    if (!out) throw EInOutError(ErrOpen(OutputFileName), errno);
    out.seekp(256LL * HeaderBlocks + burst * BlockBytes);
    std::vector<std::int16_t> buf;
    buf.reserve(kChunkWords + MaxChannels);
    auto flush = [&] {
        out.write(reinterpret_cast<const char*>(buf.data()), static_cast<std::streamsize>(2 * buf.size()));
        buf.clear();
    };
    if (nchI > 0) {
        for (std::size_t s = 0; s < samples; ++s) {
            for (int ch = 0; ch < nchI; ++ch) buf.push_back(IntervalData[ch][s]);
            if (buf.size() >= kChunkWords) flush();
        }
    }
    for (int j = 0; j < nchB; ++j) buf.push_back(BurstData[j]);
    flush();
    out.close();
    if (out.fail()) {
        const int err = errno;
        throw EInOutError(ErrWrite(OutputFileName, err), err);
    }
}

std::int64_t SeriesStore::SdfBurstOffset(int burst) const {
    if (layoutVersion_ == 4) return 256LL * HeaderBlocks + burst * BlockBytes;
    // Versions 1-3 start every burst on a 256-byte record.
    std::int64_t words = static_cast<std::int64_t>(header.SampleSize) * header.NchInterval + header.NchBurst;
    return 256LL * (HeaderBlocks + (words + 127) / 128 * burst);
}

bool SeriesStore::ReadSdfBurst(int burst) {
    std::ifstream in(DataFileName, std::ios::binary);
    if (!in) return false;
    return ReadSdfBurst(in, burst);
}

bool SeriesStore::ReadSdfBurst(std::istream& in, int burst) {
    const int nchI = header.NchInterval, nchB = header.NchBurst;
    if (burst < 0 || nchI < 0 || nchB < 0 || nchI + nchB > MaxChannels || header.SampleSize < 0) return false;
    const std::size_t samples = static_cast<std::size_t>(header.SampleSize);
    bool sized = BurstData.size() == static_cast<std::size_t>(nchB);
    for (int ch = 0; ch < nchI && sized; ++ch) sized = IntervalData[ch].size() == samples;
    if (!sized) AllocateSeriesData();
    in.seekg(SdfBurstOffset(burst));
    if (!in) return false;
    std::vector<std::int16_t> buf;
    std::int64_t inRows = static_cast<std::int64_t>(samples) * nchI, at = 0;
    const bool old = layoutVersion_ < 4;
    return ReadWords(in, inRows + nchB, buf, [&](const std::int16_t* w, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i, ++at) {
            std::int16_t v = old && w[i] == ErrorRawOld ? ErrorRaw : w[i];
            if (at < inRows) IntervalData[at % nchI][at / nchI] = v;
            else BurstData[at - inRows] = v;
        }
    });
}

bool SeriesStore::ReadSdfChannel(int burst, int channel, std::span<float> values) {
    std::ifstream in(DataFileName, std::ios::binary);
    if (!in) return false;
    return ReadSdfChannel(in, burst, channel, values);
}

bool SeriesStore::ReadSdfChannel(std::istream& in, int burst, int channel, std::span<float> values) {
    const int nchI = header.NchInterval;
    if (burst < 0 || channel < 0 || channel >= nchI || nchI > MaxChannels || header.SampleSize < 0 ||
        values.size() < static_cast<std::size_t>(header.SampleSize))
        return false;
    in.seekg(SdfBurstOffset(burst));
    if (!in) return false;
    const std::int16_t missing = layoutVersion_ < 4 ? ErrorRawOld : ErrorRaw;
    const double a = header.CoefA[channel], b = header.CoefB[channel];
    std::vector<std::int16_t> buf;
    std::int64_t at = 0;
    return ReadWords(in, static_cast<std::int64_t>(header.SampleSize) * nchI, buf,
                     [&](const std::int16_t* w, std::size_t n) {
                         for (std::size_t i = 0; i < n; ++i, ++at) {
                             if (at % nchI != channel) continue;
                             values[static_cast<std::size_t>(at / nchI)] =
                                 w[i] == missing || w[i] == ErrorRaw ? ErrorValue
                                                                     : static_cast<float>(w[i] * a + b);
                         }
                     });
}

}  // namespace orvane
