#include "ui/chart/ChartActions.h"

#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include "ui/app/Desktop.h"
#include "ui/chart/AxisSet.h"

void PreviewChart(AppContext& ctx, QWidget* parent, ChartView* chart) {
    // At screen resolution the fonts keep their size relative to the plot when it is scaled
    // to the page; the drawing stays vector.
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintPreviewDialog preview(&printer, parent);
    preview.setObjectName("PrintPreview");
    preview.setWindowTitle(QStringLiteral("印刷プレビュー"));
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, chart,
                     [chart](QPrinter* p) { chart->PrintTo(p); });
    ShowModal(ctx, &preview);
    chart->ReplotNow();
}

void SaveChartImage(AppContext& ctx, QWidget* parent, ChartView* chart) {
    const QString name = ChooseFile(ctx, parent, QStringLiteral("画像として保存"),
                                    QStringLiteral("PNG 画像 (*.png);;PDF 文書 (*.pdf)"), QString(), true,
                                    DialogPurpose::Image);
    if (name.isEmpty()) return;
    const QString suffix = QFileInfo(name).suffix().toLower();
    bool ok;
    if (suffix == "pdf") ok = chart->SavePdf(name);
    else ok = chart->SavePng(suffix == "png" ? name : name + ".png");
    if (!ok) ctx.prompter->Error("画像ファイルを書き込めませんでした。");
}

void OpenAxisDialog(AppContext& ctx, ChartView* chart, ChartAxis axis) {
    int item = -1;
    switch (axis) {
    case ChartAxis::Bottom: item = 0; break;
    case ChartAxis::Left: item = 1; break;
    case ChartAxis::Right: item = 2; break;
    case ChartAxis::Top: return;
    }
    ctx.axisSet->AttachChart(chart);
    ctx.axisSet->RadioGroup1->SetItemIndex(item);
    ShowModal(ctx, ctx.axisSet);
    chart->ReplotNow();
}
