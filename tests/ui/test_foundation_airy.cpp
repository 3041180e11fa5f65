// The small-amplitude wave window, end to end through its boxes, buttons and keys.
#include <QTest>
#include <gmock/gmock.h>
#include "UiFixture.h"
#include "ui/wave/Airy.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class AiryWindowTest : public UiFixture {
protected:
    QStringList Labels() const {
        QStringList texts;
        for (const char* name : {"LblLength", "LblC", "LblCg", "LblKs", "LblFlux", "LblVelx", "LblVely"})
            texts << LabelText(ctx.airy, name);
        return texts;
    }
    void Open() {
        onModal = [&](QDialog* d) { shownLabels = Labels(); d->hide(); };
        ctx.form1->B1->trigger();
    }
    QStringList shownLabels;
};

TEST_F(AiryWindowTest, ShowingComputesFromTheInitialTexts) {
    Open();
    EXPECT_EQ(shownLabels, QStringList({"92.356", "9.236", "8.068", "0.983", "10137", "0.428", "0.000"}));
    EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(AiryWindowTest, EnterRecalculatesAndEscClosesKeepingTheTexts) {
    ctx.airy->show();
    SetText(ctx.airy, "EdtCalDpth", "10");  // the surface: u = 0.531, w = sigma H / 2
    QTest::keyClick(ctx.airy->EdtCalDpth, Qt::Key_Return);
    EXPECT_EQ(LabelText(ctx.airy, "LblVelx"), "0.531");
    EXPECT_EQ(LabelText(ctx.airy, "LblVely"), "0.314");

    SetText(ctx.airy, "EdtDepth", "2");
    SetText(ctx.airy, "EdtPeriod", "12");
    SetText(ctx.airy, "EdtHeight", "0.5");
    SetText(ctx.airy, "EdtCalDpth", "0");
    Click(ctx.airy, "BitBtn1");
    EXPECT_EQ(LabelText(ctx.airy, "LblKs"), "1.475");

    QTest::keyClick(ctx.airy->EdtDepth, Qt::Key_Escape);
    EXPECT_FALSE(ctx.airy->isVisible());
    Open();
    EXPECT_EQ(Text(ctx.airy, "EdtPeriod"), "12");
    EXPECT_EQ(shownLabels[3], "1.475");

    // A change of gravity shows at the next opening.
    ctx.constants.gra = 9.81;
    SetText(ctx.airy, "EdtDepth", "100");
    SetText(ctx.airy, "EdtPeriod", "8");
    Open();
    EXPECT_EQ(shownLabels[3], "1.000");
    EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(AiryWindowTest, BadInputsReportAndLeaveTheLabels) {
    ctx.airy->show();
    const QStringList before = Labels();
    SetText(ctx.airy, "EdtHeight", "1m");
    Click(ctx.airy, "BitBtn1");
    SetText(ctx.airy, "EdtHeight", "1");
    SetText(ctx.airy, "EdtPeriod", "0");
    Click(ctx.airy, "BitBtn1");
    SetText(ctx.airy, "EdtPeriod", "10");
    SetText(ctx.airy, "EdtDepth", "0");
    Click(ctx.airy, "BitBtn1");
    EXPECT_THAT(Messages(), ElementsAre("'1m' は浮動小数点数ではありません", "0 による浮動小数点数除算",
                                        "0 による浮動小数点数除算"));
    EXPECT_EQ(Labels(), before);

    // A negative depth is an error, never a hang.
    SetText(ctx.airy, "EdtDepth", "-5");
    Click(ctx.airy, "BitBtn1");
    EXPECT_EQ(prompter.records.size(), 4u);
    EXPECT_EQ(Labels(), before);

    // The error of the calculation at showing comes first; the window opens all the same.
    ctx.airy->hide();
    prompter.records.clear();
    SetText(ctx.airy, "EdtDepth", "x");
    Open();
    EXPECT_THAT(Messages(), ElementsAre("'x' は浮動小数点数ではありません"));
    EXPECT_EQ(shownLabels, before);
}
