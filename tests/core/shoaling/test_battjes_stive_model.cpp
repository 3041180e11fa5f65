// Battjes-Stive model: breaker parameter, maximum height, fraction of breakers, march.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <regex>
#include "RandomModelCase.h"
#include "core/runtime/Errors.h"
#include "core/shoaling/BattjesStiveModel.h"
#include "core/shoaling/WaveFunctions.h"

using namespace orvane;
using namespace orvane::test;

namespace {
ModelCase BsCase() {
    ModelCase c;
    c.method = 3;
    return c;
}
}  // namespace

TEST(BattjesStiveBreaking, BreakerParameterAndMaximumHeight) {
    // gamma from 0.5 for gentle swell towards 0.9 for steep waves.
    EXPECT_NEAR(BSBreakerParameter(1e-4, 200), 0.5, 1e-4);
    EXPECT_NEAR(BSBreakerParameter(10, 100), 0.9, 2e-3);
    for (double steep = 0.005; steep < 0.08; steep += 0.005)
        EXPECT_GT(BSBreakerParameter(steep * 100, 100), BSBreakerParameter(steep * 90, 100));
    // The maximum: gamma d in shallow water, Miche's 0.142 L in deep water.
    const double g = 9.80665, T = 10, L0 = g * T * T / kTwoPi;
    EXPECT_NEAR(BSBreakerHeight(0.7, 0.05, T, g) / 0.05, 0.7, 1e-3);
    EXPECT_NEAR(BSBreakerHeight(0.7, 2 * L0, T, g) / L0, 0.142, 2e-3);
}

TEST(BattjesStiveBreaking, FractionOfBreakers) {
    // Small waves against the maximum: almost none break, and nothing is dissipated.
    EXPECT_LT(BSBreakingFraction(0.1, 1.0), 1e-8);
    ShoalingRun run(PhysicalConstants{});
    run.Inputs.Method = 3;
    run.SetOffshoreWave(0.01, 9);
    const double gamma = BSBreakerParameter(run.OffshoreHeight, run.DeepWaterLength);
    EXPECT_LT(BSDissipation(run, gamma, 0.01, 10), 1e-20);
    // Elsewhere Qb solves (1 - Qb)/ln Qb = -(H/Hm)^2 and grows towards 1.
    double previous = 0;
    for (double r = 0.3; r < 0.96; r += 0.05) {
        const double Q = BSBreakingFraction(r, 1.0);
        EXPECT_NEAR((1 - Q) / std::log(Q), -r * r, 1e-4) << r;
        EXPECT_GT(Q, previous);
        previous = Q;
    }
    EXPECT_GT(BSBreakingFraction(0.99, 1.0), 0.95);
    EXPECT_THROW(BSBreakingFraction(0.0, 1.0), OrvaneError);
}

TEST(BattjesStiveMarch, HeightIsClippedToTheLocalMaximum) {
    // 3 m rms waves observed 3 m deep: the first step already exceeds the maximum, taken
    // at the still-water depth (no set-up guess yet). Breaking then raises the level.
    ModelCase c = BsCase();
    c.H = 3.0;
    c.heightKind = 1;
    c.obs = c.offshore = 3;
    c.points = "";
    ModelResult r;
    RunCase(c, r);
    ASSERT_TRUE(r.ok);
    const double gamma = BSBreakerParameter(r.run.OffshoreHeight, r.run.DeepWaterLength);
    const double d = r.run.DepthAt(r.run.RecordedDistance.at(0));
    EXPECT_DOUBLE_EQ(r.run.RecordedHeight[0], BSBreakerHeight(gamma, d, r.run.Period, r.run.Gravity));
    EXPECT_GT(r.run.RecordedSetup[0], 0.0);
}

TEST(BattjesStiveMarch, PlaneBeachSurfZoneFollowsTheTotalDepthWithSetUp) {
    ModelResult r;
    ModelCase c = BsCase();
    c.points = "";
    RunCase(c, r);
    ASSERT_TRUE(r.ok);
    const auto& H = r.run.RecordedHeight;
    const auto& eta = r.run.RecordedSetup;
    const auto peak = std::max_element(H.begin(), H.end()) - H.begin();
    EXPECT_GT(H[peak], r.run.OffshoreHeight * 1.03);  // shoaling before breaking
    EXPECT_LT(H.back(), 0.2 * H[peak]);
    // Inner surf zone: Hrms against the total depth stays near a fixed ratio, below the
    // shallow-water limit gamma of the maximum height.
    const double gamma = BSBreakerParameter(r.run.OffshoreHeight, r.run.DeepWaterLength);
    std::vector<double> ratio;
    for (std::size_t i = 0; i < H.size(); ++i) {
        const double h = r.run.DepthAt(r.run.RecordedDistance[i]);
        if (h <= 3.0 && h >= 0.4) ratio.push_back(H[i] / (h + eta[i]));
    }
    ASSERT_GT(ratio.size(), 10u);
    const auto [lo, hi] = std::minmax_element(ratio.begin(), ratio.end());
    EXPECT_LT(*hi / *lo, 1.35);
    EXPECT_LT(*hi, gamma);
    EXPECT_GT(*lo, 0.3);
    // Set-down before breaking, set-up rising all the way shoreward of it.
    const auto lowest = std::min_element(eta.begin(), eta.end()) - eta.begin();
    EXPECT_LT(eta[lowest], 0.0);
    EXPECT_GT(eta.back(), 0.1 * r.run.OffshoreHeight);
    for (std::size_t i = lowest + 1; i < eta.size(); ++i) EXPECT_GT(eta[i], eta[i - 1]);
}

TEST(BattjesStiveMarch, ExhaustedFluxFailsQuietly) {
    // Observed at the edge of a long flat shelf 1 m deep, which is crossed in steps far
    // longer than the energy lasts.
    ModelCase c = BsCase();
    c.profile = WriteProfile("bs_shelf.csv", "x,h\r\n0,0\r\n10,1\r\n1000,1\r\n1100,20\r\n");
    c.H = 0.5;
    c.heightKind = 1;
    c.obs = c.offshore = 1000;
    c.points = "500,5";
    for (bool interactive : {true, false}) {
        c.interactive = interactive;
        ModelResult r;
        RunCase(c, r);
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.prompter.Texts().empty());
        EXPECT_EQ(r.prompter.beeps, 0);
        EXPECT_TRUE(r.out.lines.empty());
        EXPECT_EQ(r.run.EstimatedHeight[0], -1.0);
    }
}

TEST(BattjesStiveMarch, ServiceRunsHitPointsStopEarlyAndSkipDryOnes) {
    ModelCase c = BsCase();
    c.points = "1.5,3.3,7";
    c.interactive = false;
    ModelResult r;
    RunCase(c, r);
    ASSERT_TRUE(r.ok);
    const auto& rec = r.run.RecordedDistance;
    for (int i = 0; i < r.run.EstimationCount; ++i) {
        EXPECT_NE(std::find(rec.begin(), rec.end(), r.run.EstimationDistances[i]), rec.end());
        EXPECT_GT(r.run.EstimatedHeight[i], 0.0);
    }
    EXPECT_EQ(rec.back(), r.run.EstimationDistances.back());
    EXPECT_LT(r.run.EstimatedSetup[0], r.run.EstimatedSetup[2]);

    c.points = "0.5,2";
    c.tide = -1;
    RunCase(c, r);
    ASSERT_TRUE(r.ok);
    EXPECT_GT(r.run.EstimatedHeight[0], 0.0);
    EXPECT_EQ(r.run.EstimatedHeight[1], -1.0);
}

TEST(BattjesStiveReport, FourLinesPerPoint) {
    ModelCase c = BsCase();
    c.H = 1.416;  // significant: Hrms 1.0 at the observation point
    c.points = "19.99,4";
    ModelResult r;
    RunCase(c, r);
    ASSERT_TRUE(r.ok);
    const std::vector<std::string> first{"h = 19.99m ", "  rms波高 Hrms =1.000m",
                                         "  有義波高 Hs =1.416m(浅水係数 Ks =1.000)",
                                         "  ﾗｼﾞｴｰｼｮﾝｽﾄﾚｽによる水位上昇η=0.000m", "h = 4m "};
    ASSERT_EQ(r.out.lines.size(), 8u);
    EXPECT_EQ(std::vector<std::string>(r.out.lines.begin(), r.out.lines.begin() + 5), first);
    EXPECT_TRUE(std::regex_match(r.out.lines[5], std::regex(R"(  rms波高 Hrms =\d\.\d{3}m)")));
    EXPECT_TRUE(std::regex_match(r.out.lines[6],
                                 std::regex(R"(  有義波高 Hs =\d\.\d{3}m\(浅水係数 Ks =\d\.\d{3}\))")));
    EXPECT_TRUE(std::regex_match(r.out.lines[7],
                                 std::regex(R"(  ﾗｼﾞｴｰｼｮﾝｽﾄﾚｽによる水位上昇η=-?\d\.\d{3}m)")));
}
