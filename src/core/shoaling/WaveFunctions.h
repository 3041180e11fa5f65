#pragma once
// Linear-wave functions shared by the shoaling models, and the radiation-stress balance
// that carries the mean water level from one computation point to the next.
//
// Notation (SI): H height (m), T period (s), h still-water depth (m), k wavenumber
// (rad/m), kh dimensionless depth, eta mean water level above still water (m),
// Sxx radiation stress (N/m), Cg group velocity (m/s).

#include "core/runtime/MathConstants.h"

namespace orvane {

// Sxx / (rho g H^2) = (2n - 1/2) / 8 with n = 1/2 + kh / sinh(2kh), for kh > 0.
// Tends to 1/16 in deep water and 3/16 in shallow water. kh <= 0 gives the shallow limit
// (kh / sinh(2kh) -> 1/2), so that a zero mid-point depth never divides by zero here.
double RadiationStressFactor(double kh);

// Cg = (kh / sinh(2kh) + 1/2) * 2 pi / (k T), with k = WaveNumber(T, h, g).
// h <= 0 or T <= 0 raise the wavenumber solver's arithmetic errors.
double GroupVelocity(double h, double T, double g);
// The same with k = WaveNumber(T, h, g) already at hand (same bits).
double GroupVelocityOfK(double k, double h, double T);

// Fixed-point iteration of the set-up balance over one step:
//     eta1 = eta0 - F / ((eta0 + eta1)/2 + hm) * (H1^2 - H0^2)
// F: RadiationStressFactor of the step; hm: mean still-water depth of the step (tide
// included); eta0, H0: the previous point; H1: the new height; start: first guess of eta1.
// Stops when two successive values differ by less than `tolerance`. A total depth of
// zero raises EZeroDivide; more than `maxPasses` passes raise EConvergence.
inline constexpr int kSetupPassCap = 10000;
double SetupBalance(double F, double hm, double eta0, double H0, double H1, double start,
                    double tolerance, int maxPasses = kSetupPassCap);

}  // namespace orvane
