#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <gtest/gtest.h>
#include "ShoalingTestSupport.h"
#include "core/shoaling/BedChoice.h"

namespace orvane {
namespace {

using test::RecordingOutput;
using test::WriteTempFile;

struct Loaded {
    bool ok = false;
    ShoalingRun run;
    ScriptedPrompter prompter;
    RecordingOutput out;
};

Loaded Load(const std::string& text, int distCol = 0, int depthCol = 1) {
    Loaded l;
    l.run.Inputs.ProfileMode = 1;
    // One file per test: ctest runs the tests of this program side by side.
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    l.run.Inputs.ProfileFile = WriteTempFile(name + ".csv", text);
    l.run.DistanceColumn = distCol;
    l.run.DepthColumn = depthCol;
    l.ok = l.run.LoadProfile(l.out, l.prompter);
    return l;
}

TEST(BottomProfile, PlaneBedLookupsIncludeTheTide) {
    ShoalingRun run;
    run.BedSlope = 0.1;
    run.TideLevel = 1;
    EXPECT_DOUBLE_EQ(run.DepthAt(20), 3);
    EXPECT_DOUBLE_EQ(run.DistanceAt(3), 20);
    EXPECT_DOUBLE_EQ(run.NextStation(0.5, 20), 15);
}

TEST(BottomProfile, LoaderAcceptsAndRefusesAsTheUserIsTold) {
    auto three = Load("x,h\r\n0,0\r\n10,1\r\n20,3\r\n\r\n");  // a trailing blank line is no point
    ASSERT_TRUE(three.ok);
    EXPECT_EQ(three.run.ProfileCount, 3);
    EXPECT_DOUBLE_EQ(three.run.Inputs.OffshoreEndValue, 20);
    EXPECT_TRUE(three.out.axisAutomatic);
    EXPECT_EQ(three.out.profilePoints.back(), std::make_pair(20.0, -3.0));
    EXPECT_TRUE(Load("x,h\n0,0\n10,1\n10,2\n20,3\n").ok);  // equal distances

    auto two = Load("x,h\n0,0\n10,1\n");
    EXPECT_FALSE(two.ok);
    EXPECT_EQ(two.prompter.Texts(),
              std::vector<std::string>{"データ数が足りません。\n最初の行には項目名を入れます。離岸距離と水深は\n"
                                       "２行目から入力します。このとき、必ず\"0,0\"の汀線データ\nを最初につけて"
                                       "岸から沖の順番に入力します。"});
    for (const char* back : {"x,h\n0,0\n10,1\n5,2\n20,3\n", "x,h\n-1,0\n10,1\n20,2\n"}) {
        auto l = Load(back);
        EXPECT_FALSE(l.ok);
        EXPECT_EQ(l.prompter.Texts(),
                  std::vector<std::string>{"第１列目の離岸距離データは小さい方から\n大きい方に入力して下さい。"});
        EXPECT_EQ(l.prompter.beeps, 1);
    }
}

TEST(BottomProfile, BadFilesSayWhyAndWhereAndKeepTheLoadedProfile) {
    auto l = Load("x,h\n0,0\n10,1\n20,3\n");
    ASSERT_TRUE(l.ok);
    const std::string huge = WriteTempFile("huge.csv", "x,h\n0,0\n");
    std::filesystem::resize_file(huge, kMaxProfileBytes + 1);
    const std::string fifo = (std::filesystem::temp_directory_path() / "orvane-profile-fifo.csv").string();
    std::filesystem::remove(fifo);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {WriteTempFile("bad.csv", "x,h\n0,0\n10,abc\n20,3\n"), "3行目の2列目「abc」は数値ではありません。"},
        {WriteTempFile("bad1.csv", "x\n0\n10\n20\n"), "2行目の2列目に数値がありません。"},
        {WriteTempFile("bad2.csv", "x,h\n0,0\n\x82\xa0,1\n20,3\n"), "3行目の1列目「あ」は数値ではありません。"},
        {WriteTempFile("bad3.csv", "x,h\n0,0\n10,\x82\n20,3\n"), "3行目の2列目にUTF-8としてもShift-JISとしても読めない文字"},
        {WriteTempFile("bad4.csv", std::string("x,h\n0,0\n10,1\0" "5\n20,3\n", 18)), "3行目の2列目にNUL文字"},
        {WriteTempFile("bad5.csv", std::string("\xff\xfex\0,\0h\0\n\0", 10)), "UTF-16"},
        {WriteTempFile("bad6.csv", std::string("\x7f" "ELF\x02\x01\x01\0\0\0\n", 12)), "バイナリファイル"},
        {"/nonexistent/profile.csv", "を開けません"},
        {fifo, "は通常のファイルではありません"},  // refused, not waited on
        {std::filesystem::temp_directory_path().string(), "はフォルダです"},
        {huge, "大きすぎます"},
    };
    for (const auto& [file, reason] : cases) {
        l.prompter.records.clear();
        l.run.Inputs.ProfileFile = file;
        EXPECT_FALSE(l.run.LoadProfile(l.out, l.prompter)) << reason;
        ASSERT_EQ(l.prompter.Texts().size(), 1u) << reason;
        EXPECT_NE(l.prompter.Texts()[0].find(reason), std::string::npos) << l.prompter.Texts()[0];
    }
    std::filesystem::remove(huge);
    std::filesystem::remove(fifo);
    EXPECT_EQ(l.run.ProfileCount, 3);
    EXPECT_DOUBLE_EQ(l.run.ProfileDepth[2], 3);
    // The bytes of a binary file are not offered as column names.
    EXPECT_TRUE(ShoalingRun::ReadProfileHeader(cases[6].first).empty());
}

TEST(BottomProfile, ColumnsComeFromTheHeader) {
    auto l = Load("id,depth,dist\n1,0,0\n2,2,10\n3,5,20\n", 2, 1);
    ASSERT_TRUE(l.ok);
    EXPECT_DOUBLE_EQ(l.run.ProfileDistance[2], 20);
    EXPECT_DOUBLE_EQ(l.run.ProfileDepth[2], 5);

    std::string header = "c1";
    for (int i = 2; i <= 120; ++i) header += ",c" + std::to_string(i);
    const auto fields = ShoalingRun::ReadProfileHeader(WriteTempFile("wide.csv", header + "\r\n0,0\r\n"));
    ASSERT_EQ(fields.size(), 100u);
    EXPECT_EQ(fields[99], "c100");
    // CP932 names arrive as UTF-8, quotes dropped, the list ends at an empty field.
    EXPECT_EQ(ShoalingRun::ReadProfileHeader(WriteTempFile("jp.csv", "\"\x8b\x97\x97\xa3\",\x90\x85\x90\x5b,,x\r\n")),
              (std::vector<std::string>{"距離", "水深"}));
    EXPECT_EQ(ShoalingRun::ColumnChoice(3, 3), 0);  // a remembered column beyond the header
    // A file without any line break: only its first megabyte is looked at.
    const auto runOn = ShoalingRun::ReadProfileHeader(WriteTempFile("noeol.csv", "a,b," + std::string(3 << 20, 'x')));
    ASSERT_EQ(runOn.size(), 3u);
    EXPECT_EQ(runOn[0], "a");
    EXPECT_LT(runOn[2].size(), std::size_t{1} << 20);
}

TEST(BottomProfile, ProfileLookupsAndStationsLandOnEveryVertex) {
    // Beach 1:20 to x = 40, a flat bar to 60, then 1:10 to 100.
    auto l = Load("x,h\n0,0\n40,2\n60,2\n100,6\n");
    ASSERT_TRUE(l.ok);
    ShoalingRun& run = l.run;
    run.TideLevel = 0.5;
    EXPECT_DOUBLE_EQ(run.DepthAt(50), 2.5);
    EXPECT_DOUBLE_EQ(run.DepthAt(120), 8.5);  // last segment extended
    EXPECT_DOUBLE_EQ(run.DistanceAt(4.5), 80);
    EXPECT_DOUBLE_EQ(run.DistanceAt(8.5), 120);
    EXPECT_DOUBLE_EQ(run.DistanceAt(2.5), 40);  // the flat bar is not a depth's place

    std::vector<double> xs;
    for (double x = 100; x > 0 && xs.size() < 100;) xs.push_back(x = run.NextStation(0.5, x));
    const std::vector<double> expected = {95, 90, 85, 80, 75, 70, 65, 60, 40, 30, 20, 10, 0};
    ASSERT_EQ(xs.size(), expected.size());
    for (std::size_t i = 0; i < xs.size(); ++i) EXPECT_NEAR(xs[i], expected[i], 1e-9) << i;
    EXPECT_DOUBLE_EQ(run.NextStation(3.0, 70), 60);  // no step crosses a vertex

    // Below a flat last segment: a tenth of the way from the second-to-last point.
    auto flat = Load("x,h\n0,0\n50,5\n80,5\n");
    EXPECT_DOUBLE_EQ(flat.run.DistanceAt(7), 53);

    // The deep-water point continues a sloping last segment to depth L0.
    auto deep = Load("x,h\n0,0\n50,5\n100,10\n");
    deep.run.Inputs.Method = 1;
    deep.run.SetOffshoreWave(1, 8);
    const double L0 = deep.run.DeepWaterLength;
    EXPECT_NEAR(deep.run.ProfileDistance[3], L0 * 10, 1e-9);
    EXPECT_NEAR(deep.run.NextStation(1.0, L0 * 10), L0 * 10 - 10, 1e-9);
    EXPECT_DOUBLE_EQ(deep.run.NextStation(1.0, 105), 100);
}

TEST(BottomProfile, BisectedLookupsFindTheSegmentsOfAPlainScan) {
    // Repeated distances, flat stretches and a bar; the deep-water point once inside the
    // profile, once beyond it.
    std::mt19937 random(7);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::string text = "x,h\n0,0\n";
    double x = 1, h = 0.1;
    for (int i = 0; i < 400; ++i) {
        text += std::to_string(x) + "," + std::to_string(h) + "\n";
        const double u = unit(random);
        x += u < 0.1 ? 0.0 : 5 * unit(random);
        h += u < 0.2 ? 0.0 : unit(random) - 0.2;
    }
    text += std::to_string(x + 3) + "," + std::to_string(h + 0.5) + "\n";
    auto l = Load(text);
    ASSERT_TRUE(l.ok);
    ShoalingRun& run = l.run;
    run.TideLevel = 0.3;
    const auto& d = run.ProfileDistance;
    const auto& z = run.ProfileDepth;
    const int n = run.ProfileCount;
    const auto scanDepth = [&](double at) {
        if (at > d[n - 1]) return run.TideLevel + z[n - 2] + (at - d[n - 2]) / (d[n - 1] - d[n - 2]) * (z[n - 1] - z[n - 2]);
        for (int i = n - 1; i >= 1; --i)
            if (d[i - 1] < at && at <= d[i])
                return run.TideLevel + z[i - 1] + (at - d[i - 1]) / (d[i] - d[i - 1]) * (z[i] - z[i - 1]);
        return run.TideLevel + z[0];
    };
    const auto scanNext = [&](double dh, double at) {
        int i = 0;
        while (i <= n && !(at <= d[i])) ++i;
        i = std::max(i, 1);
        double vertex = d[i - 1];
        if (i > n) i = n - 1, vertex = d[n - 1];
        const double s = (z[i] - z[i - 1]) / (d[i] - d[i - 1]);
        const double next = s > 0 ? at - dh / s : s < 0 ? at + dh / s : vertex;
        return std::max(next, vertex);
    };
    for (double deepAt : {d[n / 2], d[n - 1] + 50}) {
        run.ProfileDistance[n] = deepAt;
        std::vector<double> probes(d.begin(), d.end());
        for (int k = 0; k < 2000; ++k) probes.push_back((d[n - 1] + 60) * unit(random));
        for (double at : probes) {
            ASSERT_EQ(run.DepthAt(at), scanDepth(at)) << at;
            ASSERT_EQ(run.NextStation(0.05, at), scanNext(0.05, at)) << at;
        }
    }
}

}  // namespace
}  // namespace orvane

namespace orvane {
namespace {

TEST(BedChoice, ProfileExtentUnlessAnEndIsGivenAndEachProblemNamed) {
    const std::string file = test::WriteTempFile("bed_choice.csv", "x,h\n0,0\n100,5\n400,20\n");
    ScriptedPrompter prompter;
    BedChoice bed;
    bed.method = 1;
    bed.profileFile = file;
    bed.distanceColumn = {"x", true};
    bed.depthColumn = {"2", true};
    BedSetup s = SetUpBed(bed, PhysicalConstants{}, prompter);
    ASSERT_TRUE(s.ok()) << s.message;
    EXPECT_TRUE(s.run.ProfileLoaded);
    EXPECT_EQ(s.run.Inputs.XAxis, 1);
    EXPECT_EQ(s.run.DepthColumn, 1);
    EXPECT_DOUBLE_EQ(s.run.Inputs.OffshoreEndValue, 400);
    bed.offshoreEnd = 300;
    EXPECT_DOUBLE_EQ(SetUpBed(bed, PhysicalConstants{}, prompter).run.Inputs.OffshoreEndValue, 300);

    bed.depthColumn = {"depth", true};
    s = SetUpBed(bed, PhysicalConstants{}, prompter);
    EXPECT_EQ(s.problem, BedProblem::DepthColumn);
    EXPECT_EQ(s.message, "'depth' は列の項目名でも 1～100 の番号でもありません。");
    bed.depthColumn = {"", false, -1};
    EXPECT_EQ(SetUpBed(bed, PhysicalConstants{}, prompter).problem, BedProblem::DepthColumn);

    bed.profileFile = file + ".none";
    EXPECT_EQ(SetUpBed(bed, PhysicalConstants{}, prompter).problem, BedProblem::FileMissing);
    bed.profileFile = std::filesystem::path(file).parent_path().string();
    EXPECT_EQ(SetUpBed(bed, PhysicalConstants{}, prompter).problem, BedProblem::FileUnusable);

    BedChoice observed;
    observed.method = 2;
    s = SetUpBed(observed, PhysicalConstants{}, prompter);
    EXPECT_EQ(s.problem, BedProblem::ObsPosMissing);
    observed.obsPos = 5;
    observed.slope = 0.02;
    s = SetUpBed(observed, PhysicalConstants{}, prompter);
    EXPECT_EQ(s.run.Inputs.ObsPos, 1);
    EXPECT_DOUBLE_EQ(s.run.Inputs.Slope, 0.02);
    EXPECT_TRUE(prompter.Texts().empty());
}

}  // namespace
}  // namespace orvane
