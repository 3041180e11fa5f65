// The constants editor and WaveCval.dat as the windows see them.
#include <QComboBox>
#include <QTest>
#include <gmock/gmock.h>
#include "test_foundation_helpers.h"
#include "UiFixture.h"
#include "core/app/SettingsFile.h"
#include "core/runtime/TextFile.h"
#include "ui/app/ConstVal.h"
#include "ui/app/Guard.h"
#include "ui/shoaling/Shoaling.h"
#include "ui/velocity/EstWaveHeight.h"
#include "ui/velocity/WaveVelSeries.h"
#include "ui/widgets/RadioGroup.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

QWidget* WindowOf(AppContext& ctx, const std::string& className) {
    if (className == "TFrmEditConst") return ctx.editConst;
    if (className == "TFrmShoaling") return ctx.shoaling;
    if (className == "TFrmWaveVelSeries") return ctx.waveVelSeries;
    if (className == "TFrmEstWaveHeight") return ctx.estWaveHeight;
    return nullptr;
}

// A second run of the program on the same settings folder: windows made, file loaded.
struct Restart {
    AppContext ctx;
    orvane::ScriptedPrompter prompter;
    explicit Restart(const std::string& dir) {
        ctx.prompter = &prompter;
        ctx.settingsDir = dir;
        ctx.execModal = [](QDialog* d) {
            d->show();
            d->hide();
            return int(QDialog::Accepted);
        };
        CreateWindows(ctx);
        ctx.editConst->LoadConstants();
    }
    ~Restart() { delete ctx.form1; }
    // The editor's box texts as FormShow puts them.
    QString Shown(const char* name) {
        ctx.editConst->show();
        QString t = ctx.editConst->findChild<QLineEdit*>(name)->text();
        ctx.editConst->hide();
        return t;
    }
};

}  // namespace

class ConstantsEditorTest : public UiFixture {
protected:
    std::string SettingsFile() const { return TempPath("WaveCval.dat"); }
    // Opens the editor from the menu; `work` types and clicks while it is up.
    int OpenEditor(std::function<void(QDialog*)> work) {
        onModal = std::move(work);
        ctx.form1->C1->trigger();
        onModal = nullptr;
        return modalDialogs.empty() ? -1 : modalDialogs.back()->result();
    }
};

TEST_F(ConstantsEditorTest, ShowsTheConstantsInForceNotTheDesignTexts) {
    OpenEditor([&](QDialog* d) {
        EXPECT_EQ(Text(d, "Editgra"), "9.80665");
        EXPECT_EQ(Text(d, "EditSGfluid"), "1.025");
        EXPECT_EQ(Text(d, "EditRTp"), "0.93");
        EXPECT_EQ(Text(d, "LabeledEditgamma_TG"), "0.42");
        EXPECT_EQ(Text(d, "LabeledEditB_TG"), "1.54");
        d->reject();
    });
    ctx.constants.gra = 1;
    OpenEditor([&](QDialog* d) {
        EXPECT_EQ(Text(d, "Editgra"), "1");
        d->reject();
    });
}

TEST_F(ConstantsEditorTest, SaveAppliesWritesTheTextsAsTypedAndSurvivesARestart) {
    int result = OpenEditor([&](QDialog* d) {
        SetText(d, "Editgra", "9.8100");
        SetText(d, "LabeledEditgamma_TG", "0.5");
        Click(d, "BitBtn1");
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_FALSE(ctx.editConst->isVisible());
    EXPECT_DOUBLE_EQ(ctx.constants.gra, 9.81);
    EXPECT_DOUBLE_EQ(ctx.constants.gamma_TG, 0.5);
    std::vector<std::string> lines = ReadLinesCrLf(SettingsFile());
    ASSERT_EQ(lines.size(), 41u);
    EXPECT_EQ(lines[0], "9.8100");
    EXPECT_EQ(lines[39], "0.5");
    EXPECT_THAT(Messages(), IsEmpty());

    Restart next(ctx.settingsDir);
    EXPECT_THAT(next.prompter.Texts(), IsEmpty());
    EXPECT_DOUBLE_EQ(next.ctx.constants.gamma_TG, 0.5);
    EXPECT_EQ(next.Shown("Editgra"), "9.81");
    // Closed with the close box without opening the editor: 0.5 stays in the file.
    next.ctx.form1->show();
    QApplication::processEvents();
    EXPECT_TRUE(next.ctx.form1->close());
    EXPECT_EQ(ReadLinesCrLf(SettingsFile())[39], "0.5");
}

TEST_F(ConstantsEditorTest, ACharacterWithoutACp932FormNeverKeepsTheProgramOpen) {
    SetText(ctx.shoaling, "EdtCalPoint", QStringLiteral("2,4\U0001F30A"));
    ctx.form1->show();
    QApplication::processEvents();
    EXPECT_TRUE(ctx.form1->close());
    EXPECT_EQ(ReadLinesCrLf(SettingsFile())[10], "2,4?");
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_NE(Messages()[0].find("EdtCalPoint"), std::string::npos) << Messages()[0];
}

TEST_F(ConstantsEditorTest, CancelKeepsConstantsButTheTypedTextsUntilTheNextShow) {
    int result = OpenEditor([&](QDialog* d) {
        SetText(d, "LabeledEditgamma_TG", "0.7");
        QTest::keyClick(d, Qt::Key_Escape);
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_DOUBLE_EQ(ctx.constants.gamma_TG, 0.42);
    EXPECT_FALSE(orvane::FileExists(SettingsFile()));
    // A save at the main window's close in between writes the typed text.
    ctx.editConst->SaveConstants();
    EXPECT_EQ(ReadLinesCrLf(SettingsFile())[39], "0.7");
    OpenEditor([&](QDialog* d) {
        EXPECT_EQ(Text(d, "LabeledEditgamma_TG"), "0.42");
        Click(d, "BitBtn2");
    });
    EXPECT_DOUBLE_EQ(ctx.constants.gamma_TG, 0.42);
}

TEST_F(ConstantsEditorTest, DefaultsButtonsChangeOnlyTheirOwnPage) {
    OpenEditor([&](QDialog* d) {
        SetText(d, "Editgra", "1");
        SetText(d, "LabeledEditgamma_TG", "2");
        Click(d, "BitBtn4");
        EXPECT_EQ(Text(d, "LabeledEditgamma_TG"), "0.42");
        EXPECT_EQ(Text(d, "LabeledEditB_TG"), "1.54");
        EXPECT_EQ(Text(d, "Editgra"), "1");
        SetText(d, "LabeledEditgamma_TG", "2");
        Click(d, "BitBtn3");
        EXPECT_EQ(Text(d, "Editgra"), "9.80665");
        EXPECT_EQ(Text(d, "LabeledEditgamma_TG"), "2");
        d->reject();
    });
    EXPECT_DOUBLE_EQ(ctx.constants.gra, 9.80665);
    EXPECT_DOUBLE_EQ(ctx.constants.gamma_TG, 0.42);
}

TEST_F(ConstantsEditorTest, BadBoxOnSaveTakesTheOnesBeforeItAndWritesNothing) {
    int result = OpenEditor([&](QDialog* d) {
        SetText(d, "Editgra", "9.7");
        SetText(d, "EditRTp", "0,9");
        SetText(d, "LabeledEditB_TG", "2");
        Click(d, "BitBtn1");
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_THAT(Messages(), ElementsAre("'0,9' は浮動小数点数ではありません"));
    EXPECT_DOUBLE_EQ(ctx.constants.gra, 9.7);
    EXPECT_DOUBLE_EQ(ctx.constants.RTp, 0.93);
    EXPECT_DOUBLE_EQ(ctx.constants.B_TG, 1.54);
    EXPECT_FALSE(orvane::FileExists(SettingsFile()));
}

// Every one of the 41 lines reaches its control and comes back unchanged.
TEST_F(ConstantsEditorTest, AllLinesRoundTripThroughTheWindows) {
    std::vector<std::string> expected;
    int n = 0;
    for (const auto& entry : orvane::SettingsTable()) {
        ++n;
        QWidget* w = WindowOf(ctx, entry.window);
        ASSERT_NE(w, nullptr) << entry.window;
        const QString name = QString::fromLatin1(entry.control);
        if (entry.kind == orvane::SettingKind::Text) {
            // Texts as typed: spacing, Japanese and non-numbers kept as they are.
            std::string text = "v" + std::to_string(n) + " 値,\"x\"";
            if (entry.line <= 3 || entry.line >= 40) text = "0.50" + std::to_string(n);
            FindChildOrFail<QLineEdit>(w, name)->setText(QString::fromStdString(text));
            expected.push_back(text);
        } else if (auto* g = w->findChild<RadioGroup*>(name)) {
            if (g->Items().size() < 2) g->SetItems({"a", "b"});
            g->SetItemIndex(1);
            expected.push_back("1");
        } else if (auto* c = w->findChild<QComboBox*>(name)) {
            while (c->count() < 3) c->addItem("ch");
            c->setCurrentIndex(2);
            expected.push_back("2");
        } else {
            ASSERT_TRUE(w->setProperty(entry.control, n) || w->property(entry.control).isValid()) << entry.control;
            ASSERT_EQ(w->property(entry.control).toInt(), n) << entry.control;
            expected.push_back(std::to_string(n));
        }
    }
    ctx.editConst->SaveConstants();
    std::vector<std::string> written = ReadLinesCrLf(SettingsFile());
    for (auto& line : written) line = orvane::Cp932ToUtf8(line);
    EXPECT_EQ(written, expected);

    // Clear everything, read back, write again: the same bytes.
    const std::string first = ReadBytes(SettingsFile());
    for (const auto& entry : orvane::SettingsTable()) {
        QWidget* w = WindowOf(ctx, entry.window);
        const QString name = QString::fromLatin1(entry.control);
        if (auto* e = w->findChild<QLineEdit*>(name)) e->clear();
        else if (auto* g = w->findChild<RadioGroup*>(name)) g->SetItemIndex(-1);
        else if (auto* c = w->findChild<QComboBox*>(name)) c->setCurrentIndex(-1);
        else w->setProperty(entry.control, 0);
    }
    ctx.editConst->LoadConstants();
    EXPECT_DOUBLE_EQ(ctx.constants.gra, 0.501);
    EXPECT_DOUBLE_EQ(ctx.constants.B_TG, 0.5041);
    std::remove(SettingsFile().c_str());
    ctx.editConst->SaveConstants();
    EXPECT_EQ(ReadBytes(SettingsFile()), first);
}

TEST_F(ConstantsEditorTest, NoSelectionIsMinusOneBothWays) {
    auto* method = FindChildOrFail<RadioGroup>(ctx.shoaling, "RadioGroupMethod");
    if (method->Items().size() < 2) method->SetItems({"a", "b"});
    method->SetItemIndex(-1);
    ctx.editConst->SaveConstants();
    EXPECT_EQ(ReadLinesCrLf(SettingsFile())[23], "-1");
    method->SetItemIndex(1);
    ctx.editConst->LoadConstants();
    EXPECT_EQ(method->ItemIndex(), -1);
}

TEST_F(ConstantsEditorTest, BadLinesStopTheReadWithWhatCameBefore) {
    // A non-numeric integer line: the lines before it are in, the ones after it are not.
    ctx.editConst->SaveConstants();
    std::vector<std::string> lines = ReadLinesCrLf(SettingsFile());
    lines[0] = "9.5";
    lines[14] = "-3.5";
    lines[23] = "x";
    lines[33] = "0.75";
    WriteLinesCrLf(SettingsFile(), lines);
    const QString dmslBefore = Text(ctx.shoaling, "EditdMSL");
    EXPECT_FALSE(RunGuarded(ctx, [&] { ctx.editConst->LoadConstants(); }));
    EXPECT_THAT(Messages(), ElementsAre("'x' は整数ではありません"));
    EXPECT_DOUBLE_EQ(ctx.constants.gra, 9.5);
    EXPECT_EQ(Text(ctx.estWaveHeight, "EditMeanDepth"), "-3.5");
    EXPECT_EQ(Text(ctx.shoaling, "EditdMSL"), dmslBefore);

    // A bad gravity text is in its box, and nothing after line 3 is read.
    lines[0] = "9,8";
    lines[3] = "profile.csv";
    WriteLinesCrLf(SettingsFile(), lines);
    prompter.records.clear();
    EXPECT_FALSE(RunGuarded(ctx, [&] { ctx.editConst->LoadConstants(); }));
    EXPECT_THAT(Messages(), ElementsAre("'9,8' は浮動小数点数ではありません"));
    EXPECT_EQ(ctx.editConst->Editgra->text(), "9,8");
    EXPECT_DOUBLE_EQ(ctx.constants.gra, 9.5);
    EXPECT_NE(Text(ctx.shoaling, "EditFileName"), "profile.csv");

    // Bytes that are not Shift-JIS on line 5: lines 1-4 taken.
    lines[0] = "9.6";
    lines[4] = "\x81";
    WriteLinesCrLf(SettingsFile(), lines);
    prompter.records.clear();
    EXPECT_FALSE(RunGuarded(ctx, [&] { ctx.editConst->LoadConstants(); }));
    EXPECT_EQ(prompter.records.size(), 1u);
    EXPECT_EQ(Text(ctx.shoaling, "EditFileName"), "profile.csv");
    EXPECT_DOUBLE_EQ(ctx.constants.gra, 9.6);
}
