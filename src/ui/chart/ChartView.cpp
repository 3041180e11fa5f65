#include "ui/chart/ChartView.h"

#include <QFileInfo>
#include <QHelpEvent>
#include <QPdfWriter>
#include <QPrinter>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <qcustomplot.h>

#include "core/runtime/Errors.h"

struct ChartView::Series {
    bool area = false;
    ChartAxis vertical = ChartAxis::Left;
    QCPCurve* curve = nullptr;   // line: keeps the order in which points arrive
    QCPGraph* graph = nullptr;   // area: sorted by x, filled down to `base`
    QCPGraph* base = nullptr;
    bool active = true;
    bool inLegend = true;
    QString title;
    QString toolTip;
    std::vector<double> xs, ys;
    QCPAbstractPlottable* Plottable() const {
        return area ? static_cast<QCPAbstractPlottable*>(graph) : curve;
    }
};

struct ChartView::AxisSet {
    bool automatic = true;
    double minimum = 0.0;
    double maximum = 1.0;
    double increment = 0.0;
    bool logarithmic = false;
    Qt::PenStyle gridStyle = Qt::DotLine;
    bool gridVisible = false;
};

namespace {

int AxisIndex(ChartAxis axis) {
    switch (axis) {
    case ChartAxis::Bottom: return 0;
    case ChartAxis::Left: return 1;
    case ChartAxis::Right: return 2;
    case ChartAxis::Top: break;
    }
    return 3;
}

// QCustomPlot refuses ranges narrower than this; a single point or a flat line still needs
// a visible span.
void Widen(double& lo, double& hi) {
    if (hi - lo > std::max(1e-12, std::fabs(lo) * 1e-9)) return;
    const double half = lo == 0.0 ? 0.5 : std::fabs(lo) * 0.05;
    lo -= half;
    hi += half;
}

// An automatic vertical range grown to ticks of its own: the bottom down to the tick at or
// below the data, the top up to the first tick clear of the peak, so that the curve keeps
// off the frame and the top label is drawn.
void EndOnTicks(QCPAxis* axis, double& lo, double& hi) {
    const double span = hi - lo;
    if (!(span > 0) || !std::isfinite(span)) return;
    QVector<double> ticks;
    double top = hi + 0.03 * span, bottom = lo;
    for (int round = 0; round < 4; ++round) {
        ticks.clear();
        axis->ticker()->generate(QCPRange(bottom, top), QLocale::c(), QLatin1Char('g'), 6, ticks, nullptr, nullptr);
        if (ticks.size() < 2) return;
        const double step = ticks[1] - ticks[0];
        if (!(step > 0)) return;
        // Within a hair of a tick counts as on it.
        const double nextTop = std::ceil((hi + 0.03 * span) / step - 1e-9) * step;
        const double nextBottom = std::floor(lo / step + 1e-9) * step;
        if (nextTop == top && nextBottom == bottom) break;
        top = nextTop;
        bottom = nextBottom;
    }
    lo = bottom;
    hi = top;
}

// The increment the user set, grown to a whole multiple of itself only when its labels
// would not fit along the axis (a zoomed-out view, a mistyped step). The library's own
// multiple strategy goes through a 64-bit integer that overflows for a step tiny against
// the range.
class MultipleStepTicker : public QCPAxisTickerFixed {
public:
    int maxTicks = 50;  // set from the axis length before each drawing
protected:
    double getTickStep(const QCPRange& range) override {
        const double step = tickStep();
        const double wanted = range.size() / std::max(2, maxTicks);
        if (!(step > 0) || !(wanted > step) || !std::isfinite(wanted)) return step;
        // The smallest multiple of the form 1, 2 or 5 times a power of ten that fits.
        const double needed = wanted / step;
        double decade = std::pow(10.0, std::floor(std::log10(needed)));
        for (double m : {1.0, 2.0, 5.0, 10.0})
            if (m * decade >= needed) return m * decade * step;
        return 10.0 * decade * step;
    }
};

}  // namespace

ChartView::ChartView(QWidget* parent) : QWidget(parent), axes_(new AxisSet[4]) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    plot_ = new QCustomPlot(this);
    plot_->setObjectName("ChartPlot");
    layout->addWidget(plot_);
    plot_->setBackground(Qt::white);

    plot_->plotLayout()->insertRow(0);
    title_ = new QCPTextElement(plot_, QString(), QFont(font().family(), 10, QFont::Bold));
    plot_->plotLayout()->addElement(0, 0, title_);

    // The legend has a row of its own under the title, centred between two empty cells, so
    // that it never covers a curve.
    plot_->legend->setVisible(false);
    plot_->legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
    plot_->axisRect()->insetLayout()->take(plot_->legend);
    plot_->axisRect()->insetLayout()->simplify();
    // Filled inside the plot's layout so that its cells belong to the plot; taken out while
    // the legend is hidden.
    legendRow_ = new QCPLayoutGrid;
    plot_->plotLayout()->insertRow(1);
    plot_->plotLayout()->addElement(1, 0, legendRow_);
    legendRow_->addElement(0, 0, new QCPLayoutElement(plot_));
    legendRow_->addElement(0, 1, plot_->legend);
    legendRow_->addElement(0, 2, new QCPLayoutElement(plot_));
    legendRow_->setColumnStretchFactors({1.0, 0.001, 1.0});
    legendRow_->setMargins(QMargins(0, 0, 0, 0));
    plot_->plotLayout()->take(legendRow_);
    plot_->plotLayout()->simplify();
    legendRow_->setVisible(false);

    // The top axis draws the upper frame line only.
    plot_->xAxis2->setVisible(true);
    plot_->xAxis2->setTicks(false);
    plot_->xAxis2->setTickLabels(false);
    plot_->yAxis2->setVisible(false);
    connect(plot_->xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), plot_->xAxis2,
            qOverload<const QCPRange&>(&QCPAxis::setRange));
    for (ChartAxis a : {ChartAxis::Bottom, ChartAxis::Left, ChartAxis::Right}) {
        Axis(a)->grid()->setVisible(false);
        Axis(a)->setRange(0.0, 1.0);
    }
    connect(plot_->yAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this,
            [this] { UpdateAreaBases(); });
    connect(plot_->yAxis2, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this,
            [this] { UpdateAreaBases(); });

    plot_->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    plot_->axisRect()->setRangeDragAxes({plot_->xAxis}, {plot_->yAxis, plot_->yAxis2});
    plot_->axisRect()->setRangeZoomAxes({plot_->xAxis}, {plot_->yAxis, plot_->yAxis2});

    connect(plot_, &QCustomPlot::beforeReplot, this, [this] {
        if (rangesDirty_) ApplyRanges();
        // The legend no wider than its entries, centred in its row.
        if (plot_->legend->visible()) {
            plot_->legend->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
            plot_->legend->setMaximumSize(plot_->legend->minimumOuterSizeHint());
        }
        // Room for a label every 60 pixels across, 25 pixels up.
        const QRect r = plot_->axisRect()->rect();
        for (ChartAxis a : {ChartAxis::Bottom, ChartAxis::Left, ChartAxis::Right}) {
            if (auto t = Axis(a)->ticker().dynamicCast<MultipleStepTicker>())
                t->maxTicks = a == ChartAxis::Bottom ? r.width() / 60 : r.height() / 25;
        }
    });
    connect(plot_, &QCustomPlot::axisClick, this,
            [this](QCPAxis* axis, QCPAxis::SelectablePart, QMouseEvent*) { OnAxisClick(axis); });
    connect(plot_, &QCustomPlot::plottableClick, this,
            [this](QCPAbstractPlottable* p, int index, QMouseEvent*) { OnPlottableClick(p, index); });
    connect(plot_, &QCustomPlot::mouseDoubleClick, this, [this](QMouseEvent*) { ResetView(); });
    plot_->installEventFilter(this);
}

ChartView::~ChartView() {
    for (Series* s : series_) delete s;
    delete[] axes_;
    // Out of the layout, the legend's row (and the legend in it) is nobody else's.
    if (plot_->plotLayout()->elementAt(1) != legendRow_) delete legendRow_;
}

QCPAxis* ChartView::Axis(ChartAxis axis) const {
    switch (axis) {
    case ChartAxis::Bottom: return plot_->xAxis;
    case ChartAxis::Left: return plot_->yAxis;
    case ChartAxis::Right: return plot_->yAxis2;
    case ChartAxis::Top: break;
    }
    return plot_->xAxis2;
}

ChartView::AxisSet& ChartView::State(ChartAxis axis) { return axes_[AxisIndex(axis)]; }
const ChartView::AxisSet& ChartView::State(ChartAxis axis) const { return axes_[AxisIndex(axis)]; }

int ChartView::AddLineSeries(const QString& title, const QColor& color, int width, ChartAxis vertical) {
    auto* s = new Series;
    s->vertical = vertical == ChartAxis::Right ? ChartAxis::Right : ChartAxis::Left;
    s->curve = new QCPCurve(plot_->xAxis, Axis(s->vertical));
    s->curve->setPen(QPen(color, width));
    s->title = title;
    s->curve->setName(title);
    series_.push_back(s);
    SetSeriesActive(int(series_.size()) - 1, true);
    return int(series_.size()) - 1;
}

int ChartView::AddAreaSeries(const QString& title, const QColor& color, ChartAxis vertical) {
    auto* s = new Series;
    s->area = true;
    s->vertical = vertical == ChartAxis::Right ? ChartAxis::Right : ChartAxis::Left;
    s->graph = plot_->addGraph(plot_->xAxis, Axis(s->vertical));
    s->graph->setPen(QPen(color, 1));
    QColor fill = color;
    fill.setAlpha(170);
    s->graph->setBrush(fill);
    s->base = plot_->addGraph(plot_->xAxis, Axis(s->vertical));
    s->base->setPen(Qt::NoPen);
    s->base->removeFromLegend();
    s->base->setSelectable(QCP::stNone);
    s->base->setVisible(false);  // only the outline of the fill; never hit by a click
    s->graph->setChannelFillGraph(s->base);
    s->title = title;
    s->graph->setName(title);
    series_.push_back(s);
    SetSeriesActive(int(series_.size()) - 1, true);
    return int(series_.size()) - 1;
}

void ChartView::Queue() {
    rangesDirty_ = true;
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

void ChartView::ClearSeries(int series) {
    Series* s = series_.at(series);
    s->xs.clear();
    s->ys.clear();
    if (s->area) {
        s->graph->data()->clear();
        s->base->data()->clear();
    } else {
        s->curve->data()->clear();
    }
    Queue();
}

void ChartView::AddPoint(int series, double x, double y) {
    Series* s = series_.at(series);
    if (s->area) {
        s->graph->addData(x, y);
    } else {
        s->curve->addData(double(s->xs.size()), x, y);
    }
    s->xs.push_back(x);
    s->ys.push_back(y);
    Queue();
}

void ChartView::SetSeriesActive(int series, bool active) {
    Series* s = series_.at(series);
    s->active = active;
    s->Plottable()->setVisible(active);
    // Entries in the order of the series, whatever order they were switched on in.
    plot_->legend->clearItems();
    for (Series* each : series_)
        if (each->active && each->inLegend) each->Plottable()->addToLegend();
    UpdateAxisVisibility();
    Queue();
}

bool ChartView::SeriesActive(int series) const { return series_.at(series)->active; }

void ChartView::SetSeriesTitle(int series, const QString& title) {
    Series* s = series_.at(series);
    s->title = title;
    s->Plottable()->setName(title);
    Queue();
}

QString ChartView::SeriesTitle(int series) const { return series_.at(series)->title; }
int ChartView::PointCount(int series) const { return int(series_.at(series)->xs.size()); }
double ChartView::PointX(int series, int index) const { return series_.at(series)->xs.at(index); }
double ChartView::PointY(int series, int index) const { return series_.at(series)->ys.at(index); }

void ChartView::SetTitle(const QString& title) {
    title_->setText(title);
    Queue();
}
QString ChartView::Title() const { return title_->text(); }

void ChartView::SetLegendVisible(bool visible) {
    plot_->legend->setVisible(visible);
    // Hidden, the row is taken out of the layout so that the plot keeps its full height.
    if (visible && plot_->plotLayout()->elementAt(1) != legendRow_) {
        plot_->plotLayout()->insertRow(1);
        plot_->plotLayout()->addElement(1, 0, legendRow_);
        plot_->plotLayout()->setRowStretchFactor(1, 0.001);
    } else if (!visible && plot_->plotLayout()->elementAt(1) == legendRow_) {
        plot_->plotLayout()->take(legendRow_);
        plot_->plotLayout()->simplify();
    }
    legendRow_->setVisible(visible);
    Queue();
}
bool ChartView::LegendVisible() const { return plot_->legend->visible(); }

void ChartView::SetAxisTitle(ChartAxis axis, const QString& title) {
    Axis(axis)->setLabel(title);
    Queue();
}
QString ChartView::AxisTitle(ChartAxis axis) const { return Axis(axis)->label(); }
QFont ChartView::AxisTitleFont(ChartAxis axis) const { return Axis(axis)->labelFont(); }
void ChartView::SetAxisTitleFont(ChartAxis axis, const QFont& font) {
    Axis(axis)->setLabelFont(font);
    Axis(axis)->setSelectedLabelFont(font);
    Queue();
}

bool ChartView::AxisVisible(ChartAxis axis) const { return Axis(axis)->visible(); }

void ChartView::UpdateAxisVisibility() {
    bool right = false;
    for (Series* s : series_) right = right || (s->active && s->vertical == ChartAxis::Right);
    plot_->yAxis2->setVisible(right);
}

bool ChartView::AxisAutomatic(ChartAxis axis) const { return State(axis).automatic; }

void ChartView::SetAxisAutomatic(ChartAxis axis, bool automatic) {
    AxisSet& st = State(axis);
    if (st.automatic && !automatic) {
        st.minimum = AxisMinimum(axis);
        st.maximum = AxisMaximum(axis);
    }
    st.automatic = automatic;
    Queue();
}

bool ChartView::DataRange(ChartAxis axis, double& lo, double& hi) const {
    bool found = false;
    for (const Series* s : series_) {
        if (!s->active) continue;
        if (axis != ChartAxis::Bottom && s->vertical != axis) continue;
        const std::vector<double>& v = axis == ChartAxis::Bottom ? s->xs : s->ys;
        for (double d : v) {
            if (!std::isfinite(d)) continue;
            if (!found) { lo = hi = d; found = true; }
            lo = std::min(lo, d);
            hi = std::max(hi, d);
        }
    }
    return found;
}

double ChartView::AxisMinimum(ChartAxis axis) const {
    const AxisSet& st = State(axis);
    double lo, hi;
    if (st.automatic && DataRange(axis, lo, hi)) return lo;
    return st.automatic ? Axis(axis)->range().lower : st.minimum;
}

double ChartView::AxisMaximum(ChartAxis axis) const {
    const AxisSet& st = State(axis);
    double lo, hi;
    if (st.automatic && DataRange(axis, lo, hi)) return hi;
    return st.automatic ? Axis(axis)->range().upper : st.maximum;
}

void ChartView::SetAxisMinimum(ChartAxis axis, double value) {
    if (value > AxisMaximum(axis)) throw orvane::OrvaneError("Axis Minimum Value must be <= Maximum");
    AxisSet& st = State(axis);
    if (st.automatic) st.maximum = AxisMaximum(axis);
    st.minimum = value;
    Queue();
}

void ChartView::SetAxisMaximum(ChartAxis axis, double value) {
    if (value < AxisMinimum(axis)) throw orvane::OrvaneError("Axis Maximum Value must be >= Minimum");
    AxisSet& st = State(axis);
    if (st.automatic) st.minimum = AxisMinimum(axis);
    st.maximum = value;
    Queue();
}

void ChartView::SetAxisIncrement(ChartAxis axis, double value) {
    if (!(value >= 0.0)) throw orvane::OrvaneError("Axis increment must be >= 0");
    State(axis).increment = value;
    ApplyTicker(axis);
    Queue();
}

double ChartView::AxisIncrement(ChartAxis axis) const { return State(axis).increment; }
bool ChartView::AxisLogarithmic(ChartAxis axis) const { return State(axis).logarithmic; }

void ChartView::SetAxisLogarithmic(ChartAxis axis, bool logarithmic) {
    State(axis).logarithmic = logarithmic;
    ApplyTicker(axis);
    Queue();
}

void ChartView::ApplyTicker(ChartAxis axis) {
    const AxisSet& st = State(axis);
    QCPAxis* a = Axis(axis);
    if (st.logarithmic) {
        a->setScaleType(QCPAxis::stLogarithmic);
        a->setTicker(QSharedPointer<QCPAxisTickerLog>::create());
    } else if (st.increment > 0.0) {
        a->setScaleType(QCPAxis::stLinear);
        // A step far too small for the range is widened to a multiple instead of
        // drawing millions of ticks.
        auto fixed = QSharedPointer<MultipleStepTicker>::create();
        fixed->setTickStep(st.increment);
        fixed->setScaleStrategy(QCPAxisTickerFixed::ssNone);
        a->setTicker(fixed);
    } else {
        a->setScaleType(QCPAxis::stLinear);
        a->setTicker(QSharedPointer<QCPAxisTicker>::create());
    }
}

void ChartView::SetAxisRange(ChartAxis axis, double end1, double end2) {
    AxisSet& st = State(axis);
    st.automatic = false;
    st.minimum = std::min(end1, end2);
    st.maximum = std::max(end1, end2);
    Queue();
}

Qt::PenStyle ChartView::GridStyle(ChartAxis axis) const { return State(axis).gridStyle; }
bool ChartView::GridVisible(ChartAxis axis) const { return State(axis).gridVisible; }

void ChartView::SetGrid(ChartAxis axis, Qt::PenStyle style, bool visible) {
    AxisSet& st = State(axis);
    st.gridStyle = style;
    st.gridVisible = visible;
    QCPGrid* g = Axis(axis)->grid();
    QPen pen(QColor(150, 150, 150), 0, style);
    g->setPen(pen);
    g->setZeroLinePen(pen);
    g->setVisible(visible && style != Qt::NoPen);
    Queue();
}

void ChartView::ApplyRanges() {
    rangesDirty_ = false;
    for (ChartAxis a : {ChartAxis::Bottom, ChartAxis::Left, ChartAxis::Right}) {
        double lo = 0.0, hi = 1.0;
        const AxisSet& st = State(a);
        if (st.automatic) {
            if (!DataRange(a, lo, hi)) continue;
        } else {
            lo = st.minimum;
            hi = st.maximum;
        }
        Widen(lo, hi);
        if (st.automatic && a != ChartAxis::Bottom && !st.logarithmic) EndOnTicks(Axis(a), lo, hi);
        Axis(a)->setRange(lo, hi);
    }
    UpdateAreaBases();
}

void ChartView::UpdateAreaBases() {
    for (Series* s : series_) {
        if (!s->area) continue;
        s->base->data()->clear();
        if (s->xs.empty()) continue;
        const double lower = Axis(s->vertical)->range().lower;
        auto [mn, mx] = std::minmax_element(s->xs.begin(), s->xs.end());
        s->base->addData(*mn, lower);
        s->base->addData(*mx, lower);
    }
}

void ChartView::ResetView() {
    ApplyRanges();
    plot_->replot();
}

void ChartView::ReplotNow() {
    plot_->replot();
}

double ChartView::ViewLower(ChartAxis axis) const { return Axis(axis)->range().lower; }
double ChartView::ViewUpper(ChartAxis axis) const { return Axis(axis)->range().upper; }

void ChartView::PrintTo(QPrinter* printer) {
    QCPPainter painter(printer);
    if (!painter.isActive()) return;
    const QRectF page = printer->pageRect(QPrinter::DevicePixel);
    // The chart's width on screen fills the page's width, and its height is the page's:
    // the whole page is used and the text keeps its size relative to the width.
    const int w = plot_->width() > 50 ? plot_->width() : 800;
    if (!(page.width() > 0) || !(page.height() > 0)) return;
    const double scale = page.width() / w;
    const int h = std::max(1, int(page.height() / scale));
    painter.setMode(QCPPainter::pmVectorized);
    painter.setMode(QCPPainter::pmNoCaching);
    painter.scale(scale, scale);
    plot_->toPainter(&painter, w, h);
}

QSize ChartView::DrawnSize() const {
    return {std::max(plot_->width(), 640), std::max(plot_->height(), 400)};
}

bool ChartView::SavePng(const QString& path, QSize size, double scale) {
    if (!size.isValid()) size = DrawnSize();
    return plot_->savePng(path, size.width(), size.height(), scale);
}

bool ChartView::SavePdf(const QString& path) {
    // An A4 page in landscape at the screen's 96 dots per inch: the chart is laid out for
    // the page, and its text prints at the size it has on screen (9 pt), not shrunk to fit.
    QPdfWriter pdf(path);
    pdf.setResolution(96);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageOrientation(QPageLayout::Landscape);
    pdf.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
    pdf.setCreator(QStringLiteral("Orvane"));
    pdf.setTitle(Title());
    QCPPainter painter;
    if (!painter.begin(&pdf)) return false;
    const QRect page = pdf.pageLayout().paintRectPixels(pdf.resolution());
    painter.setMode(QCPPainter::pmVectorized);
    painter.setMode(QCPPainter::pmNoCaching);
    plot_->toPainter(&painter, page.width(), page.height());
    painter.end();
    plot_->replot();
    return QFileInfo(path).size() > 0;
}

QWidget* ChartView::PlotWidget() const { return plot_; }

QPoint ChartView::PointPixel(int series, int index) {
    plot_->replot();
    Series* s = series_.at(series);
    return s->Plottable()->coordsToPixels(s->xs.at(index), s->ys.at(index)).toPoint();
}

QPoint ChartView::AxisPixel(ChartAxis axis) {
    plot_->replot();
    const QRect r = plot_->axisRect()->rect();
    switch (axis) {
    case ChartAxis::Bottom: return {r.center().x(), r.bottom() + 2};
    case ChartAxis::Left: return {r.left() - 2, r.center().y()};
    case ChartAxis::Right: return {r.right() + 2, r.center().y()};
    case ChartAxis::Top: break;
    }
    return {r.center().x(), r.top() - 1};
}

void ChartView::OnAxisClick(QCPAxis* axis) {
    for (ChartAxis a : {ChartAxis::Bottom, ChartAxis::Left, ChartAxis::Right, ChartAxis::Top})
        if (Axis(a) == axis) emit AxisClicked(a);
}

void ChartView::OnPlottableClick(QCPAbstractPlottable* plottable, int index) {
    for (int i = 0; i < int(series_.size()); ++i) {
        Series* s = series_[i];
        if (s->Plottable() != plottable || s->xs.empty()) continue;
        if (!s->area) {
            if (index >= 0 && index < int(s->xs.size())) emit PointClicked(i, index);
            return;
        }
        // The area is stored sorted by x; report the index in the order points arrived.
        if (index < 0 || index >= s->graph->data()->size()) return;
        const auto it = s->graph->data()->at(index);
        for (int j = 0; j < int(s->xs.size()); ++j)
            if (s->xs[j] == it->key && s->ys[j] == it->value) { emit PointClicked(i, j); return; }
        return;
    }
}

void ChartView::SetSeriesPenStyle(int series, Qt::PenStyle style) {
    QCPAbstractPlottable* p = series_.at(series)->Plottable();
    QPen pen = p->pen();
    pen.setStyle(style);
    p->setPen(pen);
    Queue();
}

void ChartView::SetSeriesInLegend(int series, bool inLegend) {
    series_.at(series)->inLegend = inLegend;
    SetSeriesActive(series, series_.at(series)->active);
}

void ChartView::SetSeriesToolTip(int series, const QString& tip) { series_.at(series)->toolTip = tip; }
QString ChartView::SeriesToolTip(int series) const { return series_.at(series)->toolTip; }

QStringList ChartView::LegendTitles() const {
    QStringList titles;
    for (int i = 0; i < plot_->legend->itemCount(); ++i)
        if (auto* item = qobject_cast<QCPPlottableLegendItem*>(plot_->legend->item(i)))
            titles << item->plottable()->name();
    return titles;
}

void ChartView::SetLegendColumns(int columns) {
    plot_->legend->setWrap(std::max(0, columns));
    Queue();
}

bool ChartView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == plot_ && event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        auto* item = qobject_cast<QCPPlottableLegendItem*>(plot_->layoutElementAt(help->pos()));
        if (!item) {
            // layoutElementAt stops at the legend itself; ask it for the entry under the mouse.
            if (plot_->legend->visible() && plot_->legend->selectTest(help->pos(), false) >= 0) {
                for (int i = 0; i < plot_->legend->itemCount(); ++i) {
                    auto* candidate = qobject_cast<QCPPlottableLegendItem*>(plot_->legend->item(i));
                    if (candidate && candidate->outerRect().contains(help->pos())) item = candidate;
                }
            }
        }
        QString tip;
        if (item)
            for (const Series* s : series_)
                if (s->Plottable() == item->plottable()) tip = s->toolTip;
        if (tip.isEmpty()) QToolTip::hideText();
        else QToolTip::showText(help->globalPos(), tip, plot_);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
