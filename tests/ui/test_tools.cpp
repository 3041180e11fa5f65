// The two time-series tool windows, driven offscreen, and the same runs through orvane-cli.
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTabWidget>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <iterator>

#include "UiFixture.h"
#include "core/runtime/NumberText.h"
#include "core/runtime/TextFile.h"
#include "core/series/SeriesStore.h"
#include "core/velocity/ResultFile.h"
#include "ui/series/SDFdata.h"
#include "ui/shoaling/Shoaling.h"
#include "ui/velocity/EstWaveHeight.h"
#include "ui/velocity/WaveVelSeries.h"
#include "ui/widgets/RadioGroup.h"

using ::testing::Contains;
using ::testing::HasSubstr;

namespace {

constexpr double kStart = 37847.0 + 10.0 / 24.0;  // 2003/08/14 10:00:00
const double kMissing = std::nan("");

struct Channel {
    std::string name, unit;
    float A;
    std::vector<double> values;
};

void WriteSeries(const std::string& path, const std::vector<Channel>& channels) {
    orvane::SeriesStore s;
    s.header.Memo = "tool test";
    s.header.NchInterval = static_cast<std::int16_t>(channels.size());
    s.header.Iteration = 1;
    s.header.SampleSize = static_cast<std::int32_t>(channels[0].values.size());
    s.header.SInt = 1;
    s.header.SIntUnit = 4;
    s.header.StartTime = kStart;
    for (std::size_t c = 0; c < channels.size(); ++c) {
        s.header.ItemName[c] = channels[c].name;
        s.header.UnitName[c] = channels[c].unit;
        s.header.CoefA[c] = channels[c].A;
    }
    s.AllocateSeriesData();
    for (std::size_t c = 0; c < channels.size(); ++c)
        for (std::size_t i = 0; i < channels[c].values.size(); ++i) {
            const double v = channels[c].values[i];
            s.IntervalData[c][i] = std::isnan(v) ? orvane::ErrorRaw
                                                 : static_cast<std::int16_t>(orvane::RoundHalfEven(v / channels[c].A));
        }
    orvane::WriteResultFile(s, path);
}

std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::size_t FilesIn(const std::string& folder) {
    std::size_t n = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(folder)) ++n;
    return n;
}

// orvane-cli of the same build, beside the test program's folder.
QString CliPath() {
    return QCoreApplication::applicationDirPath() + "/../src/cli/orvane-cli";
}

int RunCli(const QStringList& args, QString* output = nullptr) {
    QProcess p;
    p.start(CliPath(), args);
    if (!p.waitForFinished(120000)) return -1;
    if (output) *output = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
    return p.exitCode();
}

class ToolsTest : public UiFixture {
protected:
    TFrmWaveVelSeries* tool() { return ctx.waveVelSeries; }
    TFrmShoaling* shoaling() { return ctx.shoaling; }

    // Goda's model on a 1:50 bed with points at 4 m and 2 m, the wave file SDF, the tide TSD.
    void PrepareVelocityRun(const std::string& output) {
        WriteSeries(TempPath("wave.sdf"), {{"Hs", "m", 0.01f, {1.5, 2.0, kMissing, 1.0}},
                                           {"Ts", "s", 0.1f, {8.0, 9.0, 9.0, 7.0}}});
        WriteSeries(TempPath("tide.tsd"), {{"Tide", "m", 0.001f, {0.2, -0.3, 0.1, 0.5}}});
        shoaling()->RadioGroupMethod->SetItemIndex(1);
        shoaling()->RadioGroupProfile->SetItemIndex(0);
        shoaling()->RadioGroupXAxis->SetItemIndex(0);
        SetText(shoaling(), "EdtSlope", "0.02");
        SetText(shoaling(), "EdtCalPoint", "4,2");
        SetText(shoaling(), "EditOffshoreEnd", "10");
        SetText(shoaling(), "EditOnshoreEnd", "0.1");
        SetText(tool(), "EditFLWave", QString::fromStdString(TempPath("wave.sdf")));
        SetText(tool(), "EditFLTide", QString::fromStdString(TempPath("tide.tsd")));
        SetText(tool(), "EditFLOutput", QString::fromStdString(output));
        SetText(tool(), "EditKr", "0.95");
        SetText(tool(), "EditMSL", "0.1");
        // First run, nothing saved: the period list starts on the second channel.
        tool()->show();  // fills the channel lists: both files exist and an output is named
        FindChildOrFail<QCheckBox>(tool(), "CheckBoxHs")->setChecked(true);
        FindChildOrFail<QCheckBox>(tool(), "CheckBoxTide")->setChecked(true);
        FindChildOrFail<QCheckBox>(tool(), "CheckBoxUmax")->setChecked(true);
        FindChildOrFail<QCheckBox>(tool(), "CheckBoxXmax")->setChecked(true);
        FindChildOrFail<RadioGroup>(tool(), "RadioGroupOutput")->SetItemIndex(2);
        // The save window comes up: save as it stands.
        onModal = [this](QDialog* d) {
            if (d == ctx.sdfData) Click(d, "BitBtn1");
        };
    }

    const QStringList velocityCliArgs = {
        "wave-velocity-series", "--hs-channel", "Hs", "--ts-channel", "Ts", "--tide-channel", "1",
        "--kr", "0.95", "--msl", "0.1", "--copy-hs", "--copy-tide", "--umax", "--xmax",
        "--item", "us", "--method", "1", "--slope", "0.02", "--points", "4,2"};
};

TEST_F(ToolsTest, ShoalingWindowServesBesideTheToolAndIsRestoredOnClose) {
    tool()->show();
    EXPECT_EQ(FindChildOrFail<QTabWidget>(tool(), "PageControl1")->currentWidget()->objectName(), "TabSheet2");
    EXPECT_TRUE(shoaling()->isVisible());
    EXPECT_TRUE(shoaling()->BitBtn1->isHidden());
    EXPECT_TRUE(shoaling()->BitBtn2->isHidden());
    EXPECT_TRUE(shoaling()->GroupBox1->isHidden());
    EXPECT_TRUE(shoaling()->GroupBox3->isHidden());
    EXPECT_FALSE(shoaling()->RadioGroupH0->isEnabled());
    EXPECT_FALSE(shoaling()->RadioGroupYAxis->isEnabled());
    EXPECT_EQ(shoaling()->RadioGroupT0->ItemIndex(), 0);

    Click(tool(), "BitBtn2");
    EXPECT_FALSE(tool()->isVisible());
    EXPECT_FALSE(shoaling()->isVisible());
    EXPECT_FALSE(shoaling()->BitBtn1->isHidden());
    EXPECT_TRUE(shoaling()->RadioGroupH0->isEnabled());
    EXPECT_TRUE(shoaling()->GroupBox1->isHidden());  // the main menu shows them again
}

TEST_F(ToolsTest, BrowsingGivesTsdNamesAndTheRegularModelIsRefused) {
    tool()->show();
    fileNames = {QString::fromStdString(TempPath("result.dat"))};
    Click(tool(), "Button2");
    EXPECT_EQ(Text(tool(), "EditFLOutput").toStdString(), TempPath("result.tsd"));
    ASSERT_EQ(fileRequests.size(), 1u);
    EXPECT_TRUE(fileRequests[0].save);
    EXPECT_THAT(fileRequests[0].filter.toStdString(), HasSubstr("*.TSD"));

    shoaling()->RadioGroupMethod->SetItemIndex(0);
    Click(tool(), "BitBtn1");
    EXPECT_EQ(LastMessage(), "この計算方法は不規則波に適用できません。\n２～４番目の方法を選んで下さい。");
    EXPECT_EQ(shoaling()->RadioGroupMethod->ItemIndex(), 1);
    EXPECT_EQ(shoaling()->PageControl1->currentIndex(), 2);
    EXPECT_FALSE(tool()->isVisible());  // the run ended: the window closed
}

TEST_F(ToolsTest, VelocityRunWritesTheSameFileAsTheCommandLine) {
    const std::string windowOut = TempPath("window.SDF");
    PrepareVelocityRun(windowOut);
    EXPECT_EQ(FindChildOrFail<QComboBox>(tool(), "ComboBoxTs")->currentText(), "Ts");
    Click(tool(), "BitBtn1");

    ASSERT_TRUE(orvane::FileExists(windowOut)) << (Messages().empty() ? "" : Messages().back());
    EXPECT_THAT(LastMessage(), HasSubstr("計算は正常に終了しました。\n計算時間："));
    EXPECT_EQ(Bytes(windowOut).substr(0, 41), "Standard Burst-Interval Data Format Ver.4");
    EXPECT_THAT(progress.statusLines, Contains("2003/08/14 13:00:00"));
    EXPECT_TRUE(shoaling()->Run().RecordedDistance.empty());
    EXPECT_FALSE(shoaling()->isVisible());

    orvane::SeriesStore back;
    orvane::NullProgress quiet;
    ASSERT_TRUE(back.ReadSdfHeader(windowOut, prompter, quiet));
    ASSERT_EQ(back.header.NchInterval, 6);
    EXPECT_EQ(back.header.ItemName[2], "Us(4m)");
    EXPECT_EQ(back.header.ItemName[5], "depth of Vel Max");
    EXPECT_EQ(back.header.Memo.substr(0, 44), "Us estimated from the offshore waves and tid");

    if (!QFileInfo::exists(CliPath())) GTEST_SKIP() << "orvane-cli is not built";
    const std::string cliOut = TempPath("cli.SDF");
    QStringList args = velocityCliArgs;
    args << "--wave-file" << QString::fromStdString(TempPath("wave.sdf")) << "--tide-file"
         << QString::fromStdString(TempPath("tide.tsd")) << "-o" << QString::fromStdString(cliOut);
    QString printed;
    ASSERT_EQ(RunCli(args, &printed), 0) << printed.toStdString();
    EXPECT_EQ(Bytes(cliOut), Bytes(windowOut));
    args << "--jobs" << "2" << "--yes";
    ASSERT_EQ(RunCli(args, &printed), 0) << printed.toStdString();
    EXPECT_EQ(Bytes(cliOut), Bytes(windowOut));
}

TEST_F(ToolsTest, CalculateWithoutAnOutputFileSaysSoAndKeepsTheWindowOpen) {
    const std::string out = TempPath("first.tsd");
    PrepareVelocityRun(out);
    auto* tabs = FindChildOrFail<QTabWidget>(tool(), "PageControl1");
    tabs->setCurrentIndex(0);
    SetText(tool(), "EditFLOutput", "");  // as on a first run
    Click(tool(), "BitBtn1");
    EXPECT_EQ(LastMessage(), "出力ファイルを指定して下さい。");
    EXPECT_TRUE(tool()->isVisible());
    EXPECT_TRUE(shoaling()->isVisible());
    EXPECT_EQ(tabs->currentWidget()->objectName(), "TabSheet2");
    SetText(tool(), "EditFLTide", QString::fromStdString(TempPath("none.tsd")));
    Click(tool(), "BitBtn1");
    EXPECT_EQ(LastMessage(), "潮位のファイルが見つかりません：\n" + TempPath("none.tsd"));
    EXPECT_TRUE(tool()->isVisible());

    // Chosen, the run goes through; the reading's progress box is gone behind the save window.
    SetText(tool(), "EditFLTide", QString::fromStdString(TempPath("tide.tsd")));
    SetText(tool(), "EditFLOutput", QString::fromStdString(out));
    int hidesAtSave = -1;
    onModal = [&](QDialog* d) {
        if (d != ctx.sdfData) return;
        hidesAtSave = progress.hides;
        Click(d, "BitBtn1");
    };
    Click(tool(), "BitBtn1");
    EXPECT_TRUE(orvane::FileExists(out)) << LastMessage();
    EXPECT_GE(hidesAtSave, 1);
    EXPECT_FALSE(tool()->isVisible());
}

TEST_F(ToolsTest, ACancelledRunKeepsTheOldFileAndLeavesNothingBeside) {
    const std::string out = TempPath("old.tsd");
    {
        std::ofstream(out, std::ios::binary) << "previous result";
    }
    PrepareVelocityRun(out);
    modalResults = {};
    progress.cancelAtPosition = 50;
    const std::size_t before = FilesIn(ctx.settingsDir);
    Click(tool(), "BitBtn1");
    EXPECT_EQ(Bytes(out), "previous result");
    EXPECT_EQ(FilesIn(ctx.settingsDir), before);
    // The save window asked before overwriting, and no success message came.
    EXPECT_THAT(Messages(), Contains("同名のファイルが存在します。上書きしてよろしいですか。"));
    EXPECT_THAT(LastMessage(), ::testing::Not(HasSubstr("正常に終了")));
}

TEST_F(ToolsTest, NoEstimationPointsIsRefusedWithTheTabShown) {
    PrepareVelocityRun(TempPath("none.tsd"));
    SetText(shoaling(), "EdtCalPoint", "");
    Click(tool(), "BitBtn1");
    EXPECT_EQ(LastMessage(), "推定位置を入力して下さい。");
    EXPECT_EQ(shoaling()->PageControl1->currentIndex(), 4);
    EXPECT_FALSE(orvane::FileExists(TempPath("none.tsd")));
    EXPECT_TRUE(modalDialogs.empty());  // no save window
}

TEST_F(ToolsTest, WaveHeightListsFallBackAndASdfNameGivesAnSdfFile) {
    TFrmEstWaveHeight* w = ctx.estWaveHeight;
    const std::string in = TempPath("meter.tsd");
    WriteSeries(in, {{"Tide", "m", 0.001f, {0.0, 0.5, kMissing}},
                     {" Us ", "m/s", 0.001f, {1.0, 0.0, 1.0}},
                     {"Tp", "s", 0.01f, {10.0, 10.0, 10.0}}});
    w->SavedTideChannel = 0;
    w->SavedUsChannel = 7;  // beyond the file
    w->SavedTpChannel = 2;
    EXPECT_TRUE(w->GroupBoxUs->isHidden());
    SetText(w, "EditInputFile", QString::fromStdString(in));
    w->show();
    EXPECT_FALSE(w->GroupBoxUs->isHidden());
    EXPECT_FALSE(w->BitBtn2->isHidden());
    EXPECT_EQ(w->ComboBoxUs->currentIndex(), 0);
    EXPECT_EQ(w->SavedUsChannel, 0);
    EXPECT_EQ(w->ComboBoxUs->itemText(1), "Us(m/s)");
    w->ComboBoxUs->setCurrentIndex(1);

    const std::string out = TempPath("height.sdf");
    onModal = [&](QDialog* d) {
        if (d != ctx.sdfData) return;
        // Browsing starts beside the input, not at another tool's result in the name box.
        SetText(d, "EditFileName", "/elsewhere/velocity.tsd");
        Click(d, "Button1");
        SetText(d, "EditFileName", QString::fromStdString(out));
        Click(d, "BitBtn1");
    };
    Click(w, "BitBtn2");
    ASSERT_TRUE(orvane::FileExists(out)) << (Messages().empty() ? "" : Messages().back());
    EXPECT_EQ(ctx.sdfData->SaveDialog1.InitialDir.toStdString(), orvane::ExtractFileDir(in));
    ASSERT_FALSE(fileRequests.empty());
    EXPECT_EQ(fileRequests.back().start.toStdString(), orvane::ExtractFileDir(in) + "/");
    orvane::SeriesStore back;
    orvane::NullProgress quiet;
    ASSERT_TRUE(back.ReadSdfHeader(out, prompter, quiet));
    back.DataFileName = out;
    ASSERT_TRUE(back.ReadSdfBurst(0));
    ASSERT_EQ(back.header.NchInterval, 4);
    EXPECT_EQ(back.header.ItemName[3], "Hs");
    EXPECT_NEAR(back.IntervalData[3][0], 2336, 1);
    EXPECT_EQ(back.IntervalData[3][1], 0);
    EXPECT_EQ(back.IntervalData[3][2], orvane::ErrorRaw);
    EXPECT_FALSE(w->isVisible());

    if (!QFileInfo::exists(CliPath())) GTEST_SKIP() << "orvane-cli is not built";
    QString printed;
    const std::string cliOut = TempPath("height_cli.sdf");
    ASSERT_EQ(RunCli({"wave-height-series", "--input", QString::fromStdString(in), "-o",
                      QString::fromStdString(cliOut), "--tide-channel", "1", "--us-channel", "Us(m/s)",
                      "--tp-channel", "Tp"},
                     &printed),
              0)
        << printed.toStdString();
    EXPECT_EQ(Bytes(cliOut), Bytes(out));
}

TEST_F(ToolsTest, WaveHeightSaveCancelledLeavesNoFile) {
    TFrmEstWaveHeight* w = ctx.estWaveHeight;
    const std::string in = TempPath("meter.tsd");
    WriteSeries(in, {{"Tide", "m", 0.001f, {0.0}}, {"Us", "m/s", 0.001f, {1.0}}, {"Tp", "s", 0.01f, {10.0}}});
    SetText(w, "EditInputFile", QString::fromStdString(in));
    w->show();
    w->ComboBoxUs->setCurrentIndex(1);
    w->ComboBoxTp->setCurrentIndex(2);
    ctx.sdfData->EditFileName->setText(QString::fromStdString(TempPath("never.tsd")));
    onModal = [&](QDialog* d) {
        if (d == ctx.sdfData) Click(d, "BitBtn2");
    };
    Click(w, "BitBtn2");
    EXPECT_FALSE(orvane::FileExists(TempPath("never.tsd")));
    EXPECT_TRUE(Messages().empty());
}

}  // namespace
