#include "ui/shoaling/ModelCompare.h"

#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "core/runtime/Errors.h"
#include "core/runtime/NumberText.h"
#include "core/runtime/TextFile.h"
#include "core/app/SettingsFile.h"
#include "ui/app/ConstVal.h"
#include "ui/app/Desktop.h"
#include "ui/app/Guard.h"
#include "ui/chart/AxisSet.h"
#include "ui/chart/ChartActions.h"
#include "ui/help/Help.h"
#include "ui/widgets/Controls.h"
#include "ui/widgets/ToolButton.h"

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

const QString kCp932Filter = QStringLiteral("カンマ区切りデータファイル CP932 (*.csv)");
const QString kUtf8Filter = QStringLiteral("カンマ区切りデータファイル UTF-8 (*.csv)");
// The table shows up to this many rows before it scrolls.
constexpr int kTableRowsShown = 8;

}  // namespace

// The question about the region offshore of the observation point is answered once for the
// same inputs, not again at every opening; the progress box is hidden while it is asked, so
// that no half-filled bar stands behind it. Every other message goes through unchanged.
class TFrmModelCompare::AnswerKeeper : public orvane::Prompter {
public:
    AnswerKeeper(AppContext& ctx) : ctx_(ctx) {}
    std::string inputs;  // what the answer was given for

    orvane::MsgResult Message(orvane::MsgKind kind, const std::string& text, orvane::MsgButtons buttons) override {
        if (buttons != orvane::MsgButtons::YesNo) return ctx_.prompter->Message(kind, text, buttons);
        const std::string key = inputs + '\n' + text;
        if (key == answeredFor_) return answer_;
        if (ctx_.progressSink) ctx_.progressSink->Hide();
        answer_ = ctx_.prompter->Message(kind, text, buttons);
        answeredFor_ = key;
        return answer_;
    }
    void Plain(const std::string& text, const std::string& caption) override { ctx_.prompter->Plain(text, caption); }
    void Beep() override { ctx_.prompter->Beep(); }

private:
    AppContext& ctx_;
    std::string answeredFor_;
    orvane::MsgResult answer_ = orvane::MsgResult::No;
};

TFrmModelCompare::~TFrmModelCompare() = default;

TFrmModelCompare::TFrmModelCompare(AppContext& ctx, QWidget* parent)
    : QDialog(parent), ctx_(ctx), answers_(std::make_unique<AnswerKeeper>(ctx)) {
    setObjectName("TFrmModelCompare");
    setWindowTitle(QStringLiteral("モデルの比較"));
    resize(1300, 700);

    // Everything but 閉じる scrolls on a screen too small for the window.
    auto* body = new QWidget;
    body->setObjectName("PanelBody");
    ToolBar1 = new QToolBar(body);
    ToolBar1->setObjectName("ToolBar1");
    auto tool = [this](const char* name, QStyle::StandardPixmap icon, const QString& hint) {
        return AddToolButton(ToolBar1, name, icon, hint);
    };
    ToolButton1 = tool("ToolButton1", QStyle::SP_FileDialogContentsView, QStringLiteral("印刷プレビュー"));
    ToolButton2 = tool("ToolButton2", QStyle::SP_DialogSaveButton, QStringLiteral("曲線の保存 (CSV)"));
    ToolButton3 = tool("ToolButton3", QStyle::SP_FileDialogDetailedView, QStringLiteral("表の保存 (CSV)"));
    ToolButton4 = tool("ToolButton4", QStyle::SP_DriveFDIcon, QStringLiteral("画像として保存"));
    ToolButton5 = tool("ToolButton5", QStyle::SP_BrowserReload, QStringLiteral("表示範囲に戻す"));
    ToolButton6 = tool("ToolButton6", QStyle::SP_MessageBoxQuestion, QStringLiteral("ヘルプ"));

    RadioGroupHeight = NamedRadioGroup(body, "RadioGroupHeight", QStringLiteral("表示する波高"),
                                       {QStringLiteral("H・Hs"), QStringLiteral("Hrms")}, 0);
    RadioGroupHeight->setToolTip(QStringLiteral("Hrms は不規則波の3モデルだけにあります（規則波のモデルは H のまま）"));
    CheckBoxSetup = new QCheckBox(QStringLiteral("水位上昇 η を表示（右軸、破線）"), body);
    CheckBoxSetup->setObjectName("CheckBoxSetup");
    CheckBoxSetup->setChecked(true);
    CheckBoxSetup->setToolTip(QStringLiteral("η を表示しないときは、右軸に海底を描きます"));
    auto* choices = new QHBoxLayout;
    choices->addWidget(RadioGroupHeight);
    choices->addWidget(CheckBoxSetup);
    choices->addStretch();

    Chart1 = new ChartView(body);
    Chart1->setObjectName("Chart1");
    Chart1->setMinimumSize(360, 240);
    Chart1->SetTitle(QStringLiteral("波高の水深変化（モデルの比較）"));
    SeriesProfile = Chart1->AddAreaSeries(QStringLiteral("h"), Qt::red, ChartAxis::Right);
    for (const orvane::SurfZoneModel& model : orvane::SurfZoneModels()) {
        const QColor colour{QRgb(model.colour)};
        SeriesHeight.push_back(Chart1->AddLineSeries(QString(), colour, 2, ChartAxis::Left));
        SeriesHrms.push_back(Chart1->AddLineSeries(QString(), colour, 2, ChartAxis::Left));
        SeriesSetup.push_back(Chart1->AddLineSeries(QString(), colour, 1, ChartAxis::Right));
        Chart1->SetSeriesPenStyle(SeriesSetup.back(), Qt::DashLine);
        for (int s : {SeriesHeight.back(), SeriesHrms.back(), SeriesSetup.back()}) Chart1->SetSeriesActive(s, false);
    }
    Chart1->SetSeriesActive(SeriesProfile, false);
    Chart1->SetAxisTitle(ChartAxis::Left, QStringLiteral("波高 (m)"));
    Chart1->SetLegendColumns(4);

    Grid1 = new QTableWidget(body);
    Grid1->setObjectName("Grid1");
    Grid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid1->verticalHeader()->setVisible(false);
    Grid1->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    Grid1->installEventFilter(this);

    LabelNotes = new QLabel(body);
    LabelNotes->setObjectName("LabelNotes");
    LabelNotes->setWordWrap(true);
    LabelNotes->setVisible(false);

    BitBtn1 = new QPushButton(QStringLiteral("閉じる"), this);
    BitBtn1->setObjectName("BitBtn1");

    auto* v = new QVBoxLayout(body);
    v->addWidget(ToolBar1);
    v->addLayout(choices);
    v->addWidget(Chart1, 1);
    // The estimation-point table and the measured heights share the room under the chart.
    BuildObservedPanel();
    TabTables = new QTabWidget(body);
    TabTables->setObjectName("TabTables");
    TabTables->addTab(Grid1, QStringLiteral("推定位置の表"));
    TabTables->addTab(GroupObservedSkill, QStringLiteral("測定値との比較"));
    v->addWidget(TabTables);
    v->addWidget(LabelNotes);
    ScrolledBody(this, body, ButtonRow({BitBtn1}));

    auto guarded = [this](void (TFrmModelCompare::*handler)()) {
        return [this, handler] { RunGuarded(ctx_, [this, handler] { (this->*handler)(); }); };
    };
    connect(ToolButton1, &QToolButton::clicked, this, guarded(&TFrmModelCompare::ToolButton1Click));
    connect(ToolButton2, &QToolButton::clicked, this, guarded(&TFrmModelCompare::ToolButton2Click));
    connect(ToolButton3, &QToolButton::clicked, this, guarded(&TFrmModelCompare::ToolButton3Click));
    connect(ToolButton4, &QToolButton::clicked, this, guarded(&TFrmModelCompare::ToolButton4Click));
    connect(ToolButton5, &QToolButton::clicked, this, guarded(&TFrmModelCompare::ToolButton5Click));
    connect(ToolButton6, &QToolButton::clicked, this, guarded(&TFrmModelCompare::ToolButton6Click));
    connect(RadioGroupHeight, &RadioGroup::itemIndexChanged, this, guarded(&TFrmModelCompare::ApplyChoices));
    connect(CheckBoxSetup, &QCheckBox::toggled, this, guarded(&TFrmModelCompare::ApplyChoices));
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::reject);
    connect(Chart1, &ChartView::AxisClicked, this, [this](ChartAxis a) {
        RunGuarded(ctx_, [&] { Chart1ClickAxis(a); });
    });
}

bool TFrmModelCompare::Compare(const orvane::ComparisonRequest& request) {
    answers_->inputs = AnswerKey(request.base, request.texts);
    orvane::ModelComparisonResult r = orvane::CompareModels(request, *ctx_.progressSink, *answers_);
    if (!r.ran || r.cancelled) return false;
    result_ = std::move(r);
    request_ = request;
    tide_ = orvane::StrToFloat(request.texts.tide);
    fit_.reset();
    ScoreObserved();
    Draw();
    FillTable();
    return true;
}

void TFrmModelCompare::Execute(const orvane::ComparisonRequest& request) {
    if (Compare(request)) ShowModal(ctx_, this);
}

void TFrmModelCompare::Draw() {
    const orvane::ModelComparisonResult& r = result_;
    Chart1->SetAxisTitle(ChartAxis::Bottom, Q(orvane::BottomAxisTitle(r.axisMode)));
    if (r.rangeSet) Chart1->SetAxisRange(ChartAxis::Bottom, r.rangeA, r.rangeB);
    else Chart1->SetAxisAutomatic(ChartAxis::Bottom, true);

    Chart1->ClearSeries(SeriesProfile);
    for (std::size_t i = 0; i < r.bedX.size(); ++i) Chart1->AddPoint(SeriesProfile, r.bedX[i], r.bedY[i]);

    auto fill = [this](int series, const orvane::ComparedCurve& c, const QString& title) {
        Chart1->ClearSeries(series);
        Chart1->SetSeriesTitle(series, title);
        Chart1->SetSeriesToolTip(series, QString());
        for (std::size_t i = 0; i < c.x.size(); ++i) Chart1->AddPoint(series, c.x[i], c.y[i]);
    };
    for (const orvane::ComparedModel& m : r.models) {
        const orvane::SurfZoneModel& model = orvane::SurfZoneModelOf(m.method);
        const QString name = Q(model.shortName);
        if (m.applies) {
            fill(SeriesHeight[m.method], m.height, name + " " + Q(model.heightItem));
        } else {
            fill(SeriesHeight[m.method], {}, name + QStringLiteral(" (適用外)"));
            Chart1->SetSeriesToolTip(SeriesHeight[m.method], Q(m.message));
        }
        fill(SeriesHrms[m.method], m.hrms, name + " Hrms");
        fill(SeriesSetup[m.method], m.setup, name + QStringLiteral(" η"));
    }

    QStringList notes;
    for (const orvane::ComparedModel& m : r.models)
        if (!m.applies) notes << Q(orvane::SurfZoneModelOf(m.method).shortName) + QStringLiteral(" (適用外)：") + Q(m.message);
    LabelNotes->setText(notes.join('\n'));
    LabelNotes->setVisible(!notes.isEmpty());

    // One marker per estimation point; made as needed and kept out of the legend.
    while (SeriesMarkers.size() < r.pointX.size()) {
        const int s = Chart1->AddLineSeries(QString(), QColor(110, 110, 110), 1, ChartAxis::Left);
        Chart1->SetSeriesPenStyle(s, Qt::DotLine);
        Chart1->SetSeriesInLegend(s, false);
        SeriesMarkers.push_back(s);
    }
    Chart1->SetLegendVisible(true);
    ApplyChoices();
}

namespace {

// Room above the data for the legend, which sits inside the plot at the top.
void RangeWithHeadroom(ChartView* chart, ChartAxis axis, double lo, double hi) {
    if (!(hi > lo)) hi = lo + 1;
    chart->SetAxisRange(axis, lo, hi + (hi - lo) * 0.45);
}

void Extend(const std::vector<double>& ys, double& lo, double& hi, bool& any) {
    for (double y : ys) {
        if (!std::isfinite(y)) continue;
        lo = any ? std::min(lo, y) : y;
        hi = any ? std::max(hi, y) : y;
        any = true;
    }
}

}  // namespace

void TFrmModelCompare::ApplyChoices() {
    const orvane::ModelComparisonResult& r = result_;
    const bool hrms = RadioGroupHeight->ItemIndex() == 1;
    bool setup = CheckBoxSetup->isChecked();
    bool anySetup = false;
    for (const orvane::ComparedModel& m : r.models) anySetup = anySetup || (m.applies && m.hasSetup);
    setup = setup && anySetup;
    // η and the bed would share the right axis, and η is far smaller than the depth: the
    // bed is drawn whole on that axis while η is hidden, never as a fragment under η.
    const bool bed = !setup && r.axisMode == 1 && !r.bedX.empty();
    Chart1->SetSeriesActive(SeriesProfile, bed);
    double top = 0;
    for (const orvane::ComparedModel& m : r.models) {
        const bool showHrms = hrms && m.hasHrms && m.applies;
        Chart1->SetSeriesActive(SeriesHeight[m.method], !showHrms && r.ran);
        Chart1->SetSeriesActive(SeriesHrms[m.method], showHrms);
        Chart1->SetSeriesActive(SeriesSetup[m.method], setup && m.hasSetup && m.applies);
        for (double y : (showHrms ? m.hrms : m.height).y)
            if (std::isfinite(y)) top = std::max(top, y);
    }
    if (!(top > 0)) top = 1;
    double lo = 0, hi = top;
    bool any = true;
    for (const orvane::ComparedModel& m : r.models)
        Extend((hrms && m.hasHrms && m.applies ? m.hrms : m.height).y, lo, hi, any);
    if (observed_) Extend(observed_->height, lo, hi, any);
    RangeWithHeadroom(Chart1, ChartAxis::Left, lo, hi);
    double rlo = 0, rhi = 0;
    bool rany = false;
    if (setup)
        for (const orvane::ComparedModel& m : r.models)
            if (m.applies && m.hasSetup) Extend(m.setup.y, rlo, rhi, rany);
    if (setup && observed_) Extend(observed_->setup, rlo, rhi, rany);
    if (rany) {
        const double pad = std::max(rhi - rlo, 0.05) * 0.15;
        rlo -= pad;
        rhi += pad;
    } else if (bed) {
        Extend(r.bedY, rlo, rhi, rany);
    }
    if (rany) RangeWithHeadroom(Chart1, ChartAxis::Right, rlo, rhi);
    else Chart1->SetAxisAutomatic(ChartAxis::Right, true);
    for (std::size_t i = 0; i < SeriesMarkers.size(); ++i) {
        const int s = SeriesMarkers[i];
        Chart1->ClearSeries(s);
        const bool used = i < r.pointX.size();
        if (used) {
            Chart1->AddPoint(s, r.pointX[i], 0.0);
            Chart1->AddPoint(s, r.pointX[i], top);
        }
        Chart1->SetSeriesActive(s, used);
    }
    QString right;
    if (setup) right = QStringLiteral("η (m)");
    else if (bed) right = QStringLiteral("水深 h (m)");
    Chart1->SetAxisTitle(ChartAxis::Right, right);
    DrawObserved();
    Chart1->ResetView();
}

void TFrmModelCompare::FillTable() {
    // The command line's table, cell for cell.
    const std::vector<std::string> lines = orvane::ComparisonTableText(result_);
    const QStringList header = Q(lines.front()).split('\t');
    QStringList labels;
    for (int c = 0; c < header.size(); ++c) {
        QString h = header[c];
        if (c > 0) h.replace(h.indexOf(' '), 1, '\n');
        labels << h;
    }
    Grid1->clear();
    Grid1->setColumnCount(int(header.size()));
    Grid1->setRowCount(int(lines.size()) - 1);
    Grid1->setHorizontalHeaderLabels(labels);
    for (int row = 1; row < int(lines.size()); ++row) {
        const QStringList cells = Q(lines[row]).split('\t');
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            Grid1->setItem(row - 1, c, item);
        }
    }
    Grid1->resizeColumnsToContents();
    FitTableToRows();
    Grid1->scrollToTop();
    Grid1->horizontalScrollBar()->setValue(0);
}

bool TFrmModelCompare::eventFilter(QObject* watched, QEvent* event) {
    // Wider or narrower, the table may gain or lose its horizontal scroll bar.
    if (watched == Grid1 && event->type() == QEvent::Resize) FitTableToRows();
    return QDialog::eventFilter(watched, event);
}

void TFrmModelCompare::FitTableToRows() {
    // As high as its rows (up to kTableRowsShown), so that none hides behind a scroll bar
    // while the chart has the rest of the window.
    Grid1->horizontalHeader()->adjustSize();
    int h = Grid1->horizontalHeader()->sizeHint().height() + 2 * Grid1->frameWidth();
    const int shown = std::min(Grid1->rowCount(), kTableRowsShown);
    for (int row = 0; row < shown; ++row) h += Grid1->verticalHeader()->sectionSize(row);
    if (Grid1->rowCount() == 0) h += Grid1->verticalHeader()->defaultSectionSize();
    int wanted = 0;
    for (int c = 0; c < Grid1->columnCount(); ++c) wanted += Grid1->columnWidth(c);
    if (wanted + 2 * Grid1->frameWidth() > Grid1->width()) h += Grid1->horizontalScrollBar()->sizeHint().height();
    Grid1->setFixedHeight(h);
}

std::string TFrmModelCompare::AnswerKey(const orvane::ShoalingRequest& base, const orvane::ComparisonTexts& texts) {
    const orvane::ShoalingInputs& in = base.inputs;
    std::string key = texts.h0 + '|' + texts.t0 + '|' + texts.tide + '|' + texts.points + '|' + texts.obsPos;
    for (double v : {double(in.XAxis), double(in.ProfileMode), in.Slope, in.OnshoreEndValue, in.OffshoreEndValue,
                     double(in.HeightKind), double(in.PeriodKind)})
        key += '|' + orvane::FormatShortest(v);
    return key + '|' + in.ProfileFile;
}

QString TFrmModelCompare::AskCsvName(const QString& caption, bool& utf8) {
    QFileDialog dialog(this, caption);
    dialog.setObjectName("SaveDialog");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({kCp932Filter, kUtf8Filter});
    dialog.selectNameFilter(kCp932Filter);
    dialog.setDefaultSuffix("csv");
    // The folder of the last chart CSV, as every other save remembers its own.
    const QString start = DialogStart(ctx_, DialogPurpose::ChartCsv, QString());
    if (!start.isEmpty()) dialog.setDirectory(start);
    SizeFileDialog(&dialog);
    if (ShowModal(ctx_, &dialog) != QDialog::Accepted) return QString();
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) return QString();
    utf8 = dialog.selectedNameFilter() == kUtf8Filter;
    RememberDialogFolder(ctx_, DialogPurpose::ChartCsv, files.front());
    return files.front();
}

void TFrmModelCompare::WriteLines(const QString& path, const std::vector<std::string>& lines, bool utf8) {
    // Written whole or not at all: a failure keeps any older file of that name intact.
    orvane::AtomicTextWriter file(orvane::ChangeFileExt(S(path), ".csv"),
                                  utf8 ? orvane::TextEncoding::Utf8 : orvane::TextEncoding::Cp932);
    for (const std::string& line : lines) file.WriteLine(line);
    file.Commit();
}

void TFrmModelCompare::SaveCurves(const QString& path, bool utf8) {
    WriteLines(path, orvane::ComparisonCurveLines(result_), utf8);
}

void TFrmModelCompare::SaveTable(const QString& path, bool utf8) {
    WriteLines(path, orvane::ComparisonTableLines(result_), utf8);
}

void TFrmModelCompare::ToolButton1Click() { PreviewChart(ctx_, this, Chart1); }

void TFrmModelCompare::ToolButton2Click() {
    bool utf8 = false;
    const QString name = AskCsvName(QStringLiteral("曲線の保存"), utf8);
    if (!name.isEmpty()) SaveCurves(name, utf8);
}

void TFrmModelCompare::ToolButton3Click() {
    bool utf8 = false;
    const QString name = AskCsvName(QStringLiteral("表の保存"), utf8);
    if (!name.isEmpty()) SaveTable(name, utf8);
}

void TFrmModelCompare::ToolButton4Click() { SaveChartImage(ctx_, this, Chart1); }

void TFrmModelCompare::Chart1ClickAxis(ChartAxis axis) { OpenAxisDialog(ctx_, Chart1, axis); }

void TFrmModelCompare::ToolButton5Click() { Chart1->ResetView(); }

void TFrmModelCompare::ToolButton6Click() { OpenHelpKeyword(ctx_, QStringLiteral("モデル比較")); }

// ---------------------------------------------------------------------------------------
// 測定値との比較

namespace {
constexpr int kThorntonGuza = 2;  // the model whose γ and B are fitted
}  // namespace

void TFrmModelCompare::BuildObservedPanel() {
    GroupObservedSkill = new QWidget(this);
    GroupObservedSkill->setObjectName("GroupObservedSkill");
    ButtonObserved = new QPushButton(QStringLiteral("測定値の読込み..."), GroupObservedSkill);
    ButtonObserved->setObjectName("ButtonObserved");
    LabelObservedFile = NamedLabel(GroupObservedSkill, "LabelObservedFile", QStringLiteral("（測定値なし）"));
    auto combo = [this](const char* name) {
        auto* c = new QComboBox(GroupObservedSkill);
        c->setObjectName(name);
        c->setMinimumContentsLength(8);
        c->setEnabled(false);
        return c;
    };
    ComboObsPosition = combo("ComboObsPosition");
    ComboObsHeight = combo("ComboObsHeight");
    ComboObsSetup = combo("ComboObsSetup");
    ComboObsPosition->setToolTip(QStringLiteral("水深（MSL基準）または離岸距離。グラフの横軸と同じ種類にします"));
    ComboObsKind = new QComboBox(GroupObservedSkill);
    ComboObsKind->setObjectName("ComboObsKind");
    ComboObsKind->addItems({QStringLiteral("Hs"), QStringLiteral("Hrms")});

    GridSkill = new QTableWidget(GroupObservedSkill);
    GridSkill->setObjectName("GridSkill");
    GridSkill->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GridSkill->verticalHeader()->setVisible(false);
    GridSkill->setMinimumHeight(80);
    // Its rows scroll; the room under the chart is the estimation-point table's height.
    GridSkill->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    GridSkill->setWordWrap(false);
    // Every model's row in view without scrolling where the window allows.
    GridSkill->verticalHeader()->setDefaultSectionSize(GridSkill->fontMetrics().height() + 6);

    ButtonFitTG = new QPushButton(QStringLiteral("Thornton-Guza を当てはめる"), GroupObservedSkill);
    ButtonFitTG->setObjectName("ButtonFitTG");
    ButtonFitTG->setToolTip(QStringLiteral("γ (0.2～1.0) と B (0.5～2.5) を、測定値との RMSE が最小になるように決めます"));
    ButtonApplyFit = new QPushButton(QStringLiteral("定数に入れる..."), GroupObservedSkill);
    ButtonApplyFit->setObjectName("ButtonApplyFit");
    ButtonSaveSkill = new QPushButton(QStringLiteral("表の保存 (CSV)..."), GroupObservedSkill);
    ButtonSaveSkill->setObjectName("ButtonSaveSkill");
    ButtonSkillHelp = new QToolButton(GroupObservedSkill);
    ButtonSkillHelp->setObjectName("ButtonSkillHelp");
    ButtonSkillHelp->setIcon(style()->standardIcon(QStyle::SP_MessageBoxQuestion));
    ButtonSkillHelp->setToolTip(QStringLiteral("指標と当てはめの説明 (F1)"));
    LabelFit = new QLabel(GroupObservedSkill);
    LabelFit->setObjectName("LabelFit");
    LabelFit->setWordWrap(false);
    for (QWidget* w : {static_cast<QWidget*>(ButtonFitTG), static_cast<QWidget*>(ButtonApplyFit),
                       static_cast<QWidget*>(ButtonSaveSkill)})
        w->setEnabled(false);

    auto* file = new QHBoxLayout;
    file->addWidget(ButtonObserved);
    file->addWidget(LabelObservedFile, 1);
    file->addWidget(new QLabel(QStringLiteral("位置"), GroupObservedSkill));
    file->addWidget(ComboObsPosition);
    file->addWidget(new QLabel(QStringLiteral("波高"), GroupObservedSkill));
    file->addWidget(ComboObsHeight);
    file->addWidget(new QLabel(QStringLiteral("η"), GroupObservedSkill));
    file->addWidget(ComboObsSetup);
    file->addWidget(new QLabel(QStringLiteral("測定した波高"), GroupObservedSkill));
    file->addWidget(ComboObsKind);
    file->addWidget(ButtonSkillHelp);
    // Kept low, so that the panel takes no height from the chart.
    auto* actions = new QVBoxLayout;
    auto* second = new QHBoxLayout;
    second->addWidget(ButtonApplyFit);
    second->addWidget(ButtonSaveSkill);
    actions->addWidget(ButtonFitTG);
    actions->addLayout(second);
    actions->addWidget(LabelFit);
    actions->addStretch(1);
    auto* body = new QHBoxLayout;
    body->addWidget(GridSkill, 3);
    body->addLayout(actions, 1);
    auto* v = new QVBoxLayout(GroupObservedSkill);
    v->setContentsMargins(4, 4, 4, 4);
    v->addLayout(file);
    v->addLayout(body);

    SeriesObservedHeight = Chart1->AddLineSeries(QStringLiteral("測定値"), Qt::black, 1, ChartAxis::Left);
    Chart1->SetSeriesMarkers(SeriesObservedHeight, true);
    SeriesObservedSetup = Chart1->AddLineSeries(QStringLiteral("測定値 η"), Qt::black, 1, ChartAxis::Right);
    Chart1->SetSeriesMarkers(SeriesObservedSetup, false);
    SeriesFitted = Chart1->AddLineSeries(QString(), QColor(QRgb(orvane::SurfZoneModelOf(kThorntonGuza).colour)), 2,
                                         ChartAxis::Left);
    Chart1->SetSeriesPenStyle(SeriesFitted, Qt::DashDotLine);
    for (int s : {SeriesObservedHeight, SeriesObservedSetup, SeriesFitted}) Chart1->SetSeriesActive(s, false);

    auto guarded = [this](void (TFrmModelCompare::*handler)()) {
        return [this, handler] { RunGuarded(ctx_, [this, handler] { (this->*handler)(); }); };
    };
    connect(ButtonObserved, &QPushButton::clicked, this, [this] {
        RunGuarded(ctx_, [this] {
            const QString name = ChooseFile(ctx_, this, QStringLiteral("測定値"),
                                            QStringLiteral("カンマ区切りデータファイル (*.csv);;すべてのファイル (*)"),
                                            observedPath_, false, QStringLiteral("observed"));
            if (!name.isEmpty()) OpenObserved(name);
        });
    });
    for (QComboBox* c : {ComboObsPosition, ComboObsHeight, ComboObsSetup})
        connect(c, &QComboBox::activated, this, guarded(&TFrmModelCompare::ReadObserved));
    connect(ComboObsKind, &QComboBox::activated, this, guarded(&TFrmModelCompare::ReadObserved));
    connect(ButtonFitTG, &QPushButton::clicked, this, guarded(&TFrmModelCompare::FitThorntonGuza));
    connect(ButtonApplyFit, &QPushButton::clicked, this, guarded(&TFrmModelCompare::ApplyFit));
    connect(ButtonSaveSkill, &QPushButton::clicked, this, [this] {
        RunGuarded(ctx_, [this] {
            bool utf8 = false;
            const QString name = AskCsvName(QStringLiteral("測定値との比較の保存"), utf8);
            if (!name.isEmpty()) SaveSkill(name, utf8);
        });
    });
    connect(ButtonSkillHelp, &QToolButton::clicked, this,
            [this] { RunGuarded(ctx_, [this] { OpenHelpPage(ctx_, QStringLiteral("modelskill")); }); });
}

void TFrmModelCompare::OpenObserved(const QString& path) {
    const auto header = orvane::ShoalingRun::ReadProfileHeader(S(path));
    QStringList names;
    for (const std::string& h : header) names << Q(h);
    if (names.isEmpty()) names << QStringLiteral("1列目") << QStringLiteral("2列目");
    for (QComboBox* c : {ComboObsPosition, ComboObsHeight, ComboObsSetup}) {
        c->clear();
        c->setEnabled(true);
    }
    ComboObsPosition->addItems(names);
    ComboObsHeight->addItems(names);
    ComboObsSetup->addItem(QStringLiteral("(なし)"));
    ComboObsSetup->addItems(names);
    ComboObsPosition->setCurrentIndex(0);
    ComboObsHeight->setCurrentIndex(names.size() > 1 ? 1 : 0);
    // A third column named for the set-up is taken as such.
    int setup = 0;
    for (int i = 2; i < names.size(); ++i)
        if (names[i].contains(QStringLiteral("η")) || names[i].contains(QStringLiteral("eta"), Qt::CaseInsensitive))
            setup = i + 1;
    ComboObsSetup->setCurrentIndex(setup);
    // A column named Hrms is read as Hrms.
    if (names.size() > 1 && names[ComboObsHeight->currentIndex()].contains(QStringLiteral("rms"), Qt::CaseInsensitive))
        ComboObsKind->setCurrentIndex(1);
    observedPath_ = path;
    ReadObserved();
}

void TFrmModelCompare::ReadObserved() {
    if (observedPath_.isEmpty()) return;
    orvane::ObservationColumns c;
    c.position = std::max(0, ComboObsPosition->currentIndex());
    c.height = std::max(0, ComboObsHeight->currentIndex());
    c.setup = ComboObsSetup->currentIndex() - 1;
    const auto kind = ComboObsKind->currentIndex() == 1 ? orvane::ObservedHeight::Hrms : orvane::ObservedHeight::Hs;
    observed_.reset();
    skill_.reset();
    fit_.reset();
    LabelObservedFile->setText(QFileInfo(observedPath_).fileName());
    try {
        observed_ = orvane::ReadObservations(S(observedPath_), c, kind);
    } catch (...) {
        FillSkillTable();
        ApplyChoices();
        throw;
    }
    // The measured kind is the one the chart shows.
    RadioGroupHeight->SetItemIndex(kind == orvane::ObservedHeight::Hrms ? 1 : 0);
    TabTables->setCurrentWidget(GroupObservedSkill);
    ScoreObserved();
    ApplyChoices();
}

void TFrmModelCompare::ScoreObserved() {
    skill_.reset();
    if (observed_ && result_.ran) skill_ = orvane::CompareWithObservations(result_, *observed_, tide_);
    FillSkillTable();
}

void TFrmModelCompare::FillSkillTable() {
    GridSkill->clear();
    GridSkill->setRowCount(0);
    GridSkill->setColumnCount(0);
    bool tgApplies = false;
    for (const orvane::ComparedModel& m : result_.models) tgApplies = tgApplies || (m.method == kThorntonGuza && m.applies);
    ButtonFitTG->setEnabled(skill_ && skill_->note.empty() && tgApplies);
    ButtonSaveSkill->setEnabled(skill_.has_value());
    ButtonApplyFit->setEnabled(fit_.has_value());
    if (!fit_) LabelFit->clear();
    if (!skill_) return;
    const std::vector<std::string> lines = orvane::SkillTableText(*skill_);
    if (!skill_->note.empty()) {
        GridSkill->setColumnCount(1);
        GridSkill->setRowCount(1);
        GridSkill->setHorizontalHeaderLabels({QStringLiteral("測定値との比較")});
        GridSkill->setItem(0, 0, new QTableWidgetItem(Q(skill_->note)));
        GridSkill->setWordWrap(true);
        GridSkill->horizontalHeader()->setStretchLastSection(true);
        return;
    }
    const QStringList header = Q(lines.front()).split('\t');
    GridSkill->setColumnCount(int(header.size()));
    GridSkill->setRowCount(int(lines.size()) - 1);
    GridSkill->setHorizontalHeaderLabels(header);
    GridSkill->horizontalHeader()->setStretchLastSection(false);
    GridSkill->setWordWrap(false);
    for (int row = 1; row < int(lines.size()); ++row) {
        const orvane::ModelSkill& m = skill_->rows[std::size_t(row - 1)];
        const QStringList cells = Q(lines[std::size_t(row)]).split('\t');
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            item->setTextAlignment((c < 2 || !m.applies ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
            if (m.best) {
                QFont f = item->font();
                f.setBold(true);
                item->setFont(f);
            }
            if (!m.applies) item->setToolTip(Q(m.message));
            GridSkill->setItem(row - 1, c, item);
        }
        // The reason of a model left out spans the score columns.
        if (!m.applies && header.size() > 2) GridSkill->setSpan(row - 1, 2, 1, int(header.size()) - 2);
    }
    GridSkill->resizeColumnsToContents();
    // The best model's row in view once the table has its size.
    for (std::size_t i = 0; i < skill_->rows.size(); ++i)
        if (skill_->rows[i].best)
            QTimer::singleShot(0, GridSkill, [this, i] {
                if (QTableWidgetItem* item = GridSkill->item(int(i), 0))
                    GridSkill->scrollToItem(item, QAbstractItemView::PositionAtCenter);
            });
}

void TFrmModelCompare::DrawObserved() {
    Chart1->ClearSeries(SeriesObservedHeight);
    Chart1->ClearSeries(SeriesObservedSetup);
    Chart1->ClearSeries(SeriesFitted);
    const bool setupShown = CheckBoxSetup->isChecked();
    if (observed_ && result_.ran) {
        const orvane::ObservedSet& o = *observed_;
        for (std::size_t i = 0; i < o.position.size(); ++i) {
            const double x = orvane::ObservedX(o.position[i], result_.axisMode, tide_);
            if (std::isfinite(o.height[i])) Chart1->AddPoint(SeriesObservedHeight, x, o.height[i]);
            if (o.HasSetup() && std::isfinite(o.setup[i])) Chart1->AddPoint(SeriesObservedSetup, x, o.setup[i]);
        }
        Chart1->SetSeriesTitle(SeriesObservedHeight, QStringLiteral("測定値 ") + Q(orvane::ObservedHeightName(o.kind)));
    }
    Chart1->SetSeriesActive(SeriesObservedHeight, observed_.has_value() && result_.ran);
    Chart1->SetSeriesActive(SeriesObservedSetup, observed_ && observed_->HasSetup() && setupShown && result_.ran);
    if (fit_ && !fit_->cases.empty()) {
        const orvane::ComparedCurve& c = fit_->cases.front().after;
        for (std::size_t i = 0; i < c.x.size(); ++i) Chart1->AddPoint(SeriesFitted, c.x[i], c.y[i]);
        Chart1->SetSeriesTitle(SeriesFitted, QStringLiteral("Thornton-Guza 当てはめ (γ=") +
                                                 Q(orvane::FormatFixed(fit_->gamma, 3)) + QStringLiteral(", B=") +
                                                 Q(orvane::FormatFixed(fit_->b, 3)) + ")");
    }
    Chart1->SetSeriesActive(SeriesFitted, fit_.has_value());
}

namespace {

// Answers the one question of the comparison Yes: the fit runs only where the comparison
// ran Thornton-Guza, so that question has been answered Yes already.
class YesPrompter : public orvane::Prompter {
public:
    orvane::MsgResult Message(orvane::MsgKind, const std::string&, orvane::MsgButtons b) override {
        return b == orvane::MsgButtons::YesNo ? orvane::MsgResult::Yes : orvane::MsgResult::Ok;
    }
    void Plain(const std::string&, const std::string&) override {}
    void Beep() override {}
};

}  // namespace

void TFrmModelCompare::FitThorntonGuza() {
    if (!observed_ || !result_.ran) return;
    const orvane::ComparisonTexts& t = request_.texts;
    orvane::TgFitCase c{request_.base, *observed_};
    // The boxes in the order the Calculate button reads them.
    c.request.tide = tide_;
    c.request.period = orvane::StrToFloat(t.t0);
    c.request.height = orvane::StrToFloat(t.h0);
    c.request.points = orvane::ParsePoints(t.points);
    c.request.inputs.ObsPosValue = orvane::StrToFloat(t.obsPos);
    YesPrompter yes;
    fit_ = orvane::FitThorntonGuza({c}, {}, yes);
    const orvane::TgFitResult& f = *fit_;
    auto fixed = [](double v, int d) { return std::isfinite(v) ? Q(orvane::FormatFixed(v, d)) : QStringLiteral("-"); };
    LabelFit->setText(QStringLiteral("γ %1 → %2、B %3 → %4\nRMSE %5 → %6 m（%7 点、モデルの計算 %8 回）")
                          .arg(fixed(f.gammaBefore, 3), fixed(f.gamma, 3), fixed(f.bBefore, 3), fixed(f.b, 3),
                               fixed(f.before.rmse, 3), fixed(f.after.rmse, 3))
                          .arg(f.used)
                          .arg(f.modelRuns));
    ButtonApplyFit->setEnabled(true);
    ApplyChoices();
}

void TFrmModelCompare::ApplyFit() {
    if (!fit_ || !ctx_.editConst) return;
    // The values as shown: three decimals, as a constant is typed.
    const QString gamma = Q(orvane::FormatFixed(fit_->gamma, 3)), b = Q(orvane::FormatFixed(fit_->b, 3));
    if (!ctx_.prompter->Confirm("Thornton-Guza の定数を γ = " + S(gamma) + "、B = " + S(b) +
                                " にして保存しますか。\n（定数の定義と同じく " + orvane::kSettingsFileName +
                                " に保存します）"))
        return;
    ctx_.editConst->SaveThorntonGuza(gamma, b);
}

void TFrmModelCompare::SaveSkill(const QString& path, bool utf8) {
    if (!skill_) return;
    WriteLines(path, orvane::SkillTableLines(*skill_), utf8);
}
