#include <gmock/gmock.h>
#include "SeriesTestUtil.h"
#include "core/runtime/Errors.h"

using namespace orvane;
using namespace series_test;
using ::testing::ElementsAre;

class SdfTest : public SeriesTest {
protected:
    void WriteTwoChannelFile(const std::string& path) {
        FillTwoChannelHeader();
        ASSERT_TRUE(store.WriteSdfHeader(path));
        store.OutputFileName = path;
        SetBurst({123, 500, ErrorRaw, 512, 120, 520});
        store.WriteSdfBurst(0);
        SetBurst({1, 2, 3, 4, 5, -32767});
        store.WriteSdfBurst(1);
    }
};

TEST_F(SdfTest, WrittenFileMatchesHandMadeFixture) {
    WriteTwoChannelFile(Temp("out.sdf"));
    std::string bytes = Bytes(Temp("out.sdf"));
    EXPECT_EQ(bytes, Bytes(Fixture("v4_two_channels.sdf")));
    // Header of 512 bytes, 12-byte bursts: burst 1 starts at 524.
    EXPECT_EQ(store.HeaderBlocks, 2);
    EXPECT_EQ(store.BlockBytes, 12);
    EXPECT_EQ(bytes.substr(524, 2), std::string("\x01\x00", 2));
}

TEST_F(SdfTest, HeaderLengthFollowsChannelCount) {
    // N = 0: 256 bytes; N = 8: 512 without padding; N = 9: 544 bytes padded to 768.
    for (auto [n, length] : {std::pair{0, 256}, {8, 512}, {9, 768}}) {
        store.header = {};
        store.header.NchInterval = static_cast<std::int16_t>(n);
        for (int i = 0; i < n; ++i) store.header.ItemName[i] = std::string(16, 'x');
        std::string path = Temp("n" + std::to_string(n) + ".sdf");
        ASSERT_TRUE(store.WriteSdfHeader(path));
        std::string bytes = Bytes(path);
        ASSERT_EQ(bytes.size(), static_cast<std::size_t>(length)) << n;
        EXPECT_EQ(bytes.substr(256 + 32 * n), std::string(length - 256 - 32 * n, ' ')) << n;
    }
    // The hand-made layouts of the same cases.
    for (const char* name : {"v4_no_channels.sdf", "v4_nine_channels.sdf"}) {
        ASSERT_TRUE(store.ReadSdfHeader(Fixture(name), prompter, progress)) << name;
        ASSERT_TRUE(store.WriteSdfHeader(Temp(name)));
        EXPECT_EQ(Bytes(Temp(name)), Bytes(Fixture(name))) << name;
    }
    EXPECT_EQ(store.header.ItemName[8], "ch8");
    EXPECT_EQ(store.header.CoefB[8], 8.0f);
    EXPECT_TRUE(prompter.records.empty());
}

TEST_F(SdfTest, ReadsVersion4BurstsAndChannelsWithoutAsking) {
    store.DataFileName = Fixture("v4_two_channels.sdf");
    ASSERT_TRUE(store.ReadSdfHeader(store.DataFileName, prompter, progress));
    EXPECT_TRUE(prompter.records.empty());
    const auto& h = store.header;
    EXPECT_EQ(h.Memo.substr(0, 10), "観測点A");
    EXPECT_EQ(h.Memo.size(), 10u + 153u);  // 7 CP932 bytes, then the padding is kept
    EXPECT_EQ(FormatDateTime(h.StartTime), "2003/08/14 12:00:00");
    EXPECT_EQ(h.Iteration, 2);
    EXPECT_EQ(h.SInt, 500);
    EXPECT_EQ(h.SIntUnit, 1);
    EXPECT_EQ(h.ItemName[1], "Tide");
    EXPECT_EQ(h.UnitName[1], "m");

    ASSERT_TRUE(store.ReadSdfBurst(1));
    EXPECT_THAT(store.IntervalData[1], ElementsAre(2, 4, -32767));
    std::vector<float> v(3);
    ASSERT_TRUE(store.ReadSdfChannel(0, 0, v));
    EXPECT_FLOAT_EQ(v[0], 1.23f);
    EXPECT_EQ(v[1], ErrorValue);
    EXPECT_GE(v[1], ErrorLimit);
    // Beyond the last burst, an interval channel that does not exist, a short array.
    EXPECT_FALSE(store.ReadSdfBurst(2));
    EXPECT_FALSE(store.ReadSdfChannel(0, 2, v));
    std::vector<float> shortArray(2);
    EXPECT_FALSE(store.ReadSdfChannel(0, 0, shortArray));
}

class SdfOldVersionTest : public SdfTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(SdfOldVersionTest, ConvertsInPlaceToTheVersion4Layout) {
    std::string path = CopyFixture(GetParam());
    std::vector<std::pair<int, int>> units;
    store.onUnitsConverted = [&](std::uint8_t s, std::uint8_t b) { units.push_back({s, b}); };
    store.OutputFileName = "keep.sdf";
    ASSERT_TRUE(store.ReadSdfHeader(path, prompter, progress));
    EXPECT_THAT(prompter.Texts(), ElementsAre("データの形式が旧式です。更新してよろしいですか。"));
    // 500 ms and 3600000 ms (version 1) become 500 msec and 1 hr; old 32767 becomes missing.
    EXPECT_EQ(Bytes(path), Bytes(Fixture("v4_two_channels.sdf")));
    EXPECT_EQ(store.header.BInt, 1);
    EXPECT_EQ(store.header.BIntUnit, 4);
    EXPECT_EQ(store.OutputFileName, "keep.sdf");
    EXPECT_FALSE(std::filesystem::exists(dir / "Qr~temp1234!"));
    EXPECT_EQ(progress.comments, 1);
    EXPECT_EQ(progress.hides, 1);
    EXPECT_EQ(units.size(), std::string(GetParam()).starts_with("v1") ? 1u : 0u);
    store.DataFileName = path;
    ASSERT_TRUE(store.ReadSdfBurst(0));
    EXPECT_EQ(store.IntervalData[0][1], ErrorRaw);
}

TEST_P(SdfOldVersionTest, RefusalOrCancelLeavesFileAndSeriesUntouched) {
    std::string path = CopyFixture(GetParam());
    const std::string original = Bytes(path);
    ASSERT_TRUE(store.ReadSdfHeader(Fixture("v4_nine_channels.sdf"), prompter, progress));

    prompter.answers = {false};
    EXPECT_FALSE(store.ReadSdfHeader(path, prompter, progress));
    EXPECT_EQ(progress.comments, 0);

    prompter.answers = {true};
    progress.cancelAt = 50;  // after the first of the two bursts
    EXPECT_FALSE(store.ReadSdfHeader(path, prompter, progress));
    EXPECT_EQ(Bytes(path), original);
    EXPECT_FALSE(std::filesystem::exists(dir / "Qr~temp1234!"));
    EXPECT_EQ(progress.hides, 1);
    EXPECT_EQ(store.header.ChannelCount(), 9);  // the series read before stays
    EXPECT_EQ(prompter.records.size(), 2u);     // the two questions, nothing else
}

INSTANTIATE_TEST_SUITE_P(Versions, SdfOldVersionTest,
                         ::testing::Values("v1_two_channels.sdf", "v2_two_channels.sdf"));

TEST_F(SdfTest, CorruptHeadersAreRefusedAndTheSeriesStays) {
    const std::string good = Bytes(Fixture("v4_two_channels.sdf"));
    auto patched = [&](std::size_t at, std::string bytes) {
        std::string b = good;
        b.replace(at, bytes.size(), bytes);
        return b;
    };
    auto i16 = [](std::int16_t v) { return std::string(reinterpret_cast<char*>(&v), 2); };
    auto i32 = [](std::int32_t v) { return std::string(reinterpret_cast<char*>(&v), 4); };
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"wrong magic", patched(0, "Standard Burst-Interval Data Format ver.")},
        {"truncated header", good.substr(0, 200)},
        {"truncated table", good.substr(0, 300)},
        {"burst 0 cut short", good.substr(0, 520)},
        {"version 5", patched(40, "5")},
        {"version x", patched(40, "x")},
        {"negative channels", patched(210, i16(-1))},
        {"129 channels", patched(212, i16(127))},
        {"negative samples", patched(214, i32(-3))},
        {"samples beyond the file", patched(214, i32(0x7fffffff))},
        {"samples of a file without bursts", patched(223, i16(0)).replace(214, 4, i32(20000000))},
        {"unit past the table", patched(222, "\x09")},
        {"start time NaN", patched(230, std::string("\x00\x00\x00\x00\x00\x00\xf8\x7f", 8))},
    };
    ASSERT_TRUE(store.ReadSdfHeader(Fixture("v4_nine_channels.sdf"), prompter, progress));
    for (const auto& [what, bytes] : cases) {
        prompter.records.clear();
        WriteBytes(Temp("bad.sdf"), bytes);
        EXPECT_FALSE(store.ReadSdfHeader(Temp("bad.sdf"), prompter, progress)) << what;
        EXPECT_THAT(prompter.Texts(), ElementsAre("フォーマットが違います。")) << what;
        EXPECT_EQ(store.header.ChannelCount(), 9) << what;
    }
}

TEST_F(SdfTest, FileShorterThanItsHeaderKeepsItsCompleteBursts) {
    const std::string good = Bytes(Fixture("v4_two_channels.sdf"));
    std::string three = good;
    three[223] = 3;  // the header counts a third burst that was never written
    std::vector<float> v(3);
    for (const std::string& bytes : {three, good.substr(0, 530)}) {
        WriteBytes(Temp("short.sdf"), bytes);
        store.DataFileName = Temp("short.sdf");
        ASSERT_TRUE(store.ReadSdfHeader(store.DataFileName, prompter, progress));
        const int complete = bytes.size() == good.size() ? 2 : 1;
        for (int k = complete - 1; k >= 0; --k) EXPECT_TRUE(store.ReadSdfBurst(k)) << k;
        EXPECT_EQ(store.IntervalData[0][0], 123);
        EXPECT_FALSE(store.ReadSdfBurst(complete));
        EXPECT_FALSE(store.ReadSdfChannel(complete, 0, v));
    }
    EXPECT_TRUE(prompter.records.empty());
}

TEST_F(SdfTest, HeaderCountsBeyondTheFilesContentAreRefusedAtOnce) {
    // A header claiming a 2 GB burst over a file that is a hole after its header.
    std::string bytes = Bytes(Fixture("v4_two_channels.sdf")).substr(0, 512);
    const std::int32_t samples = 1'073'741'000;
    bytes.replace(214, 4, reinterpret_cast<const char*>(&samples), 4);
    bytes[223] = 1;
    WriteBytes(Temp("sparse.sdf"), bytes);
    std::filesystem::resize_file(Temp("sparse.sdf"), 2LL * samples * 2 + 4096);
    EXPECT_FALSE(store.ReadSdfHeader(Temp("sparse.sdf"), prompter, progress));
    EXPECT_THAT(prompter.Texts(), ElementsAre("フォーマットが違います。"));
}

TEST_F(SdfTest, AFullDiskIsNamedWithTheFile) {
    FillTwoChannelHeader();
    for (bool sdf : {true, false}) {
        store.OutputFileName = "/dev/full";
        try {
            sdf ? store.WriteSdfBurst(0) : store.AppendTsdBurst(0);
            ADD_FAILURE() << sdf;
        } catch (const EInOutError& e) {
            EXPECT_STREQ(e.what(), "ファイル「/dev/full」に書き込めません。\nディスクの空き容量が足りません");
        }
    }
}

TEST_F(SdfTest, HeaderRewriteKeepsTheRestOfALongerFile) {
    WriteTwoChannelFile(Temp("a.sdf"));
    const std::string before = Bytes(Temp("a.sdf"));
    store.header.Memo = "changed";
    store.header.ItemName[0] = "Wave height long";  // 16 bytes exactly
    ASSERT_TRUE(store.WriteSdfHeader(Temp("a.sdf")));
    std::string after = Bytes(Temp("a.sdf"));
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after.substr(512), before.substr(512));
    EXPECT_EQ(after.substr(50, 8), "changed ");
}

TEST_F(SdfTest, TextFieldsAreCutToTheirWidthAndReadBackWithoutPadding) {
    FillTwoChannelHeader();
    store.header.Memo = std::string(159, 'm') + "波";   // the double-byte one does not fit
    store.header.ItemName[0] = "significant height";  // 18 -> 16
    store.header.UnitName[0] = "metres/s2";           // 9 -> 8
    store.header.ItemName[1] = "潮位";
    ASSERT_TRUE(store.WriteSdfHeader(Temp("t.sdf")));
    store.OutputFileName = Temp("t.sdf");
    store.WriteSdfBurst(0);
    store.WriteSdfBurst(1);
    SeriesStore back;
    ASSERT_TRUE(back.ReadSdfHeader(Temp("t.sdf"), prompter, progress));
    EXPECT_EQ(back.header.Memo, std::string(159, 'm') + " ");
    EXPECT_EQ(back.header.ItemName[0], "significant heig");
    EXPECT_EQ(back.header.UnitName[0], "metres/s");
    EXPECT_EQ(back.header.ItemName[1], "潮位");
    EXPECT_EQ(back.header.UnitName[1], "m");
}

TEST_F(SdfTest, Version4Keeps32767AsAValue) {
    WriteTwoChannelFile(Temp("v.sdf"));
    SetBurst({32767, 0, 0, 0, 0, 0});
    store.WriteSdfBurst(0);
    store.DataFileName = Temp("v.sdf");
    std::vector<float> v(3);
    ASSERT_TRUE(store.ReadSdfChannel(0, 0, v));
    EXPECT_FLOAT_EQ(v[0], 327.67f);
}

TEST(SplitMilliseconds, TakesTheLargestExactUnitUpToDays) {
    auto split = [](std::int32_t v) {
        std::uint8_t unit = 9;
        SplitMilliseconds(v, unit);
        return std::pair<int, int>{v, unit};
    };
    EXPECT_EQ(split(1500), (std::pair{1500, 1}));
    EXPECT_EQ(split(90000), (std::pair{90, 2}));
    EXPECT_EQ(split(120000), (std::pair{2, 3}));
    EXPECT_EQ(split(7200000), (std::pair{2, 4}));
    EXPECT_EQ(split(172800000), (std::pair{2, 5}));
    EXPECT_EQ(split(0), (std::pair{0, 5}));
}
