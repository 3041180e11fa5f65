// The Python module `orvane`: converts Python and NumPy values, calls the core, converts
// the results back. Nothing is computed here.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <exception>
#include <cmath>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <cstdio>
#include <filesystem>
#include <new>
#include <fstream>
#include <limits>
#include <optional>
#include <thread>
#include <type_traits>
#include <vector>

#include "core/app/PhysicalConstants.h"
#include "core/runtime/Cancel.h"
#include "core/runtime/Errors.h"
#include "core/runtime/Jobs.h"
#include "core/runtime/Messages.h"
#include "core/runtime/NumberText.h"
#include "core/runtime/TextFile.h"
#include "core/series/SeriesFile.h"
#include "core/series/SeriesStore.h"
#include "core/series/SeriesWriter.h"
#include "core/shoaling/ShoalingRequest.h"
#include "core/shoaling/ShoalingRun.h"
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
PyObject* gArgumentTypeError = nullptr;
PyObject* gCalculationWarning = nullptr;

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
    } catch (const std::bad_alloc&) {
        PyErr_SetString(PyExc_MemoryError, "メモリが足りません。入力が大きすぎるか、壊れています。");
    }
}

[[noreturn]] void Raise(PyObject* type, const std::string& text) {
    PyErr_SetString(type, text.c_str());
    throw py::error_already_set();
}

// A path argument (str or path-like). A NUL would end the name early in the system's
// calls, so a different file than the one named would be read or written: refused.
std::string PathArg(py::handle path) {
    // os.fsencode takes str, bytes and path-like objects alike.
    const std::string text = py::module_::import("os").attr("fsencode")(path).cast<std::string>();
    if (text.find('\0') != std::string::npos)
        Raise(gFileError, "ファイル名「" + MessageExcerpt(text) + "」に NUL 文字があります。");
    return text;
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

// A run's progress: nothing to show; a cancel is the call's own flag.
class QuietProgress : public Progress {
public:
    explicit QuietProgress(const CancelFlag* cancel = nullptr) : cancel_(cancel) {}
    void SetProgressComment(const std::string&) override {}
    void SetProgressPosition(int) override {}
    bool Cancelled() const override { return cancel_ && cancel_->Requested(); }
    void SetStatusLine(const std::string&) override {}
    void Hide() override {}
private:
    const CancelFlag* cancel_;
};

// Runs `work` (no Python objects in it) on a thread of its own while this thread, holding
// the GIL between short waits, lets Python handle signals: Ctrl-C sets `cancel`, the run
// stops at its next step, and KeyboardInterrupt (or whatever the handler raised) leaves
// the call. Other errors of the work are raised here as they are.
template <class F>
void RunInterruptible(CancelFlag& cancel, F&& work) {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    std::exception_ptr error;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            error = std::current_exception();
        }
        std::lock_guard lock(mutex);
        finished = true;
        done.notify_all();
    });
    bool interrupted = false;
    for (;;) {
        {
            py::gil_scoped_release release;
            std::unique_lock lock(mutex);
            if (done.wait_for(lock, std::chrono::milliseconds(100), [&] { return finished; })) break;
        }
        if (PyErr_CheckSignals() != 0) {
            interrupted = true;
            cancel.Request(SIGINT);
            break;
        }
    }
    {
        py::gil_scoped_release release;
        worker.join();
    }
    if (interrupted) throw py::error_already_set();
    if (error) std::rethrow_exception(error);
}

// ---------------------------------------------------------------------------------------
// Broadcasting, threads and the per-element rule of the calculators

// 0: the cores this process may use, as on the command line.
int Jobs(int jobs) {
    if (jobs < 0 || jobs > 256) throw py::value_error("jobs は 0～256 にしてください (0 は使えるコアの数)。");
    return ThreadsForJobs(jobs);
}

// Elements whose computation raised: how many, and the error of the first.
struct Failures {
    std::size_t count = 0;
    std::size_t first = std::numeric_limits<std::size_t>::max();
    std::exception_ptr error;
    void Add(std::size_t i, std::exception_ptr e) {
        ++count;
        if (i < first) first = i, error = e;
    }
    void Merge(const Failures& o) {
        count += o.count;
        if (o.first < first) first = o.first, error = o.error;
    }
};

std::string MessageOf(std::exception_ptr e) {
    try {
        std::rethrow_exception(e);
    } catch (const std::exception& x) {
        return x.what();
    } catch (...) {
        return "?";
    }
}

// Runs body(begin, end, failures) over [0, n) in at most `threads` slices of at least
// `grain` elements, this thread taking the first. Called without the GIL.
template <class F>
Failures Split(std::size_t n, int threads, std::size_t grain, F body) {
    const std::size_t slices = std::clamp<std::size_t>(n / std::max<std::size_t>(grain, 1), 1,
                                                       static_cast<std::size_t>(threads));
    std::vector<Failures> failures(slices);
    auto run = [&](std::size_t s) {
        const std::size_t begin = n * s / slices, end = n * (s + 1) / slices;
        try {
            body(begin, end, failures[s]);
        } catch (...) {
            failures[s].Add(begin, std::current_exception());
        }
    };
    std::vector<std::thread> pool;
    for (std::size_t s = 1; s < slices; ++s) pool.emplace_back(run, s);
    run(0);
    for (auto& t : pool) t.join();
    Failures all;
    for (const auto& f : failures) all.Merge(f);
    return all;
}

py::object gNumpyGeneric;  // numpy.generic

int ArrayDims(PyObject* o) { return static_cast<int>(py::reinterpret_borrow<py::array>(o).ndim()); }

// A plain number, None (NaN), a NumPy scalar or a 0-d array, as a double; false for
// anything else.
bool ScalarOf(PyObject* o, double& value) {
    if (PyFloat_Check(o)) {
        value = PyFloat_AS_DOUBLE(o);
        return true;
    }
    if (PyLong_Check(o)) {
        value = PyLong_AsDouble(o);
        if (value == -1.0 && PyErr_Occurred()) throw py::error_already_set();
        return true;
    }
    if (o == Py_None) {
        value = kNaN;
        return true;
    }
    const bool zeroDim = py::isinstance<py::array>(o) && ArrayDims(o) == 0;
    if (!zeroDim && !PyObject_TypeCheck(o, reinterpret_cast<PyTypeObject*>(gNumpyGeneric.ptr()))) return false;
    PyObject* f = PyNumber_Float(o);
    if (!f) {
        PyErr_Clear();
        return false;  // the array path converts it or says why not
    }
    value = PyFloat_AS_DOUBLE(f);
    Py_DECREF(f);
    return true;
}

// Arguments the module takes as they are: numbers, None, NumPy scalars and arrays, lists
// and tuples. Anything else (xarray, dask, pandas) goes back to the Python layer.
bool Native(PyObject* o) {
    return PyFloat_Check(o) || PyLong_Check(o) || o == Py_None || PyList_Check(o) || PyTuple_Check(o) ||
           py::isinstance<py::array>(o) ||
           PyObject_TypeCheck(o, reinterpret_cast<PyTypeObject*>(gNumpyGeneric.ptr()));
}

template <std::size_t N>
using Inputs = std::array<BatchInput, N>;
template <std::size_t M>
using Outputs = std::array<double*, M>;

// A calculator over broadcast arrays. `names` are the arguments' names (for messages),
// `outputs` the results'; `slice(in, out, begin, end, failures)` computes elements
// [begin, end). A NaN input gives NaN; an element that raises gives NaN, and a
// CalculationWarning names the first such element. Scalars in give floats out and raise.
template <std::size_t N, std::size_t M, class Slice>
py::object Calculate(const char* function, const std::array<py::handle, N>& args,
                     const std::array<const char*, N>& names, const std::array<const char*, M>& outputs,
                     int jobs, std::size_t grain, Slice slice) {
    for (py::handle a : args)
        if (!Native(a.ptr())) return py::reinterpret_borrow<py::object>(Py_NotImplemented);
    const int threads = Jobs(jobs);

    std::array<double, N> scalar{};
    bool scalars = true;
    for (std::size_t i = 0; i < N && scalars; ++i) scalars = ScalarOf(args[i].ptr(), scalar[i]);
    if (scalars) {
        std::array<double, M> out{};
        Inputs<N> in;
        for (std::size_t i = 0; i < N; ++i) in[i] = {&scalar[i], 0};
        Outputs<M> dst;
        for (std::size_t k = 0; k < M; ++k) dst[k] = &out[k];
        Failures failed;
        slice(in, dst, 0, 1, failed);
        if (failed.count) std::rethrow_exception(failed.error);
        if (M == 1) return py::float_(out[0]);
        py::dict d;
        for (std::size_t k = 0; k < M; ++k) d[outputs[k]] = out[k];
        return d;
    }

    py::module_ np = py::module_::import("numpy");
    std::array<py::array, N> arrays;
    for (std::size_t i = 0; i < N; ++i) {
        try {
            arrays[i] = np.attr("asarray")(args[i], "dtype"_a = "float64");
        } catch (py::error_already_set& e) {
            Raise(gArgumentTypeError, std::string(function) + ": " + names[i] +
                                          " を数の配列にできません (" + e.what() + ")");
        }
    }
    py::tuple shape;
    try {
        shape = np.attr("broadcast")(*py::tuple(py::cast(std::vector<py::object>(arrays.begin(), arrays.end())))).attr("shape");
    } catch (py::error_already_set&) {
        std::string shapes;
        for (std::size_t i = 0; i < N; ++i)
            shapes += std::string(i ? ", " : "") + names[i] + " " + py::str(arrays[i].attr("shape")).cast<std::string>();
        Raise(gConversionError, std::string(function) + ": 配列の形が揃いません (" + shapes +
                                    ")。NumPy の broadcast の規則で揃う形にして下さい。");
    }
    std::array<py::array, N> held;  // what the pointers point into
    Inputs<N> in;
    for (std::size_t i = 0; i < N; ++i) {
        if (arrays[i].size() == 1) {
            held[i] = np.attr("ascontiguousarray")(arrays[i]);
            in[i] = {static_cast<const double*>(held[i].data()), 0};
        } else {
            held[i] = np.attr("ascontiguousarray")(np.attr("broadcast_to")(arrays[i], shape));
            in[i] = {static_cast<const double*>(held[i].data()), 1};
        }
    }
    std::vector<py::ssize_t> dims;
    for (py::handle d : shape) dims.push_back(d.cast<py::ssize_t>());
    std::array<py::array_t<double>, M> results;
    Outputs<M> out;
    for (std::size_t k = 0; k < M; ++k) {
        results[k] = py::array_t<double>(dims);
        out[k] = results[k].mutable_data();
    }
    const std::size_t n = static_cast<std::size_t>(results[0].size());
    Failures failed;
    {
        py::gil_scoped_release release;
        failed = Split(n, threads, grain, [&](std::size_t begin, std::size_t end, Failures& f) {
            slice(in, out, begin, end, f);
        });
    }
    if (failed.count) {
        py::object index = np.attr("unravel_index")(failed.first, shape);
        const std::string text = std::string(function) + ": " + std::to_string(failed.count) +
                                 " 個の要素が計算できず NaN になりました。最初は位置 " +
                                 py::str(index).cast<std::string>() + ": " + MessageOf(failed.error);
        if (PyErr_WarnEx(gCalculationWarning, text.c_str(), 2) < 0) throw py::error_already_set();
    }
    if (M == 1) return results[0];
    py::dict d;
    for (std::size_t k = 0; k < M; ++k) d[outputs[k]] = results[k];
    return d;
}

// The slice of a calculator that calls a core function element by element.
template <std::size_t N, std::size_t M, class F>
auto PerElement(F f) {
    return [f](const Inputs<N>& in, const Outputs<M>& out, std::size_t begin, std::size_t end,
               Failures& failed) {
        std::array<double, N> a;
        std::array<double, M> r;
        for (std::size_t j = begin; j < end; ++j) {
            bool missing = false;
            for (std::size_t i = 0; i < N; ++i) missing |= std::isnan(a[i] = in[i][j]);
            if (!missing) {
                try {
                    f(a, r);
                    for (std::size_t k = 0; k < M; ++k) out[k][j] = r[k];
                    continue;
                } catch (...) {
                    failed.Add(j, std::current_exception());
                }
            }
            for (std::size_t k = 0; k < M; ++k) out[k][j] = kNaN;
        }
    };
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

// Roughly the elements of a millisecond each: below that a thread costs more than it saves.
constexpr std::size_t kGrainWavenumber = 16384, kGrainAiry = 4096, kGrainSingleWave = 1024,
                      kGrainRandom = 256, kGrainRayleigh = 16;

py::object Wavenumber(py::handle period, py::handle depth, py::handle gravity, int jobs) {
    return Calculate<3, 1>("wavenumber", {period, depth, gravity}, {"period", "depth", "gravity"}, {"k"},
                           jobs, kGrainWavenumber,
                           [](const Inputs<3>& in, const Outputs<1>& out, std::size_t begin,
                              std::size_t end, Failures& failed) {
                               auto at = [begin](BatchInput b) { return BatchInput{b.data + begin * b.step, b.step}; };
                               WaveNumbers(at(in[0]), at(in[1]), at(in[2]), out[0] + begin, end - begin,
                                           [&](std::size_t i, std::exception_ptr e) { failed.Add(begin + i, e); });
                           });
}

py::object Airy(py::handle depth, py::handle period, py::handle height, py::handle z,
                double gravity, double density, int jobs) {
    const PhysicalConstants c = Constants(gravity, density, kDefaults.RTp);
    return Calculate<4, 10>("airy", {depth, period, height, z}, {"depth", "period", "height", "z"},
                            {"k", "L", "L0", "n", "c", "Cg", "Ks", "F", "u", "w"}, jobs, kGrainAiry,
                            PerElement<4, 10>([c](const auto& a, auto& r) {
                                const SmallAmplitudeWave w = ComputeSmallAmplitudeWave(a[0], a[1], a[2], a[3], c);
                                r = {w.k, w.L, w.L0, w.n, w.c, w.Cg, w.Ks, w.F, w.u, w.w};
                            }));
}

py::object Rayleigh(py::handle a, py::handle p, const std::string& reference, int jobs) {
    RayleighReference kind;
    if (reference == "rms")
        kind = RayleighReference::Rms;
    else if (reference == "significant")
        kind = RayleighReference::Significant;
    else
        throw py::value_error("reference must be 'rms' or 'significant'");
    return Calculate<2, 2>("rayleigh", {a, p}, {"a", "p"}, {"Ap", "mean"}, jobs, kGrainRayleigh,
                           PerElement<2, 2>([kind](const auto& v, auto& r) {
                               const RayleighResult x = ComputeRayleigh(v[0], v[1], kind);
                               r = {static_cast<double>(x.Ap), static_cast<double>(x.mean)};
                           }));
}

py::object BottomVelocity(py::handle depth, py::handle period, py::handle height, py::handle slope,
                          bool random, double gravity, double periodRatio, int jobs) {
    if (random) {
        const PhysicalConstants c = Constants(gravity, kDefaults.SGfluid, periodRatio);
        return Calculate<3, 2>("bottom_velocity", {depth, period, height}, {"depth", "period", "height"},
                               {"Urms", "Us"}, jobs, kGrainRandom,
                               PerElement<3, 2>([c](const auto& a, auto& r) {
                                   const RandomVelocity v = SignificantWaveVelocity(a[0], a[2], a[1], c);
                                   r = {v.Urms, v.Us};
                               }));
    }
    return Calculate<4, 14>(
        "bottom_velocity", {depth, period, height, slope}, {"depth", "period", "height", "slope"},
        {"L0", "Hb", "kh", "U0", "Uac", "broken", "Ud", "Ur", "H0", "Uc", "Umax", "Tc", "R1", "R2"},
        jobs, kGrainSingleWave, PerElement<4, 14>([gravity](const auto& a, auto& r) {
            const SingleWaveResult s = ComputeSingleWave(a[0], a[2], a[1], a[3], gravity);
            r = {s.L0, s.Hb, s.kh, s.U0, s.Uac, s.broken ? 1.0 : 0.0, s.Ud, s.Ur, s.H0, s.Uc,
                 s.Umax, s.Tc, s.R1, s.R2};
        }));
}

py::object RandomWaveVelocityPy(py::handle tp, py::handle hrms, py::handle depth, double gravity, int jobs) {
    return Calculate<3, 2>("random_wave_velocity", {tp, hrms, depth}, {"tp", "hrms", "depth"}, {"Urms", "Us"},
                           jobs, kGrainRandom, PerElement<3, 2>([gravity](const auto& a, auto& r) {
                               const RandomVelocity v = RandomWaveVelocity(a[0], a[1], a[2], gravity);
                               r = {v.Urms, v.Us};
                           }));
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
    const char* wrong = "points: 推定位置は数のリスト (例 [3.0]) か \"2,4,6\" のような文字列にして下さい。";
    if (!py::isinstance<py::iterable>(points) || py::isinstance<py::bytes>(points)) Raise(gArgumentTypeError, wrong);
    std::string text;
    for (py::handle p : py::iter(points)) {
        if (!text.empty()) text += ",";
        double value;
        if (!ScalarOf(p.ptr(), value)) Raise(gArgumentTypeError, wrong);
        text += py::repr(py::float_(value)).cast<std::string>();
    }
    return text;
}

// The column of a profile file: a header name or an index from 0.
int ProfileColumnOf(py::handle column, const std::vector<std::string>& header) {
    if (py::isinstance<py::str>(column)) {
        const std::string name = column.cast<std::string>();
        for (std::size_t i = 0; i < header.size(); ++i)
            if (header[i] == name) return static_cast<int>(i);
        throw py::value_error("'" + MessageExcerpt(name) + "' は断面データの列の項目名ではありません。");
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
        in.ProfileFile = PathArg(b.profile);
        std::error_code ec;
        if (std::string problem = InputFileProblem(in.ProfileFile);
            !problem.empty() && std::filesystem::exists(in.ProfileFile, ec))
            Raise(gFileError, problem);  // a folder or a FIFO: say what it is
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
    CancelFlag cancel;
    RunInterruptible(cancel, [&] {
        QuietProgress progress(&cancel);
        r = RunShoaling(request, progress, prompter);
    });
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
    const VelocitySeriesRequest request{std::move(in), options, table.header, constants, threads};
    VelocitySeriesResult r;
    CancelFlag cancel;
    RunInterruptible(cancel, [&] {
        QuietProgress progress(&cancel);
        r = RunVelocitySeries(request, run, progress, prompter);
    });
    if (!r.run.completed) prompter.RaiseFirst(msg::kRunAbandoned);
    const auto& values = r.values;
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
    CancelFlag cancel;
    const HeightSeriesRequest request{{u.data(), n}, {p.data(), n}, {t.data(), n}, inputs, gravity, threads, &cancel};
    RunInterruptible(cancel, [&] { RunHeightSeries(request, {out, n}); });
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
    py::object us = py::module_::import("numpy").attr("datetime64")(start, "us").attr("astype")("int64");
    const long long ms = static_cast<long long>(std::llround(static_cast<double>(us.cast<long long>()) / 1000.0));
    return MicrosecondsToDays(ms * 1000);
}

void WriteSeries(const std::string& path, py::dict data, py::object units, py::object coefA,
                 py::object coefB, py::object start, double interval, const std::string& memo) {
    const SeriesFormatInfo* format = SeriesFormatOf(path);
    if (!format || !format->series)
        Raise(gError, "「" + path + "」の拡張子は .sdf か .tsd にして下さい。");
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

// A path as the system takes it: str, bytes or os.PathLike, its bytes unchanged.
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
    gArgumentTypeError = NewError(m, "ArgumentTypeError",
                                  py::make_tuple(py::handle(gError), py::handle(PyExc_TypeError)).release().ptr(),
                                  "An argument of a kind the function does not take.");
    gCalculationWarning = NewError(m, "CalculationWarning", PyExc_RuntimeWarning,
                                   "Elements of an array that could not be computed and became NaN; "
                                   "the text names the first and its error.");
    py::register_exception_translator(TranslateErrors);
    gNumpyGeneric = py::module_::import("numpy").attr("generic");

    m.attr("GRAVITY") = kDefaults.gra;
    m.attr("DENSITY") = kDefaults.SGfluid;
    m.attr("PERIOD_RATIO") = kDefaults.RTp;
    m.attr("GAMMA_TG") = kDefaults.gamma_TG;
    m.attr("B_TG") = kDefaults.B_TG;

    m.def("wavenumber", &Wavenumber, "period"_a, "depth"_a, py::kw_only(), "gravity"_a = kDefaults.gra,
          "jobs"_a = 0,
          R"(Wavenumber k (rad/m) of the linear dispersion relation.

period: wave period T (s); depth: water depth h (m); gravity (m/s^2).
Errors: CalculationError for zero or negative inputs, ConvergenceError when the
iteration does not settle.
Arrays and scalars: every array argument broadcasts with the others (NumPy's rules);
numbers, NumPy scalars and 0-d arrays give a float, arrays an array (dicts of them
where there are several results). xarray DataArrays give DataArrays (a Dataset for
several results) on their coordinates, computed chunk by chunk when dask holds them;
dask arrays give dask arrays; pandas Series give a Series (a DataFrame) on their index.
Missing values: NaN (or None) in an argument gives NaN at that element. An element the
program cannot compute gives NaN and an orvane.CalculationWarning naming the count, the
first element's index and its error (warnings.simplefilter('error',
orvane.CalculationWarning) raises it instead); a scalar call raises the error itself.
jobs: threads for a large array (0: one per core this process may use); the GIL is
released while the elements are computed. Every value equals the scalar call's.)");

    m.def("airy", &Airy, "depth"_a, "period"_a, "height"_a, "z"_a = 0.0, py::kw_only(),
          "gravity"_a = kDefaults.gra, "density"_a = kDefaults.SGfluid, "jobs"_a = 0,
          R"(Small-amplitude (linear) wave at depth h (m), period T (s), height H (m), at
height z (m) above the sea bed.

Returns a dict: k (rad/m), L and L0 (m), n, c and Cg (m/s), Ks, F (energy flux,
W/m), u and w (orbital velocity amplitudes at z, m/s). density is in g/cm^3.
Broadcasts over depth, period, height and z.
Arrays and scalars: every array argument broadcasts with the others (NumPy's rules);
numbers, NumPy scalars and 0-d arrays give a float, arrays an array (dicts of them
where there are several results). xarray DataArrays give DataArrays (a Dataset for
several results) on their coordinates, computed chunk by chunk when dask holds them;
dask arrays give dask arrays; pandas Series give a Series (a DataFrame) on their index.
Missing values: NaN (or None) in an argument gives NaN at that element. An element the
program cannot compute gives NaN and an orvane.CalculationWarning naming the count, the
first element's index and its error (warnings.simplefilter('error',
orvane.CalculationWarning) raises it instead); a scalar call raises the error itself.
jobs: threads for a large array (0: one per core this process may use); the GIL is
released while the elements are computed. Every value equals the scalar call's.)");

    m.def("rayleigh", &Rayleigh, "a"_a, "p"_a, py::kw_only(), "reference"_a = "rms", "jobs"_a = 0,
          R"(Rayleigh exceedance amplitude: Ap with probability p of being exceeded, and the
mean of the amplitudes above Ap (same unit as a).

a: rms amplitude (reference='rms') or significant value (reference='significant');
0 < p <= 1 (outside: orvane.Error). Returns a dict with Ap and mean. Broadcasts over
a and p.
Arrays and scalars: every array argument broadcasts with the others (NumPy's rules);
numbers, NumPy scalars and 0-d arrays give a float, arrays an array (dicts of them
where there are several results). xarray DataArrays give DataArrays (a Dataset for
several results) on their coordinates, computed chunk by chunk when dask holds them;
dask arrays give dask arrays; pandas Series give a Series (a DataFrame) on their index.
Missing values: NaN (or None) in an argument gives NaN at that element. An element the
program cannot compute gives NaN and an orvane.CalculationWarning naming the count, the
first element's index and its error (warnings.simplefilter('error',
orvane.CalculationWarning) raises it instead); a scalar call raises the error itself.
jobs: threads for a large array (0: one per core this process may use); the GIL is
released while the elements are computed. Every value equals the scalar call's.)");

    m.def("bottom_velocity", &BottomVelocity, "depth"_a, "period"_a, "height"_a, "slope"_a = 0.0,
          "random"_a = false, py::kw_only(), "gravity"_a = kDefaults.gra,
          "period_ratio"_a = kDefaults.RTp, "jobs"_a = 0,
          R"(Wave orbital velocity at the sea bed (m/s).

depth h (m), period T (s), height H (m), slope s (tan of the bed angle).
random=False: a single wave; returns a dict with L0 (m), Hb (breaker height, m), kh,
U0, Uac, broken (1.0 or 0.0), Ud (broken only), Ur, H0 (m), Uc, Umax, Tc (s), R1, R2
(unbroken only; 0 where the path does not give them).
random=True: a random sea of significant height H and period T (Tp = T/period_ratio,
Hrms = H/1.416); returns Urms and Us. Broadcasts over depth, period, height, slope
(the slope is not used for a random sea).
Arrays and scalars: every array argument broadcasts with the others (NumPy's rules);
numbers, NumPy scalars and 0-d arrays give a float, arrays an array (dicts of them
where there are several results). xarray DataArrays give DataArrays (a Dataset for
several results) on their coordinates, computed chunk by chunk when dask holds them;
dask arrays give dask arrays; pandas Series give a Series (a DataFrame) on their index.
Missing values: NaN (or None) in an argument gives NaN at that element. An element the
program cannot compute gives NaN and an orvane.CalculationWarning naming the count, the
first element's index and its error (warnings.simplefilter('error',
orvane.CalculationWarning) raises it instead); a scalar call raises the error itself.
jobs: threads for a large array (0: one per core this process may use); the GIL is
released while the elements are computed. Every value equals the scalar call's.)");

    m.def("random_wave_velocity", &RandomWaveVelocityPy, "tp"_a, "hrms"_a, "depth"_a, py::kw_only(),
          "gravity"_a = kDefaults.gra, "jobs"_a = 0,
          R"(Bottom velocity of a random sea: peak period tp (s), rms height hrms (m), depth (m).

Returns a dict with Urms (rms velocity, m/s) and Us (significant velocity amplitude,
m/s). Broadcasts over every argument.
Arrays and scalars: every array argument broadcasts with the others (NumPy's rules);
numbers, NumPy scalars and 0-d arrays give a float, arrays an array (dicts of them
where there are several results). xarray DataArrays give DataArrays (a Dataset for
several results) on their coordinates, computed chunk by chunk when dask holds them;
dask arrays give dask arrays; pandas Series give a Series (a DataFrame) on their index.
Missing values: NaN (or None) in an argument gives NaN at that element. An element the
program cannot compute gives NaN and an orvane.CalculationWarning naming the count, the
first element's index and its error (warnings.simplefilter('error',
orvane.CalculationWarning) raises it instead); a scalar call raises the error itself.
jobs: threads for a large array (0: one per core this process may use); the GIL is
released while the elements are computed. Every value equals the scalar call's.)");

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
                    Raise(gFileError, HasSdfExtension(s.source) ? "ロードしているSDFファイルは上書き出来ません。"
                                                                : "ロードしているTSDファイルは上書き出来ません。");
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
        R"(Writes a series as SDF (a .sdf name) or TSD (any other name), as the program's save
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
