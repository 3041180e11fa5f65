#include "core/wave/Rayleigh.h"
#include <cfloat>
#include <cmath>
#include <limits>
#include "core/runtime/Errors.h"
#include "core/runtime/NumberText.h"

namespace orvane {
namespace {

// Nodes and weights of the 9-point Gauss–Legendre rule, ascending, to 30 digits.
constexpr long double kNodes[9] = {
    -0.968160239507626089835576202904L, -0.836031107326635794299429788070L,
    -0.613371432700590397308702039341L, -0.324253423403808929038538014643L,
    0.0L,
    0.324253423403808929038538014643L,  0.613371432700590397308702039341L,
    0.836031107326635794299429788070L,  0.968160239507626089835576202904L,
};
constexpr long double kWeights[9] = {
    0.081274388361574411971892158111L, 0.180648160694857404058472031243L,
    0.260610696402935462318742869419L, 0.312347077040002840068630406584L,
    0.330239355001259763164525069287L,
    0.312347077040002840068630406584L, 0.260610696402935462318742869419L,
    0.180648160694857404058472031243L, 0.081274388361574411971892158111L,
};

// A smooth integrand on the intervals used here needs a few dozen panels; these caps
// only stop an integrand the rule cannot resolve.
constexpr int kMaxDepth = 64;
constexpr long kMaxPanels = 1000000;
// Newton from x = a takes about six steps (p = 1: some thirty, halving towards 0).
constexpr int kNewtonCap = 10000;

struct Refiner {
    RayleighIntegrand f;
    long panels = 0;

    long double Refine(long double previous, long double A, long double B, int depth) {
        if (++panels > kMaxPanels || depth > kMaxDepth)
            throw EConvergence("数値積分が収束しません。");
        const long double M = (A + B) / 2;
        long double SL = GaussLegendre9(f, A, M);
        long double SR = GaussLegendre9(f, M, B);
        const long double S = SL + SR;
        const bool disagree = std::fabs(previous - SL - SR) >= 1e-15L * std::fabs(S) &&
                              std::fabs(previous) + std::fabs(S) >= 1e-15L;
        if (disagree || std::fabs(B - A) >= 1) {
            SL = Refine(SL, A, M, depth + 1);
            SR = Refine(SR, M, B, depth + 1);
        }
        return SL + SR;
    }
};

double ToDouble(long double v) {
    if (!std::isfinite(v) || std::fabs(v) > static_cast<long double>(DBL_MAX)) throw EOverflow();
    return static_cast<double>(v);
}

}  // namespace

long double RayleighPhi(long double u) { return u * std::exp(-u * u); }

long double GaussLegendre9(RayleighIntegrand f, long double A, long double B) {
    const long double h = (B - A) / 2;
    const long double m = (A + B) / 2;
    long double sum = 0;
    for (int i = 0; i < 9; ++i) sum += kWeights[i] * f(h * kNodes[i] + m);
    return h * sum;
}

long double AdaptiveGauss9(RayleighIntegrand f, long double A, long double B) {
    if (!std::isfinite(A) || !std::isfinite(B)) throw EInvalidOp();
    Refiner r{f};
    return r.Refine(0, A, B, 0);
}

long double RayleighDistribution(long double x, long double a) {
    if (x <= 0) return 0;
    return 2 * AdaptiveGauss9(RayleighPhi, 0, x / a);
}

long double ExceedanceAmplitude(long double p, long double a, int* steps) {
    if (a == 0) throw EInvalidOp();  // 0/0 in the first density
    // Absolute 1e-10 in the units of a. For a very large a that is below what the
    // integral resolves, and the steps end in a cycle a few ulps wide: a step that the
    // precision cannot resolve, or one no smaller than the last once the relative change
    // is at the noise level, also ends it.
    const long double tol = 1e-10L;
    const long double eps = std::numeric_limits<long double>::epsilon();
    long double x = a;
    long double previous = std::numeric_limits<long double>::infinity();
    for (int n = 1;; ++n) {
        if (n > kNewtonCap) throw EConvergence("確率振幅の計算が収束しません。");
        const long double c = x;
        const long double density = (2 / a) * RayleighPhi(c / a);
        if (density == 0) throw EZeroDivide();
        x = c + ((1 - p) - RayleighDistribution(c, a)) / density;
        if (!std::isfinite(x)) throw EOverflow();
        const long double change = std::fabs(x - c);
        const bool noise = change <= 1e-12L * std::fabs(x) && change >= previous;
        if (change < tol || change <= 4 * eps * std::fabs(x) || noise) {
            if (steps) *steps = n;
            return x;
        }
        previous = change;
    }
}

long double MeanAmplitudeAbove(long double Ap, long double a, long double p) {
    const long double u0 = Ap / a;
    const long double d = (20 - u0) / 1000;
    long double sum = 0;
    for (int i = 1; i <= 1000; ++i) {
        const long double u = u0 + (i - 0.5L) * d;
        sum += 2 * RayleighPhi(u) * u;
    }
    if (p == 0) throw EZeroDivide();
    return a * d * sum / p;
}

long double RayleighScale(double reference, RayleighReference kind) {
    const long double value = reference;
    return kind == RayleighReference::Significant ? value / 1.416L : value;
}

RayleighResult ComputeRayleigh(double reference, double p, RayleighReference kind) {
    if (reference == 0) throw EInvalidOp();
    if (!std::isfinite(reference) || reference < 0)
        throw OrvaneError("基準データには正の値を入力して下さい。");
    if (!(p > 0 && p <= 1))
        throw OrvaneError("上側確率には0より大きく1以下の値を入力して下さい。");
    const long double a = RayleighScale(reference, kind);
    RayleighResult r;
    r.Ap = ExceedanceAmplitude(p, a);
    r.mean = MeanAmplitudeAbove(r.Ap, a, p);
    return r;
}

std::string RayleighReport(const RayleighResult& r) {
    return "上側確率pの振幅Ap = " + FormatGeneral(ToDouble(r.Ap), 7) + "\n" +
           ">Apの平均振幅 = " + FormatGeneral(ToDouble(r.mean), 7);
}

}  // namespace orvane
