#pragma once
// 微小振幅波理論による波の諸元 (unit Airy): the linear-wave calculator. Keeps nothing but
// the texts of its boxes and labels.
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include "ui/app/AppContext.h"

class TFrmAiry : public QDialog {
    Q_OBJECT
public:
    explicit TFrmAiry(AppContext& ctx, QWidget* parent = nullptr);

    // Reads the four boxes and writes the seven labels; on any error (raised) no label
    // has changed.
    void Calculate();

    QLineEdit* EdtDepth = nullptr;
    QLineEdit* EdtPeriod = nullptr;
    QLineEdit* EdtHeight = nullptr;
    QLineEdit* EdtCalDpth = nullptr;
    QLabel* LblLength = nullptr;
    QLabel* LblC = nullptr;
    QLabel* LblCg = nullptr;
    QLabel* LblKs = nullptr;
    QLabel* LblFlux = nullptr;
    QLabel* LblVelx = nullptr;
    QLabel* LblVely = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;

public slots:
    void BitBtn1Click();
    void BitBtn2Click();

protected:
    // FormShow: every showing recomputes from the texts left in the boxes.
    void showEvent(QShowEvent* event) override;

private:
    AppContext& ctx_;
};
