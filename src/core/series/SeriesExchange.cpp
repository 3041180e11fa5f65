#include "core/series/SeriesExchange.h"

#include <netcdf.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>

#include "core/runtime/DateTime.h"
#include "core/runtime/Errors.h"
#include "core/runtime/NumberText.h"

namespace orvane {
namespace fs = std::filesystem;

std::string ChannelTitle(const SeriesHeader& h, int ch) {
    return h.UnitName[ch].empty() ? h.ItemName[ch] : h.ItemName[ch] + "(" + h.UnitName[ch] + ")";
}

namespace {

constexpr std::int64_t kMsPerDay = 86400000;
constexpr std::uintmax_t kMaxImportBytes = std::uintmax_t{1} << 30;

void Poll(const std::function<void()>& poll) {
    if (poll) poll();
}

// A temporary file beside the target, removed unless Keep() renamed it into place.
class PartFile {
public:
    explicit PartFile(const std::string& target) : target_(target), part_(target + ".part~") {
        std::error_code ec;
        fs::remove(part_, ec);
    }
    ~PartFile() {
        if (!kept_) {
            std::error_code ec;
            fs::remove(part_, ec);
        }
    }
    const std::string& Path() const { return part_; }
    void Keep() {
        std::error_code ec;
        fs::rename(part_, target_, ec);
        if (ec) throw EInOutError("ファイル「" + target_ + "」に書き込めません。");
        kept_ = true;
    }
private:
    std::string target_, part_;
    bool kept_ = false;
};

std::pair<int, int> BurstRange(const SeriesFile& f, int burst) {
    const int n = std::max<int>(0, f.header.Iteration);
    if (burst < 0) return {0, n};
    if (burst >= n) throw OrvaneError("バースト" + std::to_string(burst + 1) + "はありません (バースト数 " +
                                      std::to_string(n) + ")。");
    return {burst, burst + 1};
}

bool WholeSeconds(const SeriesFile& f) {
    const double sample = f.SampleSeconds() * 1000, burst = f.BurstSeconds() * 1000;
    return std::fmod(sample, 1000) == 0 && std::fmod(burst, 1000) == 0 &&
           SampleMilliseconds(f, 0, 0) % 1000 == 0;
}

}  // namespace

std::int64_t SampleMilliseconds(const SeriesFile& f, int burst, std::int64_t sample) {
    const std::int64_t start = std::llround(f.header.StartTime * kMsPerDay);
    return start + std::llround(burst * f.BurstSeconds() * 1000 + static_cast<double>(sample) * f.SampleSeconds() * 1000);
}

std::string IsoDateTime(std::int64_t ms, bool millis) {
    std::int64_t days = ms >= 0 ? ms / kMsPerDay : -((-ms + kMsPerDay - 1) / kMsPerDay);
    std::int64_t rest = ms - days * kMsPerDay;
    const DateTimeParts d = DecodeDateTime(static_cast<double>(days));
    char buf[48];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d", d.year, d.month, d.day,
                  static_cast<int>(rest / 3600000), static_cast<int>(rest / 60000 % 60),
                  static_cast<int>(rest / 1000 % 60));
    std::string text = buf;
    if (millis) {
        std::snprintf(buf, sizeof buf, ".%03d", static_cast<int>(rest % 1000));
        text += buf;
    }
    return text;
}

void ExportSeriesCsv(const SeriesFile& f, const std::string& path, const ExportOptions& options) {
    const auto& h = f.header;
    const auto [first, last] = BurstRange(f, options.burst);
    const bool several = last - first > 1;
    const bool millis = !WholeSeconds(f);
    AtomicTextWriter out(path, options.encoding);
    std::string line = several ? "time,burst" : "time";
    for (int ch = 0; ch < h.NchInterval; ++ch) line += "," + CsvQuoted(ChannelTitle(h, ch));
    out.WriteLine(line);
    char buf[40];
    for (int k = first; k < last; ++k) {
        for (std::int64_t s = 0; s < h.SampleSize; ++s) {
            if (s % 4096 == 0) Poll(options.poll);
            line = IsoDateTime(SampleMilliseconds(f, k, s), millis);
            if (several) line += "," + std::to_string(k + 1);
            for (int ch = 0; ch < h.NchInterval; ++ch) {
                line += ',';
                const std::int16_t raw = f.Interval(k, s, ch);
                if (raw != ErrorRaw)
                    line.append(buf, static_cast<std::size_t>(FormatGeneral7(f.Physical(ch, raw), buf)));
            }
            out.WriteLine(line);
        }
    }
    Poll(options.poll);
    out.Commit();
}

namespace {

void Nc(int status, const std::string& path) {
    if (status == NC_NOERR) return;
    // Positive statuses are the system's errno values; the library's own texts are English.
    std::string reason = status > 0 ? IoErrorText(status)
                         : status == NC_EHDFERR
                             ? std::string("書き込みに失敗しました (ディスクの空き容量が足りないなど)")
                             : std::string("netCDF ライブラリのエラー ") + std::to_string(status);
    throw EInOutError("netCDFファイル「" + path + "」を書けません: " + reason, status > 0 ? status : 0);
}

// netCDF names: no "/" nor control characters, not starting with "_"; unique.
std::string VariableName(const std::string& item, int ch, std::set<std::string>& used) {
    std::string name;
    for (unsigned char c : item) name += (c < 0x20 || c == '/' || c == 0x7f) ? '_' : static_cast<char>(c);
    while (!name.empty() && name.back() == ' ') name.pop_back();
    if (name.empty() || name[0] == '_' || name[0] == ' ') name = "ch" + std::to_string(ch + 1) + name;
    if (name == "time" || name == "burst" || name == "burst_time") name += "_" + std::to_string(ch + 1);
    std::string unique = name;
    for (int n = 2; used.count(unique); ++n) unique = name + "_" + std::to_string(n);
    used.insert(unique);
    return unique;
}

void TextAttribute(int nc, int var, const char* name, const std::string& value, const std::string& path) {
    Nc(nc_put_att_text(nc, var, name, value.size(), value.c_str()), path);
}

}  // namespace

void ExportSeriesNetcdf(const SeriesFile& f, const std::string& path, const ExportOptions& options) {
    const auto& h = f.header;
    const auto [first, last] = BurstRange(f, options.burst);
    const std::size_t samples = static_cast<std::size_t>(std::max(0, h.SampleSize));
    const std::size_t bursts = static_cast<std::size_t>(last - first);
    const std::size_t rows = samples * bursts;
    const bool millis = !WholeSeconds(f);
    const std::int64_t startMs = SampleMilliseconds(f, first, 0);
    PartFile part(path);
    int nc = -1;
    try {
        Nc(nc_create(part.Path().c_str(), NC_NETCDF4 | NC_CLOBBER, &nc), path);
        int timeDim = 0, burstDim = 0, timeVar = 0, burstTimeVar = 0;
        Nc(nc_def_dim(nc, "time", rows, &timeDim), path);
        Nc(nc_def_var(nc, "time", NC_DOUBLE, 1, &timeDim, &timeVar), path);
        std::string start = IsoDateTime(startMs, millis);
        start[10] = ' ';
        const std::string units = "seconds since " + start;
        TextAttribute(nc, timeVar, "units", units, path);
        TextAttribute(nc, timeVar, "calendar", "standard", path);
        TextAttribute(nc, timeVar, "standard_name", "time", path);
        TextAttribute(nc, timeVar, "axis", "T", path);
        if (h.NchBurst > 0) {
            Nc(nc_def_dim(nc, "burst", bursts, &burstDim), path);
            Nc(nc_def_var(nc, "burst_time", NC_DOUBLE, 1, &burstDim, &burstTimeVar), path);
            TextAttribute(nc, burstTimeVar, "units", units, path);
            TextAttribute(nc, burstTimeVar, "calendar", "standard", path);
            TextAttribute(nc, burstTimeVar, "long_name", "start of burst", path);
        }
        std::set<std::string> used{"time", "burst_time"};
        std::vector<int> vars(static_cast<std::size_t>(h.ChannelCount()));
        const float fill = NC_FILL_FLOAT;
        for (int ch = 0; ch < h.ChannelCount(); ++ch) {
            const bool interval = ch < h.NchInterval;
            Nc(nc_def_var(nc, VariableName(h.ItemName[ch], ch, used).c_str(), NC_FLOAT, 1,
                          interval ? &timeDim : &burstDim, &vars[ch]),
               path);
            Nc(nc_def_var_fill(nc, vars[ch], 0, &fill), path);
            TextAttribute(nc, vars[ch], "long_name", h.ItemName[ch], path);
            TextAttribute(nc, vars[ch], "units", h.UnitName[ch], path);
            Nc(nc_put_att_float(nc, vars[ch], "scale_of_counts", NC_FLOAT, 1, &h.CoefA[ch]), path);
            Nc(nc_put_att_float(nc, vars[ch], "offset_of_counts", NC_FLOAT, 1, &h.CoefB[ch]), path);
        }
        std::string memo = h.Memo;
        while (!memo.empty() && static_cast<unsigned char>(memo.back()) <= ' ') memo.pop_back();
        TextAttribute(nc, NC_GLOBAL, "Conventions", "CF-1.8", path);
        TextAttribute(nc, NC_GLOBAL, "title", memo, path);
        TextAttribute(nc, NC_GLOBAL, "comment", memo, path);
        TextAttribute(nc, NC_GLOBAL, "source", f.kind == SeriesKind::SDF ? "SDF" : "TSD", path);
        TextAttribute(nc, NC_GLOBAL, "sampling_interval",
                      std::to_string(h.SInt) + " " + UnitName(h.SIntUnit), path);
        TextAttribute(nc, NC_GLOBAL, "burst_interval", std::to_string(h.BInt) + " " + UnitName(h.BIntUnit), path);
        const int counts[] = {static_cast<int>(bursts), h.SampleSize, first + 1};
        Nc(nc_put_att_int(nc, NC_GLOBAL, "burst_count", NC_INT, 1, &counts[0]), path);
        Nc(nc_put_att_int(nc, NC_GLOBAL, "samples_per_burst", NC_INT, 1, &counts[1]), path);
        Nc(nc_put_att_int(nc, NC_GLOBAL, "first_burst", NC_INT, 1, &counts[2]), path);
        Nc(nc_enddef(nc), path);

        std::vector<double> times(rows);
        for (std::size_t k = 0; k < bursts; ++k)
            for (std::size_t s = 0; s < samples; ++s)
                times[k * samples + s] =
                    static_cast<double>(SampleMilliseconds(f, first + static_cast<int>(k), static_cast<std::int64_t>(s)) -
                                        startMs) / 1000.0;
        if (rows) Nc(nc_put_var_double(nc, timeVar, times.data()), path);
        std::vector<float> values(rows);
        for (int ch = 0; ch < h.NchInterval; ++ch) {
            Poll(options.poll);
            for (std::size_t k = 0; k < bursts; ++k)
                for (std::size_t s = 0; s < samples; ++s) {
                    const std::int16_t raw = f.Interval(first + static_cast<int>(k), static_cast<std::int64_t>(s), ch);
                    values[k * samples + s] = raw == ErrorRaw ? fill : f.Physical(ch, raw);
                }
            if (rows) Nc(nc_put_var_float(nc, vars[ch], values.data()), path);
        }
        if (h.NchBurst > 0) {
            std::vector<double> starts(bursts);
            for (std::size_t k = 0; k < bursts; ++k) starts[k] = times[k * samples];
            if (bursts) Nc(nc_put_var_double(nc, burstTimeVar, starts.data()), path);
            std::vector<float> b(bursts);
            for (int j = 0; j < h.NchBurst; ++j) {
                for (std::size_t k = 0; k < bursts; ++k) {
                    const std::int16_t raw = f.burst[(first + k) * static_cast<std::size_t>(h.NchBurst) + j];
                    b[k] = raw == ErrorRaw ? fill : f.Physical(h.NchInterval + j, raw);
                }
                if (bursts) Nc(nc_put_var_float(nc, vars[h.NchInterval + j], b.data()), path);
            }
        }
        Poll(options.poll);
        const int closing = nc;
        nc = -1;
        Nc(nc_close(closing), path);
    } catch (...) {
        if (nc >= 0) nc_close(nc);
        throw;
    }
    part.Keep();
}

// ---------------------------------------------------------------------------------------

namespace {

// RFC 4180 fields of one line (no line breaks inside quotes).
std::vector<std::string> CsvFields(const std::string& line, std::size_t lineNo) {
    std::vector<std::string> fields;
    std::string field;
    std::size_t i = 0;
    for (;;) {
        field.clear();
        if (i < line.size() && line[i] == '"') {
            ++i;
            for (;;) {
                if (i >= line.size())
                    throw OrvaneError(std::to_string(lineNo) + "行目の引用符 (\") が閉じていません。");
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += line[i++];
            }
            while (i < line.size() && line[i] != ',') ++i;  // text after the closing quote
        } else {
            while (i < line.size() && line[i] != ',') field += line[i++];
        }
        fields.push_back(field);
        if (i >= line.size()) break;
        ++i;  // the comma
    }
    return fields;
}

std::string Trim(const std::string& s) {
    const auto a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return "";
    return s.substr(a, s.find_last_not_of(" \t") - a + 1);
}

// ISO 8601 "yyyy-mm-ddThh:mm:ss[.fff]" (or a space for "T"), or "yyyy/mm/dd hh:nn:ss".
std::int64_t ParseTime(const std::string& text, std::size_t lineNo) {
    const std::string t = Trim(text);
    auto bad = [&]() {
        return OrvaneError(std::to_string(lineNo) + "行目の時刻 '" + MessageExcerpt(t) +
                           "' は読めません (yyyy-mm-ddThh:mm:ss または yyyy/mm/dd hh:nn:ss)。");
    };
    if (t.size() >= 19 && t[4] == '-' && t[7] == '-' && (t[10] == 'T' || t[10] == ' ') && t[13] == ':' &&
        t[16] == ':') {
        DateTimeParts p;
        int ms = 0;
        char tail[8] = {};
        int n = std::sscanf(t.c_str(), "%4d-%2d-%2d%*c%2d:%2d:%2d", &p.year, &p.month, &p.day, &p.hour,
                            &p.minute, &p.second);
        if (n != 6) throw bad();
        if (t.size() > 19) {
            if (t[19] != '.' || t.size() > 23 || t.size() == 20) throw bad();
            std::string frac = t.substr(20);
            if (frac.find_first_not_of("0123456789") != std::string::npos) throw bad();
            frac.resize(3, '0');
            ms = std::stoi(frac);
            (void)tail;
        }
        double days;
        try {
            days = EncodeDateTime(p);
        } catch (const OrvaneError&) {
            throw bad();
        }
        return std::llround(days * kMsPerDay) + ms;
    }
    try {
        return std::llround(ParseDateTime(t) * kMsPerDay);
    } catch (const OrvaneError&) {
        throw bad();
    }
}

// Decimals a number text shows: "1.25" 2, "1.5e-3" 4, "1200" 0.
int Decimals(const std::string& text) {
    std::string t = Trim(text);
    int exponent = 0;
    if (auto e = t.find_first_of("eE"); e != std::string::npos) {
        exponent = std::atoi(t.c_str() + e + 1);
        t.resize(e);
    }
    int frac = 0;
    if (auto dot = t.find('.'); dot != std::string::npos) {
        std::size_t end = t.size();
        while (end > dot + 1 && t[end - 1] == '0') --end;
        frac = static_cast<int>(end - dot - 1);
    }
    return std::max(0, frac - exponent);
}

bool FitsCount(double value, double a, double b) {
    const double x = (value - b) / a;
    return std::fabs(x) < 32767.5 && std::llabs(RoundHalfEven(x)) <= 32767;
}

}  // namespace

SeriesFile ImportSeriesCsv(const std::string& path, const ImportOptions& options) {
    RequireInputFile(path);
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    if (ec) throw EInOutError("ファイル「" + path + "」を開けません。");
    if (size > kMaxImportBytes) throw OrvaneError("ファイル「" + path + "」は大きすぎます (1 GB まで)。");
    std::ifstream in(path, std::ios::binary);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (!in.read(bytes.data(), static_cast<std::streamsize>(size)))
        throw EInOutError("ファイル「" + path + "」を読み込めません。");
    const DetectedText enc = DetectTextEncoding(bytes, "「" + path + "」");

    // Lines are taken one at a time from the bytes, never all at once: a file of blank
    // lines costs nothing, and a line far longer than 129 fields can be is refused.
    std::size_t contentEnd = bytes.find_last_not_of(" \t\r\n");
    if (contentEnd == std::string::npos || contentEnd < enc.bom) contentEnd = enc.bom;
    else contentEnd = std::min(bytes.find('\n', contentEnd), bytes.size());  // the last line whole
    const std::size_t lineCount =
        contentEnd > enc.bom ? 1 + static_cast<std::size_t>(std::count(bytes.begin() + static_cast<std::ptrdiff_t>(enc.bom),
                                                                         bytes.begin() + static_cast<std::ptrdiff_t>(contentEnd), '\n'))
                             : 0;
    if (lineCount < 3) throw OrvaneError("「" + path + "」には見出しの行と2行以上のデータが必要です。");
    std::size_t cursor = enc.bom, taken = 0;
    auto nextLine = [&]() {
        std::size_t end = bytes.find('\n', cursor);
        if (end == std::string::npos || end > contentEnd) end = contentEnd;
        ++taken;
        constexpr std::size_t kMaxLine = 1 << 20;
        if (end - cursor > kMaxLine)
            throw OrvaneError(std::to_string(taken) + "行目が長すぎます (1 MB まで)。");
        std::string line = bytes.substr(cursor, end - cursor);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        cursor = end + 1;
        return DecodeLine(line, enc.kind);
    };

    const std::vector<std::string> head = CsvFields(nextLine(), 1);
    const int nch = static_cast<int>(head.size()) - 1;
    if (nch < 1) throw OrvaneError("「" + path + "」には時刻の列のほかにチャンネルの列が必要です。");
    if (nch > MaxChannels) throw OrvaneError("チャンネルの列は " + std::to_string(MaxChannels) + " 列までです。");

    SeriesFile f;
    SeriesHeader& h = f.header;
    h.NchInterval = static_cast<std::int16_t>(nch);
    h.Iteration = 1;
    h.BInt = 0;
    h.BIntUnit = 2;
    std::vector<std::string> names(static_cast<std::size_t>(nch));
    for (int c = 0; c < nch; ++c) {
        std::string title = Trim(head[c + 1]);
        std::string unit;
        if (!title.empty() && title.back() == ')') {
            if (auto open = title.rfind('('); open != std::string::npos && open > 0) {
                unit = Trim(title.substr(open + 1, title.size() - open - 2));
                title = Trim(title.substr(0, open));
            }
        }
        if (title.empty()) throw OrvaneError("1行目の " + std::to_string(c + 2) + " 列目に名前がありません。");
        names[c] = title;
        h.ItemName[c] = CutToCp932Bytes(title, 16);
        h.UnitName[c] = CutToCp932Bytes(unit, 8);
    }
    for (const auto& [name, ab] : options.scales)
        if (std::find(names.begin(), names.end(), name) == names.end())
            throw OrvaneError("--scale の「" + name + "」という列はありません。");

    // Times and texts first: the coefficients depend on every value of a column.
    const std::size_t n = lineCount - 1;
    if (n > static_cast<std::size_t>(INT32_MAX)) throw OrvaneError("データの行が多すぎます。");
    std::vector<std::vector<double>> values(static_cast<std::size_t>(nch), std::vector<double>(n));
    std::vector<int> decimals(static_cast<std::size_t>(nch), 0);
    std::int64_t first = 0, step = 0, previous = 0;
    for (std::size_t r = 0; r < n; ++r) {
        if (r % 4096 == 0) Poll(options.poll);
        const std::size_t lineNo = r + 2;
        const std::vector<std::string> fields = CsvFields(nextLine(), lineNo);
        if (fields.size() != head.size())
            throw OrvaneError(std::to_string(lineNo) + "行目の列の数 (" + std::to_string(fields.size()) +
                              ") が見出し (" + std::to_string(head.size()) + ") と違います。");
        const std::int64_t t = ParseTime(fields[0], lineNo);
        if (r == 0) first = t;
        else if (r == 1) step = t - previous;
        if (r >= 1 && (step <= 0 || t - previous != step))
            throw OrvaneError(std::to_string(lineNo) + "行目の時刻の間隔が一定ではありません (" +
                              IsoDateTime(previous, true) + " → " + IsoDateTime(t, true) + ")。");
        previous = t;
        for (int c = 0; c < nch; ++c) {
            const std::string text = Trim(fields[c + 1]);
            if (text.empty() || text == "=") {
                values[c][r] = std::nan("");
                continue;
            }
            double v;
            try {
                v = StrToFloat(text);
            } catch (const OrvaneError&) {
                throw OrvaneError(std::to_string(lineNo) + "行目の「" + names[c] + "」の値 '" + MessageExcerpt(text) +
                                  "' は数値ではありません。");
            }
            if (!std::isfinite(v))
                throw OrvaneError(std::to_string(lineNo) + "行目の「" + names[c] + "」の値は有限の数ではありません。");
            values[c][r] = v;
            decimals[c] = std::max(decimals[c], Decimals(text));
        }
    }
    if (step > INT32_MAX) throw OrvaneError("時刻の間隔が長すぎます。");
    h.SampleSize = static_cast<std::int32_t>(n);
    h.SInt = static_cast<std::int32_t>(step);
    SplitMilliseconds(h.SInt, h.SIntUnit);
    h.StartTime = static_cast<double>(first) / kMsPerDay;
    h.Memo = CutToCp932Bytes(fs::path(path).filename().string(), 160);

    for (int c = 0; c < nch; ++c) {
        const auto& v = values[c];
        double lo = INFINITY, hi = -INFINITY;
        for (double x : v)
            if (!std::isnan(x)) lo = std::min(lo, x), hi = std::max(hi, x);
        float a = 1, b = 0;
        if (auto given = options.scales.find(names[c]); given != options.scales.end()) {
            a = static_cast<float>(given->second.first);
            b = static_cast<float>(given->second.second);
            // A file keeps single-precision coefficients: one that overflows there would
            // make every value infinite or NaN.
            if (!std::isfinite(a) || !std::isfinite(b))
                throw OrvaneError("--scale の「" + names[c] + "」の係数 (A=" + FormatShortest(given->second.first) +
                                  ", B=" + FormatShortest(given->second.second) +
                                  ") は単精度の範囲 (絶対値 3.4E38 まで) の有限の数にしてください。");
            if (a == 0) throw OrvaneError("--scale の「" + names[c] + "」の A は 0 にできません。");
        } else if (lo <= hi) {
            a = static_cast<float>(std::pow(10.0, -std::min(decimals[c], 30)));
            if (!FitsCount(lo, a, 0) || !FitsCount(hi, a, 0)) b = static_cast<float>(RoundHalfEven((lo + hi) / 2 / a) * a);
            if (!FitsCount(lo, a, b) || !FitsCount(hi, a, b))
                throw OrvaneError("「" + names[c] + "」の値 (" + FormatShortest(lo) + " ～ " + FormatShortest(hi) +
                                  ") は分解能 " + FormatGeneral(a, 7) +
                                  " では16ビットの整数に収まりません。--scale " + names[c] +
                                  "=A,B で係数を指定して下さい。");
        }
        h.CoefA[c] = a;
        h.CoefB[c] = b;
    }
    f.interval.resize(n * static_cast<std::size_t>(nch));
    for (std::size_t r = 0; r < n; ++r)
        for (int c = 0; c < nch; ++c) {
            const double v = values[c][r];
            std::int16_t raw = ErrorRaw;
            if (!std::isnan(v)) {
                if (!FitsCount(v, h.CoefA[c], h.CoefB[c]))
                    throw OrvaneError(std::to_string(r + 2) + "行目の「" + names[c] + "」の値 " + FormatShortest(v) +
                                      " は係数 A=" + FormatGeneral(h.CoefA[c], 7) + ", B=" + FormatGeneral(h.CoefB[c], 7) +
                                      " では16ビットの整数に収まりません。");
                raw = static_cast<std::int16_t>(
                    RoundHalfEven((v - static_cast<double>(h.CoefB[c])) / static_cast<double>(h.CoefA[c])));
            }
            f.interval[r * static_cast<std::size_t>(nch) + c] = raw;
        }
    return f;
}

void WriteSeriesFile(const SeriesFile& f, const std::string& path) {
    SeriesStore store;
    store.header = f.header;
    store.AllocateSeriesData();
    const auto& h = f.header;
    const bool sdf = HasSdfExtension(path);
    if (!sdf) {
        if (std::string problem = TsdTableProblem(h); !problem.empty()) throw OrvaneError(problem);
    }
    PartFile part(path);
    if (!(sdf ? store.WriteSdfHeader(part.Path()) : store.WriteTsdHeader(part.Path())))
        throw EInOutError("ファイル「" + path + "」に書き込めません。");
    store.OutputFileName = part.Path();
    for (int k = 0; k < h.Iteration; ++k) {
        for (int ch = 0; ch < h.NchInterval; ++ch)
            for (std::int64_t s = 0; s < h.SampleSize; ++s) store.IntervalData[ch][s] = f.Interval(k, s, ch);
        for (int j = 0; j < h.NchBurst; ++j) store.BurstData[j] = f.burst[static_cast<std::size_t>(k) * h.NchBurst + j];
        if (sdf) store.WriteSdfBurst(k);
        else store.AppendTsdBurst(k);
    }
    part.Keep();
}

}  // namespace orvane
