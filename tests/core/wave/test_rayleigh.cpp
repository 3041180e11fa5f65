#include <cmath>
#include <string>
#include <gtest/gtest.h>
#include "core/runtime/Errors.h"
#include "core/runtime/NumberText.h"
#include "core/wave/Rayleigh.h"

using namespace orvane;

namespace {

std::string G7(long double v) { return FormatGeneral(static_cast<double>(v), 7); }

// Mean of the amplitudes above Ap in closed form, for the scale a.
double ClosedFormTailMean(double Ap, double a, double p) {
    double u0 = Ap / a;
    return a * (u0 * std::exp(-u0 * u0) + std::sqrt(M_PI) / 2 * std::erfc(u0)) / p;
}

long double Power16(long double x) { return std::pow(x, 16.0L); }
long double InverseSqrt(long double x) { return 1 / std::sqrt(x); }

}  // namespace

TEST(Rayleigh, PublishedExamplesToSevenDigits) {
    struct Case { double a, p; const char* Ap; const char* mean; };
    const Case cases[] = {
        {1, 0.1, "1.517427", "1.799806"},
        {2, 0.1, "3.034854", "3.599611"},
        {1, 0.01, "2.145966", "2.358827"},
        {1, 0.5, "0.8325546", "1.256243"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "a=" << c.a << " p=" << c.p);
        RayleighResult r = ComputeRayleigh(c.a, c.p, RayleighReference::Rms);
        EXPECT_EQ(G7(r.Ap), c.Ap);
        EXPECT_EQ(G7(r.mean), c.mean);
    }
    EXPECT_EQ(RayleighReport(ComputeRayleigh(1, 0.1, RayleighReference::Rms)),
              "上側確率pの振幅Ap = 1.517427\n>Apの平均振幅 = 1.799806");
    // A significant value 1.416 is the rms value 1.
    EXPECT_EQ(RayleighReport(ComputeRayleigh(1.416, 0.1, RayleighReference::Significant)),
              "上側確率pの振幅Ap = 1.517427\n>Apの平均振幅 = 1.799806");

    // p = 1: Ap about halves at each step, some thirty of them; the mean is √π/2.
    int steps = 0;
    long double Ap = ExceedanceAmplitude(1, 1, &steps);
    EXPECT_TRUE(Ap > 0 && Ap < 1e-10L);
    EXPECT_TRUE(steps > 25 && steps < 40) << steps;
    EXPECT_EQ(G7(MeanAmplitudeAbove(Ap, 1, 1)), "0.8862269");
    // The stop is absolute, in the units of a, for a small a too.
    EXPECT_EQ(G7(ExceedanceAmplitude(1, 0.01L)), "8.285087E-11");
}

TEST(Rayleigh, ExceedanceAmplitudeMatchesClosedFormAndScales) {
    for (double p : {0.9, 0.1, 1e-4, 1e-8}) {
        for (double a : {1.0, 7.5, 1e12, 1e300}) {
            SCOPED_TRACE(testing::Message() << "a=" << a << " p=" << p);
            int steps = 0;
            long double Ap = ExceedanceAmplitude(p, a, &steps);
            // Far in the tail the extended-precision integral limits Ap to about 1e-12.
            EXPECT_NEAR(static_cast<double>(Ap / a), std::sqrt(std::log(1 / p)), 5e-12);
            EXPECT_LT(steps, 100);
        }
    }
    int steps = 0;
    ExceedanceAmplitude(0.1L, 1.0L, &steps);
    EXPECT_LE(steps, 8);  // about six Newton steps in the typical case
}

TEST(Rayleigh, MidpointTailMeanAgreesWithClosedForm) {
    for (double p : {0.9, 0.5, 0.1, 0.01}) {
        for (double a : {0.5, 1.0, 3.0}) {
            SCOPED_TRACE(testing::Message() << "a=" << a << " p=" << p);
            long double Ap = ExceedanceAmplitude(p, a);
            double exact = ClosedFormTailMean(static_cast<double>(Ap), a, p);
            double sum = static_cast<double>(MeanAmplitudeAbove(Ap, a, p));
            EXPECT_NEAR(sum / exact - 1, 0, 2e-4);
        }
    }
    // The midpoint sum, not the closed form, is what the window shows.
    EXPECT_EQ(FormatGeneral(ClosedFormTailMean(std::sqrt(std::log(10.0)), 1, 0.1), 7), "1.799918");
}

TEST(Rayleigh, QuadratureIsExactForPolynomialsAndAccurateForTheDistribution) {
    // Nine nodes integrate degree 17 exactly; this catches a mistyped node or weight.
    EXPECT_NEAR(static_cast<double>(GaussLegendre9(Power16, -1, 1)), 2.0 / 17, 1e-17);
    EXPECT_NEAR(static_cast<double>(GaussLegendre9(Power16, 0, 2) / (131072.0L / 17)), 1, 1e-17);
    for (double x : {0.1, 0.8, 1.5, 3.0, 6.0}) {
        long double F = RayleighDistribution(x, 1.5L);
        long double exact = 1 - std::exp(-(x / 1.5L) * (x / 1.5L));
        EXPECT_LT(std::fabs(F - exact), 1e-17L) << "x=" << x;
    }
    EXPECT_EQ(RayleighDistribution(0, 1), 0);
    EXPECT_EQ(RayleighDistribution(-2, 1), 0);
}

TEST(Rayleigh, UnguardedInputsEndWithAnErrorNotAHang) {
    EXPECT_THROW(AdaptiveGauss9(InverseSqrt, 0, 1), EConvergence);
    // Called without the input checks, a negative p drives the amplitude out until the
    // integration would need unbounded subdivision; p > 1 has no root either.
    EXPECT_THROW(ExceedanceAmplitude(-1, 1), OrvaneError);
    EXPECT_THROW(ExceedanceAmplitude(1.5, 1), OrvaneError);
}

TEST(Rayleigh, OutOfRangeInputsAreRefusedBeforeComputing) {
    try {
        ComputeRayleigh(0, 0.1, RayleighReference::Rms);
        ADD_FAILURE() << "a = 0 accepted";
    } catch (const EInvalidOp& e) {
        EXPECT_STREQ(e.what(), "不正な浮動小数点数演算命令");
    }
    // A negative p ran the amplitude out into an unbounded subdivision; p = 0 and p > 1
    // have no root at all.
    const std::pair<double, double> bad[] = {
        {-1, 0.1}, {1, -0.5}, {1, 0}, {1, 1.5}, {1, NAN}, {NAN, 0.1}, {INFINITY, 0.1}};
    for (auto [a, p] : bad) {
        SCOPED_TRACE(testing::Message() << "a=" << a << " p=" << p);
        try {
            ComputeRayleigh(a, p, RayleighReference::Rms);
            ADD_FAILURE() << "accepted";
        } catch (const OrvaneError& e) {
            std::string text = e.what();
            EXPECT_TRUE(text.find("基準データ") != std::string::npos ||
                        text.find("上側確率") != std::string::npos) << text;
        }
    }
}
