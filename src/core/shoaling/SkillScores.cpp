#include "core/shoaling/SkillScores.h"

#include <cmath>
#include "core/runtime/NumberText.h"
#include "core/shoaling/SurfZoneModel.h"

namespace orvane {

namespace {

const char* const kBestMark = "◎";

std::string Fixed(double v, int decimals) { return std::isfinite(v) ? FormatFixed(v, decimals) : std::string("-"); }
std::string Csv(double v) { return std::isfinite(v) ? FormatGeneral(v, 7) : std::string(); }

const ComparedCurve* CurveOf(const ComparedModel& m, ObservedHeight kind, bool setup) {
    if (setup) return m.hasSetup ? &m.setup : nullptr;
    if (kind == ObservedHeight::Hrms) return m.hasHrms ? &m.hrms : nullptr;
    return &m.height;
}

std::string QuantityName(const ObservedSkill& s, const ModelSkill& row) {
    if (row.setup) return "η";
    return s.kind == ObservedHeight::Hrms ? "Hrms" : SurfZoneModelOf(row.method).heightItem;
}

}  // namespace

Skill SkillOf(std::span<const double> model, std::span<const double> measured) {
    Skill s;
    const std::size_t n = std::min(model.size(), measured.size());
    double sumO = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (!std::isfinite(measured[i])) continue;
        if (!std::isfinite(model[i])) {
            ++s.outside;
            continue;
        }
        ++s.compared;
        sumO += measured[i];
    }
    if (s.compared == 0) return s;
    const double meanO = sumO / s.compared;
    double sumE = 0, sumE2 = 0, potential = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (!std::isfinite(measured[i]) || !std::isfinite(model[i])) continue;
        const double e = model[i] - measured[i];
        sumE += e;
        sumE2 += e * e;
        const double p = std::fabs(model[i] - meanO) + std::fabs(measured[i] - meanO);
        potential += p * p;
    }
    s.bias = sumE / s.compared;
    s.rmse = std::sqrt(sumE2 / s.compared);
    if (meanO > 0) s.si = s.rmse / meanO;
    if (potential > 0) s.d = 1.0 - sumE2 / potential;
    return s;
}

double CurveValueAt(std::span<const double> x, std::span<const double> y, double at) {
    const std::size_t n = std::min(x.size(), y.size());
    if (n == 1 && x[0] == at) return y[0];
    for (std::size_t i = 1; i < n; ++i) {
        const double a = x[i - 1], b = x[i];
        if (!((a <= at && at <= b) || (b <= at && at <= a))) continue;
        if (a == b || at == a) return y[i - 1];
        if (at == b) return y[i];
        const double t = (at - a) / (b - a);
        return y[i - 1] + t * (y[i] - y[i - 1]);
    }
    return kNotReached;
}

double ObservedX(double position, int axisMode, double tide) { return axisMode == 0 ? position + tide : position; }

std::vector<double> CurveValuesAt(const ComparedCurve& curve, const ObservedSet& set, int axisMode, double tide) {
    std::vector<double> v;
    v.reserve(set.position.size());
    for (double p : set.position) v.push_back(CurveValueAt(curve.x, curve.y, ObservedX(p, axisMode, tide)));
    return v;
}

ObservedSkill CompareWithObservations(const ModelComparisonResult& r, const ObservedSet& set, double tide) {
    ObservedSkill out;
    out.kind = set.kind;
    out.heights = set.HeightCount();
    out.setups = set.SetupCount();
    for (bool setup : {false, true}) {
        if (setup && !set.HasSetup()) break;
        for (const ComparedModel& m : r.models) {
            // A model left out says why in its height row already.
            if (setup && (!m.hasSetup || !m.applies)) continue;
            ModelSkill row;
            row.method = m.method;
            row.setup = setup;
            const ComparedCurve* curve = CurveOf(m, set.kind, setup);
            if (!m.applies) {
                row.message = m.message;
            } else if (!curve) {
                row.message = "このモデルには Hrms がありません。";
            } else {
                row.applies = true;
                row.skill = SkillOf(CurveValuesAt(*curve, set, r.axisMode, tide), setup ? set.setup : set.height);
            }
            out.rows.push_back(std::move(row));
        }
    }
    ModelSkill* best = nullptr;
    for (ModelSkill& row : out.rows)
        if (!row.setup && row.applies && row.skill.compared > 0 && (!best || row.skill.rmse < best->skill.rmse))
            best = &row;
    if (best) {
        best->best = true;
    } else if (out.heights == 0) {
        out.note = "測定された波高がありません。";
    } else {
        out.note = "測定点 " + std::to_string(out.heights) +
                   " 点はどのモデルの曲線の範囲にもないため、比較できません（位置の単位と横軸の種類、表示範囲を確かめて下さい）。";
    }
    return out;
}

std::vector<std::string> SkillTableText(const ObservedSkill& s) {
    if (!s.note.empty()) return {s.note};
    std::vector<std::string> lines{"モデル\t比較\t点数\t範囲外\tバイアス (m)\tRMSE (m)\tSI\td\t最良"};
    for (const ModelSkill& row : s.rows) {
        std::string line = std::string(SurfZoneModelOf(row.method).shortName) + "\t" + QuantityName(s, row);
        if (!row.applies) {
            line += "\t(適用外) " + row.message;
        } else {
            const Skill& k = row.skill;
            line += "\t" + std::to_string(k.compared) + "\t" + std::to_string(k.outside) + "\t" + Fixed(k.bias, 3) +
                    "\t" + Fixed(k.rmse, 3) + "\t" + Fixed(k.si, 3) + "\t" + Fixed(k.d, 3) + "\t" +
                    (row.best ? kBestMark : "");
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

std::vector<std::string> SkillTableLines(const ObservedSkill& s) {
    std::vector<std::string> lines{"モデル,比較,点数,範囲外,バイアス (m),RMSE (m),SI,d,最良"};
    if (!s.note.empty()) return lines;
    for (const ModelSkill& row : s.rows) {
        std::string line = std::string(SurfZoneModelOf(row.method).shortName) + "," + QuantityName(s, row);
        if (row.applies) {
            const Skill& k = row.skill;
            line += "," + std::to_string(k.compared) + "," + std::to_string(k.outside) + "," + Csv(k.bias) + "," +
                    Csv(k.rmse) + "," + Csv(k.si) + "," + Csv(k.d) + "," + (row.best ? kBestMark : "");
        } else {
            line += ",,,,,,,";
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace orvane
