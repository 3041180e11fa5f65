#include "core/velocity/WaveHeightSeries.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>
#include <thread>
#include <vector>

#include "core/runtime/Errors.h"
#include "core/runtime/MathConstants.h"
#include "core/velocity/ResultFile.h"
#include "core/wave/WaveNumber.h"

namespace orvane {
namespace {

std::string Trim(const std::string& s) {
    std::size_t a = 0, b = s.size();
    while (a < b && (s[a] == ' ' || s[a] == '\t')) ++a;
    while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t')) --b;
    return s.substr(a, b - a);
}


}  // namespace

std::string ChannelListText(const SeriesHeader& h, int channel) {
    if (channel < 0 || channel >= ChannelTableSize) return "";
    return Trim(h.ItemName[channel]) + "(" + Trim(h.UnitName[channel]) + ")";
}

double HeightFromBottomVelocity(double Us, double Tp, double h, double g) {
    const double k = WaveNumber(Tp, h, g);
    const double omega = kTwoPi / Tp;
    return std::sinh(k * h) * Us / omega * 2;
}

double WaveHeightSample(double us, double tp, double tide, const WaveHeightInputs& inputs,
                        double g) {
    const double Us = us * inputs.factorUs;
    const double Tp = tp * inputs.factorTp;
    const double depth = inputs.meanDepth + inputs.dh + tide;
    return HeightFromBottomVelocity(Us, Tp, depth, g);
}

void RunHeightSeries(const HeightSeriesRequest& request, std::span<double> heights) {
    const std::size_t n = heights.size();
    const auto& r = request;
    if (r.us.size() < n || r.tp.size() < n || r.tide.size() < n)
        throw OrvaneError("流速、周期、潮位の系列の長さが違います。");
    // Slices of a few thousand samples, each asking the flag first.
    constexpr std::size_t kBlock = 4096;
    const auto range = [&](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i) {
            if ((i - from) % kBlock == 0) ThrowIfCancelled(r.cancel);
            heights[i] = std::isnan(r.us[i]) || std::isnan(r.tp[i]) || std::isnan(r.tide[i])
                             ? std::numeric_limits<double>::quiet_NaN()
                             : WaveHeightSample(r.us[i], r.tp[i], r.tide[i], r.inputs, r.gravity);
        }
    };
    const std::size_t threads = std::clamp<std::size_t>(static_cast<std::size_t>(std::max(1, r.jobs)), 1, std::max<std::size_t>(1, n));
    if (threads == 1) {
        range(0, n);
        ThrowIfCancelled(r.cancel);
        return;
    }
    // Contiguous slices; the error of the earliest failing slice is the one raised.
    std::vector<std::exception_ptr> errors(threads);
    std::vector<std::thread> pool;
    for (std::size_t t = 0; t < threads; ++t)
        pool.emplace_back([&, t] {
            try {
                range(n * t / threads, n * (t + 1) / threads);
            } catch (...) {
                errors[t] = std::current_exception();
            }
        });
    for (auto& th : pool) th.join();
    ThrowIfCancelled(r.cancel);
    for (auto& e : errors)
        if (e) std::rethrow_exception(e);
}

void ComputeWaveHeights(std::span<const double> us, std::span<const double> tp,
                        std::span<const double> tide, const WaveHeightInputs& inputs, double g,
                        std::span<double> heights, int jobs) {
    RunHeightSeries({us, tp, tide, inputs, g, jobs, nullptr}, heights);
}

bool EstimateWaveHeightSeries(SeriesStore& store, const std::string& inputFile,
                              const WaveHeightInputs& inputs, double g, Prompter& prompter,
                              Progress& progress, long long& outOfRange, const CancelFlag* cancel) {
    if (inputs.tideChannel < 0 || inputs.usChannel < 0 || inputs.tpChannel < 0) {
        prompter.Error("潮位、底面有義流速振幅、スペクトルピーク周期の項目を選択して下さい。");
        return false;
    }
    const char* failed = "底面流速データの読み込みに失敗しました。";
    if (!store.OpenSeriesHeader(inputFile, prompter, progress)) {
        prompter.Error(failed);
        return false;
    }
    store.DataFileName = inputFile;
    SeriesHeader& h = store.header;
    const int ct = inputs.tideChannel, cu = inputs.usChannel, cp = inputs.tpChannel;
    if (ct >= h.NchInterval || cu >= h.NchInterval || cp >= h.NchInterval ||
        !store.ReadBurst(0, prompter)) {
        prompter.Error(failed);
        return false;
    }

    const std::size_t n = static_cast<std::size_t>(std::max(0, h.SampleSize));
    std::array<std::vector<std::int16_t>, 4> work;
    for (auto& w : work) w.resize(n);
    const double At = h.CoefA[ct], Bt = h.CoefB[ct];
    const double Au = h.CoefA[cu], Bu = h.CoefB[cu];
    const double Ap = h.CoefA[cp], Bp = h.CoefB[cp];
    constexpr double kHeightA = 0.001;
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    std::vector<double> us(n), tp(n), tide(n), heights(n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::int16_t t = store.IntervalData[ct][i];
        const std::int16_t u = store.IntervalData[cu][i];
        const std::int16_t p = store.IntervalData[cp][i];
        work[0][i] = t;
        work[1][i] = u;
        work[2][i] = p;
        const bool missing = t == ErrorRaw || u == ErrorRaw || p == ErrorRaw;
        us[i] = missing ? kNaN : u * Au + Bu;
        tp[i] = missing ? kNaN : p * Ap + Bp;
        tide[i] = missing ? kNaN : t * At + Bt;
    }
    RunHeightSeries({us, tp, tide, inputs, g, 1, cancel}, heights);
    for (std::size_t i = 0; i < n; ++i)
        work[3][i] = std::isnan(us[i]) ? ErrorRaw : ValueToCount(heights[i], kHeightA, 0.0, outOfRange);

    // The copies keep their channels' names and calibration; taken before the table changes.
    const std::array<int, 3> source{ct, cu, cp};
    std::array<std::string, 3> names, units;
    std::array<float, 3> coefA{}, coefB{};
    for (int k = 0; k < 3; ++k) {
        names[k] = h.ItemName[source[k]];
        units[k] = h.UnitName[source[k]];
        coefA[k] = h.CoefA[source[k]];
        coefB[k] = h.CoefB[source[k]];
    }
    h.NchInterval = 4;
    h.NchBurst = 0;
    h.Iteration = 1;
    for (int k = 0; k < 3; ++k) {
        h.ItemName[k] = names[k];
        h.UnitName[k] = units[k];
        h.CoefA[k] = coefA[k];
        h.CoefB[k] = coefB[k];
    }
    h.ItemName[3] = "Hs";
    h.UnitName[3] = "m";
    h.CoefA[3] = static_cast<float>(kHeightA);
    h.CoefB[3] = 0.0f;
    store.AllocateSeriesData();
    for (int k = 0; k < 4; ++k) store.IntervalData[k] = std::move(work[k]);
    return true;
}

std::string WaveHeightOutOfRangeMessage(long long outOfRange) {
    if (outOfRange <= 0) return "";
    return "16ビットの範囲に収まらない波高 " + std::to_string(outOfRange) + " 個を欠測値として保存しました。";
}

}  // namespace orvane
