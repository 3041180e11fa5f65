#include <gtest/gtest.h>

#include <cmath>

#include "core/runtime/Errors.h"
#include "core/wave/SmallAmplitudeWave.h"

using namespace orvane;

namespace {

std::vector<std::string> Texts(const SmallAmplitudeWave& w) {
    std::vector<std::string> t;
    for (const auto& l : SmallAmplitudeLabels(w)) t.push_back(l.text);
    return t;
}

template <typename F>
std::string ErrorText(F f) {
    try {
        f();
    } catch (const OrvaneError& e) {
        return e.what();
    }
    return "(no error)";
}

const PhysicalConstants kDefaults;

}  // namespace

TEST(SmallAmplitudeWave, LabelsForTheInitialInputs) {
    auto w = ComputeSmallAmplitudeWave("10", "10", "1", "0", kDefaults);
    EXPECT_EQ(Texts(w), (std::vector<std::string>{"92.356", "9.236", "8.068", "0.983", "10137",
                                                  "0.428", "0.000"}));
    auto labels = SmallAmplitudeLabels(w);
    EXPECT_STREQ(labels[0].name, "LblLength");
    EXPECT_STREQ(labels[4].caption, "ｴﾈﾙｷﾞｰﾌﾗｯｸｽ(Jm/s/m^2)：");

    // At the surface w equals sigma H / 2.
    w = ComputeSmallAmplitudeWave(10, 10, 1, 10, kDefaults);
    EXPECT_EQ(SmallAmplitudeLabels(w)[5].text, "0.531");
    EXPECT_EQ(SmallAmplitudeLabels(w)[6].text, "0.314");
    EXPECT_NEAR(w.w, 3.14159265358979 / 10, 1e-12);
    // Below the bed the vertical amplitude changes sign; the label shows it.
    w = ComputeSmallAmplitudeWave(10, 10, 1, -5, kDefaults);
    EXPECT_LT(w.w, 0);
    EXPECT_EQ(SmallAmplitudeLabels(w)[6].text.front(), '-');
}

TEST(SmallAmplitudeWave, DeepAndShallowWater) {
    auto deep = ComputeSmallAmplitudeWave(100, 8, 1, 0, kDefaults);
    EXPECT_NEAR(deep.n, 0.5, 1e-3);
    EXPECT_EQ(SmallAmplitudeLabels(deep)[3].text, "1.000");

    auto shallow = ComputeSmallAmplitudeWave(2, 12, 0.5, 0, kDefaults);
    EXPECT_EQ(SmallAmplitudeLabels(shallow)[3].text, "1.475");
    EXPECT_NEAR(shallow.Cg / shallow.c, 1.0, 0.02);
    EXPECT_NEAR(shallow.c, std::sqrt(9.80665 * 2), 0.05);

    // So deep that sinh(kh) overflows: the limits, not NaN.
    auto abyss = ComputeSmallAmplitudeWave(5000, 5, 1, 5000, kDefaults);
    EXPECT_DOUBLE_EQ(abyss.n, 0.5);
    EXPECT_NEAR(abyss.u, 0.5 * 2 * 3.14159265358979 / 5, 1e-9);
    EXPECT_NEAR(abyss.w, abyss.u, 1e-9);
    EXPECT_EQ(ComputeSmallAmplitudeWave(5000, 5, 1, 0, kDefaults).u, 0.0);

    // The constants are read at each call.
    PhysicalConstants heavy;
    heavy.SGfluid = 2.05;
    EXPECT_NEAR(ComputeSmallAmplitudeWave(10, 10, 1, 0, heavy).F,
                2 * ComputeSmallAmplitudeWave(10, 10, 1, 0, kDefaults).F, 1e-6);
}

TEST(SmallAmplitudeWave, ErrorsComeInTheWindowsOrder) {
    EXPECT_EQ(ErrorText([] { ComputeSmallAmplitudeWave("10m", "x", "1", "0", kDefaults); }),
              "'10m' は浮動小数点数ではありません");
    EXPECT_EQ(ErrorText([] { ComputeSmallAmplitudeWave("10", "0", "y", "0", kDefaults); }),
              "0 による浮動小数点数除算");
    EXPECT_EQ(ErrorText([] { ComputeSmallAmplitudeWave("0", "10", "1", "z", kDefaults); }),
              "0 による浮動小数点数除算");
    EXPECT_EQ(ErrorText([] { ComputeSmallAmplitudeWave("10", "10", "1", "", kDefaults); }),
              "'' は浮動小数点数ではありません");
    EXPECT_THROW(ComputeSmallAmplitudeWave("-1", "10", "1", "0", kDefaults), EInvalidOp);
    EXPECT_THROW(ComputeSmallAmplitudeWave(10, 10, 1, 1e6, kDefaults), EOverflow);
}
