#pragma once
// One run of a shoaling model through the run control, as the window or the time-series
// tool makes it, with everything it draws, reports and asks recorded.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>
#include "core/runtime/ScriptedPrompter.h"
#include "core/shoaling/ShoalingRun.h"

namespace orvane::test {

struct Recorder : ShoalingOutput {
    std::vector<std::string> lines;
    std::vector<double> px, py;
    void AddReportLine(const std::string& line) override { lines.push_back(line); }
    void AddHeightPoint(double x, double y) override { px.push_back(x); py.push_back(y); }
};

struct ModelCase {
    int method = 1;
    double H = 2.78, T = 9, slope = 0.02, tide = 0, B = 1.54;
    int heightKind = 0;      // 0 significant, 1 rms
    std::string points = "2,4,6";
    double obs = 20;         // observation depth, or distance on a profile (methods 2, 3)
    double onshore = 0.1, offshore = 20;
    int display = 0;
    bool interactive = true, record = true;
    std::string profile;     // a profile file (distance, depth) instead of the plane bed
};

struct ModelResult {
    bool ok = false;
    ShoalingRun run;
    Recorder out;
    ScriptedPrompter prompter;
};

inline void RunCase(const ModelCase& c, ModelResult& r) {
    r = ModelResult{};
    ShoalingRun& run = r.run;
    run = ShoalingRun(PhysicalConstants{});
    run.B_TG = c.B;
    run.Inputs.Method = c.method;
    run.Inputs.HeightKind = c.heightKind;
    run.Inputs.ObsPos = c.method >= 2 ? 1 : 0;
    run.Inputs.ObsPosValue = c.obs;
    run.Inputs.Slope = c.slope;
    run.Inputs.OnshoreEndValue = c.onshore;
    run.Inputs.OffshoreEndValue = c.offshore;
    run.Inputs.DisplayIndex = c.display;
    if (!c.profile.empty()) {
        run.Inputs.ProfileMode = 1;
        run.Inputs.ProfileFile = c.profile;
        run.DepthColumn = 1;
    }
    run.RecordProfile = c.record;
    run.TideLevel = c.tide;
    run.SetOffshoreWave(c.H, c.T);
    run.ParseEstimationPoints(c.points);
    ASSERT_TRUE(run.PrepareRun(r.out, r.prompter).ok);
    run.Interactive = c.interactive;
    NullProgress progress;
    r.ok = run.RunModel(run.EstimationValues, c.tide, r.out, progress, r.prompter);
}

// The number after `key` in the report lines of the point whose first line is `first`.
inline double Field(const std::vector<std::string>& lines, std::size_t first,
                    const std::string& key) {
    for (std::size_t i = first + 1; i < lines.size() && i < first + 8; ++i) {
        const auto at = lines[i].find(key);
        if (at != std::string::npos) return std::stod(lines[i].substr(at + key.size()));
    }
    ADD_FAILURE() << "no " << key;
    return 0;
}

inline std::string WriteProfile(const std::string& name, const std::string& body) {
    const std::string path = ::testing::TempDir() + name;
    std::ofstream(path, std::ios::binary) << body;
    return path;
}

}  // namespace orvane::test
