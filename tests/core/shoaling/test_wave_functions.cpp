#include <cmath>
#include <gtest/gtest.h>
#include "core/runtime/Errors.h"
#include "core/shoaling/WaveFunctions.h"

namespace orvane {
namespace {

constexpr double g = 9.80665;

TEST(RadiationStressFactor, TendsToItsDeepAndShallowLimits) {
    EXPECT_NEAR(RadiationStressFactor(30.0), 1.0 / 16.0, 1e-12);
    EXPECT_NEAR(RadiationStressFactor(1e-4), 3.0 / 16.0, 1e-8);
    // Sxx = E (2n - 1/2) with E = rho g H^2 / 8; at kh = 1, n = 1/2 + 1/sinh 2.
    const double n = 0.5 + 1.0 / std::sinh(2.0);
    EXPECT_NEAR(RadiationStressFactor(1.0), (2 * n - 0.5) / 8.0, 1e-14);
    // Huge and zero kh stay finite (no overflow of sinh, no 0/0).
    EXPECT_DOUBLE_EQ(RadiationStressFactor(1e6), 1.0 / 16.0);
    EXPECT_DOUBLE_EQ(RadiationStressFactor(0.0), 3.0 / 16.0);
}

TEST(GroupVelocity, IsHalfThePhaseSpeedInDeepWaterAndSqrtGhInShallowWater) {
    const double T = 8.0;
    EXPECT_NEAR(GroupVelocity(1000.0, T, g), g * T / (4 * M_PI), 1e-4);
    // Shallow: kh is about 0.08 here, and Cg = sqrt(g h) (1 - (kh)^2/2 + ...).
    const double h = 0.1;
    EXPECT_NEAR(GroupVelocity(h, T, g), std::sqrt(g * h) * (1 - 0.0032), std::sqrt(g * h) * 2e-4);
    EXPECT_THROW(GroupVelocity(0.0, T, g), OrvaneError);
}

TEST(SetupBalance, ShoalingLowersAndBreakingRaisesTheMeanLevel) {
    const double F = RadiationStressFactor(0.5), hm = 3.0;
    const double down = SetupBalance(F, hm, 0.0, 1.0, 1.2, 0.0, 1e-4);
    const double up = SetupBalance(F, hm, 0.0, 1.2, 1.0, 0.0, 1e-4);
    EXPECT_LT(down, 0.0);
    EXPECT_GT(up, 0.0);
    // The result satisfies the balance it iterates, to the tolerance.
    EXPECT_NEAR(down, -F / (down / 2 + hm) * (1.44 - 1.0), 1e-4);
    // Equal heights: no change from the previous level.
    EXPECT_DOUBLE_EQ(SetupBalance(F, hm, 0.25, 1.0, 1.0, 0.25, 1e-4), 0.25);
}

TEST(SetupBalance, RaisesInsteadOfLoopingOrDividingByZero) {
    // A zero tolerance can never be met: the pass cap ends the loop.
    EXPECT_THROW(SetupBalance(0.1, 2.0, 0.0, 1.0, 1.5, 0.3, 0.0, 50), EConvergence);
    // Zero total depth of the step.
    EXPECT_THROW(SetupBalance(0.1, 0.0, 0.0, 1.0, 1.5, 0.0, 1e-4), EZeroDivide);
}

}  // namespace
}  // namespace orvane
