#pragma once
// 波高の浅水変化の計算 (unit Shoaling).
#include <QDialog>
#include <QComboBox>
#include <QLineEdit>
#include "ui/widgets/LabeledEdit.h"
#include "ui/widgets/RadioGroup.h"
#include "ui/app/AppContext.h"

class TFrmShoaling : public QDialog {
    Q_OBJECT
    Q_PROPERTY(int DepthColumn MEMBER DepthColumn)
    Q_PROPERTY(int DistanceColumn MEMBER DistanceColumn)
public:
    explicit TFrmShoaling(AppContext& ctx, QWidget* parent = nullptr);
    int DepthColumn = 0;
    int DistanceColumn = 0;
    QLineEdit* EditFileName = nullptr;
    QLineEdit* EdtH0 = nullptr;
    QLineEdit* EdtT0 = nullptr;
    QLineEdit* EdtCalPoint = nullptr;
    QLineEdit* EditOffshoreEnd = nullptr;
    QLineEdit* EditOnshoreEnd = nullptr;
    RadioGroup* RadioGroupProfile = nullptr;
    RadioGroup* RadioGroupXAxis = nullptr;
    RadioGroup* RadioGroupMethod = nullptr;
    QLineEdit* EditdMSL = nullptr;
    QLineEdit* EdtSlope = nullptr;
    RadioGroup* RadioGroupObsPos = nullptr;
    LabeledEdit* LabeledEditObsPos = nullptr;
private:
    AppContext& ctx_;
};
