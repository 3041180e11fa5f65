// shoal(): a shoaling run as the shoaling window runs it, and the bed and points that
// velocity_series() shares.
#include "python/Binding.h"

#include <algorithm>
#include <filesystem>

#include "core/runtime/Errors.h"
#include "core/runtime/Messages.h"
#include "core/runtime/TextFile.h"
#include "core/shoaling/ShoalingRequest.h"

namespace orvane::pymodule {

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

void BindShoaling(py::module_& m) {
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
}

}  // namespace orvane::pymodule
