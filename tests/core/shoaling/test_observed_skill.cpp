// Measured heights beside the models: the reader, the scores, Thornton-Guza fitted back.
#include <gtest/gtest.h>

#include <cmath>
#include "ShoalingTestSupport.h"
#include "core/runtime/Errors.h"
#include "core/shoaling/SkillScores.h"
#include "core/shoaling/ThorntonGuzaFit.h"

using namespace orvane;
using namespace orvane::test;

namespace {

// H 2.78 m, T 9 s from a 12 m deep observation point over a 1:50 slope, depth axis.
ShoalingRequest Beach(double gamma, double b) {
    ShoalingRequest r;
    r.constants.gamma_TG = gamma;
    r.constants.B_TG = b;
    r.inputs.Slope = 0.02;
    r.inputs.OnshoreEndValue = 0.1;
    r.inputs.OffshoreEndValue = 12;
    return r;
}

ModelComparisonResult Compare(const ShoalingRequest& base) {
    NullProgress progress;
    ScriptedPrompter prompter;
    return CompareModels({base, {"2.78", "9", "0.3", "2,4,6", "12"}}, progress, prompter);
}

// The same storm as a case of the fit.
TgFitCase Storm(const ObservedSet& gauges) {
    TgFitCase c{Beach(0.42, 1.54), gauges};
    c.request.height = 2.78;
    c.request.period = 9;
    c.request.tide = 0.3;
    c.request.points = {2, 4, 6};
    c.request.inputs.ObsPosValue = 12;
    return c;
}

const ModelSkill& HeightRow(const ObservedSkill& s, int method) {
    for (const ModelSkill& row : s.rows)
        if (!row.setup && row.method == method) return row;
    throw std::runtime_error("no row");
}

}  // namespace

TEST(ObservedSkill, ScoresAndInterpolationMatchAHandComputation) {
    // Pairs (model, measured); the last model value is outside the curve.
    const double model[] = {1.1, 0.9, 1.3, kNotReached};
    const double measured[] = {1.0, 1.0, 1.2, 0.8};
    const Skill s = SkillOf(model, measured);
    EXPECT_EQ(s.compared, 3);
    EXPECT_EQ(s.outside, 1);
    EXPECT_NEAR(s.bias, 0.1 / 3, 1e-12);
    EXPECT_NEAR(s.rmse, 0.1, 1e-12);
    EXPECT_NEAR(s.si, 0.1 / (16.0 / 15), 1e-12);
    // Ō = 16/15: Σ(P-O)² = 0.03, Σ(|P-Ō| + |O-Ō|)² = (9 + 49 + 121) / 900.
    EXPECT_NEAR(s.d, 152.0 / 179, 1e-12);

    const double x[] = {10, 8, 6}, y[] = {1.0, 1.2, 0.8};
    EXPECT_NEAR(CurveValueAt(x, y, 9), 1.1, 1e-12);
    EXPECT_NEAR(CurveValueAt(x, y, 7), 1.0, 1e-12);
    EXPECT_EQ(CurveValueAt(x, y, 6), 0.8);
    EXPECT_TRUE(std::isnan(CurveValueAt(x, y, 10.5)));
    EXPECT_TRUE(std::isnan(CurveValueAt(x, y, 5.9)));
}

TEST(ObservedSkill, ReaderKeepsGapsAndNamesTheBadField) {
    const std::string ok = WriteTempFile("obs_ok.csv", "水深,Hs,η\r\n8,1.9,\r\n5,,0.02\r\n3,1.2,0.05\r\n");
    const ObservedSet set = ReadObservations(ok, {0, 1, 2}, ObservedHeight::Hs);
    EXPECT_EQ(set.position.size(), 3u);
    EXPECT_EQ(set.HeightCount(), 2);
    EXPECT_EQ(set.SetupCount(), 2);
    EXPECT_TRUE(std::isnan(set.height[1]));

    const std::string bad = WriteTempFile("obs_bad.csv", "h,Hs\n8,1.9\n5,1.5\n3,1.2m\n");
    try {
        ReadObservations(bad, {0, 1, -1}, ObservedHeight::Hs);
        FAIL();
    } catch (const OrvaneError& e) {
        EXPECT_STREQ(e.what(), "観測データを読み込めません。\n4行目の2列目「1.2m」は数値ではありません。");
    }
}

TEST(ObservedSkill, ThorntonGuzaIsFittedBackFromItsOwnGauges) {
    // Gauges read off the program's own curve with γ = 0.55, B = 1.2, rounded to cm.
    const ModelComparisonResult generated = Compare(Beach(0.55, 1.2));
    const ComparedModel& tg = generated.models[2];
    ASSERT_TRUE(tg.applies) << tg.message;
    std::vector<double> depth = {10, 8, 6, 5, 4, 3, 2, 1.2}, hs;
    for (double h : depth) hs.push_back(std::round(CurveValueAt(tg.height.x, tg.height.y, h + 0.3) * 100) / 100);
    const ObservedSet gauges = MakeObservations(depth, hs, {}, ObservedHeight::Hs);

    const ObservedSkill own = CompareWithObservations(generated, gauges, 0.3);
    EXPECT_EQ(HeightRow(own, 2).skill.compared, 8);
    EXPECT_LT(HeightRow(own, 2).skill.rmse, 0.01);

    // From the default constants the fit finds the generating values again.
    ScriptedPrompter prompter;
    const TgFitResult fit = FitThorntonGuza({Storm(gauges)}, {}, prompter);
    EXPECT_NEAR(fit.gamma, 0.55, 0.55 * 0.02);
    EXPECT_NEAR(fit.b, 1.2, 1.2 * 0.02);
    EXPECT_EQ(fit.used, 8);
    EXPECT_LT(fit.after.rmse, 0.01);
    // The RMSE before the fit is the comparison's for the default constants, bit for bit.
    const ObservedSkill before = CompareWithObservations(Compare(Beach(0.42, 1.54)), gauges, 0.3);
    EXPECT_EQ(fit.before.rmse, HeightRow(before, 2).skill.rmse);
    EXPECT_GT(fit.before.rmse, 5 * fit.after.rmse);
    std::printf("fit: gamma %.4f B %.4f rmse %.4f -> %.4f, %d evaluations, %d model runs\n", fit.gamma, fit.b,
                fit.before.rmse, fit.after.rmse, fit.evaluations, fit.modelRuns);
}

TEST(ObservedSkill, GaugesNoModelReachesAreSaidSo) {
    const ModelComparisonResult r = Compare(Beach(0.42, 1.54));
    const double depth[] = {30, 40}, hs[] = {2.5, 2.6};
    const ObservedSkill s = CompareWithObservations(r, MakeObservations(depth, hs, {}, ObservedHeight::Hs), 0.3);
    ASSERT_FALSE(s.note.empty());
    const auto text = SkillTableText(s);
    ASSERT_EQ(text.size(), 1u);
    EXPECT_NE(text[0].find("どのモデルの曲線の範囲にもない"), std::string::npos);
    for (const ModelSkill& row : s.rows) EXPECT_FALSE(row.best);

    ScriptedPrompter prompter;
    EXPECT_THROW(FitThorntonGuza({Storm(MakeObservations(depth, hs, {}, ObservedHeight::Hs))}, {}, prompter),
                 OrvaneError);
}
