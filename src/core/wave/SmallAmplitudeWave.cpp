// Linear wave theory: the dispersion relation, group velocity ratio n, shoaling
// coefficient Ks = sqrt(L0 / (2 n L)), energy flux F = rho g H^2 / 8 Cg and the orbital
// velocity amplitudes at height z above the bed.
#include "core/wave/SmallAmplitudeWave.h"

#include <cmath>

#include "core/runtime/Errors.h"
#include "core/runtime/NumberText.h"
#include "core/wave/WaveNumber.h"

namespace orvane {
namespace {

constexpr double kTwoPi = 6.283185307179586;

// The hyperbolic ratios written with exp(-x) so that deep water (k h beyond ~710, where
// sinh overflows) gives the limit instead of inf/inf. kh > 0.
double CoshOverSinh(double kz, double kh) {
    double a = std::fabs(kz);
    return CheckResult(std::exp(a - kh) * (1.0 + std::exp(-2.0 * a)) / -std::expm1(-2.0 * kh));
}

double SinhOverSinh(double kz, double kh) {
    double a = std::fabs(kz);
    double r = std::exp(a - kh) * -std::expm1(-2.0 * a) / -std::expm1(-2.0 * kh);
    return CheckResult(kz < 0 ? -r : r);
}

// x / sinh(x) for x > 0.
double XOverSinh(double x) { return 2.0 * x * std::exp(-x) / -std::expm1(-2.0 * x); }

SmallAmplitudeWave Compute(double h, double T, double sigma, double H,
                           const std::string* bedHeightText, double zValue,
                           const PhysicalConstants& pc) {
    const double g = pc.gra;
    SmallAmplitudeWave w;
    w.k = WaveNumber(T, h, g);
    w.L = kTwoPi / w.k;
    w.L0 = CheckedDiv(g, kTwoPi) * T * T;
    w.c = CheckedDiv(w.L, T);
    const double z = bedHeightText ? StrToFloat(*bedHeightText) : zValue;
    const double kh = w.k * h;
    w.n = 0.5 * (1.0 + XOverSinh(2.0 * kh));
    w.Ks = CheckedSqrt(CheckedDiv(CheckedDiv(w.L0, w.L), 2.0 * w.n));
    w.Cg = w.c * w.n;
    w.F = CheckResult(1000.0 * pc.SGfluid * g * H * H / 8.0 * w.Cg);
    w.u = CheckResult(H / 2.0 * sigma * CoshOverSinh(w.k * z, kh));
    w.w = CheckResult(H / 2.0 * sigma * SinhOverSinh(w.k * z, kh));
    return w;
}

}  // namespace

SmallAmplitudeWave ComputeSmallAmplitudeWave(double h, double T, double H, double z,
                                             const PhysicalConstants& constants) {
    const double sigma = CheckedDiv(kTwoPi, T);
    return Compute(h, T, sigma, H, nullptr, z, constants);
}

SmallAmplitudeWave ComputeSmallAmplitudeWave(const std::string& depthText,
                                             const std::string& periodText,
                                             const std::string& heightText,
                                             const std::string& bedHeightText,
                                             const PhysicalConstants& constants) {
    const double h = StrToFloat(depthText);
    const double T = StrToFloat(periodText);
    const double sigma = CheckedDiv(kTwoPi, T);
    const double H = StrToFloat(heightText);
    return Compute(h, T, sigma, H, &bedHeightText, 0.0, constants);
}

std::array<SmallAmplitudeLabel, 7> SmallAmplitudeLabels(const SmallAmplitudeWave& w) {
    return {{
        {"LblLength", "波長(m)：", FormatFixed(w.L, 3, 15)},
        {"LblC", "波速(m/s)：", FormatFixed(w.c, 3, 15)},
        {"LblCg", "群速度(m/s)：", FormatFixed(w.Cg, 3, 15)},
        {"LblKs", "浅水係数：", FormatFixed(w.Ks, 3, 15)},
        {"LblFlux", "ｴﾈﾙｷﾞｰﾌﾗｯｸｽ(Jm/s/m^2)：", FormatFixed(w.F, 0, 15)},
        {"LblVelx", "水平(m/s)：", FormatFixed(w.u, 3, 10)},
        {"LblVely", "鉛直(m/s)：", FormatFixed(w.w, 3, 10)},
    }};
}

}  // namespace orvane
