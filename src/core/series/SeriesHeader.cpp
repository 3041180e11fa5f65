#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "core/runtime/TextFile.h"
#include "core/series/SeriesStore.h"
#include "core/series/SeriesWriter.h"

namespace orvane {
namespace {

struct TimeUnit {
    const char* name;
    double seconds;
};
constexpr TimeUnit kUnits[TimeUnitCount] = {
    {"usec", 0.000001}, {"msec", 0.001},  {"sec", 1},          {"min", 60},      {"hr", 3600},
    {"days", 86400},    {"wk", 604800},   {"mo", 2592000},     {"yr", 31536000},
};

}  // namespace

const char* UnitName(int index) {
    return index >= 0 && index < TimeUnitCount ? kUnits[index].name : "";
}

double UnitSeconds(int index) {
    return index >= 0 && index < TimeUnitCount ? kUnits[index].seconds : 0.0;
}

int FindUnitIndex(const std::string& line) {
    for (int i = 0; i < TimeUnitCount; ++i)
        if (line.find(kUnits[i].name) != std::string::npos) return i;
    return -1;
}

void SplitMilliseconds(std::int32_t& value, std::uint8_t& unit) {
    if (value % 1000 != 0) { unit = 1; return; }
    value /= 1000;
    if (value % 60 != 0) { unit = 2; return; }
    value /= 60;
    if (value % 60 != 0) { unit = 3; return; }
    value /= 60;
    if (value % 24 != 0) { unit = 4; return; }
    value /= 24;
    unit = 5;
}

int SdfHeaderBlocks(const SeriesHeader& h) {
    int n = std::max(0, h.ChannelCount());
    return 1 + (n + 7) / 8;
}

std::int64_t SdfBlockBytes(const SeriesHeader& h) {
    return 2 * (static_cast<std::int64_t>(h.SampleSize) * h.NchInterval + h.NchBurst);
}

// Both by the one table of series formats.
bool HasSdfExtension(const std::string& fileName) {
    const SeriesFormatInfo* f = SeriesFormatOf(fileName);
    return f && f->format == SeriesFormat::SDF;
}

void KindFromExtension(const std::string& fileName, SeriesKind& kind) {
    const SeriesFormatInfo* f = SeriesFormatOf(fileName);
    if (f && f->format == SeriesFormat::SDF) kind = SeriesKind::SDF;
    else if (f && f->format == SeriesFormat::TSD) kind = SeriesKind::TSD;
}

void SeriesStore::AllocateSeriesData() {
    int nchI = std::clamp<int>(header.NchInterval, 0, MaxChannels);
    std::size_t samples = static_cast<std::size_t>(std::max(0, header.SampleSize));
    for (int ch = 0; ch < MaxChannels; ++ch) {
        if (ch < nchI) IntervalData[ch].assign(samples, 0);
        else std::vector<std::int16_t>().swap(IntervalData[ch]);
    }
    BurstData.assign(static_cast<std::size_t>(std::clamp<int>(header.NchBurst, 0, MaxChannels)), 0);
}

int SplitFields(std::string_view line, std::array<std::string_view, TsdMaxFields>& out) {
    int count = 0;
    while (true) {
        std::size_t comma = line.find(',');
        if (comma == std::string_view::npos || count == TsdMaxFields - 1) {
            // The 129th field ends at its own comma; anything after it is dropped.
            out[count++] = line.substr(0, comma);
            return count;
        }
        out[count++] = line.substr(0, comma);
        line.remove_prefix(comma + 1);
    }
}

std::string StripQuotes(const std::string& text) {
    std::string s = text;
    if (!s.empty() && s.front() == '\'') s.erase(0, 1);
    if (!s.empty() && s.back() == '\'') s.pop_back();
    return s;
}

int FormatGeneral7(double value, char* buf) {
    if (std::isnan(value)) { std::memcpy(buf, "NAN", 4); return 3; }
    if (std::isinf(value)) {
        const char* t = value < 0 ? "-INF" : "INF";
        std::strcpy(buf, t);
        return static_cast<int>(std::strlen(t));
    }
    if (value == 0.0) { buf[0] = '0'; buf[1] = 0; return 1; }
    char tmp[32];
    // to_chars rounds exactly as printf's %.6e does, several times faster.
    auto res = std::to_chars(tmp, tmp + sizeof tmp - 1, value, std::chars_format::scientific, 6);
    *res.ptr = 0;
    const char* p = tmp;
    char* o = buf;
    if (*p == '-') { *o++ = '-'; ++p; }
    char digits[8];
    int nd = 0;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') digits[nd++] = *p;
    int exponent = *p == 'e' ? std::atoi(p + 1) : 0;
    while (nd > 1 && digits[nd - 1] == '0') --nd;
    if (exponent >= -4 && exponent < 7) {
        if (exponent < 0) {
            *o++ = '0';
            *o++ = '.';
            for (int i = 0; i < -exponent - 1; ++i) *o++ = '0';
            for (int i = 0; i < nd; ++i) *o++ = digits[i];
        } else {
            int intLen = exponent + 1;
            for (int i = 0; i < intLen; ++i) *o++ = i < nd ? digits[i] : '0';
            if (nd > intLen) {
                *o++ = '.';
                for (int i = intLen; i < nd; ++i) *o++ = digits[i];
            }
        }
    } else {
        *o++ = digits[0];
        if (nd > 1) {
            *o++ = '.';
            for (int i = 1; i < nd; ++i) *o++ = digits[i];
        }
        *o++ = 'E';
        o += std::snprintf(o, 8, "%d", exponent);
    }
    *o = 0;
    return static_cast<int>(o - buf);
}

std::string TsdTableProblem(const SeriesHeader& h) {
    int n = std::clamp(h.ChannelCount(), 0, ChannelTableSize);
    for (int i = 0; i < n; ++i) {
        if (h.ItemName[i].find(',') != std::string::npos || h.UnitName[i].find(',') != std::string::npos)
            return "チャンネル" + std::to_string(i + 1) +
                   "の項目名または単位に「,」があります。TSDファイルには「,」を含む名前を保存できません。";
    }
    return {};
}

}  // namespace orvane

#include <charconv>
#include "core/runtime/NumberText.h"
#include "core/series/SeriesInternal.h"

namespace orvane::series_detail {

std::string DecodeCp932Lenient(const std::string& bytes) {
    try {
        return Cp932ToUtf8(bytes);
    } catch (const std::exception&) {
    }
    // Character by character: a lead byte with its trail, or a single byte.
    std::string out;
    for (std::size_t i = 0; i < bytes.size();) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        std::size_t len = lead && i + 1 < bytes.size() ? 2 : 1;
        try {
            out += Cp932ToUtf8(bytes.substr(i, len));
        } catch (const std::exception&) {
            out += '?';
        }
        i += len;
    }
    return out;
}

std::string KeepCp932Characters(const std::string& utf8) {
    try {
        Utf8ToCp932(utf8);
        return utf8;
    } catch (const std::exception&) {
    }
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        std::size_t len = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        const std::string one = utf8.substr(i, len);
        try {
            Utf8ToCp932(one);
            out += one;
        } catch (const std::exception&) {
            out += '?';
        }
        i += len;
    }
    return out;
}

double ParseNumber(std::string_view field) {
    std::string_view s = field;
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    bool plain = !s.empty();
    for (char c : s)
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == 'e' || c == 'E')) plain = false;
    if (plain) {
        double v = 0;
        auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
        if (ec == std::errc() && ptr == s.data() + s.size() && std::isfinite(v)) return v;
    }
    return StrToFloat(std::string(field));
}

bool LineReader::Next(std::string& line) {
    line.clear();
    if (!std::getline(in_, line)) {
        line.clear();
        return false;
    }
    consumed_ += static_cast<std::int64_t>(line.size()) + (in_.eof() ? 0 : 1);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

bool LineReader::NextBounded(std::string& line, std::size_t maxBytes) {
    line.clear();
    // istream::getline scans the stream's buffer directly; a line longer than the chunk
    // comes in pieces, and the reading stops once it passes maxBytes.
    char chunk[8192];
    bool any = false;
    for (;;) {
        in_.getline(chunk, sizeof chunk);
        const std::streamsize got = in_.gcount();
        consumed_ += got;
        if (got > 0) any = true;
        const bool full = in_.fail() && !in_.eof() && got == static_cast<std::streamsize>(sizeof chunk - 1);
        const std::size_t stored = static_cast<std::size_t>(full || in_.eof() ? got : std::max<std::streamsize>(0, got - 1));
        line.append(chunk, stored);
        if (line.size() > maxBytes) {
            tooLong_ = true;
            line.clear();
            return false;
        }
        if (!full) break;
        in_.clear(in_.rdstate() & ~std::ios::failbit);
    }
    if (!any) {
        line.clear();
        return false;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

std::int64_t ContentBytes(const std::string& fileName, std::int64_t size) {
    int fd = ::open(fileName.c_str(), O_RDONLY);
    if (fd < 0) return size;
    std::int64_t data = 0;
    off_t at = 0;
    // A bounded walk: a file of more extents than this is counted as data from there on.
    for (int extents = 0; at < size; ++extents) {
        off_t start = ::lseek(fd, at, SEEK_DATA);
        if (start < 0) {
            if (errno != ENXIO) data += size - at;  // ENXIO: only a hole is left
            break;
        }
        off_t end = extents < 4096 ? ::lseek(fd, start, SEEK_HOLE) : size;
        if (end < 0) {  // holes not reported by this file system
            data += size - start;
            break;
        }
        data += end - start;
        at = end;
    }
    ::close(fd);
    return data;
}

std::int64_t StreamSize(std::istream& in) {
    auto here = in.tellg();
    in.seekg(0, std::ios::end);
    auto end = in.tellg();
    in.seekg(here);
    return end < 0 ? 0 : static_cast<std::int64_t>(end);
}

}  // namespace orvane::series_detail
