#pragma once
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <gtest/gtest.h>
#include "core/runtime/DateTime.h"
#include "core/runtime/ScriptedPrompter.h"
#include "core/series/SeriesStore.h"

namespace series_test {

inline std::string Fixture(const std::string& name) { return std::string(ORVANE_TEST_DATA) + "/series/" + name; }

inline std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Counts progress calls; cancels once the position reaches `cancelAt`.
struct TestProgress : orvane::Progress {
    int comments = 0, positions = 0, hides = 0, cancelAt = -1;
    bool cancelled = false;
    void SetProgressComment(const std::string&) override { ++comments; cancelled = false; }
    void SetProgressPosition(int p) override {
        ++positions;
        if (cancelAt >= 0 && p >= cancelAt) cancelled = true;
    }
    bool Cancelled() const override { return cancelled; }
    void SetStatusLine(const std::string&) override {}
    void Hide() override { ++hides; }
};

class SeriesTest : public ::testing::Test {
protected:
    std::filesystem::path dir;
    orvane::SeriesStore store;
    orvane::ScriptedPrompter prompter;
    TestProgress progress;

    void SetUp() override {
        std::random_device rd;
        dir = std::filesystem::temp_directory_path() / ("orvane_series_" + std::to_string(rd()));
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string Temp(const std::string& name) const { return (dir / name).string(); }
    std::string CopyFixture(const std::string& name) {
        std::filesystem::copy_file(Fixture(name), dir / name);
        return Temp(name);
    }

    // The series of the two-channel fixtures (memo "観測点A", 3 samples, 2 bursts).
    void FillTwoChannelHeader() {
        auto& h = store.header;
        h = {};
        h.Memo = "観測点A";
        h.NchInterval = 2;
        h.SampleSize = 3;
        h.SInt = 500;
        h.SIntUnit = 1;
        h.Iteration = 2;
        h.BInt = 1;
        h.BIntUnit = 4;
        h.StartTime = orvane::ParseDateTime("2003/08/14 12:00:00");
        h.ItemName[0] = "Hs", h.UnitName[0] = "m", h.CoefA[0] = 0.01f;
        h.ItemName[1] = "Tide", h.UnitName[1] = "m", h.CoefA[1] = 0.001f;
        store.AllocateSeriesData();
    }
    void SetBurst(std::initializer_list<std::int16_t> rows) {
        int at = 0;
        for (auto v : rows) {
            store.IntervalData[at % 2][at / 2] = v;
            ++at;
        }
    }
};

}  // namespace series_test
