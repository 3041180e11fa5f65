#include "core/shoaling/Observations.h"

#include <cmath>
#include "core/runtime/Errors.h"
#include "core/shoaling/DataLines.h"
#include "core/wave/CsvField.h"

namespace orvane {

namespace {

const char* const kFailure = "観測データを読み込めません。";

std::string Where(std::size_t lineNo, int column) {
    return std::to_string(lineNo) + "行目の" + std::to_string(column + 1) + "列目";
}

bool BlankField(const std::string& line, int column) {
    return IsBlankDataLine(GetCSVField(line, column + 1));
}

void CheckCount(const ObservedSet& set) {
    if (set.position.empty()) throw OrvaneError(std::string(kFailure) + "\nデータ行がありません（1行目は項目名です）。");
}

}  // namespace

int ObservedSet::HeightCount() const {
    int n = 0;
    for (double h : height) n += std::isfinite(h);
    return n;
}

int ObservedSet::SetupCount() const {
    int n = 0;
    for (double s : setup) n += std::isfinite(s);
    return n;
}

const char* ObservedHeightName(ObservedHeight kind) { return kind == ObservedHeight::Hs ? "Hs" : "Hrms"; }

ObservedSet ReadObservations(const std::string& path, const ObservationColumns& columns, ObservedHeight kind) {
    if (columns.position < 0 || columns.height < 0)
        throw OrvaneError(std::string(kFailure) + "\n位置と波高の列を選んで下さい。");
    std::vector<std::string> lines;
    if (std::string failure = ReadDataLines(path, lines, kFailure); !failure.empty()) throw OrvaneError(failure);
    ObservedSet set;
    set.kind = kind;
    set.name = path;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (IsBlankDataLine(line)) continue;
        const std::size_t lineNo = i + 1;
        set.position.push_back(DataNumber(line, columns.position, lineNo, kFailure));
        double h = kNotMeasured;
        if (!BlankField(line, columns.height)) {
            h = DataNumber(line, columns.height, lineNo, kFailure);
            if (h < 0)
                throw OrvaneError(std::string(kFailure) + "\n" + Where(lineNo, columns.height) + "の波高が負の値です。");
        }
        set.height.push_back(h);
        if (columns.setup >= 0)
            set.setup.push_back(BlankField(line, columns.setup) ? kNotMeasured
                                                                : DataNumber(line, columns.setup, lineNo, kFailure));
    }
    CheckCount(set);
    return set;
}

ObservedSet MakeObservations(std::span<const double> position, std::span<const double> height,
                             std::span<const double> setup, ObservedHeight kind) {
    if (height.size() != position.size() || (!setup.empty() && setup.size() != position.size()))
        throw OrvaneError(std::string(kFailure) + "\n位置・波高・水位上昇の数がそろっていません。");
    ObservedSet set;
    set.kind = kind;
    for (std::size_t i = 0; i < position.size(); ++i) {
        const std::string where = std::to_string(i + 1) + "番目の";
        if (!std::isfinite(position[i]))
            throw OrvaneError(std::string(kFailure) + "\n" + where + "位置が数値ではありません。");
        if (std::isinf(height[i]) || height[i] < 0 || (!setup.empty() && std::isinf(setup[i])))
            throw OrvaneError(std::string(kFailure) + "\n" + where + "波高または水位上昇が正しい値ではありません。");
    }
    set.position.assign(position.begin(), position.end());
    set.height.assign(height.begin(), height.end());
    set.setup.assign(setup.begin(), setup.end());
    CheckCount(set);
    return set;
}

}  // namespace orvane
