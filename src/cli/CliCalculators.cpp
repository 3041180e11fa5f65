// rayleigh: exceedance amplitudes of the Rayleigh distribution; bottom-velocity: the
// bed orbital velocity of a single wave or a random sea. Both print the result box's text.
#include <map>
#include <memory>

#include "CliCommands.h"
#include "CliCommon.h"
#include "core/runtime/NumberText.h"
#include "core/velocity/BottomVelocity.h"
#include "core/wave/Rayleigh.h"

namespace {

struct RayleighArgs {
    // The window's initial texts.
    std::string reference = "1", probability = "0.1";
    bool significant = false;
};

enum class WaveKind { Single, Random };

struct BottomVelocityArgs {
    // The window's start-up texts.
    std::string depth = "5", period = "10", height = "3", slope = "0";
    WaveKind method = WaveKind::Single;
    orvane::PhysicalConstants constants;
};

}  // namespace

void RegisterCalculatorCommands(CLI::App& app) {
    auto ra = std::make_shared<RayleighArgs>();
    CLI::App* r = app.add_subcommand("rayleigh", "Rayleigh分布による確率振幅の計算");
    orvane::AddTextOption(r, "--reference", ra->reference, "基準データ a (RMS値、--significant で有義値)");
    orvane::AddTextOption(r, "--probability", ra->probability, "計算する上側確率 p (0 < p ≤ 1)");
    r->add_flag("--significant", ra->significant, "基準データを有義値 H1/3 とする (尺度 = H1/3 / 1.416)");
    r->callback([ra] {
        const double a = orvane::StrToFloat(ra->reference);
        const double p = orvane::StrToFloat(ra->probability);
        const auto kind = ra->significant ? orvane::RayleighReference::Significant
                                          : orvane::RayleighReference::Rms;
        orvane::PrintLine(orvane::RayleighReport(orvane::ComputeRayleigh(a, p, kind)));
    });

    auto bv = std::make_shared<BottomVelocityArgs>();
    CLI::App* b = app.add_subcommand("bottom-velocity", "底面波動流速の計算");
    orvane::AddTextOption(b, "--depth", bv->depth, "水深 (m)");
    orvane::AddTextOption(b, "--period", bv->period, "周期 (s)（ランダム波では有義波周期）");
    orvane::AddTextOption(b, "--height", bv->height, "その水深における波高 (m)");
    orvane::AddTextOption(b, "--slope", bv->slope, "海底勾配 tanθ");
    const std::map<std::string, WaveKind> kinds{{"single", WaveKind::Single},
                                                {"random", WaveKind::Random}};
    b->add_option("--method", bv->method, "波の種類: single (単一波) | random (ランダム波, JONSWAP)")
        ->transform(CLI::CheckedTransformer(kinds, CLI::ignore_case))
        ->default_str("single");
    orvane::AddConstantsOptions(b, bv->constants);
    b->callback([bv] {
        // The window's order of conversion: height, depth, period, slope.
        const double H = orvane::StrToFloat(bv->height);
        const double h = orvane::StrToFloat(bv->depth);
        const double T = orvane::StrToFloat(bv->period);
        const double s = orvane::StrToFloat(bv->slope);
        orvane::PrintLine(bv->method == WaveKind::Single
                              ? orvane::SingleWaveReport(h, H, T, s, bv->constants.gra)
                              : orvane::RandomWaveReport(h, H, T, bv->constants));
    });
}
