#include "core/shoaling/ShoalingModels.h"

namespace orvane {

bool RunGodaModel(ShoalingRun& run, ShoalingOutput& out, Progress& progress, Prompter& prompter) {
    (void)run; (void)out; (void)progress; (void)prompter;
    return false;
}

}  // namespace orvane
