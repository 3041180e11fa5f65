// Thornton-Guza model: dissipation, energy-flux march, estimation points, report.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <regex>
#include <string>
#include <vector>
#include "core/runtime/ScriptedPrompter.h"
#include "core/shoaling/ThorntonGuzaModel.h"
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

struct TgCase {
    double H = 2.78, T = 9, slope = 0.02, tide = 0, B = 1.54;
    int heightKind = 0, periodKind = 0;
    std::string points = "2,4,6";
    double obs = 20;  // observation depth (depth mode) or distance
    double onshore = 0.1, offshore = 20;
    bool interactive = true, record = true;
    std::string profile;
};

struct TgResult {
    bool ok = false;
    ShoalingRun run;
    Recorder out;
    ScriptedPrompter prompter;
};

void RunTg(const TgCase& c, TgResult& r) {
    r = TgResult{};
    auto& run = r.run;
    run = ShoalingRun(PhysicalConstants{});
    run.B_TG = c.B;
    run.Inputs.Method = 2;
    run.Inputs.HeightKind = c.heightKind;
    run.Inputs.PeriodKind = c.periodKind;
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

double GroupSpeed(double h, double T, double g) {
    const double k = WaveNumber(T, h, g);
    return 0.5 * (1 + 2 * k * h / std::sinh(2 * k * h)) * (kTwoPi / T) / k;
}

}  // namespace

TEST(ThorntonGuzaDissipation, SmallWavesLargerBAndShallowerWater) {
    ShoalingRun run(PhysicalConstants{});
    run.Inputs.Method = 2;
    run.SetOffshoreWave(1.416, 9);
    // Waves far below gamma h: the weighting makes eps_b grow as H^7 / h^5.
    EXPECT_NEAR(TGDissipation(run, 20, 0.02) / TGDissipation(run, 20, 0.01), 128.0, 0.1);
    EXPECT_NEAR(TGDissipation(run, 10, 0.01) / TGDissipation(run, 20, 0.01), 32.0, 0.05);
    // Saturated waves (H >> gamma h): the weight tends to 1, eps_b to H^5 / h^3.
    EXPECT_NEAR(TGDissipation(run, 1, 400) / TGDissipation(run, 1, 200), 32.0, 1e-3);
    const double base = TGDissipation(run, 3, 1);
    run.B_TG = 2.0;
    EXPECT_GT(TGDissipation(run, 3, 1), base);
}

TEST(ThorntonGuzaMarch, LargerBDissipatesFaster) {
    TgCase c;
    c.points = "";
    TgResult weak, strong;
    RunTg(c, weak);
    c.B = 2.0;
    RunTg(c, strong);
    ASSERT_TRUE(weak.ok && strong.ok);
    ASSERT_EQ(weak.run.RecordedHeight.size(), strong.run.RecordedHeight.size());
    for (std::size_t i = 0; i < weak.run.RecordedHeight.size(); ++i)
        EXPECT_LT(strong.run.RecordedHeight[i], weak.run.RecordedHeight[i]) << i;
}

TEST(ThorntonGuzaMarch, UnbrokenWavesFollowLinearShoaling) {
    // A low swell from 20 m to 8 m loses almost nothing: E Cg is conserved, so
    // Hrms(8) = Hrms(20) sqrt(Cg(20) / Cg(8)).
    TgCase c;
    c.H = 0.2;
    c.heightKind = 1;  // rms
    c.points = "8";
    c.interactive = false;
    TgResult r;
    RunTg(c, r);
    ASSERT_TRUE(r.ok);
    const double T = r.run.Period, g = r.run.Gravity;
    EXPECT_NEAR(r.run.EstimatedHeight[0], 0.2 * std::sqrt(GroupSpeed(20, T, g) / GroupSpeed(8, T, g)),
                2e-4);
    EXPECT_EQ(r.run.EstimatedSetup[0], 0.0);
}

TEST(ThorntonGuzaMarch, InnerSurfZoneHeightFollowsTheDepth) {
    // On a plane beach the saturated surf zone keeps Hrms/h nearly constant while Hrms
    // itself falls several times over.
    TgCase c;
    c.points = "";
    TgResult r;
    RunTg(c, r);
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
    EXPECT_LT(*hi, 0.42);  // below the gamma of the weighting
}

TEST(ThorntonGuzaMarch, EstimationPointsAreHitExactly) {
    const std::string path =
        WriteProfile("tg_points.csv", "x,h\r\n0,0\r\n50,2\r\n400,9\r\n900,25\r\n");
    for (bool useProfile : {false, true}) {
        TgCase c;
        c.interactive = false;
        if (useProfile) {
            c.profile = path;
            c.obs = 800;
            c.offshore = 800;
            c.points = "333.3,50,7.77";  // 50 is a vertex
        } else {
            c.points = "1.234,5.5,9.99";
        }
        TgResult r;
        RunTg(c, r);
        ASSERT_TRUE(r.ok);
        const auto& rec = r.run.RecordedDistance;
        for (int i = 0; i < r.run.EstimationCount; ++i) {
            const double target = r.run.EstimationDistances[i];
            EXPECT_NE(std::find(rec.begin(), rec.end(), target), rec.end()) << target;
            EXPECT_GT(r.run.EstimatedHeight[i], 0.0);
        }
        // Service runs stop at the last point.
        EXPECT_EQ(rec.back(), r.run.EstimationDistances.back());
    }
}

TEST(ThorntonGuzaMarch, UnreachedPointsKeepMinusOne) {
    // A long flat shelf 1 m deep: the energy runs out within its single long step; the
    // height there is 0 and the run succeeds. The point behind it is never reached.
    const std::string shelf =
        WriteProfile("tg_shelf.csv", "x,h\r\n0,0\r\n10,1\r\n1000,1\r\n1100,20\r\n");
    TgCase c;
    c.profile = shelf;
    c.H = 1.0;
    c.heightKind = 1;
    c.obs = 1050;
    c.offshore = 1050;
    c.points = "500,5";
    c.interactive = false;
    TgResult r;
    RunTg(c, r);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.run.EstimatedHeight[0], 0.0);
    EXPECT_EQ(r.run.EstimatedHeight[1], -1.0);
    EXPECT_TRUE(r.prompter.Texts().empty());

    // At a tide of -1 m the point 0.5 m below mean sea level is dry.
    TgCase dry;
    dry.points = "0.5,2";
    dry.tide = -1;
    dry.interactive = false;
    RunTg(dry, r);
    ASSERT_TRUE(r.ok);
    EXPECT_GT(r.run.EstimatedHeight[0], 0.0);
    EXPECT_EQ(r.run.EstimatedHeight[1], -1.0);
}

TEST(ThorntonGuzaReport, ThreeLinesPerPointAndTheInputConversions) {
    TgCase c;
    c.H = 1.416;  // significant: Hrms 1.0 at the observation point
    c.points = "19.99,4";
    TgResult r;
    RunTg(c, r);
    ASSERT_TRUE(r.ok);
    EXPECT_DOUBLE_EQ(r.run.OffshoreHeight, 1.0);
    EXPECT_DOUBLE_EQ(r.run.Period, 9 / 0.93);
    ASSERT_EQ(r.out.lines.size(), 6u);
    EXPECT_EQ(r.out.lines[0], "h = 19.99m ");
    EXPECT_EQ(r.out.lines[1], "  rms波高 Hrms =1.000m");
    EXPECT_EQ(r.out.lines[2], "  有義波高 Hs =1.416m(浅水係数 Ks =1.000)");
    EXPECT_EQ(r.out.lines[3], "h = 4m ");
    std::smatch m;
    ASSERT_TRUE(std::regex_match(r.out.lines[4], m, std::regex(R"(  rms波高 Hrms =(\d\.\d{3})m)")));
    const double hrms = std::stod(m[1]);
    ASSERT_TRUE(std::regex_match(r.out.lines[5], m,
                                 std::regex(R"(  有義波高 Hs =(\d\.\d{3})m\(浅水係数 Ks =(\d\.\d{3})\))")));
    EXPECT_NEAR(std::stod(m[1]), 1.416 * hrms, 6e-4);
    EXPECT_NEAR(std::stod(m[2]), hrms, 6e-4);

    // An rms height and a peak period are taken as they are.
    ShoalingRun run(PhysicalConstants{});
    run.Inputs.Method = 2;
    run.Inputs.HeightKind = 1;
    run.Inputs.PeriodKind = 1;
    run.SetOffshoreWave(1.0, 9.0);
    EXPECT_DOUBLE_EQ(run.OffshoreHeight, 1.0);
    EXPECT_DOUBLE_EQ(run.Period, 9.0);
}
