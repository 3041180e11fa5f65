// Thornton-Guza model: dissipation, energy-flux march, estimation points, report.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include "RandomModelCase.h"
#include "core/shoaling/ThorntonGuzaModel.h"
#include "core/shoaling/WaveFunctions.h"
#include "core/wave/WaveNumber.h"

using namespace orvane;
using namespace orvane::test;

namespace {
ModelCase TgCase() {
    ModelCase c;
    c.method = 2;
    return c;
}
}  // namespace

TEST(ThorntonGuzaDissipation, SmallAndSaturatedWaves) {
    ShoalingRun run(PhysicalConstants{});
    run.Inputs.Method = 2;
    run.SetOffshoreWave(1.416, 9);
    // Far below gamma h the weighting makes eps_b grow as H^7 / h^5; saturated waves
    // (H >> gamma h) dissipate as H^5 / h^3.
    EXPECT_NEAR(TGDissipation(run, 20, 0.02) / TGDissipation(run, 20, 0.01), 128.0, 0.1);
    EXPECT_NEAR(TGDissipation(run, 10, 0.01) / TGDissipation(run, 20, 0.01), 32.0, 0.05);
    EXPECT_NEAR(TGDissipation(run, 1, 400) / TGDissipation(run, 1, 200), 32.0, 1e-3);
}

TEST(ThorntonGuzaMarch, LargerBDissipatesFaster) {
    ModelCase c = TgCase();
    c.points = "";
    ModelResult weak, strong;
    RunCase(c, weak);
    c.B = 2.0;
    RunCase(c, strong);
    ASSERT_TRUE(weak.ok && strong.ok);
    ASSERT_EQ(weak.run.RecordedHeight.size(), strong.run.RecordedHeight.size());
    for (std::size_t i = 0; i < weak.run.RecordedHeight.size(); ++i)
        EXPECT_LT(strong.run.RecordedHeight[i], weak.run.RecordedHeight[i]) << i;
}

TEST(ThorntonGuzaMarch, UnbrokenWavesConserveEnergyFluxAndSurfZoneFollowsDepth) {
    // A low swell from 20 m to 8 m loses almost nothing: Hrms(8) = Hrms(20) sqrt(Cg(20)/Cg(8)).
    ModelCase c = TgCase();
    c.H = 0.2;
    c.heightKind = 1;
    c.points = "8";
    c.interactive = false;
    ModelResult r;
    RunCase(c, r);
    ASSERT_TRUE(r.ok);
    const double T = r.run.Period, g = r.run.Gravity;
    const auto cg = [&](double h) {
        const double k = WaveNumber(T, h, g);
        return 0.5 * (1 + 2 * k * h / std::sinh(2 * k * h)) * kTwoPi / (T * k);
    };
    EXPECT_NEAR(r.run.EstimatedHeight[0], 0.2 * std::sqrt(cg(20) / cg(8)), 2e-4);
    EXPECT_EQ(r.run.EstimatedSetup[0], 0.0);

    // Storm waves on the same 1:50 beach: in the saturated surf zone Hrms/h stays
    // nearly constant, below gamma, while Hrms falls several times over.
    RunCase(TgCase(), r);
    ASSERT_TRUE(r.ok);
    std::vector<double> ratio, height;
    for (std::size_t i = 0; i < r.run.RecordedDistance.size(); ++i) {
        const double h = r.run.DepthAt(r.run.RecordedDistance[i]);
        if (h > 2.5 || h < 0.4) continue;
        ratio.push_back(r.run.RecordedHeight[i] / h);
        height.push_back(r.run.RecordedHeight[i]);
    }
    ASSERT_GT(ratio.size(), 10u);
    EXPECT_GT(height.front() / height.back(), 4.0);
    const auto [lo, hi] = std::minmax_element(ratio.begin(), ratio.end());
    EXPECT_LT(*hi / *lo, 1.3);
    EXPECT_GT(*lo, 0.2);
    EXPECT_LT(*hi, r.run.gamma_TG);
}

TEST(ThorntonGuzaMarch, EstimationPointsAreHitExactly) {
    const std::string path =
        WriteProfile("tg_points.csv", "x,h\r\n0,0\r\n50,2\r\n400,9\r\n900,25\r\n");
    for (bool useProfile : {false, true}) {
        ModelCase c = TgCase();
        c.interactive = false;
        c.points = "1.234,5.5,9.99";
        if (useProfile) {
            c.profile = path;
            c.obs = c.offshore = 800;
            c.points = "333.3,50,7.77";  // 50 is a vertex
        }
        ModelResult r;
        RunCase(c, r);
        ASSERT_TRUE(r.ok);
        const auto& rec = r.run.RecordedDistance;
        for (int i = 0; i < r.run.EstimationCount; ++i) {
            EXPECT_NE(std::find(rec.begin(), rec.end(), r.run.EstimationDistances[i]), rec.end());
            EXPECT_GT(r.run.EstimatedHeight[i], 0.0);
        }
        EXPECT_EQ(rec.back(), r.run.EstimationDistances.back());  // stopped there
    }
}

TEST(ThorntonGuzaMarch, UnreachedPointsKeepMinusOne) {
    // A long flat shelf 1 m deep: the energy runs out within its single long step; the
    // height there is 0 and the run succeeds. The point behind it is never reached.
    ModelCase c = TgCase();
    c.profile = WriteProfile("tg_shelf.csv", "x,h\r\n0,0\r\n10,1\r\n1000,1\r\n1100,20\r\n");
    c.H = 1.0;
    c.heightKind = 1;
    c.obs = c.offshore = 1050;
    c.points = "500,5";
    c.interactive = false;
    ModelResult r;
    RunCase(c, r);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.run.EstimatedHeight[0], 0.0);
    EXPECT_EQ(r.run.EstimatedHeight[1], -1.0);
    EXPECT_TRUE(r.prompter.Texts().empty());

    // At a tide of -1 m the point 0.5 m below mean sea level is dry.
    c = TgCase();
    c.points = "0.5,2";
    c.tide = -1;
    c.interactive = false;
    RunCase(c, r);
    ASSERT_TRUE(r.ok);
    EXPECT_GT(r.run.EstimatedHeight[0], 0.0);
    EXPECT_EQ(r.run.EstimatedHeight[1], -1.0);
}

TEST(ThorntonGuzaReport, ThreeLinesPerPointFromTheSignificantHeight) {
    ModelCase c = TgCase();
    c.H = 1.416;  // significant: Hrms 1.0 at the observation point
    c.points = "19.99,4";
    ModelResult r;
    RunCase(c, r);
    ASSERT_TRUE(r.ok);
    EXPECT_DOUBLE_EQ(r.run.Period, 9 / 0.93);
    ASSERT_EQ(r.out.lines.size(), 6u);
    EXPECT_EQ(r.out.lines[0], "h = 19.99m ");
    EXPECT_EQ(r.out.lines[1], "  rms波高 Hrms =1.000m");
    EXPECT_EQ(r.out.lines[2], "  有義波高 Hs =1.416m(浅水係数 Ks =1.000)");
    EXPECT_EQ(r.out.lines[3], "h = 4m ");
    const double hrms = Field(r.out.lines, 3, "Hrms =");
    EXPECT_NEAR(Field(r.out.lines, 3, "Hs ="), 1.416 * hrms, 6e-4);
    EXPECT_NEAR(Field(r.out.lines, 3, "Ks ="), hrms, 6e-4);
}
