#pragma once
// Shared helpers of the shoaling tests: an output that records what a run shows, and
// small files written into a temporary folder.
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>
#include "core/shoaling/ShoalingRun.h"

namespace orvane::test {

struct RecordingOutput : ShoalingOutput {
    std::vector<std::pair<double, double>> heightPoints, profilePoints;
    std::vector<std::string> report;
    std::string heightTitle, leftTitle;
    double axisA = 0, axisB = 0;
    bool axisAutomatic = false;
    int axesMode = -1;

    void ClearHeightLine(const std::string& title) override { heightPoints.clear(); heightTitle = title; }
    void AddHeightPoint(double x, double y) override { heightPoints.emplace_back(x, y); }
    void SetLeftAxisTitle(const std::string& title) override { leftTitle = title; }
    void ClearProfileArea() override { profilePoints.clear(); }
    void AddProfilePoint(double x, double y) override { profilePoints.emplace_back(x, y); }
    void SetBottomAxisRange(double a, double b) override { axisA = a; axisB = b; axisAutomatic = false; }
    void SetBottomAxisAutomatic() override { axisAutomatic = true; }
    void ShowProfileAxes(int mode) override { axesMode = mode; }
    void ClearReport() override { report.clear(); }
    void AddReportLine(const std::string& line) override { report.push_back(line); }
};

// A progress sink that cancels at the n-th poll.
struct CancelAfter : Progress {
    explicit CancelAfter(int polls) : left(polls) {}
    void SetProgressComment(const std::string&) override {}
    void SetProgressPosition(int p) override { positions.push_back(p); }
    bool Cancelled() const override { return --left < 0; }
    void SetStatusLine(const std::string&) override {}
    void Hide() override {}
    mutable int left;
    std::vector<int> positions;
};

// Writes `bytes` as a file in a fresh folder under the system temporary folder.
inline std::string WriteTempFile(const std::string& name, const std::string& bytes) {
    const auto dir = std::filesystem::temp_directory_path() / "orvane_shoaling_tests";
    std::filesystem::create_directories(dir);
    const auto path = dir / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
}

// A run on the default window inputs: H 2.78 m, T 9 s, slope 0.1, points "2,4,6".
inline ShoalingRun DefaultRun() {
    ShoalingRun run{PhysicalConstants{}};
    run.Inputs = ShoalingInputs{};
    run.TideLevel = 0;
    run.SetOffshoreWave(2.78, 9);
    run.ParseEstimationPoints("2,4,6");
    return run;
}

}  // namespace orvane::test
