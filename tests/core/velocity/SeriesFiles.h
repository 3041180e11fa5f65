#pragma once
// Small input series written by the tests themselves.
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <random>
#include <string>
#include <vector>
#include "core/runtime/NumberText.h"
#include "core/series/SeriesStore.h"
#include "core/velocity/ResultFile.h"

namespace orvane::testing {

inline const double kMissing = std::numeric_limits<double>::quiet_NaN();

struct Channel {
    std::string name, unit;
    float A = 0.01f, B = 0.0f;
    std::vector<double> values;  // kMissing for a missing sample
};

// 2003/08/14 10:00:00
inline constexpr double kStart = 37847.0 + 10.0 / 24.0;

// A one-burst file with the given channels (SDF or TSD by the name).
inline void WriteSeries(const std::string& path, const std::vector<Channel>& channels,
                        double start = kStart, int sInt = 1, int sIntUnit = 4,
                        const std::string& memo = "test series") {
    SeriesStore s;
    s.header.Memo = memo;
    s.header.NchInterval = static_cast<std::int16_t>(channels.size());
    s.header.Iteration = 1;
    s.header.SampleSize = channels.empty() ? 0 : static_cast<std::int32_t>(channels[0].values.size());
    s.header.SInt = sInt;
    s.header.SIntUnit = static_cast<std::uint8_t>(sIntUnit);
    s.header.StartTime = start;
    for (std::size_t c = 0; c < channels.size(); ++c) {
        s.header.ItemName[c] = channels[c].name;
        s.header.UnitName[c] = channels[c].unit;
        s.header.CoefA[c] = channels[c].A;
        s.header.CoefB[c] = channels[c].B;
    }
    s.AllocateSeriesData();
    for (std::size_t c = 0; c < channels.size(); ++c)
        for (std::size_t i = 0; i < channels[c].values.size(); ++i) {
            const double v = channels[c].values[i];
            s.IntervalData[c][i] = std::isnan(v) ? ErrorRaw
                                                 : static_cast<std::int16_t>(RoundHalfEven(
                                                       (v - channels[c].B) / channels[c].A));
        }
    WriteResultFile(s, path);
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A fresh folder removed with the object.
class TempFolder {
public:
    TempFolder() {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() / ("orvane-velocity-" + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string operator()(const std::string& name) const { return (path_ / name).string(); }
    std::size_t FileCount() const {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(path_),
                                                      std::filesystem::directory_iterator()));
    }
private:
    std::filesystem::path path_;
};

}  // namespace orvane::testing
