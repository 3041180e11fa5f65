// airy: the small-amplitude wave calculator; wavenumber: k and L of the dispersion relation.
#include <memory>

#include "CliCommands.h"
#include "CliCommon.h"
#include "core/runtime/MathConstants.h"
#include "core/runtime/NumberText.h"
#include "core/wave/SmallAmplitudeWave.h"
#include "core/wave/WaveNumber.h"

namespace {

struct AiryArgs {
    // The window's initial texts.
    std::string depth = "10", period = "10", height = "1", bedHeight = "0";
    orvane::PhysicalConstants constants;
};

struct WaveNumberArgs {
    std::string period, depth;
    orvane::PhysicalConstants constants;
};

}  // namespace

void RegisterWaveCommands(CLI::App& app) {
    auto airy = std::make_shared<AiryArgs>();
    CLI::App* a = app.add_subcommand("airy", "微小振幅波理論による波の諸元");
    orvane::AddTextOption(a, "--depth", airy->depth, "水深 (m)");
    orvane::AddTextOption(a, "--period", airy->period, "周期 (s)");
    orvane::AddTextOption(a, "--height", airy->height, "波高 (m)");
    orvane::AddTextOption(a, "--bed-height", airy->bedHeight, "流速を求める底面からの高さ (m)");
    orvane::AddConstantsOptions(a, airy->constants);
    a->callback([airy] {
        auto wave = orvane::ComputeSmallAmplitudeWave(airy->depth, airy->period, airy->height,
                                                      airy->bedHeight, airy->constants);
        for (const auto& label : orvane::SmallAmplitudeLabels(wave))
            orvane::PrintLine(std::string(label.caption) + label.text);
    });

    auto wn = std::make_shared<WaveNumberArgs>();
    CLI::App* w = app.add_subcommand("wavenumber", "線形分散関係の波数と波長");
    orvane::AddTextOption(w, "--period", wn->period, "周期 (s)")->required();
    orvane::AddTextOption(w, "--depth", wn->depth, "水深 (m)")->required();
    orvane::AddConstantsOptions(w, wn->constants);
    w->callback([wn] {
        const double T = orvane::StrToFloat(wn->period);
        const double h = orvane::StrToFloat(wn->depth);
        const double k = orvane::WaveNumber(T, h, wn->constants.gra);
        orvane::PrintLine("波数(rad/m)：" + orvane::FormatGeneral(k, 7));
        orvane::PrintLine("波長(m)：" + orvane::FormatFixed(orvane::kTwoPi / k, 3, 15));
    });
}
