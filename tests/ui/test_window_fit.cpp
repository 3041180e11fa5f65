// Every window of the program opens inside its screen's available area with its action
// buttons whole and in view. ctest runs this also on a 1366x768 screen at scale 2 and 1.25
// and on 1920x1080 at 1.5 (tests/CMakeLists.txt).
#include <QApplication>
#include <QScreen>
#include <QTabWidget>
#include <gtest/gtest.h>

#include "ui/app/ConstVal.h"
#include "ui/app/Processing.h"
#include "ui/app/Version.h"
#include "ui/chart/AxisSet.h"
#include "ui/help/Help.h"
#include "ui/help/HelpViewer.h"
#include "ui/series/SDFdata.h"
#include "ui/shoaling/ModelCompare.h"
#include "ui/shoaling/Shoaling.h"
#include "ui/velocity/BttmVel.h"
#include "ui/velocity/EstWaveHeight.h"
#include "ui/velocity/WaveVelSeries.h"
#include "ui/wave/Airy.h"
#include "ui/wave/Rayleigh.h"
#include "UiFixture.h"

namespace {

const QString kSamples = QStringLiteral(ORVANE_TEST_DATA "/../../examples/data/");

}  // namespace

class WindowFit : public UiFixture {
protected:
    // The window shown as the program shows it, then its frame and buttons checked.
    void Check(QWidget* window, const QStringList& buttons) {
        SCOPED_TRACE(window->objectName().toStdString());
        if (!window->isVisible()) window->show();
        QApplication::processEvents();
        const QRect area = window->screen()->availableGeometry();
        EXPECT_TRUE(area.contains(window->frameGeometry()))
            << "frame " << Text(window->frameGeometry()) << " area " << Text(area);
        for (const QString& name : buttons) {
            auto* b = FindChildOrFail<QWidget>(window, name);
            EXPECT_TRUE(b->isVisible()) << name.toStdString();
            // Not cut by the window's edge nor by a scroll area around it.
            EXPECT_EQ(b->visibleRegion().boundingRect(), b->rect()) << name.toStdString();
            EXPECT_TRUE(window->rect().contains(QRect(b->mapTo(window, QPoint(0, 0)), b->size())))
                << name.toStdString();
        }
    }
    static std::string Text(const QRect& r) {
        return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()).toStdString();
    }
};

TEST_F(WindowFit, EveryWindowOpensOnTheScreenWithItsButtonsInView) {
    ctx.form1->show();
    Check(ctx.form1, {});
    Check(ctx.airy, {"BitBtn1", "BitBtn2"});
    Check(ctx.bttmVel, {"BitBtn1", "BitBtn2"});
    Check(ctx.rayleigh, {"BitBtn1"});
    Check(ctx.aboutBox, {"OKButton"});
    Check(ctx.editConst, {"BitBtn1", "BitBtn2"});
    Check(ctx.progress, {"BitBtn1"});
    for (QWidget* w : {static_cast<QWidget*>(ctx.airy), static_cast<QWidget*>(ctx.bttmVel),
                       static_cast<QWidget*>(ctx.rayleigh), static_cast<QWidget*>(ctx.aboutBox),
                       static_cast<QWidget*>(ctx.editConst), static_cast<QWidget*>(ctx.progress)})
        w->hide();

    // The shoaling window from the menu, its chart's axis dialog, and the comparison.
    Check(ctx.shoaling, {"BitBtn1", "BitBtn2"});
    Check(ctx.axisSet, {"BitBtn1", "BitBtn2", "BitBtnFont"});
    ctx.axisSet->hide();
    SetText(ctx.shoaling, "EdtCalPoint", "8,6,4,2");
    ASSERT_TRUE(ctx.modelCompare->Compare(ctx.shoaling->CompareRequest()));
    Check(ctx.modelCompare, {"BitBtn1"});
    ctx.modelCompare->hide();
    ctx.shoaling->hide();

    // The wave-velocity tool with the shoaling window beside it; the save window.
    Check(ctx.waveVelSeries, {"BitBtn1", "BitBtn2"});
    Check(ctx.shoaling, {});
    ctx.waveVelSeries->hide();
    ctx.shoaling->LeaveServiceMode();
    ctx.shoaling->hide();
    ctx.sdfData->FillSeriesWindow();
    Check(ctx.sdfData, {"BitBtn1", "BitBtn2"});
    ctx.sdfData->hide();

    // The height tool with a file open, all its groups shown.
    ctx.estWaveHeight->show();
    SetText(ctx.estWaveHeight, "EditInputFile", kSamples + "offshore.tsd");
    ASSERT_TRUE(ctx.estWaveHeight->findChild<QWidget*>("GroupBoxTp")->isVisible());
    Check(ctx.estWaveHeight, {"BitBtn2", "BitBtn3"});
    ctx.estWaveHeight->hide();

    OpenHelpPage(ctx, "shoaling");
    Check(ctx.helpViewer, {"BackButton"});
}
