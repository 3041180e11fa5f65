// The model comparison opened from the shoaling window: every curve is the line that
// window draws for that model and item, the window itself is left alone, refused models
// stay in the legend, and the exports.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QScrollBar>
#include <QToolButton>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

#include "core/runtime/TextFile.h"
#include "ui/help/Help.h"
#include "ui/shoaling/ModelCompare.h"
#include "ui/shoaling/Shoaling.h"
#include "ui/velocity/WaveVelSeries.h"
#include "UiFixture.h"

namespace {

struct Line {
    std::vector<double> x, y;
    bool operator==(const Line&) const = default;
};

Line Drawn(ChartView* chart, int series) {
    Line l;
    for (int i = 0; i < chart->PointCount(series); ++i) {
        l.x.push_back(chart->PointX(series, i));
        l.y.push_back(chart->PointY(series, i));
    }
    return l;
}

Line Of(const orvane::ComparedCurve& c) { return {c.x, c.y}; }

}  // namespace

class ModelCompareTest : public UiFixture {
protected:
    TFrmShoaling* w = nullptr;
    TFrmModelCompare* cmp = nullptr;

    void SetUp() override {
        UiFixture::SetUp();
        w = ctx.shoaling;
        cmp = ctx.modelCompare;
        w->show();
        QApplication::processEvents();
        // Distance mode with a tide, the observation point inside the display range.
        FindChildOrFail<RadioGroup>(w, "RadioGroupXAxis")->SetItemIndex(1);
        SetText(w, "EditOffshoreEnd", "80");
        SetText(w, "EditOnshoreEnd", "1");
        SetText(w, "EdtCalPoint", "50,20");
        SetText(w, "EditdMSL", "0.5");
        w->LabeledEditObsPos->findChild<QLineEdit*>()->setText("70");
    }
    // The shoaling window's own line for a method and display item.
    Line Calculate(int method, const char* item) {
        FindChildOrFail<RadioGroup>(w, "RadioGroupMethod")->SetItemIndex(method);
        RadioGroup* y = FindChildOrFail<RadioGroup>(w, "RadioGroupYAxis");
        y->SetItemIndex(int(y->Items().indexOf(QString::fromUtf8(item))));
        Click(w, "BitBtn1");
        return Drawn(w->Chart1, w->SeriesWaveHeight);
    }
};

TEST_F(ModelCompareTest, CurvesAreTheShoalingWindowsLinesAndItStaysAsItWas) {
    const Line goda = Calculate(1, "Hs");
    const QString memo = w->Memo1->toPlainText();
    const orvane::ShoalingRun before = w->Run();

    Click(w, "ToolButton6");
    ASSERT_FALSE(modalDialogs.empty());
    EXPECT_EQ(modalDialogs.back(), cmp);
    const orvane::ModelComparisonResult& r = cmp->Result();
    ASSERT_TRUE(r.ran);

    // The shoaling window: same line, report, inputs and results.
    EXPECT_EQ(Drawn(w->Chart1, w->SeriesWaveHeight), goda);
    EXPECT_EQ(w->Memo1->toPlainText(), memo);
    const orvane::ShoalingRun& after = w->Run();
    EXPECT_EQ(after.Inputs.Method, 1);
    EXPECT_EQ(after.Inputs.DisplayIndex, before.Inputs.DisplayIndex);
    EXPECT_EQ(after.OffshoreHeight, before.OffshoreHeight);
    EXPECT_EQ(after.StartDistance, before.StartDistance);
    EXPECT_EQ(after.EstimatedHeight, before.EstimatedHeight);

    // Every curve, bit for bit, against the window run with that model and item.
    int columns = 1 + 2;  // the point, then the spread in m and %
    ASSERT_EQ(r.models.size(), orvane::SurfZoneModels().size());
    for (const orvane::SurfZoneModel& model : orvane::SurfZoneModels()) {
        const int m = model.key;
        const orvane::ComparedModel& c = r.models[m];
        ASSERT_TRUE(c.applies) << m << ": " << c.message;
        columns += 1 + c.hasHrms + c.hasSetup;
        EXPECT_EQ(Of(c.height), Calculate(m, model.heightItem)) << m;
        if (c.hasHrms) { EXPECT_EQ(Of(c.hrms), Calculate(m, "Hrms")) << m; }
        if (c.hasSetup) { EXPECT_EQ(Of(c.setup), Calculate(m, "η")) << m; }
        EXPECT_EQ(Drawn(cmp->Chart1, cmp->SeriesHeight[m]), Of(c.height)) << m;
        ASSERT_EQ(c.pointHeight.size(), 2u);
        EXPECT_TRUE(std::isfinite(c.pointHeight[0]) && std::isfinite(c.pointHeight[1])) << m;
    }
    // One marker per estimation point, the table with the spread.
    EXPECT_EQ(cmp->Chart1->PointX(cmp->SeriesMarkers[0], 0), 50);
    EXPECT_EQ(cmp->Grid1->rowCount(), 2);
    EXPECT_EQ(cmp->Grid1->columnCount(), columns);
    EXPECT_EQ(r.runs, int(r.models.size()));  // one run per model

    // Hrms replaces Hs of the random models; the regular model keeps H.
    cmp->RadioGroupHeight->SetItemIndex(1);
    EXPECT_TRUE(cmp->Chart1->SeriesActive(cmp->SeriesHrms[3]));
    EXPECT_FALSE(cmp->Chart1->SeriesActive(cmp->SeriesHeight[3]));
    EXPECT_TRUE(cmp->Chart1->SeriesActive(cmp->SeriesHeight[0]));
    cmp->CheckBoxSetup->setChecked(false);
    EXPECT_FALSE(cmp->Chart1->SeriesActive(cmp->SeriesSetup[1]));
    EXPECT_TRUE(cmp->Chart1->SeriesActive(cmp->SeriesProfile));  // the bed in distance mode
}

TEST_F(ModelCompareTest, RefusedModelsStayInTheLegendAndExportsWrite) {
    w->LabeledEditObsPos->findChild<QLineEdit*>()->setText("");
    ASSERT_TRUE(cmp->Compare(w->CompareRequest()));
    const orvane::ModelComparisonResult& r = cmp->Result();
    for (int m : {2, 3}) {
        EXPECT_FALSE(r.models[m].applies);
        EXPECT_EQ(cmp->Chart1->SeriesTitle(cmp->SeriesHeight[m]).right(5), QStringLiteral("(適用外)"));
        EXPECT_FALSE(cmp->Chart1->SeriesToolTip(cmp->SeriesHeight[m]).isEmpty());
        EXPECT_TRUE(cmp->Chart1->SeriesActive(cmp->SeriesHeight[m]));
    }
    EXPECT_TRUE(cmp->LabelNotes->text().contains(QStringLiteral("観測点")));
    EXPECT_GT(cmp->Chart1->PointCount(cmp->SeriesHeight[1]), 10);
    EXPECT_EQ(HelpPagesForKeyword(QStringLiteral("モデル比較")), QStringList{"modelcompare"});

    const std::string curves = TempPath("curves.csv"), table = TempPath("table.txt");
    cmp->SaveCurves(QString::fromStdString(curves), true);
    cmp->SaveTable(QString::fromStdString(table), false);
    QFile f(QString::fromStdString(curves));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    EXPECT_TRUE(lines[0].startsWith("離岸距離 x (m),菅原・山本(1978) H (m),菅原・山本(1978) η (m),合田(1975) Hs (m)"));
    EXPECT_TRUE(lines[0].endsWith("\r"));
    // Written as CP932, with the extension made ".csv".
    EXPECT_EQ(orvane::ReadTextLines(TempPath("table.csv")), orvane::ComparisonTableLines(r));
}

TEST_F(ModelCompareTest, TableLegendBedQuestionAndSavesFromOneOpeningToTheNext) {
    const std::string question = "観測点より沖側の領域は計算されません。よろしいですか。";
    auto asked = [&] {
        int n = 0;
        for (const std::string& t : Messages()) n += t == question;
        return n;
    };
    // Four points: every row in view, and the first again after a run scrolled down.
    SetText(w, "EdtCalPoint", "60,50,30,20");
    ASSERT_TRUE(cmp->Compare(w->CompareRequest()));
    EXPECT_EQ(asked(), 1);
    EXPECT_EQ(progress.hides, 2);  // before the question, so that no bar stands behind it
    cmp->show();
    QApplication::processEvents();
    ASSERT_EQ(cmp->Grid1->rowCount(), 4);
    cmp->Grid1->verticalScrollBar()->setValue(cmp->Grid1->verticalScrollBar()->maximum());
    ASSERT_TRUE(cmp->Compare(w->CompareRequest()));
    EXPECT_EQ(asked(), 1);  // the same inputs: the answer stands
    QApplication::processEvents();
    EXPECT_EQ(cmp->Grid1->verticalScrollBar()->value(), 0);
    EXPECT_LE(cmp->Grid1->visualItemRect(cmp->Grid1->item(3, 0)).bottom(), cmp->Grid1->viewport()->height());
    SetText(w, "EdtH0", "3");
    ASSERT_TRUE(cmp->Compare(w->CompareRequest()));
    EXPECT_EQ(asked(), 2);

    // The legend in model order, H before η, however the choices were switched before.
    cmp->CheckBoxSetup->setChecked(false);
    cmp->RadioGroupHeight->SetItemIndex(1);
    cmp->RadioGroupHeight->SetItemIndex(0);
    cmp->CheckBoxSetup->setChecked(true);
    QStringList expected;
    for (int m = 0; m < int(orvane::SurfZoneModels().size()); ++m) {
        expected << cmp->Chart1->SeriesTitle(cmp->SeriesHeight[m]);
        if (cmp->Result().models[m].hasSetup) expected << cmp->Chart1->SeriesTitle(cmp->SeriesSetup[m]);
    }
    EXPECT_EQ(cmp->Chart1->LegendTitles(), expected);

    // The bed never under η on η's scale: whole, on the right axis, while η is hidden.
    EXPECT_FALSE(cmp->Chart1->SeriesActive(cmp->SeriesProfile));
    cmp->CheckBoxSetup->setChecked(false);
    EXPECT_TRUE(cmp->Chart1->SeriesActive(cmp->SeriesProfile));
    const auto& bedY = cmp->Result().bedY;
    EXPECT_LE(cmp->Chart1->ViewLower(ChartAxis::Right), *std::min_element(bedY.begin(), bedY.end()));

    // 表の保存 starts where 曲線の保存 saved.
    ctx.dialogFoldersFile = QString::fromStdString(TempPath("orvane.ini"));
    QDir(tempDir.path()).mkpath("out");
    const QString folder = tempDir.path() + "/out";
    QStringList started;
    onModal = [&](QDialog* d) {
        auto* fd = qobject_cast<QFileDialog*>(d);
        if (!fd) return;
        started << fd->directory().absolutePath();
        fd->selectFile(folder + "/curves.csv");
        QMetaObject::invokeMethod(fd, "accept");
    };
    Click(cmp, "ToolButton2");
    Click(cmp, "ToolButton3");
    ASSERT_EQ(started.size(), 2);
    EXPECT_EQ(started[1], folder);
}

TEST_F(ModelCompareTest, ShoalingWindowOpensAtItsOwnSizeAfterServingTheToolAndItsToolBarOverflows) {
    w->hide();
    const QSize own = w->size();
    ctx.waveVelSeries->show();
    Click(ctx.waveVelSeries, "BitBtn2");
    ctx.form1->W1Click();
    EXPECT_EQ(w->size(), own);

    // A tool bar narrower than its buttons offers the rest through its extension button.
    w->show();
    w->ToolBar1->setFixedWidth(w->ToolBar1->sizeHint().width() / 2);
    QApplication::processEvents();
    auto* more = w->ToolBar1->findChild<QToolButton*>("qt_toolbar_ext_button");
    ASSERT_NE(more, nullptr);
    EXPECT_TRUE(more->isVisible());
}
