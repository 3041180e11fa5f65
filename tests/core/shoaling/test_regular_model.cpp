#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include "core/runtime/NumberText.h"
#include "core/runtime/ScriptedPrompter.h"
#include "core/shoaling/ShoalingModels.h"
#include "core/wave/WaveNumber.h"
#include "ShoalingTestSupport.h"

namespace orvane {
namespace {

using test::CancelAfter;
using test::DefaultRun;
using test::RecordingOutput;

const std::string kNoSolution =
    "収束解が得られませんでした。\n海底勾配が大き過ぎることが\n原因の一つと考えられます。";

struct Outcome {
    bool prepared = false, ok = false;
    ShoalingRun run;
    RecordingOutput out;
    ScriptedPrompter prompter;
};

Outcome March(ShoalingRun run, bool interactive = true, Progress* progress = nullptr) {
    Outcome o;
    o.run = std::move(run);
    o.prepared = o.run.PrepareRun(o.out, o.prompter).ok;
    if (!o.prepared) return o;
    o.run.Interactive = interactive;
    NullProgress none;
    o.ok = o.run.RunModel(o.run.EstimationValues, o.run.TideLevel, o.out, progress ? *progress : none,
                          o.prompter);
    return o;
}

// Expected values for the default inputs (H0 2.78 m, T 9 s, slope 0.1, points 6, 4, 2 m),
// derived outside this program by bisection on the defining conditions rather than by
// the model's own iterations:
//   L0 = g T^2/(2 pi) = 126.423 m.
//   h30: U = g Ks(h) H0 T^2/h^2 = 30 with the linear Ks      -> 8.4804 m, Ks30 = 0.97703.
//   h50: U = 50 with Ks = Ks30 (h30/h)^(2/7)                   -> 6.7820 m, Ks50 = 1.04145.
//   hb:  Ks(h) H0 = (1 - exp(A (h/L0)^0.9)) 0.17 L0 (h/L0)^0.1,
//        A = -1.5 pi (1 + 15 * 0.1^(4/3))                     -> 3.4709 m.
// The steps are 0.025 H0 = 0.0695 m of depth (0.695 m of distance) from x = L0/0.1. The
// point is reported at the end of the step that has it as mid-point, or at the grid point
// just past it: at 5.97942 m for 6 m and 3.96658 m for 4 m. Both lie below h50, so
// H = Ks50 sqrt(h50/h) H0 = 3.0834 m (Ks 1.1091) and 3.7858 m (Ks 1.3618); both are deeper
// than hb (non-breaking) and show a set-down. 2 m lies inside the surf zone: breaking,
// H < h, and a set-up.
TEST(RegularWaveModel, DefaultRunMatchesIndependentlyDerivedValues) {
    ShoalingRun run = DefaultRun();
    run.RecordProfile = true;
    auto o = March(run);
    ASSERT_TRUE(o.prepared);
    ASSERT_TRUE(o.ok);
    EXPECT_TRUE(o.prompter.records.empty());
    EXPECT_NEAR(o.run.DeepWaterLength, 126.42292, 1e-5);
    EXPECT_NEAR(o.run.UrsellDepth30, 8.48043, 2e-3);
    EXPECT_NEAR(o.run.ShoalingAt30, 0.977028, 1e-4);
    EXPECT_NEAR(o.run.UrsellDepth50, 6.78202, 2e-3);

    const std::vector<std::string> expected = {
        "h = 6m ",
        "  浅水係数 Ks =1.109、波高 H =3.083m（非砕波）",
        "  ﾗｼﾞｴｰｼｮﾝｽﾄﾚｽによる水位上昇η=-0.059m",
        "h = 4m ",
        "  浅水係数 Ks =1.362、波高 H =3.786m（非砕波）",
        "  ﾗｼﾞｴｰｼｮﾝｽﾄﾚｽによる水位上昇η=-0.236m",
        "h = 2m ",
        "  浅水係数 Ks =0.804、波高 H =2.235m（砕波）",
        "  ﾗｼﾞｴｰｼｮﾝｽﾄﾚｽによる水位上昇η=0.365m",
    };
    EXPECT_EQ(o.out.report, expected);

    // The highest wave is the one on the breaking depth, which a step lands on exactly.
    const auto& Hs = o.run.RecordedHeight;
    const auto top = std::max_element(Hs.begin(), Hs.end()) - Hs.begin();
    const double hAtTop = o.run.DepthAt(o.run.RecordedDistance[top]);
    EXPECT_NEAR(hAtTop, 3.47094, 2e-4);
    EXPECT_LT(Hs[top + 1], Hs[top]);
    // Inside the surf zone the mean level rises towards the shore.
    EXPECT_GT(o.run.RecordedSetup.back(), o.run.RecordedSetup[top]);
}

TEST(RegularWaveModel, AboveH30TheHeightFollowsLinearShoaling) {
    ShoalingRun run = DefaultRun();
    run.RecordProfile = true;
    auto o = March(run, false);
    ASSERT_TRUE(o.ok);
    int checked = 0;
    for (int i = 0; i < o.run.RecordedCount(); ++i) {
        const double h = o.run.DepthAt(o.run.RecordedDistance[i]);
        if (h < o.run.UrsellDepth30) continue;
        const double kh = WaveNumber(9, h, 9.80665) * h;
        const double Ks = 1 / std::sqrt(std::tanh(kh) * (1 + 2 * kh / std::sinh(2 * kh)));
        EXPECT_NEAR(o.run.RecordedHeight[i] / 2.78, Ks, 1e-12) << "h = " << h;
        ++checked;
    }
    EXPECT_GT(checked, 1000);
}

TEST(RegularWaveModel, ListsCarryTheReportedValuesAndNothingIsShown) {
    auto shown = March(DefaultRun());
    auto quiet = March(DefaultRun(), false);
    ASSERT_TRUE(quiet.ok);
    EXPECT_TRUE(quiet.out.report.empty());
    EXPECT_TRUE(quiet.out.heightPoints.empty());
    ASSERT_EQ(quiet.run.EstimatedHeight.size(), 3u);
    EXPECT_NEAR(quiet.run.EstimatedHeight[0], 3.0834, 1e-4);
    EXPECT_NEAR(quiet.run.EstimatedHeight[1], 3.7858, 1e-4);
    EXPECT_EQ("  浅水係数 Ks =0.804、波高 H =" + FormatFixed(quiet.run.EstimatedHeight[2], 3, 7) + "m（砕波）",
              shown.out.report[7]);
    EXPECT_LT(quiet.run.EstimatedSetup[1], 0);
    EXPECT_GT(quiet.run.EstimatedSetup[2], 0);
}

TEST(RegularWaveModel, DistanceModeReportsTheSameWavesAtTheTypedDistances) {
    ShoalingRun run = DefaultRun();
    run.Inputs.XAxis = 1;
    run.Inputs.OnshoreEndValue = 1;
    run.Inputs.OffshoreEndValue = 100;
    run.ParseEstimationPoints("20,40,60");
    auto byDistance = March(run);
    auto byDepth = March(DefaultRun());
    ASSERT_TRUE(byDistance.ok);
    ASSERT_EQ(byDistance.out.report.size(), 9u);
    EXPECT_EQ(byDistance.out.report[0], "X = 60m ");
    for (int i : {1, 2, 4, 5, 7, 8}) EXPECT_EQ(byDistance.out.report[i], byDepth.out.report[i]);
    // Chart x values are mid-point distances inside the display range, versus depths.
    for (auto [x, y] : byDistance.out.heightPoints) {
        EXPECT_GE(x, 1);
        EXPECT_LE(x, 100);
    }
    for (auto [h, y] : byDepth.out.heightPoints) {
        EXPECT_GE(h, 0.1 - 1e-9);
        EXPECT_LE(h, 10 + 1e-9);
    }
}

TEST(RegularWaveModel, PointsWithinOneStepAndPointsNeverReached) {
    // 4 and 4.01 m lie inside one 0.0695 m step: both get that step's wave.
    ShoalingRun close = DefaultRun();
    close.ParseEstimationPoints("4,4.01");
    auto o = March(close, false);
    ASSERT_TRUE(o.ok);
    EXPECT_GT(o.run.EstimatedHeight[0], 0);
    EXPECT_EQ(o.run.EstimatedHeight[0], o.run.EstimatedHeight[1]);

    // A point shoreward of the display's onshore end is never reached: -1.
    ShoalingRun shallow = DefaultRun();
    shallow.Inputs.OnshoreEndValue = 0.5;
    shallow.ParseEstimationPoints("4,0.5");
    auto s = March(shallow, false);
    ASSERT_TRUE(s.ok);
    EXPECT_GT(s.run.EstimatedHeight[0], 0);
    EXPECT_EQ(s.run.EstimatedHeight[1], -1);
}

TEST(RegularWaveModel, EndsBeforeDryGround) {
    ShoalingRun run = DefaultRun();
    run.Inputs.OnshoreEndValue = 1e-6;
    run.RecordProfile = true;
    auto o = March(run);
    ASSERT_TRUE(o.ok);
    ASSERT_GT(o.run.RecordedCount(), 0);
    for (int i = 0; i < o.run.RecordedCount(); ++i) EXPECT_GT(o.run.DepthAt(o.run.RecordedDistance[i]), 0);
}

TEST(RegularWaveModel, FailuresAreFalseAndInteractiveOnesSaySo) {
    // Slope beyond about 0.367: the surf-zone mean ratio has no real value.
    ShoalingRun steep = DefaultRun();
    steep.Inputs.Slope = 0.37;
    auto shown = March(steep);
    EXPECT_FALSE(shown.ok);
    EXPECT_EQ(shown.prompter.Texts(), std::vector<std::string>{kNoSolution});
    auto quiet = March(steep, false);
    EXPECT_FALSE(quiet.ok);
    EXPECT_TRUE(quiet.prompter.records.empty());

    // A wave so small that the breaking-depth search reaches the bed.
    ShoalingRun tiny = DefaultRun();
    tiny.SetOffshoreWave(0.001, 9);
    auto t = March(tiny);
    EXPECT_FALSE(t.ok);
    ASSERT_EQ(t.prompter.records.size(), 1u);
    EXPECT_EQ(t.prompter.records[0].kind, MsgKind::Error);

    // No wave at all: an error, not an endless iteration.
    ShoalingRun none = DefaultRun();
    none.SetOffshoreWave(0, 9);
    EXPECT_FALSE(March(none, false).ok);
}

TEST(RegularWaveModel, CancelStopsSilentlyAndKeepsWhatWasDrawn) {
    auto full = March(DefaultRun());
    CancelAfter cancel(1750);
    auto o = March(DefaultRun(), true, &cancel);
    EXPECT_FALSE(o.ok);
    EXPECT_TRUE(o.prompter.records.empty());
    EXPECT_GT(o.out.heightPoints.size(), 0u);
    EXPECT_LT(o.out.heightPoints.size(), full.out.heightPoints.size());
    // Progress climbs from offshore towards the shore.
    ASSERT_FALSE(cancel.positions.empty());
    EXPECT_TRUE(std::is_sorted(cancel.positions.begin(), cancel.positions.end()));
    EXPECT_LE(cancel.positions.back(), 100);
}

}  // namespace
}  // namespace orvane
