#pragma once
// 沖波と潮位の時系列から波動流速時系列を推定 (unit WaveVelSeries).
#include <QDialog>
#include <QComboBox>
#include <QLineEdit>
#include "ui/widgets/LabeledEdit.h"
#include "ui/widgets/RadioGroup.h"
#include "ui/app/AppContext.h"

class TFrmWaveVelSeries : public QDialog {
    Q_OBJECT
    Q_PROPERTY(int SavedHsChannel MEMBER SavedHsChannel)
    Q_PROPERTY(int SavedTideChannel MEMBER SavedTideChannel)
    Q_PROPERTY(int SavedTsChannel MEMBER SavedTsChannel)
public:
    explicit TFrmWaveVelSeries(AppContext& ctx, QWidget* parent = nullptr);
    int SavedHsChannel = 0;
    int SavedTideChannel = 0;
    int SavedTsChannel = 0;
    QLineEdit* EditFLWave = nullptr;
    QLineEdit* EditFLTide = nullptr;
    QLineEdit* EditFLOutput = nullptr;
    QLineEdit* EditMSL = nullptr;
    RadioGroup* RadioGroupOutput = nullptr;
    QLineEdit* EditCHs = nullptr;
    QLineEdit* EditCTs = nullptr;
private:
    AppContext& ctx_;
};
