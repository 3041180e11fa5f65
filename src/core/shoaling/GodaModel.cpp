#include "core/shoaling/GodaModel.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include "core/runtime/Errors.h"
#include "core/runtime/Messages.h"
#include "core/runtime/MathConstants.h"
#include "core/runtime/NumberText.h"
#include "core/shoaling/WaveFunctions.h"
#include "core/wave/WaveNumber.h"

namespace orvane {

namespace {

// Hs / Hrms of the Rayleigh distribution, as the model has always used it.
constexpr double kHsOverHrms = 1.416;

constexpr int kBins = 1000;

// Surf beat as a discrete normal distribution of the mean water level: levels in units
// of zeta_rms and their weights (sum 1). The first level is the deepest; it fixes the bin
// width so that every level's density fits into the grid.
constexpr std::array<double, 8> kBeatLevel{3.2831, 2.3158, 1.3832, 0.4599,
                                           -0.4599, -1.3832, -2.3158, -3.2831};
constexpr std::array<double, 8> kBeatWeight{0.0014, 0.0214, 0.1359, 0.3413,
                                            0.3413, 0.1359, 0.0214, 0.0014};

// Rayleigh density 2 b^2 x exp(-(b x)^2) of x = H/H0, b = 1.416/Ks.
inline double Rayleigh(double twoBeta2, double beta, double x) {
    const double bx = beta * x;
    return twoBeta2 * x * std::exp(-(bx * bx));
}

// Upper breaker height x2 (all waves above it have broken) at total depth d.
inline double UpperBreaker(double L0overH0, double A, double d) {
    return 0.18 * L0overH0 * (1.0 - std::exp(A * d));
}

inline double LevelDepth(double meanDepth, double zetaRms, int level) {
    const double d = meanDepth + kBeatLevel[level] * zetaRms;
    return d < 0.0 ? 0.0 : d;
}

void DensityReference(std::array<double, 1001>& P, double beta, double L0overH0, double A,
                      double meanDepth, double zetaRms, double& dx) {
    const double twoBeta2 = 2.0 * beta * beta;
    for (int level = 0; level < 8; ++level) {
        const double d = LevelDepth(meanDepth, zetaRms, level);
        const double x2 = UpperBreaker(L0overH0, A, d);
        const double x1 = 0.12 * x2 / 0.18;
        if (level == 0) dx = x2 / kBins;
        const double p2 = Rayleigh(twoBeta2, beta, x2);
        const double w = kBeatWeight[level];
        for (int j = 1; j <= kBins; ++j) {
            const double xj = (j - 0.5) * dx;
            double p;
            if (xj <= x1)
                p = Rayleigh(twoBeta2, beta, xj);
            else if (xj <= x2)
                p = Rayleigh(twoBeta2, beta, xj) - (xj - x1) / (x2 - x1) * p2;
            else
                p = 0.0;
            P[j - 1] += w * p;
        }
    }
}

// The first bin j in [from, kBins + 1] whose centre (j - 0.5) dx lies above `limit`,
// found with the very comparison the plain loop makes, so both split the bins alike.
inline int FirstBinAbove(double limit, double dx, int from) {
    const auto above = [&](int j) { return !((j - 0.5) * dx <= limit); };
    int j = from;
    const double guess = limit / dx + 0.5;
    if (guess > from && guess < kBins + 1) j = static_cast<int>(guess);
    else if (guess >= kBins + 1) j = kBins + 1;
    while (j > from && above(j - 1)) --j;
    while (j <= kBins && !above(j)) ++j;
    return j;
}

// Bins 1..top carry the density. Above them the Gaussian factor has fallen by more than
// e^-72 from the first bin's: their whole mass is some 1e-28 of the total, far below what
// a double holds, so they are left at zero.
int TopBin(double a) {
    if (!(a > 0.0)) return kBins;  // no fall (a dry grid) or no value: every bin
    const double last = 0.5 + std::sqrt(0.25 + 72.25 / a);
    if (!(last < kBins)) return kBins;
    return std::max(1, static_cast<int>(last));
}

// Two doubles at a time: SSE2 on x86-64, NEON elsewhere, plain code where neither is.
// Each lane rounds as the scalar expression would.
typedef double V2 __attribute__((vector_size(16), aligned(8), may_alias));
inline V2 Load(const double* p) { return *reinterpret_cast<const V2*>(p); }
inline void Store(double* p, V2 v) { *reinterpret_cast<V2*>(p) = v; }
inline V2 Splat(double v) { return V2{v, v}; }

constexpr int kRayleighBlock = 16;

// R[j - 1] = 2 b^2 x exp(-(b x)^2), x = (j - 0.5) dx, for j = 1..top, in whole blocks of
// 16 (R holds them). With u = j - 0.5 = 16 q + k + 0.5 and a = (b dx)^2, exp(-a u^2) =
// B_q D_k^q T_k, where B_q = exp(-a (256 q^2 + 16 q)), D_k = exp(-32 a k), T_k =
// exp(-a (k + 0.5)^2): 32 + top/16 exponentials instead of top. Every factor and partial
// product lies between the value and 1, so nothing underflows where the value itself
// does not; the error stays within some tens of units in the last place.
void RayleighBins(double* R, double beta, double dx, int top) {
    constexpr int K = kRayleighBlock;
    const double twoBeta2 = 2.0 * beta * beta;
    const double bdx = beta * dx;
    const double a = bdx * bdx;
    alignas(16) double T[K], D[K], M[K], X[K];
    for (int k = 0; k < K; ++k) {
        T[k] = std::exp(-a * ((k + 0.5) * (k + 0.5)));
        D[k] = std::exp(-a * (32.0 * k));
        M[k] = 1.0;
        X[k] = k + 0.5;
    }
    const V2 c = Splat(twoBeta2), vdx = Splat(dx);
    for (int base = 0, q = 0; base < top; base += K, ++q) {
        const V2 B = Splat(std::exp(-a * (256.0 * q * q + 16.0 * q)));
        const V2 offset = Splat(base);
        for (int k = 0; k < K; k += 2) {
            const V2 x = (offset + Load(X + k)) * vdx;
            Store(R + base + k, c * x * (B * (Load(T + k) * Load(M + k))));
            Store(M + k, Load(M + k) * Load(D + k));
        }
    }
}

// P of bins 1..top. Between two band limits the same levels are unbroken or partly broken,
// so there P = W R - (alpha x - gamma): W the weight of the levels not yet above their
// x2, and the partly broken levels' linear cuts gathered into one line.
void DensityFast(std::array<double, 1001>& P, std::array<double, 1024>& R, int& used,
                 double beta, double L0overH0, double A, double meanDepth, double zetaRms,
                 double& dx, int& top) {
    const double twoBeta2 = 2.0 * beta * beta;
    struct Band {
        double x1, slope;  // slope: p2 / (x2 - x1), the cut's rise per unit height
        int j1, j2;        // bins j1 .. j2-1 are partly broken, bins above j2-1 broken
    };
    std::array<Band, 8> band;
    std::array<int, 18> limits;
    int nlimits = 0;
    for (int level = 0; level < 8; ++level) {
        const double d = LevelDepth(meanDepth, zetaRms, level);
        const double x2 = UpperBreaker(L0overH0, A, d);
        const double x1 = 0.12 * x2 / 0.18;
        if (level == 0) dx = x2 / kBins;
        Band& b = band[level];
        b.x1 = x1;
        b.j1 = FirstBinAbove(x1, dx, 1);
        b.j2 = FirstBinAbove(x2, dx, b.j1);
        b.slope = b.j2 > b.j1 ? Rayleigh(twoBeta2, beta, x2) / (x2 - x1) : 0.0;
        limits[nlimits++] = b.j1;
        limits[nlimits++] = b.j2;
    }
    const double bdx = beta * dx;
    top = TopBin(bdx * bdx);
    limits[nlimits++] = 1;
    limits[nlimits++] = top + 1;
    std::sort(limits.begin(), limits.begin() + nlimits);
    // Only the bins that the last step wrote above this step's top need clearing.
    if (used > top) std::fill(P.begin() + top, P.begin() + used, 0.0);
    used = top;

    RayleighBins(R.data(), beta, dx, top);
    double* const p = P.data();
    const double* const r = R.data();
    for (int s = 0; s + 1 < nlimits; ++s) {
        const int from = limits[s], to = std::min(limits[s + 1], top + 1);
        if (from >= to) continue;
        double W = 0.0, alpha = 0.0, gamma = 0.0;
        bool cut = false;
        for (int level = 0; level < 8; ++level) {
            const Band& b = band[level];
            const double w = kBeatWeight[level];
            if (from < b.j1) {
                W += w;
            } else if (from < b.j2) {
                W += w;
                alpha += w * b.slope;
                gamma += w * b.slope * b.x1;
                cut = true;
            }
        }
        // Bins above every level's x2 hold nothing (and must stay zero even where R has
        // no value, as they do in the plain evaluation).
        if (W == 0.0) {
            std::fill(p + from - 1, p + to - 1, 0.0);
            continue;
        }
        if (!cut) alpha = gamma = 0.0;
        int i = from - 1;  // bin i + 1, centre (i + 0.5) dx
        const V2 vW = Splat(W), va = Splat(alpha), vg = Splat(gamma), vdx = Splat(dx);
        for (V2 t = V2{i + 0.5, i + 1.5}; i + 2 <= to - 1; i += 2, t += Splat(2.0))
            Store(p + i, vW * Load(r + i) - (va * (t * vdx) - vg));
        for (; i < to - 1; ++i) p[i] = W * r[i] - (alpha * ((i + 0.5) * dx) - gamma);
    }
}

// Means of the highest fractions f of the waves (dimensionless; f ascending: 1/100,
// 1/10, 1/3): the density is taken as linear between bin centres and the tail is summed
// from the top until f is reached.

// The mean of the fraction frac once the bins above m hold the mass c and the moment I;
// a and b are the densities of bins m - 1 and m.
double TailFinish(double a, double b, double dx, double c, double I, int m, double frac) {
    const double rho = frac - c;
    double delta;
    if (std::fabs(a - b) / dx < 1e-4)
        delta = CheckedDiv(2.0 * rho, a + b);
    else
        delta = (CheckedSqrt((a + b) * (a + b) + 8.0 * rho * (a - b) / dx) - (a + b)) /
                (2.0 * (a - b) / dx);
    const double xl = (m - 1) * dx - delta;
    const double xr = (m - 0.5) * dx;
    const double a2 = a + (b - a) * (0.5 - delta / dx);
    return (I + (xr - xl) / 6.0 * ((2.0 * a2 + b) * xl + (a2 + 2.0 * b) * xr)) / frac;
}

constexpr int kSumBlock = 8;
constexpr int kSumBlocks = kBins / kSumBlock;

// Sums of P over blocks of eight bins, and of t P with t = j - 0.5 for bin j.
struct BlockSums {
    std::array<double, kSumBlocks> mass, moment;
    int count = 0;  // blocks holding bins 1..top
};

// The three tails in one walk down P from the top. Whole blocks are added while they do
// not reach the next fraction; the block that does is walked bin by bin. In units of P:
// the fractions are f S0, the moment of bin j is p_j (3j - 1/2) + p_j+1 (3j + 1/2), and
// that of a block lo..hi is 6 sum(t p) - p_lo (3 lo - 5/2) + p_hi+1 (3 hi + 1/2).
void TailMeans(const double* p, const BlockSums& blocks, double S0, double dx,
               const double (&f)[3], double (&mean)[3]) {
    const auto P = [&](int j) { return j <= kBins ? p[j - 1] : 0.0; };  // bin j
    const double N = S0 * dx, scale = dx * dx / 6.0 / N;
    const auto finish = [&](double c, double I, int m, int k) {
        // Only a density without a value (NaN) runs through every bin.
        if (m < 2) throw EInvalidOp();
        return TailFinish(P(m - 1) / N, P(m) / N, dx, c / S0, I * scale, m, f[k]);
    };
    double c = 0.0, I = 0.0;
    int k = 0;  // the fraction being looked for
    int m = blocks.count * kSumBlock + 1;  // the lowest bin summed so far
    for (int blk = blocks.count - 1; blk >= 0; --blk) {
        const int lo = blk * kSumBlock + 1, hi = lo + kSumBlock - 1;
        if (c + blocks.mass[blk] < f[k] * S0) {
            c += blocks.mass[blk];
            I += 6.0 * blocks.moment[blk] - P(lo) * (3.0 * lo - 2.5) + P(hi + 1) * (3.0 * hi + 0.5);
            m = lo;
            continue;
        }
        for (int j = hi; j >= lo; --j) {
            const double mass = P(j);
            while (k < 3 && c + mass >= f[k] * S0) {
                mean[k] = finish(c, I, m, k);
                ++k;
            }
            if (k == 3) return;
            c += mass;
            I += P(j) * (3.0 * j - 0.5) + P(j + 1) * (3.0 * j + 0.5);
            m = j;
        }
    }
    for (; k < 3; ++k) mean[k] = finish(c, I, m, k);
}

// One fraction at a time, as the plain evaluation does it.
double TailMeanPlain(const std::array<double, 1001>& Q, double dx, double f) {
    double c = 0.0, I = 0.0;
    int m = kBins + 1;
    for (int j = kBins; j >= 1; --j) {
        if (c + Q[j - 1] * dx >= f) break;
        c += Q[j - 1] * dx;
        I += dx / 6.0 * ((2.0 * Q[j - 1] + Q[j]) * (j - 0.5) * dx +
                         (Q[j - 1] + 2.0 * Q[j]) * (j + 0.5) * dx);
        m = j;
    }
    if (m < 2) throw EInvalidOp();
    return TailFinish(Q[m - 2], Q[m - 1], dx, c, I, m, f);
}

std::string Fixed(double v, int decimals, int significant) {
    return FormatFixed(v, decimals, significant);
}

}  // namespace

void GodaLines(const ShoalingEstimate& e, std::vector<std::string>& lines) {
    lines.push_back("  rms波高 Hrms =" + Fixed(e.Value("Hrms"), 3, 7) + "m");
    lines.push_back("  平均波高 Hm =" + Fixed(e.Value("Hm"), 3, 7) + "m");
    lines.push_back("  有義波高 Hs =" + Fixed(e.Value("Hs"), 3, 7) + "m (Ks=" + Fixed(e.Value("Ks"), 3, 5) + ")");
    lines.push_back("  最大波高 H1/10 =" + Fixed(e.Value("H1/10"), 3, 7) + "m, " +
                    "H1/100 =" + Fixed(e.Value("H1/100"), 3, 7) + "m");
    lines.push_back("  砕波による有義波高の減衰 =" + Fixed(e.Value("reduction"), 1, 5) + "％");
    lines.push_back("  ﾗｼﾞｴｰｼｮﾝｽﾄﾚｽによる水位上昇η=" + Fixed(e.Value("eta"), 3, 7) + "m");
    lines.push_back("  ｻｰﾌﾋﾞｰﾄによる水位変動ζrms =" + Fixed(e.Value("zeta_rms"), 3, 5) + "m");
}

void GodaUrsellDepths(ShoalingRun& run) {
    const double H0 = run.OffshoreHeight, L0 = run.DeepWaterLength;
    const double C = kTwoPi * kTwoPi * kTwoPi / 30.0 * CheckedDiv(H0, L0);
    double x = kPi;  // h = L0/2
    double ks30 = 0.0;
    for (int pass = 0;; ++pass) {
        if (pass >= kMaxNewtonPasses)
            throw EConvergence("アーセル数の計算が収束しませんでした。");
        const double t = std::tanh(x);
        const double g = t + x * (1.0 - t * t);
        const double sg = CheckedSqrt(g);
        ks30 = CheckedDiv(1.0, sg);
        const double f = (x * t) * (x * t) - CheckedDiv(C, sg);
        const double fp = 2.0 * x * t * g + C * (1.0 - t * t) * (1.0 - x * t) / (g * sg);
        const double step = CheckedDiv(f, fp);
        x -= step;
        if (std::fabs(step) / x < 1e-4) break;
    }
    const double h30 = std::tanh(x) * x * L0 / kTwoPi;
    const double h50 =
        CheckedPow(kTwoPiOver50 * H0 * L0 * ks30, 7.0 / 16.0) * CheckedPow(h30, 1.0 / 8.0);
    run.UrsellDepth30 = h30;
    run.UrsellDepth50 = h50;
    run.ShoalingAt30 = ks30;
    run.ShoalingAt50 = ks30 * CheckedPow(CheckedDiv(h30, h50), 2.0 / 7.0);
}

double NonlinearShoaling(const ShoalingRun& run, double h) {
    if (h <= 0.0) return 0.0;
    const double kh =
        h >= run.UrsellDepth30 ? WaveNumber(run.Period, h, run.Gravity) * h : 0.0;
    return NonlinearShoaling(run, h, kh);
}

double NonlinearShoaling(const ShoalingRun& run, double h, double kh) {
    if (h <= 0.0) return 0.0;
    const double h30 = run.UrsellDepth30, h50 = run.UrsellDepth50;
    if (h >= h30) {
        const double t = std::tanh(kh);
        return 1.0 / CheckedSqrt(t + kh * (1.0 - t * t));
    }
    if (h >= h50) return run.ShoalingAt30 * CheckedPow(h30 / h, 2.0 / 7.0);

    // Shallow water: root of K^(3/2) - W K - V = 0 (Shuto's invariant carried from h50).
    const double H0 = run.OffshoreHeight, L0 = run.DeepWaterLength;
    const double ks50 = run.ShoalingAt50;
    const double steep = kTwoPi * H0 / L0;
    const double W = 2.0 * CheckedSqrt(CheckedDiv(3.0, steep)) * h / L0;
    const double C = ks50 * CheckedPow(h50 / L0, 1.5) *
                     (CheckedSqrt(steep * ks50) - kTwoSqrt3 * h50 / L0);
    const double V = CheckedDiv(C, CheckedSqrt(steep) * CheckedPow(h / L0, 1.5));
    double K = ks50;
    for (int pass = 0; pass < kMaxNewtonPasses; ++pass) {
        const double next = CheckedDiv(0.5 * K * CheckedSqrt(K) + V, 1.5 * CheckedSqrt(K) - W);
        if (!(next > 0.0)) throw EInvalidOp();  // no root on this branch
        const double change = std::fabs(next - K) / next;
        K = next;
        if (change < 0.005) return K;
    }
    throw EConvergence("非線形浅水係数の計算が収束しませんでした。");
}

namespace {

constexpr double kFractions[3] = {1.0 / 100.0, 1.0 / 10.0, 1.0 / 3.0};

// Closer than this (m) to an estimation point a step is too short to give a slope, and
// the set-up guess extrapolated from it runs away. A step that would end on the point or
// just above it (on a profile vertex, or by rounding) could leave no room for a step
// centred on it: such a point is approached as the point this far offshore of it, and
// reported with that step, which ends on the point itself.
constexpr double kPointGap = 1e-3;
// The set-up guess extrapolates over at most this many times the previous distance.
constexpr double kMaxGuessRatio = 1000.0;
// Steps shorter than this, relative to the distance, are rounding slivers.
constexpr double kSliver = 1e-9;

// The end of the step from x whose natural end is xn, with the next estimation point t.
double StepEndNearPoint(double x, double xn, double t) {
    if (!(x > t)) return xn;
    const bool onPoint = xn >= t && xn <= t + kPointGap && x - t > kPointGap;
    const double c = onPoint ? t + kPointGap : t;  // where the reported step is centred
    if (x - c <= 2.0 * kPointGap) return onPoint ? t : std::min(2.0 * c - x, c - kPointGap);
    if (xn > c + kPointGap) return xn;
    if (xn >= c) return c + kPointGap;
    if ((x + xn) / 2.0 <= c) return 2.0 * c - x;
    const double reflected = 2.0 * c - xn;
    if (reflected < c + kPointGap) return c + kPointGap;
    if (reflected > x - kPointGap) return 2.0 * c - x;
    return reflected;
}

// A density whose mass is zero (no wave survives: a dry point) or has no value.
void CheckMass(double N) {
    if (!(N > 0.0) || !std::isfinite(N)) {
        if (N == 0.0) throw EZeroDivide();
        throw EInvalidOp();
    }
}

// The moments as sums of P with one weight per bin: with t = j - 0.5 for bin j, the
// piecewise-linear moments are dx (S1 - P1/12) / S0 and dx^2 (S2 + S0/6 - P1/24) / S0,
// where Sn = sum t^n P; bins above `top` are zero up to the end of their block.
// t = i + 0.5 and t^2 for i = 0..kBins-1; both exact, so reading them gives the bits that
// computing them would.
struct BinCentres {
    alignas(16) std::array<double, kBins> t, t2;
};
const BinCentres& Centres() {
    static const BinCentres c = [] {
        BinCentres b;
        for (int i = 0; i < kBins; ++i) {
            b.t[i] = i + 0.5;
            b.t2[i] = b.t[i] * b.t[i];
        }
        return b;
    }();
    return c;
}

GodaHeights FastHeights(ShoalingRun& run, double dx, int top) {
    const double* const p = run.DensityP.data();
    const BinCentres& centres = Centres();
    BlockSums blocks;
    blocks.count = (top + kSumBlock - 1) / kSumBlock;
    V2 s2 = Splat(0.0);
    double S0 = 0.0, S1 = 0.0;
    for (int blk = 0; blk < blocks.count; ++blk) {
        const int i = blk * kSumBlock;  // bins i+1 .. i+8
        V2 m = Splat(0.0), t1 = Splat(0.0), t2 = Splat(0.0);
        for (int u = 0; u < kSumBlock; u += 2) {
            const V2 v = Load(p + i + u);
            m += v;
            t1 += Load(centres.t.data() + i + u) * v;
            t2 += Load(centres.t2.data() + i + u) * v;
        }
        blocks.mass[blk] = m[0] + m[1];
        blocks.moment[blk] = t1[0] + t1[1];
        S0 += blocks.mass[blk];
        S1 += blocks.moment[blk];
        s2 += t2;
    }
    const double S2 = s2[0] + s2[1];
    CheckMass(S0 * dx);

    const double H0 = run.OffshoreHeight;
    GodaHeights g;
    g.binWidth = dx;
    g.Hm = dx * ((S1 - p[0] / 12.0) / S0) * H0;
    g.Hrms = dx * CheckedSqrt((S2 + S0 / 6.0 - p[0] / 24.0) / S0) * H0;
    double mean[3];
    TailMeans(p, blocks, S0, dx, kFractions, mean);
    g.H1100 = mean[0] * H0;
    g.H110 = mean[1] * H0;
    g.H13 = mean[2] * H0;
    return g;
}

// Every level and every bin summed as the formulas stand.
GodaHeights ReferenceHeights(ShoalingRun& run, double dx) {
    auto& P = run.DensityP;
    auto& Q = run.DensityQ;
    double N = 0.0;
    for (int j = 0; j < kBins; ++j) N += P[j] * dx;
    CheckMass(N);
    for (int j = 0; j <= kBins; ++j) Q[j] = P[j] / N;

    double s1 = 0.0, s2 = 0.0;
    for (int j = 1; j <= kBins; ++j) {
        const double a = Q[j - 1], b = Q[j];
        const double l = (j - 0.5) * dx, r = (j + 0.5) * dx;
        s1 += (2.0 * a + b) * l + (a + 2.0 * b) * r;
        s2 += (3.0 * a + b) * l * l + 2.0 * (a + b) * l * r + (a + 3.0 * b) * r * r;
    }
    const double H0 = run.OffshoreHeight;
    GodaHeights g;
    g.binWidth = dx;
    g.Hm = dx / 6.0 * s1 * H0;
    g.Hrms = CheckedSqrt(dx / 12.0 * s2) * H0;
    g.H1100 = TailMeanPlain(Q, dx, kFractions[0]) * H0;
    g.H110 = TailMeanPlain(Q, dx, kFractions[1]) * H0;
    g.H13 = TailMeanPlain(Q, dx, kFractions[2]) * H0;
    return g;
}

}  // namespace

GodaHeights GodaPointHeights(ShoalingRun& run, double beta, double A, double meanDepth,
                             double zetaRms, GodaDensityEvaluation eval) {
    const double L0overH0 = CheckedDiv(run.DeepWaterLength, run.OffshoreHeight);
    double dx = 0.0;
    if (eval == GodaDensityEvaluation::Reference) {
        run.DensityP.fill(0.0);
        run.DensityUsed = static_cast<int>(run.DensityP.size());
        DensityReference(run.DensityP, beta, L0overH0, A, meanDepth, zetaRms, dx);
        return ReferenceHeights(run, dx);
    }
    int top = kBins;
    DensityFast(run.DensityP, run.DensityR, run.DensityUsed, beta, L0overH0, A, meanDepth,
                zetaRms, dx, top);
    return FastHeights(run, dx, top);
}

bool RunGodaModel(ShoalingRun& run, ShoalingOutput& out, Progress& progress,
                  Prompter& prompter) {
    return RunGodaModel(run, out, progress, prompter, GodaDensityEvaluation::Fast);
}

bool RunGodaModel(ShoalingRun& run, ShoalingOutput& out, Progress& progress,
                  Prompter& prompter, GodaDensityEvaluation eval) {
    (void)prompter;  // this model has no message of its own
    const double H0 = run.OffshoreHeight, L0 = run.DeepWaterLength;
    const double T = run.Period, g = run.Gravity;
    if (!(H0 > 0.0) || !(L0 > 0.0)) throw EInvalidOp();
    GodaUrsellDepths(run);

    const double hs = run.DistanceAt(L0) >= run.TargetDistance
                          ? L0
                          : run.DepthAt(1.1 * run.TargetDistance);
    const double xs = run.DistanceAt(hs);
    double x = xs, h = hs;
    double xm1 = xs, xm2 = xs, eta1 = 0.0, eta2 = 0.0;
    double hrmsPrev = NonlinearShoaling(run, hs) * H0 / kHsOverHrms;
    // Steps of 0.25 H0 down to 2.5 H0, then 50 of 0.05 H0.
    run.ReserveRecords(hs + 12.5 * H0, 0.25 * H0);

    for (long step = 0;; ++step) {
        const std::optional<double> next = NextRandomStation(run, step, x, h, H0, progress);
        if (!next) return false;
        double xn = *next;
        if (xn <= run.OnshoreEnd || xn <= 0.0) return true;
        if (StopsShort(run, x, xn)) return true;

        // Steps are arranged so that an estimation point is the mid-point of a step.
        const bool haveTarget = run.EstimationIndex < run.EstimationCount;
        const double target = run.TargetDistance;
        if (haveTarget) xn = StepEndNearPoint(x, xn, target);
        if (!(xn < x)) throw EConvergence(msg::kStepStalled);
        // A sliver left by rounding above a vertex carries no slope: step over it.
        const bool pointInStep = haveTarget && x > target && target >= xn;
        if (x - xn < kSliver * std::max(1.0, std::fabs(x)) && !pointInStep) {
            x = xn;
            h = run.DepthAt(xn);
            continue;
        }

        const double xm = (x + xn) / 2.0;
        const double hn = run.DepthAt(xn);
        // The waterline: nothing shoreward of it has a wave.
        if (hn <= 0.0) return true;
        const double hm = (h + hn) / 2.0;
        const double s = CheckedDiv(h - hn, x - xn);
        if (run.Interactive) progress.SetProgressPosition(run.ProgressPercent(xs, xm));

        const double zetaRms = 0.01 * H0 / CheckedSqrt(H0 / L0 * (hm / H0 + 1.0));
        // Over two mid-points that rounding left microns apart the set-up difference is
        // only the iteration's tolerance: it is not extrapolated over a long step.
        const double etaGuess =
            xm1 == xm2 ? 0.0
            : std::fabs(xm - xm1) <= kMaxGuessRatio * std::fabs(xm1 - xm2)
                ? eta1 + (eta1 - eta2) * (xm - xm1) / (xm1 - xm2)
                : eta1;
        const double A = -kOnePointFivePi * (1.0 + 15.0 * CheckedPow(s, 4.0 / 3.0)) / L0;
        const double khm = WaveNumber(T, hm, g) * hm;
        const double ks = NonlinearShoaling(run, hm, khm);
        const double beta = CheckedDiv(kHsOverHrms, ks);

        const GodaHeights w =
            GodaPointHeights(run, beta, A, (eta1 + etaGuess) / 2.0 + hm, zetaRms, eval);
        const double eta = SetupBalance(RadiationStressFactor(khm), hm, eta1, hrmsPrev, w.Hrms,
                                        etaGuess, 1e-4);

        const double values[] = {w.Hrms, w.Hm, w.H13, w.H110, w.H1100, w.H13 / H0, eta};
        run.DrawStep(out, xm, hm, values);
        run.RecordPoint(xn, w.Hrms, eta);

        // Every point within this step is reported with its state.
        while (run.EstimationIndex < run.EstimationCount && x > run.TargetDistance &&
               run.TargetDistance >= xn) {
            const double reduction = (1.0 - w.H13 / (ks * H0)) * 100.0;
            if (run.ReachEstimate(out, w.Hrms, eta,
                                  {{"Hrms", w.Hrms},   {"Hm", w.Hm},         {"Hs", w.H13},
                                   {"Ks", w.H13 / H0}, {"H1/10", w.H110},    {"H1/100", w.H1100},
                                   {"reduction", reduction}, {"eta", eta},   {"zeta_rms", zetaRms}}))
                return true;
        }

        x = xn;
        h = hn;
        xm2 = xm1;
        xm1 = xm;
        eta2 = eta1;
        eta1 = eta;
        hrmsPrev = w.Hrms;
        if (!(xn > run.OnshoreEnd)) return true;
    }
}

}  // namespace orvane
