#include <cmath>
#include <sstream>
#include <gmock/gmock.h>
#include "SeriesTestUtil.h"
#include "core/runtime/Errors.h"
#include "core/runtime/NumberText.h"

using namespace orvane;
using namespace series_test;
using ::testing::ElementsAre;

class TsdTest : public SeriesTest {
protected:
    // A Ver.2 file from header lines (after the first) and data lines, CR LF.
    std::string Tsd(std::initializer_list<const char*> lines, const char* first = "Time Series Data Text Format Ver.2") {
        std::string s = std::string(first) + "\r\n";
        for (const char* l : lines) s += std::string(l) + "\r\n";
        return s;
    }
    std::string OneChannel(std::initializer_list<const char*> data, const char* a = "1") {
        std::string s = Tsd({"", "2020/01/01 00:00:00", "1 sec", "1", "0 sec", "1,0", "3", a, "0", "x", "u"});
        for (const char* l : data) s += std::string(l) + "\r\n";
        return s;
    }
    bool LoadText(const std::string& text) {
        WriteBytes(Temp("f.tsd"), text);
        store.DataFileName = Temp("f.tsd");
        return store.ReadTsdHeader(Temp("f.tsd"), prompter);
    }
};

TEST_F(TsdTest, ReadsTheVer2Example) {
    store.DataFileName = Fixture("example_v2.tsd");
    ASSERT_TRUE(store.ReadTsdHeader(store.DataFileName, prompter));
    const auto& h = store.header;
    EXPECT_EQ(h.Memo, "mooring A, spring tide");
    EXPECT_EQ(FormatDateTime(h.StartTime), "2003/08/14 10:00:00");
    EXPECT_EQ(h.SInt, 500);
    EXPECT_EQ(h.SIntUnit, 1);
    EXPECT_EQ(h.BIntUnit, 2);
    EXPECT_EQ(h.NchInterval, 2);
    EXPECT_EQ(h.SampleSize, 3);
    EXPECT_EQ(h.ItemName[1], "Tide");
    ASSERT_TRUE(store.ReadTsdBurst(0, prompter));
    EXPECT_THAT(store.IntervalData[0], ElementsAre(123, ErrorRaw, 120));
    EXPECT_THAT(store.IntervalData[1], ElementsAre(500, 512, 520));
    std::vector<float> v(3);
    ASSERT_TRUE(store.ReadTsdChannel(0, 1, v, prompter));
    EXPECT_THAT(v, ElementsAre(0.5f, 0.512f, 0.52f));
    ASSERT_TRUE(store.ReadTsdChannel(0, 0, v, prompter));
    EXPECT_EQ(v[1], ErrorValue);
    EXPECT_TRUE(prompter.records.empty());
}

TEST_F(TsdTest, ReadsVer1WithItsDefaults) {
    store.DataFileName = Fixture("three_channels_v1.tsd");
    ASSERT_TRUE(store.ReadTsdHeader(store.DataFileName, prompter));
    const auto& h = store.header;
    EXPECT_EQ(h.NchInterval, 3);
    EXPECT_EQ(h.NchBurst, 0);
    EXPECT_EQ(h.Iteration, 1);
    EXPECT_EQ(h.SIntUnit, 1);
    EXPECT_EQ(h.SInt, 250);
    EXPECT_EQ(h.Memo, "old buoy");
    EXPECT_EQ(h.ItemName[0], "Hs");
    EXPECT_EQ(h.ItemName[1], "Ts");
    EXPECT_EQ(h.UnitName[2], "deg");
    ASSERT_TRUE(store.ReadTsdBurst(5, prompter));  // Ver.1 has one burst whatever is asked
    EXPECT_THAT(store.IntervalData[0], ElementsAre(1, ErrorRaw));
    EXPECT_THAT(store.IntervalData[2], ElementsAre(2, 3));  // (value - (-1)) / 2
}

TEST_F(TsdTest, WritesTheSdfFixtureAsTheTsdFixture) {
    store.DataFileName = Fixture("v4_two_channels.sdf");
    ASSERT_TRUE(store.ReadSdfHeader(store.DataFileName, prompter, progress));
    store.header.Memo = "観測点A";  // the SDF padding, trimmed as the save window does
    ASSERT_TRUE(store.WriteTsdHeader(Temp("out.tsd")));
    store.OutputFileName = Temp("out.tsd");
    for (int k = 0; k < 2; ++k) {
        ASSERT_TRUE(store.ReadSdfBurst(k));
        store.AppendTsdBurst(k);
    }
    EXPECT_EQ(Bytes(Temp("out.tsd")), Bytes(Fixture("v4_two_channels.tsd")));
}

TEST_F(TsdTest, BurstChannelsAndEmptyTablesRoundTrip) {
    store.DataFileName = Fixture("burst_channel.tsd");
    ASSERT_TRUE(store.ReadTsdHeader(store.DataFileName, prompter));
    ASSERT_TRUE(store.ReadTsdBurst(1, prompter));  // "No.2" after 11 + (2 + 1 + 1) lines
    EXPECT_THAT(store.IntervalData[0], ElementsAre(7, ErrorRaw));
    EXPECT_THAT(store.BurstData, ElementsAre(ErrorRaw));
    ASSERT_TRUE(store.ReadTsdBurst(0, prompter));
    EXPECT_THAT(store.BurstData, ElementsAre(20));  // (20 - 10) / 0.5

    // Only burst channels, and no channels at all, read back as they were written.
    for (int nchB : {2, 0}) {
        store.header = {};
        store.header.NchBurst = static_cast<std::int16_t>(nchB);
        store.header.Iteration = 1;
        for (int j = 0; j < nchB; ++j) store.header.CoefA[j] = 1, store.header.ItemName[j] = "b";
        store.AllocateSeriesData();
        ASSERT_TRUE(store.WriteTsdHeader(Temp("b.tsd")));
        store.OutputFileName = Temp("b.tsd");
        store.AppendTsdBurst(0);
        SeriesStore back;
        ASSERT_TRUE(back.ReadTsdHeader(Temp("b.tsd"), prompter)) << nchB;
        EXPECT_EQ(back.header.NchInterval, 0);
        EXPECT_EQ(back.header.NchBurst, nchB);
    }
    EXPECT_TRUE(prompter.records.empty());
}

TEST_F(TsdTest, DataReadersCheckTheFirstLineAndTheBurstLabel) {
    // The header reader finds the format text; the data readers compare the whole line.
    std::string text = OneChannel({"No.1", "1", "2", "3"});
    ASSERT_TRUE(LoadText("Time Series Data Text Format Ver.2 " + text.substr(text.find("\r\n"))));
    EXPECT_FALSE(store.ReadTsdBurst(0, prompter));
    ASSERT_TRUE(LoadText(text));
    EXPECT_FALSE(store.ReadTsdBurst(1, prompter));  // the file ends before No.2
    ASSERT_TRUE(LoadText(OneChannel({"No.2", "1", "2", "3"})));
    EXPECT_FALSE(store.ReadTsdBurst(0, prompter));
    ASSERT_TRUE(LoadText(OneChannel({"No.1", "1", "2", "3"})));
    WriteBytes(Temp("f.tsd"), OneChannel({"No.1", "1"}));  // cut after the header was read
    std::vector<float> v(3);
    EXPECT_FALSE(store.ReadTsdChannel(0, 0, v, prompter));
    EXPECT_THAT(prompter.Texts(), ElementsAre("データがありません。", "ブロックデータ異常", "ブロックデータ異常",
                                              "データが足りません。"));
}

TEST_F(TsdTest, OutOfRangeValuesAskOncePerCall) {
    // 32767.4 rounds to 32767 and fits; 32767.6 and -32767.6 round past it; 40000 too.
    ASSERT_TRUE(LoadText(OneChannel({"No.1", "32767.4", "32767.6", "-32767.6"})));
    prompter.answers = {true};
    ASSERT_TRUE(store.ReadTsdBurst(0, prompter));
    EXPECT_THAT(store.IntervalData[0], ElementsAre(32767, ErrorRaw, ErrorRaw));
    EXPECT_EQ(prompter.beeps, 1);
    EXPECT_THAT(prompter.Texts(), ElementsAre("単精度整数を超えるデータを発見しました。\nエラーデータに変換してよろしいですか。"));

    prompter.answers = {false};
    ASSERT_TRUE(LoadText(OneChannel({"No.1", "40000", "1", "2"})));
    EXPECT_FALSE(store.ReadTsdBurst(0, prompter));
    EXPECT_EQ(prompter.records.size(), 2u);  // asked again: the flag is per call
}

TEST_F(TsdTest, BadFieldsRaiseTheConversionOrArithmeticError) {
    ASSERT_TRUE(LoadText(OneChannel({"No.1", "1", "abc", "3"})));
    EXPECT_THROW(store.ReadTsdBurst(0, prompter), EConvertError);
    std::vector<float> v(3);
    EXPECT_THROW(store.ReadTsdChannel(0, 0, v, prompter), EConvertError);
    ASSERT_TRUE(LoadText(OneChannel({"No.1", "1", "2", "3"}, "0")));
    EXPECT_THROW(store.ReadTsdBurst(0, prompter), OrvaneError);  // CoefA = 0
    ASSERT_TRUE(store.ReadTsdChannel(0, 0, v, prompter));        // physical values need no A
}

TEST_F(TsdTest, CorruptHeadersAreRefusedAndTheSeriesStays) {
    ASSERT_TRUE(store.ReadTsdHeader(Fixture("example_v2.tsd"), prompter));
    std::string many = "1";
    for (int i = 0; i < 140; ++i) many += ",1";
    const std::vector<std::pair<const char*, std::string>> refused = {
        {"no format text", "Time Series Data\r\n"},
        {"version 3", OneChannel({}).replace(33, 1, "3")},
        {"unknown unit", Tsd({"", "2020/01/01 00:00:00", "1 s", "1", "0 sec", "1,0", "0", "1", "0", "x", "u"})},
        {"negative count", Tsd({"", "2020/01/01 00:00:00", "1 sec", "1", "0 sec", "-1,0", "0", "", "", "", ""})},
        {"129 channels", Tsd({"", "2020/01/01 00:00:00", "1 sec", "1", "0 sec", "100,29", "0", "", "", "", ""})},
        {"129 fields in Ver.1", Tsd({"", "2020/01/01 00:00:00", "1", "0", many.c_str(), many.c_str(), "", ""},
                                    "Time Series Data Text Format Ver.1")},
        {"samples of a file without bursts", Tsd({"", "2020/01/01 00:00:00", "1 sec", "0", "0 sec", "1,0", "100000000",
                                                  "1", "0", "x", "u"})},
        {"samples beyond the file", Tsd({"", "2020/01/01 00:00:00", "1 sec", "1", "0 sec", "1,0", "2000000000", "1",
                                         "0", "x", "u", "No.1", "1"})},
    };
    for (const auto& [what, text] : refused) {
        prompter.records.clear();
        EXPECT_FALSE(LoadText(text)) << what;
        EXPECT_THAT(prompter.Texts(), ElementsAre("フォーマットが違います。")) << what;
        EXPECT_EQ(store.header.Memo, "mooring A, spring tide") << what;
    }
    // A line far longer than a header line, and a header whose samples would lie in a hole.
    prompter.records.clear();
    EXPECT_FALSE(LoadText(std::string(1 << 20, 'x') + "Time Series Data Text Format Ver.2\r\n"));
    WriteBytes(Temp("f.tsd"), Tsd({"", "2020/01/01 00:00:00", "1 sec", "1", "0 sec", "1,0", "2000000000", "1", "0",
                                   "x", "u", "No.1"}));
    std::filesystem::resize_file(Temp("f.tsd"), 2'100'000'000LL);
    EXPECT_FALSE(store.ReadTsdHeader(Temp("f.tsd"), prompter));
    EXPECT_THAT(prompter.Texts(), ElementsAre("フォーマットが違います。", "フォーマットが違います。"));
    std::string badDate = OneChannel({"No.1", "1", "2", "3"});
    badDate.replace(badDate.find("2020/01/01"), 10, "2020/13/01");
    EXPECT_THROW(LoadText(badDate), EConvertError);
    EXPECT_EQ(store.header.Memo, "mooring A, spring tide");
}

TEST_F(TsdTest, MemoLineBreaksBecomeSpaces) {
    store.header = {};
    store.header.Memo = "line one\r\nline two\nthree";
    ASSERT_TRUE(store.WriteTsdHeader(Temp("m.tsd")));
    SeriesStore back;
    ASSERT_TRUE(back.ReadTsdHeader(Temp("m.tsd"), prompter));
    EXPECT_EQ(back.header.Memo, "line one line two three");
}

TEST(TsdFields, SplitAndStripQuotes) {
    std::array<std::string_view, TsdMaxFields> f;
    EXPECT_EQ(SplitFields("", f), 1);
    EXPECT_EQ(SplitFields("a,", f), 2);
    EXPECT_EQ(f[1], "");
    std::string line;
    for (int i = 0; i < 135; ++i) line += std::to_string(i) + ",";
    EXPECT_EQ(SplitFields(line, f), 129);
    EXPECT_EQ(f[128], "128");
    EXPECT_EQ(StripQuotes("'Hs'"), "Hs");
    EXPECT_EQ(StripQuotes("'"), "");
    EXPECT_EQ(StripQuotes("a'b"), "a'b");
    EXPECT_EQ(FindUnitIndex("500 msec"), 1);
    EXPECT_EQ(FindUnitIndex("3 wk"), 6);
    EXPECT_EQ(FindUnitIndex("3 weeks"), -1);
}

TEST(TsdFields, FastFormatterMatchesTheGeneralFormat) {
    const double fixed[] = {0, -0.0, 0.01, 1234567, 12345678, 1E-5, 0.0001, 0.00009999999, -32.767, 9999999.5,
                            0.1f, 1.0 / 3, -1e300, 5e-324, NAN, INFINITY, -INFINITY};
    char buf[40];
    for (double v : fixed) {
        FormatGeneral7(v, buf);
        EXPECT_EQ(std::string(buf), FormatGeneral(v, 7)) << v;
    }
    std::mt19937_64 rng(7);
    for (int i = 0; i < 20000; ++i) {
        double v = std::ldexp(std::uniform_real_distribution<double>(-1, 1)(rng), static_cast<int>(rng() % 80) - 40);
        FormatGeneral7(v, buf);
        ASSERT_EQ(std::string(buf), FormatGeneral(v, 7)) << v;
    }
}
