#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>
#include <gtest/gtest.h>
#include "core/runtime/Errors.h"
#include "core/velocity/BottomVelocity.h"
#include "core/wave/WaveNumber.h"

using namespace orvane;

namespace {

constexpr double g = 9.80665;

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

double Ursell(double h, double H, double T) { return (T / h) * (T / h) * g * H; }

// Urms² = ∫ (2πf / sinh kh)² S(f) df over frequency, with the JONSWAP spectrum written
// out independently and a fine trapezoid rule.
double FrequencyDomainUrms(double Tp, double Hrms, double h) {
    const double Hs = 1.416 * Hrms, fp = 1 / Tp;
    double sum = 0, prev = 0;
    const double df = fp / 2000;
    for (int i = 1; i <= 40000; ++i) {
        double f = i * df;
        double sigma = f <= fp ? 0.07 : 0.09;
        double S = 0.205 * Hs * Hs * std::pow(Tp, -4) * std::pow(f, -5) *
                   std::exp(-1.25 * std::pow(Tp * f, -4)) *
                   std::pow(3.3, std::exp(-(f / fp - 1) * (f / fp - 1) / (2 * sigma * sigma)));
        double kh = WaveNumber(1 / f, h, g) * h;
        double y = (kh > 10 || kh < 0.01) ? 0 : std::pow(2 * M_PI * f / std::sinh(kh), 2) * S;
        sum += (prev + y) / 2 * df;
        prev = y;
    }
    return std::sqrt(sum);
}

}  // namespace

TEST(BottomVelocity, StartUpInputsSingleWave) {
    SingleWaveResult r = ComputeSingleWave(5, 3, 10, 0, g);
    EXPECT_FALSE(r.broken);
    EXPECT_NEAR(r.Hb, 3.718, 5e-4);
    EXPECT_NEAR(r.Ur, 117.7, 0.05);
    EXPECT_NEAR(r.H0, 2.402, 5e-4);
    EXPECT_EQ(FormatSingleWaveReport(r),
              "微小振幅波理論による流速全振幅（最大流速）\n"
              "　①単純に求めた場合：3.918(1.959) m/s\n"
              "　②伝達関数を補正した場合Uac：3.213m/s\n"
              "\n"
              "磯部・堀川(1981)の式：\n"
              "　流速全振幅　　　　：3.619m/s\n"
              "　最大岸方向流速　　：2.900m/s\n"
              "　岸方向流速継続時間：1.99s");
    // The search keeps the last height whose shoaled value did not exceed H.
    EXPECT_LE(NonlinearShoalingCoefficient(r.H0, 5, 10, g) * r.H0, 3.0);
    EXPECT_GT(NonlinearShoalingCoefficient(r.H0 + 1e-4, 5, 10, g) * (r.H0 + 1e-4), 3.0);
}

TEST(BottomVelocity, StartUpInputsRandomSea) {
    PhysicalConstants c;
    EXPECT_EQ(RandomWaveReport(5, 3, 10, c),
              "有義流速振幅Us =1.904m/s\n"
              "rms流速振幅 Um =1.345m/s\n"
              "rms流速　　Urms =0.951m/s");
}

TEST(BottomVelocity, HeightAtBreakerLimitIsUnbrokenJustAboveBreaks) {
    const double Hb = ComputeSingleWave(5, 3, 10, 0, g).Hb;
    SingleWaveResult at = ComputeSingleWave(5, Hb, 10, 0, g);
    EXPECT_FALSE(at.broken);
    EXPECT_TRUE(Contains(FormatSingleWaveReport(at), "磯部・堀川(1981)の式："));

    const double above = std::nextafter(Hb, 10.0);
    SingleWaveResult br = ComputeSingleWave(5, above, 10, 0, g);
    ASSERT_TRUE(br.broken);
    std::string text = FormatSingleWaveReport(br);
    EXPECT_FALSE(Contains(text, "磯部・堀川"));
    EXPECT_TRUE(Contains(text, "\n\n波高が砕波限界(合田,1975;A=0.17)を超えています。\n"));
    EXPECT_NEAR(br.Ud, 0.3 * std::sqrt(g * (5 + above)), 1e-12);
    char expected[128];
    std::snprintf(expected, sizeof expected, "  最大流速(Denny,1995)：%.3fm/s\n  最大流速(0.65Uac）　：%.3fm/s\n",
                  br.Ud, 0.65 * br.Uac);
    EXPECT_TRUE(text.size() > 2 && text.compare(text.size() - std::strlen(expected), std::string::npos, expected) == 0)
        << text;
}

TEST(BottomVelocity, UrsellThirtyUsesLinearShoaling) {
    const double h = 5, T = 10;
    double H = 30 / ((T / h) * (T / h) * g);
    while (Ursell(h, H, T) > 30) H = std::nextafter(H, 0.0);
    while (Ursell(h, std::nextafter(H, 1.0), T) <= 30) H = std::nextafter(H, 1.0);
    ASSERT_EQ(Ursell(h, H, T), 30.0);

    const double kh = WaveNumber(T, h, g) * h, t = std::tanh(kh);
    const double linear = H * std::sqrt(t + (1 - t * t) * kh);
    EXPECT_DOUBLE_EQ(EquivalentDeepWaterHeight(h, H, T, g), linear);
    EXPECT_DOUBLE_EQ(ComputeSingleWave(h, H, T, 0, g).H0, linear);
    // One step above, the nonlinear search takes over (a result on its 1e-4 grid).
    const double searched = EquivalentDeepWaterHeight(h, std::nextafter(H, 1.0), T, g);
    EXPECT_NE(searched, linear);
    EXPECT_NEAR(searched, std::round(searched * 1e4) / 1e4, 1e-12);
}

TEST(BottomVelocity, SlopeCorrectsOnsetRatiosOnlyWhenPositive) {
    SingleWaveResult flat = ComputeSingleWave(5, 2, 10, 0, g);
    EXPECT_DOUBLE_EQ(flat.R1 + flat.R2, 1.0);
    EXPECT_DOUBLE_EQ(flat.Umax, flat.R1 * flat.Uc);
    EXPECT_DOUBLE_EQ(flat.Tc, flat.R2 * 10);

    SingleWaveResult steep = ComputeSingleWave(5, 2, 10, 0.05, g);
    EXPECT_LT(std::fabs(steep.R1 - 0.5), std::fabs(flat.R1 - 0.5));  // tanh pulls towards 0.5
    EXPECT_NE(steep.R1 + steep.R2, 1.0);
    // The slope only enters R1/R2 and the breaker height; amplitudes stay.
    EXPECT_DOUBLE_EQ(steep.Uc, flat.Uc);
    // A vanishing slope makes m huge: the correction tends to the identity for R1.
    SingleWaveResult gentle = ComputeSingleWave(5, 2, 10, 1e-9, g);
    EXPECT_NEAR(gentle.R1, flat.R1, 1e-6);
}

TEST(BottomVelocity, RandomSeaRelationsAndIndependentIntegration) {
    for (double h : {2.0, 5.0, 12.0, 30.0}) {
        for (double Tp : {4.0, 8.0, 10.753, 16.0}) {
            SCOPED_TRACE(testing::Message() << "h=" << h << " Tp=" << Tp);
            RandomVelocity v = RandomWaveVelocity(Tp, 1.0, h, g);
            const double Um = std::sqrt(2.0) * v.Urms;
            EXPECT_NEAR(v.Us / (1.416 * Um), 1, 1e-15);
            // The fixed grid (ΔK = 0.05) resolves the peak when kh there is not small.
            const double peakKh = WaveNumber(Tp, h, g) * h;
            EXPECT_NEAR(v.Urms / FrequencyDomainUrms(Tp, 1.0, h), 1, peakKh >= 0.5 ? 0.01 : 0.08);
            // Linear in the height.
            EXPECT_NEAR(RandomWaveVelocity(Tp, 2.5, h, g).Urms / v.Urms, 2.5, 1e-12);
        }
    }
    EXPECT_EQ(RandomWaveVelocity(10, 0, 5, g).Urms, 0);
}

TEST(BottomVelocity, RandomVelocityBoundHoldsAndStaysClose) {
    // From a ripple in a puddle to a long swell in deep water: never below the velocity,
    // and, wherever the flow is more than a trickle, close enough above it to rule most
    // points of a profile out.
    double loosest = 1;
    for (double Tp : {1.0, 3.0, 6.0, 10.753, 16.0, 25.0}) {
        for (double h = 0.01; h < 500; h *= 1.13) {
            const double exact = RandomWaveVelocity(Tp, 0.7, h, g).Urms;
            const double bound = RandomWaveVelocityBound(Tp, 0.7, h, g);
            ASSERT_GE(bound, exact) << "Tp=" << Tp << " h=" << h;
            if (exact > 1e-4) loosest = std::max(loosest, bound / exact);
        }
    }
    EXPECT_LT(loosest, 3.5);
    EXPECT_EQ(RandomWaveVelocityBound(10, 0, 5, g), 0);
    EXPECT_THROW(RandomWaveVelocityBound(10, 1, 0, g), EZeroDivide);
    EXPECT_THROW(RandomWaveVelocityBound(10, 1, -1, g), EInvalidOp);
    EXPECT_THROW(RandomWaveVelocityBound(NAN, 1, 5, g), EInvalidOp);
}

TEST(BottomVelocity, RandomWaveVelocityHasNoSharedState) {
    const RandomVelocity ref = RandomWaveVelocity(10.753, 2.1, 5, g);
    std::vector<int> mismatches(4, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 1000; ++i) {
                RandomWaveVelocity(3 + t + i % 7, 0.5, 2 + i % 5, g);
                if (RandomWaveVelocity(10.753, 2.1, 5, g).Urms != ref.Urms) ++mismatches[t];
            }
        });
    for (auto& th : threads) th.join();
    EXPECT_EQ(mismatches, std::vector<int>(4, 0));
}

TEST(BottomVelocity, UndefinedArithmeticRaisesTheFloatingPointErrors) {
    EXPECT_THROW(ComputeSingleWave(0, 3, 10, 0, g), EZeroDivide);
    EXPECT_THROW(ComputeSingleWave(5, 3, 0, 0, g), EZeroDivide);
    EXPECT_THROW(ComputeSingleWave(5, 3, 10, -0.01, g), EInvalidOp);
    EXPECT_THROW(ComputeSingleWave(5, 0, 10, 0, g), EZeroDivide);     // log10(0), unbroken
    EXPECT_THROW(ComputeSingleWave(5, -1, 10, 0, g), EInvalidOp);
    EXPECT_THROW(ComputeSingleWave(-5, 3, 10, 0, g), OrvaneError);
    EXPECT_THROW(ComputeSingleWave(NAN, 3, 10, 0, g), EInvalidOp);
    EXPECT_THROW(RandomWaveVelocity(0, 1, 5, g), EZeroDivide);
    EXPECT_THROW(RandomWaveVelocity(10, 1, 0, g), EZeroDivide);
    EXPECT_THROW(RandomWaveVelocity(10, 1, -5, g), EInvalidOp);
    EXPECT_THROW(RandomWaveVelocity(10, -1, 5, g), EInvalidOp);
    EXPECT_THROW(RandomWaveVelocity(NAN, 1, 5, g), EInvalidOp);
    PhysicalConstants c;
    c.RTp = 0;
    EXPECT_THROW(RandomWaveReport(5, 3, 10, c), EZeroDivide);
}

TEST(BottomVelocity, IterationsEndWithAnErrorInsteadOfRunningOn) {
    // A zero deep-water height makes the h30 Newton step halve x for ever.
    EXPECT_THROW(NonlinearShoalingCoefficient(0, 5, 10, g), OrvaneError);
    // Extreme but valid inputs still finish.
    for (double H : {1e-12, 1e-6, 0.01, 0.5}) {
        SCOPED_TRACE(H);
        SingleWaveResult r = ComputeSingleWave(1e-3 + H, H, 20, 0, g);
        EXPECT_TRUE(std::isfinite(r.U0));
    }
}
