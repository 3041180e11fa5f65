#pragma once
// The march of the random models from offshore to the shore: the stations, where it
// stops, and the explicit march of the energy-flux models.
#include <optional>

#include "core/runtime/Progress.h"
#include "core/shoaling/ShoalingRun.h"

namespace orvane {

// The next station of a random model's march from x at still-water depth h: steps of
// 0.25 H0 down to 2.5 H0, then 0.05 H0. Nothing when cancelled; EConvergence once `step`
// reaches kMaxModelSteps.
std::optional<double> NextRandomStation(const ShoalingRun& run, long step, double x, double h, double H0,
                                        Progress& progress);
// A station xn that does not advance from x: the end of the march at the shoreward end
// of a profile (true), an EConvergence anywhere else. False when it advances.
bool StopsShort(const ShoalingRun& run, double x, double xn);

// The energy flux ρgH0²/8·Cg where the explicit march starts (depth h); reserves the
// records of its steps.
double StartMarch(ShoalingRun& run, double h, double H0);
// A step of the explicit march (Thornton-Guza, Battjes-Stive) from x at depth h, started
// at xs: the station above, pulled onto the next estimation point when that lies within
// the step; the march ends at the onshore end, dry land or a profile's shoreward end.
enum class March { Step, Done, Cancelled };
struct MarchStep {
    double xn = 0, hn = 0, dx = 0;  // the station, its depth, the step's length
    bool haveTarget = false;
    double target = 0;              // the estimation point's distance
};
March NextMarchStep(ShoalingRun& run, long step, double xs, double x, double h, double H0, Progress& progress,
                    MarchStep& s);

}  // namespace orvane
