#pragma once
// Shared helpers of the shoaling tests: an output that records what a run shows, a
// progress that cancels, small files in a temporary folder, the default run.
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>
#include "core/runtime/ScriptedPrompter.h"
#include "core/shoaling/ShoalingRun.h"

namespace orvane::test {

struct RecordingOutput : ShoalingOutput {
    std::vector<std::pair<double, double>> heightPoints, profilePoints;
    std::vector<std::string> report;
    std::string heightTitle, leftTitle;
    double axisA = 0, axisB = 0;
    bool axisAutomatic = false;

    void ClearHeightLine(const std::string& title) override { heightPoints.clear(); heightTitle = title; }
    void AddHeightPoint(double x, double y) override { heightPoints.emplace_back(x, y); }
    void SetLeftAxisTitle(const std::string& title) override { leftTitle = title; }
    void ClearProfileArea() override { profilePoints.clear(); }
    void AddProfilePoint(double x, double y) override { profilePoints.emplace_back(x, y); }
    void SetBottomAxisRange(double a, double b) override { axisA = a; axisB = b; axisAutomatic = false; }
    void SetBottomAxisAutomatic() override { axisAutomatic = true; }
    void ClearReport() override { report.clear(); }
    void AddReportLine(const std::string& line) override { report.push_back(line); }
};

// Cancels at the n-th poll.
struct CancelAfter : NullProgress {
    explicit CancelAfter(int polls) : left(polls) {}
    void SetProgressPosition(int p) override { positions.push_back(p); }
    bool Cancelled() const override { return --left < 0; }
    mutable int left;
    std::vector<int> positions;
};

inline std::string WriteTempFile(const std::string& name, const std::string& bytes) {
    const auto dir = std::filesystem::temp_directory_path() / "orvane_shoaling_tests";
    std::filesystem::create_directories(dir);
    std::ofstream(dir / name, std::ios::binary) << bytes;
    return (dir / name).string();
}

// The window's initial inputs: H 2.78 m, T 9 s, slope 0.1, points "2,4,6", depth mode.
inline ShoalingRun DefaultRun() {
    ShoalingRun run{PhysicalConstants{}};
    run.SetOffshoreWave(2.78, 9);
    run.ParseEstimationPoints("2,4,6");
    return run;
}

// PrepareRun (questions answered by `answers`, then Yes) and RunModel at the run's tide.
struct Outcome {
    PrepareResult prepared;
    bool ok = false;
    ShoalingRun run;
    RecordingOutput out;
    ScriptedPrompter prompter;
};
inline Outcome March(ShoalingRun run, bool interactive = true, Progress* progress = nullptr,
                     std::deque<bool> answers = {}) {
    Outcome o;
    o.run = std::move(run);
    o.prompter.answers = std::move(answers);
    o.prepared = o.run.PrepareRun(o.out, o.prompter);
    if (!o.prepared.ok) return o;
    o.run.Interactive = interactive;
    NullProgress none;
    o.ok = o.run.RunModel(o.run.EstimationValues, o.run.TideLevel, o.out, progress ? *progress : none,
                          o.prompter);
    return o;
}

}  // namespace orvane::test
