#pragma once
// Exceedance amplitudes of the Rayleigh distribution.
// a is the scale (the rms value of the amplitudes), u = x/a, density (2/a)·φ(x/a) with
// φ(u) = u·e^(−u²), distribution F(x) = 2·∫₀^(x/a) φ(u) du = 1 − e^(−(x/a)²).
// Everything is in long double (80-bit extended on x86-64): the integration stops on a
// relative agreement of 1e-15, which binary64 cannot deliver reliably.
#include <string>

namespace orvane {

using RayleighIntegrand = long double (*)(long double);

// φ(u) = u·e^(−u²).
long double RayleighPhi(long double u);

// The 9-point Gauss–Legendre estimate of ∫_A^B f.
long double GaussLegendre9(RayleighIntegrand f, long double A, long double B);
// ∫_A^B f by adaptive bisection on GaussLegendre9. Raises EConvergence when the
// subdivision runs past its cap (an integrand the rule cannot resolve).
long double AdaptiveGauss9(RayleighIntegrand f, long double A, long double B);

long double RayleighDistribution(long double x, long double a);
// Ap with 1 − F(Ap) = p, by Newton iteration from x = a.
long double ExceedanceAmplitude(long double p, long double a, int* steps = nullptr);
// Mean of the amplitudes above Ap: a 1000-interval midpoint sum over u from Ap/a to 20,
// divided by the given p.
long double MeanAmplitudeAbove(long double Ap, long double a, long double p);

enum class RayleighReference { Rms, Significant };

// A significant value H1/3 is 1.416 times the rms value.
long double RayleighScale(double reference, RayleighReference kind);

struct RayleighResult {
    long double Ap = 0;
    long double mean = 0;
};

// Checks the inputs (scale > 0, 0 < p <= 1) with a Japanese message, then computes.
// A zero reference raises EInvalidOp; other values out of range raise OrvaneError.
RayleighResult ComputeRayleigh(double reference, double p, RayleighReference kind);

// "上側確率pの振幅Ap = 1.517427\n>Apの平均振幅 = 1.799806"
std::string RayleighReport(const RayleighResult& r);

}  // namespace orvane
