#include "core/shoaling/BattjesStiveModel.h"

#include <cmath>
#include "core/runtime/Errors.h"
#include "core/runtime/NumberText.h"
#include "core/shoaling/WaveFunctions.h"
#include "core/wave/WaveNumber.h"

namespace orvane {

namespace {
constexpr double kHsOverHrms = 1.416;
// The set-up guess extrapolates over at most this many times the previous step.
constexpr double kMaxGuessRatio = 1000.0;
}  // namespace

double BSBreakerParameter(double H0, double L0) {
    return 0.5 + 0.4 * std::tanh(33.0 * CheckedDiv(H0, L0));
}

double BSBreakerHeight(double gamma, double d, double T, double g) {
    return BSBreakerHeightOfK(gamma, WaveNumber(T, d, g), d);
}

double BSBreakerHeightOfK(double gamma, double k, double d) {
    return 0.88 / k * std::tanh(gamma * k * d / 0.88);
}

double BSBreakingFraction(double H, double Hm) {
    const double r = CheckedDiv(H, Hm);
    const double a = r * r;
    double Q = 0.5;
    for (int pass = 0; pass < kMaxNewtonPasses; ++pass) {
        const double e = CheckResult(std::exp(CheckedDiv(Q - 1.0, a)));
        const double next = Q - CheckedDiv(e - Q, e / a - 1.0);
        const double change = std::fabs(next - Q);
        Q = next;
        if (change < 1e-5) return Q;
    }
    throw EConvergence("砕波率の計算が収束しませんでした。");
}

double BSDissipation(const ShoalingRun& run, double gamma, double H, double d) {
    const double Hm = BSBreakerHeight(gamma, d, run.Period, run.Gravity);
    const double Qb = BSBreakingFraction(H, Hm);
    return 0.25 * Qb * run.Density * run.Gravity * Hm * Hm / run.Period;
}

void BattjesStiveLines(const ShoalingEstimate& e, std::vector<std::string>& lines) {
    lines.push_back("  rms波高 Hrms =" + FormatFixed(e.Value("Hrms"), 3, 5) + "m");
    lines.push_back("  有義波高 Hs =" + FormatFixed(e.Value("Hs"), 3, 5) + "m" +
                    "(浅水係数 Ks =" + FormatFixed(e.Value("Ks"), 3, 5) + ")");
    lines.push_back("  ﾗｼﾞｴｰｼｮﾝｽﾄﾚｽによる水位上昇η=" + FormatFixed(e.Value("eta"), 3, 5) + "m");
}

bool RunBattjesStiveModel(ShoalingRun& run, ShoalingOutput& out, Progress& progress,
                          Prompter& prompter) {
    const double H0 = run.OffshoreHeight, T = run.Period;
    const double g = run.Gravity, rho = run.Density;
    if (!(H0 > 0.0)) throw EInvalidOp();
    const double gamma = BSBreakerParameter(H0, run.DeepWaterLength);
    const double xs = run.StartDistance;

    double x = xs;
    double h = run.DepthAt(x);
    double H = H0;
    double eta = 0.0, etaPrev = 0.0;
    double dxPrev = 0.0;
    double F = StartMarch(run, h, H0);

    for (long step = 0;; ++step) {
        MarchStep s;
        if (const March m = NextMarchStep(run, step, xs, x, h, H0, progress, s); m != March::Step)
            return m == March::Done;
        const double xn = s.xn, hn = s.hn, dx = s.dx;
        const double hm = (hn + h) / 2.0;
        // After a step that rounding left microns long (onto a vertex) the set-up change
        // over it is only the iteration's tolerance: not extrapolated over a long step.
        const double etaGuess = dxPrev > 1e-7 ? (dx <= kMaxGuessRatio * dxPrev
                                                     ? eta + dx / dxPrev * (eta - etaPrev)
                                                     : eta)
                                              : 0.0;

        const double Fn = F - BSDissipation(run, gamma, H, (eta + etaGuess) / 2.0 + hm) * dx;
        // All the energy is gone within one step: the explicit march has no answer here.
        if (Fn <= 0.0) return false;
        const double dn = hn + etaGuess;
        // The group velocity and the breaker height share the wavenumber at dn.
        const double kn = WaveNumber(T, dn, g);
        double Hn = CheckedSqrt(8.0 * Fn / GroupVelocityOfK(kn, dn, T) / (g * rho));
        const double Hmax = BSBreakerHeightOfK(gamma, kn, dn);
        if (Hn > Hmax) Hn = Hmax;

        // Set-up: the radiation-stress factor follows the total depth in every pass.
        const double dH2 = Hn * Hn - H * H;
        double etaNew = eta;
        for (int pass = 0;; ++pass) {
            if (pass >= kSetupPassCap)
                throw EConvergence("平均水位の計算が収束しませんでした。");
            const double d = (etaNew + eta) / 2.0 + hm;
            if (d <= 0.0) {
                prompter.Beep();
                prompter.Error("x = " + FormatGeneral(xn, 5) + "でηの計算に失敗しました。");
                return false;
            }
            const double next =
                eta - RadiationStressFactor(WaveNumber(T, d, g) * d) / d * dH2;
            const double change = std::fabs(next - etaNew);
            etaNew = next;
            if (change < 1e-5) break;
            if (!std::isfinite(etaNew)) throw EInvalidOp();
        }

        run.RecordPoint(xn, Hn, etaNew);
        const double values[] = {Hn, kHsOverHrms * Hn, kHsOverHrms * Hn / (kHsOverHrms * H0), etaNew};
        if (run.DrawStep(out, xn, hn, values)) out.ProcessEvents();

        if (s.haveTarget && std::fabs(xn - s.target) < 0.1 * dx &&
            run.ReachEstimate(out, Hn, etaNew,
                              {{"Hrms", Hn}, {"Hs", kHsOverHrms * Hn}, {"Ks", Hn / H0}, {"eta", etaNew}}, true))
            return true;

        if (Hn == 0.0) return true;
        dxPrev = dx;
        x = xn;
        h = hn;
        H = Hn;
        F = Fn;
        etaPrev = eta;
        eta = etaNew;
        if (!(xn > run.OnshoreEnd)) return true;
    }
}

}  // namespace orvane
