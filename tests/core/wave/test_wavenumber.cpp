#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>
#include <string>

#include "core/runtime/Errors.h"
#include "core/wave/CsvField.h"
#include "core/wave/WaveNumber.h"

using namespace orvane;

namespace {

constexpr double kG = 9.80665;
constexpr double kPi = 3.14159265358979323846;

// Bisection on the dispersion relation: slow, but shares nothing with Newton.
double ReferenceK(double T, double h, double g) {
    double sigma2 = std::pow(2 * kPi / T, 2);
    double lo = 0, hi = 1;
    while (g * hi * std::tanh(hi * h) < sigma2) hi *= 2;
    for (int i = 0; i < 200; ++i) {
        double mid = 0.5 * (lo + hi);
        (g * mid * std::tanh(mid * h) < sigma2 ? lo : hi) = mid;
    }
    return 0.5 * (lo + hi);
}

}  // namespace

TEST(WaveNumber, ReferenceCasesAndStepCounts) {
    struct Case { double T, h, k; int steps; };
    for (Case c : {Case{10, 10, 0.06803, 4}, Case{5, 1000, 0.16103, 1}, Case{10, 0.1, 0.6349, 8}}) {
        int steps = -1;
        double k = WaveNumber(c.T, c.h, kG, &steps);
        EXPECT_NEAR(k, c.k, 5e-5) << c.T << " " << c.h;
        EXPECT_EQ(steps, c.steps) << c.T << " " << c.h;
        EXPECT_NEAR(k, ReferenceK(c.T, c.h, kG), 1e-5 * k);
    }
    EXPECT_NEAR(2 * kPi / WaveNumber(10, 10, kG), 92.36, 0.005);
    // Deep water: the deep-water value; shallow water: close to sigma / sqrt(g h).
    EXPECT_NEAR(WaveNumber(5, 1000, kG), std::pow(2 * kPi / 5, 2) / kG, 1e-9);
    EXPECT_NEAR(WaveNumber(10, 0.1, kG), (2 * kPi / 10) / std::sqrt(kG * 0.1), 0.005);
}

TEST(WaveNumber, AgreesWithBisectionOverTheRangeOfUse) {
    for (double T : {0.5, 2.0, 8.0, 20.0, 300.0})
        for (double h : {1e-4, 0.5, 5.0, 50.0, 5000.0}) {
            int steps = 0;
            double k = WaveNumber(T, h, kG, &steps);
            EXPECT_NEAR(k, ReferenceK(T, h, kG), 2e-5 * k) << T << " " << h;
            EXPECT_LT(steps, 40);
        }
    // The gravity passed in is the one used.
    EXPECT_NEAR(WaveNumber(10, 10, 9.81), ReferenceK(10, 10, 9.81), 1e-6);
}

TEST(WaveNumber, BadInputsRaiseInsteadOfHanging) {
    EXPECT_THROW(WaveNumber(0, 10, kG), EZeroDivide);
    EXPECT_THROW(WaveNumber(10, 0, kG), EZeroDivide);
    EXPECT_THROW(WaveNumber(10, 10, 0), EZeroDivide);
    EXPECT_THROW(WaveNumber(10, -1, kG), EInvalidOp);
    EXPECT_THROW(WaveNumber(-10, 10, kG), EInvalidOp);
    EXPECT_THROW(WaveNumber(10, 10, -kG), EInvalidOp);
    EXPECT_THROW(WaveNumber(std::nan(""), 10, kG), EInvalidOp);
    // Every depth that Newton can follow within the doubles converges, however small.
    for (double h : {1e-300, 1e-306}) {
        int steps = 0;
        double k = WaveNumber(10, h, kG, &steps);
        EXPECT_NEAR(k, (2 * kPi / 10) / std::sqrt(kG * h), 1e-5 * k) << h;
        EXPECT_GT(steps, 300);
    }
    // Depths so small that Newton leaves the range of a double end in an error, not a loop.
    EXPECT_THROW(WaveNumber(10, 1e-320, kG), OrvaneError);
    EXPECT_THROW(WaveNumber(1e-160, 10, kG), EOverflow);
    try {
        WaveNumber(10, 0, kG);
    } catch (const OrvaneError& e) {
        EXPECT_STREQ(e.what(), "0 による浮動小数点数除算");
    }
}

TEST(GetCSVField, FieldsQuotesAndLimits) {
    const std::string line = "1.5,\"10\",x";
    EXPECT_EQ(GetCSVField(line, 1), "1.5");
    EXPECT_EQ(GetCSVField(line, 2), "10");
    EXPECT_EQ(GetCSVField(line, 3), "x");
    EXPECT_EQ(GetCSVField(line, 4), "");
    EXPECT_EQ(GetCSVField(line, 0), "");
    EXPECT_EQ(GetCSVField(line, -1), "");
    EXPECT_EQ(GetCSVField("no commas here", 1), "no commas here");
    EXPECT_EQ(GetCSVField("no commas here", 2), "");
    // No CSV quoting rules: a quoted comma still separates, blanks stay, empty stays empty.
    EXPECT_EQ(GetCSVField("\"a,b\",c", 1), "a");
    EXPECT_EQ(GetCSVField("\"a,b\",c", 2), "b");
    EXPECT_EQ(GetCSVField(" a ,,c", 1), " a ");
    EXPECT_EQ(GetCSVField(" a ,,c", 2), "");
    EXPECT_EQ(GetCSVField("a,", 2), "");
    EXPECT_EQ(GetCSVField("x\"y\"z,1", 1), "xyz");

    std::string many;
    for (int i = 1; i <= 151; ++i) many += std::to_string(i) + (i < 151 ? "," : "");
    EXPECT_EQ(GetCSVField(many, 100), "100");
    EXPECT_EQ(GetCSVField(many, 101), "101");
    EXPECT_EQ(GetCSVField(many, 102), "");
    EXPECT_EQ(GetCSVField("a,b", 101), "");
}

// The batch gives the scalar function's bits, and its errors, element by element.
TEST(WaveNumbers, EqualsTheScalarFunctionElementByElement) {
    std::vector<double> depths;
    for (int i = 0; i < 3000; ++i) depths.push_back(1e-3 * std::pow(1.01, i));
    for (double odd : {0.0, -1.0, double(NAN), double(INFINITY), 1e-300, 1e300, 5.0})
        depths.insert(depths.begin() + static_cast<long>(depths.size() / 2), odd);
    for (double T : {0.0, 1e-200, 0.5, 10.0, 1e200}) {
        std::vector<double> k(depths.size());
        std::vector<std::string> errors(depths.size());
        WaveNumbers({&T, 0}, {depths.data(), 1}, {&kG, 0}, k.data(), depths.size(),
                    [&](std::size_t i, std::exception_ptr e) {
                        try { std::rethrow_exception(e); } catch (const OrvaneError& x) { errors[i] = x.what(); }
                    });
        for (std::size_t i = 0; i < depths.size(); ++i) {
            std::string error;
            double expected = NAN;
            try {
                expected = WaveNumber(T, depths[i], kG);
            } catch (const OrvaneError& x) {
                if (!std::isnan(depths[i])) error = x.what();  // NaN in: NaN out, no error
            }
            ASSERT_EQ(errors[i], error) << T << " " << depths[i];
            if (std::isnan(expected)) ASSERT_TRUE(std::isnan(k[i]));
            else ASSERT_EQ(std::memcmp(&k[i], &expected, sizeof expected), 0) << T << " " << depths[i];
        }
    }
}
