#include "ui/app/AppContext.h"
#include "ui/app/ConstVal.h"
#include "ui/app/Desktop.h"
#include "ui/app/MainWave.h"
#include "ui/app/Processing.h"
#include "ui/app/Version.h"
#include "ui/chart/AxisSet.h"
#include "ui/help/Help.h"
#include "ui/series/SDFdata.h"
#include "ui/shoaling/ModelCompare.h"
#include "ui/shoaling/Shoaling.h"
#include "ui/velocity/BttmVel.h"
#include "ui/velocity/EstWaveHeight.h"
#include "ui/velocity/WaveVelSeries.h"
#include "ui/wave/Airy.h"
#include "ui/wave/Rayleigh.h"

void CreateWindows(AppContext& ctx) {
    // The order matters: the constants editor writes into the main and shoaling windows.
    ctx.form1 = new TForm1(ctx);
    ctx.airy = new TFrmAiry(ctx, ctx.form1);
    ctx.bttmVel = new TFrmBttmVel(ctx, ctx.form1);
    ctx.rayleigh = new TFrmRayleigh(ctx, ctx.form1);
    ctx.shoaling = new TFrmShoaling(ctx, ctx.form1);
    ctx.aboutBox = new TAboutBox(ctx, ctx.form1);
    ctx.editConst = new TFrmEditConst(ctx, ctx.form1);
    ctx.progress = new TFrmProgress(ctx, ctx.form1);
    ctx.axisSet = new TFrmAxisSet(ctx, ctx.form1);
    // Until a chart's axis is clicked, the dialog works on the shoaling chart.
    ctx.axisSet->AttachChart(ctx.shoaling->Chart1);
    ctx.waveVelSeries = new TFrmWaveVelSeries(ctx, ctx.form1);
    ctx.sdfData = new TFrmSDFdata(ctx, ctx.form1);
    ctx.estWaveHeight = new TFrmEstWaveHeight(ctx, ctx.form1);
    ctx.modelCompare = new TFrmModelCompare(ctx, ctx.form1);
    InstallHelpKey(ctx);
    InstallScreenFit(ctx.form1);
}

QWidget* MainWindow(const AppContext& ctx) { return ctx.form1; }

QWidget* WindowNamed(const AppContext& ctx, std::string_view name) {
    QWidget* const windows[] = {ctx.form1,     ctx.airy,          ctx.bttmVel,     ctx.rayleigh,
                                ctx.shoaling,  ctx.aboutBox,      ctx.editConst,   ctx.progress,
                                ctx.axisSet,   ctx.waveVelSeries, ctx.sdfData,     ctx.estWaveHeight,
                                ctx.modelCompare};
    for (QWidget* w : windows)
        if (w && w->objectName().toStdString() == name) return w;
    return nullptr;
}
