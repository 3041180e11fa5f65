#pragma once
// Thornton and Guza (1983): random waves carried shoreward by the energy-flux balance
// d(E Cg)/dx = -eps_b, with E = rho g Hrms^2 / 8 and the dissipation of breaking waves
// modelled as bores over a Rayleigh distribution of heights weighted towards the largest.
//
// Notation (SI): H rms height (m), h still-water depth (m, tide included), T spectral peak
// period (s), rho density (kg/m^3), g gravity (m/s^2), eps_b dissipation (W/m^2).
#include "core/shoaling/ShoalingModels.h"

namespace orvane {

// eps_b = (3 sqrt(pi)/16) rho g B^3 H^5 / (T gamma^2 h^3) [1 - (1 + (H/(gamma h))^2)^(-5/2)]
// with the run's gamma_TG, B_TG, Density, Gravity and Period.
double TGDissipation(const ShoalingRun& run, double h, double H);

}  // namespace orvane
