#pragma once
// What a result chart's tool bar and axes do, the same in every window that has one.
#include <QWidget>
#include "ui/app/AppContext.h"
#include "ui/chart/ChartView.h"

// The print preview of `chart`, landscape, modal over `parent`.
void PreviewChart(AppContext& ctx, QWidget* parent, ChartView* chart);
// The size (the chart's own pixels) and resolution of a PNG; false when cancelled.
bool AskImageSize(AppContext& ctx, QWidget* parent, QSize& size, double& scale);
// Asks for a PNG (then its size) or PDF (an A4 page) name and writes the chart there; a
// failed write is reported.
void SaveChartImage(AppContext& ctx, QWidget* parent, ChartView* chart);
// The axis dialog on the clicked axis of `chart` (the top axis has none).
void OpenAxisDialog(AppContext& ctx, ChartView* chart, ChartAxis axis);
