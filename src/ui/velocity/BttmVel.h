#pragma once
// 底面波動流速の計算 (unit BttmVel).
#include <QDialog>
#include "ui/app/AppContext.h"

class LabeledEdit;
class QPlainTextEdit;
class QPushButton;
class RadioGroup;

class TFrmBttmVel : public QDialog {
    Q_OBJECT
public:
    explicit TFrmBttmVel(AppContext& ctx, QWidget* parent = nullptr);

    void FormCreate();
    void BitBtn1Click();
    void BitBtn2Click();

private:
    AppContext& ctx_;
    LabeledEdit* EdtDepth;
    LabeledEdit* EdtT;
    LabeledEdit* EdtH;
    LabeledEdit* EdtSL;
    RadioGroup* RadioGroup1;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    QPlainTextEdit* Memo1;
};
