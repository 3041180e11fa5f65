#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/runtime/Errors.h"
#include "core/runtime/TextFile.h"

using namespace orvane;
namespace fs = std::filesystem;

namespace {

class TextFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "orvane_textfile_XXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        dir = tmpl;
    }
    void TearDown() override {
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(dir);
    }
    std::string Path(const std::string& name) const { return (fs::path(dir) / name).string(); }
    static std::string Bytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    static void Put(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    std::size_t FileCount() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), {}));
    }
    std::string dir;
};

// "波高" and half-width "ｽﾍﾟｸﾄﾙ" in CP932.
const std::string kHakoCp932 = "\x94\x67\x8d\x82";
const std::string kSpectrumCp932 = "\xbd\xcd\xdf\xb8\xc4\xd9";

}  // namespace

TEST_F(TextFileTest, Cp932ConversionBothWays) {
    EXPECT_EQ(Utf8ToCp932("波高"), kHakoCp932);
    EXPECT_EQ(Utf8ToCp932("ｽﾍﾟｸﾄﾙ"), kSpectrumCp932);
    EXPECT_EQ(Cp932ToUtf8(kHakoCp932 + "(m)"), "波高(m)");
    EXPECT_EQ(Cp932Length("沿岸　Orvane"), 4u + 2u + 6u);
    EXPECT_THROW(Cp932ToUtf8("\x94"), EConvertError);      // lead byte without its trail
    EXPECT_THROW(Cp932ToUtf8("\xff\xfe"), EConvertError);
    EXPECT_THROW(Utf8ToCp932("wave \xF0\x9F\x8C\x8A"), EConvertError);  // no CP932 form
}

TEST_F(TextFileTest, CutNeverHalvesADoubleByteCharacter) {
    EXPECT_EQ(CutToCp932Bytes("波高計A", 5), "波高");
    EXPECT_EQ(CutToCp932Bytes("波高計A", 6), "波高計");
    EXPECT_EQ(CutToCp932Bytes("波高計A", 7), "波高計A");
    EXPECT_EQ(CutToCp932Bytes("A波", 2), "A");
    EXPECT_EQ(CutToCp932Bytes("ｽﾍﾟｸﾄﾙ", 3), "ｽﾍﾟ");  // half-width kana are single bytes
    EXPECT_EQ(CutToCp932Bytes("波", 1), "");
    EXPECT_EQ(CutToCp932Bytes("", 0), "");
}

TEST_F(TextFileTest, WritesCp932WithCrLfAndReadsBothLineEnds) {
    std::string p = Path("a.txt");
    WriteTextFileAtomic(p, {"波高", "", "x,y"});
    EXPECT_EQ(Bytes(p), kHakoCp932 + "\r\n\r\nx,y\r\n");
    EXPECT_EQ(ReadTextLines(p), (std::vector<std::string>{"波高", "", "x,y"}));

    Put(p, "one\ntwo\r\nthree");  // LF alone, CR LF, and a last line without an end
    EXPECT_EQ(ReadTextLines(p), (std::vector<std::string>{"one", "two", "three"}));
    Put(p, "");
    EXPECT_TRUE(ReadTextLines(p).empty());

    Put(p, "ok\r\n\x81\r\n");
    try {
        ReadTextLines(p);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_NE(std::string(e.what()).find("2 行目"), std::string::npos) << e.what();
    }
    EXPECT_EQ(ReadRawLines(p), (std::vector<std::string>{"ok", "\x81"}));
}

TEST_F(TextFileTest, MissingFileRaisesAJapaneseIoError) {
    try {
        ReadTextLines(Path("none.txt"));
        FAIL();
    } catch (const EInOutError& e) {
        EXPECT_EQ(std::string(e.what()), "ファイルが見つかりません: " + Path("none.txt"));
    }
    EXPECT_THROW(ReadTextLines(dir), EInOutError);
    EXPECT_FALSE(FileExists(dir));
    EXPECT_FALSE(FileExists(Path("none.txt")));
}

TEST_F(TextFileTest, FailedWriteLeavesTheOldFile) {
    std::string p = Path("WaveCval.dat");
    WriteTextFileAtomic(p, {"old"});
    ::chmod(p.c_str(), 0640);
    // A line that has no CP932 form fails before anything is touched.
    EXPECT_THROW(WriteTextFileAtomic(p, {"new", "\xF0\x9F\x8C\x8A"}), EConvertError);
    EXPECT_EQ(Bytes(p), "old\r\n");
    EXPECT_EQ(FileCount(), 1u);

    {  // An uncommitted writer leaves nothing behind.
        AtomicTextWriter w(p);
        w.WriteLine("half");
    }
    EXPECT_EQ(Bytes(p), "old\r\n");
    EXPECT_EQ(FileCount(), 1u);

    AtomicTextWriter w(p);
    w.WriteLine("new");
    w.Commit();
    EXPECT_EQ(Bytes(p), "new\r\n");
    EXPECT_EQ(FileCount(), 1u);
    struct stat st{};
    ::stat(p.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);  // a replaced file keeps its permissions
    EXPECT_THROW(w.WriteLine("late"), OrvaneError);

    if (::geteuid() != 0) {  // permissions mean nothing to root
        ::chmod(dir.c_str(), 0500);
        try {
            WriteTextFileAtomic(p, {"denied"});
            FAIL();
        } catch (const EInOutError& e) {
            EXPECT_EQ(std::string(e.what()).rfind("ファイルへのアクセスが拒否されました", 0), 0u);
        }
        ::chmod(dir.c_str(), 0700);
        EXPECT_EQ(Bytes(p), "new\r\n");
    }
    EXPECT_THROW(WriteTextFileAtomic(Path("no/such/dir.txt"), {"x"}), EInOutError);
}

TEST_F(TextFileTest, StaleTemporariesGoAtTheNextWriteAndLiveOnesStay) {
    const std::string dead = ".x.csv.orvane-partial-2147483647-0-abcdef";  // no such process
    const std::string live = ".y.csv.orvane-partial-" + std::to_string(::getpid()) + "-999";
    for (const std::string& name : {dead, live, std::string(".x.csv.tmpAbC123"), std::string("x.csv.part~"),
                                    std::string(".other"), std::string("Qr~temp1234!")})
        Put(Path(name), "left");
    {
        TemporaryLock converting(Path("Qr~temp1234!"));
        WriteTextFileAtomic(Path("x.csv"), {"a"});
        EXPECT_TRUE(fs::exists(Path("Qr~temp1234!")));  // in use
    }
    EXPECT_FALSE(fs::exists(Path(dead)));
    EXPECT_FALSE(fs::exists(Path(".x.csv.tmpAbC123")));
    EXPECT_FALSE(fs::exists(Path("x.csv.part~")));
    EXPECT_TRUE(fs::exists(Path(live)));
    EXPECT_TRUE(fs::exists(Path(".other")));
    const std::string temp = TemporaryPathFor(Path("z.sdf"));
    EXPECT_EQ(fs::path(temp).filename().string().rfind(".z.sdf.orvane-partial-", 0), 0u);
    EXPECT_FALSE(fs::exists(Path("Qr~temp1234!")));  // no longer locked: a leftover
    EXPECT_EQ(FileCount(), 3u);
}

TEST(PathHelpers, FolderExtensionAndCase) {
    EXPECT_EQ(ExtractFileDir("/data/run/a.sdf"), "/data/run");
    EXPECT_EQ(ExtractFileDir("a.sdf"), "");
    EXPECT_EQ(ExtractFileDir("/a.sdf"), "/");
    EXPECT_EQ(ExtractFileExt("/data/run/A.TSD"), ".TSD");
    EXPECT_EQ(ExtractFileExt("/data/run.d/name"), "");
    EXPECT_EQ(ExtractFileExt("x.tar.gz"), ".gz");
    EXPECT_EQ(ChangeFileExt("/d/a.sdf", ".csv"), "/d/a.csv");
    EXPECT_EQ(ChangeFileExt("/d.x/a", ".csv"), "/d.x/a.csv");
    EXPECT_EQ(LowerAscii("A.TSD 波"), "a.tsd 波");
}

TEST(TextEncoding, DetectsUtf8WithOrWithoutMarkAndCp932AndNamesABadLine) {
    auto kind = [](const std::string& bytes) { return DetectTextEncoding(bytes, "x").kind; };
    EXPECT_EQ(kind("距離,水深\n0,0\n"), DetectedText::Utf8);
    EXPECT_EQ(DetectTextEncoding("\xEF\xBB\xBF距離\n", "x").bom, 3u);
    EXPECT_EQ(kind(kHakoCp932 + ",x\n1,2\n"), DetectedText::Cp932);
    EXPECT_EQ(kind(kSpectrumCp932), DetectedText::Cp932);  // half-width kana are no UTF-8
    EXPECT_EQ(DecodeLine(kHakoCp932, DetectedText::Cp932), "波高");
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong "/"
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // a surrogate
    try {
        DetectTextEncoding("a\nb\n\xff\xfe\n", "「p.csv」");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "「p.csv」の 3 行目は UTF-8 としても CP932 (シフトJIS) としても読めません。");
    }
    // With a mark, a line that is not UTF-8 is refused even when CP932 could read it.
    EXPECT_THROW(DetectTextEncoding("\xEF\xBB\xBFok\n" + kHakoCp932, "x"), EConvertError);
    // Bytes both read: CP932 ("ﾃｲ", not "ò") unless marked or a character only UTF-8 explains.
    EXPECT_EQ(kind("\xC3\xB2\r\n"), DetectedText::Cp932);
    EXPECT_EQ(kind("\xEF\xBB\xBF\xC3\xB2"), DetectedText::Utf8);
    EXPECT_EQ(kind("Temp(\xC2\xB0" "C)"), DetectedText::Utf8);
    EXPECT_EQ(kind("水温(℃)"), DetectedText::Utf8);
}
