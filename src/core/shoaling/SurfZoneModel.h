#pragma once
// What each surf-zone model is, in one table: the window, the command line, Python, the
// comparison and the help all read it. A new model is its own files and one entry in
// SurfZoneModels.cpp.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>
#include "core/runtime/Progress.h"
#include "core/runtime/Prompter.h"

namespace orvane {

class ShoalingRun;
class ShoalingOutput;
struct ShoalingEstimate;

// One display item of the window's 表示データ: its text and unit suffix (" (m)" or "").
struct DisplayItem {
    const char* text;
    const char* unit;
};

// How the typed offshore wave becomes the height and period the model marches with.
enum class OffshoreBasis {
    AsTyped,      // regular waves: H and T as typed
    Significant,  // H1/3 and T1/3 (an rms height times 1.416, a peak period times T1/3 / Tp)
    RmsAndPeak,   // Hrms and Tp
};

using ModelRunFn = bool (*)(ShoalingRun& run, ShoalingOutput& out, Progress& progress, Prompter& prompter);
// Appends the report lines of one estimation point after its position line.
using EstimateLinesFn = void (*)(const ShoalingEstimate& estimate, std::vector<std::string>& lines);

struct SurfZoneModel {
    int key;                    // the method number of the window, the command line and Python
    const char* id;             // command-line and Python name, e.g. "goda"
    const char* japaneseName;   // the window's choice, e.g. "合田(1975)の不規則波の変形モデル"
    const char* shortName;      // legends and table columns, e.g. "合田(1975)"
    const char* englishName;    // e.g. "Goda (1975)"
    bool random;                // random waves (height and period kinds apply; series tools)
    bool startsAtObservation;   // starts at the observation point instead of deep water
    bool hasSetup;              // computes the set-up η
    bool hasHrms;               // computes Hrms
    std::span<const DisplayItem> items;
    const char* heightItem;     // the item compared between models: "H" or "Hs"
    const char* storedHeight;   // the height a run stores per point: "H" or "Hrms"
    bool planeBedOnly;          // refuses a profile
    bool monotoneProfileOnly;   // refuses a profile that deepens shoreward
    OffshoreBasis basis;
    std::uint32_t colour;       // 0xRRGGBB of its curves in the comparison
    ModelRunFn run;
    EstimateLinesFn estimateLines;
};

std::span<const SurfZoneModel> SurfZoneModels();
// The model of a method number; an out-of-range number gives the first model.
const SurfZoneModel& SurfZoneModelOf(int key);
// The model named by its id (any case) or its number; nullptr when none is.
const SurfZoneModel* FindSurfZoneModel(std::string_view name);
// "0 regular 菅原・山本(1978), 1 goda 合田(1975), ..." for help texts; only the random
// models when `randomOnly`.
std::string SurfZoneModelList(bool randomOnly = false);
// The display items of a method; an out-of-range method gives the first model's.
inline std::span<const DisplayItem> DisplayItemsFor(int method) { return SurfZoneModelOf(method).items; }
// The index of the display item `text` of a model; -1 when it has none.
int DisplayItemIndex(const SurfZoneModel& model, std::string_view text);

}  // namespace orvane
