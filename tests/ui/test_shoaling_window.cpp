// The shoaling window driven by control name: controls and their switches, a full run,
// every message of the run preparation with the tab it brings up, profile loading, and
// the service mode of the wave-velocity tool.
#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/runtime/TextFile.h"
#include "core/shoaling/ShoalingRequest.h"
#include "ui/chart/ChartView.h"
#include "ui/help/HelpViewer.h"
#include "ui/shoaling/Shoaling.h"
#include "UiFixture.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace {

QStringList MemoLines(TFrmShoaling* w) {
    QString text = w->Memo1->toPlainText();
    return text.isEmpty() ? QStringList() : text.split('\n');
}

}  // namespace

class ShoalingWindowTest : public UiFixture {
protected:
    TFrmShoaling* w = nullptr;

    void SetUp() override {
        UiFixture::SetUp();
        w = ctx.shoaling;
        w->show();
        QApplication::processEvents();
    }
    RadioGroup* Group(const char* name) { return FindChildOrFail<RadioGroup>(w, name); }
    int Tab() const { return w->PageControl1->currentIndex(); }
    void Calculate() { Click(w, "BitBtn1"); }
    std::string WriteProfile(const std::string& name, const std::vector<std::string>& lines) {
        const std::string path = TempPath(name);
        orvane::WriteTextFileAtomic(path, lines);
        return path;
    }
    void LoadProfile(const std::string& path) {
        Group("RadioGroupProfile")->SetItemIndex(1);
        SetText(w, "EditFileName", QString::fromStdString(path));
        w->ComboBoxDepth->setCurrentIndex(1);
        Click(w, "BitBtn3");
    }
};

TEST_F(ShoalingWindowTest, MethodChoiceSwitchesGroupsAndKeepsTheDisplayItem) {
    RadioGroup* method = Group("RadioGroupMethod");
    RadioGroup* yAxis = Group("RadioGroupYAxis");
    EXPECT_EQ(yAxis->Items(), QStringList({"H", "H/H0", QStringLiteral("η")}));
    EXPECT_FALSE(Group("RadioGroupH0")->isVisibleTo(w));
    EXPECT_FALSE(Group("RadioGroupObsPos")->isEnabled());

    yAxis->SetItemIndex(2);  // η exists in Goda's list too, at another place
    method->SetItemIndex(1);
    EXPECT_EQ(yAxis->Items().size(), 7);
    EXPECT_EQ(yAxis->ItemIndex(), 6);
    auto* grid = qobject_cast<QGridLayout*>(yAxis->layout());  // two columns: 4 + 3
    int row = -1, column = -1, rowSpan = 0, columnSpan = 0;
    ASSERT_NE(grid, nullptr);
    grid->getItemPosition(grid->indexOf(yAxis->Button(4)), &row, &column, &rowSpan, &columnSpan);
    EXPECT_EQ(std::pair(row, column), std::pair(0, 1));
    EXPECT_TRUE(Group("RadioGroupH0")->isVisibleTo(w));
    EXPECT_EQ(Group("RadioGroupObsPos")->ItemIndex(), 0);
    EXPECT_FALSE(w->LabeledEditObsPos->isVisibleTo(w));

    method->SetItemIndex(2);  // no η here: back to the first item; the start is given
    EXPECT_EQ(yAxis->Items(), QStringList({"Hrms", "Hs", "Hs/H0"}));
    EXPECT_EQ(yAxis->ItemIndex(), 0);
    EXPECT_EQ(Group("RadioGroupObsPos")->ItemIndex(), 1);
    EXPECT_TRUE(w->LabeledEditObsPos->isVisibleTo(w));

    Group("RadioGroupXAxis")->SetItemIndex(1);
    EXPECT_EQ(LabelText(w, "LblCalPoint"), QStringLiteral("推定位置の離岸距離 (m)："));
    EXPECT_EQ(w->LabeledEditObsPos->Label()->text(), QStringLiteral("観測点の離岸距離(m）"));
    Group("RadioGroupXAxis")->SetItemIndex(0);
    EXPECT_EQ(LabelText(w, "LblCalPoint"), QStringLiteral("推定位置の水深 (MSL基準, m)："));
}

TEST_F(ShoalingWindowTest, RegularRunDrawsAndReportsLikeTheCoreRun) {
    Group("RadioGroupYAxis")->SetItemIndex(1);  // H/H0
    Calculate();
    EXPECT_TRUE(Messages().empty()) << LastMessage();
    EXPECT_THAT(progress.comments, ElementsAre("ただ今、計算中．．．．"));
    EXPECT_EQ(progress.hides, 1);
    EXPECT_EQ(Tab(), 4);

    const QStringList memo = MemoLines(w);
    ASSERT_EQ(memo.size(), 9);
    EXPECT_EQ(memo[0], "h = 6m ");
    EXPECT_EQ(memo[3], "h = 4m ");
    EXPECT_EQ(memo[6], "h = 2m ");
    for (int i : {1, 4, 7}) EXPECT_THAT(memo[i].toStdString(), StartsWith("  浅水係数 Ks ="));

    ChartView* chart = w->Chart1;
    EXPECT_TRUE(chart->SeriesActive(w->SeriesWaveHeight));
    EXPECT_FALSE(chart->SeriesActive(w->SeriesProfile));
    EXPECT_EQ(chart->SeriesTitle(w->SeriesWaveHeight), "H/H0");
    EXPECT_EQ(chart->AxisTitle(ChartAxis::Left), "H/H0");
    // Depth mode: the bottom axis spans the display range of depths, every point inside.
    EXPECT_DOUBLE_EQ(chart->AxisMinimum(ChartAxis::Bottom), 0.1);
    EXPECT_DOUBLE_EQ(chart->AxisMaximum(ChartAxis::Bottom), 10);
    ASSERT_GT(chart->PointCount(w->SeriesWaveHeight), 50);
    for (int i = 0; i < chart->PointCount(w->SeriesWaveHeight); ++i) {
        EXPECT_GE(chart->PointX(w->SeriesWaveHeight, i), 0.1);
        EXPECT_LE(chart->PointX(w->SeriesWaveHeight, i), 10.0);
    }
}

// The window against the core request that the command line and Python send (the Python
// tests tie those two and the comparison together): the same doubles, the same report.
TEST_F(ShoalingWindowTest, WindowShowsTheCoreResultOfTheSameRequest) {
    const std::string beach = std::string(ORVANE_TEST_DATA) + "/shoaling/beach.csv";
    struct Case {
        int method;
        double tide;
        bool profile, distance;
        const char* points;
        double obs;
    };
    for (const Case& c : {Case{0, 0.5, false, false, "2,4,6", 0}, Case{1, 0.3, true, true, "50,150", 0},
                          Case{2, 0.0, false, true, "20,40,60", 100}, Case{3, 0.8, true, true, "50,150", 400}}) {
        SCOPED_TRACE(c.method);
        orvane::ShoalingRequest request;
        request.inputs.Method = c.method;
        request.height = 2.78;
        request.period = 9;
        request.tide = c.tide;
        request.points = orvane::ParsePoints(c.points);
        request.inputs.ObsPosValue = c.obs;
        Group("RadioGroupProfile")->SetItemIndex(c.profile ? 1 : 0);
        if (c.profile) {
            LoadProfile(beach);
            request.inputs.ProfileMode = 1;
            request.inputs.ProfileFile = beach;
            request.onshoreEndGiven = request.offshoreEndGiven = false;
        } else {
            Group("RadioGroupXAxis")->SetItemIndex(c.distance ? 1 : 0);
            request.inputs.XAxis = c.distance ? 1 : 0;
            request.inputs.OnshoreEndValue = c.distance ? 1 : 0.1;
            request.inputs.OffshoreEndValue = c.distance ? 100 : 10;
            SetText(w, "EditOnshoreEnd", c.distance ? "1" : "0.1");
            SetText(w, "EditOffshoreEnd", c.distance ? "100" : "10");
        }
        Group("RadioGroupMethod")->SetItemIndex(c.method);
        SetText(w, "EditdMSL", QString::number(c.tide));
        SetText(w, "EdtCalPoint", c.points);
        SetText(w, "LabeledEditObsPos", QString::number(c.obs));
        Calculate();
        ASSERT_TRUE(Messages().empty()) << LastMessage();

        orvane::NullProgress none;
        const orvane::ShoalingResult r = orvane::RunShoaling(request, none, prompter);
        ASSERT_TRUE(r.ok);
        const std::vector<std::string> report = orvane::ShoalingReportLines(r);
        const QStringList memo = MemoLines(w);
        ASSERT_EQ(memo.size(), int(report.size()));
        for (int i = 0; i < memo.size(); ++i) EXPECT_EQ(memo[i].toStdString(), report[i]);
        const int n = w->Chart1->PointCount(w->SeriesWaveHeight);
        ASSERT_EQ(n, int(r.chartX.size()));
        for (int i = 0; i < n; ++i) {
            EXPECT_EQ(w->Chart1->PointX(w->SeriesWaveHeight, i), r.chartX[i]);
            EXPECT_EQ(w->Chart1->PointY(w->SeriesWaveHeight, i), r.chartY[i]);
        }
        EXPECT_EQ(w->Run().EstimatedHeight.size(), r.points.size());
    }
}

TEST_F(ShoalingWindowTest, DistanceModeDrawsTheBedAndCancelKeepsWhatWasDrawn) {
    Group("RadioGroupXAxis")->SetItemIndex(1);
    SetText(w, "EditOffshoreEnd", "80");
    SetText(w, "EditOnshoreEnd", "1");
    SetText(w, "EdtCalPoint", "50,20");
    Calculate();
    ChartView* chart = w->Chart1;
    EXPECT_TRUE(chart->SeriesActive(w->SeriesProfile));
    EXPECT_TRUE(chart->LegendVisible());
    EXPECT_EQ(chart->SeriesTitle(w->SeriesProfile), "h");
    EXPECT_EQ(chart->AxisTitle(ChartAxis::Right), QStringLiteral("水深 h (m)"));
    ASSERT_EQ(chart->PointCount(w->SeriesProfile), 2);
    EXPECT_DOUBLE_EQ(chart->PointY(w->SeriesProfile, 1), -8.0);  // 80 m out on a 1:10 bed
    EXPECT_EQ(MemoLines(w).value(0), "X = 50m ");
    const int full = chart->PointCount(w->SeriesWaveHeight);

    w->PageControl1->setCurrentIndex(0);
    progress.cancelAtPosition = 97;  // the first 96 % lie offshore of the range
    Calculate();
    EXPECT_TRUE(Messages().empty()) << LastMessage();
    EXPECT_EQ(Tab(), 0);  // a cancelled run does not bring the report up
    EXPECT_EQ(progress.hides, 2);
    EXPECT_GT(chart->PointCount(w->SeriesWaveHeight), 0);
    EXPECT_LT(chart->PointCount(w->SeriesWaveHeight), full);
}

TEST_F(ShoalingWindowTest, PlaneBedMessagesAndTheirTabs) {
    // A zero or negative period does nothing at all.
    SetText(w, "EdtT0", "0");
    Calculate();
    EXPECT_TRUE(Messages().empty());
    EXPECT_TRUE(progress.comments.empty());
    SetText(w, "EdtT0", "9");

    SetText(w, "EdtCalPoint", "0,2");
    Calculate();
    EXPECT_EQ(LastMessage(), "推定場所の位置は>0として下さい。");
    EXPECT_EQ(Text(w, "EdtCalPoint"), "0.01");

    w->PageControl1->setCurrentIndex(0);
    SetText(w, "EdtCalPoint", "2,20");
    Calculate();
    EXPECT_EQ(LastMessage(), "推定場所は表示範囲の中になければなりません。");
    EXPECT_EQ(Tab(), 4);

    SetText(w, "EdtCalPoint", "2,4");
    SetText(w, "EdtSlope", "0");
    Calculate();
    EXPECT_EQ(LastMessage(), "海底勾配を0より大きくして下さい。");
    SetText(w, "EdtSlope", "0.1");

    // Thornton-Guza starts at the observation point: an empty box does not convert, and a
    // point inside the display range asks before cutting the range.
    Group("RadioGroupMethod")->SetItemIndex(2);
    Calculate();
    EXPECT_EQ(LastMessage(), "'' は浮動小数点数ではありません");
    SetText(w, "LabeledEditObsPos", "5");
    prompter.answers = {false};
    const size_t before = Messages().size();
    Calculate();
    ASSERT_EQ(Messages().size(), before + 1);
    EXPECT_EQ(LastMessage(), "観測点より沖側の領域は計算されません。よろしいですか。");
    EXPECT_TRUE(progress.comments.empty());
    prompter.answers = {true};
    Calculate();
    EXPECT_EQ(progress.comments.size(), 1u);
    EXPECT_EQ(Messages().size(), before + 2);
}

TEST_F(ShoalingWindowTest, ProfileMessagesAndTheirTabs) {
    const std::string good = WriteProfile("good.csv", {"x,h", "0,0", "50,2", "100,6", "200,12"});
    const std::string reverse = WriteProfile("reverse.csv", {"x,h", "0,0", "50,3", "100,2", "200,12"});
    Group("RadioGroupProfile")->SetItemIndex(1);
    EXPECT_FALSE(w->BitBtn1->isEnabled());  // nothing loaded yet
    EXPECT_EQ(Group("RadioGroupXAxis")->ItemIndex(), 1);
    EXPECT_FALSE(Group("RadioGroupXAxis")->isEnabled());

    LoadProfile(good);
    EXPECT_TRUE(w->BitBtn1->isEnabled());
    SetText(w, "EdtCalPoint", "50");
    Calculate();  // method 0 on a profile
    EXPECT_EQ(LastMessage(), "選択した計算方法は任意海底には適用できません。");
    EXPECT_EQ(Tab(), 2);

    Group("RadioGroupMethod")->SetItemIndex(1);
    SetText(w, "EditFileName", QString::fromStdString(TempPath("gone.csv")));
    Calculate();
    EXPECT_EQ(LastMessage(), "指定したファイルが見つかりません。");
    EXPECT_EQ(Tab(), 0);

    LoadProfile(reverse);
    Calculate();
    EXPECT_EQ(LastMessage(), "選択した計算方法は逆勾配斜面には適用できません。");
    EXPECT_EQ(Tab(), 2);

    // The other random-wave models take any profile.
    Group("RadioGroupMethod")->SetItemIndex(3);
    SetText(w, "LabeledEditObsPos", "200");
    const size_t before = Messages().size();
    Calculate();
    EXPECT_EQ(Messages().size(), before) << LastMessage();
    EXPECT_EQ(MemoLines(w).value(0), "X = 50m ");
}

TEST_F(ShoalingWindowTest, ProfileFileColumnsAndLoaderMessages) {
    std::string header120 = "c1";
    for (int i = 2; i <= 120; ++i) header120 += ",c" + std::to_string(i);
    const std::string wide = WriteProfile("wide.csv", {header120, "0,0", "1,1", "2,2"});
    // Shift-JIS column names, the distance in the third column, the depth in the second.
    const std::string named = WriteProfile("named.csv", {"番号,水深,離岸距離", "1,0,0", "2,3,40", "3,5,90"});
    const std::string shortFile = WriteProfile("short.csv", {"x,h", "0,0", "10,1"});
    const std::string backwards = WriteProfile("back.csv", {"x,h", "0,0", "10,1", "5,2"});
    const std::string text = WriteProfile("text.csv", {"x,h", "0,0", "10,abc", "20,2"});

    w->DistanceColumn = 5;  // remembered from another file: beyond this header; depth as on a first run
    Group("RadioGroupProfile")->SetItemIndex(1);
    EXPECT_TRUE(w->ComboBoxDist->isHidden());
    SetText(w, "EditFileName", QString::fromStdString(named));
    EXPECT_FALSE(w->ComboBoxDist->isHidden());
    EXPECT_FALSE(w->LabelDepth->isHidden());
    ASSERT_EQ(w->ComboBoxDist->count(), 3);
    EXPECT_EQ(w->ComboBoxDist->itemText(1), QStringLiteral("水深"));
    EXPECT_EQ(w->ComboBoxDist->currentIndex(), 0);
    EXPECT_EQ(w->ComboBoxDepth->currentIndex(), 1);
    w->ComboBoxDist->setCurrentIndex(2);
    Click(w, "BitBtn3");
    EXPECT_TRUE(Messages().empty()) << LastMessage();
    ChartView* chart = w->Chart1;
    ASSERT_EQ(chart->PointCount(w->SeriesProfile), 3);
    EXPECT_DOUBLE_EQ(chart->PointX(w->SeriesProfile, 2), 90);
    EXPECT_DOUBLE_EQ(chart->PointY(w->SeriesProfile, 2), -5);
    EXPECT_EQ(Text(w, "EditOffshoreEnd"), "90");
    EXPECT_EQ(Text(w, "EditOnshoreEnd"), "0.1");
    EXPECT_TRUE(chart->AxisAutomatic(ChartAxis::Bottom));
    w->hide();  // closing remembers the chosen columns
    EXPECT_EQ(w->DistanceColumn, 2);
    EXPECT_EQ(w->DepthColumn, 1);
    w->show();

    SetText(w, "EditFileName", QString::fromStdString(wide));
    EXPECT_EQ(w->ComboBoxDist->count(), 100);

    SetText(w, "EditFileName", QString::fromStdString(shortFile));
    w->ComboBoxDist->setCurrentIndex(0);
    Click(w, "BitBtn3");
    EXPECT_THAT(LastMessage(), StartsWith("データ数が足りません。"));

    SetText(w, "EditFileName", QString::fromStdString(backwards));
    w->ComboBoxDist->setCurrentIndex(0);
    const int beeps = prompter.beeps;
    Click(w, "BitBtn3");
    EXPECT_EQ(LastMessage(), "第１列目の離岸距離データは小さい方から\n大きい方に入力して下さい。");
    EXPECT_EQ(prompter.beeps, beeps + 1);

    // A field that is not a number is named; the profile in memory stays.
    const size_t before = Messages().size();
    SetText(w, "EditFileName", QString::fromStdString(text));
    Click(w, "BitBtn3");
    EXPECT_EQ(Messages().size(), before + 1);
    EXPECT_THAT(LastMessage(), HasSubstr("3行目の2列目「abc」は数値ではありません。"));
    EXPECT_TRUE(w->Run().ProfileLoaded);
}

TEST_F(ShoalingWindowTest, ServiceModeHidesRunControlsAndLeavingRestoresThem) {
    QDialog tool(ctx.form1);
    w->EnterServiceMode(&tool);
    EXPECT_EQ(w->parentWidget(), &tool);  // not blocked by the tool's modality
    w->show();
    EXPECT_FALSE(w->GroupBox1->isVisibleTo(w));
    EXPECT_FALSE(w->GroupBox3->isVisibleTo(w));
    EXPECT_FALSE(w->BitBtn1->isVisibleTo(w));
    EXPECT_FALSE(w->BitBtn2->isVisibleTo(w));
    EXPECT_FALSE(Group("RadioGroupH0")->isEnabled());
    EXPECT_FALSE(Group("RadioGroupT0")->isEnabled());
    EXPECT_FALSE(Group("RadioGroupYAxis")->isEnabled());
    EXPECT_FALSE(w->Run().Interactive);

    // The tool prepares from the controls; the window's messages still show.
    SetText(w, "EdtSlope", "-1");
    EXPECT_FALSE(w->PrepareServiceRun().ok);
    EXPECT_EQ(LastMessage(), "海底勾配を0より大きくして下さい。");
    SetText(w, "EdtSlope", "0.05");
    EXPECT_TRUE(w->PrepareServiceRun().ok);
    EXPECT_DOUBLE_EQ(w->Run().BedSlope, 0.05);

    w->LeaveServiceMode();
    EXPECT_EQ(w->parentWidget(), ctx.form1);
    EXPECT_TRUE(w->isWindow());
    EXPECT_TRUE(w->BitBtn1->isVisibleTo(w));
    EXPECT_TRUE(w->BitBtn2->isVisibleTo(w));
    EXPECT_TRUE(Group("RadioGroupH0")->isEnabled());
    EXPECT_TRUE(Group("RadioGroupYAxis")->isEnabled());
}

TEST_F(ShoalingWindowTest, HelpButtonsOpenTheirPages) {
    Click(w, "BitBtn4");
    ASSERT_NE(ctx.helpViewer, nullptr);
    EXPECT_EQ(ctx.helpViewer->CurrentPage(), "shoaling");
    Click(w, "ToolButton3");
    EXPECT_EQ(ctx.helpViewer->CurrentPage(), "graph");
}
