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

// The message of a profile that could not be read, with the reason the user can act on.
std::string ProfileFailure(const std::string& reason) { return "海底断面データを読み込めません。\n" + reason; }

bool IsControl(unsigned char c) { return (c < 0x20 && c != '\t' && c != '\r' && c != '\n') || c == 0x7F; }

// Control bytes in the header line, or many of them near the start: no text file.
bool LooksBinary(std::string_view head) {
    const std::size_t firstLine = std::min(head.find('\n'), head.size());
    std::size_t controls = 0;
    for (std::size_t i = 0; i < head.size(); ++i) {
        if (!IsControl(static_cast<unsigned char>(head[i]))) continue;
        if (i < firstLine) return true;
        ++controls;
    }
    return controls * 16 > head.size();
}

// Raw lines of a file, without line ends; on failure the reason.
std::string ReadRawLines(const std::string& path, std::vector<std::string>& lines) {
    std::error_code ec;
    // A FIFO would block the read and a folder is no file; a missing file is said below.
    if (std::string problem = InputFileProblem(path); !problem.empty() && std::filesystem::exists(path, ec))
        return ProfileFailure(problem);
    const auto size = std::filesystem::file_size(path, ec);
    std::ifstream in;
    if (!ec) in.open(path, std::ios::binary);
    if (ec || !in) return ProfileFailure("ファイル「" + path + "」を開けません。");
    if (size > static_cast<std::uintmax_t>(kMaxProfileBytes))
        return ProfileFailure("ファイルが大きすぎます（" + std::to_string(kMaxProfileBytes / (1024 * 1024)) +
                              "MBまで）。");
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (!in.read(bytes.data(), static_cast<std::streamsize>(bytes.size())))
        return ProfileFailure("ファイル「" + path + "」を読み込めません。");
    const unsigned char b0 = bytes.size() > 0 ? bytes[0] : 0, b1 = bytes.size() > 1 ? bytes[1] : 0;
    const std::string_view head(bytes.data(), std::min<std::size_t>(bytes.size(), 512));
    const bool nulOdd = head.size() >= 2 && head[1] == '\0' && head[0] != '\0';
    const bool nulEven = head.size() >= 2 && head[0] == '\0' && head[1] != '\0';
    if ((b0 == 0xFF && b1 == 0xFE) || (b0 == 0xFE && b1 == 0xFF) || nulOdd || nulEven)
        return ProfileFailure("UTF-16で書かれたファイルです。UTF-8またはShift-JISのテキストとして保存して下さい。");
    if (LooksBinary(head))
        return ProfileFailure("テキストファイルではありません（バイナリファイルです）。");
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t end = bytes.find('\n', at);
        if (end == std::string::npos) end = bytes.size();
        // 100 numbers fit in far less; a longer line is damage and is not worked through.
        constexpr std::size_t kMaxLine = 64 * 1024;
        if (end - at > kMaxLine)
            return ProfileFailure(std::to_string(lines.size() + 1) + "行目が長すぎます（64KBまで）。");
        std::string line = bytes.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        if (lines.size() > static_cast<std::size_t>(kMaxProfilePoints) + 1)
            return ProfileFailure("データ行が多すぎます（" + std::to_string(kMaxProfilePoints) + "行まで）。");
        at = end + 1;
    }
    return {};
}

bool IsCp932Text(const std::string& bytes) {
    try {
        Cp932ToUtf8(bytes);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

// A field as the user typed it, whichever of the two encodings the file is in.
std::string ShownField(const std::string& field) {
    return IsValidUtf8(field) ? field : Cp932ToUtf8(field);
}

// The field of `column` (from 0) of data line `lineNo` (from 1) as a number, or a reason.
double ProfileNumber(const std::string& line, int column, std::size_t lineNo) {
    const std::string field = GetCSVField(line, column + 1);
    double value = 0;
    if (TryStrToFloat(field, value)) return value;
    const std::string where = std::to_string(lineNo) + "行目の" + std::to_string(column + 1) + "列目";
    if (field.find('\0') != std::string::npos) throw OrvaneError(ProfileFailure(where + "にNUL文字があります。"));
    if (!IsValidUtf8(field) && !IsCp932Text(field))
        throw OrvaneError(ProfileFailure(where + "にUTF-8としてもShift-JISとしても読めない文字があります。"));
    if (field.find_first_not_of(" \t") == std::string::npos)
        throw OrvaneError(ProfileFailure(where + "に数値がありません。"));
    std::string shown = ShownField(field);
    if (shown.size() > 40) shown = CutToCp932Bytes(shown, 40) + "…";
    throw OrvaneError(ProfileFailure(where + "「" + shown + "」は数値ではありません。"));
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
        if (!InputFileProblem(path).empty()) return fields;
        std::ifstream in(path, std::ios::binary);
        if (!in) return fields;
        // A header of 100 names fits easily; a file without line breaks is not read whole.
        constexpr std::size_t kMaxHeaderBytes = 1 << 20;
        std::string line;
        for (char c; line.size() < kMaxHeaderBytes && in.get(c) && c != '\n';) line.push_back(c);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        // Bytes of a binary file are no column names.
        if (LooksBinary(line)) return fields;
        const DetectedText text = DetectTextEncoding(line, "「" + path + "」");
        const std::string header = DecodeLine(std::string_view(line).substr(text.bom), text.kind);
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
        if (std::string failure = ReadRawLines(Inputs.ProfileFile, lines); !failure.empty()) {
            prompter.Error(failure);
            return false;
        }
        // Numbers are ASCII in CP932, so the fields convert without a code-page change;
        // a blank line (a trailing CR LF, for instance) is not a point.
        double previous = 0;
        int count = 0;
        for (std::size_t i = 1; i < lines.size(); ++i) {
            if (IsBlankLine(lines[i])) continue;
            const double x = ProfileNumber(lines[i], DistanceColumn, i + 1);
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
            distance.push_back(ProfileNumber(lines[i], DistanceColumn, i + 1));
            depth.push_back(ProfileNumber(lines[i], DepthColumn, i + 1));
        }
    } catch (const OrvaneError& e) {
        prompter.Error(e.what());
        return false;
    } catch (const std::exception&) {
        prompter.Error(ProfileFailure("メモリが足りません。"));
        return false;
    }
    StoreProfile(std::move(distance), std::move(depth), out);
    return true;
}

bool ShoalingRun::SetProfile(std::span<const double> distance, std::span<const double> depth,
                             ShoalingOutput& out, Prompter& prompter) {
    double previous = 0;
    for (double x : distance) {
        if (!(previous <= x)) {
            prompter.Beep();
            prompter.Error(kDistanceOrderMessage);
            return false;
        }
        previous = x;
    }
    if (distance.size() > static_cast<std::size_t>(kMaxProfilePoints)) {
        prompter.Error(ProfileFailure("データ点が多すぎます（" + std::to_string(kMaxProfilePoints) + "点まで）。"));
        return false;
    }
    if (distance.size() < 3 || depth.size() != distance.size()) {
        prompter.Error(kTooFewPointsMessage);
        return false;
    }
    StoreProfile({distance.begin(), distance.end()}, {depth.begin(), depth.end()}, out);
    ProfileFromArrays = true;
    return true;
}

void ShoalingRun::AdoptProfile(std::span<const double> distance, std::span<const double> depth,
                               bool fromArrays) {
    if (distance.empty() || depth.size() != distance.size()) return;
    ProfileCount = static_cast<int>(distance.size());
    ProfileDistance.assign(distance.begin(), distance.end());
    ProfileDepth.assign(depth.begin(), depth.end());
    ProfileDistance.push_back(distance.back());
    ProfileDepth.push_back(depth.back());
    ProfileLoaded = true;
    ProfileFromArrays = fromArrays;
    StoreDeepWaterPoint();
}

void ShoalingRun::StoreProfile(std::vector<double> distance, std::vector<double> depth,
                               ShoalingOutput& out) {
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
