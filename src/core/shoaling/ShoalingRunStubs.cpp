// Temporary: lets the tree link until the run control lands.
#include "core/shoaling/ShoalingModels.h"

namespace orvane {
std::span<const DisplayItem> DisplayItemsFor(int) { return {}; }
const char* BottomAxisTitle(int) { return ""; }
const char* RightAxisTitle(int) { return ""; }
void ShoalingRun::SetOffshoreWave(double, double) {}
void ShoalingRun::ParseEstimationPoints(const std::string&) {}
PrepareResult ShoalingRun::PrepareRun(ShoalingOutput&, Prompter&, PrepareMode) { return {}; }
bool ShoalingRun::RunModel(std::span<const double>, double, ShoalingOutput&, Progress&, Prompter&) { return false; }
std::vector<std::string> ShoalingRun::ReadProfileHeader(const std::string&) { return {}; }
bool ShoalingRun::LoadProfile(ShoalingOutput&, Prompter&) { return false; }
double ShoalingRun::DepthAt(double) const { return 0; }
double ShoalingRun::DistanceAt(double) const { return 0; }
double ShoalingRun::NextStation(double, double) const { return 0; }
std::string ShoalingRun::PositionLine() const { return {}; }
bool ShoalingRun::StoreEstimate(double, double) { return false; }
void ShoalingRun::AdvanceTarget() {}
void ShoalingRun::ReserveRecords(double, double) {}
int ShoalingRun::ProgressPercent(double, double) const { return 0; }
bool RunRegularWaveModel(ShoalingRun&, ShoalingOutput&, Progress&, Prompter&) { return false; }
double RegularShoaling(const ShoalingRun&, double) { return 0; }
void UrsellDepths(ShoalingRun&, double) {}
}  // namespace orvane
