// airy: the small-amplitude wave calculator; wavenumber: k and L of the dispersion relation.
#include <memory>

#include "CliCommands.h"
#include "CliCommon.h"
#include "CliResults.h"
#include "core/runtime/MathConstants.h"
#include "core/runtime/NumberText.h"
#include "core/wave/SmallAmplitudeWave.h"
#include "core/wave/WaveNumber.h"

namespace {

struct AiryArgs {
    // The window's initial texts.
    std::string depth = "10", period = "10", height = "1", bedHeight = "0";
    orvane::ResultFormat output;
    orvane::PhysicalConstants constants;
};

struct WaveNumberArgs {
    std::string period, depth;
    orvane::ResultFormat output;
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
    orvane::AddResultFormatOptions(a, airy->output);
    orvane::AddConstantsOptions(a, airy->constants);
    a->footer("例: orvane-cli airy --depth 10 --period 8 --height 1 --format json");
    a->callback([airy] {
        auto wave = orvane::ComputeSmallAmplitudeWave(airy->depth, airy->period, airy->height,
                                                      airy->bedHeight, airy->constants);
        const auto labels = orvane::SmallAmplitudeLabels(wave);
        std::vector<std::string> text;
        for (const auto& label : labels) text.push_back(std::string(label.caption) + label.text);
        // The labels' order: L, c, Cg, Ks, F, u, w.
        const std::vector<orvane::ResultValue> values = {
            {"L", wave.L, "m", labels[0].text},   {"c", wave.c, "m/s", labels[1].text},
            {"Cg", wave.Cg, "m/s", labels[2].text}, {"Ks", wave.Ks, "", labels[3].text},
            {"F", wave.F, "W/m", labels[4].text}, {"u", wave.u, "m/s", labels[5].text},
            {"w", wave.w, "m/s", labels[6].text}, {"k", wave.k, "rad/m", ""},
            {"L0", wave.L0, "m", ""},             {"n", wave.n, "", ""}};
        orvane::PrintResults(airy->output, "airy", values, text);
    });

    auto wn = std::make_shared<WaveNumberArgs>();
    CLI::App* w = app.add_subcommand("wavenumber", "線形分散関係の波数と波長");
    orvane::AddTextOption(w, "--period", wn->period, "周期 (s)")->required();
    orvane::AddTextOption(w, "--depth", wn->depth, "水深 (m)")->required();
    orvane::AddResultFormatOptions(w, wn->output);
    orvane::AddConstantsOptions(w, wn->constants);
    w->footer("例: orvane-cli wavenumber --period 8 --depth 10");
    w->callback([wn] {
        const double T = orvane::StrToFloat(wn->period);
        const double h = orvane::StrToFloat(wn->depth);
        const double k = orvane::WaveNumber(T, h, wn->constants.gra);
        const double L = orvane::kTwoPi / k;
        const std::string kText = orvane::FormatGeneral(k, 7), lText = orvane::FormatFixed(L, 3, 15);
        orvane::PrintResults(wn->output, "wavenumber",
                             {{"k", k, "rad/m", kText}, {"L", L, "m", lText}},
                             {"波数(rad/m)：" + kText, "波長(m)：" + lText});
    });
}
