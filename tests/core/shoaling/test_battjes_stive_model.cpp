// Battjes-Stive model: breaker parameter, maximum height, fraction of breakers, march.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <regex>
#include <string>
#include <vector>
#include "core/runtime/Errors.h"
#include "core/runtime/ScriptedPrompter.h"
#include "core/shoaling/BattjesStiveModel.h"
#include "core/shoaling/WaveFunctions.h"
#include "core/wave/WaveNumber.h"

using namespace orvane;

namespace {

struct Recorder : ShoalingOutput {
    std::vector<std::string> lines;
    std::vector<double> px, py;
    void AddReportLine(const std::string& line) override { lines.push_back(line); }
    void AddHeightPoint(double x, double y) override { px.push_back(x); py.push_back(y); }
};

struct BsCase {
    double H = 2.78, T = 9, slope = 0.02, tide = 0;
    int heightKind = 0;
    std::string points = "2,4,6";
    double obs = 20;
    double onshore = 0.1, offshore = 20;
    bool interactive = true, record = true;
    std::string profile;
};

struct BsResult {
    bool ok = false;
    ShoalingRun run;
    Recorder out;
    ScriptedPrompter prompter;
};

void RunBs(const BsCase& c, BsResult& r) {
    r = BsResult{};
    auto& run = r.run;
    run = ShoalingRun(PhysicalConstants{});
    run.Inputs.Method = 3;
    run.Inputs.HeightKind = c.heightKind;
    run.Inputs.ObsPos = 1;
    run.Inputs.ObsPosValue = c.obs;
    run.Inputs.Slope = c.slope;
    run.Inputs.OnshoreEndValue = c.onshore;
    run.Inputs.OffshoreEndValue = c.offshore;
    if (!c.profile.empty()) {
        run.Inputs.ProfileMode = 1;
        run.Inputs.ProfileFile = c.profile;
        run.DepthColumn = 1;
    }
    run.RecordProfile = c.record;
    run.TideLevel = c.tide;
    run.SetOffshoreWave(c.H, c.T);
    run.ParseEstimationPoints(c.points);
    ASSERT_TRUE(run.PrepareRun(r.out, r.prompter).ok);
    run.Interactive = c.interactive;
    NullProgress progress;
    r.ok = run.RunModel(run.EstimationValues, c.tide, r.out, progress, r.prompter);
}

std::string WriteProfile(const std::string& name, const std::string& body) {
    const std::string path = ::testing::TempDir() + name;
    std::ofstream(path, std::ios::binary) << body;
    return path;
}

}  // namespace

TEST(BattjesStiveBreaking, BreakerParameterFollowsTheOffshoreSteepness) {
    EXPECT_NEAR(BSBreakerParameter(1e-4, 200), 0.5, 1e-4);
    EXPECT_NEAR(BSBreakerParameter(0.1 * 100, 100), 0.9, 2e-3);
    double previous = 0.5;
    for (double steep = 0.005; steep < 0.08; steep += 0.005) {
        const double gamma = BSBreakerParameter(steep * 100, 100);
        EXPECT_GT(gamma, previous);
        EXPECT_LT(gamma, 0.9);
        previous = gamma;
    }
}

TEST(BattjesStiveBreaking, MaximumHeightBetweenDepthAndSteepnessLimits) {
    const double g = 9.80665, T = 10, gamma = 0.7;
    // Shallow water: a fixed ratio to the depth. Deep water: Miche's 0.142 L.
    EXPECT_NEAR(BSBreakerHeight(gamma, 0.05, T, g) / 0.05, gamma, 1e-3);
    const double L0 = g * T * T / kTwoPi;
    EXPECT_NEAR(BSBreakerHeight(gamma, 2 * L0, T, g) / L0, 0.142, 2e-3);
    EXPECT_THROW(BSBreakerHeight(gamma, 0.0, T, g), OrvaneError);
}

TEST(BattjesStiveBreaking, FractionOfBreakers) {
    // Small waves against the maximum: almost none break, so there is no dissipation.
    EXPECT_LT(BSBreakingFraction(0.1, 1.0), 1e-8);
    EXPECT_GE(BSBreakingFraction(0.1, 1.0), 0.0);
    ShoalingRun run(PhysicalConstants{});
    run.Inputs.Method = 3;
    run.SetOffshoreWave(0.01, 9);
    const double gamma = BSBreakerParameter(run.OffshoreHeight, run.DeepWaterLength);
    EXPECT_LT(BSDissipation(run, gamma, 0.01, 10), 1e-20);
    // Elsewhere Qb solves (1 - Qb)/ln Qb = -(H/Hm)^2, grows with H/Hm and nears 1.
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
    // 3 m rms waves observed 3 m deep: the first step already exceeds the maximum.
    BsCase c;
    c.H = 3.0;
    c.heightKind = 1;
    c.obs = 3;
    c.offshore = 3;
    c.points = "";
    BsResult r;
    RunBs(c, r);
    ASSERT_TRUE(r.ok);
    ASSERT_GT(r.run.RecordedHeight.size(), 2u);
    const double gamma = BSBreakerParameter(r.run.OffshoreHeight, r.run.DeepWaterLength);
    // No set-up guess on the first step: the maximum at the still-water depth.
    const double d = r.run.DepthAt(r.run.RecordedDistance[0]);
    EXPECT_DOUBLE_EQ(r.run.RecordedHeight[0],
                     BSBreakerHeight(gamma, d, r.run.Period, r.run.Gravity));
    // The set-up of that step follows from the clipped height: breaking raises it.
    EXPECT_GT(r.run.RecordedSetup[0], 0.0);
}

TEST(BattjesStiveMarch, PlaneBeachSurfZoneFollowsTheTotalDepthWithSetUp) {
    BsCase c;
    c.points = "";
    BsResult r;
    RunBs(c, r);
    ASSERT_TRUE(r.ok);
    const auto& x = r.run.RecordedDistance;
    const auto& H = r.run.RecordedHeight;
    const auto& eta = r.run.RecordedSetup;
    // Shoaling before breaking, then decay.
    const auto peak = std::max_element(H.begin(), H.end()) - H.begin();
    EXPECT_GT(H[peak], r.run.OffshoreHeight * 1.03);
    EXPECT_LT(H.back(), 0.2 * H[peak]);
    // Inner surf zone: Hrms against the total depth stays near a fixed ratio, below the
    // shallow-water limit gamma of the maximum height.
    const double gamma = BSBreakerParameter(r.run.OffshoreHeight, r.run.DeepWaterLength);
    std::vector<double> ratio;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double h = r.run.DepthAt(x[i]);
        if (h > 3.0 || h < 0.4) continue;
        ratio.push_back(H[i] / (h + eta[i]));
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
    const std::string shelf =
        WriteProfile("bs_shelf.csv", "x,h\r\n0,0\r\n10,1\r\n1000,1\r\n1100,20\r\n");
    BsCase c;
    c.profile = shelf;
    c.H = 0.5;
    c.heightKind = 1;
    c.obs = 1000;
    c.offshore = 1000;
    c.points = "500,5";
    for (bool interactive : {true, false}) {
        c.interactive = interactive;
        BsResult r;
        RunBs(c, r);
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.prompter.Texts().empty());
        EXPECT_EQ(r.prompter.beeps, 0);
        EXPECT_TRUE(r.out.lines.empty());
        EXPECT_EQ(r.run.EstimatedHeight[0], -1.0);
    }
}

TEST(BattjesStiveMarch, ServiceRunsHitPointsStopEarlyAndSkipDryOnes) {
    BsCase c;
    c.points = "1.5,3.3,7";
    c.interactive = false;
    BsResult r;
    RunBs(c, r);
    ASSERT_TRUE(r.ok);
    const auto& rec = r.run.RecordedDistance;
    for (int i = 0; i < r.run.EstimationCount; ++i) {
        EXPECT_NE(std::find(rec.begin(), rec.end(), r.run.EstimationDistances[i]), rec.end());
        EXPECT_GT(r.run.EstimatedHeight[i], 0.0);
        EXPECT_GT(r.run.EstimatedSetup[i], -0.1);
    }
    EXPECT_EQ(rec.back(), r.run.EstimationDistances.back());
    // Set-up grows shoreward across the points.
    EXPECT_LT(r.run.EstimatedSetup[0], r.run.EstimatedSetup[2]);

    c.points = "0.5,2";
    c.tide = -1;
    RunBs(c, r);
    ASSERT_TRUE(r.ok);
    EXPECT_GT(r.run.EstimatedHeight[0], 0.0);
    EXPECT_EQ(r.run.EstimatedHeight[1], -1.0);
}

TEST(BattjesStiveReport, FourLinesPerPoint) {
    BsCase c;
    c.H = 1.416;  // significant: Hrms 1.0 at the observation point
    c.points = "19.99,4";
    BsResult r;
    RunBs(c, r);
    ASSERT_TRUE(r.ok);
    EXPECT_DOUBLE_EQ(r.run.OffshoreHeight, 1.0);
    ASSERT_EQ(r.out.lines.size(), 8u);
    EXPECT_EQ(r.out.lines[0], "h = 19.99m ");
    EXPECT_EQ(r.out.lines[1], "  rms波高 Hrms =1.000m");
    EXPECT_EQ(r.out.lines[2], "  有義波高 Hs =1.416m(浅水係数 Ks =1.000)");
    EXPECT_EQ(r.out.lines[3], "  ﾗｼﾞｴｰｼｮﾝｽﾄﾚｽによる水位上昇η=0.000m");
    EXPECT_EQ(r.out.lines[4], "h = 4m ");
    EXPECT_TRUE(std::regex_match(r.out.lines[5], std::regex(R"(  rms波高 Hrms =\d\.\d{3}m)")));
    EXPECT_TRUE(std::regex_match(r.out.lines[6],
                                 std::regex(R"(  有義波高 Hs =\d\.\d{3}m\(浅水係数 Ks =\d\.\d{3}\))")));
    EXPECT_TRUE(std::regex_match(r.out.lines[7],
                                 std::regex(R"(  ﾗｼﾞｴｰｼｮﾝｽﾄﾚｽによる水位上昇η=-?\d\.\d{3}m)")));
}
