#include "ui/shoaling/ModelCompare.h"

#include <QEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "core/runtime/Errors.h"
#include "core/runtime/NumberText.h"
#include "core/runtime/TextFile.h"
#include "ui/app/Desktop.h"
#include "ui/app/Guard.h"
#include "ui/chart/AxisSet.h"
#include "ui/chart/ChartActions.h"
#include "ui/help/Help.h"
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

    RadioGroupHeight = new RadioGroup(QStringLiteral("表示する波高"), {}, body);
    RadioGroupHeight->setObjectName("RadioGroupHeight");
    RadioGroupHeight->SetItems({QStringLiteral("H・Hs"), QStringLiteral("Hrms")});
    RadioGroupHeight->SetItemIndex(0);
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
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(BitBtn1);

    auto* v = new QVBoxLayout(body);
    v->addWidget(ToolBar1);
    v->addLayout(choices);
    v->addWidget(Chart1, 1);
    v->addWidget(Grid1);
    v->addWidget(LabelNotes);
    ScrolledBody(this, body, bottom);

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
    RangeWithHeadroom(Chart1, ChartAxis::Left, lo, hi);
    double rlo = 0, rhi = 0;
    bool rany = false;
    if (setup)
        for (const orvane::ComparedModel& m : r.models)
            if (m.applies && m.hasSetup) Extend(m.setup.y, rlo, rhi, rany);
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
