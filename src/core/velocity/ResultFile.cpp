#include "core/velocity/ResultFile.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/runtime/DateTime.h"
#include "core/runtime/Errors.h"
#include "core/runtime/NumberText.h"
#include "core/runtime/TextFile.h"
#include "core/series/SeriesWriter.h"

namespace orvane {
namespace fs = std::filesystem;

void CheckCoefficients(const SeriesHeader& header) {
    for (int c = 0; c < header.NchInterval && c < ChannelTableSize; ++c)
        if (header.CoefA[c] == 0.0f) throw EZeroDivide();
}

void NormaliseAsSaveWindow(SeriesHeader& h) {
    while (!h.Memo.empty() && static_cast<unsigned char>(h.Memo.back()) <= ' ') h.Memo.pop_back();
    h.Memo = CutToCp932Bytes(h.Memo, 160);
    h.StartTime = ParseDateTime(FormatDateTime(h.StartTime));
    const int n = std::clamp(h.ChannelCount(), 0, MaxChannels);
    for (int i = 0; i < n; ++i) {
        h.ItemName[i] = CutToCp932Bytes(h.ItemName[i], 16);
        h.UnitName[i] = CutToCp932Bytes(h.UnitName[i], 8);
        h.CoefA[i] = static_cast<float>(StrToFloat(FormatGeneral(h.CoefA[i], 7)));
        h.CoefB[i] = static_cast<float>(StrToFloat(FormatGeneral(h.CoefB[i], 7)));
    }
}

bool ConfirmResultName(const SeriesStore& store, const std::string& name, Prompter& prompter) {
    if (!HasSdfExtension(name)) {
        const std::string problem = TsdTableProblem(store.header);
        if (!problem.empty()) {
            prompter.Error(problem);
            return false;
        }
    }
    return store.ConfirmOutputName(name, prompter);
}

void WriteResultFile(SeriesStore& store, const std::string& targetName) {
    const std::string target = targetName;  // may be store.OutputFileName itself
    SeriesWriter out(store, target);
    out.WriteBurst(0);
    out.Commit();
}

void RemoveUnfinishedResult(const std::string& path, bool existedBefore) {
    if (existedBefore || path.empty()) return;
    std::error_code ec;
    fs::remove(path, ec);
}

std::string FormatRunTime(double runStart, double runEnd) {
    const double span = runEnd - runStart;
    // A clock set back during the run must not show a time before midnight.
    return FormatTimeOfDay(span > 0 ? span : 0.0);
}

std::string OutOfRangeNote(long long outOfRange) {
    if (outOfRange <= 0) return "";
    return "\n16ビットの範囲に収まらない値 " + std::to_string(outOfRange) + " 個を欠測値として保存しました。";
}

}  // namespace orvane
