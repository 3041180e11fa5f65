// Series, read_series() and write_series(): SDF and TSD files.
#include "python/Binding.h"

#include <cmath>
#include <filesystem>
#include <type_traits>

#include "core/runtime/Errors.h"
#include "core/runtime/Messages.h"
#include "core/runtime/NumberText.h"
#include "core/runtime/TextFile.h"
#include "core/series/SeriesFile.h"
#include "core/series/SeriesStore.h"
#include "core/series/SeriesWriter.h"
#include "core/velocity/ResultFile.h"

namespace orvane::pymodule {

// Days since 1899-12-30 (local, naive) <-> microseconds since 1970-01-01.
constexpr double kUnixEpochDays = 25569.0;
long long DaysToMicroseconds(double days) {
    return std::llround((days - kUnixEpochDays) * 86400e6);
}
double MicrosecondsToDays(long long us) { return static_cast<double>(us) / 86400e6 + kUnixEpochDays; }

struct Series {
    std::string kind, memo;
    std::string source;    // the file read (not pickled): never written over by write_series
    int version = 0;
    double startDays = 0;
    double interval = 0;   // seconds
    int bursts = 0;
    std::vector<std::string> names, units;
    std::vector<double> coefA, coefB;
    py::dict data;         // name -> float64 array
    // Burst channels: one value per burst of the file, every burst.
    std::vector<std::string> burstNames, burstUnits;
    py::dict burstData;

    py::object Start() const {
        return py::module_::import("numpy").attr("datetime64")(DaysToMicroseconds(startDays), "us");
    }
    py::object Time() const {
        py::module_ np = py::module_::import("numpy");
        const std::size_t n = data.empty() ? 0 : py::len(data.begin()->second);
        py::array_t<long long> us(static_cast<py::ssize_t>(n));
        const long long t0 = DaysToMicroseconds(startDays);
        const long long step = std::llround(interval * 1e6);
        for (std::size_t i = 0; i < n; ++i) us.mutable_data()[i] = t0 + static_cast<long long>(i) * step;
        return us.attr("astype")("datetime64[us]");
    }
};

// Fixed-width fields of a file come padded with blanks.
std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.pop_back();
    return text;
}

Series ReadSeries(const std::string& path, int burst) {
    if (std::string problem = InputFileProblem(path); !problem.empty()) Raise(gFileError, problem);
    SeriesFile file;
    try {
        file = ReadSeriesFile(path);
    } catch (const OrvaneError& e) {
        Raise(gFileError, e.what());
    }
    const SeriesHeader& h = file.header;
    if (burst < 0 || burst >= std::max<int>(1, h.Iteration))
        throw py::value_error("バースト番号 " + std::to_string(burst) + " は範囲外です (0～" +
                              std::to_string(std::max<int>(1, h.Iteration) - 1) + ")。");

    Series s;
    s.source = path;
    s.kind = file.kind == SeriesKind::SDF ? "SDF" : "TSD";
    s.version = file.sdfVersion;
    s.memo = Trimmed(h.Memo);
    s.startDays = file.BurstStart(burst);
    s.interval = file.SampleSeconds();
    s.bursts = h.Iteration;
    const std::size_t n = static_cast<std::size_t>(std::max(0, h.SampleSize));
    for (int c = 0; c < h.NchInterval; ++c) {
        py::array_t<double> a(static_cast<py::ssize_t>(n));
        double* out = a.mutable_data();
        auto put = [&](std::size_t i, float v) { out[i] = v < ErrorLimit ? static_cast<double>(v) : kNaN; };
        if (file.kind == SeriesKind::TSD) {
            // A TSD value is the text's own, not its count's.
            const std::vector<float> values = ReadSeriesChannel(path, burst, c);
            for (std::size_t i = 0; i < n && i < values.size(); ++i) put(i, values[i]);
        } else {
            for (std::size_t i = 0; i < n; ++i)
                put(i, file.Physical(c, file.Interval(burst, static_cast<std::int64_t>(i), c)));
        }
        const std::string name = Trimmed(h.ItemName[c]);
        // Two channels of one name stay apart.
        std::string key = name;
        for (int k = 2; s.data.contains(key); ++k) key = name + "_" + std::to_string(k);
        s.names.push_back(key);
        s.units.push_back(Trimmed(h.UnitName[c]));
        s.coefA.push_back(h.CoefA[c]);
        s.coefB.push_back(h.CoefB[c]);
        s.data[py::str(key)] = a;
    }
    for (int j = 0; j < h.NchBurst; ++j) {
        const int ch = h.NchInterval + j;
        const std::size_t bursts = static_cast<std::size_t>(std::max<int>(0, h.Iteration));
        py::array_t<double> a(static_cast<py::ssize_t>(bursts));
        for (std::size_t k = 0; k < bursts; ++k) {
            const float v = file.Physical(ch, file.burst[k * static_cast<std::size_t>(h.NchBurst) + j]);
            a.mutable_data()[k] = v < ErrorLimit ? static_cast<double>(v) : kNaN;
        }
        const std::string name = Trimmed(h.ItemName[ch]);
        std::string key = name;
        for (int k = 2; s.burstData.contains(key); ++k) key = name + "_" + std::to_string(k);
        s.burstNames.push_back(key);
        s.burstUnits.push_back(Trimmed(h.UnitName[ch]));
        s.burstData[py::str(key)] = a;
    }
    return s;
}

// The start as days since 1899-12-30 in local clock time, to the millisecond. A start with
// a zone (a text with an offset or "Z", an aware datetime or pandas Timestamp) is the same
// instant on this machine's local clock, as the files keep local clock times.
double StartDays(py::object start) {
    py::module_ datetime = py::module_::import("datetime");
    if (py::isinstance<py::str>(start)) {
        try {
            start = datetime.attr("datetime").attr("fromisoformat")(start);
        } catch (const py::error_already_set&) {
            // numpy's own forms ("2025-01") below
        }
    }
    if (py::hasattr(start, "tzinfo") && !start.attr("tzinfo").is_none()) {
        if (py::hasattr(start, "to_pydatetime")) start = start.attr("to_pydatetime")();
        start = start.attr("astimezone")().attr("replace")("tzinfo"_a = py::none());
    }
    py::module_ np = py::module_::import("numpy");
    py::object time;
    try {
        time = np.attr("datetime64")(start, "us");
    } catch (py::error_already_set& e) {
        Raise(gConversionError, "write_series: start " + py::repr(start).cast<std::string>() +
                                    " を時刻にできません (" + e.what() + ")。");
    }
    if (np.attr("isnat")(time).cast<bool>())
        Raise(gConversionError, "write_series: start が NaT (時刻なし) です。計測開始時刻を指定して下さい。");
    py::object us = time.attr("astype")("int64");
    const long long ms = static_cast<long long>(std::llround(static_cast<double>(us.cast<long long>()) / 1000.0));
    return MicrosecondsToDays(ms * 1000);
}

void WriteSeries(const std::string& path, py::dict data, py::object units, py::object coefA,
                 py::object coefB, py::object start, double interval, const std::string& memo) {
    const SeriesFormatInfo* format = SeriesFormatOf(path);
    if (!format || !format->series)
        Raise(gError, "「" + path + "」の拡張子は " + ExtensionList(SeriesFileFormats()) + " にして下さい。");
    SeriesStore store;
    SeriesHeader& h = store.header;
    const std::size_t channels = py::len(data);
    if (channels == 0 || channels > static_cast<std::size_t>(MaxChannels))
        throw py::value_error("data must hold 1.." + std::to_string(MaxChannels) + " channels");
    std::vector<DoubleArray> arrays;
    for (auto [name, values] : data) {
        arrays.push_back(DoubleArray::ensure(values));
        if (!arrays.back() || arrays.back().ndim() != 1) throw py::value_error("each channel must be one-dimensional");
        if (arrays.back().size() != arrays.front().size()) throw py::value_error("channels must have one length");
        h.ItemName[arrays.size() - 1] = py::str(name).cast<std::string>();
    }
    auto list = [&](py::object o, const char* what, auto fallback) {
        using T = decltype(fallback);
        std::vector<T> v(channels, fallback);
        if (o.is_none()) return v;
        std::vector<T> seq;
        const std::string example = std::is_same_v<T, std::string> ? "['m', 's']" : "[0.01, 0.1]";
        if (py::isinstance<py::str>(o) || py::isinstance<py::bytes>(o) || !py::isinstance<py::iterable>(o))
            Raise(gArgumentTypeError, std::string("write_series: ") + what +
                                          " はチャンネルごとに 1 つずつのリストにして下さい (例 " + example + ")。");
        try {
            seq = o.cast<std::vector<T>>();
        } catch (const py::cast_error&) {
            Raise(gArgumentTypeError, std::string("write_series: ") + what + " の要素の型が違います (例 " + example + ")。");
        }
        if (seq.size() != channels) throw py::value_error(std::string(what) + " must have one entry per channel");
        return seq;
    };
    const auto u = list(units, "units", std::string());
    const auto a = list(coefA, "coef_a", 1.0);
    const auto b = list(coefB, "coef_b", 0.0);
    for (std::size_t c = 0; c < channels; ++c) {
        h.UnitName[c] = u[c];
        // A line break would split the channel table of a TSD, which then cannot be read.
        if (h.ItemName[c].find_first_of("\r\n") != std::string::npos ||
            h.UnitName[c].find_first_of("\r\n") != std::string::npos)
            Raise(gConversionError, "チャンネル" + std::to_string(c + 1) + "の項目名または単位に改行があります。");
        h.CoefA[c] = static_cast<float>(a[c]);
        h.CoefB[c] = static_cast<float>(b[c]);
    }
    h.Memo = memo;
    h.NchInterval = static_cast<std::int16_t>(channels);
    h.NchBurst = 0;
    h.Iteration = 1;
    h.SampleSize = static_cast<std::int32_t>(arrays.front().size());
    const double ms = interval * 1000.0;
    if (!(ms >= 1 && ms <= 2147483647.0) || ms != std::floor(ms))
        throw py::value_error("interval は秒で、1 ミリ秒以上のミリ秒の整数倍にしてください。");
    h.SInt = static_cast<std::int32_t>(ms);
    SplitMilliseconds(h.SInt, h.SIntUnit);
    if (!start.is_none()) h.StartTime = StartDays(start);
    const double startDays = h.StartTime;
    NormaliseAsSaveWindow(h);
    // SDF keeps the milliseconds the save window drops; a TSD header holds whole seconds.
    if (HasSdfExtension(path)) h.StartTime = startDays;
    else if (std::llround(startDays * 86400e3) % 1000 != 0)
        Raise(gError, "TSDファイルの開始時刻は秒までです。1秒未満の開始時刻はSDFファイルに保存して下さい。");
    const std::string problem = TsdTableProblem(h);
    if (!HasSdfExtension(path) && !problem.empty()) Raise(gError, problem);
    CheckCoefficients(h);
    store.AllocateSeriesData();
    long long outOfRange = 0;
    for (std::size_t c = 0; c < channels; ++c) {
        const double* v = arrays[c].data();
        for (std::size_t i = 0; i < static_cast<std::size_t>(h.SampleSize); ++i)
            store.IntervalData[c][i] = std::isnan(v[i]) ? ErrorRaw : ValueToCount(v[i], h.CoefA[c], h.CoefB[c], outOfRange);
    }
    if (outOfRange > 0)
        Raise(gConversionError, "16ビットの範囲に収まらない値が " + std::to_string(outOfRange) +
                                    " 個あります。係数を変えて下さい。");
    WriteResultFile(store, path);
}

py::object SeriesToPandas(const Series& s) {
    py::module_ pd = py::module_::import("pandas");
    return pd.attr("DataFrame")(s.data, "index"_a = pd.attr("DatetimeIndex")(s.Time(), "name"_a = "time"));
}

py::object SeriesToXarray(const Series& s) {
    py::module_ xr = py::module_::import("xarray");
    py::dict vars;
    for (std::size_t c = 0; c < s.names.size(); ++c)
        vars[py::str(s.names[c])] = py::make_tuple(
            "time", s.data[py::str(s.names[c])],
            py::dict("units"_a = s.units[c], "coef_a"_a = s.coefA[c], "coef_b"_a = s.coefB[c]));
    return xr.attr("Dataset")(vars, "coords"_a = py::dict("time"_a = s.Time()),
                              "attrs"_a = py::dict("memo"_a = s.memo, "kind"_a = s.kind));
}

// A Series made without read_series() (Series.__new__(Series)) holds nothing: every
// method refuses it rather than read memory that was never set.
bool Constructed(py::handle self) {
    if (!py::isinstance<Series>(self)) return false;
    auto* instance = reinterpret_cast<py::detail::instance*>(self.ptr());
    return instance->get_value_and_holder(py::detail::get_type_info(typeid(Series))).holder_constructed();
}

const Series& Held(py::handle self) {
    if (!py::isinstance<Series>(self)) throw py::type_error("an orvane.Series is needed");
    if (!Constructed(self))
        Raise(gError, "中身のない Series です。orvane.read_series() で読んだ Series を使って下さい。");
    auto* instance = reinterpret_cast<py::detail::instance*>(self.ptr());
    return *instance->get_value_and_holder(py::detail::get_type_info(typeid(Series))).value_ptr<Series>();
}

void BindSeriesFiles(py::module_& m) {
    py::class_<Series>(m, "Series", R"(A time series read by read_series().

kind ('SDF' or 'TSD'), version (SDF version, 0 for TSD), memo, start
(numpy.datetime64), interval (s), bursts, names, units, coef_a, coef_b, data (dict
name -> float64 array of physical values, NaN for missing samples), time (the
datetime64 axis, local clock time), burst_names, burst_units, burst_data (the burst
channels: dict name -> float64 array of one value per burst, every burst of the file).
to_pandas() and to_xarray() convert it.)")
        .def_property_readonly("kind", [](py::handle s) { return Held(s).kind; })
        .def_property_readonly("version", [](py::handle s) { return Held(s).version; })
        .def_property_readonly("memo", [](py::handle s) { return Held(s).memo; })
        .def_property_readonly("interval", [](py::handle s) { return Held(s).interval; })
        .def_property_readonly("bursts", [](py::handle s) { return Held(s).bursts; })
        .def_property_readonly("names", [](py::handle s) { return Held(s).names; })
        .def_property_readonly("units", [](py::handle s) { return Held(s).units; })
        .def_property_readonly("coef_a", [](py::handle s) { return Held(s).coefA; })
        .def_property_readonly("coef_b", [](py::handle s) { return Held(s).coefB; })
        .def_property_readonly("data", [](py::handle s) { return Held(s).data; })
        .def_property_readonly("burst_names", [](py::handle s) { return Held(s).burstNames; })
        .def_property_readonly("burst_units", [](py::handle s) { return Held(s).burstUnits; })
        .def_property_readonly("burst_data", [](py::handle s) { return Held(s).burstData; })
        .def_property_readonly("start", [](py::handle s) { return Held(s).Start(); })
        .def_property_readonly("time", [](py::handle s) { return Held(s).Time(); })
        .def("__getitem__", [](py::handle s, const std::string& name) { return Held(s).data[py::str(name)]; },
             "The physical values of a channel by name.")
        .def("__len__", [](py::handle self) {
            const Series& s = Held(self);
            return s.data.empty() ? 0 : py::len(s.data.begin()->second);
        }, "The number of samples.")
        .def("__repr__", [](py::handle self) {
            if (!Constructed(self)) return std::string("<orvane.Series (empty)>");
            const Series& s = Held(self);
            return "<orvane.Series " + s.kind + " " + std::to_string(s.names.size()) + " channels>";
        }, "The kind and the number of channels.")
        .def("to_pandas", [](py::handle s) { return SeriesToPandas(Held(s)); },
             "A pandas.DataFrame indexed by time, one column per channel.")
        .def("to_xarray", [](py::handle s) { return SeriesToXarray(Held(s)); },
             "An xarray.Dataset over time, one variable per channel with units and coefficients.")
        .def(py::pickle(
            [](py::handle self) {
                const Series& s = Held(self);
                return py::make_tuple(s.kind, s.memo, s.version, s.startDays, s.interval, s.bursts,
                                      s.names, s.units, s.coefA, s.coefB, s.data, s.burstNames,
                                      s.burstUnits, s.burstData);
            },
            [](py::tuple t) {
                Series s;
                s.kind = t[0].cast<std::string>();
                s.memo = t[1].cast<std::string>();
                s.version = t[2].cast<int>();
                s.startDays = t[3].cast<double>();
                s.interval = t[4].cast<double>();
                s.bursts = t[5].cast<int>();
                s.names = t[6].cast<std::vector<std::string>>();
                s.units = t[7].cast<std::vector<std::string>>();
                s.coefA = t[8].cast<std::vector<double>>();
                s.coefB = t[9].cast<std::vector<double>>();
                s.data = t[10].cast<py::dict>();
                if (t.size() > 13) {
                    s.burstNames = t[11].cast<std::vector<std::string>>();
                    s.burstUnits = t[12].cast<std::vector<std::string>>();
                    s.burstData = t[13].cast<py::dict>();
                }
                return s;
            }));

    m.def(
        "read_series",
        [](py::object path, int burst) {
            return ReadSeries(PathArg(path), burst);
        },
        "path"_a, "burst"_a = 0,
        R"(Reads an SDF (any version, 1 to 4) or TSD file in memory, never changing it; returns
a Series of one burst (the first by default): physical values of every interval
channel as the program's tools read them, and the burst channels' values of every burst. Raises FileError with the reader's message
when the file cannot be read.)");

    m.def(
        "write_series",
        [](py::object path, py::object data, py::object units, py::object coefA, py::object coefB,
           py::object start, double interval, py::object memo) {
            const std::string out = PathArg(path);
            std::string memoText = memo.is_none() ? std::string() : memo.cast<std::string>();
            if (py::isinstance<Series>(data)) {
                const Series& s = Held(data);
                // As the command line: the file a series came from is never written over.
                std::error_code ec;
                if (!s.source.empty() && (s.source == out || std::filesystem::equivalent(s.source, out, ec)))
                    Raise(gFileError, OverwriteInputText(s.source));
                if (memo.is_none()) memoText = s.memo;
                if (units.is_none()) units = py::cast(s.units);
                if (coefA.is_none()) coefA = py::cast(s.coefA);
                if (coefB.is_none()) coefB = py::cast(s.coefB);
                if (start.is_none()) start = s.Start();
                if (std::isnan(interval)) interval = s.interval;
                data = s.data;
            }
            if (std::isnan(interval)) interval = 1.0;
            WriteSeries(out, data.cast<py::dict>(), units, coefA, coefB, start, interval, memoText);
        },
        "path"_a, "data"_a, py::kw_only(), "units"_a = py::none(), "coef_a"_a = py::none(),
        "coef_b"_a = py::none(), "start"_a = py::none(), "interval"_a = kNaN, "memo"_a = py::none(),
        R"(Writes a series as SDF (a .sdf name) or TSD (a .tsd name), as the program's save
step does: 16-bit counts (value - B) / A rounded half to even, NaN as the missing
marker, names and units cut to 16 and 8 bytes, the file replaced only when complete.

data: dict name -> 1-D array of physical values, or a Series (its table is then the
default). units, coef_a (A, default 1), coef_b (B, default 0): one per channel;
start: local clock time, anything numpy.datetime64 takes, to the millisecond (a TSD
header holds whole seconds: a finer start raises Error); a start with a zone (a text
ending in "+09:00" or "Z", an aware datetime or pandas Timestamp) is converted to this
machine's local clock time at that instant; interval: seconds (whole milliseconds);
memo: the Series' memo unless given. A Series is never written over the file it was
read from (FileError), and names or units holding a line break are refused.
Raises ConversionError, writing nothing, when a value does not fit 16 bits.)");
}

}  // namespace orvane::pymodule
