#include "core/shoaling/ShoalingMarch.h"

#include "core/runtime/Errors.h"
#include "core/runtime/Messages.h"
#include "core/shoaling/WaveFunctions.h"

namespace orvane {

std::optional<double> NextRandomStation(const ShoalingRun& run, long step, double x, double h, double H0,
                                        Progress& progress) {
    if (step >= kMaxModelSteps) throw EConvergence(msg::kTooManySteps);
    if (progress.Cancelled()) return std::nullopt;
    const double dh = h / H0 >= 2.5 ? 0.25 * H0 : 0.05 * H0;
    return run.NextStation(dh, x);
}

bool StopsShort(const ShoalingRun& run, double x, double xn) {
    if (xn < x) return false;
    if (run.AtShorewardEndOfProfile(x)) return true;
    throw EConvergence(msg::kStepStalled);
}

double StartMarch(ShoalingRun& run, double h, double H0) {
    const double g = run.Gravity, rho = run.Density, H = H0;
    const double F = rho * g * H * H / 8.0 * GroupVelocity(h, run.Period, g);
    // Steps of 0.25 H0 down to 2.5 H0, then 50 of 0.05 H0.
    run.ReserveRecords(h + 12.5 * H0, 0.25 * H0);
    return F;
}

March NextMarchStep(ShoalingRun& run, long step, double xs, double x, double h, double H0, Progress& progress,
                    MarchStep& s) {
    const std::optional<double> next = NextRandomStation(run, step, x, h, H0, progress);
    if (!next) return March::Cancelled;
    double xn = *next;
    if (StopsShort(run, x, xn)) return March::Done;
    s.haveTarget = run.EstimationIndex < run.EstimationCount;
    s.target = run.TargetDistance;
    if (s.haveTarget && x > s.target && s.target > xn) xn = s.target;
    if (xn < run.OnshoreEnd) return March::Done;
    if (run.Interactive) progress.SetProgressPosition(run.ProgressPercent(xs, xn));
    s.hn = run.DepthAt(xn);
    if (s.hn <= 0.0) return March::Done;
    s.xn = xn;
    s.dx = x - xn;
    return March::Step;
}

}  // namespace orvane
