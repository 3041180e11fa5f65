#include "core/shoaling/WaveFunctions.h"

#include <cmath>
#include "core/runtime/Errors.h"
#include "core/wave/WaveNumber.h"

namespace orvane {

namespace {
// kh / sinh(2kh), with its limits: 1/2 as kh -> 0, and 0 where sinh overflows.
double KhOverSinh2Kh(double kh) {
    if (kh <= 1e-8) return 0.5;
    if (kh > 300.0) return 0.0;
    return kh / std::sinh(2.0 * kh);
}
}  // namespace

double RadiationStressFactor(double kh) {
    return (KhOverSinh2Kh(kh) + 0.25) / 4.0;
}

double GroupVelocity(double h, double T, double g) {
    return GroupVelocityOfK(WaveNumber(T, h, g), h, T);
}

double GroupVelocityOfK(double k, double h, double T) {
    return (KhOverSinh2Kh(k * h) + 0.5) * CheckedDiv(kTwoPi, k * T);
}

double SetupBalance(double F, double hm, double eta0, double H0, double H1, double start,
                    double tolerance, int maxPasses) {
    const double dH2 = H1 * H1 - H0 * H0;
    double eta = start;
    for (int pass = 0; pass < maxPasses; ++pass) {
        const double next = eta0 - CheckedDiv(F, (eta0 + eta) / 2.0 + hm) * dH2;
        const double change = std::fabs(next - eta);
        eta = next;
        if (change < tolerance) return eta;
        if (!std::isfinite(eta)) break;
    }
    throw EConvergence("平均水位の計算が収束しませんでした。");
}

}  // namespace orvane
