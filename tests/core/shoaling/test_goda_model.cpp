// Goda's random-wave model: shoaling coefficient, height density, report and march.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <regex>
#include <string>
#include <vector>
#include "core/runtime/Errors.h"
#include "core/runtime/ScriptedPrompter.h"
#include "core/shoaling/GodaModel.h"
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

struct GodaCase {
    double H = 2.78, T = 9, slope = 0.1, tide = 0;
    std::string points = "2,4,6";
    int xAxis = 0;
    double onshore = 0.1, offshore = 10;
    int display = 0;
    bool interactive = true, record = false;
    std::string profile;  // a profile file instead of the plane bed
};

struct GodaResult {
    bool ok = false;
    ShoalingRun run;
    Recorder out;
    ScriptedPrompter prompter;
};

void RunGoda(const GodaCase& c, GodaResult& r,
         GodaDensityEvaluation eval = GodaDensityEvaluation::Fast) {
    r.run = ShoalingRun(PhysicalConstants{});
    auto& run = r.run;
    run.Inputs.Method = 1;
    run.Inputs.Slope = c.slope;
    run.Inputs.XAxis = c.xAxis;
    run.Inputs.OnshoreEndValue = c.onshore;
    run.Inputs.OffshoreEndValue = c.offshore;
    run.Inputs.DisplayIndex = c.display;
    if (!c.profile.empty()) {
        run.Inputs.ProfileMode = 1;
        run.Inputs.ProfileFile = c.profile;
        run.Inputs.XAxis = 1;
        run.DistanceColumn = 0;
        run.DepthColumn = 1;
    }
    run.RecordProfile = c.record;
    run.TideLevel = c.tide;
    run.SetOffshoreWave(c.H, c.T);
    run.ParseEstimationPoints(c.points);
    ASSERT_TRUE(run.PrepareRun(r.out, r.prompter).ok);
    run.Interactive = c.interactive;
    NullProgress progress;
    if (eval == GodaDensityEvaluation::Fast) {
        r.ok = run.RunModel(run.EstimationValues, c.tide, r.out, progress, r.prompter);
    } else {
        // RunModel's set-up of the targets, then the model with the plain density.
        ASSERT_TRUE(run.RunModel(run.EstimationValues, c.tide, r.out, progress, r.prompter));
        r.out = Recorder{};
        run.EstimationIndex = 0;
        run.TargetDistance = run.EstimationCount > 0 ? run.EstimationDistances[0] : -10;
        std::fill(run.EstimatedHeight.begin(), run.EstimatedHeight.end(), -1.0);
        run.RecordedDistance.clear();
        run.RecordedHeight.clear();
        run.RecordedSetup.clear();
        r.ok = RunGodaModel(run, r.out, progress, r.prompter, eval);
    }
}

// The number after `key` in the report line that contains it.
double Field(const std::vector<std::string>& lines, std::size_t first, const std::string& key) {
    for (std::size_t i = first; i < lines.size() && i < first + 8; ++i) {
        const auto at = lines[i].find(key);
        if (at != std::string::npos) return std::stod(lines[i].substr(at + key.size()));
    }
    ADD_FAILURE() << "no " << key;
    return NAN;
}

std::string WriteProfile(const std::string& name, const std::string& body) {
    const std::string path = ::testing::TempDir() + name;
    std::ofstream(path, std::ios::binary) << body;
    return path;
}

}  // namespace

TEST(GodaShoaling, UrsellDepthsAndBranchesJoin) {
    ShoalingRun run(PhysicalConstants{});
    run.Inputs.Method = 1;
    run.SetOffshoreWave(2.78, 9);
    GodaUrsellDepths(run);
    const double H0 = run.OffshoreHeight, L0 = run.DeepWaterLength;
    const double h30 = run.UrsellDepth30, h50 = run.UrsellDepth50;
    // U = 2 pi H L0 / h^2 with H the shoaled height: 30 and 50 at the two depths.
    EXPECT_NEAR(kTwoPi * run.ShoalingAt30 * H0 * L0 / (h30 * h30), 30.0, 0.03);
    EXPECT_NEAR(kTwoPi * run.ShoalingAt50 * H0 * L0 / (h50 * h50), 50.0, 0.05);
    EXPECT_GT(h30, h50);

    // Linear shoaling above h30, and the three branches meet without a jump.
    const double kh = WaveNumber(run.Period, 40.0, run.Gravity) * 40.0;
    const double linear = 1.0 / std::sqrt(std::tanh(kh) * (1 + 2 * kh / std::sinh(2 * kh)));
    EXPECT_NEAR(NonlinearShoaling(run, 40.0), linear, 1e-12);
    EXPECT_NEAR(NonlinearShoaling(run, h30 * (1 + 1e-9)), NonlinearShoaling(run, h30 * (1 - 1e-9)),
                2e-3);
    EXPECT_NEAR(NonlinearShoaling(run, h50 * (1 + 1e-9)), NonlinearShoaling(run, h50 * (1 - 1e-9)),
                6e-3);
    // Shoaling grows shoreward of h30; no wave on dry ground.
    double previous = NonlinearShoaling(run, h30);
    for (double h = h30 * 0.9; h > 0.05; h *= 0.9) {
        const double k = NonlinearShoaling(run, h);
        EXPECT_GT(k, previous) << h;
        previous = k;
    }
    EXPECT_EQ(NonlinearShoaling(run, 0.0), 0.0);
    EXPECT_EQ(NonlinearShoaling(run, -1.0), 0.0);
}

TEST(GodaDensity, RayleighStatisticsBeforeBreaking) {
    // A point well outside the surf zone: the density is Rayleigh's, whose ratios are
    // Hm/Hrms = sqrt(pi)/2, H1/3 = 1.416 Hrms, H1/10 = 1.800 Hrms, H1/100 = 2.359 Hrms
    // (Longuet-Higgins 1952).
    GodaCase c;
    c.slope = 0.02;
    c.points = "30";
    c.offshore = 50;
    GodaResult r;
    RunGoda(c, r);
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.out.lines.size(), 8u);
    const double hrms = Field(r.out.lines, 0, "Hrms =");
    const double ks = NonlinearShoaling(r.run, 30.0);
    EXPECT_NEAR(hrms, ks * r.run.OffshoreHeight / 1.416, 0.002);
    EXPECT_NEAR(Field(r.out.lines, 0, "Hm =") / hrms, std::sqrt(M_PI) / 2, 0.002);
    EXPECT_NEAR(Field(r.out.lines, 0, "Hs =") / hrms, 1.416, 0.003);
    EXPECT_NEAR(Field(r.out.lines, 0, "H1/10 =") / hrms, 1.800, 0.004);
    EXPECT_NEAR(Field(r.out.lines, 0, "H1/100 =") / hrms, 2.359, 0.006);
    EXPECT_NEAR(Field(r.out.lines, 0, "Ks="), ks, 0.002);
    EXPECT_NEAR(Field(r.out.lines, 0, "減衰 ="), 0.0, 0.15);
}

TEST(GodaDensity, BinWidthCoversTheDeepestSurfBeatLevel) {
    // A surf-zone point with a strong surf beat: the levels' breaker heights differ
    // widely. The binned density must hold the whole mass and second moment of the
    // weighted mixture, integrated here on a fine grid on its own.
    ShoalingRun run(PhysicalConstants{});
    run.Inputs.Method = 1;
    run.SetOffshoreWave(2.78, 9);
    const double H0 = run.OffshoreHeight, L0 = run.DeepWaterLength;
    const double beta = 1.416 / 1.05, s = 0.02, meanDepth = 2.0, zeta = 0.6;
    const double A = -1.5 * M_PI * (1 + 15 * std::pow(s, 4.0 / 3.0)) / L0;
    const GodaHeights w = GodaPointHeights(run, beta, A, meanDepth, zeta);

    const double z[8] = {3.2831, 2.3158, 1.3832, 0.4599, -0.4599, -1.3832, -2.3158, -3.2831};
    const double wt[8] = {0.0014, 0.0214, 0.1359, 0.3413, 0.3413, 0.1359, 0.0214, 0.0014};
    double mass = 0, second = 0, top = 0;
    const int n = 400000;
    for (int l = 0; l < 8; ++l) {
        const double d = std::max(0.0, meanDepth + z[l] * zeta);
        const double x2 = 0.18 * L0 / H0 * (1 - std::exp(A * d)), x1 = x2 * 2 / 3;
        top = std::max(top, x2);
        const auto ray = [&](double x) { return 2 * beta * beta * x * std::exp(-beta * beta * x * x); };
        for (int i = 0; i < n; ++i) {
            const double x = (i + 0.5) * x2 / n;
            const double p = x <= x1 ? ray(x) : ray(x) - (x - x1) / (x2 - x1) * ray(x2);
            mass += wt[l] * p * x2 / n;
            second += wt[l] * p * x * x * x2 / n;
        }
    }
    EXPECT_DOUBLE_EQ(w.binWidth, top / 1000);
    double binned = 0;
    for (int j = 0; j < 1000; ++j) binned += run.DensityP[j] * w.binWidth;
    EXPECT_NEAR(binned / mass, 1.0, 2e-5);
    // The moments take the density as linear between bin centres: a few 1e-4 apart.
    EXPECT_NEAR(w.Hrms / (std::sqrt(second / mass) * H0), 1.0, 1e-3);
    EXPECT_LT(w.H13, 1.416 * w.Hrms * 1.01);  // the tail is cut down
    EXPECT_LT(w.H1100, top * H0);
}

TEST(GodaDensity, FastEvaluationPrintsTheSameDigits) {
    for (double slope : {0.1, 0.02}) {
        for (int display : {0, 6}) {
            GodaCase c;
            c.slope = slope;
            c.display = display;
            c.points = "0.3,1,2,3.5,5,8";
            GodaResult fast, plain;
            RunGoda(c, fast);
            RunGoda(c, plain, GodaDensityEvaluation::Reference);
            ASSERT_TRUE(fast.ok && plain.ok);
            ASSERT_EQ(fast.out.lines.size(), 48u);
            EXPECT_EQ(fast.out.lines, plain.out.lines);
            EXPECT_EQ(fast.out.py, plain.out.py);  // to the last bit
        }
    }
}

TEST(GodaReport, EightLinesPerPointInTheirFormats) {
    GodaCase c;  // the window's defaults
    GodaResult r;
    RunGoda(c, r);
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.out.lines.size(), 24u);
    const char* expected[8] = {
        R"(h = [246]m )",
        R"(  rms波高 Hrms =\d+\.\d{3}m)",
        R"(  平均波高 Hm =\d+\.\d{3}m)",
        R"(  有義波高 Hs =\d+\.\d{3}m \(Ks=\d\.\d{3}\))",
        R"(  最大波高 H1/10 =\d+\.\d{3}m, H1/100 =\d+\.\d{3}m)",
        R"(  砕波による有義波高の減衰 =-?\d+\.\d％)",
        R"(  ﾗｼﾞｴｰｼｮﾝｽﾄﾚｽによる水位上昇η=-?\d+\.\d{3}m)",
        R"(  ｻｰﾌﾋﾞｰﾄによる水位変動ζrms =\d\.\d{3}m)",
    };
    for (std::size_t i = 0; i < r.out.lines.size(); ++i)
        EXPECT_TRUE(std::regex_match(r.out.lines[i], std::regex(expected[i % 8]))) << r.out.lines[i];
    EXPECT_EQ(r.out.lines[0], "h = 6m ");
    EXPECT_EQ(r.out.lines[16], "h = 2m ");
    // Shoreward the breaking takes a growing share of the significant height.
    EXPECT_LT(Field(r.out.lines, 0, "減衰 ="), Field(r.out.lines, 16, "減衰 ="));
}

TEST(GodaMarch, PlaneBeachShoalsBreaksAndSetsUp) {
    // 1:50 beach, H0 = 2.78 m, T = 9 s (H0/L0 = 0.022).
    GodaCase c;
    c.slope = 0.02;
    c.display = 2;  // H1/3
    c.points = "";
    c.record = true;
    c.offshore = 200;
    GodaResult r;
    RunGoda(c, r);
    ASSERT_TRUE(r.ok);
    const auto& h = r.out.px;
    const auto& hs = r.out.py;
    ASSERT_GT(hs.size(), 100u);
    const double H0 = r.run.OffshoreHeight;
    const auto peak = std::max_element(hs.begin(), hs.end()) - hs.begin();
    // Shoaling first: the peak lies in the surf zone, above H0 and above the value at
    // h = 20 m; then decay to a small height near the waterline.
    EXPECT_GT(hs[peak], H0);
    EXPECT_GT(h[peak], 1.0 * H0);
    EXPECT_LT(h[peak], 4.0 * H0);
    EXPECT_LT(hs.back(), 0.3 * hs[peak]);

    // Goda's approximate formulas fitted to this model (Goda 2000, "Random Seas and
    // Design of Maritime Structures", sec. 3.6): H1/3 = min(b0 H0 + b1 h, bmax H0, Ks H0)
    // with b0 = 0.028 (H0/L0)^-0.38 exp(20 tan^1.5), b1 = 0.52 exp(4.2 tan),
    // bmax = max(0.92, 0.32 (H0/L0)^-0.29 exp(2.4 tan)). They hold to about 10 %.
    const double steep = H0 / r.run.DeepWaterLength, tan = 0.02;
    const double b0 = 0.028 * std::pow(steep, -0.38) * std::exp(20 * std::pow(tan, 1.5));
    const double b1 = 0.52 * std::exp(4.2 * tan);
    const double bmax = std::max(0.92, 0.32 * std::pow(steep, -0.29) * std::exp(2.4 * tan));
    for (std::size_t i = 0; i < h.size(); ++i) {
        if (h[i] > 6.0 || h[i] < 1.0) continue;
        const double approx = std::min(b0 * H0 + b1 * h[i], bmax * H0);
        EXPECT_NEAR(hs[i] / approx, 1.0, 0.12) << "h = " << h[i];
    }

    // Set-down outside the surf zone, set-up rising shoreward inside it.
    const auto& eta = r.run.RecordedSetup;
    const auto lowest = std::min_element(eta.begin(), eta.end()) - eta.begin();
    EXPECT_LT(eta[lowest], 0.0);
    EXPECT_GT(eta.back(), 0.05 * H0);
    for (std::size_t i = lowest + 1; i < eta.size(); ++i) EXPECT_GE(eta[i], eta[i - 1] - 1e-9);
}

TEST(GodaMarch, PointOnAProfileVertexIsReported) {
    // 1:20 up to 100 m, then 1:50. The point at 100 m lies on the vertex; its values lie
    // between those just offshore (1:50) and just shoreward (1:20) of it.
    const std::string path =
        WriteProfile("goda_vertex.csv", "x,h\r\n0,0\r\n100,5\r\n2000,43\r\n3000,80\r\n");
    for (bool interactive : {true, false}) {
        GodaCase c;
        c.profile = path;
        c.offshore = 3000;
        c.interactive = interactive;
        GodaResult on, off, in;
        c.points = "100,40";
        RunGoda(c, on);
        c.points = "100.01,40";
        RunGoda(c, off);
        c.points = "99.99,40";
        RunGoda(c, in);
        ASSERT_TRUE(on.ok && off.ok && in.ok);
        const auto between = [](double v, double a, double b) {
            return std::min(a, b) - 2e-3 <= v && v <= std::max(a, b) + 2e-3;
        };
        if (interactive) {
            ASSERT_EQ(on.out.lines.size(), 16u);
            EXPECT_EQ(on.out.lines[0], "X = 100m ");
            for (const char* key : {"Hrms =", "Hs =", "η="}) {
                const double v = Field(on.out.lines, 0, key);
                EXPECT_TRUE(between(v, Field(off.out.lines, 0, key), Field(in.out.lines, 0, key)))
                    << key << v;
            }
        } else {
            ASSERT_GT(on.run.EstimatedHeight[0], 0.0);
            EXPECT_TRUE(between(on.run.EstimatedHeight[0], off.run.EstimatedHeight[0],
                                in.run.EstimatedHeight[0]));
        }
    }
}

TEST(GodaMarch, ServiceRunsStopEarlyAndLeaveDryPointsUnreached) {
    GodaCase c;
    c.interactive = false;
    c.record = true;
    GodaResult r;
    RunGoda(c, r);
    ASSERT_TRUE(r.ok);
    for (double H : r.run.EstimatedHeight) EXPECT_GT(H, 0.0);
    EXPECT_TRUE(r.out.lines.empty() && r.out.px.empty());
    // The march stopped at the step centred on the last point (2 m deep, 20 m out).
    EXPECT_NEAR(r.run.RecordedDistance.back(), 20.0, 1.5);

    // At a tide of -1 m the point 0.5 m below mean sea level is dry.
    c.points = "0.5,2";
    c.tide = -1;
    RunGoda(c, r);
    ASSERT_TRUE(r.ok);
    EXPECT_GT(r.run.EstimatedHeight[0], 0.0);
    EXPECT_EQ(r.run.EstimatedHeight[1], -1.0);
}

TEST(GodaMarch, ReverseSlopeAndCancelAreRefused) {
    const std::string path =
        WriteProfile("goda_reverse.csv", "x,h\r\n0,0\r\n50,4\r\n80,3\r\n300,12\r\n");
    ShoalingRun run(PhysicalConstants{});
    run.Inputs.Method = 1;
    run.Inputs.ProfileMode = 1;
    run.Inputs.ProfileFile = path;
    run.DepthColumn = 1;
    run.SetOffshoreWave(2.78, 9);
    run.ParseEstimationPoints("");
    Recorder out;
    ScriptedPrompter prompter;
    EXPECT_FALSE(run.PrepareRun(out, prompter).ok);
    ASSERT_EQ(prompter.Texts().size(), 1u);
    EXPECT_EQ(prompter.Texts()[0], "選択した計算方法は逆勾配斜面には適用できません。");

    GodaCase c;
    GodaResult r;
    RunGoda(c, r);
    NullProgress cancelled;
    cancelled.cancelled = true;
    r.out = Recorder{};
    EXPECT_FALSE(r.run.RunModel(r.run.EstimationValues, 0, r.out, cancelled, r.prompter));
    EXPECT_TRUE(r.out.lines.empty() && r.out.px.empty());
}

TEST(GodaMarch, RmsHeightAndPeakPeriodAreConverted) {
    // An rms height of 1.0 is a significant height of 1.416; a peak period of 9 s a
    // significant period of 9 x 0.93 s.
    ShoalingRun run(PhysicalConstants{});
    run.Inputs.Method = 1;
    run.Inputs.HeightKind = 1;
    run.Inputs.PeriodKind = 1;
    run.SetOffshoreWave(1.0, 9.0);
    EXPECT_DOUBLE_EQ(run.OffshoreHeight, 1.416);
    EXPECT_DOUBLE_EQ(run.Period, 9.0 * 0.93);
}
