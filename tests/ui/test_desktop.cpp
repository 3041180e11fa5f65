// What a daily user meets around the windows: help search and F1, file dialogs that keep
// their folders, the chart's headroom and legend, window places on small screens.
#include <QApplication>
#include <QFile>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTranslator>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>
#include <qcustomplot.h>
#include "UiFixture.h"
#include "ui/app/ConstVal.h"
#include "ui/app/Desktop.h"
#include "ui/app/MainWave.h"
#include "ui/chart/ChartView.h"
#include "ui/help/Help.h"
#include "ui/help/HelpViewer.h"
#include "ui/shoaling/Shoaling.h"
#include "ui/velocity/BttmVel.h"
#include "ui/velocity/WaveVelSeries.h"

class DesktopTest : public UiFixture {};

TEST_F(DesktopTest, HelpSearchF1HistoryAndReadingOrder) {
    const QStringList csv = SearchHelpPages(QStringLiteral("csv"));
    EXPECT_TRUE(csv.contains("shoaling") && csv.contains("graph")) << csv.join(",").toStdString();
    EXPECT_FALSE(csv.contains("airy"));
    // Every word must be on the page.
    for (const QString& name : SearchHelpPages(QStringLiteral("CSV 離岸距離"))) EXPECT_TRUE(csv.contains(name));
    EXPECT_TRUE(SearchHelpPages(QStringLiteral("  ")).isEmpty());

    // Contents follow the menus; F1 opens the page of the window it is pressed in.
    EXPECT_EQ(HelpPages()[1].name, "main");
    EXPECT_EQ(HelpPages()[2].name, "airy");
    ctx.shoaling->show();
    QTest::keyClick(ctx.shoaling->EdtCalPoint, Qt::Key_F1);
    ASSERT_NE(ctx.helpViewer, nullptr);
    EXPECT_EQ(ctx.helpViewer->CurrentPage(), "shoaling");
    QTest::keyClick(ctx.form1, Qt::Key_F1);
    EXPECT_EQ(ctx.helpViewer->CurrentPage(), "main");
    ctx.helpViewer->GoBack();
    EXPECT_EQ(ctx.helpViewer->CurrentPage(), "shoaling");
    ctx.helpViewer->GoForward();
    EXPECT_EQ(ctx.helpViewer->CurrentPage(), "main");
    EXPECT_FALSE(ctx.helpViewer->ForwardButton->isEnabled());

    ctx.helpViewer->ShowSearch(QStringLiteral("CSV"));
    EXPECT_EQ(ctx.helpViewer->SearchList->count(), csv.size());

    // 磯部・堀川 (いそべ) before 印刷プレビュー (いんさつ), though 磯 comes after 印 in code order.
    ctx.helpViewer->ShowIndex(QString());
    QStringList index;
    for (int i = 0; i < ctx.helpViewer->KeywordList->count(); ++i) index << ctx.helpViewer->KeywordList->item(i)->text();
    EXPECT_LT(index.indexOf("磯部・堀川"), index.indexOf("印刷プレビュー"));
    EXPECT_LT(index.indexOf("印刷プレビュー"), index.indexOf("沖波"));
    ctx.helpViewer->ShowIndex(QStringLiteral("いそべ"));
    ASSERT_GE(ctx.helpViewer->KeywordList->count(), 1);
    EXPECT_EQ(ctx.helpViewer->KeywordList->item(0)->text(), "磯部・堀川");
}

TEST_F(DesktopTest, FileDialogsStartInTheFolderLastUsedForTheirPurpose) {
    ctx.dialogFoldersFile = QString::fromStdString(TempPath("orvane.ini"));
    QDir(tempDir.path()).mkpath("charts");
    QDir(tempDir.path()).mkpath("series");
    const QString charts = tempDir.path() + "/charts";
    fileNames = {charts + "/a.csv", QString(), QString()};
    ctx.shoaling->show();
    Click(ctx.shoaling, "ToolButton2");
    Click(ctx.shoaling, "ToolButton2");
    ASSERT_EQ(fileRequests.size(), 2u);
    EXPECT_EQ(fileRequests[1].start, charts);
    // Another purpose keeps its own folder; a box naming an existing folder wins.
    Click(ctx.shoaling, "ToolButton4");
    EXPECT_EQ(fileRequests[2].start, QString());
    EXPECT_EQ(DialogStart(ctx, DialogPurpose::ChartCsv, "b.csv"), charts + "/b.csv");
    EXPECT_EQ(DialogStart(ctx, DialogPurpose::ChartCsv, tempDir.path() + "/series/c.csv"),
              tempDir.path() + "/series/c.csv");
    EXPECT_EQ(DialogStart(ctx, DialogPurpose::ChartCsv, "/no/such/folder/d.csv"), charts + "/d.csv");
}

TEST_F(DesktopTest, AutomaticAxesLeaveHeadroomAndTheLegendKeepsOffThePlot) {
    ChartView* chart = ctx.shoaling->Chart1;
    ctx.shoaling->show();
    const int s = chart->AddLineSeries("H", Qt::blue, 1, ChartAxis::Left);
    for (double x : {0.0, 1.0, 2.0, 3.0}) chart->AddPoint(s, x, x == 2.0 ? 4.05 : 2.6);
    chart->SetLegendVisible(true);
    chart->ResetView();
    const double top = chart->ViewUpper(ChartAxis::Left);
    EXPECT_GT(top, 4.05 + 0.03 * (4.05 - 2.6));
    EXPECT_LT(top, 6.0);
    EXPECT_DOUBLE_EQ(chart->AxisMaximum(ChartAxis::Left), 4.05);  // the set range is the data's

    auto* plot = static_cast<QCustomPlot*>(chart->PlotWidget());
    plot->replot();
    EXPECT_TRUE(plot->yAxis->tickVector().contains(top)) << top;  // the top label is drawn
    EXPECT_FALSE(plot->legend->outerRect().intersects(plot->axisRect()->rect()));
    chart->SetLegendVisible(false);
    EXPECT_FALSE(chart->LegendVisible());
}

TEST_F(DesktopTest, WindowPlacesOnTheScreen) {
    ctx.form1->show();
    EXPECT_EQ(ctx.form1->pos(), QPoint(9, 15));
    EXPECT_EQ(ctx.form1->height(), ctx.form1->menuBar()->sizeHint().height());

    // A screen smaller than the window: it shrinks into it and its buttons stay inside.
    const QRect area = ctx.shoaling->screen()->availableGeometry();
    ctx.shoaling->resize(area.width() + 400, area.height() + 300);
    ctx.shoaling->show();
    EXPECT_TRUE(area.contains(ctx.shoaling->frameGeometry()));
    EXPECT_TRUE(ctx.shoaling->rect().contains(ctx.shoaling->BitBtn1->geometry()));

    // The service window beside the tool, not over it.
    ctx.shoaling->hide();
    ctx.waveVelSeries->show();
    EXPECT_FALSE(ctx.shoaling->frameGeometry().intersects(ctx.waveVelSeries->frameGeometry()));
    EXPECT_TRUE(area.contains(ctx.shoaling->frameGeometry()));
}

TEST_F(DesktopTest, SmallerThingsOnTheUsersPath) {
    // The four boxes of 底面波動流速 start at one x.
    ctx.bttmVel->show();
    QApplication::processEvents();
    QList<int> xs;
    for (const char* name : {"EdtDepth", "EdtT", "EdtH", "EdtSL"})
        xs << FindChildOrFail<QLineEdit>(ctx.bttmVel, name)->mapTo(ctx.bttmVel, QPoint(0, 0)).x();
    EXPECT_EQ(xs, QList<int>(4, xs[0]));
    ctx.bttmVel->hide();

    // 参照 at its own width beside the file box.
    ctx.waveVelSeries->show();
    FindChildOrFail<QTabWidget>(ctx.waveVelSeries, "PageControl1")->setCurrentIndex(0);
    QApplication::processEvents();
    for (const char* name : {"Button1", "Button3"}) {
        auto* b = FindChildOrFail<QPushButton>(ctx.waveVelSeries, name);
        EXPECT_LE(b->width(), b->sizeHint().width()) << name;
    }
    Click(ctx.waveVelSeries, "BitBtn2");

    // A search hit with lines before and after it, not on the viewer's last line.
    OpenHelpPage(ctx, "contents");
    HelpViewer* v = ctx.helpViewer;
    v->resize(500, 260);
    QApplication::processEvents();
    v->ShowSearch(QStringLiteral("γ"));
    ASSERT_GT(v->SearchList->count(), 0);
    emit v->SearchList->itemActivated(v->SearchList->item(0));
    QApplication::processEvents();
    ASSERT_TRUE(v->Browser->textCursor().hasSelection());
    const int line = v->Browser->fontMetrics().height();
    EXPECT_LT(v->Browser->cursorRect().bottom(), v->Browser->viewport()->height() - 2 * line);

    // A settings folder that cannot be made is named, with why.
    QFile file(tempDir.path() + "/config");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ctx.editConst->ProgramDir = TempPath("config/orvane/");
    Click(ctx.editConst, "BitBtn1");
    EXPECT_EQ(LastMessage(), "設定フォルダ「" + TempPath("config/orvane") + "」を作成できません。\n「" +
                                 TempPath("config") + "」はフォルダではありません");

    // Qt's own texts that its Japanese catalogue leaves in English.
    if (!InstallQtJapanese()) GTEST_SKIP() << "Qt's Japanese catalogue is not installed";
    EXPECT_EQ(QCoreApplication::translate("QAbstractFileIconProvider", "Folder"), "フォルダ");
    EXPECT_EQ(QCoreApplication::translate("QPrintSettingsOutput", "Pages"), "ページ指定");
    for (QTranslator* t : qApp->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
}
