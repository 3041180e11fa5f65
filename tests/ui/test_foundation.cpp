// Start-up, the main window's two ways out, the progress dialog and the help viewer.
#include <unistd.h>
#include <QFontInfo>
#include <QTest>
#include <gmock/gmock.h>
#include "test_foundation_helpers.h"
#include "UiFixture.h"
#include "core/runtime/TextFile.h"
#include "ui/app/ConstVal.h"
#include "ui/app/Processing.h"
#include "ui/app/Version.h"
#include "ui/help/Help.h"
#include "ui/help/HelpViewer.h"
#include "ui/series/SDFdata.h"
#include "ui/shoaling/Shoaling.h"
#include "ui/wave/Airy.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class FixtureTest : public UiFixture {};

// Other window tests lean on these answers; a wrong one would make their tests lie.
TEST_F(FixtureTest, ModalAndFileAnswersFollowTheScript) {
    onModal = [](QDialog* d) {
        EXPECT_TRUE(d->isVisible());
        d->accept();
    };
    QDialog* about = ctx.aboutBox;
    EXPECT_EQ(ShowModal(ctx, about), QDialog::Accepted);
    EXPECT_FALSE(about->isVisible());
    modalResults = {QDialog::Rejected};
    EXPECT_EQ(ShowModal(ctx, about), QDialog::Rejected);
    ASSERT_EQ(modalDialogs.size(), 2u);

    fileNames = {"a.sdf"};
    EXPECT_EQ(ChooseFile(ctx, nullptr, "c", "*.sdf", "", false), "a.sdf");
    EXPECT_EQ(ChooseFile(ctx, nullptr, "c", "*.sdf", "", true), "");
    ASSERT_EQ(fileRequests.size(), 2u);
    EXPECT_TRUE(fileRequests[1].save);
    EXPECT_EQ(ctx.settingsDir.back(), '/');
}

class StartUpTest : public UiFixture {
protected:
    // Shows the main window and lets its queued first-show sequence run.
    void StartProgram() {
        ctx.form1->show();
        QApplication::processEvents();
    }
    std::string SettingsFile() const { return TempPath("WaveCval.dat"); }
};

TEST_F(StartUpTest, AboutBoxComesBeforeTheSettingsAreRead) {
    WriteLinesCrLf(SettingsFile(), SettingsLines({{40, "0.5"}}));
    double gammaWhileAboutShown = -1;
    onModal = [&](QDialog* d) {
        if (d == static_cast<QDialog*>(ctx.aboutBox)) gammaWhileAboutShown = ctx.constants.gamma_TG;
        d->accept();
    };
    StartProgram();
    ASSERT_EQ(modalDialogs.size(), 1u);
    EXPECT_EQ(modalDialogs[0], static_cast<QDialog*>(ctx.aboutBox));
    EXPECT_DOUBLE_EQ(gammaWhileAboutShown, 0.42);
    EXPECT_DOUBLE_EQ(ctx.constants.gamma_TG, 0.5);
    EXPECT_THAT(Messages(), IsEmpty());

    // Shown again (after a hide): the sequence does not repeat.
    ctx.form1->hide();
    ctx.form1->show();
    QApplication::processEvents();
    EXPECT_EQ(modalDialogs.size(), 1u);
}

TEST_F(StartUpTest, NoSettingsFileStartsSilentlyWithDefaults) {
    StartProgram();
    EXPECT_TRUE(ctx.form1->FirstShowDone());
    EXPECT_THAT(Messages(), IsEmpty());
    EXPECT_DOUBLE_EQ(ctx.constants.gra, 9.80665);
    EXPECT_DOUBLE_EQ(ctx.constants.SGfluid, 1.025);
    EXPECT_DOUBLE_EQ(ctx.constants.RTp, 0.93);
    EXPECT_DOUBLE_EQ(ctx.constants.B_TG, 1.54);
    EXPECT_FALSE(orvane::FileExists(SettingsFile()));
}

TEST_F(StartUpTest, FailedLoadReportsOnceAndLeavesTheSeriesWindowUsable) {
    std::vector<std::string> lines = SettingsLines({{1, "9.7"}, {9, "3.5"}});
    lines.resize(15);
    WriteLinesCrLf(SettingsFile(), lines);
    StartProgram();
    EXPECT_THAT(Messages(), ElementsAre("'' は整数ではありません"));
    EXPECT_DOUBLE_EQ(ctx.constants.gra, 9.7);
    EXPECT_EQ(Text(ctx.shoaling, "EdtH0"), "3.5");
    // The series window's unit lists are filled all the same.
    auto* unit = FindChildOrFail<QComboBox>(ctx.sdfData, "ComboBoxSITUnit");
    EXPECT_GT(unit->count(), 0);
}

TEST_F(StartUpTest, ExitQuitsWithoutWritingWhileCloseSaves) {
    int quits = 0;
    ctx.quitProgram = [&] { ++quits; };
    StartProgram();
    SetText(ctx.shoaling, "EdtH0", "4.25");
    ctx.form1->Exit1->trigger();
    EXPECT_EQ(quits, 1);
    EXPECT_FALSE(orvane::FileExists(SettingsFile()));

    EXPECT_TRUE(ctx.form1->close());
    EXPECT_EQ(quits, 1);
    std::vector<std::string> saved = ReadLinesCrLf(SettingsFile());
    ASSERT_EQ(saved.size(), 41u);
    EXPECT_EQ(saved[8], "4.25");
    EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(StartUpTest, FailedSaveKeepsTheMainWindowOpenAndTheOldFile) {
    StartProgram();
    const std::vector<std::string> old = SettingsLines({{9, "1.5"}});
    WriteLinesCrLf(SettingsFile(), old);
    const std::string before = ReadBytes(SettingsFile());

    // A folder that cannot hold the file at all.
    ctx.editConst->ProgramDir = TempPath("WaveCval.dat/");
    SetText(ctx.shoaling, "EdtH0", "1.5");
    EXPECT_FALSE(ctx.form1->close());
    EXPECT_TRUE(ctx.form1->isVisible());
    ASSERT_EQ(prompter.records.size(), 1u);
    EXPECT_EQ(prompter.records[0].kind, orvane::MsgKind::Error);
    EXPECT_EQ(ReadBytes(SettingsFile()), before);
}

TEST_F(StartUpTest, ReadOnlyFolderKeepsTheMainWindowOpen) {
    if (::geteuid() == 0) GTEST_SKIP() << "folder permissions do not bind the superuser";
    StartProgram();
    WriteLinesCrLf(SettingsFile(), SettingsLines());
    const std::string before = ReadBytes(SettingsFile());
    QFile::setPermissions(QString::fromStdString(ctx.settingsDir), QFile::ReadOwner | QFile::ExeOwner);
    const bool closed = ctx.form1->close();
    QFile::setPermissions(QString::fromStdString(ctx.settingsDir),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_FALSE(closed);
    EXPECT_TRUE(ctx.form1->isVisible());
    EXPECT_EQ(ReadBytes(SettingsFile()), before);
    EXPECT_EQ(prompter.records.size(), 1u);
}

TEST_F(StartUpTest, MenuItemsOpenTheirWindows) {
    StartProgram();
    modalDialogs.clear();
    auto* offshore = FindChildOrFail<QWidget>(ctx.shoaling, "GroupBox1");
    auto* tide = FindChildOrFail<QWidget>(ctx.shoaling, "GroupBox3");
    offshore->setVisible(false);
    tide->setVisible(false);
    ctx.form1->W1->trigger();
    EXPECT_FALSE(offshore->isHidden());
    EXPECT_FALSE(tide->isHidden());

    ctx.form1->B1->trigger();
    ctx.form1->C1->trigger();
    ctx.form1->V2->trigger();
    ASSERT_EQ(modalDialogs.size(), 4u);
    EXPECT_EQ(modalDialogs[0], static_cast<QDialog*>(ctx.shoaling));
    EXPECT_EQ(modalDialogs[1], static_cast<QDialog*>(ctx.airy));
    EXPECT_EQ(modalDialogs[2], static_cast<QDialog*>(ctx.editConst));
    EXPECT_EQ(modalDialogs[3], static_cast<QDialog*>(ctx.aboutBox));
}

TEST_F(StartUpTest, MenuCaptionsAndAccessKeys) {
    TForm1* f = ctx.form1;
    EXPECT_EQ(f->windowTitle(), QStringLiteral("沿岸波浪解析　Orvane"));
    EXPECT_EQ(f->V1->title(), QStringLiteral("基本計算(&V)"));
    EXPECT_EQ(f->Tool1->title(), QStringLiteral("ツール(&T)"));
    EXPECT_EQ(f->C1->text(), QStringLiteral("定数(&C)"));
    EXPECT_EQ(f->C1->menu(), nullptr);
    EXPECT_EQ(f->H1->title(), QStringLiteral("ヘルプ(&H)"));
    QStringList items;
    for (QMenu* m : {f->V1, f->Tool1, f->H1})
        for (QAction* a : m->actions()) items << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(items, QStringList({"微小振幅波の緒量(&S)", "波高の浅水変化(&H)", "底面流速(&B)", "確率波高(&P)", "-",
                                  "終了(&Q)", "沖波と潮汐から波動流速時系列を推定(&V)",
                                  "底面流速の振幅と周期から波高時系列を推定(&H)", "目次", "キーワード", "-",
                                  "バージョン情報(&V)"}));
    auto* about = FindChildOrFail<QLabel>(ctx.aboutBox, "Version");
    EXPECT_EQ(about->text(), "Version 2.5");  // the project version, as orvane-cli --version
    EXPECT_EQ(FindChildOrFail<QLabel>(ctx.aboutBox, "ProductName")->text(), "Orvane");
}

// The windows are laid out for these fonts; a fallback to some other face would go unseen.
TEST(ProgramFonts, JapaneseAndSerifFacesResolveToInstalledFonts) {
    EXPECT_EQ(QFontInfo(QApplication::font()).family(), "IPAPGothic");
    EXPECT_EQ(QApplication::font().pointSize(), 9);
    QFont serif(QStringLiteral("Times New Roman"));
    EXPECT_THAT(QFontInfo(serif).family().toStdString(), ::testing::AnyOf("Liberation Serif", "DejaVu Serif"));
}

class ProgressDialogTest : public UiFixture {};

TEST_F(ProgressDialogTest, CancelIsSeenUntilTheNextRun) {
    TFrmProgress* p = ctx.progress;
    p->SetProgressComment("ただ今、計算中．．．．");
    EXPECT_TRUE(p->isVisible());
    EXPECT_EQ(p->windowTitle(), QStringLiteral("ただ今、計算中．．．．"));
    EXPECT_EQ(p->ProgressBar1->value(), 0);
    EXPECT_FALSE(p->Cancelled());

    p->SetProgressPosition(40);
    EXPECT_EQ(p->ProgressBar1->value(), 40);
    Click(p, "BitBtn1");
    EXPECT_TRUE(p->Cancelled());
    EXPECT_TRUE(p->isVisible());
    p->Hide();
    EXPECT_TRUE(p->Cancelled());

    p->SetProgressComment("next");
    EXPECT_FALSE(p->Cancelled());
    // Esc is the cancel button; the dialog stays for the caller to hide.
    QTest::keyClick(p, Qt::Key_Escape);
    EXPECT_TRUE(p->Cancelled());
    EXPECT_TRUE(p->isVisible());
    // The close box asks for a cancel as well and does not hide the dialog.
    p->SetProgressComment("again");
    EXPECT_FALSE(p->close());
    EXPECT_TRUE(p->Cancelled());

    p->SetStatusLine("2026/12/08 01:00:00");
    EXPECT_EQ(p->LblComment->text(), "2026/12/08 01:00:00");
    p->SetProgressPosition(250);
    EXPECT_EQ(p->ProgressBar1->value(), 100);
    p->Hide();
    EXPECT_FALSE(p->isVisible());
}

// The caller's window is modal while it computes; a dialog outside it would be blocked.
TEST_F(ProgressDialogTest, BelongsToTheModalWindowInUse) {
    QDialog caller(ctx.form1);
    caller.setModal(true);
    caller.show();
    ASSERT_EQ(QApplication::activeModalWidget(), &caller);
    ctx.progress->SetProgressComment("ただ今、計算中．．．．");
    EXPECT_EQ(ctx.progress->parentWidget(), &caller);
    EXPECT_TRUE(ctx.progress->isVisible());
    ctx.progress->Hide();
    caller.hide();
    ctx.progress->SetProgressComment("next");
    EXPECT_EQ(ctx.progress->parentWidget(), static_cast<QWidget*>(ctx.form1));
    ctx.progress->Hide();
}

class HelpTest : public UiFixture {};

// Pages are added by dropping files in; a page without a title or keywords would vanish
// from the contents or the index without anyone noticing.
TEST_F(HelpTest, EveryPageHasATitleAndKeywords) {
    const auto& pages = HelpPages();
    ASSERT_GE(pages.size(), 4u);
    EXPECT_EQ(pages.front().name, "contents");
    for (const HelpPage& p : pages) {
        EXPECT_NE(p.title, p.name) << p.name.toStdString() << " has no <title>";
        EXPECT_FALSE(p.keywords.isEmpty()) << p.name.toStdString() << " has no keywords";
    }
}

TEST_F(HelpTest, MenuAndKeywordsOpenTheViewer) {
    ctx.form1->Contents1->trigger();
    ASSERT_NE(ctx.helpViewer, nullptr);
    EXPECT_TRUE(ctx.helpViewer->isVisible());
    EXPECT_EQ(ctx.helpViewer->CurrentPage(), "contents");
    // The contents page lists every other page by its title.
    const std::string contents = ctx.helpViewer->Browser->toPlainText().toStdString();
    for (const HelpPage& p : HelpPages()) {
        if (p.name == "contents") continue;
        EXPECT_THAT(contents, ::testing::HasSubstr(p.title.toStdString()));
    }

    OpenHelpKeyword(ctx, QStringLiteral("群速度"));
    EXPECT_EQ(ctx.helpViewer->CurrentPage(), "airy");
    EXPECT_EQ(ctx.helpViewer->KeywordList->count(), 1);

    // An unknown keyword leaves the page and shows the (empty) filtered index.
    OpenHelpKeyword(ctx, QStringLiteral("存在しない語"));
    EXPECT_EQ(ctx.helpViewer->CurrentPage(), "airy");
    EXPECT_EQ(ctx.helpViewer->KeywordList->count(), 0);

    ctx.form1->N3->trigger();
    EXPECT_EQ(ctx.helpViewer->Tabs->currentIndex(), 1);
    EXPECT_GT(ctx.helpViewer->KeywordList->count(), 10);
    SetText(ctx.helpViewer, "KeywordEdit", "WaveCval");
    QTest::keyClick(ctx.helpViewer->KeywordEdit, Qt::Key_Return);
    EXPECT_EQ(ctx.helpViewer->CurrentPage(), "constants");
    EXPECT_THAT(Messages(), IsEmpty());
}
