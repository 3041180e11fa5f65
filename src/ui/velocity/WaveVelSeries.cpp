#include "ui/velocity/WaveVelSeries.h"
#include <QVBoxLayout>

TFrmWaveVelSeries::TFrmWaveVelSeries(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName("TFrmWaveVelSeries");
    setWindowTitle(QStringLiteral("沖波と潮位の時系列から波動流速時系列を推定"));
    auto* layout = new QVBoxLayout(this);
    EditFLWave = new QLineEdit(this);
    EditFLWave->setObjectName("EditFLWave");
    layout->addWidget(EditFLWave);
    EditFLTide = new QLineEdit(this);
    EditFLTide->setObjectName("EditFLTide");
    layout->addWidget(EditFLTide);
    EditFLOutput = new QLineEdit(this);
    EditFLOutput->setObjectName("EditFLOutput");
    layout->addWidget(EditFLOutput);
    EditMSL = new QLineEdit(this);
    EditMSL->setObjectName("EditMSL");
    layout->addWidget(EditMSL);
    RadioGroupOutput = new RadioGroup("", {}, this);
    RadioGroupOutput->setObjectName("RadioGroupOutput");
    layout->addWidget(RadioGroupOutput);
    EditCHs = new QLineEdit(this);
    EditCHs->setObjectName("EditCHs");
    layout->addWidget(EditCHs);
    EditCTs = new QLineEdit(this);
    EditCTs->setObjectName("EditCTs");
    layout->addWidget(EditCTs);
}
