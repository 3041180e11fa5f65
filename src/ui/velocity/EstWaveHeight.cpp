#include "ui/velocity/EstWaveHeight.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "core/runtime/NumberText.h"
#include "core/runtime/TextFile.h"
#include "core/velocity/ResultFile.h"
#include "core/velocity/WaveHeightSeries.h"
#include "ui/app/Desktop.h"
#include "ui/app/Guard.h"
#include "ui/series/SDFdata.h"

namespace {

std::string S(const QString& q) { return q.toStdString(); }
QString Q(const std::string& s) { return QString::fromStdString(s); }

QString QtFilter(const QString& filter) {
    const QStringList parts = filter.split('|');
    if (parts.size() < 2) return filter;
    return parts[0] + " (" + QString(parts[1]).replace(';', ' ') + ")";
}

QLineEdit* Edit(QWidget* parent, const char* name, const QString& text, const QString& hint = {}) {
    auto* e = new QLineEdit(text, parent);
    e->setObjectName(name);
    if (!hint.isEmpty()) e->setToolTip(hint);
    return e;
}

QComboBox* Combo(QWidget* parent, const char* name) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->setPlaceholderText(name);  // the designer's text until a file is opened
    c->setMinimumWidth(150);
    return c;
}

QGroupBox* Group(QWidget* parent, const char* name, const QString& title) {
    auto* g = new QGroupBox(title, parent);
    g->setObjectName(name);
    return g;
}

}  // namespace

TFrmEstWaveHeight::TFrmEstWaveHeight(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName("TFrmEstWaveHeight");
    setWindowTitle(QStringLiteral("底面流速の振幅と周期から波高の時系列を求める"));
    // The groups scroll on a screen too small for the window; the buttons stay in view.
    auto* body = new QWidget;
    body->setObjectName("PanelBody");
    auto* layout = new QVBoxLayout(body);

    GroupBoxFile = Group(body, "GroupBoxFile", QStringLiteral("入力ファイル"));
    auto* file = new QHBoxLayout(GroupBoxFile);
    EditInputFile = Edit(GroupBoxFile, "EditInputFile", "");
    BitBtn1 = new QPushButton(QStringLiteral("参照"), GroupBoxFile);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setAutoDefault(false);
    file->addWidget(EditInputFile);
    file->addWidget(BitBtn1);
    layout->addWidget(GroupBoxFile);

    auto* depth = new QFormLayout;
    EditMeanDepth = Edit(body, "EditMeanDepth", "10");
    depth->addRow(QStringLiteral("MSL基準水深(m)："), EditMeanDepth);
    layout->addLayout(depth);

    GroupBoxTide = Group(body, "GroupBoxTide", QStringLiteral("潮位(m)"));
    auto* tide = new QFormLayout(GroupBoxTide);
    ComboBoxTide = Combo(GroupBoxTide, "ComboBoxTide");
    Editdh = Edit(GroupBoxTide, "Editdh", "0", QStringLiteral("基準水深＋潮位＋加算値＝実際の水深（ｍ）"));
    tide->addRow(QStringLiteral("項目："), ComboBoxTide);
    tide->addRow(QStringLiteral("MSL基準潮位に変換するための加算値："), Editdh);
    layout->addWidget(GroupBoxTide);

    GroupBoxUs = Group(body, "GroupBoxUs", QStringLiteral("底面有義流速振幅(m/s)"));
    auto* us = new QFormLayout(GroupBoxUs);
    ComboBoxUs = Combo(GroupBoxUs, "ComboBoxUs");
    EditFactorUs = Edit(GroupBoxUs, "EditFactorUs", "1", QStringLiteral("補正係数×データ＝有義流速振幅（m/s）"));
    us->addRow(QStringLiteral("項目："), ComboBoxUs);
    us->addRow(QStringLiteral("補正係数："), EditFactorUs);
    layout->addWidget(GroupBoxUs);

    GroupBoxTp = Group(body, "GroupBoxTp", QStringLiteral("スペクトルピーク周期(s)"));
    auto* tp = new QFormLayout(GroupBoxTp);
    ComboBoxTp = Combo(GroupBoxTp, "ComboBoxTp");
    EditFactorTp = Edit(GroupBoxTp, "EditFactorTp", "1", QStringLiteral("補正係数×データ＝スペクトルピーク周期（ｓ）"));
    tp->addRow(QStringLiteral("項目："), ComboBoxTp);
    tp->addRow(QStringLiteral("補正係数："), EditFactorTp);
    layout->addWidget(GroupBoxTp);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    BitBtn2 = new QPushButton(QStringLiteral("計算"), this);
    BitBtn2->setObjectName("BitBtn2");
    BitBtn2->setDefault(true);
    BitBtn3 = new QPushButton(QStringLiteral("閉じる"), this);
    BitBtn3->setObjectName("BitBtn3");
    BitBtn3->setAutoDefault(false);
    buttons->addWidget(BitBtn2);
    buttons->addWidget(BitBtn3);
    layout->addStretch();
    ScrolledBody(this, body, buttons);

    // Until a file is opened only the tide group can be seen.
    GroupBoxUs->setVisible(false);
    GroupBoxTp->setVisible(false);
    BitBtn2->setVisible(false);

    connect(BitBtn1, &QPushButton::clicked, this, [this] { RunGuarded(ctx_, [this] { BitBtn1Click(); }); });
    connect(EditInputFile, &QLineEdit::textChanged, this,
            [this] { RunGuarded(ctx_, [this] { EditInputFileChange(); }); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
    connect(BitBtn3, &QPushButton::clicked, this, [this] { done(QDialog::Rejected); });
}

void TFrmEstWaveHeight::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    closing_ = false;
    RunGuarded(ctx_, [this] { FormShow(); });
}

void TFrmEstWaveHeight::done(int result) {
    if (!closing_) {
        closing_ = true;
        RunGuarded(ctx_, [this] { FormClose(); });
    }
    QDialog::done(result);
}

void TFrmEstWaveHeight::FormShow() {
    OpenFilter = QStringLiteral("SDF,TSDデータファイル (*.sdf,*.tsd)|*.sdf;*.tsd");
    if (orvane::FileExists(S(EditInputFile->text()))) EditInputFileChange();
}

void TFrmEstWaveHeight::FormClose() {
    SavedTideChannel = ComboBoxTide->currentIndex();
    SavedUsChannel = ComboBoxUs->currentIndex();
    SavedTpChannel = ComboBoxTp->currentIndex();
}

void TFrmEstWaveHeight::BitBtn1Click() {
    const QString chosen =
        ChooseFile(ctx_, this, QString(), QtFilter(OpenFilter), EditInputFile->text(), false,
                   DialogPurpose::SeriesInput);
    if (!chosen.isEmpty()) EditInputFile->setText(chosen);
}

void TFrmEstWaveHeight::EditInputFileChange() {
    const std::string name = S(EditInputFile->text());
    if (!orvane::FileExists(name) || !ctx_.sdfData->OpenSeriesHeader(name)) return;
    const orvane::SeriesHeader& h = ctx_.sdfData->Header();
    for (QComboBox* box : {ComboBoxTide, ComboBoxUs, ComboBoxTp}) {
        box->clear();
        for (int c = 0; c < h.NchInterval; ++c) box->addItem(Q(orvane::ChannelListText(h, c)));
    }
    GroupBoxTide->setVisible(true);
    GroupBoxUs->setVisible(true);
    GroupBoxTp->setVisible(true);
    auto select = [&](QComboBox* box, int& saved) {
        if (saved < 0 || saved >= h.NchInterval) saved = 0;
        box->setCurrentIndex(h.NchInterval > 0 ? saved : -1);
    };
    select(ComboBoxTide, SavedTideChannel);
    select(ComboBoxUs, SavedUsChannel);
    select(ComboBoxTp, SavedTpChannel);
    BitBtn2->setVisible(true);
}

void TFrmEstWaveHeight::BitBtn2Click() {
    RunGuarded(ctx_, [this] { Compute(); });
    done(QDialog::Accepted);
}

void TFrmEstWaveHeight::Compute() {
    using namespace orvane;
    WaveHeightInputs inputs;
    inputs.meanDepth = StrToFloat(S(EditMeanDepth->text()));
    inputs.dh = StrToFloat(S(Editdh->text()));
    inputs.tideChannel = ComboBoxTide->currentIndex();
    inputs.usChannel = ComboBoxUs->currentIndex();
    inputs.tpChannel = ComboBoxTp->currentIndex();
    inputs.factorUs = StrToFloat(S(EditFactorUs->text()));
    inputs.factorTp = StrToFloat(S(EditFactorTp->text()));

    TFrmSDFdata* sdf = ctx_.sdfData;
    SeriesStore& store = sdf->Store();
    const std::string input = S(EditInputFile->text());
    long long outOfRange = 0;
    ProcessCancel().Clear();
    if (!EstimateWaveHeightSeries(store, input, inputs, ctx_.constants.gra, *ctx_.prompter,
                                  *ctx_.progressSink, outOfRange, &ProcessCancel()))
        return;

    sdf->SaveDialog1.InitialDir = Q(ExtractFileDir(input));
    sdf->DeferHeaderWrite = true;
    // Browsing starts beside the input, not at another tool's last result.
    sdf->StartInInitialDir = true;
    int saved = 2;
    try {
        saved = sdf->ShowSaveWindow(1);
    } catch (...) {
        sdf->DeferHeaderWrite = false;
        sdf->StartInInitialDir = false;
        throw;
    }
    sdf->DeferHeaderWrite = false;
    sdf->StartInInitialDir = false;
    if (saved != 1) return;
    // A ".sdf" name typed in the save window gets a real SDF file.
    WriteResultFile(store, store.OutputFileName);
    const std::string note = WaveHeightOutOfRangeMessage(outOfRange);
    if (!note.empty()) ctx_.prompter->Information(note);
}
