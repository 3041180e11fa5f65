#include "ui/chart/ChartActions.h"

#include <QComboBox>
#include <QDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
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

bool AskImageSize(AppContext& ctx, QWidget* parent, QSize& size, double& scale) {
    QDialog dialog(parent);
    dialog.setObjectName("ImageSizeDialog");
    dialog.setWindowTitle(QStringLiteral("画像の大きさ"));
    auto spin = [&dialog](const char* name, int value) {
        auto* s = new QSpinBox(&dialog);
        s->setObjectName(QString::fromLatin1(name));
        s->setRange(100, 10000);
        s->setSuffix(QStringLiteral(" px"));
        s->setValue(value);
        return s;
    };
    QSpinBox* width = spin("SpinWidth", size.width());
    QSpinBox* height = spin("SpinHeight", size.height());
    auto* resolution = new QComboBox(&dialog);
    resolution->setObjectName("ComboScale");
    for (int k = 1; k <= 4; ++k) resolution->addItem(QStringLiteral("%1 倍").arg(k), k);
    resolution->setCurrentIndex(std::clamp(int(scale), 1, 4) - 1);
    resolution->setToolTip(QStringLiteral("文字と線も同じ倍率で大きくなります（2 倍で約 192 dpi）"));
    auto* pixels = new QLabel(&dialog);
    pixels->setObjectName("LabelPixels");
    auto update = [=] {
        const int k = resolution->currentData().toInt();
        pixels->setText(QStringLiteral("%1 × %2 ピクセル").arg(width->value() * k).arg(height->value() * k));
    };
    QObject::connect(width, &QSpinBox::valueChanged, &dialog, update);
    QObject::connect(height, &QSpinBox::valueChanged, &dialog, update);
    QObject::connect(resolution, &QComboBox::currentIndexChanged, &dialog, update);
    update();
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("幅："), width);
    form->addRow(QStringLiteral("高さ："), height);
    form->addRow(QStringLiteral("解像度："), resolution);
    form->addRow(QStringLiteral("画像："), pixels);
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    ok->setObjectName("BitBtn1");
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"), &dialog);
    cancel->setObjectName("BitBtn2");
    cancel->setAutoDefault(false);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* v = new QVBoxLayout(&dialog);
    v->addLayout(form);
    v->addLayout(buttons);
    if (ShowModal(ctx, &dialog) != QDialog::Accepted) return false;
    size = QSize(width->value(), height->value());
    scale = resolution->currentData().toInt();
    return true;
}

void SaveChartImage(AppContext& ctx, QWidget* parent, ChartView* chart) {
    const QString name = ChooseFile(ctx, parent, QStringLiteral("画像として保存"),
                                    QStringLiteral("PNG 画像 (*.png);;PDF 文書 (*.pdf)"), QString(), true,
                                    DialogPurpose::Image);
    if (name.isEmpty()) return;
    const QString suffix = QFileInfo(name).suffix().toLower();
    bool ok;
    if (suffix == "pdf") {
        ok = chart->SavePdf(name);
    } else {
        QSize size = chart->DrawnSize();
        double scale = 2;
        if (!AskImageSize(ctx, parent, size, scale)) return;
        ok = chart->SavePng(suffix == "png" ? name : name + ".png", size, scale);
    }
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
