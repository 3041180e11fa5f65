// The result chart of the shoaling window on a known run: point read-out, axis clicks,
// the axis settings dialog, export, print preview, image files, zoom and its undo.
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFontDialog>
#include <QFontInfo>
#include <QLabel>
#include <QSpinBox>
#include <QImage>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTest>
#include <QWheelEvent>
#include <cmath>
#include <cstdio>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/runtime/NumberText.h"
#include "core/runtime/TextFile.h"
#include "ui/chart/AxisSet.h"
#include "ui/chart/ChartView.h"
#include "ui/help/HelpViewer.h"
#include "ui/shoaling/Shoaling.h"
#include "UiFixture.h"

using ::testing::ElementsAre;

namespace {

std::string ReadBytes(const std::string& path) {
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll().toStdString();
}

// Leaving a box, as the focus change would.
void Leave(QLineEdit* edit, const QString& text) {
    edit->setText(text);
    emit edit->editingFinished();
}

}  // namespace

class ChartTest : public UiFixture {
protected:
    TFrmShoaling* w = nullptr;
    ChartView* chart = nullptr;
    TFrmAxisSet* dlg = nullptr;

    void SetUp() override {
        UiFixture::SetUp();
        w = ctx.shoaling;
        chart = w->Chart1;
        dlg = ctx.axisSet;
        w->show();
        QApplication::processEvents();
    }
    // The regular-wave model on the default inputs (depth mode, display H).
    void Run() {
        Click(w, "BitBtn1");
        ASSERT_TRUE(Messages().empty()) << LastMessage();
        ASSERT_GT(chart->PointCount(w->SeriesWaveHeight), 10);
    }
    void ClickAt(QPoint p) { QTest::mouseClick(chart->PlotWidget(), Qt::LeftButton, {}, p); }
    // Opens the dialog from a click on `axis`, running `body` while it is shown.
    void OpenOn(ChartAxis axis, std::function<void()> body) {
        onModal = [body](QDialog*) { body(); };
        ClickAt(chart->AxisPixel(axis));
        onModal = nullptr;
    }
};

TEST_F(ChartTest, ClickOnAPointShowsItsValues) {
    Run();
    const int i = chart->PointCount(w->SeriesWaveHeight) / 2;
    ClickAt(chart->PointPixel(w->SeriesWaveHeight, i));
    EXPECT_EQ(prompter.beeps, 1);
    const std::string expected = "X= " + orvane::FormatGeneral(chart->PointX(w->SeriesWaveHeight, i), 7) +
                                 ", Y= " + orvane::FormatGeneral(chart->PointY(w->SeriesWaveHeight, i), 7);
    EXPECT_THAT(Messages(), ElementsAre(expected));
    EXPECT_TRUE(modalDialogs.empty());
}

TEST_F(ChartTest, AxisClicksPreselectTheirAxisAndTheTopAxisOpensNothing) {
    Run();
    OpenOn(ChartAxis::Left, [&] {
        EXPECT_TRUE(dlg->isVisible());
        EXPECT_EQ(dlg->RadioGroup1->ItemIndex(), 1);
        EXPECT_EQ(dlg->EdtTitle->text(), "H (m)");
        EXPECT_EQ(dlg->RadioGroup2->ItemIndex(), 0);  // the left axis scales itself
        EXPECT_EQ(dlg->EdtMin->text().toStdString(), orvane::FormatGeneral(chart->AxisMinimum(ChartAxis::Left), 7));
        EXPECT_TRUE(dlg->GroupBoxType->isVisible());
        EXPECT_FALSE(dlg->GroupBoxType->isEnabled());
        EXPECT_TRUE(dlg->RadioButtonLinear->isChecked());
    });
    ASSERT_EQ(modalDialogs.size(), 1u);
    EXPECT_EQ(modalDialogs[0], dlg);

    OpenOn(ChartAxis::Bottom, [&] {
        EXPECT_EQ(dlg->RadioGroup1->ItemIndex(), 0);
        EXPECT_EQ(dlg->EdtTitle->text(), QStringLiteral("水深 h (m)"));
        EXPECT_EQ(dlg->RadioGroup2->ItemIndex(), 1);  // set to the display range by the run
        EXPECT_EQ(dlg->EdtMin->text(), "0.1");
        EXPECT_EQ(dlg->EdtMax->text(), "10");
    });
    EXPECT_EQ(modalDialogs.size(), 2u);

    ClickAt(chart->AxisPixel(ChartAxis::Top));
    EXPECT_EQ(modalDialogs.size(), 2u);
    EXPECT_TRUE(Messages().empty());

    // The right axis exists in distance mode.
    FindChildOrFail<RadioGroup>(w, "RadioGroupXAxis")->SetItemIndex(1);
    SetText(w, "EdtCalPoint", "");
    SetText(w, "EditOffshoreEnd", "80");
    Click(w, "BitBtn1");
    OpenOn(ChartAxis::Right, [&] {
        EXPECT_EQ(dlg->RadioGroup1->ItemIndex(), 2);
        EXPECT_EQ(dlg->EdtTitle->text(), QStringLiteral("水深 h (m)"));
    });
    EXPECT_EQ(modalDialogs.size(), 3u);
}

TEST_F(ChartTest, GridStyleAppliesAtOnceAndReadsBack) {
    Run();
    OpenOn(ChartAxis::Left, [&] {
        EXPECT_EQ(dlg->RadioGroupGrid->ItemIndex(), 0);  // no grid at first
        dlg->RadioGroupGrid->SetItemIndex(3);            // 点線
        EXPECT_EQ(chart->GridStyle(ChartAxis::Left), Qt::DotLine);
        EXPECT_TRUE(chart->GridVisible(ChartAxis::Left));
        Click(dlg, "BitBtn2");  // cancel keeps what the chart already shows
    });
    EXPECT_TRUE(chart->GridVisible(ChartAxis::Left));
    OpenOn(ChartAxis::Left, [&] {
        EXPECT_EQ(dlg->RadioGroupGrid->Items().value(dlg->RadioGroupGrid->ItemIndex()), QStringLiteral("点線"));
        dlg->RadioGroupGrid->SetItemIndex(0);  // なし
        EXPECT_FALSE(chart->GridVisible(ChartAxis::Left));
        EXPECT_EQ(chart->GridStyle(ChartAxis::Left), Qt::NoPen);
        dlg->RadioGroupGrid->SetItemIndex(1);  // 実線, then cancel
        Click(dlg, "BitBtn2");
    });
    EXPECT_EQ(chart->GridStyle(ChartAxis::Left), Qt::SolidLine);
    EXPECT_TRUE(chart->GridVisible(ChartAxis::Left));
    // Other axes' grids are their own, and a style outside the table reads back as なし.
    EXPECT_FALSE(chart->GridVisible(ChartAxis::Bottom));
    EXPECT_EQ(TFrmAxisSet::GridIndex(Qt::DashDotLine, true), 0);
}

TEST_F(ChartTest, AutomaticAndManualSwitchTheBoxesAndCancelDropsTypedValues) {
    Run();
    OpenOn(ChartAxis::Left, [&] {
        const QString max = dlg->EdtMax->text(), inc = dlg->EdtInc->text();
        EXPECT_FALSE(dlg->EdtMin->isEnabled());
        EXPECT_FALSE(dlg->EdtInc->isEnabled());
        dlg->RadioGroup2->SetItemIndex(1);
        EXPECT_TRUE(dlg->EdtMin->isEnabled());
        EXPECT_TRUE(dlg->EdtMax->isEnabled());
        EXPECT_TRUE(dlg->EdtInc->isEnabled());
        // The range drawn, not the data's extent.
        const QString drawnMax = QString::fromStdString(orvane::FormatGeneral(chart->ViewUpper(ChartAxis::Left), 7));
        EXPECT_EQ(dlg->EdtMin->text().toStdString(), orvane::FormatGeneral(chart->ViewLower(ChartAxis::Left), 7));
        EXPECT_EQ(dlg->EdtMax->text(), drawnMax);
        EXPECT_NE(drawnMax, max);
        dlg->RadioGroup2->SetItemIndex(0);
        EXPECT_FALSE(dlg->EdtMax->isEnabled());
        EXPECT_EQ(dlg->EdtInc->text(), inc);
        Click(dlg, "BitBtn2");
    });
    EXPECT_TRUE(chart->AxisAutomatic(ChartAxis::Left));

    OpenOn(ChartAxis::Bottom, [&] {
        Leave(dlg->EdtMin, "1");
        EXPECT_DOUBLE_EQ(dlg->Record(0).Minimum, 1);
        Leave(dlg->EdtMax, "abc");  // not a number: the record keeps its value
        EXPECT_EQ(LastMessage(), "'abc' は浮動小数点数ではありません");
        EXPECT_DOUBLE_EQ(dlg->Record(0).Maximum, 10);
        Click(dlg, "BitBtn2");
    });
    EXPECT_DOUBLE_EQ(chart->AxisMinimum(ChartAxis::Bottom), 0.1);
    OpenOn(ChartAxis::Bottom, [&] {
        EXPECT_EQ(dlg->EdtMin->text(), "0.1");
        Leave(dlg->EdtMin, "2");
        Leave(dlg->EdtInc, "0.5");
        Click(dlg, "BitBtn1");
        EXPECT_FALSE(dlg->isVisible());
        EXPECT_EQ(dlg->result(), QDialog::Accepted);
    });
    EXPECT_DOUBLE_EQ(chart->AxisMinimum(ChartAxis::Bottom), 2);
    EXPECT_DOUBLE_EQ(chart->AxisIncrement(ChartAxis::Bottom), 0.5);
    EXPECT_DOUBLE_EQ(chart->ViewLower(ChartAxis::Bottom), 2);
    // An increment absurdly small for the range still draws (a few ticks, not 1e300).
    chart->SetAxisIncrement(ChartAxis::Bottom, 1e-300);
    chart->ReplotNow();
    QImage image(chart->PlotWidget()->size(), QImage::Format_RGB32);
    chart->PlotWidget()->render(&image);
    EXPECT_FALSE(image.isNull());
}

TEST_F(ChartTest, OkSetsOnlyTheTitleOfTheAxisSelectedLast) {
    Run();
    OpenOn(ChartAxis::Bottom, [&] {
        dlg->EdtTitle->setText("dropped");
        dlg->RadioGroup1->SetItemIndex(1);
        EXPECT_EQ(dlg->EdtTitle->text(), "H (m)");
        dlg->EdtTitle->setText(QStringLiteral("波高 (m)"));
        Click(dlg, "BitBtn1");
    });
    EXPECT_EQ(chart->AxisTitle(ChartAxis::Left), QStringLiteral("波高 (m)"));
    EXPECT_EQ(chart->AxisTitle(ChartAxis::Bottom), QStringLiteral("水深 h (m)"));
}

TEST_F(ChartTest, RangeChecksStopOkWithEarlierStepsApplied) {
    Run();
    // Minimum above both the current and the new maximum.
    OpenOn(ChartAxis::Bottom, [&] {
        Leave(dlg->EdtMin, "20");
        Leave(dlg->EdtMax, "5");
        Click(dlg, "BitBtn1");
        EXPECT_EQ(LastMessage(), "Axis Minimum Value must be <= Maximum");
        EXPECT_TRUE(dlg->isVisible());
        EXPECT_NE(dlg->result(), QDialog::Accepted);

        // A minimum that passes, then a maximum below it: the minimum stays on the chart.
        Leave(dlg->EdtMin, "5");
        Leave(dlg->EdtMax, "2");
        Click(dlg, "BitBtn1");
        EXPECT_EQ(LastMessage(), "Axis Maximum Value must be >= Minimum");
        EXPECT_DOUBLE_EQ(chart->AxisMinimum(ChartAxis::Bottom), 5);
        EXPECT_DOUBLE_EQ(chart->AxisMaximum(ChartAxis::Bottom), 10);

        Leave(dlg->EdtMax, "8");
        Leave(dlg->EdtInc, "-1");
        Click(dlg, "BitBtn1");
        EXPECT_EQ(LastMessage(), "Axis increment must be >= 0");
        EXPECT_DOUBLE_EQ(chart->AxisMaximum(ChartAxis::Bottom), 8);
        EXPECT_TRUE(dlg->isVisible());
        Click(dlg, "BitBtn2");
    });
    EXPECT_EQ(Messages().size(), 3u);

    // A consistent range wholly above the current one goes through in one OK.
    OpenOn(ChartAxis::Bottom, [&] {
        Leave(dlg->EdtMin, "20");
        Leave(dlg->EdtMax, "30");
        Leave(dlg->EdtInc, "0");
        Click(dlg, "BitBtn1");
    });
    EXPECT_EQ(Messages().size(), 3u) << LastMessage();
    EXPECT_DOUBLE_EQ(chart->AxisMinimum(ChartAxis::Bottom), 20);
    EXPECT_DOUBLE_EQ(chart->AxisMaximum(ChartAxis::Bottom), 30);
}

TEST_F(ChartTest, FontDialogStartsOnTheAxisFontAndChangesOnlyWhatWasChosen) {
    Run();
    QFont left = chart->AxisTitleFont(ChartAxis::Left);
    left.setPointSize(13);
    chart->SetAxisTitleFont(ChartAxis::Left, left);
    const QFont bottom = chart->AxisTitleFont(ChartAxis::Bottom);
    int newSize = 0, offered = 0;
    onModal = [&](QDialog* d) {
        if (auto* fd = qobject_cast<QFontDialog*>(d)) {
            QFont f = fd->currentFont();
            offered = f.pointSize();
            if (newSize) f.setPointSize(newSize);
            fd->setCurrentFont(f);
            fd->setResult(QDialog::Accepted);
            return;
        }
        // The range choice lies in two columns: both buttons on one row.
        EXPECT_EQ(dlg->RadioGroup2->Button(0)->y(), dlg->RadioGroup2->Button(1)->y());
        Click(dlg, "BitBtnFont");
        Click(dlg, "BitBtn2");
    };
    ClickAt(chart->AxisPixel(ChartAxis::Left));
    ASSERT_EQ(modalDialogs.size(), 2u);
    EXPECT_EQ(modalDialogs[1], dlg->FontDialog1);
    EXPECT_EQ(offered, 13);
    EXPECT_EQ(chart->AxisTitleFont(ChartAxis::Left), left);  // OK without a change
    newSize = 17;
    ClickAt(chart->AxisPixel(ChartAxis::Left));
    EXPECT_EQ(chart->AxisTitleFont(ChartAxis::Left).pointSize(), 17);
    EXPECT_EQ(chart->AxisTitleFont(ChartAxis::Bottom), bottom);
}

TEST_F(ChartTest, AxisDialogOpensOnTheDrawnFontAndRangeAndItsOwnHelpSection) {
    Run();
    // The program's font is a substitute name: the dialog is offered the font drawn.
    chart->SetAxisTitleFont(ChartAxis::Left, QApplication::font());
    const QFontInfo drawn(QApplication::font());
    QString offered;
    const double top = chart->ViewUpper(ChartAxis::Left);
    onModal = [&](QDialog* d) {
        if (auto* fd = qobject_cast<QFontDialog*>(d)) {
            QFont f = fd->currentFont();
            offered = f.family();
            f.setPointSize(14);
            fd->setCurrentFont(f);
            fd->setResult(QDialog::Accepted);
            return;
        }
        Click(dlg, "BitBtnFont");
        // 手動 starts on the range drawn, headroom included.
        dlg->RadioGroup2->SetItemIndex(1);
        EXPECT_EQ(dlg->EdtMax->text().toStdString(), orvane::FormatGeneral(top, 7));
        QTest::keyClick(dlg->EdtMin, Qt::Key_F1);
        Click(dlg, "BitBtn1");
    };
    ClickAt(chart->AxisPixel(ChartAxis::Left));
    EXPECT_EQ(offered, drawn.family());
    const QFontInfo after(chart->AxisTitleFont(ChartAxis::Left));
    EXPECT_EQ(after.family(), drawn.family());
    EXPECT_EQ(after.bold(), drawn.bold());
    EXPECT_EQ(after.italic(), drawn.italic());
    EXPECT_EQ(after.pointSize(), 14);
    EXPECT_NEAR(chart->ViewUpper(ChartAxis::Left), top, 1e-6 * top);
    ASSERT_NE(ctx.helpViewer, nullptr);
    EXPECT_EQ(ctx.helpViewer->CurrentPage(), "graph");
    EXPECT_EQ(ctx.helpViewer->Browser->source().fragment(), "axisset");
}

TEST_F(ChartTest, ExportWritesTheHeaderThenThePlottedPoints) {
    // Before any run: the header alone, in CP932 with CR LF.
    fileNames = {QString::fromStdString(TempPath("empty.txt"))};
    Click(w, "ToolButton2");
    ASSERT_EQ(fileRequests.size(), 1u);
    EXPECT_TRUE(fileRequests[0].save);
    EXPECT_EQ(fileRequests[0].filter, QStringLiteral("カンマ区切りデータファイル (*.csv)"));
    EXPECT_EQ(ReadBytes(TempPath("empty.csv")), orvane::Utf8ToCp932("水深 h (m),\r\n"));

    Click(w, "ToolButton2");  // cancelled: nothing written, no message
    EXPECT_TRUE(Messages().empty());

    Run();
    fileNames = {QString::fromStdString(TempPath("run.csv"))};
    Click(w, "ToolButton2");
    const std::vector<std::string> lines = orvane::ReadTextLines(TempPath("run.csv"));
    const int n = chart->PointCount(w->SeriesWaveHeight);
    ASSERT_EQ(int(lines.size()), n + 1);
    EXPECT_EQ(lines[0], "水深 h (m),H (m)");
    for (int i : {0, n / 2, n - 1}) {
        EXPECT_EQ(lines[i + 1], orvane::FormatGeneral(chart->PointX(w->SeriesWaveHeight, i), 7) + "," +
                                    orvane::FormatGeneral(chart->PointY(w->SeriesWaveHeight, i), 7));
    }
    EXPECT_EQ(ReadBytes(TempPath("run.csv")).find("\n"), ReadBytes(TempPath("run.csv")).find("\r\n") + 1);
}

// In depth mode the x column holds what the model plotted: the depth at the middle of each
// step for the first two models, the depth at the new point for the last two. The march is
// repeated on a copy of the run that records every computation point.
TEST_F(ChartTest, DepthModeXColumnHoldsMidPointOrPointDepths) {
    for (int method : {0, 1, 2, 3}) {
        SCOPED_TRACE(method);
        FindChildOrFail<RadioGroup>(w, "RadioGroupMethod")->SetItemIndex(method);
        SetText(w, "EdtCalPoint", "");
        SetText(w, "LabeledEditObsPos", "10");
        Click(w, "BitBtn1");
        ASSERT_TRUE(Messages().empty()) << LastMessage();
        fileNames = {QString::fromStdString(TempPath("m.csv"))};
        Click(w, "ToolButton2");
        const std::vector<std::string> lines = orvane::ReadTextLines(TempPath("m.csv"));
        ASSERT_GT(lines.size(), 10u);

        orvane::ShoalingRun copy = w->Run();
        copy.Interactive = false;
        copy.RecordProfile = true;
        orvane::ShoalingOutput quiet;
        orvane::NullProgress none;
        ASSERT_TRUE(copy.RunModel(copy.EstimationValues, 0, quiet, none, prompter));
        std::vector<double> depths;
        double previous = copy.DepthAt(copy.StartDistance);
        for (double x : copy.RecordedDistance) {
            const double h = copy.DepthAt(x);
            depths.push_back(method <= 1 ? (previous + h) / 2 : h);
            previous = h;
        }
        int matched = 0;
        for (std::size_t i = 1; i < lines.size(); ++i) {
            const double x = orvane::StrToFloat(lines[i].substr(0, lines[i].find(',')));
            for (double d : depths)
                if (std::fabs(d - x) <= 1e-6 * std::max(1.0, std::fabs(d))) { ++matched; break; }
        }
        EXPECT_EQ(matched, int(lines.size()) - 1);
    }
}

TEST_F(ChartTest, PrintPreviewShowsAPageOfTheChart) {
    Run();
    int pages = -1;
    onModal = [&](QDialog* d) {
        auto* preview = qobject_cast<QPrintPreviewDialog*>(d);
        ASSERT_NE(preview, nullptr);
        QApplication::processEvents();
        auto* widget = preview->findChild<QPrintPreviewWidget*>();
        ASSERT_NE(widget, nullptr);
        widget->updatePreview();
        pages = widget->pageCount();
    };
    Click(w, "ToolButton1");
    EXPECT_EQ(modalDialogs.size(), 1u);
    EXPECT_EQ(pages, 1);
}

TEST_F(ChartTest, ImagesAreWrittenAsPngOfAChosenSizeAndPdfOnAnA4Page) {
    Run();
    // The PNG at 500 x 300 of the chart's pixels, twice the resolution.
    onModal = [](QDialog* d) {
        if (d->objectName() != "ImageSizeDialog") return;
        FindChildOrFail<QSpinBox>(d, "SpinWidth")->setValue(500);
        FindChildOrFail<QSpinBox>(d, "SpinHeight")->setValue(300);
        FindChildOrFail<QComboBox>(d, "ComboScale")->setCurrentIndex(1);
        EXPECT_EQ(FindChildOrFail<QLabel>(d, "LabelPixels")->text(), "1000 × 600 ピクセル");
        d->accept();
    };
    fileNames = {QString::fromStdString(TempPath("chart")), QString::fromStdString(TempPath("chart.pdf"))};
    Click(w, "ToolButton4");
    Click(w, "ToolButton4");
    QImage image(QString::fromStdString(TempPath("chart.png")));
    EXPECT_EQ(image.size(), QSize(1000, 600));
    const std::string pdf = ReadBytes(TempPath("chart.pdf"));
    EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
    // One A4 page, landscape (842 x 595 points).
    const std::size_t box = pdf.find("/MediaBox [");
    ASSERT_NE(box, std::string::npos);
    double x0 = -1, y0 = -1, x1 = 0, y1 = 0;
    std::sscanf(pdf.c_str() + box + 11, "%lf %lf %lf %lf", &x0, &y0, &x1, &y1);
    EXPECT_NEAR(x1 - x0, 842, 1) << pdf.substr(box, 40);
    EXPECT_NEAR(y1 - y0, 595, 1);
    fileNames = {QString::fromStdString(TempPath("no/such/folder/x.png"))};
    Click(w, "ToolButton4");
    EXPECT_EQ(LastMessage(), "画像ファイルを書き込めませんでした。");
}

TEST_F(ChartTest, WheelZoomAndResetToTheSetRange) {
    Run();
    chart->ReplotNow();
    QWidget* plot = chart->PlotWidget();
    const QPointF at((chart->AxisPixel(ChartAxis::Left) + chart->AxisPixel(ChartAxis::Right)) / 2);
    QWheelEvent wheel(at, plot->mapToGlobal(at), QPoint(), QPoint(0, 240), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(plot, &wheel);
    chart->ReplotNow();
    const double span = chart->ViewUpper(ChartAxis::Bottom) - chart->ViewLower(ChartAxis::Bottom);
    EXPECT_LT(span, 9.9 * 0.95);
    // The settings are not changed by looking closer.
    EXPECT_DOUBLE_EQ(chart->AxisMinimum(ChartAxis::Bottom), 0.1);
    Click(w, "ToolButton5");
    EXPECT_DOUBLE_EQ(chart->ViewLower(ChartAxis::Bottom), 0.1);
    EXPECT_DOUBLE_EQ(chart->ViewUpper(ChartAxis::Bottom), 10);
}
