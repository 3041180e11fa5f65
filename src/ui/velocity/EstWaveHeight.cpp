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
#include "ui/widgets/Controls.h"

namespace {

std::string S(const QString& q) { return q.toStdString(); }
QString Q(const std::string& s) { return QString::fromStdString(s); }

QComboBox* Combo(QWidget* parent, const char* name) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->setPlaceholderText(name);  // the designer's text until a file is opened
    c->setMinimumWidth(150);
    return c;
}

}  // namespace

TFrmEstWaveHeight::TFrmEstWaveHeight(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName("TFrmEstWaveHeight");
    setWindowTitle(QStringLiteral("底面流速の振幅と周期から波高の時系列を求める"));
    // The groups scroll on a screen too small for the window; the buttons stay in view.
    auto* body = new QWidget;
    body->setObjectName("PanelBody");
    auto* layout = new QVBoxLayout(body);

    GroupBoxFile = NamedGroup(body, "GroupBoxFile", QStringLiteral("入力ファイル"));
    auto* file = new QHBoxLayout(GroupBoxFile);
    EditInputFile = NamedEdit(GroupBoxFile, "EditInputFile", "");
    BitBtn1 = DialogButton(GroupBoxFile, "BitBtn1", QStringLiteral("参照"));
    file->addWidget(EditInputFile);
    file->addWidget(BitBtn1);
    layout->addWidget(GroupBoxFile);

    auto* depth = new QFormLayout;
    EditMeanDepth = NamedEdit(body, "EditMeanDepth", "10");
    depth->addRow(QStringLiteral("MSL基準水深(m)："), EditMeanDepth);
    layout->addLayout(depth);

    GroupBoxTide = NamedGroup(body, "GroupBoxTide", QStringLiteral("潮位(m)"));
    auto* tide = new QFormLayout(GroupBoxTide);
    ComboBoxTide = Combo(GroupBoxTide, "ComboBoxTide");
    Editdh = NamedEdit(GroupBoxTide, "Editdh", "0", QStringLiteral("基準水深＋潮位＋加算値＝実際の水深（ｍ）"));
    tide->addRow(QStringLiteral("項目："), ComboBoxTide);
    tide->addRow(QStringLiteral("MSL基準潮位に変換するための加算値："), Editdh);
    layout->addWidget(GroupBoxTide);

    GroupBoxUs = NamedGroup(body, "GroupBoxUs", QStringLiteral("底面有義流速振幅(m/s)"));
    auto* us = new QFormLayout(GroupBoxUs);
    ComboBoxUs = Combo(GroupBoxUs, "ComboBoxUs");
    EditFactorUs = NamedEdit(GroupBoxUs, "EditFactorUs", "1", QStringLiteral("補正係数×データ＝有義流速振幅（m/s）"));
    us->addRow(QStringLiteral("項目："), ComboBoxUs);
    us->addRow(QStringLiteral("補正係数："), EditFactorUs);
    layout->addWidget(GroupBoxUs);

    GroupBoxTp = NamedGroup(body, "GroupBoxTp", QStringLiteral("スペクトルピーク周期(s)"));
    auto* tp = new QFormLayout(GroupBoxTp);
    ComboBoxTp = Combo(GroupBoxTp, "ComboBoxTp");
    EditFactorTp = NamedEdit(GroupBoxTp, "EditFactorTp", "1", QStringLiteral("補正係数×データ＝スペクトルピーク周期（ｓ）"));
    tp->addRow(QStringLiteral("項目："), ComboBoxTp);
    tp->addRow(QStringLiteral("補正係数："), EditFactorTp);
    layout->addWidget(GroupBoxTp);

    BitBtn2 = DialogButton(this, "BitBtn2", QStringLiteral("計算"), true);
    BitBtn3 = DialogButton(this, "BitBtn3", QStringLiteral("閉じる"));
    layout->addStretch();
    ScrolledBody(this, body, ButtonRow({BitBtn2, BitBtn3}));

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
        ChooseFile(ctx_, this, QString(), DialogFilter(OpenFilter), EditInputFile->text(), false,
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
    // Browsing starts beside the input, not at another tool's last result.
    if (sdf->ShowSaveWindowForResult(1, true) != 1) return;
    // A ".sdf" name typed in the save window gets a real SDF file.
    WriteResultFile(store, store.OutputFileName);
    const std::string note = WaveHeightOutOfRangeMessage(outOfRange);
    if (!note.empty()) ctx_.prompter->Information(note);
}
