// Linear dispersion relation sigma^2 = g k tanh(k h).
// T period (s), h depth (m), g gravity (m/s^2), k wavenumber (rad/m), sigma = 2 pi / T (rad/s).
#include "core/wave/WaveNumber.h"

#include <cmath>
#include <string>

#include "core/runtime/Errors.h"
#include "core/runtime/NumberText.h"

namespace orvane {

namespace {
constexpr double kTwoPi = 6.283185307179586;
// In shallow water the first step jumps to about 1/(2h) and Newton then halves k down to
// the root: some 500 steps at h = 1e-300. Halving across the whole range of a double takes
// at most about 2100, so this cap never stops a depth that converges.
constexpr int kMaxSteps = 4096;
}  // namespace

double WaveNumber(double T, double h, double g, int* steps) {
    if (steps) *steps = 0;
    if (std::isnan(T) || std::isnan(h) || std::isnan(g)) throw EInvalidOp();
    // No positive root exists for these; without the check Newton wanders off.
    if (T < 0.0 || h < 0.0 || g < 0.0) throw EInvalidOp();
    const double sigma = CheckedDiv(kTwoPi, T);
    const double sigma2 = CheckResult(sigma * sigma);
    double k = CheckResult(CheckedDiv(sigma2, g));
    for (int step = 1; step <= kMaxSteps; ++step) {
        const double th = std::tanh(k * h);
        const double f = g * k * th - sigma2;
        const double df = g * (th + k * h * (1.0 - th * th));
        const double delta = CheckedDiv(f, df);
        k = CheckResult(k - delta);
        if (std::fabs(CheckedDiv(delta, k)) < 1e-5) {
            if (steps) *steps = step;
            return k;
        }
    }
    throw EConvergence("波数の計算が収束しません (T = " + FormatShortest(T) +
                       ", h = " + FormatShortest(h) + ")");
}

}  // namespace orvane
