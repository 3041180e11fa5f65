#include "ui/velocity/WaveVelSeries.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "core/runtime/Messages.h"
#include "core/runtime/NumberText.h"
#include "core/runtime/TextFile.h"
#include "core/velocity/ResultFile.h"
#include "ui/app/Desktop.h"
#include "ui/app/Guard.h"
#include "ui/series/SDFdata.h"
#include "ui/shoaling/Shoaling.h"
#include "ui/widgets/Controls.h"

namespace {

std::string S(const QString& q) { return q.toStdString(); }
QString Q(const std::string& s) { return QString::fromStdString(s); }

QComboBox* Combo(QWidget* parent, const char* name) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->setMinimumWidth(140);
    return c;
}

QCheckBox* Check(QWidget* parent, const char* name, const QString& caption) {
    auto* c = new QCheckBox(caption, parent);
    c->setObjectName(name);
    return c;
}

// A file box with its 参照 button at the button's own width.
QHBoxLayout* FileRow(QLineEdit* box, QPushButton* browse) {
    auto* row = new QHBoxLayout;
    row->addWidget(box, 1);
    row->addWidget(browse, 0);
    return row;
}

const QString kInputFilter = QStringLiteral("標準時系列ﾌｧｲﾙ(*.sdf;*.tsd)|*.sdf;*tsd");
const QString kOutputFilter = QStringLiteral("tsd files (*.tsd)|*.TSD");

}  // namespace

TFrmWaveVelSeries::TFrmWaveVelSeries(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName("TFrmWaveVelSeries");
    setWindowTitle(QStringLiteral("沖波と潮位の時系列から波動流速時系列を推定"));
    // The tabs scroll on a screen too small for the window; 計算 and キャンセル stay in view.
    auto* body = new QWidget;
    body->setObjectName("PanelBody");
    auto* layout = new QVBoxLayout(body);

    PageControl1 = new QTabWidget(body);
    PageControl1->setObjectName("PageControl1");
    layout->addWidget(PageControl1);

    // --- 入力 ---
    TabSheet1 = new QWidget(PageControl1);
    TabSheet1->setObjectName("TabSheet1");
    auto* input = new QVBoxLayout(TabSheet1);

    GroupBoxWave = NamedGroup(TabSheet1, "GroupBoxWave", QStringLiteral("沖波"));
    auto* wave = new QGridLayout(GroupBoxWave);
    EditFLWave = NamedEdit(GroupBoxWave, "EditFLWave", "");
    Button1 = DialogButton(GroupBoxWave, "Button1", QStringLiteral("参照"));
    ComboBoxHs = Combo(GroupBoxWave, "ComboBoxHs");
    ComboBoxTs = Combo(GroupBoxWave, "ComboBoxTs");
    EditCHs = NamedEdit(GroupBoxWave, "EditCHs", "1");
    EditCTs = NamedEdit(GroupBoxWave, "EditCTs", "1");
    EditKr = NamedEdit(GroupBoxWave, "EditKr", "1");
    wave->addWidget(new QLabel(QStringLiteral("ファイル："), GroupBoxWave), 0, 0);
    wave->addLayout(FileRow(EditFLWave, Button1), 0, 1, 1, 4);
    wave->addWidget(new QLabel(QStringLiteral("有義波波高(m)："), GroupBoxWave), 1, 0);
    wave->addWidget(ComboBoxHs, 1, 1);
    wave->addWidget(new QLabel(QStringLiteral("係数："), GroupBoxWave), 1, 2);
    wave->addWidget(EditCHs, 1, 3);
    wave->addWidget(new QLabel(QStringLiteral("有義波周期(s)："), GroupBoxWave), 2, 0);
    wave->addWidget(ComboBoxTs, 2, 1);
    wave->addWidget(new QLabel(QStringLiteral("係数："), GroupBoxWave), 2, 2);
    wave->addWidget(EditCTs, 2, 3);
    wave->addWidget(new QLabel(QStringLiteral("換算波高係数："), GroupBoxWave), 3, 0);
    wave->addWidget(EditKr, 3, 1);
    input->addWidget(GroupBoxWave);

    GroupBoxTide = NamedGroup(TabSheet1, "GroupBoxTide", QStringLiteral("潮位"));
    auto* tide = new QGridLayout(GroupBoxTide);
    EditFLTide = NamedEdit(GroupBoxTide, "EditFLTide", "");
    Button3 = DialogButton(GroupBoxTide, "Button3", QStringLiteral("参照"));
    ComboBoxTide = Combo(GroupBoxTide, "ComboBoxTide");
    EditMSL = NamedEdit(GroupBoxTide, "EditMSL", "0");
    tide->addWidget(new QLabel(QStringLiteral("ファイル："), GroupBoxTide), 0, 0);
    tide->addLayout(FileRow(EditFLTide, Button3), 0, 1, 1, 2);
    tide->addWidget(new QLabel(QStringLiteral("潮位(m)："), GroupBoxTide), 1, 0);
    tide->addWidget(ComboBoxTide, 1, 1);
    tide->addWidget(new QLabel(QStringLiteral("潮位基準面から測ったＭＳＬの高さ（ｍ）："), GroupBoxTide), 2, 0, 1, 2);
    tide->addWidget(EditMSL, 2, 2);
    input->addWidget(GroupBoxTide);
    input->addStretch();
    PageControl1->addTab(TabSheet1, QStringLiteral("入力"));

    // --- 出力 ---
    TabSheet2 = new QWidget(PageControl1);
    TabSheet2->setObjectName("TabSheet2");
    auto* output = new QVBoxLayout(TabSheet2);
    auto* items = NamedGroup(TabSheet2, "GroupBoxItems", QStringLiteral("保存項目"));
    auto* itemsLayout = new QVBoxLayout(items);
    auto* copies = new QHBoxLayout;
    CheckBoxTide = Check(items, "CheckBoxTide", QStringLiteral("潮位"));
    CheckBoxHs = Check(items, "CheckBoxHs", QStringLiteral("沖波波高"));
    CheckBoxTs = Check(items, "CheckBoxTs", QStringLiteral("沖波周期"));
    copies->addWidget(CheckBoxTide);
    copies->addWidget(CheckBoxHs);
    copies->addWidget(CheckBoxTs);
    itemsLayout->addLayout(copies);
    RadioGroupOutput = new RadioGroup(QStringLiteral("計算パラメータ"),
                                      {QStringLiteral("rms流速 Urms"), QStringLiteral("rms流速振幅 Um"),
                                       QStringLiteral("有義流速振幅 Us")},
                                      items);
    RadioGroupOutput->setObjectName("RadioGroupOutput");
    RadioGroupOutput->SetItemIndex(0);
    itemsLayout->addWidget(RadioGroupOutput);
    output->addWidget(items);

    auto* optionsBox = NamedGroup(TabSheet2, "GroupBoxOptions", QStringLiteral("オプション"));
    auto* optionsLayout = new QVBoxLayout(optionsBox);
    CheckBoxUmax = Check(optionsBox, "CheckBoxUmax", QStringLiteral("計算領域での最大値"));
    CheckBoxXmax = Check(optionsBox, "CheckBoxXmax", QStringLiteral("最大値の現れる位置（水深）"));
    optionsLayout->addWidget(CheckBoxUmax);
    optionsLayout->addWidget(CheckBoxXmax);
    output->addWidget(optionsBox);

    auto* fileBox = NamedGroup(TabSheet2, "GroupBoxFile", QStringLiteral("ファイル"));
    auto* fileLayout = new QHBoxLayout(fileBox);
    EditFLOutput = NamedEdit(fileBox, "EditFLOutput", "");
    Button2 = DialogButton(fileBox, "Button2", QStringLiteral("参照"));
    fileLayout->addWidget(EditFLOutput);
    fileLayout->addWidget(Button2);
    output->addWidget(fileBox);
    output->addStretch();
    PageControl1->addTab(TabSheet2, QStringLiteral("出力"));
    PageControl1->setCurrentWidget(TabSheet2);

    BitBtn1 = DialogButton(this, "BitBtn1", QStringLiteral("計算"));
    BitBtn1->setDefault(true);
    BitBtn2 = DialogButton(this, "BitBtn2", QStringLiteral("キャンセル"));
    ScrolledBody(this, body, ButtonRow({BitBtn1, BitBtn2}));

    connect(Button1, &QPushButton::clicked, this, [this] { RunGuarded(ctx_, [this] { Button1Click(); }); });
    connect(Button3, &QPushButton::clicked, this, [this] { RunGuarded(ctx_, [this] { Button3Click(); }); });
    connect(Button2, &QPushButton::clicked, this, [this] { RunGuarded(ctx_, [this] { Button2Click(); }); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
}

void TFrmWaveVelSeries::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    closing_ = false;
    RunGuarded(ctx_, [this] { FormShow(); });
}

void TFrmWaveVelSeries::done(int result) {
    // The loop lets window events through; closing then would pull the shoaling window
    // away from under it. The progress dialog's cancel button stops a run.
    if (running_) return;
    if (!closing_) {
        closing_ = true;
        RunGuarded(ctx_, [this] { FormClose(); });
    }
    QDialog::done(result);
}

void TFrmWaveVelSeries::FormShow() {
    TFrmShoaling* sh = ctx_.shoaling;
    if (sh) {
        sh->RadioGroupH0->SetItemIndex(0);
        sh->RadioGroupT0->SetItemIndex(0);
        sh->RadioGroupYAxis->SetItemIndex(0);
        // A child of this modal window, so that its modality leaves the shoaling window usable.
        sh->EnterServiceMode(this);
        sh->show();
    }
    const std::string wave = S(EditFLWave->text()), tide = S(EditFLTide->text());
    if (orvane::FileExists(wave) && orvane::FileExists(tide) && !EditFLOutput->text().isEmpty()) {
        FillWaveChannels();
        FillTideChannels();
    }
}

void TFrmWaveVelSeries::FormClose() {
    SavedTideChannel = ComboBoxTide->currentIndex();
    SavedHsChannel = ComboBoxHs->currentIndex();
    SavedTsChannel = ComboBoxTs->currentIndex();
    if (TFrmShoaling* sh = ctx_.shoaling) {
        sh->LeaveServiceMode();
        sh->hide();
    }
}

void TFrmWaveVelSeries::FillWaveChannels() {
    if (EditFLWave->text().isEmpty() || !ctx_.sdfData->OpenSeriesHeader(S(EditFLWave->text()))) return;
    const orvane::SeriesHeader& h = ctx_.sdfData->Header();
    ComboBoxHs->clear();
    ComboBoxTs->clear();
    for (int c = 0; c < h.NchInterval; ++c) {
        ComboBoxHs->addItem(Q(h.ItemName[c]));
        ComboBoxTs->addItem(Q(h.ItemName[c]));
    }
    // Heights usually follow the first channel of a wave recorder's file.
    ComboBoxHs->setCurrentIndex(SavedHsChannel < h.NchInterval ? SavedHsChannel : 1);
    ComboBoxTs->setCurrentIndex(SavedTsChannel < h.NchInterval ? SavedTsChannel : 0);
}

void TFrmWaveVelSeries::FillTideChannels() {
    if (EditFLTide->text().isEmpty() || !ctx_.sdfData->OpenSeriesHeader(S(EditFLTide->text()))) return;
    const orvane::SeriesHeader& h = ctx_.sdfData->Header();
    ComboBoxTide->clear();
    for (int c = 0; c < h.NchInterval; ++c) ComboBoxTide->addItem(Q(h.ItemName[c]));
    ComboBoxTide->setCurrentIndex(SavedTideChannel < h.NchInterval ? SavedTideChannel : 0);
}

QString TFrmWaveVelSeries::BrowseInput(QLineEdit* box) {
    const QString current = box->text();
    return ChooseFile(ctx_, this, QString(), DialogFilter(kInputFilter), current, false, DialogPurpose::SeriesInput);
}

void TFrmWaveVelSeries::Button1Click() {
    const QString chosen = BrowseInput(EditFLWave);
    if (chosen.isEmpty()) return;
    EditFLWave->setText(chosen);
    FillWaveChannels();
}

void TFrmWaveVelSeries::Button3Click() {
    const QString chosen = BrowseInput(EditFLTide);
    if (chosen.isEmpty()) return;
    EditFLTide->setText(chosen);
    FillTideChannels();
}

void TFrmWaveVelSeries::Button2Click() {
    const QString chosen = ChooseFile(ctx_, this, QString(), DialogFilter(kOutputFilter), EditFLOutput->text(), true,
                                      DialogPurpose::SeriesOutput);
    if (chosen.isEmpty()) return;
    EditFLOutput->setText(Q(orvane::ChangeFileExt(S(chosen), ".tsd")));
}

bool TFrmWaveVelSeries::FilesChosen() {
    // Without them nothing can run: say which is missing and keep the window open, rather
    // than close it as if a run had ended.
    struct Need { QLineEdit* box; QWidget* tab; const char* missing; const char* absent; };
    const Need needs[] = {
        {EditFLWave, TabSheet1, "沖波のファイルを指定して下さい。", "沖波のファイルが見つかりません："},
        {EditFLTide, TabSheet1, "潮位のファイルを指定して下さい。", "潮位のファイルが見つかりません："},
        {EditFLOutput, TabSheet2, "出力ファイルを指定して下さい。", nullptr}};
    for (const Need& n : needs) {
        const std::string name = S(n.box->text());
        std::string message;
        if (name.empty()) message = n.missing;
        else if (n.absent && !orvane::FileExists(name)) message = std::string(n.absent) + "\n" + name;
        if (message.empty()) continue;
        PageControl1->setCurrentWidget(n.tab);
        ctx_.prompter->Error(message);
        n.box->setFocus();
        return false;
    }
    return true;
}

void TFrmWaveVelSeries::BitBtn1Click() {
    if (running_) return;
    running_ = true;
    filesMissing_ = false;
    BitBtn1->setEnabled(false);
    BitBtn2->setEnabled(false);
    RunGuarded(ctx_, [this] { Compute(); });
    running_ = false;
    BitBtn1->setEnabled(true);
    BitBtn2->setEnabled(true);
    if (filesMissing_) return;
    if (ctx_.progressSink) ctx_.progressSink->Hide();
    if (TFrmShoaling* sh = ctx_.shoaling) {
        orvane::ShoalingRun& run = sh->Run();
        run.RecordedDistance.clear();
        run.RecordedHeight.clear();
        run.RecordedSetup.clear();
    }
    done(QDialog::Accepted);
}

void TFrmWaveVelSeries::BitBtn2Click() { done(QDialog::Rejected); }

void TFrmWaveVelSeries::Compute() {
    using namespace orvane;
    TFrmShoaling* sh = ctx_.shoaling;
    TFrmSDFdata* sdf = ctx_.sdfData;
    Prompter& prompter = *ctx_.prompter;
    Progress& progress = *ctx_.progressSink;

    if (!orvane::SurfZoneModelOf(sh->RadioGroupMethod->ItemIndex()).random) {
        sh->RadioGroupMethod->SetItemIndex(1);
        sh->ShowTab(ShoalingTab::Method);
        prompter.Error(orvane::msg::kNotForRegularWaves);
        return;
    }
    ShoalingRun& run = sh->Run();
    if (CheckBoxUmax->isChecked() || CheckBoxXmax->isChecked()) run.RecordProfile = true;

    if (!FilesChosen()) {
        filesMissing_ = true;
        return;
    }
    VelocityInputFiles files;
    files.waveFile = S(EditFLWave->text());
    files.tideFile = S(EditFLTide->text());
    const std::string outputName = S(EditFLOutput->text());
    files.hsChannel = HsChannel = ComboBoxHs->currentIndex();
    files.tsChannel = TsChannel = ComboBoxTs->currentIndex();
    files.tideChannel = TideChannel = ComboBoxTide->currentIndex();
    files.hsFactor = StrToFloat(S(EditCHs->text()));
    files.tsFactor = StrToFloat(S(EditCTs->text()));
    SeriesStore& store = sdf->Store();
    if (!ReadVelocityInputs(store, files, Inputs, prompter, progress)) return;

    VelocityOptions options;
    options.copyHs = CheckBoxHs->isChecked();
    options.copyTs = CheckBoxTs->isChecked();
    options.copyTide = CheckBoxTide->isChecked();
    options.output = std::max(0, RadioGroupOutput->ItemIndex());
    options.velMax = CheckBoxUmax->isChecked();
    options.placeMax = CheckBoxXmax->isChecked();
    sh->UpdateRunInputs();
    run.ParseEstimationPoints(S(sh->EdtCalPoint->text()));
    if (!SetUpVelocityOutput(store, options, run)) {
        progress.Hide();
        prompter.Error(msg::kNoEstimationPoints);
        sh->ShowTab(ShoalingTab::Estimation);
        sh->EdtCalPoint->setFocus();
        return;
    }

    sdf->EditFileName->setText(EditFLOutput->text());
    // The reading is over: no empty progress box behind the save window.
    progress.Hide();
    if (sdf->ShowSaveWindowForResult(HasSdfExtension(outputName) ? 0 : 1) != 1) return;

    options.Kr = Kr = StrToFloat(S(EditKr->text()));
    options.MSL = StrToFloat(S(EditMSL->text()));
    CheckCoefficients(store.header);
    const VelocitySeriesRequest request{Inputs, options, store.header, ctx_.constants, 1};
    VelocitySeriesResult result = RunVelocitySeries(request, run, progress, prompter);
    VelocityRunResult& r = result.run;
    if (!r.completed) {
        if (!r.prepare.ok) {
            if (r.prepare.resetCalPoint) sh->EdtCalPoint->setText(QStringLiteral("0.01"));
            sh->ShowTab(r.prepare.tab);
        }
        return;
    }
    RunStart = r.runStart;
    RunEnd = r.runEnd;
    StoreVelocityValues(result.values, store, r.outOfRange);
    WriteResultFile(store, store.OutputFileName);
    prompter.Information(VelocityFinishedMessage(r) + (Inputs.TideNote.empty() ? "" : "\n" + Inputs.TideNote));
}
