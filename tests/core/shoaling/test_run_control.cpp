#include <algorithm>
#include <cmath>
#include <thread>
#include <gtest/gtest.h>
#include "core/runtime/Errors.h"
#include "ShoalingTestSupport.h"

namespace orvane {
namespace {

using test::DefaultRun;
using test::March;
using test::WriteTempFile;

TEST(RunControl, OffshoreWaveConversionsAndEstimationPoints) {
    ShoalingRun run{PhysicalConstants{}};
    struct Case { int method, heightKind, periodKind; double H, T, wantH, wantT; };
    for (const Case& c : {Case{0, 1, 1, 2.0, 9.0, 2.0, 9.0},      // regular waves: as typed
                          Case{1, 1, 1, 1.0, 10.0, 1.416, 9.3},   // rms -> significant, Tp -> T1/3
                          Case{2, 0, 0, 1.416, 9.3, 1.0, 10.0},   // significant -> rms, T1/3 -> Tp
                          Case{3, 1, 1, 1.0, 10.0, 1.0, 10.0}}) {
        run.Inputs.Method = c.method;
        run.Inputs.HeightKind = c.heightKind;
        run.Inputs.PeriodKind = c.periodKind;
        run.SetOffshoreWave(c.H, c.T);
        EXPECT_NEAR(run.OffshoreHeight, c.wantH, 1e-12) << c.method;
        EXPECT_NEAR(run.Period, c.wantT, 1e-12) << c.method;
        EXPECT_NEAR(run.DeepWaterLength, 9.80665 * c.wantT * c.wantT / (2 * M_PI), 1e-9);
    }
    run.ParseEstimationPoints("2,4,,6");
    EXPECT_EQ(run.EstimationValues, (std::vector<double>{4, 2}));
    EXPECT_EQ(run.EstimatedHeight.size(), 2u);
    run.ParseEstimationPoints("");
    EXPECT_EQ(run.EstimationCount, 0);
    EXPECT_THROW(run.ParseEstimationPoints("2,x"), EConvertError);
    run.ParseEstimationPoints("2.123456789");
    EXPECT_EQ(run.PositionLine(), "h = 2.123457m ");  // as typed, 7 digits
}

TEST(RunControl, PrepareRunRefusesWithItsMessageAndTab) {
    const std::string reverse = WriteTempFile("reverse.csv", "x,h\n0,0\n20,2\n40,1\n60,3\n");
    struct Case { const char* points; double slope; int profile, method; const char* file;
                  const char* text; ShoalingTab tab; };
    const Case cases[] = {
        {"0,4", 0.1, 0, 0, "", "推定場所の位置は>0として下さい。", ShoalingTab::None},
        {"2,12", 0.1, 0, 0, "", "推定場所は表示範囲の中になければなりません。", ShoalingTab::Estimation},
        {"0.05", 0.1, 0, 0, "", "推定場所は表示範囲の中になければなりません。", ShoalingTab::Estimation},
        {"2", 0, 0, 0, "", "海底勾配を0より大きくして下さい。", ShoalingTab::None},
        {"2", 0.1, 1, 0, "", "選択した計算方法は任意海底には適用できません。", ShoalingTab::Method},
        {"2", 0.1, 1, 2, "/no/such.csv", "指定したファイルが見つかりません。", ShoalingTab::Conditions},
        {"2", 0.1, 1, 1, reverse.c_str(), "選択した計算方法は逆勾配斜面には適用できません。", ShoalingTab::Method},
    };
    for (const Case& c : cases) {
        ShoalingRun run = DefaultRun();
        run.ParseEstimationPoints(c.points);
        run.Inputs.Slope = c.slope;
        run.Inputs.ProfileMode = c.profile;
        run.Inputs.Method = c.method;
        run.Inputs.ProfileFile = c.file;
        run.DepthColumn = 1;
        auto o = March(run);
        EXPECT_FALSE(o.prepared.ok) << c.text;
        EXPECT_EQ(o.prompter.Texts(), std::vector<std::string>{c.text});
        EXPECT_EQ(o.prepared.tab, c.tab) << c.text;
        EXPECT_EQ(o.prepared.resetCalPoint, c.points[0] == '0' && c.points[1] == ',') << c.text;
    }
    // Thornton-Guza accepts the reverse slope and reads the file itself.
    ShoalingRun tg = DefaultRun();
    tg.Inputs = {.Method = 2, .ObsPos = 1, .ObsPosValue = 55, .ProfileMode = 1,
                 .OffshoreEndValue = 50, .ProfileFile = reverse};
    tg.DepthColumn = 1;
    tg.ParseEstimationPoints("");
    auto o = March(tg, false);
    EXPECT_TRUE(o.prepared.ok && o.prepared.profileRead);
    EXPECT_EQ(o.run.AxisMode, 1);  // a profile is always against distance
    EXPECT_DOUBLE_EQ(o.run.Inputs.OffshoreEndValue, 60);
    EXPECT_TRUE(o.prompter.records.empty());
}

TEST(RunControl, PrepareRunSetsRangeAxisAndTitles) {
    ShoalingRun run = DefaultRun();
    run.TideLevel = 1;
    run.Inputs.DisplayIndex = 2;
    auto o = March(run, false);
    ASSERT_TRUE(o.prepared.ok);
    // Depth ends are converted at mean sea level; the axis shows depths with the tide.
    EXPECT_DOUBLE_EQ(o.run.OnshoreEnd, 1);
    EXPECT_DOUBLE_EQ(o.run.OffshoreEnd, 100);
    EXPECT_DOUBLE_EQ(o.out.axisA, 11);
    EXPECT_DOUBLE_EQ(o.out.axisB, 1.1);
    EXPECT_EQ(o.out.heightTitle, "η");
    EXPECT_EQ(o.out.leftTitle, "η (m)");

    ShoalingRun dist = DefaultRun();
    dist.Inputs.XAxis = 1;
    dist.Inputs.OnshoreEndValue = 1;
    dist.Inputs.OffshoreEndValue = 100;
    dist.ParseEstimationPoints("20");
    auto d = March(dist, false);
    EXPECT_EQ(d.out.profilePoints, (std::vector<std::pair<double, double>>{{1, -0.1}, {100, -10}}));
}

TEST(RunControl, ObservationPointQuestionAndSkippedPoints) {
    ShoalingRun run = DefaultRun();
    run.Inputs.Method = 2;
    run.Inputs.ObsPos = 1;
    run.Inputs.ObsPosValue = 5;  // m below MSL: 50 m offshore, inside the 100 m range
    run.TideLevel = 1;           // a fixed gauge does not move with the tide
    auto no = March(run, false, nullptr, {false});
    EXPECT_FALSE(no.prepared.ok);
    ASSERT_EQ(no.prompter.records.size(), 1u);
    EXPECT_EQ(no.prompter.records[0].text, "観測点より沖側の領域は計算されません。よろしいですか。");
    EXPECT_EQ(no.prompter.records[0].kind, MsgKind::Warning);
    auto yes = March(run, false, nullptr, {true});
    ASSERT_TRUE(yes.prepared.ok);
    EXPECT_DOUBLE_EQ(yes.run.StartDistance, 50);
    EXPECT_DOUBLE_EQ(yes.run.OffshoreEnd, 50);
    // Points are placed at mean sea level; 6 m (60 m) lies offshore of the start.
    EXPECT_EQ(yes.run.EstimationDistances, (std::vector<double>{60, 40, 20}));
    EXPECT_EQ(yes.run.EstimatedHeight[0], -1);
}

TEST(RunControl, SeriesRunsStartAtEachSamplesDeepWaterPointWithoutAQuestion) {
    // A fresh object, as a series tool prepares it before any sample's wave is set.
    ShoalingRun run{PhysicalConstants{}};
    run.Inputs.OffshoreEndValue = 200;  // beyond the start of the 5 s wave
    run.ParseEstimationPoints("2,4,6");
    ScriptedPrompter prompter;
    ShoalingOutput none;
    NullProgress progress;
    ASSERT_TRUE(run.PrepareRun(none, prompter, PrepareMode::PerSample).ok);
    for (double T : {9.0, 5.0, 12.0}) {
        run.SetOffshoreWave(2.78, T);
        ASSERT_TRUE(run.RunModel(run.EstimationValues, 0.5, none, progress, prompter)) << T;
        EXPECT_NEAR(run.DepthAt(run.StartDistance), run.DeepWaterLength, 1e-9);
        // The same as a run of that wave alone.
        ShoalingRun single = DefaultRun();
        single.TideLevel = 0.5;
        single.Inputs.OffshoreEndValue = 200;
        single.SetOffshoreWave(2.78, T);
        auto o = March(single, false);
        EXPECT_EQ(run.EstimatedHeight, o.run.EstimatedHeight) << T;
        for (double H : run.EstimatedHeight) EXPECT_GT(H, 0) << T;
    }
    EXPECT_TRUE(prompter.records.empty());
}

TEST(RunControl, ErrorsInsideAModelAndCopiesOnThreads) {
    for (bool interactive : {true, false}) {
        ShoalingRun run = DefaultRun();
        run.SetOffshoreWave(2.78, 0);  // zero period: no deep-water length
        auto o = March(run, interactive);
        EXPECT_FALSE(o.ok);
        const auto errors = std::count_if(o.prompter.records.begin(), o.prompter.records.end(),
                                          [](const auto& r) { return r.kind == MsgKind::Error; });
        EXPECT_EQ(errors, interactive ? 1 : 0);
    }
    auto base = March(DefaultRun(), false);
    base.run.RecordProfile = true;
    auto runOne = [](ShoalingRun& r, double T) {
        ShoalingOutput quiet;
        NullProgress progress;
        ScriptedPrompter p;
        r.SetOffshoreWave(2.0, T);
        return r.RunModel(r.EstimationValues, 0.3, quiet, progress, p);
    };
    ShoalingRun a = base.run, b = base.run, a2 = base.run, b2 = base.run;
    bool okA = false, okB = false;
    std::thread ta([&] { okA = runOne(a, 8); });
    std::thread tb([&] { okB = runOne(b, 11); });
    ta.join();
    tb.join();
    ASSERT_TRUE(okA && okB && runOne(a2, 8) && runOne(b2, 11));
    EXPECT_EQ(a.EstimatedHeight, a2.EstimatedHeight);
    EXPECT_EQ(b.RecordedHeight, b2.RecordedHeight);
    EXPECT_NE(a.EstimatedHeight, b.EstimatedHeight);
    EXPECT_EQ(base.run.RecordedCount(), 0);
}

}  // namespace
}  // namespace orvane
