// shoal(): a shoaling run as the shoaling window runs it, and the bed and points that
// velocity_series() shares.
#include "python/Binding.h"

#include <algorithm>
#include <optional>

#include "core/runtime/Errors.h"
#include "core/runtime/Messages.h"
#include "core/runtime/TextFile.h"
#include "core/shoaling/BedChoice.h"
#include "core/shoaling/ModelComparison.h"
#include "core/shoaling/ShoalingRequest.h"
#include "core/shoaling/SkillScores.h"
#include "core/shoaling/ThorntonGuzaFit.h"

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
ProfileColumnChoice ColumnChoiceOf(py::handle column) {
    if (py::isinstance<py::str>(column)) return {column.cast<std::string>()};
    return {"", false, column.cast<int>()};
}

int ProfileColumnOf(py::handle column, const std::vector<std::string>& header) {
    std::string message;
    const int index = FindProfileColumn(ColumnChoiceOf(column), header, message);
    if (index < 0) throw py::value_error(message);
    return index;
}

ShoalingRun BedRun(int method, const BedOptions& b, const PhysicalConstants& constants, KeepingPrompter& prompter) {
    BedChoice bed;
    bed.method = method;
    bed.xAxis = Pick("x_axis", b.xAxis, {"depth", "distance"});
    if (!b.onshoreEnd.is_none()) bed.onshoreEnd = b.onshoreEnd.cast<double>();
    if (!b.offshoreEnd.is_none()) bed.offshoreEnd = b.offshoreEnd.cast<double>();
    if (!b.obsDepth.is_none()) bed.obsPos = b.obsDepth.cast<double>();
    if (b.profile.is_none()) {
        bed.slope = b.slope.cast<double>();
    } else if (py::isinstance<py::str>(b.profile) || py::hasattr(b.profile, "__fspath__")) {
        bed.profileFile = PathArg(b.profile);
        bed.distanceColumn = ColumnChoiceOf(b.distanceColumn);
        bed.depthColumn = ColumnChoiceOf(b.depthColumn);
    } else {
        auto pair = b.profile.cast<py::sequence>();
        if (pair.size() != 2) throw py::value_error("profile: a file name or (distance, depth)");
        auto x = DoubleArray::ensure(pair[0]);
        auto d = DoubleArray::ensure(pair[1]);
        if (!x || !d || x.ndim() != 1 || d.ndim() != 1)
            throw py::value_error("profile: two one-dimensional arrays of numbers");
        bed.profileArrays = true;
        bed.profileDistance.assign(x.data(), x.data() + x.size());
        bed.profileDepth.assign(d.data(), d.data() + d.size());
    }
    BedSetup setup = SetUpBed(bed, constants, prompter);
    switch (setup.problem) {
    case BedProblem::None: break;
    case BedProblem::ObsPosMissing: throw py::value_error("obs_depth is needed by this method");
    case BedProblem::FileMissing: Raise(gFileError, msg::kFileNotFound);  // the window's text
    case BedProblem::FileUnusable: Raise(gFileError, setup.message);
    case BedProblem::DistanceColumn:
    case BedProblem::DepthColumn: throw py::value_error(setup.message);
    case BedProblem::ProfileRefused: prompter.RaiseFirst(msg::kRunAbandoned);
    }
    return std::move(setup.run);
}

py::dict Shoal(py::handle method, double height, double period, const BedOptions& bed,
               py::handle points, double tide, const std::string& heightKind,
               const std::string& periodKind, const PhysicalConstants& constants) {
    // The bed is read here, with Python's own errors; the run takes the points read.
    const int m = MethodIndex(method);
    const int heightKindIndex = Pick("height_kind", heightKind, {"significant", "rms"});
    const int periodKindIndex = Pick("period_kind", periodKind, {"significant", "peak"});
    KeepingPrompter prompter;
    if (!(period > 0)) Raise(gError, msg::kPeriodNotPositive);
    ShoalingRequest request;
    request.UseBed(BedRun(m, bed, constants, prompter));
    request.inputs.HeightKind = heightKindIndex;
    request.inputs.PeriodKind = periodKindIndex;
    request.constants = constants;
    request.height = height;
    request.period = period;
    request.tide = tide;
    request.points = ParsePoints(PointsText(points));
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
// The comparison of the models, measured heights, the fit of Thornton-Guza

// A number as a box would hold it: its shortest exact text, so that the core's parser
// gives back the same double.
std::string NumberText(double v) { return py::repr(py::float_(v)).cast<std::string>(); }

ObservedHeight ObservedKind(const std::string& kind) {
    return Pick("observed_height", kind, {"hs", "hrms"}) == 0 ? ObservedHeight::Hs : ObservedHeight::Hrms;
}

std::vector<double> Doubles(py::handle values) {
    auto a = py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(values);
    if (!a || a.ndim() != 1) throw py::value_error("observed: one-dimensional arrays of numbers");
    return {a.data(), a.data() + a.size()};
}

// A file (columns by name or index from 0, as a profile's) or arrays: a dict with
// position, height and optionally setup, or a tuple in that order.
ObservedSet Observed(py::handle observed, const std::string& kind, py::handle columns) {
    const ObservedHeight k = ObservedKind(kind);
    if (py::isinstance<py::str>(observed) || py::hasattr(observed, "__fspath__")) {
        const std::string path = py::str(py::module_::import("os").attr("fspath")(observed)).cast<std::string>();
        if (!FileExists(path)) Raise(gFileError, msg::kFileNotFound);
        const auto header = ShoalingRun::ReadProfileHeader(path);
        auto cols = columns.cast<py::sequence>();
        if (cols.size() != 3) throw py::value_error("observed_columns: (position, height, setup or None)");
        ObservationColumns c;
        c.position = ProfileColumnOf(cols[0], header);
        c.height = ProfileColumnOf(cols[1], header);
        c.setup = cols[2].is_none() ? -1 : ProfileColumnOf(cols[2], header);
        return ReadObservations(path, c, k);
    }
    std::vector<double> position, height, setup;
    if (py::isinstance<py::dict>(observed)) {
        auto d = observed.cast<py::dict>();
        position = Doubles(d["position"]);
        height = Doubles(d["height"]);
        if (d.contains("setup") && !d["setup"].is_none()) setup = Doubles(d["setup"]);
    } else {
        auto t = observed.cast<py::sequence>();
        if (t.size() < 2 || t.size() > 3) throw py::value_error("observed: a file name, a dict or (position, height[, setup])");
        position = Doubles(t[0]);
        height = Doubles(t[1]);
        if (t.size() == 3 && !t[2].is_none()) setup = Doubles(t[2]);
    }
    return MakeObservations(position, height, setup, k);
}

py::dict SkillDict(const Skill& k) {
    return py::dict("compared"_a = k.compared, "outside"_a = k.outside, "bias"_a = k.bias, "rmse"_a = k.rmse,
                    "si"_a = k.si, "d"_a = k.d);
}

py::dict CurveDict(const ComparedCurve& c) { return py::dict("x"_a = ToArray(c.x), "y"_a = ToArray(c.y)); }

// The state every model starts from, as the comparison window takes it from the shoaling
// window: kinds, bed, display range, constants.
ShoalingRequest ComparisonBase(const BedOptions& bed, const std::string& heightKind, const std::string& periodKind,
                               const PhysicalConstants& constants, KeepingPrompter& prompter) {
    const int heightKindIndex = Pick("height_kind", heightKind, {"significant", "rms"});
    const int periodKindIndex = Pick("period_kind", periodKind, {"significant", "peak"});
    BedOptions deepWater = bed;
    deepWater.obsDepth = py::none();  // the comparison places it per model
    ShoalingRequest request;
    request.UseBed(BedRun(1, deepWater, constants, prompter));
    request.inputs.HeightKind = heightKindIndex;
    request.inputs.PeriodKind = periodKindIndex;
    request.constants = constants;
    return request;
}

py::dict Compare(double height, double period, const BedOptions& bed, py::handle points, double tide,
                 const std::string& heightKind, const std::string& periodKind, const PhysicalConstants& constants,
                 py::handle observed, const std::string& observedHeight, py::handle observedColumns) {
    KeepingPrompter prompter;
    if (!(period > 0)) Raise(gError, msg::kPeriodNotPositive);
    std::optional<ObservedSet> set;
    if (!observed.is_none()) set = Observed(observed, observedHeight, observedColumns);
    const ComparisonTexts texts{NumberText(height), NumberText(period), NumberText(tide), PointsText(points),
                                bed.obsDepth.is_none() ? std::string() : NumberText(bed.obsDepth.cast<double>())};
    const ComparisonRequest request{ComparisonBase(bed, heightKind, periodKind, constants, prompter), texts};
    ModelComparisonResult r;
    CancelFlag cancel;
    RunInterruptible(cancel, [&] {
        QuietProgress progress(&cancel);
        r = CompareModels(request, progress, prompter);
    });
    if (!r.ran) {
        if (!r.refusal.empty()) Raise(gError, r.refusal);
        prompter.RaiseFirst(msg::kRunAbandoned);
    }
    py::list models;
    for (const ComparedModel& m : r.models) {
        const SurfZoneModel& model = SurfZoneModelOf(m.method);
        py::dict d("method"_a = m.method, "name"_a = model.shortName, "applies"_a = m.applies,
                   "message"_a = m.message, "height_item"_a = model.heightItem);
        if (m.applies) {
            d["height"] = ToArray(m.pointHeight);
            py::dict curves("height"_a = CurveDict(m.height));
            if (m.hasHrms) d["hrms"] = ToArray(m.pointHrms), curves["hrms"] = CurveDict(m.hrms);
            if (m.hasSetup) d["setup"] = ToArray(m.pointSetup), curves["setup"] = CurveDict(m.setup);
            d["curves"] = curves;
            d["report"] = m.report;
        }
        models.append(d);
    }
    std::vector<double> range, percent;
    for (std::size_t p = 0; p < r.points.size(); ++p) {
        const PointSpread sp = SpreadAt(r, static_cast<int>(p));
        range.push_back(sp.range);
        percent.push_back(sp.percent);
    }
    py::dict out("x_axis"_a = r.axisMode == 0 ? "depth" : "distance", "points"_a = ToArray(r.points),
                 "point_x"_a = ToArray(r.pointX), "models"_a = models,
                 "spread"_a = py::dict("range"_a = ToArray(range), "percent"_a = ToArray(percent)),
                 "bed"_a = py::dict("x"_a = ToArray(r.bedX), "y"_a = ToArray(r.bedY)));
    if (set) {
        const ObservedSkill skill = CompareWithObservations(r, *set, tide);
        py::list rows;
        py::object best = py::none();
        for (const ModelSkill& row : skill.rows) {
            rows.append(py::dict("method"_a = row.method, "name"_a = SurfZoneModelOf(row.method).shortName,
                                 "quantity"_a = row.setup ? "setup" : ObservedHeightName(set->kind),
                                 "applies"_a = row.applies, "message"_a = row.message, "best"_a = row.best,
                                 **SkillDict(row.skill)));
            if (row.best) best = py::str(SurfZoneModelOf(row.method).shortName);
        }
        py::dict obs("position"_a = ToArray(set->position), "height"_a = ToArray(set->height),
                     "height_item"_a = ObservedHeightName(set->kind));
        if (set->HasSetup()) obs["setup"] = ToArray(set->setup);
        out["observed"] = obs;
        out["skill"] = rows;
        out["best"] = best;
        out["note"] = skill.note;
    }
    return out;
}

std::pair<double, double> Range(py::handle range, const char* name) {
    auto t = range.cast<py::sequence>();
    if (t.size() != 2) throw py::value_error(std::string(name) + ": (low, high)");
    return {t[0].cast<double>(), t[1].cast<double>()};
}

py::dict FitThorntonGuzaPy(py::handle cases, const BedOptions& bed, py::handle points, const std::string& heightKind,
                           const std::string& periodKind, const PhysicalConstants& constants,
                           const std::string& observedHeight, py::handle observedColumns, py::handle gammaRange,
                           py::handle bRange) {
    TgFitBounds bounds;
    std::tie(bounds.gammaLow, bounds.gammaHigh) = Range(gammaRange, "gamma_range");
    std::tie(bounds.bLow, bounds.bHigh) = Range(bRange, "b_range");
    CheckTgFitBounds(bounds);
    py::list list;
    if (py::isinstance<py::dict>(cases)) list.append(cases);
    else for (py::handle c : py::iter(cases)) list.append(c);
    KeepingPrompter prompter;
    const ShoalingRequest base = ComparisonBase(bed, heightKind, periodKind, constants, prompter);
    const std::vector<double> pointValues = ParsePoints(PointsText(points));
    std::vector<TgFitCase> fitCases;
    for (py::handle item : list) {
        auto c = item.cast<py::dict>();
        for (const char* key : {"height", "period", "observed"})
            if (!c.contains(key)) throw py::value_error(std::string("each case needs '") + key + "'");
        TgFitCase fc{base, Observed(c["observed"], observedHeight, observedColumns)};
        fc.request.height = c["height"].cast<double>();
        fc.request.period = c["period"].cast<double>();
        fc.request.tide = c.contains("tide") ? c["tide"].cast<double>() : 0.0;
        py::object obs = c.contains("obs_depth") ? py::reinterpret_borrow<py::object>(c["obs_depth"]) : bed.obsDepth;
        if (obs.is_none()) throw py::value_error("obs_depth is needed: Thornton-Guza starts at the observation point");
        fc.request.inputs.ObsPosValue = obs.cast<double>();
        fc.request.points = pointValues;
        fitCases.push_back(std::move(fc));
    }
    TgFitResult r;
    {
        py::gil_scoped_release release;
        r = FitThorntonGuza(fitCases, bounds, prompter);
    }
    py::list out;
    for (const TgFitCaseResult& c : r.cases)
        out.append(py::dict("before"_a = SkillDict(c.skillBefore), "after"_a = SkillDict(c.skillAfter),
                            "curve_before"_a = CurveDict(c.before), "curve_after"_a = CurveDict(c.after)));
    return py::dict("gamma"_a = r.gamma, "b"_a = r.b, "gamma_before"_a = r.gammaBefore, "b_before"_a = r.bBefore,
                    "before"_a = SkillDict(r.before), "after"_a = SkillDict(r.after), "used"_a = r.used,
                    "outside"_a = r.outside, "evaluations"_a = r.evaluations, "model_runs"_a = r.modelRuns,
                    "cases"_a = out);
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

    m.def(
        "compare",
        [](double height, double period, py::object slope, py::object profile, py::handle points, double tide,
           py::object obsDepth, const std::string& heightKind, const std::string& periodKind,
           const std::string& xAxis, py::object onshoreEnd, py::object offshoreEnd, py::object distanceColumn,
           py::object depthColumn, double gravity, double density, double periodRatio, double gammaTG, double bTG,
           py::object observed, const std::string& observedHeight, py::object observedColumns) {
            BedOptions bed{slope, profile, obsDepth, distanceColumn, depthColumn, xAxis, onshoreEnd, offshoreEnd};
            return Compare(height, period, bed, points, tide, heightKind, periodKind,
                           Constants(gravity, density, periodRatio, gammaTG, bTG), observed, observedHeight,
                           observedColumns);
        },
        "height"_a, "period"_a, py::kw_only(), "slope"_a = 0.1, "profile"_a = py::none(),
        "points"_a = py::make_tuple(2.0, 4.0, 6.0), "tide"_a = 0.0, "obs_depth"_a = py::none(),
        "height_kind"_a = "significant", "period_kind"_a = "significant", "x_axis"_a = "depth",
        "onshore_end"_a = py::none(), "offshore_end"_a = py::none(), "distance_column"_a = 0,
        "depth_column"_a = 1, "gravity"_a = kDefaults.gra, "density"_a = kDefaults.SGfluid,
        "period_ratio"_a = kDefaults.RTp, "gamma_tg"_a = kDefaults.gamma_TG, "b_tg"_a = kDefaults.B_TG,
        "observed"_a = py::none(), "observed_height"_a = "hs", "observed_columns"_a = py::make_tuple(0, 1, py::none()),
        R"(Every model that applies, with the same inputs, as the comparison window runs them.

The inputs as in shoal() (obs_depth is where the last two models start; without it they
are not applicable). Returns a dict: points, point_x (where the curves put them), models
(one dict per model: name, applies, message, point values height/hrms/setup, curves
{height, hrms, setup: {x, y}}, report), spread (range, percent per point), bed.

observed: measured heights, a CSV file (columns by name or index from 0 in
observed_columns = (position, height, setup or None)) or arrays (a dict with position,
height and optionally setup, or such a tuple; NaN: not measured). Positions are depths
below MSL or distances, as the x axis; observed_height 'hs' | 'hrms'. Adds observed, skill
(one dict per model and quantity: compared, outside, bias, rmse, si, d, best), best (the
model with the smallest RMSE or None) and note (said when no model reaches any gauge).)");

    m.def(
        "fit_thornton_guza",
        [](py::object cases, py::object slope, py::object profile, py::handle points, py::object obsDepth,
           const std::string& heightKind, const std::string& periodKind, const std::string& xAxis,
           py::object onshoreEnd, py::object offshoreEnd, py::object distanceColumn, py::object depthColumn,
           double gravity, double density, double periodRatio, double gammaTG, double bTG,
           const std::string& observedHeight, py::object observedColumns, py::object gammaRange, py::object bRange) {
            BedOptions bed{slope, profile, obsDepth, distanceColumn, depthColumn, xAxis, onshoreEnd, offshoreEnd};
            return FitThorntonGuzaPy(cases, bed, points, heightKind, periodKind,
                                     Constants(gravity, density, periodRatio, gammaTG, bTG), observedHeight,
                                     observedColumns, gammaRange, bRange);
        },
        "cases"_a, py::kw_only(), "slope"_a = 0.1, "profile"_a = py::none(), "points"_a = py::make_tuple(2.0, 4.0, 6.0),
        "obs_depth"_a = py::none(), "height_kind"_a = "significant", "period_kind"_a = "significant",
        "x_axis"_a = "depth", "onshore_end"_a = py::none(), "offshore_end"_a = py::none(), "distance_column"_a = 0,
        "depth_column"_a = 1, "gravity"_a = kDefaults.gra, "density"_a = kDefaults.SGfluid,
        "period_ratio"_a = kDefaults.RTp, "gamma_tg"_a = kDefaults.gamma_TG, "b_tg"_a = kDefaults.B_TG,
        "observed_height"_a = "hs", "observed_columns"_a = py::make_tuple(0, 1, py::none()),
        "gamma_range"_a = py::make_tuple(0.2, 1.0), "b_range"_a = py::make_tuple(0.5, 2.5),
        R"(Fits gamma and B of Thornton-Guza to measured heights (smallest RMSE, NLopt BOBYQA).

cases: one dict or a list of them, one per measured set (a storm): height, period,
tide (default 0), obs_depth (default the keyword's) and observed (as in compare()). The
beach (slope or profile, display range, points, kinds, constants) is shared. gamma_range
and b_range narrow the bounds (0.2-1.0 and 0.5-2.5). Returns a dict: gamma, b (fitted),
gamma_before, b_before, before and after (scores over all cases: compared, bias, rmse,
si, d), used and outside (measured points), evaluations, model_runs, and per case its
scores and curves before and after.)");
}

}  // namespace orvane::pymodule
