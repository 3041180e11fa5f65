#include <filesystem>
#include <gtest/gtest.h>
#include "core/runtime/ScriptedPrompter.h"
#include "ShoalingTestSupport.h"

namespace orvane {
namespace {

using test::RecordingOutput;
using test::WriteTempFile;

const std::string kTooFew =
    "データ数が足りません。\n最初の行には項目名を入れます。離岸距離と水深は\n２行目から入力します。"
    "このとき、必ず\"0,0\"の汀線データ\nを最初につけて岸から沖の順番に入力します。";
const std::string kOrder = "第１列目の離岸距離データは小さい方から\n大きい方に入力して下さい。";

struct Loaded {
    bool ok;
    ShoalingRun run;
    ScriptedPrompter prompter;
    RecordingOutput out;
};

Loaded Load(const std::string& name, const std::string& text, int distCol = 0, int depthCol = 1) {
    Loaded l{false, ShoalingRun{}, {}, {}};
    l.run.Inputs.ProfileMode = 1;
    l.run.Inputs.ProfileFile = WriteTempFile(name, text);
    l.run.DistanceColumn = distCol;
    l.run.DepthColumn = depthCol;
    l.ok = l.run.LoadProfile(l.out, l.prompter);
    return l;
}

TEST(PlaneBed, LookupsIncludeTheTide) {
    ShoalingRun run;
    run.BedSlope = 0.1;
    run.TideLevel = 1;
    EXPECT_DOUBLE_EQ(run.DepthAt(20), 3);
    EXPECT_DOUBLE_EQ(run.DistanceAt(3), 20);
    EXPECT_DOUBLE_EQ(run.NextStation(0.5, 20), 15);
}

TEST(ProfileFile, ThreePointsLoadTwoAreTooFew) {
    auto three = Load("three.csv", "x,h\r\n0,0\r\n10,1\r\n20,3\r\n");
    ASSERT_TRUE(three.ok);
    EXPECT_TRUE(three.prompter.records.empty());
    EXPECT_EQ(three.run.ProfileCount, 3);
    EXPECT_TRUE(three.run.ProfileLoaded);
    // The display range becomes the file's extent; the profile is drawn as (x, -depth).
    EXPECT_DOUBLE_EQ(three.run.Inputs.OnshoreEndValue, 0.1);
    EXPECT_DOUBLE_EQ(three.run.Inputs.OffshoreEndValue, 20);
    EXPECT_TRUE(three.out.axisAutomatic);
    ASSERT_EQ(three.out.profilePoints.size(), 3u);
    EXPECT_EQ(three.out.profilePoints[2], std::make_pair(20.0, -3.0));

    auto two = Load("two.csv", "x,h\r\n0,0\r\n10,1\r\n");
    EXPECT_FALSE(two.ok);
    EXPECT_EQ(two.prompter.Texts(), std::vector<std::string>{kTooFew});
    EXPECT_FALSE(two.run.ProfileLoaded);
}

TEST(ProfileFile, EqualDistancesPassDecreasingOnesFailAtTheirLine) {
    EXPECT_TRUE(Load("equal.csv", "x,h\n0,0\n10,1\n10,2\n20,3\n").ok);
    auto back = Load("back.csv", "x,h\n0,0\n10,1\n5,2\n20,3\n");
    EXPECT_FALSE(back.ok);
    EXPECT_EQ(back.prompter.Texts(), std::vector<std::string>{kOrder});
    EXPECT_EQ(back.prompter.beeps, 1);
    // A negative first distance is out of order against the shoreline at 0.
    EXPECT_FALSE(Load("negative.csv", "x,h\n-1,0\n10,1\n20,2\n").ok);
}

TEST(ProfileFile, BadFieldsFailWithoutAMessageAndKeepTheLoadedProfile) {
    auto l = Load("good.csv", "x,h\n0,0\n10,1\n20,3\n");
    ASSERT_TRUE(l.ok);
    for (const char* bad : {"x,h\n0,0\n10,abc\n20,3\n",   // non-numeric depth
                            "x\n0\n10\n20\n",              // no depth column
                            "x,h\n0,0\n\x82\xa0,1\n20,3\n"}) {  // CP932 text in a number
        l.run.Inputs.ProfileFile = WriteTempFile("bad.csv", bad);
        EXPECT_FALSE(l.run.LoadProfile(l.out, l.prompter)) << bad;
    }
    EXPECT_TRUE(l.prompter.records.empty());
    EXPECT_EQ(l.run.ProfileCount, 3);
    EXPECT_DOUBLE_EQ(l.run.ProfileDepth[2], 3);
    // Missing and oversized files are a clean false as well.
    l.run.Inputs.ProfileFile = "/nonexistent/profile.csv";
    EXPECT_FALSE(l.run.LoadProfile(l.out, l.prompter));
    const std::string huge = WriteTempFile("huge.csv", "x,h\n0,0\n");
    std::filesystem::resize_file(huge, kMaxProfileBytes + 1);
    l.run.Inputs.ProfileFile = huge;
    EXPECT_FALSE(l.run.LoadProfile(l.out, l.prompter));
    std::filesystem::remove(huge);
}

TEST(ProfileFile, ColumnsAreChosenFromTheHeader) {
    auto l = Load("cols.csv", "id,depth,dist\n1,0,0\n2,2,10\n3,5,20\n", 2, 1);
    ASSERT_TRUE(l.ok);
    EXPECT_DOUBLE_EQ(l.run.ProfileDistance[2], 20);
    EXPECT_DOUBLE_EQ(l.run.ProfileDepth[2], 5);

    std::string header;
    for (int i = 1; i <= 120; ++i) header += (i > 1 ? "," : "") + ("c" + std::to_string(i));
    const auto fields = ShoalingRun::ReadProfileHeader(WriteTempFile("wide.csv", header + "\r\n0,0\r\n"));
    ASSERT_EQ(fields.size(), 100u);
    EXPECT_EQ(fields[99], "c100");
    // CP932 names arrive as UTF-8; quotes are dropped; an empty field ends the list.
    const auto jp = ShoalingRun::ReadProfileHeader(WriteTempFile("jp.csv", "\"\x8b\x97\x97\xa3\",\x90\x85\x90\x5b,,x\r\n"));
    EXPECT_EQ(jp, (std::vector<std::string>{"距離", "水深"}));
    EXPECT_TRUE(ShoalingRun::ReadProfileHeader("/nonexistent.csv").empty());
    // A remembered column beyond the header falls back to the first.
    EXPECT_EQ(ShoalingRun::ColumnChoice(2, 3), 2);
    EXPECT_EQ(ShoalingRun::ColumnChoice(3, 3), 0);
}

TEST(ProfileLookups, InterpolateExtrapolateAndLandOnVertices) {
    // Beach 1:20 to x = 40, a flat bar 40..60, then 1:10 to x = 100.
    auto l = Load("bar.csv", "x,h\n0,0\n40,2\n60,2\n100,6\n");
    ASSERT_TRUE(l.ok);
    ShoalingRun& run = l.run;
    run.TideLevel = 0.5;
    EXPECT_DOUBLE_EQ(run.DepthAt(20), 1.5);
    EXPECT_DOUBLE_EQ(run.DepthAt(50), 2.5);
    EXPECT_DOUBLE_EQ(run.DepthAt(120), 8.5);       // last segment extended
    EXPECT_DOUBLE_EQ(run.DistanceAt(1.5), 20);
    EXPECT_DOUBLE_EQ(run.DistanceAt(4.5), 80);
    EXPECT_DOUBLE_EQ(run.DistanceAt(8.5), 120);
    // The flat segment is skipped by the depth search: depth 2 is the beach end.
    EXPECT_DOUBLE_EQ(run.DistanceAt(2.5), 40);

    // From the offshore end with a 0.5 m decrement every vertex is a computation point,
    // and the flat bar is crossed in one jump.
    std::vector<double> xs;
    for (double x = 100; x > 0 && xs.size() < 100; ) xs.push_back(x = run.NextStation(0.5, x));
    const std::vector<double> expected = {95, 90, 85, 80, 75, 70, 65, 60, 40, 30, 20, 10, 0};
    ASSERT_EQ(xs.size(), expected.size());
    for (std::size_t i = 0; i < xs.size(); ++i) EXPECT_NEAR(xs[i], expected[i], 1e-9) << i;
    // A step that would overshoot a vertex stops on it.
    EXPECT_DOUBLE_EQ(run.NextStation(3.0, 70), 60);
}

TEST(ProfileLookups, FlatLastSegmentAndTheDeepWaterPoint) {
    auto l = Load("flat.csv", "x,h\n0,0\n50,5\n80,5\n");
    ASSERT_TRUE(l.ok);
    ShoalingRun& run = l.run;
    // Deeper than a flat last segment: a tenth of the way from the second-to-last point.
    EXPECT_DOUBLE_EQ(run.DistanceAt(7), 53);
    EXPECT_DOUBLE_EQ(run.DistanceAt(30), 53);

    // The deep-water point continues a sloping last segment, so a march from deep water
    // reaches the file's last point on the way in.
    auto s = Load("slope.csv", "x,h\n0,0\n50,5\n100,10\n");
    ASSERT_TRUE(s.ok);
    s.run.Inputs.Method = 1;
    s.run.SetOffshoreWave(1, 8);
    const double L0 = s.run.DeepWaterLength;
    EXPECT_NEAR(s.run.ProfileDistance[3], L0 * 10, 1e-9);
    EXPECT_DOUBLE_EQ(s.run.ProfileDepth[3], L0);
    EXPECT_NEAR(s.run.NextStation(1.0, L0 * 10), L0 * 10 - 10, 1e-9);
    EXPECT_DOUBLE_EQ(s.run.NextStation(1.0, 105), 100);
}

}  // namespace
}  // namespace orvane
