#include "core/velocity/ResultFile.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <system_error>

#include "core/runtime/DateTime.h"
#include "core/runtime/Errors.h"
#include "core/runtime/TextFile.h"

namespace orvane {
namespace fs = std::filesystem;

void CheckCoefficients(const SeriesHeader& header) {
    for (int c = 0; c < header.NchInterval && c < ChannelTableSize; ++c)
        if (header.CoefA[c] == 0.0f) throw EZeroDivide();
}

namespace {

// A name beside the target that no other run uses at the same time.
std::string TemporaryBeside(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    const fs::path t(target);
    const std::string name = "." + t.filename().string() + ".~" + std::to_string(stamp % 1000000007) +
                             "-" + std::to_string(counter.fetch_add(1));
    return (t.parent_path() / name).string();
}

}  // namespace

void WriteResultFile(SeriesStore& store, const std::string& target) {
    const std::string temp = TemporaryBeside(target);
    std::error_code ec;
    try {
        const bool sdf = HasSdfExtension(target);
        const bool headerOk = sdf ? store.WriteSdfHeader(temp) : store.WriteTsdHeader(temp);
        if (!headerOk) throw EInOutError("ファイル「" + target + "」に書き込めません。");
        store.OutputFileName = temp;
        if (sdf)
            store.WriteSdfBurst(0);
        else
            store.AppendTsdBurst(0);
        store.OutputFileName = target;
        fs::rename(temp, target, ec);
        if (ec) throw EInOutError("ファイル「" + target + "」に書き込めません。");
    } catch (...) {
        store.OutputFileName = target;
        fs::remove(temp, ec);
        throw;
    }
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
