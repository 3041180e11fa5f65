#include <filesystem>
#include <fstream>
#include <iterator>
#include <gmock/gmock.h>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QTableWidget>
#include "UiFixture.h"
#include "core/runtime/DateTime.h"
#include "ui/series/SDFdata.h"

using ::testing::ElementsAre;

namespace {

std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

class SeriesWindowTest : public UiFixture {
protected:
    TFrmSDFdata* w = nullptr;
    orvane::SeriesHeader* h = nullptr;

    void SetUp() override {
        UiFixture::SetUp();
        w = ctx.sdfData;
        w->InitSeriesWindow();
        h = &w->Header();
    }
    // A result as a tool leaves it before ShowSaveWindow.
    void FillResult(int nchInterval) {
        *h = {};
        h->Memo = "result   ";
        h->NchInterval = static_cast<std::int16_t>(nchInterval);
        h->SampleSize = 2;
        h->SInt = 500;
        h->SIntUnit = 1;
        h->Iteration = 1;
        h->BInt = 30;
        h->BIntUnit = 3;
        h->StartTime = orvane::ParseDateTime("2024/05/06 07:08:09");
        for (int i = 0; i < nchInterval; ++i) {
            h->ItemName[i] = "V" + std::to_string(i + 1);
            h->UnitName[i] = "cm/s";
            h->CoefA[i] = 0.01f;
        }
        w->AllocateSeriesData();
    }
    QTableWidget* Grid() { return FindChildOrFail<QTableWidget>(w, "StringGrid1"); }
    QComboBox* Combo(const char* name) { return FindChildOrFail<QComboBox>(w, name); }
    void SetCell(int col, int row, const QString& text) { Grid()->item(row, col)->setText(text); }
    // Shows the save window; `edit` types into it before 保存 is pressed.
    int Save(int kind, const std::string& name, std::function<void()> edit = {}) {
        w->EditFileName->setText(QString::fromStdString(name));
        onModal = [&, edit](QDialog*) {
            if (edit) edit();
            Click(w, "BitBtn1");
        };
        return w->ShowSaveWindow(kind);
    }
};

TEST_F(SeriesWindowTest, InitialisesGridAndUnitLists) {
    EXPECT_EQ(Combo("ComboBoxSITUnit")->currentText(), "sec");
    EXPECT_EQ(Combo("ComboBoxBITUnit")->currentText(), "sec");
    EXPECT_EQ(Combo("ComboBoxBITUnit")->count(), 9);
    EXPECT_FALSE(Combo("ComboBoxSITUnit")->isEditable());
    EXPECT_EQ(Grid()->item(0, 3)->text(), "A");
    EXPECT_EQ(Grid()->item(128, 0)->text(), "128");
}

TEST_F(SeriesWindowTest, FillShowsTheSeriesAndSizesTheGrid) {
    FillResult(2);
    w->FillSeriesWindow();
    EXPECT_EQ(w->windowTitle(), "時系列ファイルの保存");
    EXPECT_EQ(FindChildOrFail<QPlainTextEdit>(w, "Memo1")->toPlainText(), "result");
    EXPECT_EQ(Text(w, "EdtStartTime"), "2024/05/06 07:08:09");
    EXPECT_EQ(LabelText(w, "LblSampleSize"), "2");
    EXPECT_EQ(LabelText(w, "LblBInt"), "30");
    EXPECT_EQ(Combo("ComboBoxBITUnit")->currentText(), "min");
    EXPECT_EQ(Grid()->item(2, 3)->text(), "0.01");
    // 500 msec shown in the display unit; the series itself stays in msec.
    EXPECT_EQ(LabelText(w, "LblSInt"), "0.5");
    Combo("ComboBoxSITUnit")->setCurrentIndex(1);
    EXPECT_EQ(LabelText(w, "LblSInt"), "500");
    EXPECT_EQ(h->SIntUnit, 1);
    // (16 + 1) x rows + 20, at most 132.
    EXPECT_EQ(Grid()->height(), 71);
    FillResult(5);
    w->FillSeriesWindow();
    EXPECT_EQ(Grid()->height(), 122);
    FillResult(6);
    w->FillSeriesWindow();
    EXPECT_EQ(Grid()->height(), 132);
    // The memo box keeps to 160 bytes as the user types (a double-byte character counts 2).
    auto* memo = FindChildOrFail<QPlainTextEdit>(w, "Memo1");
    memo->setPlainText(QString(100, QChar(0x6CE2)));
    EXPECT_EQ(memo->toPlainText().size(), 80);
}

TEST_F(SeriesWindowTest, SavesEditsAndWritesTheHeaderByExtension) {
    FillResult(2);
    const std::string name = TempPath("out.sdf");
    int result = Save(1, name, [&] {  // opened for TSD, saved as SDF by the name
        Combo("ComboBoxBITUnit")->setCurrentIndex(4);  // 30 min -> 30 hr
        SetText(w, "EditIteration", "3");
        SetCell(1, 1, "Speed");
        SetCell(3, 2, "0.5");
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(h->BInt, 30);
    EXPECT_EQ(h->BIntUnit, 4);
    EXPECT_EQ(h->Iteration, 3);
    EXPECT_EQ(h->ItemName[0], "Speed");
    EXPECT_EQ(h->CoefA[1], 0.5f);
    EXPECT_EQ(w->Store().OutputFileName, name);
    EXPECT_EQ(Bytes(name).size(), 512u);
    EXPECT_EQ(Bytes(name).substr(0, 41), "Standard Burst-Interval Data Format Ver.4");
    EXPECT_TRUE(Messages().empty());
}

TEST_F(SeriesWindowTest, OverwritingTheInputAsksOrRefuses) {
    // The TSD that was read: refused, the window stays open until cancelled.
    FillResult(1);
    const std::string tsd = TempPath("in.tsd");
    ASSERT_TRUE(w->Store().WriteTsdHeader(tsd));
    w->Store().DataFileName = tsd;
    bool openAfterSave = false;
    EXPECT_EQ(Save(1, tsd, [&] {}), 2);
    onModal = [&](QDialog*) {
        Click(w, "BitBtn1");
        openAfterSave = w->isVisible();
        Click(w, "BitBtn2");
    };
    EXPECT_EQ(w->ShowSaveWindow(1), 2);
    EXPECT_TRUE(openAfterSave);

    // The SDF that was read: asked, then its header is rewritten and its data kept.
    const std::string sdf = TempPath("in.sdf");
    ASSERT_TRUE(w->Store().WriteSdfHeader(sdf));
    w->Store().OutputFileName = sdf;
    w->Store().IntervalData[0] = {7, 8};
    w->WriteSdfBurst(0);
    const std::string before = Bytes(sdf);
    w->Store().DataFileName = sdf;
    prompter.answers = {false, true};
    EXPECT_EQ(Save(0, sdf), 2);  // No: nothing written
    EXPECT_EQ(Save(0, sdf, [&] { SetCell(1, 1, "Renamed"); }), 1);
    std::string after = Bytes(sdf);
    EXPECT_EQ(after.size(), before.size());
    EXPECT_EQ(after.substr(512), before.substr(512));
    EXPECT_EQ(after.substr(256, 7), "Renamed");

    // Another existing file: asked.
    prompter.answers = {false};
    w->Store().DataFileName.clear();
    EXPECT_EQ(Save(0, sdf), 2);
    EXPECT_THAT(Messages(), ElementsAre("ロードしているTSDファイルは上書き出来ません。",
                                        "ロードしているTSDファイルは上書き出来ません。",
                                        "パラメータを変更してよろしいですね。", "パラメータを変更してよろしいですね。",
                                        "同名のファイルが存在します。上書きしてよろしいですか。"));
}

TEST_F(SeriesWindowTest, RefusalsKeepTheWindowOpenAndTheSeriesUnchanged) {
    FillResult(2);
    const std::string name = TempPath("r.tsd");
    auto stays = [&](std::function<void()> edit, const std::string& target) {
        bool open = false;
        w->EditFileName->setText(QString::fromStdString(target));
        onModal = [&](QDialog*) {
            edit();
            Click(w, "BitBtn1");
            open = w->isVisible();
            Click(w, "BitBtn2");
        };
        EXPECT_EQ(w->ShowSaveWindow(1), 2);
        return open;
    };
    EXPECT_TRUE(stays([&] { SetCell(2, 1, "m,s"); }, name));  // TSD cannot read "," back
    EXPECT_TRUE(stays([&] { SetText(w, "EditIteration", "x"); }, name));
    EXPECT_TRUE(stays([&] { SetText(w, "EditIteration", "70000"); }, name));
    EXPECT_TRUE(stays([] {}, TempPath("no/such/folder/r.tsd")));  // the header writer fails
    EXPECT_FALSE(std::filesystem::exists(name));
    ASSERT_EQ(Messages().size(), 4u);
    EXPECT_THAT(Messages()[0], ::testing::HasSubstr("「,」"));
    EXPECT_EQ(Messages()[1], "'x' は整数ではありません");
    EXPECT_THAT(Messages()[3], ::testing::HasSubstr("書き込めません"));

    // Cancel: nothing taken from the window, nothing written.
    FillResult(2);
    w->EditFileName->setText(QString::fromStdString(name));
    onModal = [&](QDialog*) {
        SetText(w, "EdtStartTime", "2000/01/01 00:00:00");
        Click(w, "BitBtn2");
    };
    EXPECT_EQ(w->ShowSaveWindow(1), 2);
    EXPECT_EQ(orvane::FormatDateTime(h->StartTime), "2024/05/06 07:08:09");
    EXPECT_FALSE(std::filesystem::exists(name));
}

TEST_F(SeriesWindowTest, BrowseTakesTheDefaultExtension) {
    FillResult(1);
    fileNames = {"/data/result.dat"};
    onModal = [&](QDialog*) {
        Click(w, "Button1");
        Click(w, "BitBtn2");
    };
    w->ShowSaveWindow(1);
    EXPECT_EQ(Text(w, "EditFileName"), "/data/result.tsd");
    ASSERT_EQ(fileRequests.size(), 1u);
    EXPECT_TRUE(fileRequests[0].save);
    EXPECT_EQ(fileRequests[0].filter, "ﾃｷｽﾄ型時系列ﾌｧｲﾙ(*.TSD) (*.tsd)");
}

// A tool's result: 保存 names the file and the tool writes it whole later; the window's
// flags must not outlive it, or the next plain save would write no header.
TEST_F(SeriesWindowTest, AResultSaveLeavesTheFileToTheToolAndResetsItsFlagsEvenOnAnError) {
    FillResult(1);
    const std::string name = TempPath("deferred.tsd");
    w->EditFileName->setText(QString::fromStdString(name));
    onModal = [&](QDialog*) {
        EXPECT_TRUE(w->DeferHeaderWrite && w->StartInInitialDir);
        Click(w, "BitBtn1");
    };
    EXPECT_EQ(w->ShowSaveWindowForResult(1, true), 1);
    EXPECT_EQ(w->Store().OutputFileName, name);
    EXPECT_FALSE(std::filesystem::exists(name));
    EXPECT_FALSE(w->DeferHeaderWrite || w->StartInInitialDir);

    onModal = [](QDialog*) { throw std::runtime_error("window failed"); };
    EXPECT_THROW(w->ShowSaveWindowForResult(0, true), std::runtime_error);
    EXPECT_FALSE(w->DeferHeaderWrite || w->StartInInitialDir);
}

TEST_F(SeriesWindowTest, OldFileConversionUsesTheProgressDialogAndSetsTheUnits) {
    const std::string path = TempPath("old.sdf");
    std::filesystem::copy_file(std::string(ORVANE_TEST_DATA) + "/series/v1_two_channels.sdf", path);
    ASSERT_TRUE(w->OpenSeriesHeader(path));
    EXPECT_THAT(Messages(), ElementsAre("データの形式が旧式です。更新してよろしいですか。"));
    EXPECT_THAT(progress.comments, ElementsAre("ただ今、データ形式の更新中．．．．"));
    EXPECT_EQ(progress.hides, 1);
    // 500 ms and 3600000 ms became 500 msec and 1 hr; the display follows the new units.
    EXPECT_EQ(Combo("ComboBoxSITUnit")->currentText(), "msec");
    EXPECT_EQ(Combo("ComboBoxBITUnit")->currentText(), "hr");
    EXPECT_EQ(LabelText(w, "LblSInt"), "500");
}
