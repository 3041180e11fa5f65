#include <gmock/gmock.h>
#include "SeriesTestUtil.h"
#include "core/runtime/Errors.h"
#include "core/runtime/TextFile.h"
#include "core/series/SeriesFile.h"

using namespace orvane;
using namespace series_test;

class SeriesFileTest : public SeriesTest {};

TEST_F(SeriesFileTest, EveryVersionReadsTheSameCountsAndNoFileChanges) {
    const SeriesFile v4 = ReadSeriesFile(Fixture("v4_two_channels.sdf"));
    ASSERT_EQ(v4.interval.size(), 2u * 3 * 2);
    EXPECT_EQ(v4.sdfVersion, 4);
    EXPECT_EQ(v4.Interval(0, 1, 0), ErrorRaw);
    EXPECT_EQ(v4.Interval(1, 2, 1), -32767);
    for (const char* name : {"v1_two_channels.sdf", "v2_two_channels.sdf", "v4_two_channels.tsd"}) {
        std::string path = CopyFixture(name);
        const std::string before = Bytes(path);
        SeriesFile f = ReadSeriesFile(path);
        EXPECT_EQ(f.interval, v4.interval) << name;
        EXPECT_EQ(f.burst, v4.burst) << name;
        EXPECT_EQ(f.header.BInt, 1) << name;
        EXPECT_EQ(f.header.BIntUnit, 4) << name;
        EXPECT_NEAR(f.BurstStart(1) - f.BurstStart(0), 1.0 / 24, 1e-9) << name;
        EXPECT_EQ(Bytes(path), before) << name;
        EXPECT_EQ(std::filesystem::directory_iterator(dir)->path().filename(), name);
        // An SDF channel as the tools read it is the count's physical value to the bit.
        if (f.kind == SeriesKind::SDF) {
            EXPECT_EQ(ReadSeriesChannel(path, 1, 1)[2], f.Physical(1, f.Interval(1, 2, 1))) << name;
        }
        std::filesystem::remove(path);
    }
    EXPECT_EQ(ReadSeriesFile(Fixture("v2_two_channels.sdf")).sdfVersion, 2);
    EXPECT_EQ(ReadSeriesFile(Fixture("v4_two_channels.tsd")).kind, SeriesKind::TSD);
}

TEST_F(SeriesFileTest, FailuresCarryTheReadersMessage) {
    auto message = [](const std::string& path) {
        try {
            ReadSeriesFile(path);
        } catch (const OrvaneError& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_THAT(message(Temp("none.sdf")), ::testing::HasSubstr("が見つかりません"));
    WriteBytes(Temp("bad.sdf"), std::string(300, 'x'));
    EXPECT_EQ(message(Temp("bad.sdf")), "フォーマットが違います。");
    std::string tsd = Bytes(Fixture("v4_two_channels.tsd"));
    WriteBytes(Temp("cut.tsd"), tsd.substr(0, tsd.rfind("No.2")));
    EXPECT_NE(message(Temp("cut.tsd")), "no error");
}

TEST_F(SeriesFileTest, Utf8TsdWithByteOrderMarkKeepsItsJapaneseNames) {
    std::string tsd = Cp932ToUtf8(Bytes(Fixture("v4_two_channels.tsd")));
    const auto names = tsd.find("Hs,Tide");
    ASSERT_NE(names, std::string::npos);
    tsd.replace(names, 2, "波高");
    WriteBytes(Temp("utf8.tsd"), "\xEF\xBB\xBF" + tsd);
    const SeriesFile f = ReadSeriesFile(Temp("utf8.tsd"));
    EXPECT_EQ(f.header.Memo, "観測点A");
    EXPECT_EQ(f.header.ItemName[0], "波高");
    EXPECT_EQ(f.interval, ReadSeriesFile(Fixture("v4_two_channels.tsd")).interval);
}
