#pragma once
// 軸の設定 (unit AxisSet): range, increment, title and grid of the result chart's bottom,
// left and right axes.
#include <QDialog>
#include <QFontDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <array>
#include "ui/app/AppContext.h"
#include "ui/chart/ChartView.h"
#include "ui/widgets/RadioGroup.h"

class TFrmAxisSet : public QDialog {
    Q_OBJECT
public:
    explicit TFrmAxisSet(AppContext& ctx, QWidget* parent = nullptr);

    // The chart the dialog works on; none until attached.
    void AttachChart(ChartView* chart) { chart_ = chart; }

    // The working copy of one axis; title and grid are edited on the chart itself.
    struct AxisRecord {
        bool Automatic = true;
        double Minimum = 0;
        double Maximum = 0;
        double Increment = 0;
        bool Logarithmic = false;
    };

    void LoadAxes();
    void ShowAxis();
    void ApplyAxes();
    const AxisRecord& Record(int index) const { return records_.at(index); }
    // Radio index of RadioGroupGrid <-> pen, as the dialog reads a pen back.
    static int GridIndex(Qt::PenStyle style, bool visible);
    static Qt::PenStyle GridStyleOf(int index);

    RadioGroup* RadioGroup1 = nullptr;
    RadioGroup* RadioGroup2 = nullptr;
    RadioGroup* RadioGroupGrid = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* EdtTitle = nullptr;
    QLineEdit* EdtMin = nullptr;
    QLineEdit* EdtMax = nullptr;
    QLineEdit* EdtInc = nullptr;
    QPushButton* BitBtnFont = nullptr;
    QGroupBox* GroupBoxType = nullptr;
    QRadioButton* RadioButtonLinear = nullptr;
    QRadioButton* RadioButtonLog = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QFontDialog* FontDialog1 = nullptr;

    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtnFontClick();
    void EdtMinExit();
    void EdtMaxExit();
    void EdtIncExit();

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    ChartView* Chart();
    int Selected() const;
    ChartAxis SelectedAxis() const;
    void CommitFocusedBox();

    AppContext& ctx_;
    ChartView* chart_ = nullptr;
    std::array<AxisRecord, 3> records_{};
    bool showing_ = false;  // controls being filled from a record: their signals are not user clicks
};
