#pragma once
// 沖波と潮位の時系列から波動流速時系列を推定 (unit WaveVelSeries): the window over the
// wave-velocity series core; the shoaling window beside it is the computation service.
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include "core/velocity/WaveVelocitySeries.h"
#include "ui/app/AppContext.h"
#include "ui/widgets/LabeledEdit.h"
#include "ui/widgets/RadioGroup.h"

class TFrmWaveVelSeries : public QDialog {
    Q_OBJECT
    Q_PROPERTY(int SavedHsChannel MEMBER SavedHsChannel)
    Q_PROPERTY(int SavedTideChannel MEMBER SavedTideChannel)
    Q_PROPERTY(int SavedTsChannel MEMBER SavedTsChannel)
public:
    explicit TFrmWaveVelSeries(AppContext& ctx, QWidget* parent = nullptr);

    // Channel choices remembered from the last closing (stored in WaveCval.dat).
    int SavedHsChannel = 0;
    int SavedTideChannel = 0;
    int SavedTsChannel = 1;  // first run: the period after the height, as the command line takes it

    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;  // 入力
    QWidget* TabSheet2 = nullptr;  // 出力
    // 入力: 沖波
    QGroupBox* GroupBoxWave = nullptr;
    QLineEdit* EditFLWave = nullptr;
    QPushButton* Button1 = nullptr;
    QComboBox* ComboBoxHs = nullptr;
    QComboBox* ComboBoxTs = nullptr;
    QLineEdit* EditCHs = nullptr;
    QLineEdit* EditCTs = nullptr;
    QLineEdit* EditKr = nullptr;
    // 入力: 潮位
    QGroupBox* GroupBoxTide = nullptr;
    QLineEdit* EditFLTide = nullptr;
    QPushButton* Button3 = nullptr;
    QComboBox* ComboBoxTide = nullptr;
    QLineEdit* EditMSL = nullptr;
    // 出力
    QCheckBox* CheckBoxTide = nullptr;
    QCheckBox* CheckBoxHs = nullptr;
    QCheckBox* CheckBoxTs = nullptr;
    RadioGroup* RadioGroupOutput = nullptr;
    QCheckBox* CheckBoxUmax = nullptr;
    QCheckBox* CheckBoxXmax = nullptr;
    QLineEdit* EditFLOutput = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* BitBtn1 = nullptr;  // 計算
    QPushButton* BitBtn2 = nullptr;  // キャンセル

    // The input series of the last run and what was read from the files.
    orvane::VelocityInputs Inputs;
    int HsChannel = 0, TsChannel = 0, TideChannel = 0;
    double Kr = 1;
    double RunStart = 0, RunEnd = 0;

    void FormShow();
    void FormClose();
    void Button1Click();
    void Button3Click();
    void Button2Click();
    void BitBtn1Click();
    void BitBtn2Click();
    // Fills the channel lists from the two files named in the boxes.
    void FillWaveChannels();
    void FillTideChannels();

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    // The two input files exist and an output file is named; otherwise a message.
    bool FilesChosen();
    void Compute();
    QString BrowseInput(QLineEdit* box);
    AppContext& ctx_;
    bool closing_ = false;
    bool running_ = false;
    bool filesMissing_ = false;  // the last 計算 stopped at FilesChosen
};
