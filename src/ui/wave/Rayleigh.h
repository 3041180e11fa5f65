#pragma once
// Rayleigh分布による確率振幅の計算 (unit Rayleigh).
#include <QDialog>
#include "ui/app/AppContext.h"

class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class TFrmRayleigh : public QDialog {
    Q_OBJECT
public:
    explicit TFrmRayleigh(AppContext& ctx, QWidget* parent = nullptr);

    void BitBtn1Click();

private:
    AppContext& ctx_;
    QGroupBox* GroupBox1;
    QRadioButton* RadioButtonRMS;
    QRadioButton* RadioButtonSignificant;
    QLineEdit* EditStandard;
    QGroupBox* GroupBox2;
    QLineEdit* EditProb;
    QPushButton* BitBtn1;
};
