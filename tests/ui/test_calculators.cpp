// The Rayleigh and bottom-velocity windows, opened from the main menu, driven by name.
#include <QAction>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <gmock/gmock.h>
#include "UiFixture.h"
#include "ui/app/QtPrompter.h"
#include "ui/velocity/BttmVel.h"
#include "ui/wave/Rayleigh.h"
#include "ui/widgets/RadioGroup.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

const std::string kTitle = kApplicationTitle.toStdString();

const char* const kStartUpSingle =
    "微小振幅波理論による流速全振幅（最大流速）\n"
    "　①単純に求めた場合：3.918(1.959) m/s\n"
    "　②伝達関数を補正した場合Uac：3.213m/s\n"
    "\n"
    "磯部・堀川(1981)の式：\n"
    "　流速全振幅　　　　：3.619m/s\n"
    "　最大岸方向流速　　：2.900m/s\n"
    "　岸方向流速継続時間：1.99s";

const char* const kStartUpRandom =
    "有義流速振幅Us =1.904m/s\n"
    "rms流速振幅 Um =1.345m/s\n"
    "rms流速　　Urms =0.951m/s";

}  // namespace

class CalculatorWindows : public UiFixture {
protected:
    // Opens a window through its menu item; `inside` runs while it is shown.
    void OpenFromMenu(const char* action, std::function<void(QDialog*)> inside) {
        onModal = std::move(inside);
        FindChildOrFail<QAction>(ctx.form1, action)->trigger();
        onModal = nullptr;
    }
    const orvane::ScriptedPrompter::Record& Last() const { return prompter.records.back(); }
};

TEST_F(CalculatorWindows, RayleighExamplesInAPlainBoxWithTheApplicationTitle) {
    OpenFromMenu("ProbWaveHeight", [&](QDialog* w) {
        EXPECT_EQ(w, static_cast<QDialog*>(ctx.rayleigh));
        EXPECT_EQ(w->windowTitle(), "Rayleigh分布による確率振幅の計算");
        EXPECT_TRUE(FindChildOrFail<QRadioButton>(w, "RadioButtonRMS")->isChecked());
        EXPECT_EQ(Text(w, "EditStandard"), "1");
        EXPECT_EQ(Text(w, "EditProb"), "0.1");

        Click(w, "BitBtn1");
        ASSERT_EQ(prompter.records.size(), 1u);
        EXPECT_EQ(Last().text, "上側確率pの振幅Ap = 1.517427\n>Apの平均振幅 = 1.799806");
        EXPECT_EQ(Last().caption, kTitle);

        // A significant height 1.416 is the rms value 1.
        FindChildOrFail<QRadioButton>(w, "RadioButtonSignificant")->click();
        SetText(w, "EditStandard", "1.416");
        SetText(w, "EditProb", "0.1");
        Click(w, "BitBtn1");
        EXPECT_EQ(Last().text, "上側確率pの振幅Ap = 1.517427\n>Apの平均振幅 = 1.799806");
    });
    // Texts are kept between showings.
    OpenFromMenu("ProbWaveHeight", [&](QDialog* w) {
        EXPECT_EQ(Text(w, "EditStandard"), "1.416");
        EXPECT_TRUE(FindChildOrFail<QRadioButton>(w, "RadioButtonSignificant")->isChecked());
    });
}

TEST_F(CalculatorWindows, RayleighBadInputsGiveAMessageAndNoResult) {
    OpenFromMenu("ProbWaveHeight", [&](QDialog* w) {
        SetText(w, "EditProb", "abc");
        Click(w, "BitBtn1");
        SetText(w, "EditProb", "-0.5");  // used to run the amplitude out without end
        Click(w, "BitBtn1");
        SetText(w, "EditProb", "0.1");
        SetText(w, "EditStandard", "0");
        Click(w, "BitBtn1");
        SetText(w, "EditStandard", "-1");
        Click(w, "BitBtn1");
    });
    EXPECT_THAT(Messages(), ElementsAre("'abc' は浮動小数点数ではありません",
                                        "上側確率には0より大きく1以下の値を入力して下さい。",
                                        "不正な浮動小数点数演算命令",
                                        "基準データには正の値を入力して下さい。"));
    for (const auto& r : prompter.records) EXPECT_EQ(r.kind, orvane::MsgKind::Error);
}

TEST_F(CalculatorWindows, BottomVelocityStartUpStateAndNotes) {
    QDialog* w = ctx.bttmVel;
    EXPECT_EQ(Text(w, "EdtDepth"), "5");
    EXPECT_EQ(Text(w, "EdtT"), "10");
    EXPECT_EQ(Text(w, "EdtH"), "3");
    EXPECT_EQ(Text(w, "EdtSL"), "0");
    auto* group = FindChildOrFail<RadioGroup>(w, "RadioGroup1");
    EXPECT_EQ(group->title(), "波の種類");
    EXPECT_EQ(group->ItemIndex(), 0);
    EXPECT_EQ(group->Items(), QStringList({"単一波", "ﾗﾝﾀﾞﾑ波（Soulsby,1987;JONSWAPｽﾍﾟｸﾄﾙ）"}));
    EXPECT_TRUE(FindChildOrFail<QPushButton>(w, "BitBtn1")->isDefault());
    EXPECT_EQ(FindChildOrFail<QPlainTextEdit>(w, "Memo1")->toPlainText().split('\n'),
              QStringList({"[入力上の注意]", "①　波高にはその水深における波",
                           "高を入力して下さい。換算沖波波", "高しか判らない場合には「波高の",
                           "浅水変化」で計算して下さい。", "②　ランダム波の場合、周期には",
                           "有義波周期を入れて下さい。", "③　海底勾配はtanθで入力して",
                           "下さい。例えば、水平なら 0 、", "1/100 なら 0.01を入力します。", "",
                           "［計算方法］", "①　単一波の計算では砕波波高よ", "り小さい場合には",
                           "　　微小振幅波理論と首籐(1974)", "の非線形浅水係数により沖波波",
                           "高を求め、磯部・堀川(1982)の式", "によって、また砕波波高を超えて",
                           "いる場合にはDenny(1995)の式で", "求めています。", "　"}));
}

TEST_F(CalculatorWindows, BottomVelocityResultsCaptionedAsResultsThenTitleIsBack) {
    OpenFromMenu("B2", [&](QDialog* w) {
        EXPECT_EQ(w, static_cast<QDialog*>(ctx.bttmVel));
        Click(w, "BitBtn1");
        ASSERT_EQ(prompter.records.size(), 1u);
        EXPECT_EQ(Last().text, kStartUpSingle);
        EXPECT_EQ(Last().caption, "計算結果");

        FindChildOrFail<RadioGroup>(w, "RadioGroup1")->SetItemIndex(1);
        Click(w, "BitBtn1");
        EXPECT_EQ(Last().text, kStartUpRandom);
        EXPECT_EQ(Last().caption, "計算結果");

        // The peak period follows RTp at every calculation.
        ctx.constants.RTp = 1.0;
        Click(w, "BitBtn1");
        EXPECT_NE(Last().text, kStartUpRandom);
        ctx.constants.RTp = 0.93;

        // An error on the way.
        FindChildOrFail<RadioGroup>(w, "RadioGroup1")->SetItemIndex(0);
        SetText(w, "EdtSL", "-0.01");
        Click(w, "BitBtn1");
        EXPECT_EQ(Last().text, "不正な浮動小数点数演算命令");
        EXPECT_EQ(Last().kind, orvane::MsgKind::Error);

        Click(w, "BitBtn2");
        EXPECT_FALSE(w->isVisible());
    });
    // The next plain box elsewhere carries the application title again.
    OpenFromMenu("ProbWaveHeight", [&](QDialog* w) { Click(w, "BitBtn1"); });
    EXPECT_EQ(Last().caption, kTitle);
}

TEST_F(CalculatorWindows, BottomVelocityBadBoxesShowTheErrorAndNothingElse) {
    OpenFromMenu("B2", [&](QDialog* w) {
        // The height is read first, then depth, period and slope.
        SetText(w, "EdtDepth", "x");
        SetText(w, "EdtH", "y");
        Click(w, "BitBtn1");
        SetText(w, "EdtH", "3");
        Click(w, "BitBtn1");
        SetText(w, "EdtDepth", "0");
        Click(w, "BitBtn1");
        EXPECT_EQ(Text(w, "EdtDepth"), "0");  // texts stay as typed
    });
    EXPECT_THAT(Messages(), ElementsAre("'y' は浮動小数点数ではありません",
                                        "'x' は浮動小数点数ではありません",
                                        "0 による浮動小数点数除算"));
}
