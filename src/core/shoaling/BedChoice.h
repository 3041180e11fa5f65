#pragma once
// The user's bed as every front end takes it (plane slope or profile, x axis, display
// range, observation point), turned into a ShoalingRun in one place. A front end only
// fills a BedChoice from its own syntax and reports a BedSetup's problem its own way
// (a usage error naming the option, a Python exception).
#include <optional>
#include <string>
#include <vector>

#include "core/app/PhysicalConstants.h"
#include "core/runtime/Prompter.h"
#include "core/shoaling/ShoalingRun.h"

namespace orvane {

// A profile column: a header name, or a position.
struct ProfileColumnChoice {
    std::string name;       // matched against the header first
    bool numbered = false;  // `name` may also be a number counted from 1 (the command line's)
    int index = -1;         // from 0, given as a number (Python's); used as it is
};

// The column's index from 0; -1 with `message` set when the header has no such name.
int FindProfileColumn(const ProfileColumnChoice& column, const std::vector<std::string>& header,
                      std::string& message);

struct BedChoice {
    int method = 0;
    int xAxis = 0;        // 0 depth, 1 distance; a profile is always distance
    double slope = 0.1;   // a plane bed
    // Where the models that start at the observation point start.
    std::optional<double> obsPos;
    // Given ends win over a profile's extent; without a profile, 0.1 and 10 otherwise.
    std::optional<double> onshoreEnd, offshoreEnd;
    // A profile: a file with its columns, or two arrays.
    std::string profileFile;
    ProfileColumnChoice distanceColumn{"", false, 0}, depthColumn{"", false, 1};
    bool profileArrays = false;
    std::vector<double> profileDistance, profileDepth;

    bool HasProfile() const { return profileArrays || !profileFile.empty(); }
};

enum class BedProblem {
    None,
    ObsPosMissing,   // the method starts at the observation point and none was given
    FileMissing,     // the profile file is not there
    FileUnusable,    // a folder, a FIFO, or a first line without names
    DistanceColumn,  // a column that is not in the header
    DepthColumn,
    ProfileRefused,  // the points were refused; the prompter has shown why
};

struct BedSetup {
    ShoalingRun run;  // Method, start, x axis, slope, range, the profile read
    BedProblem problem = BedProblem::None;
    std::string message;
    bool ok() const { return problem == BedProblem::None; }
};

// The run for `bed`: the method's start, the x axis, the plane slope, or the profile read
// (not for a model that takes only a plane bed: its run refuses the profile itself).
BedSetup SetUpBed(const BedChoice& bed, const PhysicalConstants& constants, Prompter& prompter);

}  // namespace orvane
