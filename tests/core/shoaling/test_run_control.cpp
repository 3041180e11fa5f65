#include <cmath>
#include <thread>
#include <gtest/gtest.h>
#include "core/runtime/Errors.h"
#include "core/runtime/ScriptedPrompter.h"
#include "ShoalingTestSupport.h"

namespace orvane {
namespace {

using test::DefaultRun;
using test::RecordingOutput;
using test::WriteTempFile;

TEST(SetOffshoreWave, ConvertsHeightAndPeriodForEachMethod) {
    ShoalingRun run{PhysicalConstants{}};
    struct Case { int method, heightKind, periodKind; double H, T, wantH, wantT; };
    for (const Case& c : {Case{0, 1, 1, 2.0, 9.0, 2.0, 9.0},        // regular waves: as typed
                          Case{1, 0, 0, 2.0, 9.0, 2.0, 9.0},
                          Case{1, 1, 1, 1.0, 10.0, 1.416, 9.3},     // rms -> significant, Tp -> T1/3
                          Case{2, 0, 0, 1.416, 9.3, 1.0, 10.0},     // significant -> rms, T1/3 -> Tp
                          Case{3, 0, 1, 1.416, 10.0, 1.0, 10.0},
                          Case{3, 1, 0, 1.0, 9.3, 1.0, 10.0}}) {
        run.Inputs.Method = c.method;
        run.Inputs.HeightKind = c.heightKind;
        run.Inputs.PeriodKind = c.periodKind;
        run.SetOffshoreWave(c.H, c.T);
        EXPECT_NEAR(run.OffshoreHeight, c.wantH, 1e-12) << c.method;
        EXPECT_NEAR(run.Period, c.wantT, 1e-12) << c.method;
        EXPECT_NEAR(run.DeepWaterLength, 9.80665 * c.wantT * c.wantT / (2 * M_PI), 1e-9);
    }
}

TEST(ParseEstimationPoints, StopsAtTheFirstEmptyFieldAndSortsDescending) {
    ShoalingRun run;
    run.ParseEstimationPoints("2,4,,6");
    EXPECT_EQ(run.EstimationCount, 2);
    EXPECT_EQ(run.EstimationValues, (std::vector<double>{4, 2}));
    EXPECT_EQ(run.EstimatedHeight.size(), 2u);
    run.ParseEstimationPoints("1.5,3,2");
    EXPECT_EQ(run.EstimationValues, (std::vector<double>{3, 2, 1.5}));
    run.ParseEstimationPoints("");
    EXPECT_EQ(run.EstimationCount, 0);
    EXPECT_THROW(run.ParseEstimationPoints("2,x"), EConvertError);
    // The report names a point as typed, in the 7-digit general format.
    run.ParseEstimationPoints("2.123456789");
    EXPECT_EQ(run.PositionLine(), "h = 2.123457m ");
}

struct Prepared {
    PrepareResult result;
    ShoalingRun run;
    RecordingOutput out;
    ScriptedPrompter prompter;
};

Prepared Prepare(ShoalingRun run, std::deque<bool> answers = {}, PrepareMode mode = PrepareMode::SingleRun) {
    Prepared p{{}, std::move(run), {}, {}};
    p.prompter.answers = std::move(answers);
    p.result = p.run.PrepareRun(p.out, p.prompter, mode);
    return p;
}

TEST(PrepareRun, RefusesBadInputsWithTheirMessageAndTab) {
    const std::string profile = WriteTempFile("reverse.csv", "x,h\n0,0\n20,2\n40,1\n60,3\n");
    struct Case { const char* name; void (*setup)(ShoalingRun&); const char* text; ShoalingTab tab; bool reset = false; };
    const Case cases[] = {
        {"point at zero", [](ShoalingRun& r) { r.ParseEstimationPoints("0,4"); },
         "推定場所の位置は>0として下さい。", ShoalingTab::None, true},
        {"point beyond the range", [](ShoalingRun& r) { r.ParseEstimationPoints("2,12"); },
         "推定場所は表示範囲の中になければなりません。", ShoalingTab::Estimation},
        {"point inside the onshore end", [](ShoalingRun& r) { r.ParseEstimationPoints("0.05"); },
         "推定場所は表示範囲の中になければなりません。", ShoalingTab::Estimation},
        {"flat bed", [](ShoalingRun& r) { r.Inputs.Slope = 0; }, "海底勾配を0より大きくして下さい。",
         ShoalingTab::None},
        {"regular waves on a profile", [](ShoalingRun& r) { r.Inputs.ProfileMode = 1; },
         "選択した計算方法は任意海底には適用できません。", ShoalingTab::Method},
        {"missing profile file",
         [](ShoalingRun& r) { r.Inputs.ProfileMode = 1; r.Inputs.Method = 2; r.Inputs.ProfileFile = "/no/such.csv"; },
         "指定したファイルが見つかりません。", ShoalingTab::Conditions},
        {"reverse slope for Goda", [](ShoalingRun& r) { r.Inputs.ProfileMode = 1; r.Inputs.Method = 1; },
         "選択した計算方法は逆勾配斜面には適用できません。", ShoalingTab::Method},
    };
    for (const Case& c : cases) {
        ShoalingRun run = DefaultRun();
        run.Inputs.ProfileFile = profile;
        run.DepthColumn = 1;
        c.setup(run);
        auto p = Prepare(run);
        EXPECT_FALSE(p.result.ok) << c.name;
        EXPECT_EQ(p.prompter.Texts(), std::vector<std::string>{c.text}) << c.name;
        EXPECT_EQ(p.result.tab, c.tab) << c.name;
        EXPECT_EQ(p.result.resetCalPoint, c.reset) << c.name;
    }
    // The random-wave energy models accept the same reverse slope (and load it themselves).
    ShoalingRun tg = DefaultRun();
    tg.Inputs = {.Method = 2, .ObsPos = 1, .ObsPosValue = 55, .ProfileMode = 1, .XAxis = 1,
                 .OnshoreEndValue = 0.1, .OffshoreEndValue = 50, .ProfileFile = profile};
    tg.DepthColumn = 1;
    tg.ParseEstimationPoints("");
    auto p = Prepare(tg);
    EXPECT_TRUE(p.result.ok) << (p.prompter.records.empty() ? "" : p.prompter.records[0].text);
    EXPECT_TRUE(p.run.ProfileLoaded);
    EXPECT_TRUE(p.result.profileRead);
    EXPECT_DOUBLE_EQ(p.run.Inputs.OffshoreEndValue, 60);
    EXPECT_TRUE(p.prompter.records.empty());
}

TEST(PrepareRun, DepthModeConvertsTheRangeAtMeanSeaLevel) {
    ShoalingRun run = DefaultRun();
    run.TideLevel = 1;
    run.Inputs.DisplayIndex = 2;
    auto p = Prepare(run);
    ASSERT_TRUE(p.result.ok);
    EXPECT_DOUBLE_EQ(p.run.OnshoreEnd, 1);
    EXPECT_DOUBLE_EQ(p.run.OffshoreEnd, 100);
    // The axis shows still-water depths, tide included, deep end first.
    EXPECT_DOUBLE_EQ(p.out.axisA, 11);
    EXPECT_DOUBLE_EQ(p.out.axisB, 1.1);
    EXPECT_EQ(p.out.heightTitle, "η");
    EXPECT_EQ(p.out.leftTitle, "η (m)");
    EXPECT_EQ(p.out.axesMode, 0);
    EXPECT_TRUE(p.out.profilePoints.empty());
    // The deep-water start: where the still-water depth is L0.
    EXPECT_NEAR(p.run.DepthAt(p.run.StartDistance), p.run.DeepWaterLength, 1e-9);

    ShoalingRun dist = DefaultRun();
    dist.Inputs.XAxis = 1;
    dist.Inputs.OnshoreEndValue = 1;
    dist.Inputs.OffshoreEndValue = 100;
    dist.ParseEstimationPoints("20");
    auto d = Prepare(dist);
    ASSERT_TRUE(d.result.ok);
    EXPECT_EQ(d.out.profilePoints, (std::vector<std::pair<double, double>>{{1, -0.1}, {100, -10}}));
    EXPECT_EQ(d.out.axesMode, 1);
}

TEST(PrepareRun, AsksBeforeCuttingTheRangeAtTheObservationPoint) {
    ShoalingRun run = DefaultRun();
    run.Inputs.Method = 2;
    run.Inputs.ObsPos = 1;
    run.Inputs.ObsPosValue = 5;  // m below MSL: 50 m offshore, inside the 100 m range
    run.TideLevel = 2;           // the observation depth does not move with the tide
    const std::string question = "観測点より沖側の領域は計算されません。よろしいですか。";
    auto no = Prepare(run, {false});
    EXPECT_FALSE(no.result.ok);
    ASSERT_EQ(no.prompter.records.size(), 1u);
    EXPECT_EQ(no.prompter.records[0].text, question);
    EXPECT_EQ(no.prompter.records[0].kind, MsgKind::Warning);
    auto yes = Prepare(run, {true});
    EXPECT_TRUE(yes.result.ok);
    EXPECT_DOUBLE_EQ(yes.run.StartDistance, 50);
    EXPECT_DOUBLE_EQ(yes.run.OffshoreEnd, 50);
}

TEST(SeriesRuns, DeepWaterStartFollowsEachSampleWithoutAQuestion) {
    // A fresh run object as a series tool gets it: no wave set before PrepareRun.
    ShoalingRun run{PhysicalConstants{}};
    run.Inputs.OffshoreEndValue = 200;  // beyond the start of the shorter waves below
    run.ParseEstimationPoints("2,4,6");
    ScriptedPrompter prompter;
    RecordingOutput none;
    NullProgress progress;
    ASSERT_TRUE(run.PrepareRun(none, prompter, PrepareMode::PerSample).ok);
    EXPECT_TRUE(prompter.records.empty());
    run.Interactive = false;
    for (double T : {9.0, 5.0, 12.0}) {
        run.SetOffshoreWave(2.78, T);
        EXPECT_NEAR(run.DepthAt(run.StartDistance), run.DeepWaterLength, 1e-9);
        ASSERT_TRUE(run.RunModel(run.EstimationValues, 0.5, none, progress, prompter)) << T;
        // The same as a single run of that wave.
        ShoalingRun single = DefaultRun();
        single.TideLevel = 0.5;
        single.SetOffshoreWave(2.78, T);
        single.Inputs.OffshoreEndValue = 200;
        ScriptedPrompter yes;
        ASSERT_TRUE(single.PrepareRun(none, yes).ok);
        ASSERT_TRUE(single.RunModel(single.EstimationValues, 0.5, none, progress, yes));
        EXPECT_EQ(run.EstimatedHeight, single.EstimatedHeight) << T;
        for (double H : run.EstimatedHeight) EXPECT_GT(H, 0) << T;
    }
    EXPECT_TRUE(prompter.records.empty());
}

TEST(RunModel, ConvertsPointsAtMeanSeaLevelAndSkipsThoseOffshoreOfTheStart) {
    ShoalingRun run = DefaultRun();
    run.Inputs.Method = 2;  // starts at the observation point, 50 m offshore
    run.Inputs.ObsPos = 1;
    run.Inputs.ObsPosValue = 5;
    run.ParseEstimationPoints("2,4,6");
    ScriptedPrompter yes;
    RecordingOutput out;
    NullProgress progress;
    ASSERT_TRUE(run.PrepareRun(out, yes).ok);
    run.RunModel(run.EstimationValues, 1.0, out, progress, yes);
    EXPECT_EQ(run.EstimationDistances, (std::vector<double>{60, 40, 20}));
    EXPECT_DOUBLE_EQ(run.TideLevel, 1.0);
    EXPECT_EQ(run.EstimatedHeight[0], -1);  // 60 m lies offshore of the start
}

TEST(RunModel, AnErrorInsideTheModelIsFalseAndShownOnlyWhenInteractive) {
    for (bool interactive : {true, false}) {
        ShoalingRun run = DefaultRun();
        ScriptedPrompter prompter;
        RecordingOutput out;
        NullProgress progress;
        ASSERT_TRUE(run.PrepareRun(out, prompter).ok);
        run.SetOffshoreWave(2.78, 0);  // zero period: no deep-water length
        run.Interactive = interactive;
        EXPECT_FALSE(run.RunModel(run.EstimationValues, 0, out, progress, prompter));
        EXPECT_EQ(prompter.records.size(), interactive ? 1u : 0u);
    }
}

TEST(RunModel, CopiesRunIndependentlyOnThreads) {
    ShoalingRun base = DefaultRun();
    RecordingOutput out;
    ScriptedPrompter prompter;
    ASSERT_TRUE(base.PrepareRun(out, prompter).ok);
    base.RecordProfile = true;
    auto runOne = [](ShoalingRun& r, double T) {
        ShoalingOutput quiet;
        NullProgress progress;
        ScriptedPrompter p;
        r.SetOffshoreWave(2.0, T);
        return r.RunModel(r.EstimationValues, 0.3, quiet, progress, p);
    };
    ShoalingRun a = base, b = base, a2 = base, b2 = base;
    bool okA = false, okB = false;
    std::thread ta([&] { okA = runOne(a, 8); });
    std::thread tb([&] { okB = runOne(b, 11); });
    ta.join();
    tb.join();
    ASSERT_TRUE(okA && okB);
    ASSERT_TRUE(runOne(a2, 8) && runOne(b2, 11));
    EXPECT_EQ(a.EstimatedHeight, a2.EstimatedHeight);
    EXPECT_EQ(b.RecordedHeight, b2.RecordedHeight);
    EXPECT_NE(a.EstimatedHeight, b.EstimatedHeight);
    EXPECT_EQ(base.RecordedCount(), 0);
}

}  // namespace
}  // namespace orvane
