#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include "core/runtime/NumberText.h"
#include "core/wave/WaveNumber.h"
#include "ShoalingTestSupport.h"

namespace orvane {
namespace {

using test::CancelAfter;
using test::DefaultRun;
using test::March;

// Expected values for the default inputs (H0 2.78 m, T 9 s, slope 0.1, points 6, 4, 2 m),
// derived outside this program by bisection on the defining conditions rather than by
// the model's own iterations:
//   L0 = g T^2/(2 pi) = 126.423 m.
//   h30: U = g Ks(h) H0 T^2/h^2 = 30 with the linear Ks      -> 8.4804 m, Ks30 = 0.97703.
//   h50: U = 50 with Ks = Ks30 (h30/h)^(2/7)                   -> 6.7820 m, Ks50 = 1.04145.
//   hb:  Ks(h) H0 = (1 - exp(A (h/L0)^0.9)) 0.17 L0 (h/L0)^0.1,
//        A = -1.5 pi (1 + 15 * 0.1^(4/3))                     -> 3.4709 m.
// The steps are 0.025 H0 = 0.0695 m of depth (0.695 m of distance) from x = L0/0.1. A point
// is reported at the end of the step that has it as mid-point, or of the grid step just
// past it: 5.97942 m for 6 m, 3.96658 m for 4 m. Both lie below h50, so
// H = Ks50 sqrt(h50/h) H0 = 3.0834 m (Ks 1.1091) and 3.7858 m (Ks 1.3618); both are deeper
// than hb (non-breaking) with a set-down. 2 m lies in the surf zone: breaking, a set-up.
TEST(RegularWaveModel, DefaultRunMatchesIndependentlyDerivedValues) {
    ShoalingRun run = DefaultRun();
    run.RecordProfile = true;
    auto o = March(run);
    ASSERT_TRUE(o.ok);
    EXPECT_TRUE(o.prompter.records.empty());
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

    // The highest wave stands on the breaking depth, which a step lands on exactly; the
    // mean level then rises towards the shore.
    const auto& H = o.run.RecordedHeight;
    const auto top = std::max_element(H.begin(), H.end()) - H.begin();
    EXPECT_NEAR(o.run.DepthAt(o.run.RecordedDistance[top]), 3.47094, 2e-4);
    EXPECT_LT(H[top + 1], H[top]);
    EXPECT_GT(o.run.RecordedSetup.back(), o.run.RecordedSetup[top]);
    // Above h30 the height is the linear shoaling coefficient times H0.
    int deep = 0;
    for (int i = 0; i < o.run.RecordedCount(); ++i) {
        const double h = o.run.DepthAt(o.run.RecordedDistance[i]);
        EXPECT_GT(h, 0);  // the step that would reach dry ground is not taken
        if (h < o.run.UrsellDepth30) continue;
        const double kh = WaveNumber(9, h, 9.80665) * h;
        EXPECT_NEAR(H[i] / 2.78, 1 / std::sqrt(std::tanh(kh) * (1 + 2 * kh / std::sinh(2 * kh))), 1e-12);
        ++deep;
    }
    EXPECT_GT(deep, 1000);

    // Without a window only the lists are filled, with the reported waves.
    auto quiet = March(DefaultRun(), false);
    ASSERT_TRUE(quiet.ok);
    EXPECT_TRUE(quiet.out.report.empty());
    EXPECT_TRUE(quiet.out.heightPoints.empty());
    EXPECT_NEAR(quiet.run.EstimatedHeight[0], 3.0834, 1e-4);
    EXPECT_NEAR(quiet.run.EstimatedHeight[1], 3.7858, 1e-4);
    EXPECT_EQ(FormatFixed(quiet.run.EstimatedHeight[2], 3, 7), "2.235");
    EXPECT_EQ(FormatFixed(quiet.run.EstimatedSetup[2], 3, 7), "0.365");
}

TEST(RegularWaveModel, DistanceModeReportsTheSameWavesAtTheTypedDistances) {
    ShoalingRun run = DefaultRun();
    run.Inputs.XAxis = 1;
    run.Inputs.OnshoreEndValue = 1;
    run.Inputs.OffshoreEndValue = 100;
    run.ParseEstimationPoints("20,40,60");
    auto byDistance = March(run);
    auto byDepth = March(DefaultRun());
    ASSERT_EQ(byDistance.out.report.size(), 9u);
    EXPECT_EQ(byDistance.out.report[0], "X = 60m ");
    for (int i : {1, 2, 4, 5, 7, 8}) EXPECT_EQ(byDistance.out.report[i], byDepth.out.report[i]);
    // Chart x: mid-point distances, or depths, inside the display range.
    for (auto [x, y] : byDistance.out.heightPoints) EXPECT_TRUE(x >= 1 && x <= 100) << x;
    for (auto [h, y] : byDepth.out.heightPoints) EXPECT_TRUE(h >= 0.1 - 1e-9 && h <= 10 + 1e-9) << h;
}

TEST(RegularWaveModel, PointsInOneStepAndPointsNeverReached) {
    // 4 and 4.01 m lie inside one 0.0695 m step: both get that step's wave.
    ShoalingRun close = DefaultRun();
    close.ParseEstimationPoints("4,4.01");
    auto o = March(close, false);
    ASSERT_TRUE(o.ok);
    EXPECT_GT(o.run.EstimatedHeight[0], 0);
    EXPECT_EQ(o.run.EstimatedHeight[0], o.run.EstimatedHeight[1]);
    // Shoreward of the onshore end: never reached, -1.
    ShoalingRun shallow = DefaultRun();
    shallow.Inputs.OnshoreEndValue = 0.5;
    shallow.ParseEstimationPoints("4,0.5");
    auto s = March(shallow, false);
    ASSERT_TRUE(s.ok);
    EXPECT_EQ(s.run.EstimatedHeight[1], -1);
}

TEST(RegularWaveModel, FailuresAreFalseAndInteractiveOnesSaySo) {
    // Beyond a slope of about 0.367 the surf-zone mean ratio has no real value.
    ShoalingRun steep = DefaultRun();
    steep.Inputs.Slope = 0.37;
    auto shown = March(steep);
    EXPECT_FALSE(shown.ok);
    EXPECT_EQ(shown.prompter.Texts(),
              std::vector<std::string>{"収束解が得られませんでした。\n海底勾配が大き過ぎることが\n原因の一つと考えられます。"});
    auto quiet = March(steep, false);
    EXPECT_FALSE(quiet.ok);
    EXPECT_TRUE(quiet.prompter.records.empty());
    // A wave so small that the breaking-depth search reaches the bed; no wave at all.
    for (double H0 : {0.001, 0.0}) {
        ShoalingRun tiny = DefaultRun();
        tiny.SetOffshoreWave(H0, 9);
        auto t = March(tiny);
        EXPECT_FALSE(t.ok) << H0;
        ASSERT_EQ(t.prompter.records.size(), 1u) << H0;
        EXPECT_EQ(t.prompter.records[0].kind, MsgKind::Error);
    }
}

TEST(RegularWaveModel, CancelStopsSilentlyAndKeepsWhatWasDrawn) {
    auto full = March(DefaultRun());
    CancelAfter cancel(1750);
    auto o = March(DefaultRun(), true, &cancel);
    EXPECT_FALSE(o.ok);
    EXPECT_TRUE(o.prompter.records.empty());
    EXPECT_GT(o.out.heightPoints.size(), 0u);
    EXPECT_LT(o.out.heightPoints.size(), full.out.heightPoints.size());
    EXPECT_TRUE(std::is_sorted(cancel.positions.begin(), cancel.positions.end()));
    EXPECT_LE(cancel.positions.back(), 100);
}

}  // namespace
}  // namespace orvane
