// rayleigh: exceedance amplitudes of the Rayleigh distribution; bottom-velocity: the
// bed orbital velocity of a single wave or a random sea. Both print the result box's text.
#include <cmath>
#include <map>
#include <memory>

#include "CliCommands.h"
#include "CliCommon.h"
#include "CliResults.h"
#include "core/runtime/Errors.h"
#include "core/runtime/NumberText.h"
#include "core/velocity/BottomVelocity.h"
#include "core/wave/Rayleigh.h"

namespace {

struct RayleighArgs {
    // The window's initial texts.
    std::string reference = "1", probability = "0.1";
    bool significant = false;
    orvane::ResultFormat output;
};

enum class WaveKind { Single, Random };

struct BottomVelocityArgs {
    // The window's start-up texts.
    std::string depth = "5", period = "10", height = "3", slope = "0";
    std::string method = "single";
    orvane::ResultFormat output;
    orvane::PhysicalConstants constants;
};

}  // namespace

void RegisterCalculatorCommands(CLI::App& app) {
    auto ra = std::make_shared<RayleighArgs>();
    CLI::App* r = app.add_subcommand("rayleigh", "Rayleigh分布による確率振幅の計算");
    orvane::AddTextOption(r, "--reference", ra->reference, "基準データ a (RMS値、--significant で有義値)");
    orvane::AddTextOption(r, "--probability", ra->probability, "計算する上側確率 p (0 < p ≤ 1)");
    r->add_flag("--significant", ra->significant, "基準データを有義値 H1/3 とする (尺度 = H1/3 / 1.416)");
    orvane::AddResultFormatOptions(r, ra->output);
    r->footer("例: orvane-cli rayleigh --reference 1.5 --probability 0.01 --significant");
    r->callback([ra] {
        const double a = orvane::StrToFloat(ra->reference);
        const double p = orvane::StrToFloat(ra->probability);
        const auto kind = ra->significant ? orvane::RayleighReference::Significant
                                          : orvane::RayleighReference::Rms;
        const auto result = orvane::ComputeRayleigh(a, p, kind);
        const auto text = orvane::Lines(orvane::RayleighReport(result));
        auto after = [&](std::size_t i) {
            const auto eq = i < text.size() ? text[i].rfind("= ") : std::string::npos;
            return eq == std::string::npos ? std::string() : text[i].substr(eq + 2);
        };
        orvane::PrintResults(ra->output, "rayleigh",
                             {{"Ap", result.Ap, "", after(0)},
                              {"mean", result.mean, "", after(1)},
                              {"scale", orvane::RayleighScale(a, kind), "", ""}},
                             text);
    });

    auto bv = std::make_shared<BottomVelocityArgs>();
    CLI::App* b = app.add_subcommand("bottom-velocity", "底面波動流速の計算");
    orvane::AddTextOption(b, "--depth", bv->depth, "水深 (m)");
    orvane::AddTextOption(b, "--period", bv->period, "周期 (s)（ランダム波では有義波周期）");
    orvane::AddTextOption(b, "--height", bv->height, "その水深における波高 (m)");
    orvane::AddTextOption(b, "--slope", bv->slope, "海底勾配 tanθ");
    static const std::vector<orvane::MethodName> kinds{{"single", 0}, {"random", 1}};
    b->add_option("--method", bv->method, "波の種類: 0 single (単一波) | 1 random (ランダム波, JONSWAP)")
        ->type_name("名前|番号")
        ->capture_default_str();
    orvane::AddResultFormatOptions(b, bv->output);
    orvane::AddConstantsOptions(b, bv->constants);
    b->footer("例: orvane-cli bottom-velocity --method random --depth 8 --height 2 --period 9");
    b->callback([bv] {
        const auto kind = orvane::ParseMethod("--method", bv->method, kinds) == 0 ? WaveKind::Single : WaveKind::Random;
        // The window's order of conversion: height, depth, period, slope.
        const double H = orvane::StrToFloat(bv->height);
        const double h = orvane::StrToFloat(bv->depth);
        const double T = orvane::StrToFloat(bv->period);
        const double s = orvane::StrToFloat(bv->slope);
        std::vector<orvane::ResultValue> values;
        std::string report;
        if (kind == WaveKind::Single) {
            const auto r = orvane::ComputeSingleWave(h, H, T, s, bv->constants.gra);
            report = orvane::FormatSingleWaveReport(r);
            values = {{"L0", r.L0, "m", ""}, {"Hb", r.Hb, "m", ""}, {"kh", r.kh, "", ""},
                      {"U0", r.U0, "m/s", ""}, {"Uac", r.Uac, "m/s", ""}, {"broken", r.broken ? 1.0 : 0.0, "", ""}};
            if (r.broken) {
                values.push_back({"Ud", r.Ud, "m/s", ""});
                values.push_back({"U065", 0.65 * r.Uac, "m/s", ""});
            } else {
                for (auto v : std::vector<orvane::ResultValue>{{"Ur", r.Ur, "", ""}, {"H0", r.H0, "m", ""},
                                                              {"Uc", r.Uc, "m/s", ""}, {"Umax", r.Umax, "m/s", ""},
                                                              {"Tc", r.Tc, "s", ""}})
                    values.push_back(v);
            }
        } else {
            // As RandomWaveReport computes them.
            const double Tp = orvane::CheckedDiv(T, bv->constants.RTp);
            const auto v = orvane::RandomWaveVelocity(Tp, H / orvane::kSignificantPerRms, h, bv->constants.gra);
            report = orvane::RandomWaveReport(h, H, T, bv->constants);
            values = {{"Us", v.Us, "m/s", ""}, {"Um", std::sqrt(2.0) * v.Urms, "m/s", ""}, {"Urms", v.Urms, "m/s", ""},
                      {"Tp", Tp, "s", ""}};
        }
        orvane::PrintResults(bv->output, "bottom-velocity", values, orvane::Lines(report));
    });
}
