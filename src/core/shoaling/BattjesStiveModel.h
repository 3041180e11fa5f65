#pragma once
// Battjes and Stive (1985), after Battjes and Janssen (1978): random waves carried by the
// energy-flux balance, dissipated by the fraction Qb of breaking waves as bores, with a
// local maximum height from a tanh breaker criterion and the mean water level from the
// radiation-stress balance entering the depth.
//
// Notation (SI): H rms height (m), Hm maximum height (m), d total depth (m, tide and
// set-up included), T spectral peak period (s), k wavenumber (rad/m), L0 deep-water wave
// length (m), rho density (kg/m^3), g gravity (m/s^2), D dissipation (W/m^2).
#include "core/shoaling/ShoalingModels.h"

namespace orvane {

// gamma = 0.5 + 0.4 tanh(33 H0/L0), the offshore steepness dependence of Battjes and
// Stive (1985).
double BSBreakerParameter(double H0, double L0);

// Hm = (0.88/k) tanh(gamma k d / 0.88) at total depth d for period T.
double BSBreakerHeight(double gamma, double d, double T, double g);
// The same with k = WaveNumber(T, d, g) already at hand (same bits).
double BSBreakerHeightOfK(double gamma, double k, double d);

// Qb from (1 - Qb)/ln Qb = -(H/Hm)^2, Newton from 0.5 until |dQ| < 1e-5.
double BSBreakingFraction(double H, double Hm);

// D = 0.25 Qb rho g Hm^2 / T at total depth d for rms height H (the run's constants,
// Period and offshore steepness).
double BSDissipation(const ShoalingRun& run, double gamma, double H, double d);

}  // namespace orvane
