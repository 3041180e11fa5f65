#pragma once
// 底面流速の振幅と周期から波高の時系列を求める (unit EstWaveHeight): the window over the
// wave-height series core.
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include "ui/app/AppContext.h"
#include "ui/widgets/LabeledEdit.h"
#include "ui/widgets/RadioGroup.h"

class TFrmEstWaveHeight : public QDialog {
    Q_OBJECT
    Q_PROPERTY(int SavedTideChannel MEMBER SavedTideChannel)
    Q_PROPERTY(int SavedTpChannel MEMBER SavedTpChannel)
    Q_PROPERTY(int SavedUsChannel MEMBER SavedUsChannel)
public:
    explicit TFrmEstWaveHeight(AppContext& ctx, QWidget* parent = nullptr);

    // Channel choices remembered from the last closing (stored in WaveCval.dat).
    int SavedTideChannel = 0;
    int SavedTpChannel = 0;
    int SavedUsChannel = 0;

    QGroupBox* GroupBoxFile = nullptr;  // 入力ファイル
    QLineEdit* EditInputFile = nullptr;
    QPushButton* BitBtn1 = nullptr;     // 参照
    QLineEdit* EditMeanDepth = nullptr;
    QGroupBox* GroupBoxTide = nullptr;  // 潮位(m)
    QComboBox* ComboBoxTide = nullptr;
    QLineEdit* Editdh = nullptr;
    QGroupBox* GroupBoxUs = nullptr;    // 底面有義流速振幅(m/s)
    QComboBox* ComboBoxUs = nullptr;
    QLineEdit* EditFactorUs = nullptr;
    QGroupBox* GroupBoxTp = nullptr;    // スペクトルピーク周期(s)
    QComboBox* ComboBoxTp = nullptr;
    QLineEdit* EditFactorTp = nullptr;
    QPushButton* BitBtn2 = nullptr;     // 計算
    QPushButton* BitBtn3 = nullptr;     // 閉じる

    // The open dialog's filter, set by FormShow.
    QString OpenFilter;

    void FormShow();
    void FormClose();
    void BitBtn1Click();
    void EditInputFileChange();
    void BitBtn2Click();

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void Compute();
    AppContext& ctx_;
    bool closing_ = false;
};
