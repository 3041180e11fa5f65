#include "core/shoaling/ShoalingRun.h"

namespace orvane {

void ShoalingRun::CopyConstants(const PhysicalConstants& c) {
    Gravity = c.gra;
    Density = c.SGfluid * 1000.0;
    PeriodRatio = c.RTp;
    gamma_TG = c.gamma_TG;
    B_TG = c.B_TG;
}

}  // namespace orvane
