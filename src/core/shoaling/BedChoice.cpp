#include "core/shoaling/BedChoice.h"

#include <filesystem>
#include <fstream>

#include "core/runtime/Errors.h"
#include "core/runtime/Messages.h"
#include "core/runtime/NumberText.h"
#include "core/runtime/TextFile.h"

namespace orvane {

int FindProfileColumn(const ProfileColumnChoice& c, const std::vector<std::string>& header,
                      std::string& message) {
    if (c.name.empty() && !c.numbered) {
        if (c.index >= 0) return c.index;
        message = "断面データの列の番号 " + std::to_string(c.index) + " は使えません (0 から数えます)。";
        return -1;
    }
    for (std::size_t i = 0; i < header.size(); ++i)
        if (header[i] == c.name) return static_cast<int>(i);
    int number = 0;
    if (!c.numbered) {
        message = "'" + MessageExcerpt(c.name) + "' は断面データの列の項目名ではありません。";
        return -1;
    }
    if (TryStrToInt(c.name, number) && number >= 1 && number <= kMaxProfileColumns) return number - 1;
    message = "'" + MessageExcerpt(c.name) + "' は列の項目名でも 1～" + std::to_string(kMaxProfileColumns) +
              " の番号でもありません。";
    return -1;
}

namespace {

// Why a profile file has no names on its first line: neither encoding reads it, or it is
// empty.
std::string MissingHeaderText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    for (char c; line.size() < (1u << 20) && in.get(c) && c != '\n';) line.push_back(c);
    try {
        DetectTextEncoding(line, "「" + path + "」");
    } catch (const OrvaneError& e) {
        return e.what();
    }
    return "「" + path + "」の1行目に項目名がありません。";
}

}  // namespace

BedSetup SetUpBed(const BedChoice& bed, const PhysicalConstants& constants, Prompter& prompter) {
    BedSetup s;
    s.run.CopyConstants(constants);
    auto fail = [&](BedProblem problem, std::string message) {
        s.problem = problem;
        s.message = std::move(message);
        return std::move(s);
    };
    ShoalingInputs& in = s.run.Inputs;
    const SurfZoneModel& model = SurfZoneModelOf(bed.method);
    in.Method = model.key;
    in.ObsPos = model.startsAtObservation ? 1 : 0;
    in.XAxis = bed.xAxis;
    auto giveEnds = [&] {
        if (bed.onshoreEnd) in.OnshoreEndValue = *bed.onshoreEnd;
        if (bed.offshoreEnd) in.OffshoreEndValue = *bed.offshoreEnd;
    };
    giveEnds();
    if (model.startsAtObservation) {
        if (!bed.obsPos) return fail(BedProblem::ObsPosMissing, msg::kObsDepthNeeded);
        in.ObsPosValue = *bed.obsPos;
    }
    if (!bed.HasProfile()) {
        in.Slope = bed.slope;
        return s;
    }
    in.ProfileMode = 1;
    in.XAxis = 1;
    ShoalingOutput none;
    bool loaded = true;
    if (bed.profileArrays) {
        if (model.planeBedOnly) return s;  // its run refuses the profile with its own message
        loaded = s.run.SetProfile(bed.profileDistance, bed.profileDepth, none, prompter);
    } else {
        const std::string& path = bed.profileFile;
        in.ProfileFile = path;
        // A FIFO would block the reader, a folder is no file: said before reading.
        if (std::string problem = InputFileProblem(path); !problem.empty()) {
            std::error_code ec;
            return fail(std::filesystem::exists(path, ec) ? BedProblem::FileUnusable : BedProblem::FileMissing,
                        problem);
        }
        const auto header = ShoalingRun::ReadProfileHeader(path);
        if (header.empty()) return fail(BedProblem::FileUnusable, MissingHeaderText(path));
        std::string message;
        s.run.DistanceColumn = FindProfileColumn(bed.distanceColumn, header, message);
        if (s.run.DistanceColumn < 0) return fail(BedProblem::DistanceColumn, message);
        s.run.DepthColumn = FindProfileColumn(bed.depthColumn, header, message);
        if (s.run.DepthColumn < 0) return fail(BedProblem::DepthColumn, message);
        if (model.planeBedOnly) return s;
        loaded = s.run.LoadProfile(none, prompter);
    }
    if (!loaded) return fail(BedProblem::ProfileRefused, msg::kRunAbandoned);
    giveEnds();
    return s;
}

}  // namespace orvane
