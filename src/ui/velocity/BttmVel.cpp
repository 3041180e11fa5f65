#include "ui/velocity/BttmVel.h"
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include "core/runtime/NumberText.h"
#include "core/velocity/BottomVelocity.h"
#include <algorithm>
#include "ui/app/Desktop.h"
#include "ui/app/Guard.h"
#include "ui/widgets/Controls.h"
#include "ui/widgets/LabeledEdit.h"
#include "ui/widgets/RadioGroup.h"

namespace {

const char* const kNotes[] = {
    "[入力上の注意]",
    "①　波高にはその水深における波",
    "高を入力して下さい。換算沖波波",
    "高しか判らない場合には「波高の",
    "浅水変化」で計算して下さい。",
    "②　ランダム波の場合、周期には",
    "有義波周期を入れて下さい。",
    "③　海底勾配はtanθで入力して",
    "下さい。例えば、水平なら 0 、",
    "1/100 なら 0.01を入力します。",
    "",
    "［計算方法］",
    "①　単一波の計算では砕波波高よ",
    "り小さい場合には",
    "　　微小振幅波理論と首籐(1974)",
    "の非線形浅水係数により沖波波",
    "高を求め、磯部・堀川(1982)の式",
    "によって、また砕波波高を超えて",
    "いる場合にはDenny(1995)の式で",
    "求めています。",
    "　",
};

// The result box's caption replaces the application title for that box only; the
// title itself never changes, so every later box (errors included) carries it again.
const char* const kResultCaption = "計算結果";

double ReadReal(LabeledEdit* edit) { return orvane::StrToFloat(edit->text().toStdString()); }

}  // namespace

TFrmBttmVel::TFrmBttmVel(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName("TFrmBttmVel");
    setWindowTitle(QStringLiteral("底面波動流速の計算"));

    EdtDepth = new LabeledEdit("EdtDepth", QStringLiteral("水深(m)："), "10", this);
    EdtT = new LabeledEdit("EdtT", QStringLiteral("周期(s)："), "10", this);
    EdtH = new LabeledEdit("EdtH", QStringLiteral("波高(m)："), "1", this);
    EdtSL = new LabeledEdit("EdtSL", QStringLiteral("海底勾配："), "0", this);

    RadioGroup1 = NamedRadioGroup(this, "RadioGroup1", QStringLiteral("波の種類"),
                                  {QStringLiteral("単一波"),
                                   QStringLiteral("ﾗﾝﾀﾞﾑ波（Soulsby,1987;JONSWAPｽﾍﾟｸﾄﾙ）")}, 0);

    BitBtn1 = DialogButton(this, "BitBtn1", QStringLiteral("計算"), true);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    BitBtn2 = DialogButton(this, "BitBtn2", QStringLiteral("閉じる"));
    connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QStringList lines;
    for (const char* line : kNotes) lines << QString::fromUtf8(line);
    Memo1->setPlainText(lines.join('\n'));
    Memo1->setMinimumWidth(230);

    // The four boxes start at one x: their captions take the width of the widest.
    int captionWidth = 0;
    for (LabeledEdit* e : {EdtDepth, EdtT, EdtH, EdtSL})
        captionWidth = std::max(captionWidth, e->Label()->sizeHint().width());
    auto* inputs = new QVBoxLayout;
    for (LabeledEdit* e : {EdtDepth, EdtT, EdtH, EdtSL}) {
        e->Label()->setFixedWidth(captionWidth);
        inputs->addWidget(e);
    }
    inputs->addWidget(RadioGroup1);
    inputs->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    buttons->addStretch();
    // Boxes and notes scroll on a screen too small for the window; the buttons stay in view.
    auto* body = new QWidget;
    body->setObjectName("PanelBody");
    auto* top = new QHBoxLayout(body);
    top->addLayout(inputs);
    top->addWidget(Memo1, 1);
    ScrolledBody(this, body, buttons);

    FormCreate();
}

void TFrmBttmVel::FormCreate() {
    EdtDepth->setText("5");
    EdtT->setText("10");
    EdtH->setText("3");
    EdtSL->setText("0");
}

void TFrmBttmVel::BitBtn1Click() {
    RunGuarded(ctx_, [this] {
        const double H = ReadReal(EdtH);
        const double h = ReadReal(EdtDepth);
        const double T = ReadReal(EdtT);
        const double s = ReadReal(EdtSL);
        std::string text;
        switch (RadioGroup1->ItemIndex()) {
            case 0: text = orvane::SingleWaveReport(h, H, T, s, ctx_.constants.gra); break;
            case 1: text = orvane::RandomWaveReport(h, H, T, ctx_.constants); break;
            default: return;
        }
        ctx_.prompter->Plain(text, kResultCaption);
    });
}

void TFrmBttmVel::BitBtn2Click() { reject(); }
