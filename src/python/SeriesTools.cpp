// velocity_series() and height_series(): the two time-series tools on arrays.
#include "python/Binding.h"

#include <cmath>

#include "core/runtime/Errors.h"
#include "core/runtime/Messages.h"
#include "core/series/SeriesStore.h"
#include "core/shoaling/SurfZoneModel.h"
#include "core/velocity/WaveHeightSeries.h"
#include "core/velocity/WaveVelocitySeries.h"

namespace orvane::pymodule {

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

    KeepingPrompter prompter;
    ShoalingRun run = BedRun(m, bed, constants, prompter);

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
        Raise(gError, msg::kNoEstimationPoints);

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

void BindSeriesTools(py::module_& m) {
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
profile and where it occurs. jobs threads (0: the cores this process may use, as on the
command line); the GIL is released, and Ctrl-C stops the run with KeyboardInterrupt.
The tide of a file read with read_series() is already in its channel's unit; give it in
metres (a channel in cm or mm divided by 100 or 1000), as the command line reads it.

Returns a dict channel name -> float64 array (m/s; m for the place), named as the
program's result file names them, NaN where the file gets a missing sample. Rounding
value/0.001 (0.01 for the place) half to even gives the file's counts.
pandas Series or xarray DataArrays in (on one time index; the wave series may stop
before the tide) give a DataFrame or Dataset on the tide's index, units as attributes.)");

    m.def("height_series", &HeightSeries, "us"_a, "tp"_a, "tide"_a, py::kw_only(), "mean_depth"_a = 10.0,
          "dh"_a = 0.0, "us_factor"_a = 1.0, "tp_factor"_a = 1.0, "jobs"_a = 0, "gravity"_a = kDefaults.gra,
          R"(Significant wave height (m) from the significant bottom velocity amplitude us
(m/s), the peak period tp (s) and the tide (m), as the wave-height tool computes it:
depth = mean_depth + dh + tide. NaN in, NaN out. Broadcasts; jobs threads (0: the cores
this process may use) with the GIL released; Ctrl-C stops it with KeyboardInterrupt.
Raises CalculationError for a zero or negative period or
depth. pandas Series or xarray DataArrays in (on one time index) give a Series or
DataArray named Hs on it, units 'm' as an attribute.)");
}

}  // namespace orvane::pymodule
