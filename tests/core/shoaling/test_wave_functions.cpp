#include <cmath>
#include <gtest/gtest.h>
#include "core/runtime/Errors.h"
#include "core/shoaling/WaveFunctions.h"

namespace orvane {
namespace {

constexpr double g = 9.80665;

TEST(WaveFunctions, RadiationStressAndGroupVelocityLimits) {
    EXPECT_NEAR(RadiationStressFactor(30.0), 1.0 / 16.0, 1e-12);
    EXPECT_NEAR(RadiationStressFactor(1e-4), 3.0 / 16.0, 1e-8);
    // Sxx = E (2n - 1/2) with E = rho g H^2 / 8; at kh = 1, n = 1/2 + 1/sinh 2.
    EXPECT_NEAR(RadiationStressFactor(1.0), (2 * (0.5 + 1 / std::sinh(2.0)) - 0.5) / 8, 1e-14);
    // No overflow of sinh, no 0/0.
    EXPECT_DOUBLE_EQ(RadiationStressFactor(1e6), 1.0 / 16.0);
    EXPECT_DOUBLE_EQ(RadiationStressFactor(0.0), 3.0 / 16.0);

    EXPECT_NEAR(GroupVelocity(1000.0, 8, g), g * 8 / (4 * M_PI), 1e-4);
    // Shallow: kh is about 0.08 here, and Cg = sqrt(g h) (1 - (kh)^2/2 + ...).
    EXPECT_NEAR(GroupVelocity(0.1, 8, g), std::sqrt(g * 0.1) * (1 - 0.0032), std::sqrt(g * 0.1) * 2e-4);
    EXPECT_THROW(GroupVelocity(0.0, 8, g), OrvaneError);
}

TEST(WaveFunctions, SetupBalanceSignsAndFailures) {
    const double F = RadiationStressFactor(0.5), hm = 3.0;
    const double down = SetupBalance(F, hm, 0.0, 1.0, 1.2, 0.0, 1e-4);
    EXPECT_LT(down, 0.0);  // shoaling: set-down
    EXPECT_GT(SetupBalance(F, hm, 0.0, 1.2, 1.0, 0.0, 1e-4), 0.0);  // breaking: set-up
    EXPECT_NEAR(down, -F / (down / 2 + hm) * (1.44 - 1.0), 1e-4);
    EXPECT_DOUBLE_EQ(SetupBalance(F, hm, 0.25, 1.0, 1.0, 0.25, 1e-4), 0.25);
    // A tolerance that cannot be met ends at the pass cap; a zero total depth divides by 0.
    EXPECT_THROW(SetupBalance(0.1, 2.0, 0.0, 1.0, 1.5, 0.3, 0.0, 50), EConvergence);
    EXPECT_THROW(SetupBalance(0.1, 0.0, 0.0, 1.0, 1.5, 0.0, 1e-4), EZeroDivide);
}

}  // namespace
}  // namespace orvane
