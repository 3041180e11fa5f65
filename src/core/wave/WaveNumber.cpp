// Linear dispersion relation sigma^2 = g k tanh(k h).
// T period (s), h depth (m), g gravity (m/s^2), k wavenumber (rad/m), sigma = 2 pi / T (rad/s).
#include "core/wave/WaveNumber.h"

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
    // Anything but plain positive finite inputs, and any step that raises, goes through
    // the scalar function, which gives the value or the error.
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

    constexpr int kLanes = 3;
    struct Lane {
        std::size_t at;
        double k, h, g, sigma2;
        int steps;
    };
    Lane lanes[kLanes];
    int live = 0;
    std::size_t next = 0;
    // Fills a lane with the next element the fast loop takes; false when none is left.
    auto fill = [&](Lane& lane) {
        while (next < n) {
            const std::size_t i = next++;
            const double t = T[i], d = h[i], gi = g[i];
            if (plain(t) && plain(d) && plain(gi)) {
                const double sigma = kTwoPi / t;
                const double sigma2 = sigma * sigma;
                const double k0 = sigma2 / gi;
                // The scalar function checks these; any doubt goes its way.
                if (std::isfinite(sigma2) && std::isfinite(k0) && k0 > 0.0) {
                    lane = {i, k0, d, gi, sigma2, 0};
                    return true;
                }
            }
            single(i);
        }
        return false;
    };
    for (Lane& lane : lanes)
        if (fill(lane)) ++live;
        else break;
    while (live > 0) {
        for (int j = 0; j < live; ++j) {
            Lane& lane = lanes[j];
            bool settled = false, raised = false;
            try {
                settled = Step(lane.k, lane.h, lane.g, lane.sigma2);
            } catch (...) {
                raised = true;
            }
            if (!settled && !raised && ++lane.steps < kMaxSteps) continue;
            if (settled) k[lane.at] = lane.k;
            else single(lane.at);  // the scalar's value or its error
            if (!fill(lane)) {
                lane = lanes[--live];
                --j;
            }
        }
    }
}

}  // namespace orvane
