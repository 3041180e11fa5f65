#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "core/app/SettingsFile.h"
#include "core/runtime/Errors.h"

using namespace orvane;
namespace fs = std::filesystem;

namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "orvane_settings_XXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        dir = tmpl;
        path = dir + "/WaveCval.dat";
    }
    void TearDown() override { fs::remove_all(dir); }

    void Put(const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
    std::string Bytes() const {
        std::ifstream in(path, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    // A full set of values as the windows would hand them over.
    static std::vector<SettingValue> Sample() {
        std::vector<SettingValue> v(kSettingsLineCount);
        for (const SettingEntry& e : SettingsTable()) {
            auto& x = v[static_cast<std::size_t>(e.line - 1)];
            if (e.kind == SettingKind::Integer) x.integer = e.line % 3 == 0 ? -1 : e.line;
            else x.text = "text " + std::to_string(e.line);
        }
        v[0].text = "9.8100";
        v[1].text = "1.025";
        v[2].text = "0.93";
        v[3].text = "/home/海岸/断面 1.csv";
        v[10].text = "10,5,2.5";
        v[39].text = "0.5";
        v[40].text = "1.54";
        v[14].text = "";
        return v;
    }
    std::string dir, path;
};

}  // namespace

TEST_F(SettingsFileTest, TableMatchesTheFileLayout) {
    const auto& t = SettingsTable();
    std::set<std::pair<std::string, std::string>> seen;
    int integers = 0, fields = 0;
    for (std::size_t i = 0; i < t.size(); ++i) {
        EXPECT_EQ(t[i].line, static_cast<int>(i) + 1);
        EXPECT_TRUE(seen.insert({t[i].window, t[i].control}).second) << t[i].control;
        integers += t[i].kind == SettingKind::Integer;
        fields += t[i].field16;
        if (t[i].field16) {
            EXPECT_TRUE(t[i].line >= 25 && t[i].line <= 32);
        }
    }
    EXPECT_EQ(integers, 16);
    EXPECT_EQ(fields, 8);
    EXPECT_STREQ(t[15].control, "ComboBoxTide");
    EXPECT_STREQ(t[39].control, "LabeledEditgamma_TG");
}

TEST_F(SettingsFileTest, RoundTripKeepsTextsAsTypedAndIntegers) {
    auto in = Sample();
    WriteSettingsFile(path, in);
    std::string bytes = Bytes();
    EXPECT_EQ(bytes.rfind("9.8100\r\n1.025\r\n0.93\r\n", 0), 0u);
    EXPECT_NE(bytes.find("\r\n-1\r\n"), std::string::npos);
    EXPECT_EQ(bytes.find("海岸"), std::string::npos);  // written as CP932, not UTF-8

    SettingsReadResult r = ReadSettingsFile(path);
    ASSERT_TRUE(r.Complete()) << r.error;
    EXPECT_TRUE(r.fileFound);
    ASSERT_EQ(r.values.size(), in.size());
    for (const SettingEntry& e : SettingsTable()) {
        std::size_t i = static_cast<std::size_t>(e.line - 1);
        if (e.kind == SettingKind::Integer) EXPECT_EQ(r.values[i].integer, in[i].integer) << e.line;
        else EXPECT_EQ(r.values[i].text, in[i].text) << e.line;
    }
    PhysicalConstants c;
    r.ApplyConstantsTo(c);
    EXPECT_EQ(c.gra, 9.81);
    EXPECT_EQ(c.gamma_TG, 0.5);

    // Lines after the 41st are ignored; LF alone is accepted.
    std::string lf = bytes;
    for (std::size_t p; (p = lf.find("\r\n")) != std::string::npos;) lf.replace(p, 2, "\n");
    Put(lf + "extra\nlines\n");
    r = ReadSettingsFile(path);
    ASSERT_TRUE(r.Complete()) << r.error;
    EXPECT_EQ(r.values.size(), 41u);
    EXPECT_EQ(r.values[3].text, "/home/海岸/断面 1.csv");
}

TEST_F(SettingsFileTest, ShortFileStopsAtTheFirstMissingInteger) {
    auto in = Sample();
    WriteSettingsFile(path, in);
    std::string bytes = Bytes();
    std::size_t pos = 0;
    for (int i = 0; i < 15; ++i) pos = bytes.find("\r\n", pos) + 2;
    Put(bytes.substr(0, pos));

    SettingsReadResult r = ReadSettingsFile(path);
    EXPECT_EQ(r.values.size(), 15u);
    EXPECT_EQ(r.values[13].text, "text 14");
    EXPECT_EQ(r.values[14].text, "");
    EXPECT_EQ(r.errorLine, 16);
    EXPECT_EQ(r.error, "'' は整数ではありません");
    EXPECT_EQ(*r.gra, 9.81);
    EXPECT_FALSE(r.gamma_TG.has_value());
    PhysicalConstants c;
    c.gamma_TG = 0.3;
    r.ApplyConstantsTo(c);
    EXPECT_EQ(c.gamma_TG, 0.3);  // the rest keeps its previous state
}

TEST_F(SettingsFileTest, BadLinesStopTheReadWithTheLinesBeforeThemTaken) {
    auto lines = [](std::vector<std::string> l) {
        std::string s;
        for (auto& x : l) s += x + "\r\n";
        return s;
    };
    // A non-numeric integer line.
    std::vector<std::string> good;
    for (const SettingEntry& e : SettingsTable())
        good.push_back(e.kind == SettingKind::Integer ? "0" : "1");
    auto bad = good;
    bad[21] = "one";
    Put(lines(bad));
    SettingsReadResult r = ReadSettingsFile(path);
    EXPECT_EQ(r.values.size(), 21u);
    EXPECT_EQ(r.errorLine, 22);
    EXPECT_EQ(r.error, "'one' は整数ではありません");

    // A 16-bit field out of range.
    bad = good;
    bad[24] = "40000";
    Put(lines(bad));
    r = ReadSettingsFile(path);
    EXPECT_EQ(r.errorLine, 25);
    EXPECT_EQ(r.values.size(), 24u);

    // Bytes that are not CP932 at line 5.
    bad = good;
    bad[4] = "C:\\\xff\xff";
    Put(lines(bad));
    r = ReadSettingsFile(path);
    // Only that line is lost; the lines after it still reach their controls.
    ASSERT_EQ(r.values.size(), 41u);
    EXPECT_FALSE(r.values[4].taken);
    EXPECT_TRUE(r.values[5].taken);
    EXPECT_EQ(r.values[5].text, good[5]);
    EXPECT_TRUE(r.B_TG.has_value());
    EXPECT_EQ(r.errorLine, 5);
    EXPECT_NE(r.error.find("5 行目"), std::string::npos) << r.error;

    // A bad constant: all three boxes hold the file's texts, gra is taken, SGfluid fails.
    bad = good;
    bad[1] = "heavy";
    Put(lines(bad));
    r = ReadSettingsFile(path);
    EXPECT_EQ(r.values.size(), 3u);
    EXPECT_EQ(r.values[1].text, "heavy");
    EXPECT_EQ(r.errorLine, 2);
    EXPECT_EQ(r.error, "'heavy' は浮動小数点数ではありません");
    EXPECT_TRUE(r.gra.has_value());
    EXPECT_FALSE(r.SGfluid.has_value());

    // A bad B_TG: the box takes the text, gamma_TG is in force, B_TG is not.
    bad = good;
    bad[40] = "x";
    Put(lines(bad));
    r = ReadSettingsFile(path);
    EXPECT_EQ(r.values.size(), 41u);
    EXPECT_EQ(r.errorLine, 41);
    EXPECT_TRUE(r.gamma_TG.has_value());
    EXPECT_FALSE(r.B_TG.has_value());

    // Not a file at all, and no file.
    fs::remove(path);
    r = ReadSettingsFile(path);
    EXPECT_FALSE(r.fileFound);
    EXPECT_TRUE(r.Complete());
    fs::create_directory(path);
    r = ReadSettingsFile(path);
    EXPECT_TRUE(r.fileFound);
    EXPECT_FALSE(r.Complete());
    EXPECT_TRUE(r.values.empty());
}

TEST_F(SettingsFileTest, WriterGuardsTheLineStructureAndTheOldFile) {
    auto in = Sample();
    WriteSettingsFile(path, in);
    std::string before = Bytes();
    auto broken = in;
    broken[5].text = "tide\xF0\x9F\x8C\x8A";  // no CP932 form: written as "?", named
    EXPECT_EQ(WriteSettingsFile(path, broken), std::vector<int>{6});
    EXPECT_EQ(ReadSettingsFile(path).values[5].text, "tide?");
    WriteSettingsFile(path, in);
    EXPECT_THROW(WriteSettingsFile(path, std::vector<SettingValue>(40)), OrvaneError);
    EXPECT_EQ(Bytes(), before);

    auto twoLines = in;
    twoLines[6].text = "a\r\nb";
    WriteSettingsFile(path, twoLines);
    SettingsReadResult r = ReadSettingsFile(path);
    ASSERT_TRUE(r.Complete()) << r.error;
    EXPECT_EQ(r.values[6].text, "a  b");

    // A missing configuration folder is created.
    std::string nested = dir + "/cfg/orvane/WaveCval.dat";
    WriteSettingsFile(nested, in);
    EXPECT_TRUE(ReadSettingsFile(nested).Complete());
}

TEST_F(SettingsFileTest, WrittenInTheBuildTreeOrTheUserConfigurationReadBesideTheProgramToo) {
    const std::string program = dir + "/";
    SettingsPlace p = LocateSettings(dir, true, "/xdg", "/home/u");
    EXPECT_EQ(p.dir, program);
    EXPECT_EQ(p.fallbackDir, "");
    p = LocateSettings(dir, false, "/xdg", "/home/u");
    EXPECT_EQ(p.dir, "/xdg/orvane/");
    EXPECT_EQ(p.fallbackDir, program);
    EXPECT_EQ(LocateSettings(dir + "/gone", true, "relative", "/home/u/").dir, "/home/u/.config/orvane/");

    // The configuration folder's file first; the one beside the program when it has none.
    const std::string config = dir + "/cfg/";
    p = SettingsPlace{config, program};
    EXPECT_EQ(p.ReadPath(), config + "WaveCval.dat");
    WriteSettingsFile(program + "WaveCval.dat", Sample());
    EXPECT_EQ(p.ReadPath(), program + "WaveCval.dat");
    WriteSettingsFile(p.WritePath(), Sample());
    EXPECT_EQ(p.ReadPath(), config + "WaveCval.dat");
}
