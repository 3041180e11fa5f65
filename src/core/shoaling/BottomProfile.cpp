// The cross-shore bed: a plane slope or a piecewise-linear profile read from a file.
// x distance offshore from the MSL shoreline (m), depth positive downwards (m); every
// still-water depth returned includes TideLevel.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include "core/runtime/Errors.h"
#include "core/runtime/NumberText.h"
#include "core/runtime/TextFile.h"
#include "core/shoaling/ShoalingRun.h"
#include "core/wave/CsvField.h"

namespace orvane {

namespace {

const char* const kDistanceOrderMessage =
    "第１列目の離岸距離データは小さい方から\n大きい方に入力して下さい。";
const char* const kTooFewPointsMessage =
    "データ数が足りません。\n最初の行には項目名を入れます。離岸距離と水深は\n"
    "２行目から入力します。このとき、必ず\"0,0\"の汀線データ\nを最初につけて岸から沖の"
    "順番に入力します。";

// Raw lines of a file, without line ends, or false when it cannot be read or is too big.
bool ReadRawLines(const std::string& path, std::vector<std::string>& lines) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size > static_cast<std::uintmax_t>(kMaxProfileBytes)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        if (lines.size() > static_cast<std::size_t>(kMaxProfilePoints) + 1) return false;
    }
    return true;
}

bool IsBlankLine(const std::string& line) {
    return line.find_first_not_of(" \t") == std::string::npos;
}

// The first index i < n with x <= d[i], or n when there is none (also for a NaN x): what a
// scan from the shoreline finds, by bisection over the non-decreasing distances.
int FirstVertexAtOrOffshore(const std::vector<double>& d, int n, double x) {
    const auto end = d.begin() + n;
    return static_cast<int>(
        std::partition_point(d.begin(), end, [x](double v) { return !(x <= v); }) - d.begin());
}

}  // namespace

std::vector<std::string> ShoalingRun::ReadProfileHeader(const std::string& path) {
    std::vector<std::string> fields;
    try {
        std::ifstream in(path, std::ios::binary);
        if (!in) return fields;
        // A header of 100 names fits easily; a file without line breaks is not read whole.
        constexpr std::size_t kMaxHeaderBytes = 1 << 20;
        std::string line;
        for (char c; line.size() < kMaxHeaderBytes && in.get(c) && c != '\n';) line.push_back(c);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string header = Cp932ToUtf8(line);
        for (int n = 1; n <= kMaxProfileColumns; ++n) {
            std::string field = GetCSVField(header, n);
            if (field.empty()) break;
            fields.push_back(std::move(field));
        }
    } catch (const std::exception&) {
        fields.clear();
    }
    return fields;
}

bool ShoalingRun::LoadProfile(ShoalingOutput& out, Prompter& prompter) {
    std::vector<double> distance, depth;
    try {
        std::vector<std::string> lines;
        if (!ReadRawLines(Inputs.ProfileFile, lines)) return false;
        // Numbers are ASCII in CP932, so the fields convert without a code-page change;
        // a blank line (a trailing CR LF, for instance) is not a point.
        double previous = 0;
        int count = 0;
        for (std::size_t i = 1; i < lines.size(); ++i) {
            if (IsBlankLine(lines[i])) continue;
            const double x = StrToFloat(GetCSVField(lines[i], DistanceColumn + 1));
            if (previous > x) {
                prompter.Beep();
                prompter.Error(kDistanceOrderMessage);
                return false;
            }
            previous = x;
            ++count;
        }
        if (count < 3) {
            prompter.Error(kTooFewPointsMessage);
            return false;
        }
        distance.reserve(count + 1);
        depth.reserve(count + 1);
        for (std::size_t i = 1; i < lines.size(); ++i) {
            if (IsBlankLine(lines[i])) continue;
            distance.push_back(StrToFloat(GetCSVField(lines[i], DistanceColumn + 1)));
            depth.push_back(StrToFloat(GetCSVField(lines[i], DepthColumn + 1)));
        }
    } catch (const std::exception&) {
        return false;
    }

    // Only a complete read replaces the profile in memory.
    ProfileCount = static_cast<int>(distance.size());
    distance.push_back(distance.back());
    depth.push_back(depth.back());
    ProfileDistance = std::move(distance);
    ProfileDepth = std::move(depth);
    ProfileLoaded = true;
    StoreDeepWaterPoint();

    Inputs.OnshoreEndValue = 0.1;
    Inputs.OffshoreEndValue = ProfileDistance[ProfileCount - 1];
    Inputs.XAxis = 1;
    out.ShowProfileAxes(1);
    out.SetBottomAxisAutomatic();
    out.ClearProfileArea();
    for (int i = 0; i < ProfileCount; ++i) out.AddProfilePoint(ProfileDistance[i], -ProfileDepth[i]);
    return true;
}

double ShoalingRun::DepthAt(double x) const {
    if (!UsesProfileFile()) return x * BedSlope + TideLevel;
    const int n = ProfileCount;
    if (n < 2) return TideLevel;
    const auto& d = ProfileDistance;
    const auto& z = ProfileDepth;
    auto along = [&](int i) {
        return TideLevel + z[i - 1] + CheckedDiv(x - d[i - 1], d[i] - d[i - 1]) * (z[i] - z[i - 1]);
    };
    if (x > d[n - 1]) return along(n - 1);
    // Distances never decrease, so the segments (d[i-1], d[i]] do not overlap and the
    // first vertex at or offshore of x closes the only segment that holds x.
    const int i = FirstVertexAtOrOffshore(d, n, x);
    if (i >= 1 && i < n) return along(i);
    // At or shoreward of the first point (or x not a number): the shoreline depth.
    return TideLevel + z[0];
}

double ShoalingRun::DistanceAt(double h) const {
    const double depth = h - TideLevel;
    if (!UsesProfileFile()) return CheckedDiv(depth, BedSlope);
    const int n = ProfileCount;
    if (n < 2) return 0;
    const auto& d = ProfileDistance;
    const auto& z = ProfileDepth;
    if (depth > z[n - 1]) {
        const double dz = z[n - 1] - z[n - 2];
        const double c = std::fabs(dz) < 1e-5 ? 0.1 : (depth - z[n - 2]) / dz;
        return d[n - 2] + (d[n - 1] - d[n - 2]) * c;
    }
    for (int i = n - 1; i >= 1; --i)
        if (z[i - 1] < depth && depth <= z[i])
            return d[i - 1] + (depth - z[i - 1]) / (z[i] - z[i - 1]) * (d[i] - d[i - 1]);
    // Shallower than the whole profile: the shoreline.
    return d[0];
}

double ShoalingRun::NextStation(double dh, double x) const {
    if (!UsesProfileFile()) return x - CheckedDiv(dh, BedSlope);
    const int n = ProfileCount;
    if (n < 2) return x - dh;
    const auto& d = ProfileDistance;
    const auto& z = ProfileDepth;
    // The file's points are in order; the deep-water point after them need not be.
    int i = FirstVertexAtOrOffshore(d, n, x);
    if (i == n && !(x <= d[n])) i = n + 1;
    if (i < 1) i = 1;
    // The vertex that no step may cross.
    double vertex = d[i - 1];
    if (i > n) {
        // Beyond the deep-water point (or before one was set): the file's last segment,
        // extended as DepthAt extends it, down to the last file point.
        i = n - 1;
        vertex = d[n - 1];
    }
    const double s = CheckedDiv(z[i] - z[i - 1], d[i] - d[i - 1]);
    double next;
    if (s > 0)
        next = x - dh / s;
    else if (s < 0)
        next = x + dh / s;
    else
        next = vertex;
    return next < vertex ? vertex : next;
}

}  // namespace orvane
