// The calculators on numbers and arrays: broadcasting, threads, and NaN for an element
// that is missing or cannot be computed.
#include "python/Binding.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>

#include "core/velocity/BottomVelocity.h"
#include "core/wave/Rayleigh.h"
#include "core/wave/SmallAmplitudeWave.h"
#include "core/wave/WaveNumber.h"

namespace orvane::pymodule {

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

// A calculator's docstring: its own text, then the rules every calculator shares. The
// texts live as long as the module, as pybind11 keeps the pointer.
const char* CalculatorDoc(const char* own) {
    static std::deque<std::string> texts;
    texts.push_back(std::string(own) +
                    R"(Arrays and scalars: every array argument broadcasts with the others (NumPy's rules);
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
    return texts.back().c_str();
}

void BindCalculators(py::module_& m) {
    gNumpyGeneric = py::module_::import("numpy").attr("generic");

    m.attr("GRAVITY") = kDefaults.gra;
    m.attr("DENSITY") = kDefaults.SGfluid;
    m.attr("PERIOD_RATIO") = kDefaults.RTp;
    m.attr("GAMMA_TG") = kDefaults.gamma_TG;
    m.attr("B_TG") = kDefaults.B_TG;

    m.def("wavenumber", &Wavenumber, "period"_a, "depth"_a, py::kw_only(), "gravity"_a = kDefaults.gra,
          "jobs"_a = 0,
          CalculatorDoc(R"(Wavenumber k (rad/m) of the linear dispersion relation.

period: wave period T (s); depth: water depth h (m); gravity (m/s^2).
Errors: CalculationError for zero or negative inputs, ConvergenceError when the
iteration does not settle.
)"));

    m.def("airy", &Airy, "depth"_a, "period"_a, "height"_a, "z"_a = 0.0, py::kw_only(),
          "gravity"_a = kDefaults.gra, "density"_a = kDefaults.SGfluid, "jobs"_a = 0,
          CalculatorDoc(R"(Small-amplitude (linear) wave at depth h (m), period T (s), height H (m), at
height z (m) above the sea bed.

Returns a dict: k (rad/m), L and L0 (m), n, c and Cg (m/s), Ks, F (energy flux,
W/m), u and w (orbital velocity amplitudes at z, m/s). density is in g/cm^3.
Broadcasts over depth, period, height and z.
)"));

    m.def("rayleigh", &Rayleigh, "a"_a, "p"_a, py::kw_only(), "reference"_a = "rms", "jobs"_a = 0,
          CalculatorDoc(R"(Rayleigh exceedance amplitude: Ap with probability p of being exceeded, and the
mean of the amplitudes above Ap (same unit as a).

a: rms amplitude (reference='rms') or significant value (reference='significant');
0 < p <= 1 (outside: orvane.Error). Returns a dict with Ap and mean. Broadcasts over
a and p.
)"));

    m.def("bottom_velocity", &BottomVelocity, "depth"_a, "period"_a, "height"_a, "slope"_a = 0.0,
          "random"_a = false, py::kw_only(), "gravity"_a = kDefaults.gra,
          "period_ratio"_a = kDefaults.RTp, "jobs"_a = 0,
          CalculatorDoc(R"(Wave orbital velocity at the sea bed (m/s).

depth h (m), period T (s), height H (m), slope s (tan of the bed angle).
random=False: a single wave; returns a dict with L0 (m), Hb (breaker height, m), kh,
U0, Uac, broken (1.0 or 0.0), Ud (broken only), Ur, H0 (m), Uc, Umax, Tc (s), R1, R2
(unbroken only; 0 where the path does not give them).
random=True: a random sea of significant height H and period T (Tp = T/period_ratio,
Hrms = H/1.416); returns Urms and Us. Broadcasts over depth, period, height, slope
(the slope is not used for a random sea).
)"));

    m.def("random_wave_velocity", &RandomWaveVelocityPy, "tp"_a, "hrms"_a, "depth"_a, py::kw_only(),
          "gravity"_a = kDefaults.gra, "jobs"_a = 0,
          CalculatorDoc(R"(Bottom velocity of a random sea: peak period tp (s), rms height hrms (m), depth (m).

Returns a dict with Urms (rms velocity, m/s) and Us (significant velocity amplitude,
m/s). Broadcasts over every argument.
)"));
}

}  // namespace orvane::pymodule
