#include "core/series/SeriesExchange.h"

#include <netcdf.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <ctime>
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

void Poll(const CancelFlag* cancel) { ThrowIfCancelled(cancel); }

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

namespace {

// Shortest text that reads back as the same float.
std::string FloatText(float v) {
    char buf[32];
    auto res = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, res.ptr);
}

int ResolutionDecimals(float a, float b) {
    return std::min(17, std::max(TextDecimals(FloatText(a)), TextDecimals(FloatText(b))));
}

}  // namespace

int TextDecimals(const std::string& text) {
    const auto a = text.find_first_not_of(" \t");
    std::string t = a == std::string::npos ? "" : text.substr(a, text.find_last_not_of(" \t") - a + 1);
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

namespace {

std::string CountTextAt(const SeriesHeader& h, int ch, std::int16_t raw, int decimals) {
    if (raw == ErrorRaw) return "";
    const double v = raw * static_cast<double>(h.CoefA[ch]) + static_cast<double>(h.CoefB[ch]);
    char buf[80];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    std::string text = buf;
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0') text.pop_back();
        if (text.back() == '.') text.pop_back();
    }
    if (text == "-0") text = "0";
    return text;
}

}  // namespace

std::string CountText(const SeriesHeader& h, int ch, std::int16_t raw) {
    return CountTextAt(h, ch, raw, ResolutionDecimals(h.CoefA[ch], h.CoefB[ch]));
}

std::string CsvColumnTitle(const SeriesHeader& h, int ch, int finestDecimals) {
    std::string notes = ch >= h.NchInterval ? "burst" : "";
    const float a = h.CoefA[ch], b = h.CoefB[ch];
    const bool found = finestDecimals >= 0 && b == 0 && a == static_cast<float>(std::pow(10.0, -finestDecimals));
    if (!found) notes += (notes.empty() ? "" : " ") + ("A=" + FloatText(a) + " B=" + FloatText(b));
    return notes.empty() ? ChannelTitle(h, ch) : ChannelTitle(h, ch) + " [" + notes + "]";
}

namespace {

// The finest decimal among the texts of channel `ch` over bursts [first, last).
int FinestDecimals(const SeriesFile& f, int ch, int first, int last) {
    const auto& h = f.header;
    const int most = ResolutionDecimals(h.CoefA[ch], h.CoefB[ch]);
    int finest = -1;
    for (int k = first; k < last && finest < most; ++k) {
        if (ch >= h.NchInterval) {
            const std::int16_t raw = f.burst[static_cast<std::size_t>(k) * h.NchBurst + (ch - h.NchInterval)];
            if (raw != ErrorRaw) finest = std::max(finest, TextDecimals(CountTextAt(h, ch, raw, most)));
            continue;
        }
        for (std::int64_t s = 0; s < h.SampleSize && finest < most; ++s)
            if (const std::int16_t raw = f.Interval(k, s, ch); raw != ErrorRaw)
                finest = std::max(finest, TextDecimals(CountTextAt(h, ch, raw, most)));
    }
    return finest;
}

}  // namespace

void ExportSeriesCsv(const SeriesFile& f, const std::string& path, const ExportOptions& options) {
    const auto& h = f.header;
    const auto [first, last] = BurstRange(f, options.burst);
    const bool several = last - first > 1;
    const bool millis = !WholeSeconds(f);
    AtomicTextWriter out(path, options.encoding);
    std::string line = several ? "time,burst" : "time";
    std::vector<int> decimals;
    for (int ch = 0; ch < h.ChannelCount(); ++ch) {
        decimals.push_back(ResolutionDecimals(h.CoefA[ch], h.CoefB[ch]));
        line += "," + CsvQuoted(CsvColumnTitle(h, ch, FinestDecimals(f, ch, first, last)));
    }
    out.WriteLine(line);
    for (int k = first; k < last; ++k) {
        std::string burstValues;
        for (int j = 0; j < h.NchBurst; ++j)
            burstValues += "," + CountTextAt(h, h.NchInterval + j, f.burst[static_cast<std::size_t>(k) * h.NchBurst + j],
                                             decimals[h.NchInterval + j]);
        for (std::int64_t s = 0; s < h.SampleSize; ++s) {
            if (s % 4096 == 0) Poll(options.cancel);
            line = IsoDateTime(SampleMilliseconds(f, k, s), millis);
            if (several) line += "," + std::to_string(k + 1);
            for (int ch = 0; ch < h.NchInterval; ++ch) line += "," + CountTextAt(h, ch, f.Interval(k, s, ch), decimals[ch]);
            out.WriteLine(line + burstValues);
        }
    }
    Poll(options.cancel);
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

// CF names: letters, digits and "_", starting with a letter; a name with other than ASCII
// letters becomes "channel_N" (the original stays in long_name); unique.
std::string VariableName(const std::string& item, int ch, std::set<std::string>& used) {
    std::string name;
    bool ascii = true;
    for (unsigned char c : item) {
        if (c >= 0x80) ascii = false;
        if (std::isalnum(c)) name += static_cast<char>(c);
        else if (!name.empty() && name.back() != '_') name += '_';
    }
    while (!name.empty() && name.back() == '_') name.pop_back();
    if (!ascii || name.empty()) name = "channel_" + std::to_string(ch + 1);
    else if (!std::isalpha(static_cast<unsigned char>(name[0]))) name = "ch_" + name;
    if (name == "time" || name == "burst_time") name += "_" + std::to_string(ch + 1);
    std::string unique = name;
    for (int n = 2; used.count(unique); ++n) unique = name + "_" + std::to_string(n);
    used.insert(unique);
    return unique;
}

// A unit as UDUNITS spells it; "" when the text is not one it knows (non-ASCII).
std::string UdunitsUnit(const std::string& unit) {
    static const std::map<std::string, std::string> known = {
        {"", "1"}, {"-", "1"}, {"℃", "degC"}, {"°C", "degC"}, {"deg C", "degC"}, {"degC", "degC"},
        {"deg", "degree"}, {"度", "degree"}, {"°", "degree"}, {"%", "percent"}, {"‰", "1e-3"},
        {"sec", "s"}, {"秒", "s"}, {"msec", "ms"}, {"min", "min"}, {"分", "min"}, {"hr", "h"},
        {"時間", "h"}, {"m/sec", "m/s"}, {"cm/sec", "cm/s"},
    };
    std::string u = unit;
    while (!u.empty() && u.back() == ' ') u.pop_back();
    if (auto it = known.find(u); it != known.end()) return it->second;
    for (unsigned char c : u)
        if (c >= 0x80) return "";
    return u;
}

// The CF standard name of a channel of the kinds this program records, when its unit fits.
std::string StandardName(const std::string& item, const std::string& units) {
    std::string name;
    for (unsigned char c : item) name += static_cast<char>(std::tolower(c));
    while (!name.empty() && name.back() == ' ') name.pop_back();
    const bool length = units == "m" || units == "cm" || units == "mm";
    const bool period = units == "s";
    if (length && (name == "hs" || name == "h1/3" || name == "h_1/3" || name == "有義波高"))
        return "sea_surface_wave_significant_height";
    if (period && (name == "ts" || name == "t1/3" || name == "t_1/3" || name == "有義波周期"))
        return "sea_surface_wave_significant_period";
    if (period && (name == "tp" || name == "ピーク周期")) return "sea_surface_wave_period_at_variance_spectral_density_maximum";
    if (length && (name == "tide" || name == "潮位" || name == "水位"))
        return "sea_surface_height_above_geopotential_datum";
    return "";
}

// The machine's UTC offset in minutes for a local clock time (days since 1899-12-30).
int LocalOffsetMinutes(double days) {
    const DateTimeParts d = DecodeDateTime(days);
    std::tm local{};
    local.tm_year = d.year - 1900;
    local.tm_mon = d.month - 1;
    local.tm_mday = d.day;
    local.tm_hour = d.hour;
    local.tm_min = d.minute;
    local.tm_sec = d.second;
    local.tm_isdst = -1;
    std::tm copy = local;
    const std::time_t instant = std::mktime(&copy);
    if (instant == static_cast<std::time_t>(-1)) return 0;
    std::tm utc{};
    gmtime_r(&instant, &utc);
    utc.tm_isdst = 0;
    local = copy;
    return static_cast<int>(std::lround((timegm(&local) - timegm(&utc)) / 60.0));
}

std::string OffsetText(int minutes) {
    char buf[16];
    const int m = std::abs(minutes);
    std::snprintf(buf, sizeof buf, "%c%02d:%02d", minutes < 0 ? '-' : '+', m / 60, m % 60);
    return buf;
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
    // netCDF-4 has no fixed dimension of length 0: such a "time" would be unlimited. A file
    // of burst channels alone has no "time" at all.
    const bool timeAxis = rows > 0;
    if (!timeAxis && (h.NchInterval > 0 || h.NchBurst == 0 || bursts == 0))
        throw OrvaneError("サンプルのない時系列は netCDF に書き出せません。");
    const int offset = options.utcOffsetMinutes ? *options.utcOffsetMinutes
                                                : LocalOffsetMinutes(static_cast<double>(startMs) / kMsPerDay);
    TemporaryFile part(path);
    int nc = -1;
    try {
        Nc(nc_create(part.Path().c_str(), NC_NETCDF4 | NC_CLOBBER, &nc), path);
        int timeDim = 0, burstDim = 0, timeVar = 0, burstTimeVar = 0;
        std::string start = IsoDateTime(startMs, millis);
        start[10] = ' ';
        // The file keeps local clock times: the offset in the units gives readers the instant.
        const std::string units = "seconds since " + start + " " + OffsetText(offset);
        const std::string local = "local clock times of the series (UTC" + OffsetText(offset) +
                                  "); readers that apply the units give the UTC instant";
        if (timeAxis) {
            Nc(nc_def_dim(nc, "time", rows, &timeDim), path);
            Nc(nc_def_var(nc, "time", NC_DOUBLE, 1, &timeDim, &timeVar), path);
            TextAttribute(nc, timeVar, "units", units, path);
            TextAttribute(nc, timeVar, "calendar", "standard", path);
            TextAttribute(nc, timeVar, "standard_name", "time", path);
            TextAttribute(nc, timeVar, "axis", "T", path);
            TextAttribute(nc, timeVar, "comment", local, path);
        }
        if (h.NchBurst > 0) {
            Nc(nc_def_dim(nc, "burst_time", bursts, &burstDim), path);
            Nc(nc_def_var(nc, "burst_time", NC_DOUBLE, 1, &burstDim, &burstTimeVar), path);
            TextAttribute(nc, burstTimeVar, "units", units, path);
            TextAttribute(nc, burstTimeVar, "calendar", "standard", path);
            TextAttribute(nc, burstTimeVar, "long_name", "start of burst", path);
            TextAttribute(nc, burstTimeVar, "comment", local, path);
        }
        std::set<std::string> used{"time", "burst_time"};
        std::vector<int> vars(static_cast<std::size_t>(h.ChannelCount()));
        std::vector<bool> wide(vars.size());
        const float fill = NC_FILL_FLOAT;
        const double wideFill = NC_FILL_DOUBLE;
        for (int ch = 0; ch < h.ChannelCount(); ++ch) {
            const bool interval = ch < h.NchInterval;
            // Float holds every count apart unless the offset is large beside the resolution.
            const double largest = 32767 * std::fabs(static_cast<double>(h.CoefA[ch])) + std::fabs(static_cast<double>(h.CoefB[ch]));
            wide[ch] = largest * std::ldexp(1.0, -22) >= std::fabs(static_cast<double>(h.CoefA[ch]));
            Nc(nc_def_var(nc, VariableName(h.ItemName[ch], ch, used).c_str(), wide[ch] ? NC_DOUBLE : NC_FLOAT, 1,
                          interval ? &timeDim : &burstDim, &vars[ch]),
               path);
            Nc(wide[ch] ? nc_def_var_fill(nc, vars[ch], 0, &wideFill) : nc_def_var_fill(nc, vars[ch], 0, &fill), path);
            TextAttribute(nc, vars[ch], "long_name", h.ItemName[ch], path);
            const std::string units = UdunitsUnit(h.UnitName[ch]);
            if (!units.empty()) TextAttribute(nc, vars[ch], "units", units, path);
            else TextAttribute(nc, vars[ch], "comment", "unit: " + h.UnitName[ch], path);
            if (const std::string standard = StandardName(h.ItemName[ch], units); !standard.empty())
                TextAttribute(nc, vars[ch], "standard_name", standard, path);
            Nc(nc_put_att_float(nc, vars[ch], "scale_of_counts", NC_FLOAT, 1, &h.CoefA[ch]), path);
            Nc(nc_put_att_float(nc, vars[ch], "offset_of_counts", NC_FLOAT, 1, &h.CoefB[ch]), path);
        }
        std::string memo = h.Memo;
        while (!memo.empty() && static_cast<unsigned char>(memo.back()) <= ' ') memo.pop_back();
        TextAttribute(nc, NC_GLOBAL, "Conventions", "CF-1.8", path);
        TextAttribute(nc, NC_GLOBAL, "title", memo, path);
        TextAttribute(nc, NC_GLOBAL, "comment", memo, path);
        TextAttribute(nc, NC_GLOBAL, "source", f.kind == SeriesKind::SDF ? "SDF" : "TSD", path);
        TextAttribute(nc, NC_GLOBAL, "utc_offset_of_local_time", OffsetText(offset), path);
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
        std::vector<double> wideValues;
        auto wideValue = [&](int ch, std::int16_t raw) {
            return raw == ErrorRaw ? wideFill : raw * static_cast<double>(h.CoefA[ch]) + static_cast<double>(h.CoefB[ch]);
        };
        for (int ch = 0; ch < h.NchInterval; ++ch) {
            Poll(options.cancel);
            if (wide[ch]) wideValues.resize(rows);
            for (std::size_t k = 0; k < bursts; ++k)
                for (std::size_t s = 0; s < samples; ++s) {
                    const std::int16_t raw = f.Interval(first + static_cast<int>(k), static_cast<std::int64_t>(s), ch);
                    if (wide[ch]) wideValues[k * samples + s] = wideValue(ch, raw);
                    else values[k * samples + s] = raw == ErrorRaw ? fill : f.Physical(ch, raw);
                }
            Nc(wide[ch] ? nc_put_var_double(nc, vars[ch], wideValues.data()) : nc_put_var_float(nc, vars[ch], values.data()),
               path);
        }
        if (h.NchBurst > 0) {
            std::vector<double> starts(bursts);
            // From the burst's own start: a file of burst channels alone has no samples.
            for (std::size_t k = 0; k < bursts; ++k)
                starts[k] = static_cast<double>(SampleMilliseconds(f, first + static_cast<int>(k), 0) - startMs) / 1000.0;
            if (bursts) Nc(nc_put_var_double(nc, burstTimeVar, starts.data()), path);
            std::vector<float> b(bursts);
            std::vector<double> wideB(bursts);
            for (int j = 0; j < h.NchBurst; ++j) {
                const int ch = h.NchInterval + j;
                for (std::size_t k = 0; k < bursts; ++k) {
                    const std::int16_t raw = f.burst[(first + k) * static_cast<std::size_t>(h.NchBurst) + j];
                    b[k] = raw == ErrorRaw ? fill : f.Physical(ch, raw);
                    wideB[k] = wideValue(ch, raw);
                }
                Nc(wide[ch] ? nc_put_var_double(nc, vars[ch], wideB.data()) : nc_put_var_float(nc, vars[ch], b.data()), path);
            }
        }
        Poll(options.cancel);
        const int closing = nc;
        nc = -1;
        Nc(nc_close(closing), path);
    } catch (...) {
        if (nc >= 0) nc_close(nc);
        throw;
    }
    part.Commit();
}

// ---------------------------------------------------------------------------------------

namespace {

// RFC 4180 fields of one line (no line breaks inside quotes), separated by `sep`.
std::vector<std::string> CsvFields(const std::string& line, std::size_t lineNo, char sep) {
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
            while (i < line.size() && line[i] != sep) ++i;  // text after the closing quote
        } else {
            while (i < line.size() && line[i] != sep) field += line[i++];
        }
        fields.push_back(field);
        if (i >= line.size()) break;
        ++i;  // the separator
    }
    return fields;
}

// The separator of a header line: the most frequent of comma, semicolon and tab outside
// quotes (a comma on a tie).
char DetectSeparator(const std::string& line) {
    int comma = 0, semicolon = 0, tab = 0;
    bool quoted = false;
    for (char c : line) {
        if (c == '"') quoted = !quoted;
        else if (!quoted) comma += c == ',', semicolon += c == ';', tab += c == '\t';
    }
    if (semicolon > comma && semicolon >= tab) return ';';
    if (tab > comma && tab > semicolon) return '\t';
    return ',';
}

std::string Trim(const std::string& s) {
    const auto a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return "";
    return s.substr(a, s.find_last_not_of(" \t") - a + 1);
}

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// A column title: name, unit in (), （） or [], and the export's " [burst A=a B=b]".
struct ColumnTitle {
    std::string name, unit;
    bool burst = false;
    std::optional<std::pair<double, double>> coefficients;
};

ColumnTitle ParseTitle(const std::string& text) {
    ColumnTitle t;
    std::string title = Trim(text);
    if (EndsWith(title, "]")) {
        if (auto open = title.rfind('['); open != std::string::npos && open > 0) {
            std::string inner = title.substr(open + 1, title.size() - open - 2);
            bool notes = true;
            double a = 0, b = 0;
            bool hasA = false, hasB = false, burst = false;
            std::size_t at = 0;
            while (notes && at < inner.size()) {
                std::size_t end = inner.find(' ', at);
                if (end == std::string::npos) end = inner.size();
                const std::string word = inner.substr(at, end - at);
                at = end + 1;
                if (word.empty()) continue;
                if (word == "burst") burst = true;
                else if (word.rfind("A=", 0) == 0) notes = hasA = TryStrToFloat(word.substr(2), a);
                else if (word.rfind("B=", 0) == 0) notes = hasB = TryStrToFloat(word.substr(2), b);
                else notes = false;
            }
            if (notes && (burst || hasA) && hasA == hasB) {
                t.burst = burst;
                if (hasA) t.coefficients = std::make_pair(a, b);
            } else if (!notes) {
                t.unit = Trim(inner);  // "Hs [m]"
            }
            title = Trim(title.substr(0, open));
        }
    }
    if (t.unit.empty()) {
        for (const auto& [open, close] : {std::pair<std::string, std::string>{"(", ")"}, {"（", "）"}}) {
            if (!EndsWith(title, close)) continue;
            const auto at = title.rfind(open);
            if (at == std::string::npos || at == 0) continue;
            t.unit = Trim(title.substr(at + open.size(), title.size() - at - open.size() - close.size()));
            title = Trim(title.substr(0, at));
            break;
        }
    }
    t.name = title;
    return t;
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
        int n = std::sscanf(t.c_str(), "%4d-%2d-%2d%*c%2d:%2d:%2d", &p.year, &p.month, &p.day, &p.hour,
                            &p.minute, &p.second);
        if (n != 6) throw bad();
        if (t.size() > 19) {
            if (t[19] != '.' || t.size() > 23 || t.size() == 20) throw bad();
            std::string frac = t.substr(20);
            if (frac.find_first_not_of("0123456789") != std::string::npos) throw bad();
            frac.resize(3, '0');
            ms = std::stoi(frac);
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

bool FitsCount(double value, double a, double b) {
    const double x = (value - b) / a;
    return std::fabs(x) < 32767.5 && std::llabs(RoundHalfEven(x)) <= 32767;
}

// How far a text can be from the value it stands for when a float was printed to 7
// significant digits: one float unit plus half the 7th digit.
double FloatNoise(double value) {
    const double v = std::fabs(value);
    if (v == 0 || !std::isfinite(v)) return 0;
    const float f = static_cast<float>(v);
    const double unit = static_cast<double>(std::nextafter(f, INFINITY)) - static_cast<double>(f);
    return unit + 0.5 * std::pow(10.0, std::floor(std::log10(v)) - 6);
}

// The coarsest 10^-d, d <= shown, that reproduces every value within its float noise.
int CoarsestDecimals(const std::vector<double>& values, int shown) {
    shown = std::min(shown, 30);
    for (int d = 0; d < shown; ++d) {
        const double scale = std::pow(10.0, d);
        bool ok = true;
        for (double x : values) {
            if (std::isnan(x)) continue;
            if (std::fabs(x - std::round(x * scale) / scale) > FloatNoise(x)) {
                ok = false;
                break;
            }
        }
        if (ok) return d;
    }
    return shown;
}

std::pair<float, float> ChooseCoefficients(const std::vector<double>& v, int shown, const std::string& name) {
    double lo = INFINITY, hi = -INFINITY;
    for (double x : v)
        if (!std::isnan(x)) lo = std::min(lo, x), hi = std::max(hi, x);
    if (!(lo <= hi)) return {1.0f, 0.0f};
    const float a = static_cast<float>(std::pow(10.0, -CoarsestDecimals(v, shown)));
    float b = 0;
    if (!FitsCount(lo, a, 0) || !FitsCount(hi, a, 0)) b = static_cast<float>(RoundHalfEven((lo + hi) / 2 / a) * a);
    if (!FitsCount(lo, a, b) || !FitsCount(hi, a, b))
        throw OrvaneError("「" + name + "」の値 (" + FormatShortest(lo) + " ～ " + FormatShortest(hi) + ") は分解能 " +
                          FormatGeneral(a, 7) + " では16ビットの整数に収まりません。--scale " + name +
                          "=A,B で係数を指定して下さい。");
    return {a, b};
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

    const std::string headLine = nextLine();
    const char sep = DetectSeparator(headLine);
    const std::vector<std::string> head = CsvFields(headLine, 1, sep);
    // Columns: time, then "burst" and "経過時間(s)" when present, then the channels.
    std::size_t col = 1;
    const bool burstColumn = head.size() > col && Trim(head[col]) == "burst";
    if (burstColumn) ++col;
    const bool elapsedColumn = head.size() > col && ParseTitle(head[col]).name == "経過時間";
    if (elapsedColumn) ++col;
    const std::size_t firstChannel = col;
    const int nch = static_cast<int>(head.size()) - static_cast<int>(firstChannel);
    if (nch < 1)
        throw OrvaneError("「" + path + "」には時刻の列のほかにチャンネルの列が必要です。" +
                          (head.size() == 1 ? "列はカンマ (,)、セミコロン (;) またはタブで区切って下さい。" : ""));
    if (nch > MaxChannels) throw OrvaneError("チャンネルの列は " + std::to_string(MaxChannels) + " 列までです。");

    SeriesFile f;
    SeriesHeader& h = f.header;
    std::vector<ColumnTitle> titles(static_cast<std::size_t>(nch));
    for (int c = 0; c < nch; ++c) {
        titles[c] = ParseTitle(head[firstChannel + c]);
        if (titles[c].name.empty())
            throw OrvaneError("1行目の " + std::to_string(firstChannel + c + 1) + " 列目に名前がありません。");
    }
    // Channel order in the file: interval channels, then burst channels, each as in the CSV.
    std::vector<int> order;
    for (int pass = 0; pass < 2; ++pass)
        for (int c = 0; c < nch; ++c)
            if (titles[c].burst == (pass == 1)) order.push_back(c);
    int nBurst = 0;
    for (const auto& t : titles) nBurst += t.burst;
    h.NchInterval = static_cast<std::int16_t>(nch - nBurst);
    h.NchBurst = static_cast<std::int16_t>(nBurst);
    if (h.NchInterval < 1) throw OrvaneError("「" + path + "」にはインターバル記録のチャンネルの列が必要です。");
    for (int i = 0; i < nch; ++i) {
        h.ItemName[i] = CutToCp932Bytes(titles[order[i]].name, 16);
        h.UnitName[i] = CutToCp932Bytes(titles[order[i]].unit, 8);
    }
    for (const auto& scale : options.scales)
        if (const std::string& name = scale.first;
            std::none_of(titles.begin(), titles.end(), [&](const ColumnTitle& t) { return t.name == name; }))
            throw OrvaneError("--scale の「" + name + "」という列はありません。");

    // Times and texts first: the coefficients depend on every value of a column.
    const std::size_t n = lineCount - 1;
    if (n > static_cast<std::size_t>(INT32_MAX)) throw OrvaneError("データの行が多すぎます。");
    std::vector<std::vector<double>> values(static_cast<std::size_t>(nch), std::vector<double>(n));
    std::vector<int> decimals(static_cast<std::size_t>(nch), 0);
    std::vector<std::int64_t> burstStarts;
    std::int64_t step = 0, previous = 0, elapsedOrigin = 0;
    std::size_t burstRows = 0, rowsInBurst = 0;
    for (std::size_t r = 0; r < n; ++r) {
        if (r % 4096 == 0) Poll(options.cancel);
        const std::size_t lineNo = r + 2;
        const std::vector<std::string> fields = CsvFields(nextLine(), lineNo, sep);
        if (fields.size() != head.size())
            throw OrvaneError(std::to_string(lineNo) + "行目の列の数 (" + std::to_string(fields.size()) +
                              ") が見出し (" + std::to_string(head.size()) + ") と違います。");
        std::int64_t t = ParseTime(fields[0], lineNo);
        if (elapsedColumn) {
            double seconds = 0;
            if (!TryStrToFloat(Trim(fields[col - 1]), seconds) || !std::isfinite(seconds) || std::fabs(seconds) > 1e12)
                throw OrvaneError(std::to_string(lineNo) + "行目の経過時間 '" + Trim(fields[col - 1]) + "' は数値ではありません。");
            const std::int64_t ms = std::llround(seconds * 1000);
            if (r == 0) elapsedOrigin = t - ms;
            t = elapsedOrigin + ms;
        }
        bool newBurst = r == 0;
        if (burstColumn) {
            int k = 0;
            const int current = static_cast<int>(burstStarts.size());
            const bool ok = TryStrToInt(Trim(fields[1]), k) && (r == 0 ? k == 1 : (k == current || k == current + 1));
            if (!ok)
                throw OrvaneError(std::to_string(lineNo) + "行目のバースト番号 '" + Trim(fields[1]) + "' は " +
                                  (r == 0 ? std::string("1") : std::to_string(current) + " か " + std::to_string(current + 1)) +
                                  " であるべきです。");
            newBurst = r == 0 || k == current + 1;
        }
        if (newBurst) {
            if (r > 0) {
                if (burstStarts.size() == 1) burstRows = rowsInBurst;
                if (rowsInBurst < 2)
                    throw OrvaneError("バースト" + std::to_string(burstStarts.size()) + "には2行以上のデータが必要です (" +
                                      std::to_string(lineNo - 1) + "行目まで)。");
                if (rowsInBurst != burstRows)
                    throw OrvaneError("バースト" + std::to_string(burstStarts.size()) + "の行の数 (" +
                                      std::to_string(rowsInBurst) + ") がバースト1 (" + std::to_string(burstRows) +
                                      ") と違います (" + std::to_string(lineNo - 1) + "行目まで)。");
                if (burstStarts.size() >= 2 && t - burstStarts.back() != burstStarts[1] - burstStarts[0])
                    throw OrvaneError(std::to_string(lineNo) + "行目のバーストの開始時刻の間隔が一定ではありません (" +
                                      IsoDateTime(burstStarts.back(), true) + " → " + IsoDateTime(t, true) + ")。");
                if (t <= burstStarts.back())
                    throw OrvaneError(std::to_string(lineNo) + "行目のバーストの開始時刻が前のバーストより前です。");
            }
            burstStarts.push_back(t);
            rowsInBurst = 0;
        } else {
            if (rowsInBurst == 1 && burstStarts.size() == 1) step = t - previous;
            if (step <= 0 || t - previous != step)
                throw OrvaneError(std::to_string(lineNo) + "行目の時刻の間隔が一定ではありません (" +
                                  IsoDateTime(previous, true) + " → " + IsoDateTime(t, true) + ")。");
        }
        ++rowsInBurst;
        previous = t;
        for (int c = 0; c < nch; ++c) {
            std::string text = Trim(fields[firstChannel + c]);
            if (text.empty() || text == "=") {
                values[c][r] = std::nan("");
                continue;
            }
            if (sep != ',' && text.find(',') != std::string::npos && text.find('.') == std::string::npos)
                std::replace(text.begin(), text.end(), ',', '.');  // a decimal comma
            double v;
            try {
                v = StrToFloat(text);
            } catch (const OrvaneError&) {
                throw OrvaneError(std::to_string(lineNo) + "行目の「" + titles[c].name + "」の値 '" + MessageExcerpt(text) +
                                  "' は数値ではありません。");
            }
            if (!std::isfinite(v))
                throw OrvaneError(std::to_string(lineNo) + "行目の「" + titles[c].name + "」の値は有限の数ではありません。");
            values[c][r] = v;
            decimals[c] = std::max(decimals[c], TextDecimals(text));
        }
    }
    if (burstStarts.size() > 1 && rowsInBurst != burstRows)
        throw OrvaneError("最後のバースト" + std::to_string(burstStarts.size()) + "の行の数 (" +
                          std::to_string(rowsInBurst) + ") がバースト1 (" + std::to_string(burstRows) + ") と違います。");
    const std::size_t bursts = burstStarts.size();
    const std::size_t samples = n / bursts;
    if (step > INT32_MAX) throw OrvaneError("時刻の間隔が長すぎます。");
    if (bursts > 1 && burstStarts[1] - burstStarts[0] > INT32_MAX) throw OrvaneError("バーストの間隔が長すぎます。");
    h.SampleSize = static_cast<std::int32_t>(samples);
    h.Iteration = static_cast<std::int32_t>(bursts);
    h.SInt = static_cast<std::int32_t>(step);
    SplitMilliseconds(h.SInt, h.SIntUnit);
    h.BInt = bursts > 1 ? static_cast<std::int32_t>(burstStarts[1] - burstStarts[0]) : 0;
    h.BIntUnit = 2;
    if (h.BInt > 0) SplitMilliseconds(h.BInt, h.BIntUnit);
    h.StartTime = static_cast<double>(burstStarts[0]) / kMsPerDay;
    h.Memo = CutToCp932Bytes(fs::path(path).filename().string(), 160);

    // A burst channel holds one value per burst: the same text on each of its rows.
    for (int c = 0; c < nch; ++c) {
        if (!titles[c].burst) continue;
        std::vector<double> one(bursts);
        for (std::size_t k = 0; k < bursts; ++k) {
            one[k] = values[c][k * samples];
            for (std::size_t s = 1; s < samples; ++s) {
                const double v = values[c][k * samples + s];
                if (!(v == one[k] || (std::isnan(v) && std::isnan(one[k]))))
                    throw OrvaneError(std::to_string(k * samples + s + 2) + "行目の「" + titles[c].name +
                                      "」はバーストチャンネルですが、値がバースト" + std::to_string(k + 1) +
                                      "の1行目と違います。");
            }
        }
        values[c] = std::move(one);
    }

    for (int i = 0; i < nch; ++i) {
        const int c = order[i];
        const std::string& name = titles[c].name;
        float a = 1, b = 0;
        if (auto given = options.scales.find(name); given != options.scales.end()) {
            a = static_cast<float>(given->second.first);
            b = static_cast<float>(given->second.second);
            // A file keeps single-precision coefficients: one that overflows there would
            // make every value infinite or NaN.
            if (!std::isfinite(a) || !std::isfinite(b))
                throw OrvaneError("--scale の「" + name + "」の係数 (A=" + FormatShortest(given->second.first) +
                                  ", B=" + FormatShortest(given->second.second) +
                                  ") は単精度の範囲 (絶対値 3.4E38 まで) の有限の数にしてください。");
            if (a == 0) throw OrvaneError("--scale の「" + name + "」の A は 0 にできません。");
        } else if (titles[c].coefficients) {
            a = static_cast<float>(titles[c].coefficients->first);
            b = static_cast<float>(titles[c].coefficients->second);
            if (!(a != 0 && std::isfinite(a) && std::isfinite(b)))
                throw OrvaneError("「" + name + "」の見出しの係数 [A=… B=…] は 0 でない有限の A と有限の B にして下さい。");
        } else {
            std::tie(a, b) = ChooseCoefficients(values[c], decimals[c], name);
        }
        h.CoefA[i] = a;
        h.CoefB[i] = b;
    }
    auto count = [&](int i, std::size_t row) {
        const int c = order[i];
        const double v = values[c][row];
        if (std::isnan(v)) return ErrorRaw;
        if (!FitsCount(v, h.CoefA[i], h.CoefB[i]))
            throw OrvaneError((titles[c].burst ? "バースト" + std::to_string(row + 1) : std::to_string(row + 2) + "行目") +
                              "の「" + titles[c].name + "」の値 " + FormatShortest(v) + " は係数 A=" +
                              FormatGeneral(h.CoefA[i], 7) + ", B=" + FormatGeneral(h.CoefB[i], 7) +
                              " では16ビットの整数に収まりません。");
        return static_cast<std::int16_t>(
            RoundHalfEven((v - static_cast<double>(h.CoefB[i])) / static_cast<double>(h.CoefA[i])));
    };
    const int ni = h.NchInterval;
    f.interval.resize(n * static_cast<std::size_t>(ni));
    for (std::size_t r = 0; r < n; ++r)
        for (int i = 0; i < ni; ++i) f.interval[r * static_cast<std::size_t>(ni) + i] = count(i, r);
    f.burst.resize(bursts * static_cast<std::size_t>(nBurst));
    for (std::size_t k = 0; k < bursts; ++k)
        for (int j = 0; j < nBurst; ++j) f.burst[k * static_cast<std::size_t>(nBurst) + j] = count(ni + j, k);
    return f;
}

}  // namespace orvane
