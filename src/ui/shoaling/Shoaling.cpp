#include "ui/shoaling/Shoaling.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QStyle>
#include <QVBoxLayout>

#include "core/runtime/Errors.h"
#include "core/runtime/NumberText.h"
#include "core/runtime/TextFile.h"
#include "ui/app/Desktop.h"
#include "ui/app/Guard.h"
#include "ui/chart/AxisSet.h"
#include "ui/chart/ChartActions.h"
#include "ui/help/Help.h"
#include "ui/shoaling/ModelCompare.h"
#include "ui/widgets/Controls.h"
#include "ui/widgets/ToolButton.h"

using orvane::ShoalingTab;

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }
double Real(const QLineEdit* e) { return orvane::StrToFloat(S(e->text())); }

}  // namespace

// What a run draws and writes, mapped onto Chart1 and Memo1.
class ShoalingWindowOutput : public orvane::ShoalingOutput {
public:
    explicit ShoalingWindowOutput(TFrmShoaling& w) : w_(w) {}
    void ClearHeightLine(const std::string& title) override {
        w_.Chart1->ClearSeries(w_.SeriesWaveHeight);
        w_.Chart1->SetSeriesTitle(w_.SeriesWaveHeight, Q(title));
    }
    void AddHeightPoint(double x, double y) override { w_.Chart1->AddPoint(w_.SeriesWaveHeight, x, y); }
    void SetLeftAxisTitle(const std::string& title) override {
        w_.Chart1->SetAxisTitle(ChartAxis::Left, Q(title));
    }
    void ClearProfileArea() override { w_.Chart1->ClearSeries(w_.SeriesProfile); }
    void AddProfilePoint(double x, double y) override { w_.Chart1->AddPoint(w_.SeriesProfile, x, y); }
    void SetBottomAxisRange(double a, double b) override { w_.Chart1->SetAxisRange(ChartAxis::Bottom, a, b); }
    void SetBottomAxisAutomatic() override { w_.Chart1->SetAxisAutomatic(ChartAxis::Bottom, true); }
    void ShowProfileAxes(int axisMode) override {
        const bool distance = axisMode == 1;
        w_.Chart1->SetSeriesActive(w_.SeriesProfile, distance);
        w_.Chart1->SetLegendVisible(distance);
        if (distance) w_.Chart1->SetSeriesTitle(w_.SeriesProfile, QStringLiteral("h"));
        w_.Chart1->SetAxisTitle(ChartAxis::Bottom, Q(orvane::BottomAxisTitle(axisMode)));
        w_.Chart1->SetAxisTitle(ChartAxis::Right, Q(orvane::RightAxisTitle(axisMode)));
    }
    void ClearReport() override { w_.Memo1->clear(); }
    void AddReportLine(const std::string& line) override { w_.Memo1->appendPlainText(Q(line)); }
    void ProcessEvents() override { QApplication::processEvents(); }

private:
    TFrmShoaling& w_;
};

TFrmShoaling::TFrmShoaling(AppContext& ctx, QWidget* parent)
    : QDialog(parent), ctx_(ctx), run_(ctx.constants) {
    setObjectName("TFrmShoaling");
    setWindowTitle(QStringLiteral("波高の浅水変化の計算"));
    resize(1000, 560);
    output_ = std::make_unique<ShoalingWindowOutput>(*this);

    auto* chartPanel = new QWidget(this);
    chartPanel->setObjectName("PanelChart");
    BuildChart(chartPanel);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    const QString titles[5] = {QStringLiteral("条件"), QStringLiteral("海底断面"), QStringLiteral("計算方法"),
                               QStringLiteral("グラフ"), QStringLiteral("推定位置")};
    QWidget* pages[5];
    for (int i = 0; i < 5; ++i) {
        pages[i] = new QWidget(PageControl1);
        pages[i]->setObjectName(QStringLiteral("TabSheet%1").arg(i + 1));
        PageControl1->addTab(pages[i], titles[i]);
    }
    BuildConditionsTab(pages[0]);
    BuildProfileTab(pages[1]);
    BuildMethodTab(pages[2]);
    BuildGraphTab(pages[3]);
    BuildEstimationTab(pages[4]);
    PageControl1->setMinimumWidth(380);

    BitBtn1 = DialogButton(this, "BitBtn1", QStringLiteral("計算"), true);
    BitBtn2 = DialogButton(this, "BitBtn2", QStringLiteral("閉じる"));

    // Chart and tabs scroll when the screen is smaller than the window (a laptop, a scale
    // factor of 2); the two buttons stay in view below them.
    auto* content = new QWidget;
    content->setObjectName("PanelContent");
    auto* outer = new QHBoxLayout(content);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(chartPanel, 3);
    outer->addWidget(PageControl1, 2);
    ScrolledBody(this, content, ButtonRow({BitBtn1, BitBtn2}));

    auto guarded = [this](void (TFrmShoaling::*handler)()) {
        return [this, handler] { RunGuarded(ctx_, [this, handler] { (this->*handler)(); }); };
    };
    connect(BitBtn1, &QPushButton::clicked, this, guarded(&TFrmShoaling::BitBtn1Click));
    connect(BitBtn2, &QPushButton::clicked, this, guarded(&TFrmShoaling::BitBtn2Click));
    connect(BitBtn3, &QPushButton::clicked, this, guarded(&TFrmShoaling::BitBtn3Click));
    connect(BitBtn4, &QPushButton::clicked, this, guarded(&TFrmShoaling::BitBtn4Click));
    connect(Button1, &QPushButton::clicked, this, guarded(&TFrmShoaling::Button1Click));
    connect(EditFileName, &QLineEdit::textChanged, this, guarded(&TFrmShoaling::EditFileNameChange));
    connect(RadioGroupObsPos, &RadioGroup::itemIndexChanged, this, guarded(&TFrmShoaling::RadioGroupObsPosClick));
    connect(RadioGroupMethod, &RadioGroup::itemIndexChanged, this, guarded(&TFrmShoaling::RadioGroupMethodClick));
    connect(RadioGroupProfile, &RadioGroup::itemIndexChanged, this, guarded(&TFrmShoaling::RadioGroupProfileClick));
    connect(RadioGroupXAxis, &RadioGroup::itemIndexChanged, this, guarded(&TFrmShoaling::RadioGroupXAxisClick));
    connect(ToolButton1, &QToolButton::clicked, this, guarded(&TFrmShoaling::ToolButton1Click));
    connect(ToolButton2, &QToolButton::clicked, this, guarded(&TFrmShoaling::ToolButton2Click));
    connect(ToolButton3, &QToolButton::clicked, this, guarded(&TFrmShoaling::ToolButton3Click));
    connect(ToolButton4, &QToolButton::clicked, this, guarded(&TFrmShoaling::ToolButton4Click));
    connect(ToolButton5, &QToolButton::clicked, this, guarded(&TFrmShoaling::ToolButton5Click));
    connect(ToolButton6, &QToolButton::clicked, this, guarded(&TFrmShoaling::ToolButton6Click));
    connect(Chart1, &ChartView::PointClicked, this, [this](int s, int i) {
        RunGuarded(ctx_, [&] { Chart1ClickSeries(s, i); });
    });
    connect(Chart1, &ChartView::AxisClicked, this, [this](ChartAxis a) {
        RunGuarded(ctx_, [&] { Chart1ClickAxis(a); });
    });

    // FormCreate: nothing loaded yet; the groups of the first method.
    run_.ProfileLoaded = false;
    RadioGroupMethodClick();
    RadioGroupProfileClick();
    RadioGroupObsPosClick();
    RadioGroupXAxisClick();
}

TFrmShoaling::~TFrmShoaling() = default;

void TFrmShoaling::BuildConditionsTab(QWidget* page) {
    auto* v = new QVBoxLayout(page);
    GroupBox1 = NamedGroup(page, "GroupBox1", QStringLiteral("沖波条件"));
    auto* f = new QFormLayout;
    EdtH0 = NamedEdit(GroupBox1, "EdtH0", QStringLiteral("2.78"));
    EdtT0 = NamedEdit(GroupBox1, "EdtT0", QStringLiteral("9"));
    f->addRow(NamedLabel(GroupBox1, "LabelH0", QStringLiteral("波高 H(m)：")), EdtH0);
    f->addRow(NamedLabel(GroupBox1, "LabelT0", QStringLiteral("周期 T(s)：")), EdtT0);
    RadioGroupH0 = NamedRadioGroup(GroupBox1, "RadioGroupH0", QString(),
                                   {QStringLiteral("有義波高"), QStringLiteral("ｒｍｓ波高")}, 0);
    RadioGroupT0 = NamedRadioGroup(GroupBox1, "RadioGroupT0", QString(),
                                   {QStringLiteral("有義波周期"), QStringLiteral("ｽﾍﾟｸﾄﾙﾋﾟｰｸ周期")}, 0);
    auto* kinds = new QHBoxLayout;
    kinds->addWidget(RadioGroupH0);
    kinds->addWidget(RadioGroupT0);
    auto* g1 = new QVBoxLayout(GroupBox1);
    g1->addLayout(f);
    g1->addLayout(kinds);
    v->addWidget(GroupBox1);

    GroupBox3 = NamedGroup(page, "GroupBox3", QStringLiteral("潮位"));
    auto* f3 = new QFormLayout(GroupBox3);
    EditdMSL = NamedEdit(GroupBox3, "EditdMSL", QStringLiteral("0"));
    f3->addRow(NamedLabel(GroupBox3, "LabelMSL", QStringLiteral("平均海面からの高さ(m)：")), EditdMSL);
    v->addWidget(GroupBox3);

    RadioGroupObsPos = NamedRadioGroup(page, "RadioGroupObsPos", QStringLiteral("沖波観測点"),
                                       {QStringLiteral("深海"), QStringLiteral("任意の位置")}, 0);
    LabeledEditObsPos = new LabeledEdit("LabeledEditObsPos", QStringLiteral("観測水深(m)："), QString(), page);
    v->addWidget(RadioGroupObsPos);
    v->addWidget(LabeledEditObsPos);
    v->addStretch();
}

void TFrmShoaling::BuildProfileTab(QWidget* page) {
    auto* v = new QVBoxLayout(page);
    RadioGroupProfile = NamedRadioGroup(page, "RadioGroupProfile", QString(),
                                        {QStringLiteral("一定勾配"), QStringLiteral("任意地形")}, 0);
    v->addWidget(RadioGroupProfile);

    GroupBoxSlope = NamedGroup(page, "GroupBoxSlope", QStringLiteral("一定勾配"));
    auto* fs = new QFormLayout(GroupBoxSlope);
    EdtSlope = NamedEdit(GroupBoxSlope, "EdtSlope", QStringLiteral("0.1"));
    fs->addRow(NamedLabel(GroupBoxSlope, "LabelSlope", QStringLiteral("海底勾配：")), EdtSlope);
    v->addWidget(GroupBoxSlope);

    GroupBoxProfile = NamedGroup(page, "GroupBoxProfile", QStringLiteral("海底断面データ"));
    auto* grid = new QGridLayout(GroupBoxProfile);
    EditFileName = NamedEdit(GroupBoxProfile, "EditFileName", QString());
    Button1 = DialogButton(GroupBoxProfile, "Button1", QStringLiteral("参照"));
    grid->addWidget(NamedLabel(GroupBoxProfile, "LabelFileName", QStringLiteral("ファイル名：")), 0, 0);
    grid->addWidget(EditFileName, 0, 1);
    grid->addWidget(Button1, 0, 2);
    LabelDist = NamedLabel(GroupBoxProfile, "LabelDist", QStringLiteral("離岸距離："));
    ComboBoxDist = new QComboBox(GroupBoxProfile);
    ComboBoxDist->setObjectName("ComboBoxDist");
    LabelDepth = NamedLabel(GroupBoxProfile, "LabelDepth", QStringLiteral("水深："));
    ComboBoxDepth = new QComboBox(GroupBoxProfile);
    ComboBoxDepth->setObjectName("ComboBoxDepth");
    grid->addWidget(LabelDist, 1, 0);
    grid->addWidget(ComboBoxDist, 1, 1, 1, 2);
    grid->addWidget(LabelDepth, 2, 0);
    grid->addWidget(ComboBoxDepth, 2, 1, 1, 2);
    BitBtn3 = DialogButton(GroupBoxProfile, "BitBtn3", QStringLiteral("読込み"));
    grid->addWidget(BitBtn3, 3, 2);
    v->addWidget(GroupBoxProfile);
    v->addStretch();
}

void TFrmShoaling::BuildMethodTab(QWidget* page) {
    auto* v = new QVBoxLayout(page);
    QStringList methods;
    for (const orvane::SurfZoneModel& m : orvane::SurfZoneModels()) methods << QString::fromUtf8(m.japaneseName);
    RadioGroupMethod = NamedRadioGroup(page, "RadioGroupMethod", QStringLiteral("計算方法"), methods, 0);
    v->addWidget(RadioGroupMethod);
    BitBtn4 = DialogButton(page, "BitBtn4", QStringLiteral("解説"));
    auto* h = new QHBoxLayout;
    h->addStretch();
    h->addWidget(BitBtn4);
    v->addLayout(h);
    v->addStretch();
}

void TFrmShoaling::BuildGraphTab(QWidget* page) {
    auto* v = new QVBoxLayout(page);
    auto* range = NamedGroup(page, "GroupBoxRange", QStringLiteral("表示範囲"));
    auto* rv = new QVBoxLayout(range);
    RadioGroupXAxis = NamedRadioGroup(range, "RadioGroupXAxis", QString(),
                                      {QStringLiteral("水深"), QStringLiteral("離岸距離")}, 0);
    rv->addWidget(RadioGroupXAxis);
    auto* f = new QFormLayout;
    EditOffshoreEnd = NamedEdit(range, "EditOffshoreEnd", QStringLiteral("10"));
    EditOnshoreEnd = NamedEdit(range, "EditOnshoreEnd", QStringLiteral("0.1"));
    f->addRow(NamedLabel(range, "LabelOffshoreEnd", QStringLiteral("沖側端点：")), EditOffshoreEnd);
    f->addRow(NamedLabel(range, "LabelOnshoreEnd", QStringLiteral("岸側端点：")), EditOnshoreEnd);
    rv->addLayout(f);
    v->addWidget(range);
    RadioGroupYAxis = NamedRadioGroup(page, "RadioGroupYAxis", QStringLiteral("表示データ"), {}, 0);
    RadioGroupYAxis->SetColumns(2);
    v->addWidget(RadioGroupYAxis);
    v->addStretch();
}

void TFrmShoaling::BuildEstimationTab(QWidget* page) {
    auto* v = new QVBoxLayout(page);
    LblCalPoint = NamedLabel(page, "LblCalPoint", QStringLiteral("推定位置の水深 (m)："));
    EdtCalPoint = NamedEdit(page, "EdtCalPoint", QStringLiteral("2,4,6"));
    EdtCalPoint->setToolTip(QStringLiteral("複数の水深を入力する場合にはカンマで区切りで入力して下さい。"));
    Memo1 = new QPlainTextEdit(page);
    Memo1->setObjectName("Memo1");
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    v->addWidget(LblCalPoint);
    v->addWidget(EdtCalPoint);
    v->addWidget(Memo1, 1);
}

void TFrmShoaling::BuildChart(QWidget* panel) {
    auto* v = new QVBoxLayout(panel);
    v->setContentsMargins(0, 0, 0, 0);
    ToolBar1 = new QToolBar(panel);
    ToolBar1->setObjectName("ToolBar1");
    auto tool = [this](const char* name, QStyle::StandardPixmap icon, const QString& hint) {
        return AddToolButton(ToolBar1, name, icon, hint);
    };
    ToolButton1 = tool("ToolButton1", QStyle::SP_FileDialogContentsView, QStringLiteral("印刷プレビュー"));
    ToolButton2 = tool("ToolButton2", QStyle::SP_DialogSaveButton, QStringLiteral("グラフの保存"));
    ToolButton4 = tool("ToolButton4", QStyle::SP_DriveFDIcon, QStringLiteral("画像として保存"));
    ToolButton5 = tool("ToolButton5", QStyle::SP_BrowserReload, QStringLiteral("表示範囲に戻す"));
    ToolButton3 = tool("ToolButton3", QStyle::SP_MessageBoxQuestion, QStringLiteral("ヘルプ"));
    ToolButton6 = new QToolButton(ToolBar1);
    ToolButton6->setObjectName("ToolButton6");
    ToolButton6->setText(QStringLiteral("モデル比較"));
    ToolButton6->setToolTip(QStringLiteral("同じ条件で適用できるすべての計算方法を計算し、一つのグラフと表で比べます"));
    ToolBar1->addWidget(ToolButton6);
    v->addWidget(ToolBar1);

    Chart1 = new ChartView(panel);
    Chart1->setObjectName("Chart1");
    Chart1->setMinimumSize(420, 320);
    Chart1->SetTitle(QStringLiteral("波高の水深変化"));
    // The profile goes first so that the height line is drawn over it.
    SeriesProfile = Chart1->AddAreaSeries(QStringLiteral("h"), Qt::red, ChartAxis::Right);
    SeriesWaveHeight = Chart1->AddLineSeries(QString(), Qt::blue, 2, ChartAxis::Left);
    Chart1->SetSeriesActive(SeriesProfile, false);
    Chart1->SetSeriesActive(SeriesWaveHeight, false);
    Chart1->SetLegendVisible(false);
    Chart1->SetAxisTitle(ChartAxis::Bottom, Q(orvane::BottomAxisTitle(0)));
    v->addWidget(Chart1, 1);
}

// --- keeping the run in step with the controls ------------------------------------------

void TFrmShoaling::SyncChoices() { ReadChoices(run_); }

void TFrmShoaling::ReadChoices(orvane::ShoalingRun& run) const {
    orvane::ShoalingInputs& in = run.Inputs;
    in.Method = std::max(0, RadioGroupMethod->ItemIndex());
    in.HeightKind = std::max(0, RadioGroupH0->ItemIndex());
    in.PeriodKind = std::max(0, RadioGroupT0->ItemIndex());
    in.ObsPos = std::max(0, RadioGroupObsPos->ItemIndex());
    in.ProfileMode = std::max(0, RadioGroupProfile->ItemIndex());
    in.XAxis = std::max(0, RadioGroupXAxis->ItemIndex());
    in.DisplayIndex = std::max(0, RadioGroupYAxis->ItemIndex());
    in.ProfileFile = S(EditFileName->text());
    if (ComboBoxDist->currentIndex() >= 0) run.DistanceColumn = ComboBoxDist->currentIndex();
    if (ComboBoxDepth->currentIndex() >= 0) run.DepthColumn = ComboBoxDepth->currentIndex();
}

void TFrmShoaling::UpdateRunInputs() { ReadControls(run_); }

void TFrmShoaling::ReadControls(orvane::ShoalingRun& run, bool withObsPos) const {
    ReadChoices(run);
    run.CopyConstants(ctx_.constants);
    orvane::ShoalingInputs& in = run.Inputs;
    // Boxes that the chosen options leave unused are not converted, so that a stale text
    // there does not stop the run.
    in.OnshoreEndValue = Real(EditOnshoreEnd);
    in.OffshoreEndValue = Real(EditOffshoreEnd);
    if (in.ProfileMode == 0) in.Slope = Real(EdtSlope);
    if (in.ObsPos == 1 && withObsPos) in.ObsPosValue = orvane::StrToFloat(S(LabeledEditObsPos->text()));
}

void TFrmShoaling::ShowTab(ShoalingTab tab) {
    switch (tab) {
    case ShoalingTab::Conditions: PageControl1->setCurrentIndex(0); break;
    case ShoalingTab::Profile: PageControl1->setCurrentIndex(1); break;
    case ShoalingTab::Method: PageControl1->setCurrentIndex(2); break;
    case ShoalingTab::Graph: PageControl1->setCurrentIndex(3); break;
    case ShoalingTab::Estimation: PageControl1->setCurrentIndex(4); break;
    case ShoalingTab::None: break;
    }
}

orvane::PrepareResult TFrmShoaling::PrepareServiceRun() {
    UpdateRunInputs();
    run_.ParseEstimationPoints(S(EdtCalPoint->text()));
    const orvane::PrepareResult r = run_.PrepareRun(*output_, *ctx_.prompter, orvane::PrepareMode::PerSample);
    if (r.resetCalPoint) EdtCalPoint->setText(QStringLiteral("0.01"));
    if (r.profileRead) ShowDisplayRange();
    ShowTab(r.tab);
    return r;
}

void TFrmShoaling::EnterServiceMode(QWidget* host) {
    // Beside the tool the window may be narrowed; the menu opens it at its own size again.
    if (!serviceMode_) ownSize_ = size();
    serviceMode_ = true;
    if (host) {
        if (parentWidget() != host) setParent(host, windowFlags());
        PlaceBeside(this, host);
    }
    GroupBox1->setVisible(false);
    GroupBox3->setVisible(false);
    BitBtn1->setVisible(false);
    BitBtn2->setVisible(false);
    RadioGroupH0->setEnabled(false);
    RadioGroupT0->setEnabled(false);
    RadioGroupYAxis->setEnabled(false);
    run_.Interactive = false;
}

void TFrmShoaling::LeaveServiceMode() {
    serviceMode_ = false;
    RadioGroupH0->setEnabled(true);
    RadioGroupT0->setEnabled(true);
    RadioGroupYAxis->setEnabled(true);
    BitBtn1->setVisible(true);
    BitBtn2->setVisible(true);
    if (ownSize_.isValid()) resize(ownSize_);
    // The two groups come back when the main menu opens the window again.
    QWidget* main = MainWindow(ctx_);
    if (main && parentWidget() != main) setParent(main, windowFlags());
}

// --- event handlers ---------------------------------------------------------------------

void TFrmShoaling::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    RunGuarded(ctx_, [this] { FormShow(); });
}

void TFrmShoaling::hideEvent(QHideEvent* event) {
    RunGuarded(ctx_, [this] { FormClose(); });
    QDialog::hideEvent(event);
}

void TFrmShoaling::FormShow() {
    run_.CopyConstants(ctx_.constants);
    RadioGroupObsPosClick();
    RadioGroupMethodClick();
    RadioGroupProfileClick();
    RadioGroupXAxisClick();
}

void TFrmShoaling::FormClose() {
    if (ComboBoxDist->currentIndex() >= 0) DistanceColumn = ComboBoxDist->currentIndex();
    if (ComboBoxDepth->currentIndex() >= 0) DepthColumn = ComboBoxDepth->currentIndex();
    run_.DistanceColumn = DistanceColumn;
    run_.DepthColumn = DepthColumn;
}

void TFrmShoaling::RadioGroupObsPosClick() {
    LabeledEditObsPos->setVisible(RadioGroupObsPos->ItemIndex() == 1);
}

void TFrmShoaling::RadioGroupMethodClick() {
    const int method = std::max(0, RadioGroupMethod->ItemIndex());
    const orvane::SurfZoneModel& model = orvane::SurfZoneModelOf(method);
    RadioGroupObsPos->setEnabled(false);
    RadioGroupObsPos->SetItemIndex(model.startsAtObservation ? 1 : 0);
    RadioGroupH0->setVisible(model.random);
    RadioGroupT0->setVisible(model.random);

    const int old = RadioGroupYAxis->ItemIndex();
    const QString remembered = old >= 0 && old < RadioGroupYAxis->Items().size() ? RadioGroupYAxis->Items()[old] : QString();
    QStringList items;
    unitSuffix_.clear();
    for (const orvane::DisplayItem& d : orvane::DisplayItemsFor(method)) {
        items << QString::fromUtf8(d.text);
        unitSuffix_.push_back(d.unit);
    }
    RadioGroupYAxis->SetItems(items);
    RadioGroupYAxis->SetItemIndex(0);
    const int same = items.indexOf(remembered);
    if (same >= 0) RadioGroupYAxis->SetItemIndex(same);
}

void TFrmShoaling::RadioGroupProfileClick() {
    if (RadioGroupProfile->ItemIndex() != 1) {
        GroupBoxSlope->setVisible(true);
        GroupBoxProfile->setVisible(false);
        RadioGroupXAxis->setEnabled(true);
        BitBtn1->setEnabled(true);
    } else {
        GroupBoxSlope->setVisible(false);
        GroupBoxProfile->setVisible(true);
        EditFileNameChange();
        RadioGroupXAxis->SetItemIndex(1);
        RadioGroupXAxis->setEnabled(false);
        BitBtn1->setEnabled(run_.ProfileLoaded);
    }
}

void TFrmShoaling::RadioGroupXAxisClick() {
    if (RadioGroupXAxis->ItemIndex() == 1) {
        LblCalPoint->setText(QStringLiteral("推定位置の離岸距離 (m)："));
        LabeledEditObsPos->Label()->setText(QStringLiteral("観測点の離岸距離(m）"));
    } else {
        LblCalPoint->setText(QStringLiteral("推定位置の水深 (MSL基準, m)："));
        LabeledEditObsPos->Label()->setText(QStringLiteral("観測水深(MSL基準，m）"));
    }
}

void TFrmShoaling::EditFileNameChange() {
    const std::string path = S(EditFileName->text());
    const bool exists = !path.empty() && QFileInfo(EditFileName->text()).isFile();
    LabelDist->setVisible(exists);
    ComboBoxDist->setVisible(exists);
    LabelDepth->setVisible(exists);
    ComboBoxDepth->setVisible(exists);
    if (!exists) return;
    ComboBoxDist->clear();
    ComboBoxDepth->clear();
    const std::vector<std::string> fields = orvane::ShoalingRun::ReadProfileHeader(path);
    for (const std::string& f : fields) {
        ComboBoxDist->addItem(Q(f));
        ComboBoxDepth->addItem(Q(f));
    }
    const int n = static_cast<int>(fields.size());
    if (n > 0) {
        ComboBoxDist->setCurrentIndex(orvane::ShoalingRun::ColumnChoice(DistanceColumn, n));
        ComboBoxDepth->setCurrentIndex(orvane::ShoalingRun::ColumnChoice(DepthColumn, n));
    }
}

void TFrmShoaling::Button1Click() {
    const QString current = EditFileName->text();
    const QString start = current.isEmpty() ? QString() : QFileInfo(current).absolutePath();
    const QString name = ChooseFile(ctx_, this, QStringLiteral("海底断面データ"),
                                    QStringLiteral("カンマ区切りデータファイル (*.csv);;すべてのファイル (*)"), start, false,
                                    DialogPurpose::Profile);
    if (name.isEmpty()) return;
    if (name == current) EditFileNameChange();
    else EditFileName->setText(name);  // textChanged runs EditFileNameChange
}

// A profile read changes the display range; the boxes show the new ends.
void TFrmShoaling::ShowDisplayRange() {
    EditOnshoreEnd->setText(Q(orvane::FormatShortest(run_.Inputs.OnshoreEndValue)));
    EditOffshoreEnd->setText(Q(orvane::FormatShortest(run_.Inputs.OffshoreEndValue)));
}

void TFrmShoaling::BitBtn3Click() {
    SyncChoices();
    if (run_.LoadProfile(*output_, *ctx_.prompter)) {
        ShowDisplayRange();
        BitBtn1->setEnabled(true);
    }
    Chart1->ClearSeries(SeriesWaveHeight);
}

orvane::ShoalingRequest TFrmShoaling::Request(bool withObsPos) const {
    orvane::ShoalingRun controls = run_;  // the remembered columns
    ReadControls(controls, withObsPos);
    orvane::ShoalingRequest r;
    r.inputs = controls.Inputs;
    r.constants = ctx_.constants;
    r.distanceColumn = controls.DistanceColumn;
    r.depthColumn = controls.DepthColumn;
    if (r.inputs.ProfileMode == 1) r.UseLoadedProfile(run_);
    // A profile read for the run brings its own display range, as 読み込み does.
    r.onshoreEndGiven = r.offshoreEndGiven = false;
    return r;
}

orvane::ComparisonRequest TFrmShoaling::CompareRequest() const {
    return {Request(false), {S(EdtH0->text()), S(EdtT0->text()), S(EditdMSL->text()), S(EdtCalPoint->text()),
                             S(LabeledEditObsPos->text())}};
}

void TFrmShoaling::BitBtn1Click() {
    // The boxes in the order the original reads them; a zero period does nothing at all.
    const double tide = Real(EditdMSL);
    const double T = Real(EdtT0);
    if (T <= 0) return;
    const double H = Real(EdtH0);
    orvane::ShoalingRequest request = Request();
    request.tide = tide;
    request.period = T;
    request.height = H;
    request.points = orvane::ParsePoints(S(EdtCalPoint->text()));
    orvane::ShoalingResult r;
    try {
        r = orvane::RunShoaling(request, *ctx_.progressSink, *ctx_.prompter, output_.get(), &run_);
    } catch (...) {
        Chart1->ReplotNow();
        throw;
    }
    if (r.prepared.resetCalPoint) EdtCalPoint->setText(QStringLiteral("0.01"));
    if (r.prepared.profileRead) ShowDisplayRange();
    ShowTab(r.prepared.tab);
    if (r.prepared.ok) Chart1->SetSeriesActive(SeriesWaveHeight, true);
    if (r.ok) ShowTab(ShoalingTab::Estimation);
    Chart1->ReplotNow();
}

void TFrmShoaling::BitBtn2Click() { reject(); }

void TFrmShoaling::BitBtn4Click() { OpenHelpKeyword(ctx_, QStringLiteral("浅水変形モデル")); }

void TFrmShoaling::Chart1ClickSeries(int series, int index) {
    const double x = Chart1->PointX(series, index);
    const double y = Chart1->PointY(series, index);
    ctx_.prompter->Beep();
    ctx_.prompter->Information("X= " + orvane::FormatGeneral(x, 7) + ", Y= " + orvane::FormatGeneral(y, 7));
}

void TFrmShoaling::Chart1ClickAxis(ChartAxis axis) { OpenAxisDialog(ctx_, Chart1, axis); }

void TFrmShoaling::ToolButton1Click() { PreviewChart(ctx_, this, Chart1); }

std::vector<std::string> TFrmShoaling::ExportLines() const {
    std::vector<std::string> lines;
    const int n = Chart1->PointCount(SeriesWaveHeight);
    lines.reserve(static_cast<std::size_t>(n) + 1);
    lines.push_back(S(Chart1->AxisTitle(ChartAxis::Bottom)) + "," + S(Chart1->AxisTitle(ChartAxis::Left)));
    for (int i = 0; i < n; ++i) {
        lines.push_back(orvane::FormatGeneral(Chart1->PointX(SeriesWaveHeight, i), 7) + "," +
                        orvane::FormatGeneral(Chart1->PointY(SeriesWaveHeight, i), 7));
    }
    return lines;
}

void TFrmShoaling::ToolButton2Click() {
    const QString name = ChooseFile(ctx_, this, QStringLiteral("グラフの保存"),
                                    QStringLiteral("カンマ区切りデータファイル (*.csv)"), QString(), true,
                                    DialogPurpose::ChartCsv);
    if (name.isEmpty()) return;
    const std::string path = orvane::ChangeFileExt(S(name), ".csv");
    // Written whole or not at all: a failure keeps any older file of that name intact.
    orvane::WriteTextFileAtomic(path, ExportLines());
}

void TFrmShoaling::ToolButton3Click() { OpenHelpKeyword(ctx_, QStringLiteral("グラフ")); }

void TFrmShoaling::ToolButton4Click() { SaveChartImage(ctx_, this, Chart1); }

void TFrmShoaling::ToolButton5Click() { Chart1->ResetView(); }

void TFrmShoaling::ToolButton6Click() { ctx_.modelCompare->Execute(CompareRequest()); }
