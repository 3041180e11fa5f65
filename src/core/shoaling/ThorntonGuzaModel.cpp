#include "core/shoaling/ThorntonGuzaModel.h"

#include <cmath>
#include "core/runtime/Errors.h"
#include "core/runtime/NumberText.h"
#include "core/shoaling/WaveFunctions.h"

namespace orvane {

namespace {
constexpr double kThreeSqrtPiOver16 = 0.33233509704478425513;
constexpr double kHsOverHrms = 1.416;
}  // namespace

double TGDissipation(const ShoalingRun& run, double h, double H) {
    const double gamma = run.gamma_TG, B = run.B_TG;
    const double r = CheckedDiv(H, gamma * h);
    const double weight = 1.0 - CheckedPow(1.0 + r * r, -2.5);
    const double H5 = H * H * H * H * H;
    return kThreeSqrtPiOver16 * run.Density * run.Gravity * B * B * B *
           CheckedDiv(H5, run.Period * gamma * gamma * h * h * h) * weight;
}

void ThorntonGuzaLines(const ShoalingEstimate& e, std::vector<std::string>& lines) {
    lines.push_back("  rms波高 Hrms =" + FormatFixed(e.Value("Hrms"), 3, 7) + "m");
    lines.push_back("  有義波高 Hs =" + FormatFixed(e.Value("Hs"), 3, 7) + "m" +
                    "(浅水係数 Ks =" + FormatFixed(e.Value("Ks"), 3, 5) + ")");
}

bool RunThorntonGuzaModel(ShoalingRun& run, ShoalingOutput& out, Progress& progress,
                          Prompter& prompter) {
    (void)prompter;  // this model has no message of its own
    const double H0 = run.OffshoreHeight, T = run.Period;
    const double g = run.Gravity, rho = run.Density;
    if (!(H0 > 0.0)) throw EInvalidOp();
    const double xs = run.StartDistance;

    double x = xs;
    double h = run.DepthAt(x);
    double H = H0;
    double F = StartMarch(run, h, H0);

    for (long step = 0;; ++step) {
        MarchStep s;
        if (const March m = NextMarchStep(run, step, xs, x, h, H0, progress, s); m != March::Step)
            return m == March::Done;
        const double xn = s.xn, hn = s.hn, dx = s.dx;
        const double Cgn = GroupVelocity(hn, T, g);
        // Explicit step: the dissipation at the start of the step.
        const double Fn = F - TGDissipation(run, h, H) * dx;
        const double Hn = Fn > 0.0 ? CheckedSqrt(8.0 * Fn / Cgn / (g * rho)) : 0.0;

        run.RecordPoint(xn, Hn, 0.0);
        const double values[] = {Hn, kHsOverHrms * Hn, Hn / H0};
        if (run.DrawStep(out, xn, hn, values)) out.ProcessEvents();

        if (s.haveTarget && std::fabs(xn - s.target) < 0.1 * dx &&
            run.ReachEstimate(out, Hn, 0.0, {{"Hrms", Hn}, {"Hs", kHsOverHrms * Hn}, {"Ks", Hn / H0}}, true))
            return true;

        if (Hn == 0.0) return true;  // the wave has died out
        x = xn;
        h = hn;
        H = Hn;
        F = Fn;
        if (!(xn > run.OnshoreEnd)) return true;
    }
}

}  // namespace orvane
