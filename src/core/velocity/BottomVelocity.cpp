#include "core/velocity/BottomVelocity.h"
#include <algorithm>
#include <array>
#include <cmath>
#include "core/runtime/Errors.h"
#include "core/runtime/MathConstants.h"
#include "core/runtime/NumberText.h"
#include "core/wave/WaveNumber.h"

namespace orvane {
namespace {

constexpr double kTwoSevenths = 0.2857142857142857;

// The iterations settle in a handful of steps; these caps are only there so that a
// pathological input ends with an error instead of a hang.
constexpr int kNewtonCap = 1000;
constexpr int kSearchCap = 100000;

double Div(double a, double b) {
    if (b == 0) throw EZeroDivide();
    return a / b;
}

double Sqrt(double x) {
    if (!(x >= 0)) throw EInvalidOp();
    return std::sqrt(x);
}

// Non-integer powers of a negative base are undefined; 0 to a positive power is 0.
double Pow(double base, double exponent) {
    if (std::isnan(base) || base < 0) throw EInvalidOp();
    if (base == 0 && exponent < 0) throw EZeroDivide();
    return std::pow(base, exponent);
}

double Log10(double x) {
    if (x == 0) throw EZeroDivide();
    if (!(x > 0)) throw EInvalidOp();
    return std::log10(x);
}

double Finite(double x) {
    if (!std::isfinite(x)) throw EInvalidOp();
    return x;
}

double LinearShoaling(double kh) {
    double t = std::tanh(kh);
    return Div(1.0, Sqrt(t + (1 - t * t) * kh));
}

// Result numbers: 3 decimals at 7 significant digits (the flow duration 2 at 5).
std::string Fix(double v, int decimals, int significant) {
    return FormatFixed(Finite(v), decimals, significant);
}
std::string Fix3(double v) { return Fix(v, 3, 7); }

}  // namespace

double NonlinearShoalingCoefficient(double H0, double h, double T, double g) {
    const double L0 = g / kTwoPi * T * T;
    // Depth h30 where the linearly shoaled wave reaches Ur = 30, as x = k·h30.
    const double C = std::pow(kTwoPi, 4) / 30 / g / (T * T) * H0;
    double x = kTwoPi * Div(h, L0);
    for (int step = 0;; ++step) {
        if (step >= kNewtonCap)
            throw EConvergence("非線形浅水係数の計算(h30)が収束しません。");
        double t = std::tanh(x);
        double w = 1 - t * t;
        double q = Sqrt(t + x * w);
        double F = x * x - Div(C, t * t * q);
        double tq = t * q;
        double dF = 2 * x + Div(C * w * (2 * x + 3 * t * (1 - x * t)), tq * tq * tq);
        double delta = Finite(Div(F, dF));
        x -= delta;
        if (std::fabs(Div(delta, x)) < 1e-4) break;
    }
    const double t = std::tanh(x);
    const double h30 = x * (L0 * t) / kTwoPi;
    const double Ks30 = Div(1.0, Sqrt(t + x * (1 - t * t)));
    if (h >= h30) return LinearShoaling(WaveNumber(T, h, g) * h);

    const double h50 = T * Sqrt(g * H0 * Ks30 / 50);
    if (h >= h50) return Ks30 * Pow(Div(h30, h), kTwoSevenths);

    const double Ks50 = Ks30 * Pow(Div(h30, h50), kTwoSevenths);
    const double C50 = Pow(h50 / L0, 1.5) * Ks50 *
                       (Sqrt(kTwoPi * Div(H0, L0) * Ks50) - kTwoSqrt3 * (h50 / L0));
    const double B = Sqrt(6 * L0 / kPi / H0) * h / L0;
    const double A = Div(C50, Sqrt(kTwoPi * H0 / L0)) * Pow(Div(L0, h), 1.5);
    // Root of K^1.5 - B·K - A = 0.
    double K = 1;
    for (int step = 0;; ++step) {
        if (step >= kNewtonCap)
            throw EConvergence("非線形浅水係数の計算(h50)が収束しません。");
        double rootK = Sqrt(K);
        double next = Finite(Div(K * rootK + 2 * A, 3 * rootK - 2 * B));
        if (std::fabs(Div(K - next, next)) < 1e-4) return next;
        K = next;
    }
}

double EquivalentDeepWaterHeight(double h, double H, double T, double g) {
    const double kh = WaveNumber(T, h, g) * h;
    const double Ur = Div(T, h) * Div(T, h) * g * H;
    if (Ur <= 30) return Finite(Div(H, LinearShoaling(kh)));

    // Decimal search: step up by d until the shoaled height passes H, then refine.
    const int n = static_cast<int>(std::trunc(Log10(H / 10)));
    double x = std::pow(10.0, n);
    double d = x;
    for (int step = 0;; ++step) {
        if (step >= kSearchCap)
            throw EConvergence("換算沖波波高の探索が収束しません。");
        x += d;
        double shoaled = Finite(NonlinearShoalingCoefficient(x, h, T, g) * x);
        if (shoaled > H) {
            x -= d;
            d /= 10;
            if (d < 1e-4) return x;
        }
    }
}

SingleWaveResult ComputeSingleWave(double h, double H, double T, double s, double g) {
    if (std::isnan(h) || std::isnan(H) || std::isnan(T) || std::isnan(s)) throw EInvalidOp();
    SingleWaveResult r;
    r.L0 = g / kTwoPi * T * T;
    const double hL0 = Div(h, r.L0);
    r.Hb = 0.17 * r.L0 * (1 - std::exp(-kOnePointFivePi * hL0 * (1 + 15 * Pow(s, 4.0 / 3.0))));
    const double k = WaveNumber(T, h, g);
    r.kh = k * h;
    r.U0 = Finite(Div(kTwoPi * H / T, std::sinh(r.kh)));
    r.Uac = r.U0 * (1 - Div(H, h) * Div(H, h) * 0.5);

    if (!(r.Hb >= H)) {
        r.broken = true;
        r.Ud = 0.3 * Sqrt(g * (h + H));
        return r;
    }

    r.Ur = Div(T, h) * Div(T, h) * g * H;
    r.H0 = EquivalentDeepWaterHeight(h, H, T, g);
    const double H0L0 = r.H0 / r.L0;

    // Isobe and Horikawa (1981).
    const double delta =
        3.2 * Pow(H0L0, 0.65) * std::exp(-(-27 * Log10(H0L0) - 17) * hL0);
    r.Uc = r.U0 * (1 - delta);
    const double tau = T * Sqrt(g / h);
    const double Ustar = Div(r.Uc, Sqrt(g * h));
    const double a = tau <= 30 ? 8e-5 * tau * tau * tau + 0.0032 * tau * tau
                               : 0.0056 * tau * tau - 4e-5 * tau * tau * tau;
    const double b = tau <= 15 ? 1.35 * tau - 15 : 0.53 * tau - 2.7;
    const double c = Div(0.5 - a, std::exp(-b) + b - 1);
    double R1 = (a + b * c) * Ustar + (0.5 - c) + c * std::exp(-b * Ustar);
    double R2 = 1 - R1;
    if (s > 0) {
        const double m = 0.003 / s + 0.62;
        R1 = 0.5 + (m - 0.5) * std::tanh(Div(R1 - 0.5, m - 0.5));
        const double nPrime = 0.018 * tau;
        R2 = 0.5 - (0.5 - nPrime) * std::tanh(Div(0.5 - R2, 0.5 - nPrime));
    }
    r.R1 = Finite(R1);
    r.R2 = Finite(R2);
    r.Umax = R1 * r.Uc;
    r.Tc = R2 * T;
    return r;
}

std::string FormatSingleWaveReport(const SingleWaveResult& r) {
    std::string t;
    t += "微小振幅波理論による流速全振幅（最大流速）\n";
    t += "　①単純に求めた場合：" + Fix3(r.U0) + "(" + Fix3(r.U0 / 2) + ") m/s\n";
    t += "　②伝達関数を補正した場合Uac：" + Fix3(r.Uac) + "m/s\n";
    if (r.broken) {
        t += "\n";
        t += "波高が砕波限界(合田,1975;A=0.17)を超えています。\n";
        t += "  最大流速(Denny,1995)：" + Fix3(r.Ud) + "m/s\n";
        t += "  最大流速(0.65Uac）　：" + Fix3(0.65 * r.Uac) + "m/s\n";
        return t;
    }
    t += "\n";
    t += "磯部・堀川(1981)の式：\n";
    t += "　流速全振幅　　　　：" + Fix3(r.Uc) + "m/s\n";
    t += "　最大岸方向流速　　：" + Fix3(r.Umax) + "m/s\n";
    t += "　岸方向流速継続時間：" + Fix(r.Tc, 2, 5) + "s";
    return t;
}

std::string SingleWaveReport(double h, double H, double T, double s, double g) {
    return FormatSingleWaveReport(ComputeSingleWave(h, H, T, s, g));
}

namespace {

// The integration grid in K = kh: 200 Simpson intervals from 0.01 to 10.0.
constexpr int kGridIntervals = 200;
constexpr double kGridStep = 9.99 / kGridIntervals;

// The parts of the integrand that depend on K alone, computed once: K·tanh K and the
// bed transfer (K + sinh K·cosh K)/(K²·sinh⁴K). Immutable after its thread-safe
// initialisation, so concurrent calls share it without locks.
struct SpectrumGrid {
    std::array<double, kGridIntervals + 1> KtanhK;
    std::array<double, kGridIntervals + 1> transfer;
    // Sums of the Simpson-weighted transfer over the nodes from n on, for the bound.
    // Summed from the top: the transfer falls steeply with K, and sums from the bottom
    // would bury the deep-water bands under the rounding of the first nodes.
    std::array<double, kGridIntervals + 2> weightedFrom;
};

const SpectrumGrid& Grid() {
    static const SpectrumGrid grid = [] {
        SpectrumGrid g{};
        for (int i = 0; i <= kGridIntervals; ++i) {
            const double K = i * kGridStep + 0.01;
            const double sh = std::sinh(K);
            const double sh2 = sh * sh;
            g.KtanhK[i] = K * std::tanh(K);
            g.transfer[i] = (K + sh * std::cosh(K)) / (K * K * sh2 * sh2);
        }
        g.weightedFrom[kGridIntervals + 1] = 0;
        for (int i = kGridIntervals; i >= 0; --i) {
            const double c = i == 0 || i == kGridIntervals ? 1 : i % 2 == 1 ? 4 : 2;
            g.weightedFrom[i] = g.weightedFrom[i + 1] + c * g.transfer[i];
        }
        return g;
    }();
    return grid;
}

// x0 = w²h/g of the peak period, after the inputs are checked.
double CheckedX0(double Tp, double Hrms, double h, double g) {
    if (!std::isfinite(Tp) || !std::isfinite(Hrms) || !std::isfinite(h) || !std::isfinite(g))
        throw EInvalidOp();
    if (Tp == 0 || h == 0 || g == 0) throw EZeroDivide();
    if (Tp < 0 || h < 0 || g < 0 || Hrms < 0) throw EInvalidOp();
    const double w = kTwoPi / Tp;
    return w * w * h / g;
}

// The factor of the spectrum's integral that makes it Urms².
double SpectrumScale(double x0, double Hrms, double h, double g) {
    const double scale = kSignificantPerRms * x0 * Hrms;
    return scale * scale * 0.205 * g / h / 2;
}

// The peak enhancement 3.3^exp(-arg) at r = (f/fp)²; far from the peak it is 1 to the
// last bit.
double PeakFactor(double r) {
    const double sigma = r <= 1 ? 0.07 : 0.09;
    const double dev = std::sqrt(r) - 1;
    const double arg = dev * dev / (2 * sigma * sigma);
    return arg > 40 ? 1.0 : std::pow(3.3, std::exp(-arg));
}

// Composite Simpson over the grid's nodes.
struct SimpsonSum {
    double ends = 0, odd = 0, even = 0;
    void Add(int i, double y) {
        if (i == 0 || i == kGridIntervals) ends += y;
        else if (i % 2 == 1) odd += y;
        else even += y;
    }
    double Integral() const { return (ends + 4 * odd + 2 * even) * kGridStep / 3; }
};

}  // namespace

RandomVelocity RandomWaveVelocity(double Tp, double Hrms, double h, double g) {
    const double x0 = CheckedX0(Tp, Hrms, h, g);
    const SpectrumGrid& grid = Grid();

    SimpsonSum sum;  // over the nodes in ascending order
    for (int i = 0; i <= kGridIntervals; ++i) {
        const double r = grid.KtanhK[i] / x0;  // (f/fp)²
        const double low = std::exp(-1.25 / (r * r));
        sum.Add(i, low != 0 ? grid.transfer[i] * low * PeakFactor(r) : 0);
    }
    const double I = sum.Integral();

    const double C = SpectrumScale(x0, Hrms, h, g);
    RandomVelocity v;
    v.Urms = Finite(std::sqrt(I * C));
    v.Us = std::sqrt(2.0) * v.Urms * kSignificantPerRms;
    return v;
}

namespace {

// The integral of RandomWaveVelocity depends on x0 = w²h/g alone. Over a narrow range
// a <= x0 <= b every node's r = K·tanhK/x0 lies in [K·tanhK/b, K·tanhK/a]: its
// low-frequency factor is at most the value at the upper end (it rises with r), its peak
// factor at most the value at the end nearer r = 1 (3.3 when the range holds 1). The
// Simpson sum of these node bounds bounds the integral on the whole range; ranges of 2 %
// keep it within a few per cent of the value.
struct IntegralBoundTable {
    static constexpr double kFirst = 1e-4, kRatio = 1.02;
    static constexpr int kRanges = 680;  // up to x0 of about 70
    std::array<double, kRanges + 1> edge;
    std::array<double, kRanges> bound;
};

const IntegralBoundTable& BoundTable() {
    static const IntegralBoundTable table = [] {
        const SpectrumGrid& grid = Grid();
        IntegralBoundTable t{};
        for (int k = 0; k <= IntegralBoundTable::kRanges; ++k)
            t.edge[k] = IntegralBoundTable::kFirst * std::pow(IntegralBoundTable::kRatio, k);
        for (int k = 0; k < IntegralBoundTable::kRanges; ++k) {
            const double a = t.edge[k], b = t.edge[k + 1];
            SimpsonSum sum;
            for (int i = 0; i <= kGridIntervals; ++i) {
                const double rHigh = grid.KtanhK[i] / a, rLow = grid.KtanhK[i] / b;
                const double low = std::exp(-1.25 / (rHigh * rHigh));
                const double peak = rHigh < 1 ? PeakFactor(rHigh) : rLow > 1 ? PeakFactor(rLow) : 3.3;
                sum.Add(i, grid.transfer[i] * low * peak);
            }
            // The margin covers the roundings of both evaluations.
            t.bound[k] = sum.Integral() * (1 + 1e-6);
        }
        return t;
    }();
    return table;
}

}  // namespace

double RandomWaveVelocityBound(double Tp, double Hrms, double h, double g) {
    const double x0 = CheckedX0(Tp, Hrms, h, g);
    const IntegralBoundTable& table = BoundTable();
    if (x0 >= table.edge.front() && x0 <= table.edge.back()) {
        int k = static_cast<int>(std::log(x0 / IntegralBoundTable::kFirst) /
                                 std::log(IntegralBoundTable::kRatio));
        k = std::clamp(k, 0, IntegralBoundTable::kRanges - 1);
        while (k > 0 && x0 < table.edge[k]) --k;
        while (k < IntegralBoundTable::kRanges - 1 && x0 > table.edge[k + 1]) ++k;
        return std::sqrt(table.bound[k] * SpectrumScale(x0, Hrms, h, g)) * (1 + 1e-9);
    }
    const SpectrumGrid& grid = Grid();

    // The nodes fall into bands of r = (f/fp)^2. In a band whose upper edge is re the
    // low-frequency factor exp(-1.25/r^2) is at most exp(-1.25/re^2), and the peak factor
    // 3.3^exp(-arg) is at most 3.3, or 1.0068 below r = 0.6 and 1.0159 above r = 1.6;
    // each bound carries a margin far above the roundings of the exact evaluation.
    struct Band {
        double edge, low, peak;
    };
    static const auto bands = [] {
        constexpr double kEdges[] = {0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 1.0,
                                     1.1, 1.2, 1.4, 1.6, 2.0, 3.0, 4.0};
        std::array<Band, std::size(kEdges)> b{};
        for (std::size_t k = 0; k < b.size(); ++k) {
            const double lower = k == 0 ? 0.0 : kEdges[k - 1];
            b[k].edge = kEdges[k];
            b[k].low = std::exp(-1.25 / (kEdges[k] * kEdges[k])) * (1 + 1e-9);
            b[k].peak = kEdges[k] <= 0.6 || lower >= 1.6 ? 1.02 : 3.3 * (1 + 1e-9);
        }
        return b;
    }();
    const auto nodesUpTo = [&](double KtanhK) {
        return static_cast<int>(
            std::upper_bound(grid.KtanhK.begin(), grid.KtanhK.end(), KtanhK) - grid.KtanhK.begin());
    };
    double sum = 0;
    int from = 0;
    for (const Band& b : bands) {
        const int to = nodesUpTo(b.edge * x0);
        sum += (grid.weightedFrom[from] - grid.weightedFrom[to]) * b.low * b.peak;
        from = to;
    }
    sum += grid.weightedFrom[from] * 1.02;
    const double I = sum * kGridStep / 3 * (1 + 1e-6);

    return std::sqrt(I * SpectrumScale(x0, Hrms, h, g)) * (1 + 1e-9);
}

RandomVelocity SignificantWaveVelocity(double h, double H, double T, const PhysicalConstants& c) {
    const double Tp = Div(T, c.RTp);
    return RandomWaveVelocity(Tp, H / kSignificantPerRms, h, c.gra);
}

std::string RandomWaveReport(double h, double H, double T, const PhysicalConstants& c) {
    const RandomVelocity v = SignificantWaveVelocity(h, H, T, c);
    return "有義流速振幅Us =" + Fix3(v.Us) + "m/s\n" +
           "rms流速振幅 Um =" + Fix3(std::sqrt(2.0) * v.Urms) + "m/s\n" +
           "rms流速　　Urms =" + Fix3(v.Urms) + "m/s";
}

}  // namespace orvane
