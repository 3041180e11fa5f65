#include "ui/velocity/EstWaveHeight.h"
#include <QVBoxLayout>

TFrmEstWaveHeight::TFrmEstWaveHeight(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName("TFrmEstWaveHeight");
    setWindowTitle(QStringLiteral("底面流速の振幅と周期から波高の時系列を求める"));
    auto* layout = new QVBoxLayout(this);
    EditInputFile = new QLineEdit(this);
    EditInputFile->setObjectName("EditInputFile");
    layout->addWidget(EditInputFile);
    EditMeanDepth = new QLineEdit(this);
    EditMeanDepth->setObjectName("EditMeanDepth");
    layout->addWidget(EditMeanDepth);
    ComboBoxTide = new QComboBox(this);
    ComboBoxTide->setObjectName("ComboBoxTide");
    layout->addWidget(ComboBoxTide);
    Editdh = new QLineEdit(this);
    Editdh->setObjectName("Editdh");
    layout->addWidget(Editdh);
    ComboBoxUs = new QComboBox(this);
    ComboBoxUs->setObjectName("ComboBoxUs");
    layout->addWidget(ComboBoxUs);
    EditFactorUs = new QLineEdit(this);
    EditFactorUs->setObjectName("EditFactorUs");
    layout->addWidget(EditFactorUs);
    ComboBoxTp = new QComboBox(this);
    ComboBoxTp->setObjectName("ComboBoxTp");
    layout->addWidget(ComboBoxTp);
    EditFactorTp = new QLineEdit(this);
    EditFactorTp->setObjectName("EditFactorTp");
    layout->addWidget(EditFactorTp);
}
