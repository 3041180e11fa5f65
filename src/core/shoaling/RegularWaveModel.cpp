// Regular-wave transformation over a plane bed (Sugawara and Yamamoto 1978).
//
// H height, H0 deep-water height, L0 = g T^2 / (2 pi) deep-water length, h still-water
// depth (tide included), x distance offshore, eta mean water level, Ks shoaling
// coefficient, U = g H T^2 / h^2 the shallow-water Ursell parameter. Lengths in m.
//
// Outside the surf zone H = Ks(h) H0 with the linear Ks down to the depth h30 where U
// reaches 30, then Ks ~ h^(-2/7) down to h50 (U = 50), then Ks ~ h^(-1/2). The breaking
// depth hb comes from a slope-dependent limit height; inside the surf zone H/(h + eta)
// follows a quadratic in depth with mean S over the surf zone.
#include <cmath>
#include "core/runtime/Errors.h"
#include "core/runtime/Messages.h"
#include "core/runtime/NumberText.h"
#include "core/shoaling/ShoalingModels.h"
#include "core/shoaling/WaveFunctions.h"
#include "core/runtime/MathConstants.h"
#include "core/wave/WaveNumber.h"

namespace orvane {

namespace {

// Convergence of the set-up balance, in metres of water level.
constexpr double kSetupTolerance = 1e-4;
// Within a millimetre a step counts as landing on the breaking depth.
constexpr double kOnBreakingDepth = 0.001;
constexpr int kSurfZonePasses = 100;

const char* const kSurfZoneFailure = "砕波帯内での計算が収束しませんでした。";
const char* const kNoSolution =
    "収束解が得られませんでした。\n海底勾配が大き過ぎることが\n原因の一つと考えられます。";

double LinearShoaling(double kh) {
    const double t = std::tanh(kh);
    return 1.0 / std::sqrt(t + kh * (1.0 - t * t));
}

struct Breaking {
    double hb = 0;      // breaking depth, m
    double S = 0;       // mean of H/(h + eta) over the surf zone
    bool tooSteep = false;
};

// Breaking depth for the local bed slope s: the shallowest depth (to 0.1 mm) at which the
// shoaling wave is still below the limit height. Each pass spends one unit of the run's
// `work`, which bounds the whole run.
Breaking BreakingDepth(const ShoalingRun& run, double s, long& work) {
    const double H0 = run.OffshoreHeight;
    const double L0 = run.DeepWaterLength;
    const double A = -kOnePointFivePi * (1.0 + 15.0 * CheckedPow(s, 4.0 / 3.0));
    Breaking b;
    double hb = static_cast<double>(RoundHalfEven(run.UrsellDepth50 * 1000.0)) / 1000.0;
    double step = hb > 3 ? 1.0 : 0.1;
    for (;;) {
        if (--work < 0) throw EConvergence(msg::kTooManySteps);
        hb -= step;
        if (!(hb > 0)) throw EConvergence("砕波水深が求まりませんでした（波高が小さ過ぎます）。");
        const double q = std::pow(hb / L0, 0.9);
        const double Hlim = (1.0 - std::exp(A * q)) * 0.17 * hb / q;
        if (RegularShoaling(run, hb) * H0 > Hlim) {
            hb += step;
            step *= 0.1;
            hb -= step;
        }
        if (step < 1e-4) break;
    }
    b.hb = hb;
    const double g = 0.7 * (3.85 * s + 0.015);
    if (!(g < 1.0)) {
        b.tooSteep = true;
        return b;
    }
    b.S = std::sqrt((8.0 / 3.0) * g / (1.0 - g));
    return b;
}

}  // namespace

double RegularShoaling(const ShoalingRun& run, double h) {
    if (h <= 0) return 0;
    if (h >= run.UrsellDepth30) return LinearShoaling(WaveNumber(run.Period, h, run.Gravity) * h);
    if (h >= run.UrsellDepth50) return run.ShoalingAt30 * std::pow(run.UrsellDepth30 / h, 2.0 / 7.0);
    return run.ShoalingAt50 * std::sqrt(run.UrsellDepth50 / h);
}

void UrsellDepths(ShoalingRun& run, double hs) {
    const double H0 = run.OffshoreHeight;
    const double L0 = run.DeepWaterLength;
    if (!(H0 > 0)) throw EInvalidOp();
    const double C = kTwoPi * kTwoPi * kTwoPi / 30.0 * CheckedDiv(H0, L0);
    double x = kTwoPi * CheckedDiv(hs, L0);
    for (int pass = 0;; ++pass) {
        if (pass >= kMaxNewtonPasses || !std::isfinite(x))
            throw EConvergence("アーセル数の水深の計算が収束しませんでした。");
        const double t = std::tanh(x);
        const double q = t + x * (1.0 - t * t);
        const double f = (x * t) * (x * t) - C / std::sqrt(q);
        const double df = 2.0 * x * t * q + C * (1.0 - t * t) * (1.0 - x * t) / std::pow(q, 1.5);
        const double dx = CheckedDiv(f, df);
        x -= dx;
        if (std::fabs(dx) / std::fabs(x) < 1e-4) break;
    }
    run.UrsellDepth30 = std::tanh(x) * x * L0 / kTwoPi;
    run.ShoalingAt30 = LinearShoaling(x);
    run.UrsellDepth50 =
        CheckedPow(kTwoPiOver50 * H0 * L0 * run.ShoalingAt30, 7.0 / 16.0) * CheckedPow(run.UrsellDepth30, 0.125);
    run.ShoalingAt50 = run.ShoalingAt30 * std::pow(run.UrsellDepth30 / run.UrsellDepth50, 2.0 / 7.0);
}

void RegularWaveLines(const ShoalingEstimate& e, std::vector<std::string>& lines) {
    const char* label = e.Value("broken") == 0.0 ? "（非砕波）" : "（砕波）";
    lines.push_back("  浅水係数 Ks =" + FormatFixed(e.Value("Ks"), 3, 5) + "、波高 H =" +
                    FormatFixed(e.Value("H"), 3, 7) + "m" + label);
    lines.push_back("  ﾗｼﾞｴｰｼｮﾝｽﾄﾚｽによる水位上昇η=" + FormatFixed(e.Value("eta"), 3, 7) + "m");
}

bool RunRegularWaveModel(ShoalingRun& run, ShoalingOutput& out, Progress& progress,
                         Prompter& prompter) {
    const double H0 = run.OffshoreHeight;
    const double L0 = run.DeepWaterLength;
    const double T = run.Period;
    const double g = run.Gravity;

    const double hs = run.DistanceAt(L0) >= run.TargetDistance ? L0 : run.DepthAt(1.1 * run.TargetDistance);
    UrsellDepths(run, hs);
    const double xs = run.DistanceAt(hs);
    double x = xs, h = hs, eta = 0.0;
    double H = RegularShoaling(run, hs) * H0;

    const double dh = 0.025 * H0;
    run.ReserveRecords(hs, dh);

    // One budget for every step and every pass of the breaking-depth search.
    long work = kMaxModelSteps;
    // On a plane bed the local slope differs from the bed slope only by rounding, which far
    // offshore changes it at nearly every step: the breaking depth is searched once.
    const bool plane = !run.UsesProfileFile();
    double lastSlope = run.BedSlope;
    Breaking br = BreakingDepth(run, lastSlope, work);
    double hb = br.hb;
    if (br.tooSteep) {
        if (run.Interactive) prompter.Error(kNoSolution);
        return false;
    }
    double a = 0, b = 0, c = 0;
    bool surfConstantsSet = false;
    bool failed = false;

    for (;;) {
        if (--work < 0) throw EConvergence(msg::kTooManySteps);
        if (progress.Cancelled()) return false;

        double x2 = run.NextStation(dh, x);
        double h2 = run.DepthAt(x2);
        if (h2 <= 0) return true;
        if (std::fabs(h - hb) > kOnBreakingDepth && h > hb && h2 <= hb) {
            h2 = hb;
            x2 = run.DistanceAt(h2);
        }
        const double target = run.TargetDistance;
        if (x > target && x2 < target) x2 = (x + x2) / 2 > target ? 2 * target - x2 : 2 * target - x;
        if (x2 < run.OnshoreEnd) return true;

        h2 = run.DepthAt(x2);
        const double hm = (h + h2) / 2;
        const double xm = (x + x2) / 2;
        const double s = CheckedDiv(h - h2, x - x2);
        if (!plane && s != lastSlope) {
            br = BreakingDepth(run, s, work);
            lastSlope = s;
        }
        if (br.tooSteep) {
            if (run.Interactive) prompter.Error(kNoSolution);
            return false;
        }
        hb = br.hb;

        if (run.Interactive) progress.SetProgressPosition(run.ProgressPercent(xs, xm));

        const double khm = hm > 0 ? WaveNumber(T, hm, g) * hm : 0.0;
        const double F = RadiationStressFactor(khm);
        const double eta0 = eta;
        const double Hprev = H;

        if (h > hb) {
            H = RegularShoaling(run, h2) * H0;
            eta = SetupBalance(F, hm, eta0, Hprev, H, eta0, kSetupTolerance);
            if (std::fabs(h2 - hb) < kOnBreakingDepth) {
                const double gammaB = CheckedDiv(H, h2 + eta);
                c = (5 * s + 0.35) * gammaB;
                a = 3 * (gammaB + c - 2 * br.S) / (hb * hb);
                b = -2 * (2 * c + gammaB - 3 * br.S) / hb;
                surfConstantsSet = true;
            }
        } else {
            if (!surfConstantsSet) {
                // The march began inside the surf zone: take the breaker index from here.
                const double gammaB = CheckedDiv(Hprev, h + eta0);
                c = (5 * s + 0.35) * gammaB;
                a = 3 * (gammaB + c - 2 * br.S) / (hb * hb);
                b = -2 * (2 * c + gammaB - 3 * br.S) / hb;
                surfConstantsSet = true;
            }
            const double gamma = a * h2 * h2 + b * h2 + c;
            double e = eta0;
            for (int pass = 1;; ++pass) {
                if (--work < 0) throw EConvergence(msg::kTooManySteps);
                if (pass > kSurfZonePasses) {
                    prompter.Error(kSurfZoneFailure);
                    failed = true;
                    break;
                }
                H = (h2 + e) * gamma;
                const double next = eta0 - CheckedDiv(F, (eta0 + e) / 2 + hm) * (H * H - Hprev * Hprev);
                const double change = std::fabs(next - e);
                e = next;
                if (change < kSetupTolerance) break;
            }
            eta = e;
        }
        if (failed) break;

        const double values[] = {H, H / H0, eta};
        run.RecordPoint(x2, H, eta);
        run.DrawStep(out, xm, hm, values);

        // Two points within one step are both reported with this step's state.
        while (x2 < run.TargetDistance && run.TargetDistance < x) {
            if (run.ReachEstimate(out, H, eta,
                                  {{"Ks", H / H0}, {"H", H}, {"eta", eta}, {"broken", h2 > hb ? 0.0 : 1.0}}))
                return true;
        }

        x = x2;
        h = h2;
        if (!(x2 > run.OnshoreEnd)) break;
    }

    if (failed) {
        prompter.Error(kNoSolution);
        return false;
    }
    return true;
}

}  // namespace orvane
