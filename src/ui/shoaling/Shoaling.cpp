#include "ui/shoaling/Shoaling.h"
#include <QVBoxLayout>

TFrmShoaling::TFrmShoaling(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName("TFrmShoaling");
    setWindowTitle(QStringLiteral("波高の浅水変化の計算"));
    auto* layout = new QVBoxLayout(this);
    EditFileName = new QLineEdit(this);
    EditFileName->setObjectName("EditFileName");
    layout->addWidget(EditFileName);
    EdtH0 = new QLineEdit(this);
    EdtH0->setObjectName("EdtH0");
    layout->addWidget(EdtH0);
    EdtT0 = new QLineEdit(this);
    EdtT0->setObjectName("EdtT0");
    layout->addWidget(EdtT0);
    EdtCalPoint = new QLineEdit(this);
    EdtCalPoint->setObjectName("EdtCalPoint");
    layout->addWidget(EdtCalPoint);
    EditOffshoreEnd = new QLineEdit(this);
    EditOffshoreEnd->setObjectName("EditOffshoreEnd");
    layout->addWidget(EditOffshoreEnd);
    EditOnshoreEnd = new QLineEdit(this);
    EditOnshoreEnd->setObjectName("EditOnshoreEnd");
    layout->addWidget(EditOnshoreEnd);
    RadioGroupProfile = new RadioGroup("", {}, this);
    RadioGroupProfile->setObjectName("RadioGroupProfile");
    layout->addWidget(RadioGroupProfile);
    RadioGroupXAxis = new RadioGroup("", {}, this);
    RadioGroupXAxis->setObjectName("RadioGroupXAxis");
    layout->addWidget(RadioGroupXAxis);
    RadioGroupMethod = new RadioGroup("", {}, this);
    RadioGroupMethod->setObjectName("RadioGroupMethod");
    layout->addWidget(RadioGroupMethod);
    EditdMSL = new QLineEdit(this);
    EditdMSL->setObjectName("EditdMSL");
    layout->addWidget(EditdMSL);
    EdtSlope = new QLineEdit(this);
    EdtSlope->setObjectName("EdtSlope");
    layout->addWidget(EdtSlope);
    RadioGroupObsPos = new RadioGroup("", {}, this);
    RadioGroupObsPos->setObjectName("RadioGroupObsPos");
    layout->addWidget(RadioGroupObsPos);
    LabeledEditObsPos = new LabeledEdit("LabeledEditObsPos", "", "", this);
    layout->addWidget(LabeledEditObsPos);
}
