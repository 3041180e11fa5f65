#include "ui/wave/Airy.h"
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include "core/wave/SmallAmplitudeWave.h"
#include "ui/app/Desktop.h"
#include "ui/app/Guard.h"
#include "ui/widgets/Controls.h"

namespace {

QLabel* MakeResult(QWidget* parent, const char* name) {
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    l->setMinimumWidth(80);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

}  // namespace

TFrmAiry::TFrmAiry(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName("TFrmAiry");
    setWindowTitle(QStringLiteral("微小振幅波理論による波の諸元"));

    // FormCreate: the initial texts.
    EdtDepth = NamedEdit(this, "EdtDepth", QStringLiteral("10"));
    EdtPeriod = NamedEdit(this, "EdtPeriod", QStringLiteral("10"));
    EdtHeight = NamedEdit(this, "EdtHeight", QStringLiteral("1"));
    auto* velGroup = NamedGroup(this, "GroupBox1", QStringLiteral("流速振幅"));
    EdtCalDpth = NamedEdit(velGroup, "EdtCalDpth", QStringLiteral("0"));

    LblLength = MakeResult(this, "LblLength");
    LblC = MakeResult(this, "LblC");
    LblCg = MakeResult(this, "LblCg");
    LblKs = MakeResult(this, "LblKs");
    LblFlux = MakeResult(this, "LblFlux");
    LblVelx = MakeResult(velGroup, "LblVelx");
    LblVely = MakeResult(velGroup, "LblVely");

    auto* inputs = new QFormLayout;
    inputs->addRow(QStringLiteral("水深(m)："), EdtDepth);
    inputs->addRow(QStringLiteral("周期(s)："), EdtPeriod);
    inputs->addRow(QStringLiteral("波高(m)："), EdtHeight);

    auto* results = new QFormLayout;
    results->addRow(QStringLiteral("波長(m)："), LblLength);
    results->addRow(QStringLiteral("波速(m/s)："), LblC);
    results->addRow(QStringLiteral("群速度(m/s)："), LblCg);
    results->addRow(QStringLiteral("浅水係数："), LblKs);
    results->addRow(QStringLiteral("ｴﾈﾙｷﾞｰﾌﾗｯｸｽ(Jm/s/m^2)："), LblFlux);

    auto* vel = new QFormLayout(velGroup);
    vel->addRow(QStringLiteral("底面からの高さ(m)："), EdtCalDpth);
    vel->addRow(QStringLiteral("水平(m/s)："), LblVelx);
    vel->addRow(QStringLiteral("鉛直(m/s)："), LblVely);

    BitBtn1 = DialogButton(this, "BitBtn1", QStringLiteral("計算"), true);
    BitBtn2 = DialogButton(this, "BitBtn2", QStringLiteral("閉じる"));
    connect(BitBtn1, &QPushButton::clicked, this, &TFrmAiry::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TFrmAiry::BitBtn2Click);

    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addLayout(inputs);
    left->addWidget(velGroup);
    left->addStretch();
    columns->addLayout(left);
    columns->addLayout(results);
    // The boxes scroll on a screen too small for the window; the buttons stay in view.
    ScrolledBody(this, columns, ButtonRow({BitBtn1, BitBtn2}));
}

void TFrmAiry::Calculate() {
    // Converts in the order the boxes are read, so the first bad box is the one reported.
    const orvane::SmallAmplitudeWave wave = orvane::ComputeSmallAmplitudeWave(
        EdtDepth->text().toStdString(), EdtPeriod->text().toStdString(), EdtHeight->text().toStdString(),
        EdtCalDpth->text().toStdString(), ctx_.constants);
    // Labels are written only once everything has been computed.
    for (const orvane::SmallAmplitudeLabel& label : orvane::SmallAmplitudeLabels(wave)) {
        if (auto* l = findChild<QLabel*>(QString::fromLatin1(label.name))) l->setText(QString::fromStdString(label.text));
    }
}

void TFrmAiry::BitBtn1Click() {
    RunGuarded(ctx_, [&] {
        Calculate();
        EdtDepth->setFocus();
    });
}

void TFrmAiry::BitBtn2Click() { reject(); }

void TFrmAiry::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    RunGuarded(ctx_, [&] { Calculate(); });
}
