// The Python module `orvane`: converts Python and NumPy values, calls the core, converts
// the results back. Nothing is computed here.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <optional>
#include <thread>
#include <vector>

#include "core/app/PhysicalConstants.h"
#include "core/runtime/Errors.h"
#include "core/runtime/Messages.h"
#include "core/runtime/NumberText.h"
#include "core/runtime/TextFile.h"
#include "core/series/SeriesFile.h"
#include "core/series/SeriesStore.h"
#include "core/shoaling/ShoalingRequest.h"
#include "core/velocity/BottomVelocity.h"
#include "core/velocity/ResultFile.h"
#include "core/velocity/WaveHeightSeries.h"
#include "core/velocity/WaveVelocitySeries.h"
#include "core/wave/Rayleigh.h"
#include "core/wave/SmallAmplitudeWave.h"
#include "core/wave/WaveNumber.h"

#ifndef ORVANE_VERSION
#define ORVANE_VERSION "0"
#endif

namespace py = pybind11;
using namespace pybind11::literals;
using namespace orvane;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// ---------------------------------------------------------------------------------------
// Errors

PyObject* gError = nullptr;
PyObject* gConversionError = nullptr;
PyObject* gCalculationError = nullptr;
PyObject* gFileError = nullptr;
PyObject* gConvergenceError = nullptr;

PyObject* NewError(py::module_& m, const char* name, PyObject* bases, const char* doc) {
    const std::string full = std::string("orvane.") + name;
    PyObject* type = PyErr_NewExceptionWithDoc(full.c_str(), doc, bases, nullptr);
    if (!type) throw py::error_already_set();
    m.attr(name) = py::handle(type);
    return type;
}

void TranslateErrors(std::exception_ptr p) {
    try {
        if (p) std::rethrow_exception(p);
    } catch (const EConvertError& e) {
        PyErr_SetString(gConversionError, e.what());
    } catch (const EInOutError& e) {
        PyErr_SetString(gFileError, e.what());
    } catch (const EConvergence& e) {
        PyErr_SetString(gConvergenceError, e.what());
    } catch (const EMathError& e) {
        PyErr_SetString(gCalculationError, e.what());
    } catch (const OrvaneError& e) {
        PyErr_SetString(gError, e.what());
    }
}

[[noreturn]] void Raise(PyObject* type, const std::string& text) {
    PyErr_SetString(type, text.c_str());
    throw py::error_already_set();
}

// Messages the core would show in a box: the first error is kept and raised afterwards;
// a question is answered Yes, as the command line's --yes does (the module writes no file
// through a question).
class KeepingPrompter : public Prompter {
public:
    MsgResult Message(MsgKind kind, const std::string& text, MsgButtons buttons) override {
        if ((kind == MsgKind::Error || kind == MsgKind::Warning) && first.empty()) first = text;
        return buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::Ok;
    }
    void Plain(const std::string&, const std::string&) override {}
    void Beep() override {}
    [[noreturn]] void RaiseFirst(const char* otherwise) const {
        Raise(gError, first.empty() ? otherwise : first);
    }
    std::string first;
};

class QuietProgress : public Progress {
public:
    void SetProgressComment(const std::string&) override {}
    void SetProgressPosition(int) override {}
    bool Cancelled() const override { return false; }
    void SetStatusLine(const std::string&) override {}
    void Hide() override {}
};

// ---------------------------------------------------------------------------------------
// Broadcasting

// Calls `f(values, out)` once per element of the broadcast of `args` (float64), filling
// one output per name. Plain Python numbers give plain floats, without NumPy.
template <std::size_t N, std::size_t M, class F>
py::object Broadcast(const std::array<py::handle, N>& args, const std::array<const char*, M>& names,
                     F f) {
    std::array<double, N> in{};
    std::array<double, M> out{};
    bool scalars = true;
    for (std::size_t i = 0; i < N; ++i) {
        PyObject* o = args[i].ptr();
        if (PyFloat_Check(o) || (PyLong_Check(o) && !PyBool_Check(o)))
            in[i] = PyFloat_AsDouble(o);
        else
            scalars = false;
    }
    if (scalars && !PyErr_Occurred()) {
        f(in, out);
        if (M == 1) return py::float_(out[0]);
        py::dict d;
        for (std::size_t k = 0; k < M; ++k) d[names[k]] = out[k];
        return d;
    }
    PyErr_Clear();
    py::module_ np = py::module_::import("numpy");
    py::tuple converted(N);
    for (std::size_t i = 0; i < N; ++i) converted[i] = np.attr("asarray")(args[i], "dtype"_a = "float64");
    py::list b = np.attr("broadcast_arrays")(*converted);
    std::array<py::array_t<double, py::array::c_style | py::array::forcecast>, N> arrays;
    for (std::size_t i = 0; i < N; ++i)
        arrays[i] = py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(
            np.attr("ascontiguousarray")(b[i]));
    const std::vector<py::ssize_t> shape(arrays[0].shape(), arrays[0].shape() + arrays[0].ndim());
    std::array<py::array_t<double>, M> results;
    for (auto& r : results) r = py::array_t<double>(shape);
    const py::ssize_t n = arrays[0].size();
    std::array<const double*, N> src{};
    std::array<double*, M> dst{};
    for (std::size_t i = 0; i < N; ++i) src[i] = arrays[i].data();
    for (std::size_t k = 0; k < M; ++k) dst[k] = results[k].mutable_data();
    for (py::ssize_t j = 0; j < n; ++j) {
        for (std::size_t i = 0; i < N; ++i) in[i] = src[i][j];
        f(in, out);
        for (std::size_t k = 0; k < M; ++k) dst[k][j] = out[k];
    }
    if (M == 1) return results[0];
    py::dict d;
    for (std::size_t k = 0; k < M; ++k) d[names[k]] = results[k];
    return d;
}

PhysicalConstants Constants(double gravity, double density, double periodRatio,
                            double gammaTG = 0.42, double bTG = 1.54) {
    PhysicalConstants c;
    c.gra = gravity;
    c.SGfluid = density;
    c.RTp = periodRatio;
    c.gamma_TG = gammaTG;
    c.B_TG = bTG;
    return c;
}

const PhysicalConstants kDefaults;

// ---------------------------------------------------------------------------------------
// Calculators

py::object Wavenumber(py::handle period, py::handle depth, py::handle gravity) {
    return Broadcast<3, 1>({period, depth, gravity}, {"k"}, [](const auto& a, auto& r) {
        r[0] = WaveNumber(a[0], a[1], a[2]);
    });
}

py::object Airy(py::handle depth, py::handle period, py::handle height, py::handle z,
                double gravity, double density) {
    const PhysicalConstants c = Constants(gravity, density, kDefaults.RTp);
    return Broadcast<4, 10>({depth, period, height, z},
                            {"k", "L", "L0", "n", "c", "Cg", "Ks", "F", "u", "w"},
                            [&c](const auto& a, auto& r) {
                                const SmallAmplitudeWave w = ComputeSmallAmplitudeWave(a[0], a[1], a[2], a[3], c);
                                r = {w.k, w.L, w.L0, w.n, w.c, w.Cg, w.Ks, w.F, w.u, w.w};
                            });
}

py::object Rayleigh(py::handle a, py::handle p, const std::string& reference) {
    RayleighReference kind;
    if (reference == "rms")
        kind = RayleighReference::Rms;
    else if (reference == "significant")
        kind = RayleighReference::Significant;
    else
        throw py::value_error("reference must be 'rms' or 'significant'");
    return Broadcast<2, 2>({a, p}, {"Ap", "mean"}, [kind](const auto& v, auto& r) {
        const RayleighResult x = ComputeRayleigh(v[0], v[1], kind);
        r = {static_cast<double>(x.Ap), static_cast<double>(x.mean)};
    });
}

py::object BottomVelocity(py::handle depth, py::handle period, py::handle height, py::handle slope,
                          bool random, double gravity, double periodRatio) {
    if (random) {
        const PhysicalConstants c = Constants(gravity, kDefaults.SGfluid, periodRatio);
        return Broadcast<3, 2>({depth, period, height}, {"Urms", "Us"}, [&c](const auto& a, auto& r) {
            const RandomVelocity v = SignificantWaveVelocity(a[0], a[2], a[1], c);
            r = {v.Urms, v.Us};
        });
    }
    return Broadcast<4, 14>(
        {depth, period, height, slope},
        {"L0", "Hb", "kh", "U0", "Uac", "broken", "Ud", "Ur", "H0", "Uc", "Umax", "Tc", "R1", "R2"},
        [gravity](const auto& a, auto& r) {
            const SingleWaveResult s = ComputeSingleWave(a[0], a[2], a[1], a[3], gravity);
            r = {s.L0, s.Hb, s.kh, s.U0, s.Uac, s.broken ? 1.0 : 0.0, s.Ud, s.Ur, s.H0, s.Uc,
                 s.Umax, s.Tc, s.R1, s.R2};
        });
}

py::object RandomWaveVelocityPy(py::handle tp, py::handle hrms, py::handle depth, double gravity) {
    return Broadcast<3, 2>({tp, hrms, depth}, {"Urms", "Us"}, [gravity](const auto& a, auto& r) {
        const RandomVelocity v = RandomWaveVelocity(a[0], a[1], a[2], gravity);
        r = {v.Urms, v.Us};
    });
}

// ---------------------------------------------------------------------------------------
// Shoaling

int MethodIndex(py::handle method) {
    std::string names;
    for (const SurfZoneModel& m : SurfZoneModels()) names += (names.empty() ? "" : ", ") + std::string(m.id);
    if (py::isinstance<py::str>(method)) {
        const std::string s = method.cast<std::string>();
        for (const SurfZoneModel& m : SurfZoneModels())
            if (s == m.id) return m.key;
        throw py::value_error("method must be 0.." + std::to_string(SurfZoneModels().size() - 1) + " or " + names);
    }
    const int m = method.cast<int>();
    if (m < 0 || m >= static_cast<int>(SurfZoneModels().size()))
        throw py::value_error("method must be 0.." + std::to_string(SurfZoneModels().size() - 1));
    return m;
}

int Pick(const std::string& name, const std::string& value, std::initializer_list<const char*> options) {
    int i = 0;
    for (const char* o : options) {
        if (value == o) return i;
        ++i;
    }
    throw py::value_error(name + ": '" + value + "' is not one of the accepted values");
}

// Estimation points: a text as the window takes it, or numbers written in their shortest
// exact form so that the core's parser gives back the same doubles.
std::string PointsText(py::handle points) {
    if (py::isinstance<py::str>(points)) return points.cast<std::string>();
    std::string text;
    for (py::handle p : py::iter(points)) {
        if (!text.empty()) text += ",";
        text += py::repr(py::float_(py::reinterpret_borrow<py::object>(p))).cast<std::string>();
    }
    return text;
}

// The column of a profile file: a header name or an index from 0.
int ProfileColumnOf(py::handle column, const std::vector<std::string>& header) {
    if (py::isinstance<py::str>(column)) {
        const std::string name = column.cast<std::string>();
        for (std::size_t i = 0; i < header.size(); ++i)
            if (header[i] == name) return static_cast<int>(i);
        throw py::value_error("'" + name + "' is not a column of the profile file");
    }
    return column.cast<int>();
}

struct BedOptions {
    py::object slope, profile, obsDepth, distanceColumn, depthColumn;
    std::string xAxis;
    py::object onshoreEnd, offshoreEnd;
};

// The inputs as the window's boxes hold them; the profile read from its file or arrays.
void SetUpBed(ShoalingRun& run, int method, const BedOptions& b, ShoalingOutput& out,
              KeepingPrompter& prompter) {
    ShoalingInputs& in = run.Inputs;
    const SurfZoneModel& model = SurfZoneModelOf(method);
    in.Method = method;
    in.ObsPos = model.startsAtObservation ? 1 : 0;
    in.XAxis = Pick("x_axis", b.xAxis, {"depth", "distance"});
    if (!b.onshoreEnd.is_none()) in.OnshoreEndValue = b.onshoreEnd.cast<double>();
    if (!b.offshoreEnd.is_none()) in.OffshoreEndValue = b.offshoreEnd.cast<double>();
    if (in.ObsPos == 1) {
        if (b.obsDepth.is_none()) throw py::value_error("obs_depth is needed by this method");
        in.ObsPosValue = b.obsDepth.cast<double>();
    }
    if (b.profile.is_none()) {
        in.Slope = b.slope.cast<double>();
        return;
    }
    in.ProfileMode = 1;
    in.XAxis = 1;
    if (model.planeBedOnly) return;  // PrepareRun refuses it with its own message
    bool loaded;
    if (py::isinstance<py::str>(b.profile) || py::hasattr(b.profile, "__fspath__")) {
        in.ProfileFile = py::str(py::module_::import("os").attr("fspath")(b.profile)).cast<std::string>();
        if (!FileExists(in.ProfileFile)) Raise(gFileError, msg::kFileNotFound);
        const auto header = ShoalingRun::ReadProfileHeader(in.ProfileFile);
        run.DistanceColumn = ProfileColumnOf(b.distanceColumn, header);
        run.DepthColumn = ProfileColumnOf(b.depthColumn, header);
        loaded = run.LoadProfile(out, prompter);
    } else {
        auto pair = b.profile.cast<py::sequence>();
        if (pair.size() != 2) throw py::value_error("profile: a file name or (distance, depth)");
        auto x = py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(pair[0]);
        auto d = py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(pair[1]);
        if (!x || !d || x.ndim() != 1 || d.ndim() != 1)
            throw py::value_error("profile: two one-dimensional arrays of numbers");
        loaded = run.SetProfile({x.data(), static_cast<std::size_t>(x.size())},
                                {d.data(), static_cast<std::size_t>(d.size())}, out, prompter);
    }
    if (!loaded) prompter.RaiseFirst(msg::kRunAbandoned);
    // Given ends win over the profile's extent, as on the command line.
    if (!b.onshoreEnd.is_none()) in.OnshoreEndValue = b.onshoreEnd.cast<double>();
    if (!b.offshoreEnd.is_none()) in.OffshoreEndValue = b.offshoreEnd.cast<double>();
}

py::array_t<double> ToArray(const std::vector<double>& v) {
    py::array_t<double> a(static_cast<py::ssize_t>(v.size()));
    std::copy(v.begin(), v.end(), a.mutable_data());
    return a;
}

py::dict Shoal(py::handle method, double height, double period, const BedOptions& bed,
               py::handle points, double tide, const std::string& heightKind,
               const std::string& periodKind, const PhysicalConstants& constants) {
    // The bed is read here, with Python's own errors; the run takes the points read.
    ShoalingRun run{constants};
    ShoalingInputs& in = run.Inputs;
    const int m = MethodIndex(method);
    in.HeightKind = Pick("height_kind", heightKind, {"significant", "rms"});
    in.PeriodKind = Pick("period_kind", periodKind, {"significant", "peak"});
    KeepingPrompter prompter;
    if (!(period > 0)) Raise(gError, msg::kPeriodNotPositive);
    ShoalingOutput none;
    SetUpBed(run, m, bed, none, prompter);

    ShoalingRequest request;
    request.inputs = in;
    request.constants = constants;
    request.height = height;
    request.period = period;
    request.tide = tide;
    request.points = ParsePoints(PointsText(points));
    if (run.ProfileLoaded) {
        request.profileDistance.assign(run.ProfileDistance.begin(), run.ProfileDistance.begin() + run.ProfileCount);
        request.profileDepth.assign(run.ProfileDepth.begin(), run.ProfileDepth.begin() + run.ProfileCount);
        request.profileRead = true;
        request.profileIsArrays = run.ProfileFromArrays;
    }
    ShoalingResult r;
    {
        py::gil_scoped_release release;
        QuietProgress progress;
        r = RunShoaling(request, progress, prompter);
    }
    if (!r.refusal.empty()) Raise(gError, r.refusal);
    if (!r.ok) {
        if (r.error) std::rethrow_exception(r.error);
        prompter.RaiseFirst(msg::kRunAbandoned);
    }

    // Estimates: one array per reported quantity, NaN at points the wave did not reach.
    const std::size_t n = r.points.size();
    std::vector<std::string> order;
    std::vector<std::vector<double>> columns;
    for (const ShoalingEstimate& e : r.estimates)
        for (const NamedValue& v : e.values) {
            auto it = std::find(order.begin(), order.end(), v.name);
            if (it == order.end()) {
                order.push_back(v.name);
                columns.emplace_back(n, kNaN);
                it = order.end() - 1;
            }
            if (e.point >= 0 && static_cast<std::size_t>(e.point) < n) columns[it - order.begin()][e.point] = v.value;
        }
    py::dict estimates;
    for (std::size_t i = 0; i < order.size(); ++i) estimates[order[i].c_str()] = ToArray(columns[i]);

    py::dict profile;
    profile["distance"] = ToArray(r.displayDistance);
    profile["depth"] = ToArray(r.displayDepth);
    py::list items;
    const auto displayItems = DisplayItemsFor(m);
    for (std::size_t i = 0; i < displayItems.size(); ++i) {
        items.append(displayItems[i].text);
        profile[displayItems[i].text] =
            ToArray(i < r.displayValues.size() ? r.displayValues[i] : std::vector<double>{});
    }
    return py::dict("method"_a = m, "x_axis"_a = r.axisMode == 0 ? "depth" : "distance",
                    "points"_a = ToArray(r.points), "estimates"_a = estimates,
                    "profile"_a = profile, "items"_a = items, "report"_a = ShoalingReportLines(r),
                    "chart"_a = py::dict("x"_a = ToArray(r.chartX), "y"_a = ToArray(r.chartY),
                                         "x_title"_a = r.xTitle, "y_title"_a = r.yTitle),
                    "bed"_a = py::dict("x"_a = ToArray(r.bedX), "y"_a = ToArray(r.bedY)));
}

// ---------------------------------------------------------------------------------------
// Long series

int Jobs(int jobs) {
    if (jobs < 0 || jobs > 256) throw py::value_error("jobs must be 0..256");
    return jobs == 0 ? static_cast<int>(std::max(1u, std::thread::hardware_concurrency())) : jobs;
}

using DoubleArray = py::array_t<double, py::array::c_style | py::array::forcecast>;

// A float series as the program holds it; NaN becomes the missing marker.
std::vector<float> FloatSeries(const DoubleArray& a) {
    std::vector<float> v(static_cast<std::size_t>(a.size()));
    const double* p = a.data();
    for (std::size_t i = 0; i < v.size(); ++i) v[i] = std::isnan(p[i]) ? ErrorValue : static_cast<float>(p[i]);
    return v;
}

py::dict VelocitySeries(const DoubleArray& hs, const DoubleArray& ts, const DoubleArray& tide,
                        py::handle method, const BedOptions& bed, py::handle points,
                        const std::string& item, bool umax, bool xmax, double kr, double msl,
                        int jobs, const PhysicalConstants& constants) {
    if (hs.ndim() != 1 || ts.ndim() != 1 || tide.ndim() != 1)
        throw py::value_error("hs, ts and tide must be one-dimensional");
    if (hs.size() != ts.size()) throw py::value_error("hs and ts must have the same length");
    const int m = MethodIndex(method);
    if (!SurfZoneModelOf(m).random) Raise(gError, msg::kNotForRegularWaves);
    const int threads = Jobs(jobs);

    ShoalingRun run{constants};
    ShoalingOutput silent;
    KeepingPrompter prompter;
    SetUpBed(run, m, bed, silent, prompter);

    VelocityOptions options;
    options.output = Pick("item", item, {"urms", "um", "us"});
    options.velMax = umax;
    options.placeMax = xmax;
    options.Kr = kr;
    options.MSL = msl;
    run.ParseEstimationPoints(PointsText(points));
    SeriesStore table;
    table.header.SampleSize = static_cast<std::int32_t>(tide.size());
    if (!SetUpVelocityOutput(table, options, run))
        Raise(gError, "推定位置を入力して下さい。");

    VelocityInputs in;
    in.HsSeries = FloatSeries(hs);
    in.TsSeries = FloatSeries(ts);
    in.TideSeries = FloatSeries(tide);
    std::vector<std::vector<double>> values;
    VelocityRunResult r;
    {
        py::gil_scoped_release release;
        QuietProgress progress;
        r = ComputeVelocityValues(in, options, run, table.header, values, constants, progress,
                                  prompter, threads);
    }
    if (!r.completed) prompter.RaiseFirst(msg::kRunAbandoned);
    py::dict result;
    for (int c = 0; c < table.header.NchInterval; ++c) {
        // Names cut to the file's 16 bytes may meet; the later ones get a suffix.
        const std::string name = table.header.ItemName[c];
        std::string key = name;
        for (int k = 2; result.contains(key); ++k) key = name + "_" + std::to_string(k);
        result[py::str(key)] = ToArray(values[c]);
    }
    return result;
}

py::array_t<double> HeightSeries(const DoubleArray& us, const DoubleArray& tp, const DoubleArray& tide,
                                 double meanDepth, double dh, double usFactor, double tpFactor,
                                 int jobs, double gravity) {
    py::module_ np = py::module_::import("numpy");
    py::list b = np.attr("broadcast_arrays")(us, tp, tide);
    DoubleArray u = DoubleArray::ensure(np.attr("ascontiguousarray")(b[0]));
    DoubleArray p = DoubleArray::ensure(np.attr("ascontiguousarray")(b[1]));
    DoubleArray t = DoubleArray::ensure(np.attr("ascontiguousarray")(b[2]));
    const std::vector<py::ssize_t> shape(u.shape(), u.shape() + u.ndim());
    py::array_t<double> heights(shape);
    const std::size_t n = static_cast<std::size_t>(u.size());
    WaveHeightInputs inputs;
    inputs.meanDepth = meanDepth;
    inputs.dh = dh;
    inputs.factorUs = usFactor;
    inputs.factorTp = tpFactor;
    const int threads = Jobs(jobs);
    double* out = heights.mutable_data();
    {
        py::gil_scoped_release release;
        ComputeWaveHeights({u.data(), n}, {p.data(), n}, {t.data(), n}, inputs, gravity, {out, n}, threads);
    }
    return heights;
}

// ---------------------------------------------------------------------------------------
// Series files

// Days since 1899-12-30 (local, naive) <-> microseconds since 1970-01-01.
constexpr double kUnixEpochDays = 25569.0;
long long DaysToMicroseconds(double days) {
    return std::llround((days - kUnixEpochDays) * 86400e6);
}
double MicrosecondsToDays(long long us) { return static_cast<double>(us) / 86400e6 + kUnixEpochDays; }

struct Series {
    std::string kind, memo;
    int version = 0;
    double startDays = 0;
    double interval = 0;   // seconds
    int bursts = 0;
    std::vector<std::string> names, units;
    std::vector<double> coefA, coefB;
    py::dict data;         // name -> float64 array

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
    if (!FileExists(path)) Raise(gFileError, "ファイル「" + path + "」が見つかりません。");
    SeriesFile file;
    try {
        file = ReadSeriesFile(path);
    } catch (const OrvaneError& e) {
        Raise(gFileError, e.what());
    }
    const SeriesHeader& h = file.header;
    if (burst < 0 || burst >= std::max<int>(1, h.Iteration)) throw py::value_error("burst out of range");

    Series s;
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
    return s;
}

void WriteSeries(const std::string& path, py::dict data, py::object units, py::object coefA,
                 py::object coefB, py::object start, double interval, const std::string& memo) {
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
        auto seq = o.cast<std::vector<T>>();
        if (seq.size() != channels) throw py::value_error(std::string(what) + " must have one entry per channel");
        return seq;
    };
    const auto u = list(units, "units", std::string());
    const auto a = list(coefA, "coef_a", 1.0);
    const auto b = list(coefB, "coef_b", 0.0);
    for (std::size_t c = 0; c < channels; ++c) {
        h.UnitName[c] = u[c];
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
        throw py::value_error("interval must be a whole number of milliseconds (seconds given)");
    h.SInt = static_cast<std::int32_t>(ms);
    SplitMilliseconds(h.SInt, h.SIntUnit);
    if (!start.is_none()) {
        py::object us = py::module_::import("numpy").attr("datetime64")(start, "us").attr("astype")("int64");
        h.StartTime = MicrosecondsToDays(us.cast<long long>());
    }
    NormaliseAsSaveWindow(h);
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

}  // namespace

PYBIND11_MODULE(_orvane, m) {
    m.doc() = "Coastal wave analysis: wavenumber, small-amplitude waves, Rayleigh amplitudes, "
              "bottom velocity, shoaling over a bed, and the SDF/TSD series tools. SI units "
              "throughout (m, s, m/s). Every number is the program's own (the same core).";
    m.attr("__version__") = ORVANE_VERSION;

    gError = NewError(m, "Error", PyExc_Exception,
                      "Any error of the program; str(e) is its Japanese message.");
    gConversionError = NewError(m, "ConversionError",
                                py::make_tuple(py::handle(gError), py::handle(PyExc_ValueError)).release().ptr(),
                                "A value that cannot be converted or stored.");
    gCalculationError = NewError(m, "CalculationError",
                                 py::make_tuple(py::handle(gError), py::handle(PyExc_ArithmeticError)).release().ptr(),
                                 "Division by zero, an invalid operation or an overflow in a formula.");
    gFileError = NewError(m, "FileError",
                          py::make_tuple(py::handle(gError), py::handle(PyExc_OSError)).release().ptr(),
                          "A file that cannot be found, read or written.");
    gConvergenceError = NewError(m, "ConvergenceError",
                                 py::make_tuple(py::handle(gError), py::handle(PyExc_RuntimeError)).release().ptr(),
                                 "An iteration that does not settle.");
    py::register_exception_translator(TranslateErrors);

    m.attr("GRAVITY") = kDefaults.gra;
    m.attr("DENSITY") = kDefaults.SGfluid;
    m.attr("PERIOD_RATIO") = kDefaults.RTp;
    m.attr("GAMMA_TG") = kDefaults.gamma_TG;
    m.attr("B_TG") = kDefaults.B_TG;

    m.def("wavenumber", &Wavenumber, "period"_a, "depth"_a, py::kw_only(), "gravity"_a = kDefaults.gra,
          R"(Wavenumber k (rad/m) of the linear dispersion relation.

period: wave period T (s); depth: water depth h (m); gravity (m/s^2).
Broadcasts over every argument; plain numbers give a float, arrays an array.
Raises CalculationError for zero or negative inputs, ConvergenceError when the
iteration does not settle.)");

    m.def("airy", &Airy, "depth"_a, "period"_a, "height"_a, "z"_a = 0.0, py::kw_only(),
          "gravity"_a = kDefaults.gra, "density"_a = kDefaults.SGfluid,
          R"(Small-amplitude (linear) wave at depth h (m), period T (s), height H (m), at
height z (m) above the sea bed.

Returns a dict: k (rad/m), L and L0 (m), n, c and Cg (m/s), Ks, F (energy flux,
W/m), u and w (orbital velocity amplitudes at z, m/s). density is in g/cm^3.
Broadcasts over depth, period, height and z.)");

    m.def("rayleigh", &Rayleigh, "a"_a, "p"_a, py::kw_only(), "reference"_a = "rms",
          R"(Rayleigh exceedance amplitude: Ap with probability p of being exceeded, and the
mean of the amplitudes above Ap (same unit as a).

a: rms amplitude (reference='rms') or significant value (reference='significant');
0 < p <= 1. Returns a dict with Ap and mean. Broadcasts over a and p.)");

    m.def("bottom_velocity", &BottomVelocity, "depth"_a, "period"_a, "height"_a, "slope"_a = 0.0,
          "random"_a = false, py::kw_only(), "gravity"_a = kDefaults.gra,
          "period_ratio"_a = kDefaults.RTp,
          R"(Wave orbital velocity at the sea bed (m/s).

depth h (m), period T (s), height H (m), slope s (tan of the bed angle).
random=False: a single wave; returns a dict with L0 (m), Hb (breaker height, m), kh,
U0, Uac, broken (1.0 or 0.0), Ud (broken only), Ur, H0 (m), Uc, Umax, Tc (s), R1, R2
(unbroken only; 0 where the path does not give them).
random=True: a random sea of significant height H and period T (Tp = T/period_ratio,
Hrms = H/1.416); returns Urms and Us. Broadcasts over depth, period, height, slope.)");

    m.def("random_wave_velocity", &RandomWaveVelocityPy, "tp"_a, "hrms"_a, "depth"_a, py::kw_only(),
          "gravity"_a = kDefaults.gra,
          R"(Bottom velocity of a random sea: peak period tp (s), rms height hrms (m), depth (m).

Returns a dict with Urms (rms velocity, m/s) and Us (significant velocity amplitude,
m/s). Broadcasts over every argument.)");

    m.def(
        "shoal",
        [](py::handle method, double height, double period, py::object slope, py::object profile,
           py::handle points, double tide, py::object obsDepth, const std::string& heightKind,
           const std::string& periodKind, const std::string& xAxis, py::object onshoreEnd,
           py::object offshoreEnd, py::object distanceColumn, py::object depthColumn, double gravity,
           double density, double periodRatio, double gammaTG, double bTG) {
            BedOptions bed{slope, profile, obsDepth, distanceColumn, depthColumn, xAxis, onshoreEnd, offshoreEnd};
            return Shoal(method, height, period, bed, points, tide, heightKind, periodKind,
                         Constants(gravity, density, periodRatio, gammaTG, bTG));
        },
        "method"_a, "height"_a, "period"_a, py::kw_only(), "slope"_a = 0.1, "profile"_a = py::none(),
        "points"_a = py::make_tuple(2.0, 4.0, 6.0), "tide"_a = 0.0, "obs_depth"_a = py::none(),
        "height_kind"_a = "significant", "period_kind"_a = "significant", "x_axis"_a = "depth",
        "onshore_end"_a = py::none(), "offshore_end"_a = py::none(), "distance_column"_a = 0,
        "depth_column"_a = 1, "gravity"_a = kDefaults.gra, "density"_a = kDefaults.SGfluid,
        "period_ratio"_a = kDefaults.RTp, "gamma_tg"_a = kDefaults.gamma_TG, "b_tg"_a = kDefaults.B_TG,
        R"(Wave-height shoaling from offshore to the shore, as the shoaling window runs it.

method: a number or name of the model table (orvane-cli shoal --help lists them):
0 'regular' (regular waves), 1 'goda', 2 'thornton-guza', 3 'battjes-stive'.
height (m) and period (s) of the offshore wave; height_kind 'significant' | 'rms',
period_kind 'significant' | 'peak'. The bed: slope (tan of the angle) or profile, a
CSV file name (columns by name or index from 0) or two arrays (distance from the
shoreline, depth below MSL, m). points: estimation points, depths below MSL (x_axis
'depth') or distances (m, 'distance'; always with a profile); tide (m above MSL);
obs_depth: the observation point where methods 2 and 3 start. onshore_end and
offshore_end: the display range (default 0.1 and 10, or the profile's extent).

Returns a dict:
  points      the estimation points, descending;
  estimates   name -> array over points (NaN where the wave did not get there):
              Hrms, Hm, Hs, Ks, H1/10, H1/100, reduction (%), eta, zeta_rms (Goda);
              Ks, H, eta, broken (regular); Hrms, Hs, Ks (Thornton-Guza);
              Hrms, Hs, Ks, eta (Battjes-Stive);
  profile     distance and depth at every drawn step, and one array per display item
              (items), e.g. 'Hrms', 'Hs', 'η' (set-up, m);
  chart       the plotted line (x, y and their titles), bed: the drawn bed area;
  report      the report lines as the window shows them.
Errors raise orvane.Error (or a subclass) with the program's message. So does a run
that computes nothing (a period of 0, the whole display range dry at the tide, a wave
that breaks before it reaches the range): it never returns empty estimates.)");

    m.def(
        "velocity_series",
        [](const DoubleArray& hs, const DoubleArray& ts, const DoubleArray& tide, py::handle method,
           py::object slope, py::object profile, py::handle points, const std::string& item, bool umax,
           bool xmax, double kr, double msl, int jobs, py::object obsDepth, const std::string& xAxis,
           py::object onshoreEnd, py::object offshoreEnd, py::object distanceColumn, py::object depthColumn,
           double gravity, double density, double periodRatio, double gammaTG, double bTG) {
            BedOptions bed{slope, profile, obsDepth, distanceColumn, depthColumn, xAxis, onshoreEnd, offshoreEnd};
            return VelocitySeries(hs, ts, tide, method, bed, points, item, umax, xmax, kr, msl, jobs,
                                  Constants(gravity, density, periodRatio, gammaTG, bTG));
        },
        "hs"_a, "ts"_a, "tide"_a, py::kw_only(), "method"_a = 1, "slope"_a = 0.1, "profile"_a = py::none(),
        "points"_a = py::make_tuple(2.0, 4.0, 6.0), "item"_a = "urms", "umax"_a = false, "xmax"_a = false,
        "kr"_a = 1.0, "msl"_a = 0.0, "jobs"_a = 0, "obs_depth"_a = py::none(), "x_axis"_a = "depth",
        "onshore_end"_a = py::none(), "offshore_end"_a = py::none(), "distance_column"_a = 0, "depth_column"_a = 1,
        "gravity"_a = kDefaults.gra, "density"_a = kDefaults.SGfluid, "period_ratio"_a = kDefaults.RTp,
        "gamma_tg"_a = kDefaults.gamma_TG, "b_tg"_a = kDefaults.B_TG,
        R"(Bottom velocity series at the estimation points from offshore waves and tides.

hs: offshore significant height (m), ts: significant period (s), tide: tide (m above
the tide datum); one value per sample, NaN for a missing sample. The values are held
as 32-bit floats, as the program holds what it reads. The wave series may be shorter
than the tide (its tail is then missing).
method 1 'goda', 2 'thornton-guza' or 3 'battjes-stive'; the bed and points as in
shoal() (the range ends default to 0.1 and 10, or the profile's extent); kr: measured -> offshore height factor; msl: height of MSL above the tide
datum (m); item 'urms' | 'um' | 'us'; umax / xmax add the largest velocity over the
profile and where it occurs. jobs threads (0: one per core); the GIL is released.

Returns a dict channel name -> float64 array (m/s; m for the place), named as the
program's result file names them, NaN where the file gets a missing sample. Rounding
value/0.001 (0.01 for the place) half to even gives the file's counts.)");

    m.def("height_series", &HeightSeries, "us"_a, "tp"_a, "tide"_a, py::kw_only(), "mean_depth"_a = 10.0,
          "dh"_a = 0.0, "us_factor"_a = 1.0, "tp_factor"_a = 1.0, "jobs"_a = 0, "gravity"_a = kDefaults.gra,
          R"(Significant wave height (m) from the significant bottom velocity amplitude us
(m/s), the peak period tp (s) and the tide (m), as the wave-height tool computes it:
depth = mean_depth + dh + tide. NaN in, NaN out. Broadcasts; jobs threads (0: one per
core) with the GIL released. Raises CalculationError for a zero or negative period or
depth.)");

    py::class_<Series>(m, "Series", R"(A time series read by read_series().

kind ('SDF' or 'TSD'), version (SDF version, 0 for TSD), memo, start
(numpy.datetime64), interval (s), bursts, names, units, coef_a, coef_b, data (dict
name -> float64 array of physical values, NaN for missing samples), time (the
datetime64 axis). to_pandas() and to_xarray() convert it.)")
        .def_readonly("kind", &Series::kind)
        .def_readonly("version", &Series::version)
        .def_readonly("memo", &Series::memo)
        .def_readonly("interval", &Series::interval)
        .def_readonly("bursts", &Series::bursts)
        .def_readonly("names", &Series::names)
        .def_readonly("units", &Series::units)
        .def_readonly("coef_a", &Series::coefA)
        .def_readonly("coef_b", &Series::coefB)
        .def_readonly("data", &Series::data)
        .def_property_readonly("start", &Series::Start)
        .def_property_readonly("time", &Series::Time)
        .def("__getitem__", [](const Series& s, const std::string& name) { return s.data[py::str(name)]; },
             "The physical values of a channel by name.")
        .def("__len__", [](const Series& s) { return s.data.empty() ? 0 : py::len(s.data.begin()->second); },
             "The number of samples.")
        .def("__repr__", [](const Series& s) {
            return "<orvane.Series " + s.kind + " " + std::to_string(s.names.size()) + " channels>";
        }, "The kind and the number of channels.")
        .def("to_pandas", &SeriesToPandas, "A pandas.DataFrame indexed by time, one column per channel.")
        .def("to_xarray", &SeriesToXarray,
             "An xarray.Dataset over time, one variable per channel with units and coefficients.")
        .def(py::pickle(
            [](const Series& s) {
                return py::make_tuple(s.kind, s.memo, s.version, s.startDays, s.interval, s.bursts,
                                      s.names, s.units, s.coefA, s.coefB, s.data);
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
                return s;
            }));

    m.def(
        "read_series",
        [](py::object path, int burst) {
            return ReadSeries(py::str(py::module_::import("os").attr("fspath")(path)).cast<std::string>(), burst);
        },
        "path"_a, "burst"_a = 0,
        R"(Reads an SDF (any version, 1 to 4) or TSD file in memory, never changing it; returns
a Series of one burst (the first by default): physical values of every interval
channel as the program's tools read them. Raises FileError with the reader's message
when the file cannot be read.)");

    m.def(
        "write_series",
        [](py::object path, py::object data, py::object units, py::object coefA, py::object coefB,
           py::object start, double interval, const std::string& memo) {
            if (py::isinstance<Series>(data)) {
                const Series& s = data.cast<const Series&>();
                if (units.is_none()) units = py::cast(s.units);
                if (coefA.is_none()) coefA = py::cast(s.coefA);
                if (coefB.is_none()) coefB = py::cast(s.coefB);
                if (start.is_none()) start = s.Start();
                if (std::isnan(interval)) interval = s.interval;
                data = s.data;
            }
            if (std::isnan(interval)) interval = 1.0;
            WriteSeries(py::str(py::module_::import("os").attr("fspath")(path)).cast<std::string>(),
                        data.cast<py::dict>(), units, coefA, coefB, start, interval, memo);
        },
        "path"_a, "data"_a, py::kw_only(), "units"_a = py::none(), "coef_a"_a = py::none(),
        "coef_b"_a = py::none(), "start"_a = py::none(), "interval"_a = kNaN, "memo"_a = "",
        R"(Writes a series as SDF (a .sdf name) or TSD (any other name), as the program's save
step does: 16-bit counts (value - B) / A rounded half to even, NaN as the missing
marker, names and units cut to 16 and 8 bytes, the file replaced only when complete.

data: dict name -> 1-D array of physical values, or a Series (its table is then the
default). units, coef_a (A, default 1), coef_b (B, default 0): one per channel;
start: anything numpy.datetime64 takes; interval: seconds (whole milliseconds).
Raises ConversionError, writing nothing, when a value does not fit 16 bits.)");
}
