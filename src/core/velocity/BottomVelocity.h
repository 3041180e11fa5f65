#pragma once
// Wave orbital velocity at the sea bed.
// Notation: h depth (m), H wave height (m), T period (s), Tp spectral peak period (s),
// s bed slope (tan θ), g gravity (m/s²), L0 deep-water wave length (m), k wavenumber
// (rad/m); velocities in m/s.
// Single wave: small-amplitude theory, Goda (1975) breaker height, Shuto (1974)
// nonlinear shoaling, Isobe and Horikawa (1981) onshore velocity, Denny (1995) for
// broken waves. Random sea: JONSWAP spectrum transferred to the bed (Soulsby 1987).
#include <string>
#include "core/app/PhysicalConstants.h"

namespace orvane {

// Ratio of significant to rms height used throughout the program.
inline constexpr double kSignificantPerRms = 1.416;

struct SingleWaveResult {
    double L0 = 0;    // deep-water wave length
    double Hb = 0;    // breaker height
    double kh = 0;
    double U0 = 0;    // full velocity amplitude, small-amplitude theory
    double Uac = 0;   // corrected for the transfer function
    bool broken = false;
    // Broken wave only.
    double Ud = 0;    // maximum velocity after Denny
    // Unbroken wave only.
    double Ur = 0;    // Ursell number
    double H0 = 0;    // equivalent deep-water height
    double Uc = 0;    // nonlinear full velocity amplitude
    double Umax = 0;  // maximum onshore velocity
    double Tc = 0;    // duration of onshore flow (s)
    double R1 = 0, R2 = 0;
};

// The whole single-wave computation. Raises EZeroDivide for zero depth or period,
// EInvalidOp for a negative slope or depth, a zero or negative height on the unbroken
// path, and EConvergence when an iteration does not settle.
SingleWaveResult ComputeSingleWave(double h, double H, double T, double s, double g);
std::string FormatSingleWaveReport(const SingleWaveResult& r);
// ComputeSingleWave followed by FormatSingleWaveReport: the text of the result box.
std::string SingleWaveReport(double h, double H, double T, double s, double g);

// Shuto's nonlinear shoaling coefficient at depth h for the deep-water height H0.
double NonlinearShoalingCoefficient(double H0, double h, double T, double g);
// Equivalent deep-water height for the height H at depth h (linear when Ur <= 30).
double EquivalentDeepWaterHeight(double h, double H, double T, double g);

struct RandomVelocity {
    double Urms = 0;  // rms bottom velocity
    double Us = 0;    // significant bottom velocity amplitude, sqrt(2)·1.416·Urms
};

// Random sea of rms height Hrms and peak period Tp at depth h. Pure function: no state,
// no heap allocation, safe to call from any thread. Raises EZeroDivide for Tp = 0 or
// h = 0 and EInvalidOp for negative or non-finite inputs.
RandomVelocity RandomWaveVelocity(double Tp, double Hrms, double h, double g);
// An upper bound of RandomWaveVelocity(...).Urms, about two to three times the value and
// some fifty times cheaper; it raises the same errors for the same inputs.
double RandomWaveVelocityBound(double Tp, double Hrms, double h, double g);

// The random sea of significant height H and period T: Tp = T / RTp, Hrms = H / 1.416.
RandomVelocity SignificantWaveVelocity(double h, double H, double T, const PhysicalConstants& c);
// The random-sea result box for a significant height H and significant period T:
// Tp = T / RTp, Hrms = H / 1.416.
std::string RandomWaveReport(double h, double H, double T, const PhysicalConstants& c);

}  // namespace orvane
