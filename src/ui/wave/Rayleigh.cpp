#include "ui/wave/Rayleigh.h"
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include "core/runtime/NumberText.h"
#include "core/wave/Rayleigh.h"
#include "ui/app/Guard.h"
#include "ui/app/QtPrompter.h"
#include "ui/widgets/Controls.h"

TFrmRayleigh::TFrmRayleigh(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName("TFrmRayleigh");
    setWindowTitle(QStringLiteral("Rayleigh分布による確率振幅の計算"));

    GroupBox1 = NamedGroup(this, "GroupBox1", QStringLiteral("基準データ"));
    RadioButtonRMS = new QRadioButton(QStringLiteral("RMS値"), GroupBox1);
    RadioButtonRMS->setObjectName("RadioButtonRMS");
    RadioButtonRMS->setChecked(true);
    RadioButtonSignificant = new QRadioButton(QStringLiteral("有義値"), GroupBox1);
    RadioButtonSignificant->setObjectName("RadioButtonSignificant");
    EditStandard = NamedEdit(GroupBox1, "EditStandard", QStringLiteral("1"));
    auto* g1 = new QGridLayout(GroupBox1);
    g1->addWidget(RadioButtonRMS, 0, 0);
    g1->addWidget(RadioButtonSignificant, 1, 0);
    g1->addWidget(EditStandard, 0, 1, 2, 1, Qt::AlignVCenter);

    GroupBox2 = NamedGroup(this, "GroupBox2", QStringLiteral("計算する上側確率"));
    EditProb = NamedEdit(GroupBox2, "EditProb", QStringLiteral("0.1"));
    auto* g2 = new QVBoxLayout(GroupBox2);
    g2->addWidget(EditProb);

    BitBtn1 = DialogButton(this, "BitBtn1", QStringLiteral("計算"), true);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });

    auto* right = new QVBoxLayout;
    right->addWidget(GroupBox2);
    right->addStretch();
    right->addWidget(BitBtn1);
    auto* top = new QHBoxLayout(this);
    top->addWidget(GroupBox1);
    top->addLayout(right);

    // A fixed-size dialog; the Japanese font may need more than the designed 311 x 155.
    const QSize hint = sizeHint();
    setFixedSize(std::max(311, hint.width()), std::max(155, hint.height()));
}

void TFrmRayleigh::BitBtn1Click() {
    RunGuarded(ctx_, [this] {
        const double a = orvane::StrToFloat(EditStandard->text().toStdString());
        const double p = orvane::StrToFloat(EditProb->text().toStdString());
        const auto kind = RadioButtonSignificant->isChecked() ? orvane::RayleighReference::Significant
                                                              : orvane::RayleighReference::Rms;
        const orvane::RayleighResult r = orvane::ComputeRayleigh(a, p, kind);
        ctx_.prompter->Plain(orvane::RayleighReport(r), kApplicationTitle.toStdString());
    });
}
