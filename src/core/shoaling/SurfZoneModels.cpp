// The table of surf-zone models. A fifth model: its own source files (its march and its
// report lines, declared in ShoalingModels.h), one entry here, its help page and tests.
#include "core/shoaling/SurfZoneModel.h"

#include <algorithm>
#include "core/runtime/TextFile.h"
#include "core/shoaling/ShoalingModels.h"

namespace orvane {

namespace {

constexpr DisplayItem kRegularItems[] = {{"H", " (m)"}, {"H/H0", ""}, {"η", " (m)"}};
constexpr DisplayItem kGodaItems[] = {{"Hrms", " (m)"},  {"Hm", " (m)"},     {"Hs", " (m)"},
                                      {"H1/10", " (m)"}, {"H1/100", " (m)"}, {"Hs/H0", ""},
                                      {"η", " (m)"}};
constexpr DisplayItem kThorntonGuzaItems[] = {{"Hrms", " (m)"}, {"Hs", " (m)"}, {"Hs/H0", ""}};
constexpr DisplayItem kBattjesStiveItems[] = {
    {"Hrms", " (m)"}, {"Hs", " (m)"}, {"Hs/H0", ""}, {"η", " (m)"}};

const SurfZoneModel kModels[] = {
    {.key = 0, .id = "regular", .japaneseName = "菅原・山本(1978)の規則波の変形モデル",
     .shortName = "菅原・山本(1978)", .englishName = "Sugawara and Yamamoto (1978)",
     .random = false, .startsAtObservation = false, .hasSetup = true, .hasHrms = false,
     .items = kRegularItems, .heightItem = "H", .storedHeight = "H",
     .planeBedOnly = true, .monotoneProfileOnly = false, .basis = OffshoreBasis::AsTyped,
     .colour = 0x0050DC, .run = RunRegularWaveModel, .estimateLines = RegularWaveLines},
    {.key = 1, .id = "goda", .japaneseName = "合田(1975)の不規則波の変形モデル",
     .shortName = "合田(1975)", .englishName = "Goda (1975)",
     .random = true, .startsAtObservation = false, .hasSetup = true, .hasHrms = true,
     .items = kGodaItems, .heightItem = "Hs", .storedHeight = "Hrms",
     .planeBedOnly = false, .monotoneProfileOnly = true, .basis = OffshoreBasis::Significant,
     .colour = 0x00963C, .run = RunGodaModel, .estimateLines = GodaLines},
    {.key = 2, .id = "thornton-guza", .japaneseName = "Thornton and Guza（1983)の砕波変形モデル",
     .shortName = "Thornton-Guza(1983)", .englishName = "Thornton and Guza (1983)",
     .random = true, .startsAtObservation = true, .hasSetup = false, .hasHrms = true,
     .items = kThorntonGuzaItems, .heightItem = "Hs", .storedHeight = "Hrms",
     .planeBedOnly = false, .monotoneProfileOnly = false, .basis = OffshoreBasis::RmsAndPeak,
     .colour = 0xEB7800, .run = RunThorntonGuzaModel, .estimateLines = ThorntonGuzaLines},
    {.key = 3, .id = "battjes-stive", .japaneseName = "Battjes and Stive(1985)の砕波変形モデル",
     .shortName = "Battjes-Stive(1985)", .englishName = "Battjes and Stive (1985)",
     .random = true, .startsAtObservation = true, .hasSetup = true, .hasHrms = true,
     .items = kBattjesStiveItems, .heightItem = "Hs", .storedHeight = "Hrms",
     .planeBedOnly = false, .monotoneProfileOnly = false, .basis = OffshoreBasis::RmsAndPeak,
     .colour = 0x9628AA, .run = RunBattjesStiveModel, .estimateLines = BattjesStiveLines},
};

}  // namespace

std::span<const SurfZoneModel> SurfZoneModels() { return kModels; }

const SurfZoneModel& SurfZoneModelOf(int key) {
    for (const SurfZoneModel& m : kModels)
        if (m.key == key) return m;
    return kModels[0];
}

const SurfZoneModel* FindSurfZoneModel(std::string_view name) {
    const std::string v = LowerAscii(std::string(name));
    for (const SurfZoneModel& m : kModels)
        if (v == m.id || v == std::to_string(m.key)) return &m;
    return nullptr;
}

std::string SurfZoneModelList(bool randomOnly) {
    std::string list;
    for (const SurfZoneModel& m : kModels) {
        if (randomOnly && !m.random) continue;
        list += (list.empty() ? "" : ", ") + std::to_string(m.key) + " " + m.id + " " + m.shortName;
    }
    return list;
}

int DisplayItemIndex(const SurfZoneModel& model, std::string_view text) {
    for (std::size_t i = 0; i < model.items.size(); ++i)
        if (text == model.items[i].text) return static_cast<int>(i);
    return -1;
}

}  // namespace orvane
