#pragma once
// 波高の浅水変化の計算 (unit Shoaling): the window over orvane::ShoalingRun. It keeps the
// run object in step with its controls, draws the run on Chart1 and writes the report
// into Memo1. The wave-velocity tool borrows it in service mode.
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <memory>
#include "core/shoaling/ModelComparison.h"
#include "core/shoaling/ShoalingRequest.h"
#include "ui/app/AppContext.h"
#include "ui/chart/ChartView.h"
#include "ui/widgets/LabeledEdit.h"
#include "ui/widgets/RadioGroup.h"

class TFrmShoaling : public QDialog {
    Q_OBJECT
    Q_PROPERTY(int DepthColumn MEMBER DepthColumn)
    Q_PROPERTY(int DistanceColumn MEMBER DistanceColumn)
public:
    explicit TFrmShoaling(AppContext& ctx, QWidget* parent = nullptr);
    ~TFrmShoaling() override;

    // Remembered header columns of the profile file (stored in WaveCval.dat).
    int DepthColumn = 1;  // first run: the second column, as the command line takes it
    int DistanceColumn = 0;

    // Tab "条件"
    QGroupBox* GroupBox1 = nullptr;  // 沖波条件
    QLineEdit* EdtH0 = nullptr;
    QLineEdit* EdtT0 = nullptr;
    RadioGroup* RadioGroupH0 = nullptr;
    RadioGroup* RadioGroupT0 = nullptr;
    QGroupBox* GroupBox3 = nullptr;  // 潮位
    QLineEdit* EditdMSL = nullptr;
    RadioGroup* RadioGroupObsPos = nullptr;
    LabeledEdit* LabeledEditObsPos = nullptr;
    // Tab "海底断面"
    RadioGroup* RadioGroupProfile = nullptr;
    QGroupBox* GroupBoxSlope = nullptr;    // 一定勾配
    QLineEdit* EdtSlope = nullptr;
    QGroupBox* GroupBoxProfile = nullptr;  // 海底断面データ
    QLineEdit* EditFileName = nullptr;
    QPushButton* Button1 = nullptr;
    QLabel* LabelDist = nullptr;
    QComboBox* ComboBoxDist = nullptr;
    QLabel* LabelDepth = nullptr;
    QComboBox* ComboBoxDepth = nullptr;
    QPushButton* BitBtn3 = nullptr;
    // Tab "計算方法"
    RadioGroup* RadioGroupMethod = nullptr;
    QPushButton* BitBtn4 = nullptr;
    // Tab "グラフ"
    RadioGroup* RadioGroupXAxis = nullptr;
    QLineEdit* EditOffshoreEnd = nullptr;
    QLineEdit* EditOnshoreEnd = nullptr;
    RadioGroup* RadioGroupYAxis = nullptr;
    // Tab "推定位置"
    QLabel* LblCalPoint = nullptr;
    QLineEdit* EdtCalPoint = nullptr;
    QPlainTextEdit* Memo1 = nullptr;

    QTabWidget* PageControl1 = nullptr;
    QPushButton* BitBtn1 = nullptr;  // 計算
    QPushButton* BitBtn2 = nullptr;  // 閉じる

    ChartView* Chart1 = nullptr;
    int SeriesWaveHeight = -1;  // series ids of Chart1
    int SeriesProfile = -1;
    QToolBar* ToolBar1 = nullptr;
    QToolButton* ToolButton1 = nullptr;  // 印刷プレビュー
    QToolButton* ToolButton2 = nullptr;  // グラフの保存 (CSV)
    QToolButton* ToolButton3 = nullptr;  // ヘルプ
    QToolButton* ToolButton4 = nullptr;  // 画像として保存
    QToolButton* ToolButton5 = nullptr;  // 表示範囲に戻す
    QToolButton* ToolButton6 = nullptr;  // モデル比較

    // The run state; the wave-velocity tool drives it as a service.
    orvane::ShoalingRun& Run() { return run_; }
    orvane::ShoalingOutput& Output() { return *output_; }
    // Copies the controls into Run().Inputs (boxes converted; a bad number raises the
    // conversion error) and the constants into the run.
    void UpdateRunInputs();
    // The same into another run object; this window stays as it is. Without withObsPos the
    // observation-point box is left to the caller.
    void ReadControls(orvane::ShoalingRun& run, bool withObsPos = true) const;
    // The controls as a core request (boxes converted as above; wave, tide and points left
    // to the caller), with the profile this window has read.
    orvane::ShoalingRequest Request(bool withObsPos = true) const;
    // What the comparison window runs: the same, and the boxes as typed.
    orvane::ComparisonRequest CompareRequest() const;
    // PrepareRun for a driven run, with its messages and the tab it names brought up.
    orvane::PrepareResult PrepareServiceRun();
    // Beside the wave-velocity tool: no own run buttons, no offshore-wave and tide groups,
    // height/period kinds and display item fixed, results only to the lists. With a host
    // (the tool's modal window) the window becomes its child, so that the tool's modality
    // does not block it, and is placed to its right; show() it afterwards.
    // LeaveServiceMode gives it back to the main window.
    void EnterServiceMode(QWidget* host = nullptr);
    void LeaveServiceMode();
    bool InServiceMode() const { return serviceMode_; }

    // Event handlers.
    void FormShow();
    void FormClose();
    void RadioGroupObsPosClick();
    void RadioGroupMethodClick();
    void RadioGroupProfileClick();
    void RadioGroupXAxisClick();
    void EditFileNameChange();
    void Button1Click();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void ShowDisplayRange();
    void BitBtn4Click();
    void Chart1ClickSeries(int series, int index);
    void Chart1ClickAxis(ChartAxis axis);
    void ToolButton1Click();
    void ToolButton2Click();
    void ToolButton3Click();
    void ToolButton4Click();
    void ToolButton5Click();
    void ToolButton6Click();
    // The chart's CSV (header, then one line per plotted point).
    std::vector<std::string> ExportLines() const;

    // Brings a tab named by PrepareRun to the front.
    void ShowTab(orvane::ShoalingTab tab);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void BuildConditionsTab(QWidget* page);
    void BuildProfileTab(QWidget* page);
    void BuildMethodTab(QWidget* page);
    void BuildGraphTab(QWidget* page);
    void BuildEstimationTab(QWidget* page);
    void BuildChart(QWidget* panel);
    void SyncChoices();
    void ReadChoices(orvane::ShoalingRun& run) const;

    AppContext& ctx_;
    orvane::ShoalingRun run_;
    std::unique_ptr<orvane::ShoalingOutput> output_;
    std::vector<const char*> unitSuffix_;  // UnitSuffix per display item
    bool serviceMode_ = false;
    QSize ownSize_;  // before service mode
};
