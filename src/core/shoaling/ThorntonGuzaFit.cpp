#include "core/runtime/Messages.h"
#include "core/shoaling/ThorntonGuzaFit.h"

#include <nlopt.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include "core/runtime/Errors.h"
#include "core/runtime/NumberText.h"
#include "core/shoaling/SurfZoneModel.h"

namespace orvane {

namespace {

constexpr int kThorntonGuza = 2;
constexpr int kMaxEvaluations = 2000;
// A candidate whose run fails is worse than any wave could be.
constexpr double kFailedRun = 1e6;

// Questions go to the caller; every other message is kept (the first one explains).
class CasePrompter : public Prompter {
public:
    explicit CasePrompter(Prompter* outer) : outer_(outer) {}
    std::string first;
    MsgResult Message(MsgKind kind, const std::string& text, MsgButtons buttons) override {
        if (buttons == MsgButtons::YesNo && outer_) return outer_->Message(kind, text, buttons);
        if (first.empty()) first = text;
        return buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::No;
    }
    void Plain(const std::string& text, const std::string&) override {
        if (first.empty()) first = text;
    }
    void Beep() override {}

private:
    Prompter* outer_;
};

class NoProgress : public Progress {
public:
    void SetProgressComment(const std::string&) override {}
    void SetProgressPosition(int) override {}
    bool Cancelled() const override { return false; }
    void SetStatusLine(const std::string&) override {}
    void Hide() override {}
};

std::string CaseName(const std::vector<TgFitCase>& cases, std::size_t i) {
    return cases.size() == 1 ? std::string() : "測定の組 " + std::to_string(i + 1) + ": ";
}

struct PreparedCase {
    ShoalingRequest request;      // profile read, question answered
    int item = 0;                 // the display item of the measured kind
    std::vector<double> x;        // used measured positions on the curve's axis
    std::vector<double> measured; // their heights
};

// The request as the comparison makes it for Thornton-Guza.
PreparedCase PrepareCase(const TgFitCase& c, Prompter& prompter, const std::string& name) {
    PreparedCase p;
    p.request = c.request;
    p.request.inputs.Method = kThorntonGuza;
    const SurfZoneModel& model = SurfZoneModelOf(kThorntonGuza);
    p.request.inputs.DisplayIndex = DisplayItemIndex(model, model.heightItem);
    p.item = DisplayItemIndex(model, ObservedHeightName(c.observed.kind));
    if (!(p.request.period > 0)) throw OrvaneError(name + msg::kPeriodNotPositive);
    CasePrompter quiet(&prompter);
    if (!ReadProfileOnce(p.request, quiet))
        throw OrvaneError(name + (quiet.first.empty() ? std::string(msg::kRunAbandoned) : quiet.first));
    return p;
}

// The curve for γ and B; false when the run fails. The first run asks the question about
// the region offshore of the observation point, and its answer holds for the others.
bool RunCase(PreparedCase& p, double gamma, double b, ComparedCurve& curve, Prompter* prompter = nullptr,
             std::string* why = nullptr) {
    ShoalingRequest r = p.request;
    r.constants.gamma_TG = gamma;
    r.constants.B_TG = b;
    CasePrompter quiet(prompter);
    NoProgress progress;
    const ShoalingResult s = RunShoaling(r, progress, quiet);
    if (prompter && !s.prepared.declinedOffshoreRegion) p.request.offshoreRegion = Answer::Yes;
    if (why) *why = quiet.first;
    curve = CurveOf(s, p.item);
    return s.ok;
}

std::string Fixed(double v, int decimals) { return std::isfinite(v) ? FormatFixed(v, decimals) : std::string("-"); }
std::string Csv(double v) { return std::isfinite(v) ? FormatGeneral(v, 7) : std::string(); }

std::string SkillText(const Skill& s) {
    return std::to_string(s.compared) + "\t" + Fixed(s.bias, 3) + "\t" + Fixed(s.rmse, 3) + "\t" + Fixed(s.si, 3) +
           "\t" + Fixed(s.d, 3);
}
std::string SkillCsv(const Skill& s) {
    return std::to_string(s.compared) + "," + Csv(s.bias) + "," + Csv(s.rmse) + "," + Csv(s.si) + "," + Csv(s.d);
}

}  // namespace

void CheckTgFitBounds(const TgFitBounds& b) {
    const TgFitBounds limits;
    auto check = [](double lo, double hi, double min, double max, const char* name) {
        if (!(min <= lo && lo <= hi && hi <= max))
            throw OrvaneError(std::string(name) + " の範囲は " + FormatFixed(min, 1) + "～" + FormatFixed(max, 1) +
                              " の中で、下限を上限以下にして下さい。");
    };
    check(b.gammaLow, b.gammaHigh, limits.gammaLow, limits.gammaHigh, "γ");
    check(b.bLow, b.bHigh, limits.bLow, limits.bHigh, "B");
}

TgFitResult FitThorntonGuza(const std::vector<TgFitCase>& cases, const TgFitBounds& bounds, Prompter& prompter) {
    CheckTgFitBounds(bounds);
    if (cases.empty()) throw OrvaneError("当てはめる測定データがありません。");
    TgFitResult r;
    r.gammaBefore = cases.front().request.constants.gamma_TG;
    r.bBefore = cases.front().request.constants.B_TG;

    std::vector<PreparedCase> prepared;
    r.cases.resize(cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const TgFitCase& c = cases[i];
        const std::string name = CaseName(cases, i);
        PreparedCase p = PrepareCase(c, prompter, name);
        ComparedCurve& before = r.cases[i].before;
        ++r.modelRuns;
        std::string why;
        if (!RunCase(p, r.gammaBefore, r.bBefore, before, &prompter, &why))
            throw OrvaneError(name + (why.empty() ? std::string("Thornton-Guza のモデルを計算できません。") : why));
        const int axis = p.request.inputs.ProfileMode == 1 ? 1 : p.request.inputs.XAxis;
        const std::vector<double> values = CurveValuesAt(before, c.observed, axis, c.request.tide);
        r.cases[i].skillBefore = SkillOf(values, c.observed.height);
        r.outside += r.cases[i].skillBefore.outside;
        for (std::size_t k = 0; k < values.size(); ++k) {
            if (!std::isfinite(values[k]) || !std::isfinite(c.observed.height[k])) continue;
            p.x.push_back(ObservedX(c.observed.position[k], axis, c.request.tide));
            p.measured.push_back(c.observed.height[k]);
        }
        r.used += static_cast<int>(p.measured.size());
        prepared.push_back(std::move(p));
    }
    if (r.used == 0)
        throw OrvaneError("測定点はどれも Thornton-Guza の曲線の範囲にないため、当てはめられません。");

    // The search runs in [0, 1] per free parameter; a parameter whose bounds meet is fixed.
    const double lo[2] = {bounds.gammaLow, bounds.bLow}, hi[2] = {bounds.gammaHigh, bounds.bHigh};
    const double start[2] = {std::clamp(r.gammaBefore, lo[0], hi[0]), std::clamp(r.bBefore, lo[1], hi[1])};
    std::vector<int> free;
    for (int k = 0; k < 2; ++k)
        if (hi[k] > lo[k]) free.push_back(k);
    auto parameters = [&](const double* u) {
        std::array<double, 2> v{start[0], start[1]};
        for (std::size_t j = 0; j < free.size(); ++j) v[free[j]] = lo[free[j]] + u[j] * (hi[free[j]] - lo[free[j]]);
        return v;
    };
    auto objective = [&](const std::array<double, 2>& v) {
        ++r.evaluations;
        double sum = 0;
        for (PreparedCase& p : prepared) {
            ComparedCurve curve;
            ++r.modelRuns;
            if (!RunCase(p, v[0], v[1], curve)) return kFailedRun;
            for (std::size_t k = 0; k < p.x.size(); ++k) {
                double m = CurveValueAt(curve.x, curve.y, p.x[k]);
                if (!std::isfinite(m)) m = 0;  // the wave died out before this gauge
                const double e = m - p.measured[k];
                sum += e * e;
            }
        }
        return std::sqrt(sum / r.used);
    };

    std::array<double, 2> best{start[0], start[1]};
    if (!free.empty()) {
        struct Data {
            decltype(parameters)* params;
            decltype(objective)* f;
        } data{&parameters, &objective};
        nlopt::opt opt(free.size() == 2 ? nlopt::LN_BOBYQA : nlopt::LN_COBYLA, static_cast<unsigned>(free.size()));
        opt.set_lower_bounds(std::vector<double>(free.size(), 0.0));
        opt.set_upper_bounds(std::vector<double>(free.size(), 1.0));
        opt.set_initial_step(0.2);
        opt.set_xtol_abs(1e-6);
        opt.set_ftol_abs(1e-12);
        opt.set_maxeval(kMaxEvaluations);
        opt.set_min_objective(
            [](unsigned, const double* u, double*, void* d) {
                auto* data = static_cast<Data*>(d);
                return (*data->f)((*data->params)(u));
            },
            &data);
        std::vector<double> u;
        for (int k : free) u.push_back((start[k] - lo[k]) / (hi[k] - lo[k]));
        double f = 0;
        try {
            opt.optimize(u, f);
        } catch (const nlopt::roundoff_limited&) {
            // The best point found so far is in u.
        } catch (const OrvaneError&) {
            throw;
        } catch (const std::exception& e) {
            throw OrvaneError(std::string("γ と B の当てはめに失敗しました。") + e.what());
        }
        best = parameters(u.data());
    }
    r.gamma = best[0];
    r.b = best[1];

    std::vector<double> allBefore, allAfter, allMeasured;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        TgFitCaseResult& c = r.cases[i];
        ++r.modelRuns;
        RunCase(prepared[i], r.gamma, r.b, c.after);
        const ShoalingInputs& in = prepared[i].request.inputs;
        const int axis = in.ProfileMode == 1 ? 1 : in.XAxis;
        const double tide = cases[i].request.tide;
        std::vector<double> after = CurveValuesAt(c.after, cases[i].observed, axis, tide);
        const std::vector<double> before = CurveValuesAt(c.before, cases[i].observed, axis, tide);
        // A gauge the fitted wave no longer reaches is a height of 0, as in the search.
        for (std::size_t k = 0; k < after.size(); ++k)
            if (!std::isfinite(after[k]) && std::isfinite(before[k])) after[k] = 0;
        c.skillAfter = SkillOf(after, cases[i].observed.height);
        allBefore.insert(allBefore.end(), before.begin(), before.end());
        allAfter.insert(allAfter.end(), after.begin(), after.end());
        allMeasured.insert(allMeasured.end(), cases[i].observed.height.begin(), cases[i].observed.height.end());
    }
    r.before = SkillOf(allBefore, allMeasured);
    r.after = SkillOf(allAfter, allMeasured);
    return r;
}

std::vector<std::string> TgFitText(const TgFitResult& r) {
    std::vector<std::string> lines;
    lines.push_back("\tγ\tB\tRMSE (m)");
    lines.push_back("当てはめ前\t" + FormatFixed(r.gammaBefore, 3) + "\t" + FormatFixed(r.bBefore, 3) + "\t" +
                    Fixed(r.before.rmse, 4));
    lines.push_back("当てはめ後\t" + FormatFixed(r.gamma, 3) + "\t" + FormatFixed(r.b, 3) + "\t" + Fixed(r.after.rmse, 4));
    lines.push_back("比較した点 " + std::to_string(r.used) + "、曲線の範囲外 " + std::to_string(r.outside) +
                    "、モデルの計算 " + std::to_string(r.modelRuns) + " 回");
    lines.push_back("組\t\t点数\tバイアス (m)\tRMSE (m)\tSI\td");
    for (std::size_t i = 0; i < r.cases.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        lines.push_back(n + "\t当てはめ前\t" + SkillText(r.cases[i].skillBefore));
        lines.push_back(n + "\t当てはめ後\t" + SkillText(r.cases[i].skillAfter));
    }
    if (r.cases.size() > 1) {
        lines.push_back("全体\t当てはめ前\t" + SkillText(r.before));
        lines.push_back("全体\t当てはめ後\t" + SkillText(r.after));
    }
    return lines;
}

std::vector<std::string> TgFitLines(const TgFitResult& r) {
    std::vector<std::string> lines{"組,γ,B,点数,バイアス (m),RMSE (m),SI,d"};
    const std::string before = Csv(r.gammaBefore) + "," + Csv(r.bBefore) + ",";
    const std::string after = Csv(r.gamma) + "," + Csv(r.b) + ",";
    for (std::size_t i = 0; i < r.cases.size(); ++i) {
        const std::string n = std::to_string(i + 1) + ",";
        lines.push_back(n + before + SkillCsv(r.cases[i].skillBefore));
        lines.push_back(n + after + SkillCsv(r.cases[i].skillAfter));
    }
    lines.push_back("全体," + before + SkillCsv(r.before));
    lines.push_back("全体," + after + SkillCsv(r.after));
    return lines;
}

}  // namespace orvane
