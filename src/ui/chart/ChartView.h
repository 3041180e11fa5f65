#pragma once
// The result chart as the windows see it: series of (x, y) points, three titled and ranged
// axes (bottom, left, right), clicks on axes and points, printing and image export.
// The plotting library stays behind this class; no other file includes its header.
#include <QColor>
#include <QFont>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <vector>

class QCustomPlot;
class QCPAxis;
class QCPAbstractPlottable;
class QPainter;
class QPrinter;

enum class ChartAxis { Bottom, Left, Right, Top };

class ChartView : public QWidget {
    Q_OBJECT
public:
    explicit ChartView(QWidget* parent = nullptr);
    ~ChartView() override;

    // Series. `vertical` is Left or Right. Returns the series id.
    int AddLineSeries(const QString& title, const QColor& color, int width, ChartAxis vertical);
    // A filled area from the line down to the lower end of its vertical axis.
    int AddAreaSeries(const QString& title, const QColor& color, ChartAxis vertical);
    void ClearSeries(int series);
    void AddPoint(int series, double x, double y);
    void SetSeriesActive(int series, bool active);
    bool SeriesActive(int series) const;
    void SetSeriesTitle(int series, const QString& title);
    QString SeriesTitle(int series) const;
    int PointCount(int series) const;
    double PointX(int series, int index) const;
    double PointY(int series, int index) const;

    void SetTitle(const QString& title);
    QString Title() const;
    void SetLegendVisible(bool visible);
    bool LegendVisible() const;

    // Axes. The top axis is only the frame line; settings apply to the other three.
    void SetAxisTitle(ChartAxis axis, const QString& title);
    QString AxisTitle(ChartAxis axis) const;
    QFont AxisTitleFont(ChartAxis axis) const;
    void SetAxisTitleFont(ChartAxis axis, const QFont& font);
    bool AxisVisible(ChartAxis axis) const;
    bool AxisAutomatic(ChartAxis axis) const;
    // Switching to manual keeps the range shown at that moment.
    void SetAxisAutomatic(ChartAxis axis, bool automatic);
    // The set range: the manual ends, or the range of the data when automatic.
    double AxisMinimum(ChartAxis axis) const;
    double AxisMaximum(ChartAxis axis) const;
    // The range checks of these three raise OrvaneError with the chart's own English texts.
    void SetAxisMinimum(ChartAxis axis, double value);
    void SetAxisMaximum(ChartAxis axis, double value);
    // 0 lets the chart choose the tick spacing.
    void SetAxisIncrement(ChartAxis axis, double value);
    double AxisIncrement(ChartAxis axis) const;
    bool AxisLogarithmic(ChartAxis axis) const;
    void SetAxisLogarithmic(ChartAxis axis, bool logarithmic);
    // Manual range from two ends in either order.
    void SetAxisRange(ChartAxis axis, double end1, double end2);
    Qt::PenStyle GridStyle(ChartAxis axis) const;
    bool GridVisible(ChartAxis axis) const;
    void SetGrid(ChartAxis axis, Qt::PenStyle style, bool visible);

    // Undoes mouse zoom and drag: back to the set ranges.
    void ResetView();
    // Draws at once (normally drawing is queued and coalesced).
    void ReplotNow();

    // Paints the chart scaled onto a page of `printer`.
    void PrintTo(QPrinter* printer);
    // `size` in the chart's own pixels (invalid: as drawn on screen), `scale` the resolution:
    // the image is size x scale pixels with text and lines scaled alike.
    bool SavePng(const QString& path, QSize size = QSize(), double scale = 1.0);
    // An A4 landscape page.
    bool SavePdf(const QString& path);
    // The size the chart is drawn at on screen (at least 640 x 400).
    QSize DrawnSize() const;

    // Widget coordinates of a data point and of a point on an axis line, for tests and
    // for tools that want to point at something.
    QWidget* PlotWidget() const;
    QPoint PointPixel(int series, int index);
    QPoint AxisPixel(ChartAxis axis);
    // The visible range of an axis (after zoom), lower first.
    double ViewLower(ChartAxis axis) const;
    double ViewUpper(ChartAxis axis) const;

    // Line pen style (solid by default); whether the series has a legend entry while
    // active; the tool tip of its legend entry.
    void SetSeriesPenStyle(int series, Qt::PenStyle style);
    void SetSeriesInLegend(int series, bool inLegend);
    void SetSeriesToolTip(int series, const QString& tip);
    QString SeriesToolTip(int series) const;
    // The legend's entries as drawn, in order.
    QStringList LegendTitles() const;
    // Legend entries per row (0: all in one row).
    void SetLegendColumns(int columns);

signals:
    void AxisClicked(ChartAxis axis);
    void PointClicked(int series, int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Series;
    struct AxisSet;
    QCPAxis* Axis(ChartAxis axis) const;
    AxisSet& State(ChartAxis axis);
    const AxisSet& State(ChartAxis axis) const;
    bool DataRange(ChartAxis axis, double& lo, double& hi) const;
    void ApplyRanges();
    void UpdateAreaBases();
    void UpdateAxisVisibility();
    void ApplyTicker(ChartAxis axis);
    void Queue();
    void OnAxisClick(QCPAxis* axis);
    void OnPlottableClick(QCPAbstractPlottable* plottable, int index);

    QCustomPlot* plot_;
    std::vector<Series*> series_;
    AxisSet* axes_;
    class QCPTextElement* title_;
    class QCPLayoutGrid* legendRow_;
    bool rangesDirty_ = true;
};
