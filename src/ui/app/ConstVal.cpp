#include "ui/app/ConstVal.h"
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include "core/runtime/Errors.h"
#include "core/runtime/NumberText.h"
#include "core/app/SettingsFile.h"
#include "ui/app/Desktop.h"
#include "ui/app/Guard.h"
#include "ui/widgets/Controls.h"
#include "ui/widgets/RadioGroup.h"

namespace {

QWidget* OwnerWindow(AppContext& ctx, TFrmEditConst* editor, const char* className) {
    // The editor itself, also while it is being made and not yet in the context.
    if (std::string_view(className) == "TFrmEditConst") return editor;
    return WindowNamed(ctx, className);
}

// A window that lost a control the file stores is a programming error; it must not pass
// silently as a shifted or dropped line.
[[noreturn]] void MissingControl(const QWidget* window, const char* name) {
    throw orvane::OrvaneError("設定ファイルの項目 " + std::string(name) + " が " +
                              (window ? window->objectName().toStdString() : std::string("?")) +
                              " にありません");
}

QLineEdit* TextControl(QWidget* window, const char* name) {
    auto* edit = window ? window->findChild<QLineEdit*>(QString::fromLatin1(name)) : nullptr;
    if (!edit) MissingControl(window, name);
    return edit;
}

int ReadInteger(QWidget* window, const char* name) {
    const QString n = QString::fromLatin1(name);
    if (!window) MissingControl(window, name);
    if (auto* group = window->findChild<RadioGroup*>(n)) return group->ItemIndex();
    if (auto* combo = window->findChild<QComboBox*>(n)) return combo->currentIndex();
    QVariant v = window->property(name);
    if (!v.isValid()) MissingControl(window, name);
    return v.toInt();
}

void WriteInteger(QWidget* window, const char* name, int value) {
    const QString n = QString::fromLatin1(name);
    if (!window) MissingControl(window, name);
    if (auto* group = window->findChild<RadioGroup*>(n)) {
        group->SetItemIndex(value);
        return;
    }
    if (auto* combo = window->findChild<QComboBox*>(n)) {
        combo->setCurrentIndex(value < combo->count() ? value : -1);
        return;
    }
    if (!window->property(name).isValid()) MissingControl(window, name);
    window->setProperty(name, value);
}

double BoxValue(const QLineEdit* box) { return orvane::StrToFloat(box->text().toStdString()); }

}  // namespace

TFrmEditConst::TFrmEditConst(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName("TFrmEditConst");
    setWindowTitle(QStringLiteral("定数の定義"));

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");

    TabSheet1 = new QWidget;
    TabSheet1->setObjectName("TabSheet1");
    auto* common = new QVBoxLayout(TabSheet1);
    auto* form = new QFormLayout;
    Editgra = NamedEdit(nullptr, "Editgra", QStringLiteral("9.81"));
    EditSGfluid = NamedEdit(nullptr, "EditSGfluid", QStringLiteral("1.025"));
    EditRTp = NamedEdit(nullptr, "EditRTp", QStringLiteral("0.93"));
    form->addRow(QStringLiteral("重力加速度　(m/s^2)："), Editgra);
    form->addRow(QStringLiteral("海水の密度 (g/cm^3)："), EditSGfluid);
    form->addRow(QStringLiteral("有義波周期とｽﾍﾟｸﾄﾙﾋﾟｰｸ周期の比："), EditRTp);
    common->addLayout(form);
    BitBtn3 = DialogButton(nullptr, "BitBtn3", QStringLiteral("標準値"));
    common->addWidget(BitBtn3, 0, Qt::AlignRight);
    common->addStretch();
    PageControl1->addTab(TabSheet1, QStringLiteral("共通"));

    TabSheet2 = new QWidget;
    TabSheet2->setObjectName("TabSheet2");
    auto* shoal = new QVBoxLayout(TabSheet2);
    auto* group = NamedGroup(nullptr, "GroupBox1", QStringLiteral("Thornton and Guza モデル"));
    auto* groupLayout = new QVBoxLayout(group);
    LabeledEditgamma_TG = new LabeledEdit("LabeledEditgamma_TG", QStringLiteral("γ="), QStringLiteral("0.42"));
    LabeledEditB_TG = new LabeledEdit("LabeledEditB_TG", QStringLiteral("B ="), QStringLiteral("1.54"));
    groupLayout->addWidget(LabeledEditgamma_TG);
    groupLayout->addWidget(LabeledEditB_TG);
    shoal->addWidget(group);
    BitBtn4 = DialogButton(nullptr, "BitBtn4", QStringLiteral("標準値"));
    shoal->addWidget(BitBtn4, 0, Qt::AlignRight);
    shoal->addStretch();
    PageControl1->addTab(TabSheet2, QStringLiteral("浅水変形"));

    BitBtn1 = DialogButton(nullptr, "BitBtn1", QStringLiteral("保　存"), true);
    BitBtn2 = DialogButton(nullptr, "BitBtn2", QStringLiteral("キャンセル"));

    // The tabs scroll on a screen too small for the window; the buttons stay in view.
    auto* tabs = new QVBoxLayout;
    tabs->addWidget(PageControl1);
    ScrolledBody(this, tabs, ButtonRow({BitBtn1, BitBtn2}));

    connect(BitBtn1, &QPushButton::clicked, this, &TFrmEditConst::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    connect(BitBtn3, &QPushButton::clicked, this, &TFrmEditConst::BitBtn3Click);
    connect(BitBtn4, &QPushButton::clicked, this, &TFrmEditConst::BitBtn4Click);

    FormCreate();
}

void TFrmEditConst::FormCreate() {
    ProgramDir = ctx_.settingsDir;
    FallbackDir = ctx_.settingsFallbackDir;
    BitBtn3Click();
    BitBtn4Click();
    // The defaults always convert; the guard keeps a start-up error out of the constructor.
    RunGuarded(ctx_, [&] { ApplyConstants(); });
}

void TFrmEditConst::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ShowConstantsInForce();
}

void TFrmEditConst::SaveThorntonGuza(const QString& gamma, const QString& b) {
    // Boxes left typed in a cancelled editor must not be saved with the fit.
    ShowConstantsInForce();
    LabeledEditgamma_TG->setText(gamma);
    LabeledEditB_TG->setText(b);
    ApplyConstants();
    SaveConstants();
}

void TFrmEditConst::ShowConstantsInForce() {
    const auto& c = ctx_.constants;
    Editgra->setText(QString::fromStdString(orvane::FormatShortest(c.gra)));
    EditSGfluid->setText(QString::fromStdString(orvane::FormatShortest(c.SGfluid)));
    EditRTp->setText(QString::fromStdString(orvane::FormatShortest(c.RTp)));
    LabeledEditgamma_TG->setText(QString::fromStdString(orvane::FormatShortest(c.gamma_TG)));
    LabeledEditB_TG->setText(QString::fromStdString(orvane::FormatShortest(c.B_TG)));
}

void TFrmEditConst::BitBtn3Click() {
    Editgra->setText(QStringLiteral("9.80665"));
    EditSGfluid->setText(QStringLiteral("1.025"));
    EditRTp->setText(QStringLiteral("0.93"));
}

void TFrmEditConst::BitBtn4Click() {
    LabeledEditgamma_TG->setText(QStringLiteral("0.42"));
    LabeledEditB_TG->setText(QStringLiteral("1.54"));
}

void TFrmEditConst::BitBtn1Click() {
    // The OK result is set before the work, so the editor closes even when it fails;
    // the error has been shown by then.
    setResult(QDialog::Accepted);
    RunGuarded(ctx_, [&] {
        ApplyConstants();
        SaveConstants();
    });
    done(QDialog::Accepted);
}

void TFrmEditConst::ApplyConstants() {
    auto& c = ctx_.constants;
    c.gra = BoxValue(Editgra);
    c.SGfluid = BoxValue(EditSGfluid);
    c.RTp = BoxValue(EditRTp);
    c.gamma_TG = BoxValue(LabeledEditgamma_TG->Edit());
    c.B_TG = BoxValue(LabeledEditB_TG->Edit());
}

void TFrmEditConst::SaveConstants() {
    std::vector<orvane::SettingValue> values;
    values.reserve(orvane::SettingsTable().size());
    for (const orvane::SettingEntry& entry : orvane::SettingsTable()) {
        QWidget* window = OwnerWindow(ctx_, this, entry.window);
        orvane::SettingValue v;
        if (entry.kind == orvane::SettingKind::Integer) v.integer = ReadInteger(window, entry.control);
        else v.text = TextControl(window, entry.control)->text().toStdString();
        values.push_back(std::move(v));
    }
    const std::vector<int> replaced = orvane::WriteSettingsFile(SettingsPath(), values);
    if (replaced.empty()) return;
    // The file is written all the same: a typed character must never keep the program open.
    std::string boxes;
    for (int line : replaced) {
        const orvane::SettingEntry& entry = orvane::SettingsTable()[static_cast<std::size_t>(line - 1)];
        QWidget* window = OwnerWindow(ctx_, this, entry.window);
        boxes += "\n「" + (window ? window->windowTitle().toStdString() : std::string()) + "」の入力欄 " +
                 entry.control;
    }
    ctx_.prompter->Warning(std::string(orvane::kSettingsFileName) +
                           " に書けない文字を「?」に置き換えて保存しました：" + boxes);
}

void TFrmEditConst::LoadConstants() {
    const orvane::SettingsReadResult r =
        orvane::ReadSettingsFile(orvane::SettingsPlace{ProgramDir, FallbackDir}.ReadPath());
    if (!r.fileFound) return;
    const auto& table = orvane::SettingsTable();
    for (std::size_t i = 0; i < r.values.size() && i < table.size(); ++i) {
        if (!r.values[i].taken) continue;
        const orvane::SettingEntry& entry = table[i];
        QWidget* window = OwnerWindow(ctx_, this, entry.window);
        if (entry.kind == orvane::SettingKind::Integer) WriteInteger(window, entry.control, r.values[i].integer);
        else TextControl(window, entry.control)->setText(QString::fromStdString(r.values[i].text));
    }
    r.ApplyConstantsTo(ctx_.constants);
    if (!r.Complete()) throw orvane::OrvaneError(r.error);
}
