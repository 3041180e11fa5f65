// Linear dispersion relation sigma^2 = g k tanh(k h).
// T period (s), h depth (m), g gravity (m/s^2), k wavenumber (rad/m), sigma = 2 pi / T (rad/s).
#include "core/wave/WaveNumber.h"

#include <algorithm>
#include <cmath>
#include <limits>
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

// One Newton step; true when it has settled. Shared by the scalar and batch loops so that
// both do the same operations in the same order.
inline bool Step(double& k, double h, double g, double sigma2) {
    const double th = std::tanh(k * h);
    const double f = g * k * th - sigma2;
    const double df = g * (th + k * h * (1.0 - th * th));
    const double delta = CheckedDiv(f, df);
    k = CheckResult(k - delta);
    return std::fabs(CheckedDiv(delta, k)) < 1e-5;
}
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
        if (Step(k, h, g, sigma2)) {
            if (steps) *steps = step;
            return k;
        }
    }
    throw EConvergence("波数の計算が収束しません (T = " + FormatShortest(T) +
                       ", h = " + FormatShortest(h) + ")");
}

void WaveNumbers(BatchInput T, BatchInput h, BatchInput g, double* k, std::size_t n,
                 const std::function<void(std::size_t, std::exception_ptr)>& failed) {
    // Anything but plain positive finite inputs, and any step that would raise, goes
    // through the scalar function, which gives the value or the error.
    auto single = [&](std::size_t i) {
        if (std::isnan(T[i]) || std::isnan(h[i]) || std::isnan(g[i])) {
            k[i] = std::numeric_limits<double>::quiet_NaN();
            return;
        }
        try {
            k[i] = WaveNumber(T[i], h[i], g[i]);
        } catch (...) {
            k[i] = std::numeric_limits<double>::quiet_NaN();
            failed(i, std::current_exception());
        }
    };
    auto plain = [](double x) { return x > 0.0 && x <= std::numeric_limits<double>::max(); };

    // A block of elements takes each Newton step together: the tanh calls are independent
    // of one another, so they overlap, and the arithmetic around them runs on whole
    // arrays. Those that have settled leave the block after each step.
    constexpr std::size_t kBlock = 256;
    double kb[kBlock], hb[kBlock], gb[kBlock], s2[kBlock], th[kBlock], kn[kBlock];
    std::size_t at[kBlock];
    bool ok[kBlock], done[kBlock];
    for (std::size_t base = 0; base < n; base += kBlock) {
        const std::size_t last = std::min(n, base + kBlock);
        std::size_t m = 0;
        for (std::size_t i = base; i < last; ++i) {
            const double t = T[i], d = h[i], gi = g[i];
            if (plain(t) && plain(d) && plain(gi)) {
                const double sigma = kTwoPi / t;
                const double sigma2 = sigma * sigma;
                const double k0 = sigma2 / gi;
                // The scalar function checks these; any doubt goes its way.
                if (std::isfinite(sigma2) && std::isfinite(k0) && k0 > 0.0) {
                    at[m] = i, kb[m] = k0, hb[m] = d, gb[m] = gi, s2[m] = sigma2;
                    ++m;
                    continue;
                }
            }
            single(i);
        }
        for (int step = 1; m > 0; ++step) {
            if (step > kMaxSteps) {
                for (std::size_t j = 0; j < m; ++j) single(at[j]);  // its EConvergence
                break;
            }
            for (std::size_t j = 0; j < m; ++j) th[j] = std::tanh(kb[j] * hb[j]);
            // Step's operations in Step's order, with the conditions under which none of
            // its checks would raise.
            for (std::size_t j = 0; j < m; ++j) {
                const double f = gb[j] * kb[j] * th[j] - s2[j];
                const double df = gb[j] * (th[j] + kb[j] * hb[j] * (1.0 - th[j] * th[j]));
                const double delta = f / df;
                const double next = kb[j] - delta;
                const double ratio = delta / next;
                ok[j] = df != 0.0 && std::isfinite(delta) && std::isfinite(next) && next != 0.0 &&
                        std::isfinite(ratio);
                done[j] = std::fabs(ratio) < 1e-5;
                kn[j] = next;
            }
            std::size_t live = 0;
            for (std::size_t j = 0; j < m; ++j) {
                if (!ok[j]) {
                    single(at[j]);
                } else if (done[j]) {
                    k[at[j]] = kn[j];
                } else {
                    at[live] = at[j], kb[live] = kn[j], hb[live] = hb[j], gb[live] = gb[j], s2[live] = s2[j];
                    ++live;
                }
            }
            m = live;
        }
    }
}

}  // namespace orvane
