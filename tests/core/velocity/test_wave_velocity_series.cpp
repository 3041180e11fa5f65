#include <cmath>
#include <string>
#include <vector>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "SeriesFiles.h"
#include "core/runtime/Errors.h"
#include "core/runtime/ScriptedPrompter.h"
#include "core/velocity/BottomVelocity.h"
#include "core/velocity/ResultFile.h"
#include "core/velocity/WaveVelocitySeries.h"

using namespace orvane;
using namespace orvane::testing;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

class CountingProgress : public Progress {
public:
    void SetProgressComment(const std::string& text) override {
        comments.push_back(text);
        cancelled = false;
    }
    void SetProgressPosition(int percent) override {
        positions.push_back(percent);
        if (cancelAt >= 0 && static_cast<int>(positions.size()) >= cancelAt) cancelled = true;
    }
    bool Cancelled() const override { return cancelled; }
    void SetStatusLine(const std::string& text) override { status.push_back(text); }
    void Hide() override { ++hides; }
    std::vector<std::string> comments, status;
    std::vector<int> positions;
    int hides = 0;
    int cancelAt = -1;  // the cancel button, pressed while this many-th position is shown
    bool cancelled = false;
};

// Goda's model from deep water on a plane 1:50 bed, points as depths below MSL.
ShoalingRun GodaRun(const std::string& points, double offshoreEnd = 10) {
    ShoalingRun run{PhysicalConstants{}};
    run.Inputs.Method = 1;
    run.Inputs.Slope = 0.02;
    run.Inputs.XAxis = 0;
    run.Inputs.OffshoreEndValue = offshoreEnd;
    run.Inputs.OnshoreEndValue = 0.1;
    run.ParseEstimationPoints(points);
    return run;
}

class VelocitySeriesTest : public ::testing::Test {
protected:
    TempFolder dir;
    SeriesStore store;
    ScriptedPrompter prompter;
    CountingProgress progress;
    VelocityInputFiles files;
    VelocityInputs in;
    VelocityOptions options;
    PhysicalConstants constants;

    // Hs, Ts in one file; tide (m, counted in mm) in another, hourly from kStart.
    void MakeInputs(std::vector<double> hs, std::vector<double> ts, std::vector<double> tide,
                    const std::string& waveName = "wave.sdf", const std::string& tideName = "tide.tsd") {
        WriteSeries(dir(waveName), {{"H1/3", "m", 0.01f, 0, hs}, {"T1/3", "s", 0.1f, 0, ts}});
        WriteSeries(dir(tideName), {{"Tide", "m", 0.001f, 0, tide}});
        files.waveFile = dir(waveName);
        files.tideFile = dir(tideName);
        files.hsChannel = 0;
        files.tsChannel = 1;
        files.tideChannel = 0;
    }

    // Reads, sets up and computes; the counts of every channel.
    std::vector<std::vector<std::int16_t>> Run(ShoalingRun& run, int jobs = 1) {
        EXPECT_TRUE(ReadVelocityInputs(store, files, in, prompter, progress));
        EXPECT_TRUE(SetUpVelocityOutput(store, options, run));
        VelocityRunResult r = ComputeVelocitySeries(in, options, run, store, constants, progress, prompter, jobs);
        EXPECT_TRUE(r.completed);
        lastResult = r;
        std::vector<std::vector<std::int16_t>> out;
        for (int c = 0; c < store.header.NchInterval; ++c) out.push_back(store.IntervalData[c]);
        return out;
    }
    VelocityRunResult lastResult;
};

TEST_F(VelocitySeriesTest, MissingInputsBlankTheComputedChannelsButNotThePresentCopies) {
    MakeInputs({1.5, kMissing, 1.5, 1.5}, {8, 8, kMissing, 8}, {0.2, 0.2, 0.2, kMissing});
    options.copyHs = options.copyTs = options.copyTide = true;
    options.velMax = options.placeMax = true;
    ShoalingRun run = GodaRun("4,2");
    auto ch = Run(run);
    ASSERT_EQ(ch.size(), 3u + 2u + 2u);
    // Copies: Hs in cm, Ts in 0.1 s, tide in mm.
    EXPECT_THAT(ch[0], ElementsAre(150, ErrorRaw, 150, 150));
    EXPECT_THAT(ch[1], ElementsAre(80, 80, ErrorRaw, 80));
    EXPECT_THAT(ch[2], ElementsAre(200, 200, 200, ErrorRaw));
    for (std::size_t c = 3; c < ch.size(); ++c) {
        EXPECT_GT(ch[c][0], 0) << "channel " << c;
        for (int j = 1; j < 4; ++j) EXPECT_EQ(ch[c][j], ErrorRaw) << "channel " << c << " sample " << j;
    }
    // The deep-water start follows each sample's wave: no question, points reached.
    EXPECT_THAT(prompter.Texts(), IsEmpty());
}

TEST_F(VelocitySeriesTest, OneSampleAgreesWithTheModelAndTheVelocityFormula) {
    MakeInputs({2.0}, {9.0}, {0.8});
    options.Kr = 0.9;
    options.MSL = 0.3;
    ShoalingRun run = GodaRun("3");
    auto ch = Run(run);

    ShoalingRun oracle = GodaRun("3");
    ShoalingOutput silent;
    NullProgress quiet;
    ASSERT_TRUE(oracle.PrepareRun(silent, prompter, PrepareMode::PerSample).ok);
    const double level = static_cast<double>(static_cast<float>(0.8)) - 0.3;
    oracle.SetOffshoreWave(0.9 * 2.0, 9.0);
    ASSERT_TRUE(oracle.RunModel(oracle.EstimationValues, level, silent, quiet, prompter));
    ASSERT_GT(oracle.EstimatedHeight[0], 0);
    const RandomVelocity v = RandomWaveVelocity(9.0 / 0.93, oracle.EstimatedHeight[0],
                                                3.0 + level + oracle.EstimatedSetup[0], 9.80665);
    EXPECT_EQ(ch[0][0], RoundHalfEven(v.Urms / 0.001));
}

TEST_F(VelocitySeriesTest, OutputItemsScaleAsTheirDefinitions) {
    MakeInputs({1.0, 2.0, 3.0}, {7, 9, 11}, {0, 0.5, -0.5});
    std::vector<std::vector<std::int16_t>> byItem;
    for (int item = 0; item < 3; ++item) {
        options.output = item;
        ShoalingRun run = GodaRun("5,3,1.5");
        byItem.push_back(Run(run)[1]);
        EXPECT_EQ(store.header.ItemName[0], std::string(VelocityItemName(item)) + "(5m)");
    }
    for (int j = 0; j < 3; ++j) {
        const double urms = byItem[0][j];
        ASSERT_GT(urms, 50);
        EXPECT_NEAR(byItem[1][j], std::sqrt(2.0) * urms, 1.0);
        EXPECT_NEAR(byItem[2][j], 1.416 * std::sqrt(2.0) * urms, 1.5);
    }
    EXPECT_EQ(store.header.Memo, "Us estimated from the offshore waves and tides");
}

TEST_F(VelocitySeriesTest, APointTheWaveDoesNotReachIsMissingOnlyInItsOwnChannel) {
    // T = 8 s: L0 is about 100 m, so a point at 200 m depth lies offshore of the start.
    MakeInputs({1.5, 1.0}, {8, 8}, {0, 0});
    ShoalingRun run = GodaRun("200,4,2", 300);
    auto ch = Run(run);
    ASSERT_EQ(ch.size(), 3u);
    EXPECT_THAT(ch[0], ElementsAre(ErrorRaw, ErrorRaw));
    for (int j = 0; j < 2; ++j) {
        EXPECT_GT(ch[1][j], 0);
        EXPECT_GT(ch[2][j], 0);
    }
    EXPECT_EQ(store.header.ItemName[0], "Urms(200m)");
}

TEST_F(VelocitySeriesTest, ProfileMaximumAndItsPlace) {
    ShoalingRun run = GodaRun("2");
    // Nothing recorded: 0 and 0.
    ProfileMaximum none = FindProfileMaximum(run, 10, 0, 0, 9.80665);
    EXPECT_EQ(none.velocity, 0);
    EXPECT_EQ(none.place, 0);

    // Three recorded points on the 1:50 bed at tide 0.5: the middle one has the fastest flow.
    run.BedSlope = 0.02;
    run.TideLevel = 0.5;
    run.RecordProfile = true;
    run.RecordPoint(500, 1.0, 0.0);   // 10 m below MSL
    run.RecordPoint(150, 1.2, 0.05);  // 3 m
    run.RecordPoint(50, 0.3, 0.1);    // 1 m, broken down
    const double fastest = RandomWaveVelocity(10, 1.2, 3.0 + 0.5 + 0.05, 9.80665).Urms;
    run.AxisMode = 0;
    ProfileMaximum depth = FindProfileMaximum(run, 10, 0.5, 0, 9.80665);
    EXPECT_DOUBLE_EQ(depth.velocity, fastest);
    EXPECT_NEAR(depth.place, 3.0, 1e-12);  // depth below MSL, tide removed
    run.AxisMode = 1;
    EXPECT_NEAR(FindProfileMaximum(run, 10, 0.5, 0, 9.80665).place, 150, 1e-12);
}

TEST_F(VelocitySeriesTest, ProfileMaximumIsThePlainScansFirstLargest) {
    // Whole marches of calm and storm seas, every output and both axes: the same value
    // and place as evaluating every point; of equal velocities the first one counts.
    struct NoOutput : ShoalingOutput {
        void AddReportLine(const std::string&) override {}
        void AddHeightPoint(double, double) override {}
    } out;
    NullProgress quiet;
    ShoalingRun run = GodaRun("6,2");
    run.RecordProfile = true;
    ASSERT_TRUE(run.PrepareRun(out, prompter).ok);
    run.Interactive = false;
    const double g = 9.80665;
    for (double hs : {0.3, 1.0, 2.5, 5.0}) {
        for (double ts : {4.0, 8.0, 13.0}) {
            run.SetOffshoreWave(hs, ts);
            ASSERT_TRUE(run.RunModel(run.EstimationValues, 0.4, out, quiet, prompter));
            for (int output : {0, 1, 2}) {
                for (int axis : {0, 1}) {
                    run.AxisMode = axis;
                    ProfileMaximum plain;
                    for (int r = 0; r < run.RecordedCount(); ++r) {
                        const double depth = run.DepthAt(run.RecordedDistance[r]);
                        RandomVelocity v = RandomWaveVelocity(ts, run.RecordedHeight[r],
                                                              depth + run.RecordedSetup[r], g);
                        const double value = output == 0 ? v.Urms : output == 1 ? std::sqrt(2.0) * v.Urms : v.Us;
                        if (value > plain.velocity)
                            plain = {value, axis == 0 ? depth - 0.4 : run.RecordedDistance[r]};
                    }
                    const ProfileMaximum fast = FindProfileMaximum(run, ts, 0.4, output, g);
                    EXPECT_EQ(fast.velocity, plain.velocity) << hs << " " << ts << " " << output;
                    EXPECT_EQ(fast.place, plain.place) << hs << " " << ts << " " << output;
                }
            }
        }
    }
    run.RecordedDistance.clear();
    run.RecordedHeight.clear();
    run.RecordedSetup.clear();
    run.BedSlope = 0.02;
    run.TideLevel = 0;
    run.AxisMode = 1;
    for (double x : {400.0, 150.0, 150.0, 90.0}) run.RecordPoint(x, x == 90 ? 0.1 : 1.2, 0.0);
    EXPECT_EQ(FindProfileMaximum(run, 10, 0, 0, g).place, 150);
    // A point that cannot be evaluated fails the search, wherever it lies.
    run.RecordPoint(30, 1.0, -0.7);
    EXPECT_THROW(FindProfileMaximum(run, 10, 0, 0, g), EInvalidOp);
}

TEST_F(VelocitySeriesTest, RecordProfileLeftOnWithoutTheBoxesAddsNoChannelAndChangesNothing) {
    MakeInputs({1.2, 2.2}, {8, 10}, {0.1, 0.3});
    ShoalingRun plain = GodaRun("4,2");
    auto expected = Run(plain);
    ShoalingRun recording = GodaRun("4,2");
    recording.RecordProfile = true;
    auto got = Run(recording);
    EXPECT_EQ(store.header.NchInterval, 2);
    EXPECT_EQ(got, expected);
    EXPECT_GT(recording.RecordedCount(), 0);
}

TEST_F(VelocitySeriesTest, ProgressShowsEachSampleTimeAndCancelStopsTheLoop) {
    MakeInputs({1, 1, 1, 1}, {8, 8, 8, 8}, {0, 0, 0, 0});
    ShoalingRun run = GodaRun("2");
    Run(run);
    EXPECT_THAT(progress.comments, ElementsAre("沖波データの読み込み中！", "ただ今、計算中．．．．"));
    EXPECT_THAT(progress.status, ElementsAre("2003/08/14 10:00:00", "2003/08/14 11:00:00",
                                             "2003/08/14 12:00:00", "2003/08/14 13:00:00"));
    EXPECT_THAT(progress.positions, ElementsAre(25, 50, 75, 100));

    progress = CountingProgress{};
    progress.cancelAt = 2;
    ShoalingRun again = GodaRun("2");
    std::vector<std::vector<double>> values;
    VelocityRunResult r = ComputeVelocityValues(in, options, again, store.header, values, constants, progress, prompter);
    EXPECT_FALSE(r.completed);
    EXPECT_EQ(progress.positions.size(), 2u);  // seen before the third sample
    EXPECT_TRUE(std::isnan(values[0][1]));  // the model saw the cancel inside its march
    EXPECT_GE(progress.hides, 1);
}

TEST_F(VelocitySeriesTest, ParallelRunGivesTheSameCountsAsOneThread) {
    std::vector<double> hs, ts, tide;
    for (int j = 0; j < 20; ++j) {
        hs.push_back(j % 7 == 3 ? kMissing : 0.5 + 0.1 * j);
        ts.push_back(6 + 0.2 * j);
        tide.push_back(0.8 * std::sin(j * 0.5));
    }
    MakeInputs(hs, ts, tide);
    options.copyTide = options.velMax = options.placeMax = true;
    ShoalingRun one = GodaRun("6,3,1");
    auto single = Run(one, 1);
    ShoalingRun many = GodaRun("6,3,1");
    EXPECT_EQ(Run(many, 3), single);
}

TEST_F(VelocitySeriesTest, ValuesThatDoNotFitSixteenBitsAreMissingAndCounted) {
    MakeInputs({1.5, 2.5, 0.5}, {8, 8, 8}, {0, 0, 0});
    options.copyHs = true;
    ShoalingRun run = GodaRun("2");
    ASSERT_TRUE(ReadVelocityInputs(store, files, in, prompter, progress));
    ASSERT_TRUE(SetUpVelocityOutput(store, options, run));
    // As if edited in the save window: 1.5 m -> 30000 fits, 2.5 m -> 50000 does not.
    store.header.CoefA[0] = 0.00005f;
    VelocityRunResult r = ComputeVelocitySeries(in, options, run, store, constants, progress, prompter);
    ASSERT_TRUE(r.completed);
    EXPECT_THAT(store.IntervalData[0], ElementsAre(30000, ErrorRaw, 10000));
    EXPECT_EQ(r.outOfRange, 1);
    EXPECT_THAT(VelocityFinishedMessage(r), ::testing::HasSubstr("16ビットの範囲に収まらない値 1 個"));

    store.header.CoefA[0] = 0.0f;  // no count can be formed
    EXPECT_THROW(ComputeVelocitySeries(in, options, run, store, constants, progress, prompter), EZeroDivide);
}

TEST_F(VelocitySeriesTest, AShorterWaveSeriesLeavesTheTailMissing) {
    MakeInputs({1, 1.2}, {8, 8}, {0.1, 0.2, 0.3, 0.4}, "wave.tsd", "tide.sdf");
    options.copyHs = options.copyTide = true;
    ShoalingRun run = GodaRun("2");
    auto ch = Run(run);
    EXPECT_EQ(store.header.SampleSize, 4);
    EXPECT_THAT(ch[0], ElementsAre(100, 120, ErrorRaw, ErrorRaw));
    EXPECT_THAT(ch[1], ElementsAre(100, 200, 300, 400));
    EXPECT_NE(ch[2][1], ErrorRaw);
    EXPECT_EQ(ch[2][2], ErrorRaw);
    EXPECT_EQ(ch[2][3], ErrorRaw);
}

TEST_F(VelocitySeriesTest, ReadingChecksChannelsStartTimesAndIntervals) {
    MakeInputs({1}, {8}, {0});
    files.tsChannel = -1;
    EXPECT_FALSE(ReadVelocityInputs(store, files, in, prompter, progress));
    files.tsChannel = 1;
    files.hsChannel = 5;  // beyond the file
    EXPECT_FALSE(ReadVelocityInputs(store, files, in, prompter, progress));
    files.hsChannel = 0;

    // Same start, same interval number in another unit: accepted, the tide's unit kept.
    WriteSeries(dir("tide_min.tsd"), {{"Tide", "m", 0.001f, 0, {0}}}, kStart, 1, 3);
    files.tideFile = dir("tide_min.tsd");
    EXPECT_TRUE(ReadVelocityInputs(store, files, in, prompter, progress));
    EXPECT_EQ(store.header.SIntUnit, 3);

    WriteSeries(dir("tide_late.tsd"), {{"Tide", "m", 0.001f, 0, {0}}}, kStart + 1.0 / 24);
    files.tideFile = dir("tide_late.tsd");
    EXPECT_FALSE(ReadVelocityInputs(store, files, in, prompter, progress));
    WriteSeries(dir("tide_2h.tsd"), {{"Tide", "m", 0.001f, 0, {0}}}, kStart, 2);
    files.tideFile = dir("tide_2h.tsd");
    EXPECT_FALSE(ReadVelocityInputs(store, files, in, prompter, progress));
    files.tideFile = dir("none.tsd");
    EXPECT_FALSE(ReadVelocityInputs(store, files, in, prompter, progress));

    EXPECT_THAT(prompter.Texts(),
                ElementsAre("有義波周期のチャンネルを選択して下さい。", "沖波データの読み込みに失敗しました。",
                            "計測開始時刻が異なります。", "サンプリング時間間隔が異なります。",
                            ::testing::_, "潮位データの読み込みに失敗しました。"));
}

TEST_F(VelocitySeriesTest, ChannelTableNamesAreCutAndFollowTheAxis) {
    store.header.SampleSize = 3;
    options.copyTs = options.velMax = options.placeMax = true;
    ShoalingRun run = GodaRun("2.123456789012,1");
    ASSERT_TRUE(SetUpVelocityOutput(store, options, run));
    const SeriesHeader& h = store.header;
    ASSERT_EQ(h.NchInterval, 5);
    EXPECT_EQ(h.ItemName[0], "Ts");
    EXPECT_EQ(h.CoefA[0], 0.1f);
    EXPECT_EQ(h.ItemName[1], "Urms(2.123456789");  // 16 characters
    EXPECT_EQ(h.ItemName[2], "Urms(1m)");
    EXPECT_EQ(h.UnitName[2], "m/s");
    EXPECT_EQ(h.ItemName[3], "Urms Max");
    EXPECT_EQ(h.ItemName[4], "depth of Vel Max");
    EXPECT_EQ(h.CoefA[4], 0.01f);
    EXPECT_EQ(store.IntervalData[4].size(), 3u);
    run.Inputs.XAxis = 1;
    ASSERT_TRUE(SetUpVelocityOutput(store, options, run));
    EXPECT_EQ(h.ItemName[4], "pos of Vel Max");

    ShoalingRun empty = GodaRun("");
    EXPECT_FALSE(SetUpVelocityOutput(store, options, empty));
}

TEST(ResultFileTest, KindFollowsTheNameAndAFailedWriteKeepsTheOldFile) {
    TempFolder dir;
    WriteSeries(dir("a.SDF"), {{"X", "m", 0.01f, 0, {1, 2}}});
    WriteSeries(dir("a.tsd"), {{"X", "m", 0.01f, 0, {1, 2}}});
    EXPECT_EQ(ReadBytes(dir("a.SDF")).substr(0, 41), "Standard Burst-Interval Data Format Ver.4");
    EXPECT_EQ(ReadBytes(dir("a.tsd")).substr(0, 34), "Time Series Data Text Format Ver.2");

    const std::string before = ReadBytes(dir("a.tsd"));
    SeriesStore broken;
    broken.header.NchInterval = 1;
    broken.header.SampleSize = 5;  // no data allocated: the burst writer refuses
    EXPECT_THROW(WriteResultFile(broken, dir("a.tsd")), OrvaneError);
    EXPECT_EQ(ReadBytes(dir("a.tsd")), before);
    EXPECT_THROW(WriteResultFile(broken, dir("new.sdf")), OrvaneError);
    EXPECT_EQ(dir.FileCount(), 2u);  // no temporary and no new file left behind
}

TEST(ResultFileTest, CountsRunTimeAndRounding) {
    long long over = 0;
    EXPECT_EQ(ValueToCount(1.2345, 0.001, 0, over), 1234);  // half to even
    EXPECT_EQ(ValueToCount(1.2355, 0.001, 0, over), 1236);
    EXPECT_EQ(ValueToCount(32.767, 0.001, 0, over), 32767);
    EXPECT_EQ(ValueToCount(-32.767, 0.001, 0, over), -32767);
    EXPECT_EQ(over, 0);
    EXPECT_EQ(ValueToCount(32.768, 0.001, 0, over), ErrorRaw);
    EXPECT_EQ(ValueToCount(-32.768, 0.001, 0, over), ErrorRaw);  // never the missing marker by chance
    EXPECT_EQ(ValueToCount(1e300, 0.001, 0, over), ErrorRaw);
    EXPECT_EQ(ValueToCount(std::nan(""), 0.001, 0, over), ErrorRaw);
    EXPECT_EQ(over, 4);

    // 25 h 30 min 5 s shows as its time of day.
    EXPECT_EQ(FormatRunTime(40000.0, 40000.0 + 1.0 + (1.5 * 3600 + 5) / 86400.0), "01:30:05");
    EXPECT_EQ(FormatRunTime(40000.5, 40000.25), "00:00:00");
    EXPECT_EQ(OutOfRangeNote(0), "");
}

}  // namespace

// The tide is the channel's physical value in its unit; millimetre counts keep the older
// formula to the last bit, other channels say which reading was used.
TEST_F(VelocitySeriesTest, TheTideIsReadInItsUnit) {
    MakeInputs({1, 1}, {8, 8}, {0.25, -0.5});
    ASSERT_TRUE(ReadVelocityInputs(store, files, in, prompter, progress));
    EXPECT_EQ(in.TideSeries[0], static_cast<float>(static_cast<double>(0.25f) / static_cast<double>(0.001f) / 1000.0));
    EXPECT_EQ(in.TideNote, "");

    WriteSeries(dir("tide_cm.tsd"), {{"Tide", "m", 0.01f, 0, {0.25, -0.5}}});
    WriteSeries(dir("tide_in_cm.sdf"), {{"Tide", " CM", 1.0f, 0, {25, -50}}});
    WriteSeries(dir("tide_mm.sdf"), {{"Tide", "mm", 1.0f, 0, {250, -500}}});
    for (const char* name : {"tide_cm.tsd", "tide_in_cm.sdf", "tide_mm.sdf"}) {
        files.tideFile = dir(name);
        ASSERT_TRUE(ReadVelocityInputs(store, files, in, prompter, progress)) << name;
        EXPECT_NEAR(in.TideSeries[0], 0.25, 1e-6) << name;
        EXPECT_NEAR(in.TideSeries[1], -0.5, 1e-6) << name;
        EXPECT_EQ(in.TideNote.empty(), std::string(name) == "tide_mm.sdf") << name;
    }
    files.tideFile = dir("tide_cm.tsd");
    ASSERT_TRUE(ReadVelocityInputs(store, files, in, prompter, progress));
    EXPECT_THAT(in.TideNote, ::testing::HasSubstr("A=0.01, B=0"));

    WriteSeries(dir("tide_ft.tsd"), {{"Tide", "ft", 0.01f, 0, {1}}});
    files.tideFile = dir("tide_ft.tsd");
    EXPECT_FALSE(ReadVelocityInputs(store, files, in, prompter, progress));
    EXPECT_THAT(prompter.Texts().back(), ::testing::HasSubstr("m, cm, mm のどれでもありません"));
}
