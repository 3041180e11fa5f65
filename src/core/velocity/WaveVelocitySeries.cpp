#include "core/runtime/Messages.h"
#include "core/velocity/WaveVelocitySeries.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <exception>
#include <limits>
#include <mutex>
#include <thread>

#include "core/runtime/DateTime.h"
#include "core/runtime/Errors.h"
#include "core/runtime/NumberText.h"
#include "core/runtime/TextFile.h"
#include "core/velocity/BottomVelocity.h"
#include "core/velocity/ResultFile.h"

namespace orvane {

const char* VelocityItemName(int output) {
    switch (output) {
        case 1: return "Um";
        case 2: return "Us";
        default: return "Urms";
    }
}

namespace {

bool IsMissing(float v) { return !(v < ErrorLimit); }  // NaN counts as missing too

bool Fail(Prompter& prompter, Progress& progress, const std::string& text) {
    progress.Hide();
    prompter.Error(text);
    return false;
}

// Header of a file by its kind; `kind` is the kind to use for a name that is neither.
bool ReadHeaderOfKind(SeriesStore& store, const std::string& name, SeriesKind& kind,
                      Prompter& prompter, Progress& progress) {
    KindFromExtension(name, kind);
    return kind == SeriesKind::SDF ? store.ReadSdfHeader(name, prompter, progress)
                                   : store.ReadTsdHeader(name, prompter);
}

bool ReadChannelOfKind(SeriesStore& store, SeriesKind kind, int channel, std::vector<float>& values,
                       Prompter& prompter) {
    if (channel < 0 || channel >= store.header.NchInterval) return false;
    values.assign(static_cast<std::size_t>(std::max(0, store.header.SampleSize)), 0.0f);
    return kind == SeriesKind::SDF ? store.ReadSdfChannel(0, channel, values)
                                   : store.ReadTsdChannel(0, channel, values, prompter);
}

}  // namespace

double TideUnitMetres(const std::string& unit, const std::string& channelName) {
    std::string u;
    for (char c : unit)
        if (c != ' ' && c != '\t') u += c;
    u = LowerAscii(u);
    if (u == "m") return 1;
    if (u == "cm") return 0.01;
    if (u == "mm") return 0.001;
    throw OrvaneError("潮位のチャンネル「" + channelName + "」の単位「" + unit +
                      "」は m, cm, mm のどれでもありません。潮位の単位を m, cm, mm のどれかにして下さい。");
}

bool ReadVelocityInputs(SeriesStore& store, const VelocityInputFiles& files, VelocityInputs& in,
                        Prompter& prompter, Progress& progress) {
    if (files.hsChannel < 0) return Fail(prompter, progress, "有義波波高のチャンネルを選択して下さい。");
    if (files.tsChannel < 0) return Fail(prompter, progress, "有義波周期のチャンネルを選択して下さい。");
    if (files.tideChannel < 0) return Fail(prompter, progress, "潮位のチャンネルを選択して下さい。");

    const char* waveFailed = "沖波データの読み込みに失敗しました。";
    const char* tideFailed = "潮位データの読み込みに失敗しました。";
    progress.SetProgressComment("沖波データの読み込み中！");

    // A wave file that is neither .SDF nor .TSD is read as SDF.
    SeriesKind kind = SeriesKind::SDF;
    if (!ReadHeaderOfKind(store, files.waveFile, kind, prompter, progress))
        return Fail(prompter, progress, waveFailed);
    in.WaveStart = store.header.StartTime;
    in.WaveSInt = store.header.SInt;
    store.DataFileName = files.waveFile;
    auto scale = [](std::vector<float>& s, double factor) {
        for (float& v : s)
            if (v < ErrorLimit) v = static_cast<float>(v * factor);
    };
    if (!ReadChannelOfKind(store, kind, files.hsChannel, in.HsSeries, prompter))
        return Fail(prompter, progress, waveFailed);
    scale(in.HsSeries, files.hsFactor);
    if (!ReadChannelOfKind(store, kind, files.tsChannel, in.TsSeries, prompter))
        return Fail(prompter, progress, waveFailed);
    scale(in.TsSeries, files.tsFactor);

    // The tide file keeps the wave file's kind when its extension says nothing.
    if (!ReadHeaderOfKind(store, files.tideFile, kind, prompter, progress))
        return Fail(prompter, progress, tideFailed);
    in.TideStart = store.header.StartTime;
    in.TideSInt = store.header.SInt;
    store.DataFileName = files.tideFile;
    if (!ReadChannelOfKind(store, kind, files.tideChannel, in.TideSeries, prompter))
        return Fail(prompter, progress, tideFailed);
    // The channel's physical value in its unit. When that is the count in millimetres the
    // older formula gives it, and keeps every digit of earlier results.
    const std::string& tideName = store.header.ItemName[files.tideChannel];
    const std::string& tideUnit = store.header.UnitName[files.tideChannel];
    const double A = store.header.CoefA[files.tideChannel];
    const double B = store.header.CoefB[files.tideChannel];
    double metres;
    try {
        metres = TideUnitMetres(tideUnit, tideName);
    } catch (const OrvaneError& e) {
        return Fail(prompter, progress, e.what());
    }
    const bool millimetreCounts = B == 0 && std::fabs(A * metres - 0.001) <= 1e-9;
    for (float& v : in.TideSeries) {
        if (!(v < ErrorLimit)) continue;
        v = millimetreCounts ? static_cast<float>(CheckedDiv(v - B, A) / 1000.0)
                             : static_cast<float>(v * metres);
    }
    in.TideNote.clear();
    if (!millimetreCounts)
        in.TideNote = "潮位はチャンネル「" + tideName + "」の物理量 (単位 " + tideUnit +
                      ") を使いました。係数が A=" + FormatGeneral(A, 7) + ", B=" + FormatGeneral(B, 7) +
                      " のため、格納値をミリメートルとして読む以前の読み方とは値が異なります。";

    if (in.WaveStart != in.TideStart) return Fail(prompter, progress, "計測開始時刻が異なります。");
    if (in.WaveSInt != in.TideSInt) return Fail(prompter, progress, "サンプリング時間間隔が異なります。");
    return true;
}

bool SetUpVelocityOutput(SeriesStore& store, const VelocityOptions& options, const ShoalingRun& run) {
    SeriesHeader& h = store.header;
    const std::string item = VelocityItemName(options.output);
    if (run.EstimationCount <= 0) return false;
    const int count = options.copyHs + options.copyTs + options.copyTide + run.EstimationCount +
                      options.velMax + options.placeMax;
    if (count > MaxChannels)
        throw OrvaneError("チャンネル数が" + std::to_string(MaxChannels) +
                          "を超えます。推定位置の数を減らして下さい。");

    h.Memo = CutToCp932Bytes(item + " estimated from the offshore waves and tides", 160);
    int c = 0;
    auto add = [&](const std::string& name, const char* unit, float A) {
        h.ItemName[c] = CutToCp932Bytes(name, 16);
        h.UnitName[c] = unit;
        h.CoefA[c] = A;
        h.CoefB[c] = 0.0f;
        ++c;
    };
    if (options.copyHs) add("Hs", "m", 0.01f);
    if (options.copyTs) add("Ts", "s", 0.1f);
    if (options.copyTide) add("Tide", "m", 0.001f);
    for (int r = 0; r < run.EstimationCount; ++r)
        add(item + "(" + FormatShortest(run.EstimationValues[r]) + "m)", "m/s", 0.001f);
    if (options.velMax) add(item + " Max", "m/s", 0.001f);
    if (options.placeMax) add(run.Inputs.XAxis == 1 ? "pos of Vel Max" : "depth of Vel Max", "m", 0.01f);

    h.NchInterval = static_cast<std::int16_t>(c);
    h.NchBurst = 0;
    h.Iteration = 1;
    store.AllocateSeriesData();
    return true;
}

namespace {

// What every sample reads; shared, never written during the loop (each sample writes its
// own index of `values`).
struct LoopFrame {
    const VelocityInputs& in;
    const VelocityOptions& options;
    const SeriesHeader& header;
    std::vector<std::vector<double>>* values;
    double gravity, periodRatio;
    int firstPoint, pointCount, maxChannel, placeChannel;

    void Put(int c, std::size_t j, double v, long long&) const { (*values)[c][j] = v; }
    void Missing(int c, std::size_t j) const { (*values)[c][j] = std::numeric_limits<double>::quiet_NaN(); }
};

double VelocityValue(const RandomVelocity& v, int output) {
    switch (output) {
        case 1: return std::sqrt(2.0) * v.Urms;
        case 2: return v.Us;
        default: return v.Urms;
    }
}

}  // namespace

ProfileMaximum FindProfileMaximum(const ShoalingRun& run, double Tp, double level, int output,
                                  double g) {
    std::vector<double> scratch;
    return FindProfileMaximum(run, Tp, level, output, g, scratch);
}

ProfileMaximum FindProfileMaximum(const ShoalingRun& run, double Tp, double level, int output,
                                  double g, std::vector<double>& bound) {
    // The first point with the largest velocity, as a plain scan finds it; but a point
    // whose cheap upper bound lies below the best velocity found cannot be that point,
    // and most points of a profile lie far below the maximum.
    const int recorded = run.RecordedCount();
    const auto depthOf = [&](int r) { return run.DepthAt(run.RecordedDistance[r]); };
    const auto velocityOf = [&](int r) {
        return VelocityValue(
            RandomWaveVelocity(Tp, run.RecordedHeight[r], depthOf(r) + run.RecordedSetup[r], g),
            output);
    };
    bound.resize(static_cast<std::size_t>(recorded));
    int best = -1, first = -1;
    double bestVelocity = 0;
    const auto consider = [&](int r, double v) {
        if (v > bestVelocity || (best >= 0 && v == bestVelocity && r < best)) {
            bestVelocity = v;
            best = r;
        }
    };
    for (int r = 0; r < recorded; ++r) {
        // In order, so that a failing point fails as it would in a plain scan.
        const double Ub = RandomWaveVelocityBound(Tp, run.RecordedHeight[r],
                                                  depthOf(r) + run.RecordedSetup[r], g);
        bound[r] = VelocityValue(RandomVelocity{Ub, std::sqrt(2.0) * Ub * kSignificantPerRms},
                                 output) * (1 + 1e-9);
        if (!(bound[r] < 1e300)) {
            consider(r, velocityOf(r));  // may overflow: evaluate it here, in order
            bound[r] = -1;
        }
        if (first < 0 || bound[r] > bound[first]) first = r;
    }
    if (first >= 0 && bound[first] >= 0) consider(first, velocityOf(first));
    for (int r = 0; r < recorded; ++r) {
        if (r == first || bound[r] < 0 || bound[r] < bestVelocity) continue;
        consider(r, velocityOf(r));
    }
    ProfileMaximum m;
    if (best >= 0) {
        m.velocity = bestVelocity;
        m.place = run.AxisMode == 0 ? depthOf(best) - level : run.RecordedDistance[best];
    }
    return m;
}

namespace {

void ComputeSample(const LoopFrame& f, ShoalingRun& run, ShoalingOutput& out, Progress& progress,
                   Prompter& prompter, std::size_t j, long long& outOfRange,
                   std::vector<double>& scratch) {
    const SeriesHeader& h = f.header;
    auto put = [&](int c, double v) { f.Put(c, j, v, outOfRange); };
    auto sample = [j](const std::vector<float>& s) { return j < s.size() ? s[j] : ErrorValue; };
    const float hs = sample(f.in.HsSeries), ts = sample(f.in.TsSeries), tide = sample(f.in.TideSeries);

    int c = 0;
    for (auto [wanted, v] : {std::pair{f.options.copyHs, hs}, std::pair{f.options.copyTs, ts},
                             std::pair{f.options.copyTide, tide}}) {
        if (!wanted) continue;
        if (IsMissing(v))
            f.Missing(c, j);
        else
            put(c, v);
        ++c;
    }
    auto computedMissing = [&] {
        for (int k = f.firstPoint; k < h.NchInterval; ++k) f.Missing(k, j);
    };
    if (IsMissing(hs) || IsMissing(ts) || IsMissing(tide)) return computedMissing();

    const double level = static_cast<double>(tide) - f.options.MSL;
    run.SetOffshoreWave(f.options.Kr * hs, ts);
    if (!run.RunModel(run.EstimationValues, level, out, progress, prompter)) return computedMissing();

    const double Tp = CheckedDiv(ts, f.periodRatio);
    for (int r = 0; r < f.pointCount; ++r, ++c) {
        const double H = r < run.EstimationCount ? run.EstimatedHeight[r] : -1.0;
        if (H < 0) {
            f.Missing(c, j);
            continue;
        }
        const double value = run.EstimationValues[r];
        const double hr = run.AxisMode == 0 ? value + level : run.DepthAt(value);
        put(c, VelocityValue(RandomWaveVelocity(Tp, H, hr + run.EstimatedSetup[r], f.gravity),
                             f.options.output));
    }

    if (!run.RecordProfile) {
        // The profile was not recorded (its flag cleared during the run): nothing to show.
        if (f.maxChannel >= 0) f.Missing(f.maxChannel, j);
        if (f.placeChannel >= 0) f.Missing(f.placeChannel, j);
        return;
    }
    const ProfileMaximum m = FindProfileMaximum(run, Tp, level, f.options.output, f.gravity, scratch);
    if (f.maxChannel >= 0) put(f.maxChannel, m.velocity);
    if (f.placeChannel >= 0) put(f.placeChannel, m.place);
}

// What a worker thread's model run sees: only the shared stop flag.
class StopFlagProgress : public Progress {
public:
    explicit StopFlagProgress(const std::atomic<bool>& stop) : stop_(stop) {}
    void SetProgressComment(const std::string&) override {}
    void SetProgressPosition(int) override {}
    bool Cancelled() const override { return stop_.load(std::memory_order_relaxed); }
    void SetStatusLine(const std::string&) override {}
    void Hide() override {}
private:
    const std::atomic<bool>& stop_;
};

// Messages from worker threads reach the user one at a time.
class LockedPrompter : public Prompter {
public:
    explicit LockedPrompter(Prompter& inner) : inner_(inner) {}
    MsgResult Message(MsgKind kind, const std::string& text, MsgButtons buttons) override {
        std::lock_guard lock(mutex_);
        return inner_.Message(kind, text, buttons);
    }
    void Plain(const std::string& text, const std::string& caption) override {
        std::lock_guard lock(mutex_);
        inner_.Plain(text, caption);
    }
    void Beep() override {
        std::lock_guard lock(mutex_);
        inner_.Beep();
    }
private:
    Prompter& inner_;
    std::mutex mutex_;
};

int Percent(std::size_t done, std::size_t total) {
    return static_cast<int>(RoundHalfEven(static_cast<double>(done) * 100.0 / static_cast<double>(total)));
}

// Samples on `jobs` threads; false when cancelled. Raises the error of the earliest
// failing sample that was computed.
bool RunParallel(const LoopFrame& f, const ShoalingRun& run, std::size_t total, int jobs,
                 double start, double step, Progress& progress, Prompter& prompter,
                 long long& outOfRange) {
    constexpr std::size_t kChunk = 8;
    std::atomic<std::size_t> next{0}, done{0};
    std::atomic<bool> stop{false};
    std::atomic<long long> outOfRangeAll{0};
    std::mutex errorMutex;
    std::exception_ptr error;
    std::size_t errorSample = total;
    LockedPrompter lockedPrompter(prompter);

    auto worker = [&] {
        ShoalingRun local = run;
        ShoalingOutput out;
        StopFlagProgress localProgress(stop);
        long long localOutOfRange = 0;
        std::vector<double> scratch;
        while (!stop.load(std::memory_order_relaxed)) {
            const std::size_t first = next.fetch_add(kChunk);
            if (first >= total) break;
            const std::size_t last = std::min(total, first + kChunk);
            for (std::size_t j = first; j < last && !stop.load(std::memory_order_relaxed); ++j) {
                try {
                    ComputeSample(f, local, out, localProgress, lockedPrompter, j, localOutOfRange,
                                  scratch);
                } catch (...) {
                    std::lock_guard lock(errorMutex);
                    if (j < errorSample) {
                        errorSample = j;
                        error = std::current_exception();
                    }
                    stop = true;
                    break;
                }
                done.fetch_add(1, std::memory_order_relaxed);
            }
        }
        outOfRangeAll += localOutOfRange;
    };

    std::vector<std::thread> threads;
    threads.reserve(static_cast<std::size_t>(jobs));
    for (int t = 0; t < jobs; ++t) threads.emplace_back(worker);

    bool cancelled = false;
    while (true) {
        const std::size_t d = done.load();
        if (d >= total || stop.load()) break;
        progress.SetProgressPosition(Percent(d, total));
        progress.SetStatusLine(FormatDateTime(start + static_cast<double>(d) * step));
        if (progress.Cancelled()) {
            cancelled = true;
            stop = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    for (auto& t : threads) t.join();
    outOfRange = outOfRangeAll.load();
    if (error) std::rethrow_exception(error);
    if (!cancelled) {
        progress.SetProgressPosition(100);
        progress.SetStatusLine(FormatDateTime(start + static_cast<double>(total - 1) * step));
    }
    return !cancelled;
}

// The one loop: values into `values`, one array per channel of `h`.
VelocityRunResult RunVelocityLoop(const VelocityInputs& in, const VelocityOptions& options,
                                  ShoalingRun& run, const SeriesHeader& h,
                                  std::vector<std::vector<double>>& values,
                                  const PhysicalConstants& constants, Progress& progress,
                                  Prompter& prompter, int jobs) {
    VelocityRunResult result;
    run.Interactive = false;
    if (options.velMax || options.placeMax) run.RecordProfile = true;
    ShoalingOutput silent;
    result.prepare = run.PrepareRun(silent, prompter, PrepareMode::PerSample);
    if (!result.prepare.ok) return result;

    const int copies = options.copyHs + options.copyTs + options.copyTide;
    const int extras = options.velMax + options.placeMax;
    const int points = h.NchInterval - copies - extras;
    if (points < 0 || points != run.EstimationCount)
        throw OrvaneError("結果のチャンネル表が推定位置と合いません。");
    const std::size_t total = static_cast<std::size_t>(std::max(0, h.SampleSize));
    values.assign(static_cast<std::size_t>(h.NchInterval), std::vector<double>(total));

    LoopFrame frame{in, options, h, &values, constants.gra, constants.RTp,
                    copies, points,
                    options.velMax ? copies + points : -1,
                    options.placeMax ? copies + points + options.velMax : -1};
    const double step = h.SInt * UnitSeconds(h.SIntUnit) / 86400.0;
    const double start = h.StartTime;

    progress.SetProgressComment(msg::kComputing);
    result.runStart = NowDateTime();
    try {
        if (jobs > 1 && total > 1) {
            if (!RunParallel(frame, run, total, jobs, start, step, progress, prompter, result.outOfRange)) {
                progress.Hide();
                return result;
            }
        } else {
            std::vector<double> scratch;
            for (std::size_t j = 0; j < total; ++j) {
                if (progress.Cancelled()) {
                    progress.Hide();
                    return result;
                }
                progress.SetProgressPosition(Percent(j + 1, total));
                progress.SetStatusLine(FormatDateTime(start + static_cast<double>(j) * step));
                ComputeSample(frame, run, silent, progress, prompter, j, result.outOfRange, scratch);
            }
        }
    } catch (...) {
        progress.Hide();
        throw;
    }
    result.runEnd = NowDateTime();
    progress.Hide();
    // A cancel that came with the last sample still stops the run: nothing is written.
    result.completed = !progress.Cancelled();
    return result;
}

}  // namespace

VelocitySeriesResult RunVelocitySeries(const VelocitySeriesRequest& request, ShoalingRun& run,
                                       Progress& progress, Prompter& prompter) {
    VelocitySeriesResult r;
    r.run = RunVelocityLoop(request.inputs, request.options, run, request.table, r.values,
                            request.constants, progress, prompter, request.jobs);
    return r;
}

void StoreVelocityValues(const std::vector<std::vector<double>>& values, SeriesStore& store,
                         long long& outOfRange) {
    const SeriesHeader& h = store.header;
    CheckCoefficients(h);
    store.AllocateSeriesData();
    const std::size_t total = static_cast<std::size_t>(std::max(0, h.SampleSize));
    for (int c = 0; c < h.NchInterval && static_cast<std::size_t>(c) < values.size(); ++c)
        for (std::size_t j = 0; j < total && j < values[c].size(); ++j)
            store.IntervalData[c][j] = std::isnan(values[c][j])
                                           ? ErrorRaw
                                           : ValueToCount(values[c][j], h.CoefA[c], h.CoefB[c], outOfRange);
}

VelocityRunResult ComputeVelocitySeries(const VelocityInputs& in, const VelocityOptions& options,
                                        ShoalingRun& run, SeriesStore& store,
                                        const PhysicalConstants& constants, Progress& progress,
                                        Prompter& prompter, int jobs) {
    CheckCoefficients(store.header);
    VelocitySeriesRequest request{in, options, store.header, constants, jobs};
    VelocitySeriesResult r = RunVelocitySeries(request, run, progress, prompter);
    if (r.run.completed) StoreVelocityValues(r.values, store, r.run.outOfRange);
    return r.run;
}

VelocityRunResult ComputeVelocityValues(const VelocityInputs& in, const VelocityOptions& options,
                                        ShoalingRun& run, const SeriesHeader& table,
                                        std::vector<std::vector<double>>& values,
                                        const PhysicalConstants& constants, Progress& progress,
                                        Prompter& prompter, int jobs) {
    return RunVelocityLoop(in, options, run, table, values, constants, progress, prompter, jobs);
}

std::string VelocityFinishedMessage(const VelocityRunResult& r) {
    return "計算は正常に終了しました。\n計算時間：" + FormatRunTime(r.runStart, r.runEnd) +
           OutOfRangeNote(r.outOfRange);
}

}  // namespace orvane
