#pragma once
// モデルの比較 (unit ModelCompare): every surf-zone model that applies, run with the
// shoaling window's inputs (a core request it hands over), on one chart with a table of
// the estimation points and the spread between the models. Opened from the shoaling window.
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <array>
#include <memory>
#include <string>
#include <vector>
#include "core/shoaling/ModelComparison.h"
#include "ui/app/AppContext.h"
#include "ui/chart/ChartView.h"
#include "ui/widgets/RadioGroup.h"

class TFrmModelCompare : public QDialog {
    Q_OBJECT
public:
    explicit TFrmModelCompare(AppContext& ctx, QWidget* parent = nullptr);
    ~TFrmModelCompare() override;

    QToolBar* ToolBar1 = nullptr;
    QToolButton* ToolButton1 = nullptr;  // 印刷プレビュー
    QToolButton* ToolButton2 = nullptr;  // 曲線の保存 (CSV)
    QToolButton* ToolButton3 = nullptr;  // 表の保存 (CSV)
    QToolButton* ToolButton4 = nullptr;  // 画像として保存
    QToolButton* ToolButton5 = nullptr;  // 表示範囲に戻す
    QToolButton* ToolButton6 = nullptr;  // ヘルプ
    RadioGroup* RadioGroupHeight = nullptr;  // H・Hs / Hrms
    QCheckBox* CheckBoxSetup = nullptr;      // η を表示
    ChartView* Chart1 = nullptr;
    QTableWidget* Grid1 = nullptr;
    QLabel* LabelNotes = nullptr;            // the reasons of the models left out
    QPushButton* BitBtn1 = nullptr;          // 閉じる

    // Series ids of Chart1, per model (the model table's order).
    int SeriesProfile = -1;
    std::vector<int> SeriesHeight, SeriesHrms, SeriesSetup;
    std::vector<int> SeriesMarkers;

    // Runs the comparison and fills chart and table; false when there is nothing to show
    // (period not positive, cancelled).
    bool Compare(const orvane::ComparisonRequest& request);
    // Compare, then show this window modally.
    void Execute(const orvane::ComparisonRequest& request);
    const orvane::ModelComparisonResult& Result() const { return result_; }

    // Writers behind the tool buttons; `utf8` false writes CP932.
    void SaveCurves(const QString& path, bool utf8);
    void SaveTable(const QString& path, bool utf8);

    void ApplyChoices();
    // The axis dialog for the clicked axis, as on the shoaling chart.
    void Chart1ClickAxis(ChartAxis axis);
    void ToolButton1Click();
    void ToolButton2Click();
    void ToolButton3Click();
    void ToolButton4Click();
    void ToolButton5Click();
    void ToolButton6Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class AnswerKeeper;
    // The inputs that decide the question about the observation point.
    static std::string AnswerKey(const orvane::ShoalingRequest& base, const orvane::ComparisonTexts& texts);
    void Draw();
    void FillTable();
    void FitTableToRows();
    // A save dialog offering CP932 (the default) and UTF-8; "" when cancelled.
    QString AskCsvName(const QString& caption, bool& utf8);
    void WriteLines(const QString& path, const std::vector<std::string>& lines, bool utf8);

    AppContext& ctx_;
    std::unique_ptr<AnswerKeeper> answers_;
    orvane::ModelComparisonResult result_;
};
