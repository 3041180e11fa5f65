#pragma once
// 底面流速の振幅と周期から波高の時系列を求める (unit EstWaveHeight).
#include <QDialog>
#include <QComboBox>
#include <QLineEdit>
#include "ui/widgets/LabeledEdit.h"
#include "ui/widgets/RadioGroup.h"
#include "ui/app/AppContext.h"

class TFrmEstWaveHeight : public QDialog {
    Q_OBJECT
    Q_PROPERTY(int SavedTideChannel MEMBER SavedTideChannel)
    Q_PROPERTY(int SavedTpChannel MEMBER SavedTpChannel)
    Q_PROPERTY(int SavedUsChannel MEMBER SavedUsChannel)
public:
    explicit TFrmEstWaveHeight(AppContext& ctx, QWidget* parent = nullptr);
    int SavedTideChannel = 0;
    int SavedTpChannel = 0;
    int SavedUsChannel = 0;
    QLineEdit* EditInputFile = nullptr;
    QLineEdit* EditMeanDepth = nullptr;
    QComboBox* ComboBoxTide = nullptr;
    QLineEdit* Editdh = nullptr;
    QComboBox* ComboBoxUs = nullptr;
    QLineEdit* EditFactorUs = nullptr;
    QComboBox* ComboBoxTp = nullptr;
    QLineEdit* EditFactorTp = nullptr;
private:
    AppContext& ctx_;
};
