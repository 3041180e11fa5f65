#include <cmath>
#include <fstream>
#include <string>
#include <vector>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "SeriesFiles.h"
#include "core/runtime/Errors.h"
#include "core/runtime/ScriptedPrompter.h"
#include "core/velocity/WaveHeightSeries.h"

using namespace orvane;
using namespace orvane::testing;
using ::testing::ElementsAre;

namespace {

constexpr double g = 9.80665;

// Wavenumber by bisection on sigma^2 = g k tanh(kh): an independent check of the inversion.
double BisectWavenumber(double T, double h) {
    const double sigma2 = std::pow(2 * M_PI / T, 2);
    double lo = 1e-9, hi = 100;
    for (int i = 0; i < 200; ++i) {
        const double mid = 0.5 * (lo + hi);
        (g * mid * std::tanh(mid * h) < sigma2 ? lo : hi) = mid;
    }
    return 0.5 * (lo + hi);
}

class WaveHeightTest : public ::testing::Test {
protected:
    TempFolder dir;
    SeriesStore store;
    ScriptedPrompter prompter;
    NullProgress progress;
    WaveHeightInputs inputs;
    long long over = 0;

    // Channels: tide (m, mm counts), Us (m/s, mm/s counts), Tp (s, 0.01 s counts).
    std::string Make(const std::string& name, std::vector<double> tide, std::vector<double> us,
                     std::vector<double> tp) {
        WriteSeries(dir(name), {{"Tide", "m", 0.001f, 0, tide}, {" Us ", "m/s", 0.001f, 0, us},
                                {"Tp", "s", 0.01f, 0, tp}});
        inputs.tideChannel = 0;
        inputs.usChannel = 1;
        inputs.tpChannel = 2;
        return dir(name);
    }
};

TEST_F(WaveHeightTest, HeightInvertsTheSmallAmplitudeBottomVelocity) {
    // kh about 0.680 and H about 2.336 m for Us 1 m/s, Tp 10 s in 10 m.
    const double H = HeightFromBottomVelocity(1.0, 10.0, 10.0, g);
    EXPECT_NEAR(H, 2.336, 5e-4);
    EXPECT_NEAR(BisectWavenumber(10, 10) * 10, 0.680, 5e-4);
    const double k = BisectWavenumber(7, 4);
    EXPECT_NEAR(HeightFromBottomVelocity(0.6, 7, 4, g), 0.6 * 7 * std::sinh(k * 4) / M_PI, 1e-4);
    EXPECT_EQ(HeightFromBottomVelocity(0.0, 10.0, 10.0, g), 0.0);
    EXPECT_THROW(HeightFromBottomVelocity(1.0, 0.0, 10.0, g), EZeroDivide);
}

TEST_F(WaveHeightTest, SeriesKeepsTheCopiesAndAddsTheHeight) {
    const std::string in = Make("in.tsd", {0.0, 0.5, kMissing, 0.0}, {1.0, 0.0, 1.0, 1.0},
                                {10.0, 10.0, 10.0, kMissing});
    inputs.meanDepth = 10;
    inputs.dh = 0;
    ASSERT_TRUE(EstimateWaveHeightSeries(store, in, inputs, g, prompter, progress, over));
    const SeriesHeader& h = store.header;
    ASSERT_EQ(h.NchInterval, 4);
    EXPECT_EQ(h.ItemName[1], " Us ");  // as read; the lists trim it
    EXPECT_EQ(ChannelListText(h, 1), "Us(m/s)");
    EXPECT_EQ(h.ItemName[3], "Hs");
    EXPECT_EQ(h.UnitName[3], "m");
    EXPECT_EQ(h.CoefA[3], 0.001f);
    EXPECT_EQ(h.CoefA[2], 0.01f);
    EXPECT_EQ(h.Memo, "test series");
    EXPECT_THAT(store.IntervalData[0], ElementsAre(0, 500, ErrorRaw, 0));
    EXPECT_THAT(store.IntervalData[2], ElementsAre(1000, 1000, 1000, ErrorRaw));
    EXPECT_NEAR(store.IntervalData[3][0], 2336, 1);
    EXPECT_EQ(store.IntervalData[3][1], 0);  // no velocity, no wave
    EXPECT_EQ(store.IntervalData[3][2], ErrorRaw);
    EXPECT_EQ(store.IntervalData[3][3], ErrorRaw);
    EXPECT_EQ(over, 0);
}

TEST_F(WaveHeightTest, FactorsOffsetsAndOneChannelThreeTimes) {
    WriteSeries(dir("same.sdf"), {{"U", "m/s", 0.01f, 0, {2.0}}});
    inputs = {0, 0, 0, 3.0, 1.0, 0.5, 5.0};
    // Us = 1, Tp = 10, depth = 3 + 1 + 2
    ASSERT_TRUE(EstimateWaveHeightSeries(store, dir("same.sdf"), inputs, g, prompter, progress, over));
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(store.header.ItemName[c], "U");
        EXPECT_EQ(store.IntervalData[c][0], 200);
    }
    const double k = BisectWavenumber(10, 6);
    EXPECT_NEAR(store.IntervalData[3][0], 10 * std::sinh(k * 6) / M_PI / 0.001, 1);
}

TEST_F(WaveHeightTest, HeightsBeyondSixteenBitsAreMissingAndCounted) {
    const std::string in = Make("big.tsd", {0, 0}, {30.0, 1.0}, {20.0, 10.0});
    ASSERT_TRUE(EstimateWaveHeightSeries(store, in, inputs, g, prompter, progress, over));
    EXPECT_EQ(store.IntervalData[3][0], ErrorRaw);
    EXPECT_NE(store.IntervalData[3][1], ErrorRaw);
    EXPECT_EQ(over, 1);
    EXPECT_EQ(WaveHeightOutOfRangeMessage(over), "16ビットの範囲に収まらない波高 1 個を欠測値として保存しました。");
}

TEST_F(WaveHeightTest, NoSelectionOrAFailedReadStopsWithAMessage) {
    const std::string in = Make("in.tsd", {0}, {1}, {10});
    inputs.usChannel = -1;
    EXPECT_FALSE(EstimateWaveHeightSeries(store, in, inputs, g, prompter, progress, over));
    inputs.usChannel = 3;  // beyond the file's channels
    EXPECT_FALSE(EstimateWaveHeightSeries(store, in, inputs, g, prompter, progress, over));
    inputs.usChannel = 1;

    // A TSD file whose burst ends early.
    std::string text = ReadBytes(in);
    text = text.substr(0, text.rfind("No.1") + 6);
    std::ofstream(dir("short.tsd"), std::ios::binary) << text;
    EXPECT_FALSE(EstimateWaveHeightSeries(store, dir("short.tsd"), inputs, g, prompter, progress, over));
    const auto texts = prompter.Texts();
    ASSERT_GE(texts.size(), 4u);
    EXPECT_EQ(texts[0], "潮位、底面有義流速振幅、スペクトルピーク周期の項目を選択して下さい。");
    EXPECT_EQ(texts[1], "底面流速データの読み込みに失敗しました。");
    EXPECT_EQ(texts.back(), "底面流速データの読み込みに失敗しました。");

    // A zero period is the wavenumber solver's error, not a file.
    const std::string zero = Make("zero.tsd", {0}, {1}, {0});
    EXPECT_THROW(EstimateWaveHeightSeries(store, zero, inputs, g, prompter, progress, over), EZeroDivide);
}

}  // namespace
