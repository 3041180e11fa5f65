#include "ui/chart/AxisSet.h"

#include <QFontInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "core/runtime/NumberText.h"
#include "ui/app/Desktop.h"
#include "ui/app/Guard.h"
#include "ui/widgets/Controls.h"

namespace {

constexpr ChartAxis kAxes[3] = {ChartAxis::Bottom, ChartAxis::Left, ChartAxis::Right};

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

TFrmAxisSet::TFrmAxisSet(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName("TFrmAxisSet");
    setWindowTitle(QStringLiteral("軸の設定"));
    setModal(true);

    auto* grid = new QGridLayout;
    Label4 = NamedLabel(this, "Label4", QStringLiteral("タイトル："));
    EdtTitle = NamedEdit(this, "EdtTitle", QString());
    BitBtnFont = DialogButton(this, "BitBtnFont", QStringLiteral("フォント"));
    grid->addWidget(Label4, 0, 0);
    grid->addWidget(EdtTitle, 0, 1, 1, 2);
    grid->addWidget(BitBtnFont, 0, 3);

    RadioGroup2 = NamedRadioGroup(this, "RadioGroup2", QStringLiteral("目盛の設定"),
                                  {QStringLiteral("自動"), QStringLiteral("手動")});
    RadioGroup2->SetColumns(2);
    grid->addWidget(RadioGroup2, 1, 0, 3, 1);

    Label1 = NamedLabel(this, "Label1", QStringLiteral("最小値："));
    EdtMin = NamedEdit(this, "EdtMin", QString());
    Label2 = NamedLabel(this, "Label2", QStringLiteral("最大値："));
    EdtMax = NamedEdit(this, "EdtMax", QString());
    Label3 = NamedLabel(this, "Label3", QStringLiteral("目盛の間隔："));
    EdtInc = NamedEdit(this, "EdtInc", QStringLiteral("1"));
    grid->addWidget(Label1, 1, 1);
    grid->addWidget(EdtMin, 1, 2, 1, 2);
    grid->addWidget(Label2, 2, 1);
    grid->addWidget(EdtMax, 2, 2, 1, 2);
    grid->addWidget(Label3, 3, 1);
    grid->addWidget(EdtInc, 3, 2, 1, 2);

    RadioGroupGrid = NamedRadioGroup(this, "RadioGroupGrid", QStringLiteral("グリッド"),
                                     {QStringLiteral("なし"), QStringLiteral("実線"), QStringLiteral("破線"),
                                      QStringLiteral("点線"), QStringLiteral("２点破線")});
    RadioGroup1 = NamedRadioGroup(this, "RadioGroup1", QStringLiteral("設定する座標軸"),
                                  {QStringLiteral("Ｘ（下）軸"), QStringLiteral("Ｙ（左）軸"),
                                   QStringLiteral("Ｒ（右）軸")}, 0);

    GroupBoxType = NamedGroup(this, "GroupBoxType", QStringLiteral("軸タイプ"));
    RadioButtonLinear = new QRadioButton(QStringLiteral("線形"), GroupBoxType);
    RadioButtonLinear->setObjectName("RadioButtonLinear");
    RadioButtonLog = new QRadioButton(QStringLiteral("対数"), GroupBoxType);
    RadioButtonLog->setObjectName("RadioButtonLog");
    auto* typeLayout = new QVBoxLayout(GroupBoxType);
    typeLayout->addWidget(RadioButtonLinear);
    typeLayout->addWidget(RadioButtonLog);
    GroupBoxType->setEnabled(false);

    auto* right = new QVBoxLayout;
    right->addWidget(RadioGroup1);
    right->addWidget(GroupBoxType);
    auto* middle = new QHBoxLayout;
    middle->addWidget(RadioGroupGrid);
    middle->addLayout(right);
    grid->addLayout(middle, 4, 0, 1, 4);

    BitBtn1 = DialogButton(this, "BitBtn1", QStringLiteral("OK"), true);
    BitBtn2 = DialogButton(this, "BitBtn2", QStringLiteral("キャンセル"));

    // The settings scroll on a screen too small for the dialog; OK and キャンセル stay in view.
    ScrolledBody(this, grid, ButtonRow({BitBtn1, BitBtn2}));

    FontDialog1 = new QFontDialog(this);
    FontDialog1->setObjectName("FontDialog1");

    connect(BitBtn1, &QPushButton::clicked, this, [this] { RunGuarded(ctx_, [this] { BitBtn1Click(); }); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { RunGuarded(ctx_, [this] { BitBtn2Click(); }); });
    connect(BitBtnFont, &QPushButton::clicked, this, [this] { RunGuarded(ctx_, [this] { BitBtnFontClick(); }); });
    connect(EdtMin, &QLineEdit::editingFinished, this, [this] { RunGuarded(ctx_, [this] { EdtMinExit(); }); });
    connect(EdtMax, &QLineEdit::editingFinished, this, [this] { RunGuarded(ctx_, [this] { EdtMaxExit(); }); });
    connect(EdtInc, &QLineEdit::editingFinished, this, [this] { RunGuarded(ctx_, [this] { EdtIncExit(); }); });
    connect(RadioGroup1, &RadioGroup::itemIndexChanged, this, [this](int) {
        if (isVisible() && !showing_) RunGuarded(ctx_, [this] { ShowAxis(); });
    });
    connect(RadioGroup2, &RadioGroup::itemIndexChanged, this, [this](int index) {
        if (showing_ || index < 0) return;
        RunGuarded(ctx_, [this, index] {
            AxisRecord& r = records_[Selected()];
            // From 自動 to 手動 the boxes start at the range drawn, headroom included, so
            // that OK alone changes nothing on the chart.
            if (r.Automatic && index == 1) {
                if (ChartView* c = Chart()) {
                    r.Minimum = c->ViewLower(SelectedAxis());
                    r.Maximum = c->ViewUpper(SelectedAxis());
                }
            }
            r.Automatic = index == 0;
            ShowAxis();
        });
    });
    connect(RadioGroupGrid, &RadioGroup::itemIndexChanged, this, [this](int index) {
        if (showing_ || index < 0) return;
        RunGuarded(ctx_, [this, index] {
            if (ChartView* c = Chart()) c->SetGrid(SelectedAxis(), GridStyleOf(index), index != 0);
        });
    });
}

ChartView* TFrmAxisSet::Chart() { return chart_; }

int TFrmAxisSet::Selected() const {
    const int i = RadioGroup1->ItemIndex();
    return i >= 0 && i < 3 ? i : 0;
}

ChartAxis TFrmAxisSet::SelectedAxis() const { return kAxes[Selected()]; }

int TFrmAxisSet::GridIndex(Qt::PenStyle style, bool visible) {
    if (!visible) return 0;
    switch (style) {
    case Qt::SolidLine: return 1;
    case Qt::DashLine: return 2;
    case Qt::DotLine: return 3;
    case Qt::DashDotDotLine: return 4;
    default: return 0;
    }
}

Qt::PenStyle TFrmAxisSet::GridStyleOf(int index) {
    static constexpr Qt::PenStyle styles[5] = {Qt::NoPen, Qt::SolidLine, Qt::DashLine, Qt::DotLine,
                                               Qt::DashDotDotLine};
    return index >= 0 && index < 5 ? styles[index] : Qt::NoPen;
}

void TFrmAxisSet::LoadAxes() {
    ChartView* c = Chart();
    if (!c) return;
    for (int i = 0; i < 3; ++i) {
        AxisRecord& r = records_[i];
        r.Automatic = c->AxisAutomatic(kAxes[i]);
        r.Minimum = c->AxisMinimum(kAxes[i]);
        r.Maximum = c->AxisMaximum(kAxes[i]);
        r.Increment = c->AxisIncrement(kAxes[i]);
        r.Logarithmic = c->AxisLogarithmic(kAxes[i]);
    }
}

void TFrmAxisSet::ShowAxis() {
    ChartView* c = Chart();
    const AxisRecord& r = records_[Selected()];
    showing_ = true;
    if (c) EdtTitle->setText(c->AxisTitle(SelectedAxis()));
    EdtMin->setText(Q(orvane::FormatGeneral(r.Minimum, 7)));
    EdtMax->setText(Q(orvane::FormatGeneral(r.Maximum, 7)));
    EdtInc->setText(Q(orvane::FormatGeneral(r.Increment, 7)));
    RadioGroup2->SetItemIndex(r.Automatic ? 0 : 1);
    EdtMin->setEnabled(!r.Automatic);
    EdtMax->setEnabled(!r.Automatic);
    EdtInc->setEnabled(!r.Automatic);
    RadioButtonLog->setChecked(r.Logarithmic);
    RadioButtonLinear->setChecked(!r.Logarithmic);
    if (c) RadioGroupGrid->SetItemIndex(GridIndex(c->GridStyle(SelectedAxis()), c->GridVisible(SelectedAxis())));
    showing_ = false;
}

void TFrmAxisSet::ApplyAxes() {
    ChartView* c = Chart();
    if (!c) return;
    for (int i = 0; i < 3; ++i) {
        const ChartAxis a = kAxes[i];
        const AxisRecord& r = records_[i];
        c->SetAxisAutomatic(a, r.Automatic);
        // A consistent new range lying wholly above the current one would fail the
        // minimum check against the old maximum; setting the maximum first lets it through
        // while every inconsistent range still fails with the chart's own message.
        if (r.Minimum > c->AxisMaximum(a) && r.Minimum <= r.Maximum) {
            c->SetAxisMaximum(a, r.Maximum);
            c->SetAxisMinimum(a, r.Minimum);
        } else {
            c->SetAxisMinimum(a, r.Minimum);
            c->SetAxisMaximum(a, r.Maximum);
        }
        c->SetAxisIncrement(a, r.Increment);
        c->SetAxisLogarithmic(a, r.Logarithmic);
    }
}

void TFrmAxisSet::CommitFocusedBox() {
    // Pressing Enter for OK does not take the focus out of the box being typed in.
    QWidget* f = focusWidget();
    if (f == EdtMin) EdtMinExit();
    else if (f == EdtMax) EdtMaxExit();
    else if (f == EdtInc) EdtIncExit();
}

void TFrmAxisSet::BitBtn1Click() {
    CommitFocusedBox();
    if (ChartView* c = Chart()) c->SetAxisTitle(SelectedAxis(), EdtTitle->text());
    ApplyAxes();
    if (ChartView* c = Chart()) c->ReplotNow();
    accept();
}

void TFrmAxisSet::BitBtn2Click() { reject(); }

void TFrmAxisSet::reject() {
    RunGuarded(ctx_, [this] { LoadAxes(); });
    QDialog::reject();
}

void TFrmAxisSet::BitBtnFontClick() {
    ChartView* c = Chart();
    if (!c) return;
    const ChartAxis axis = SelectedAxis();
    // The program's family name only stands for its substitutes, which the dialog's lists do
    // not hold: it would offer whatever it matched ("C059 Bold Italic"). It opens on the font
    // actually drawn, so that changing the size alone keeps the Japanese gothic.
    const QFontInfo drawn(c->AxisTitleFont(axis));
    QFont before(drawn.family());
    before.setStyleName(drawn.styleName());
    before.setPointSizeF(drawn.pointSizeF());
    FontDialog1->setCurrentFont(before);
    // The dialog shows the font as its lists can: compare with that, not with `before`,
    // so that OK without a change keeps the title's own font.
    const QFont offered = FontDialog1->currentFont();
    if (ShowModal(ctx_, FontDialog1) == QDialog::Accepted && FontDialog1->currentFont() != offered)
        c->SetAxisTitleFont(axis, FontDialog1->currentFont());
}

void TFrmAxisSet::EdtMinExit() {
    if (!EdtMin->isEnabled()) return;
    records_[Selected()].Minimum = orvane::StrToFloat(EdtMin->text().toStdString());
}

void TFrmAxisSet::EdtMaxExit() {
    if (!EdtMax->isEnabled()) return;
    records_[Selected()].Maximum = orvane::StrToFloat(EdtMax->text().toStdString());
}

void TFrmAxisSet::EdtIncExit() {
    if (!EdtInc->isEnabled()) return;
    records_[Selected()].Increment = orvane::StrToFloat(EdtInc->text().toStdString());
}

void TFrmAxisSet::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    RunGuarded(ctx_, [this] {
        LoadAxes();
        GroupBoxType->setEnabled(false);
        ShowAxis();
    });
}
