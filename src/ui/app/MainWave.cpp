#include "ui/app/MainWave.h"
#include <QCloseEvent>
#include <QMenuBar>
#include <QShowEvent>
#include <QTimer>
#include "core/wave/WaveNumber.h"
#include "ui/app/ConstVal.h"
#include "ui/app/Guard.h"
#include "ui/app/Version.h"
#include "ui/help/Help.h"
#include "ui/help/HelpViewer.h"
#include "ui/series/SDFdata.h"
#include "ui/shoaling/Shoaling.h"
#include "ui/velocity/BttmVel.h"
#include "ui/velocity/EstWaveHeight.h"
#include "ui/velocity/WaveVelSeries.h"
#include "ui/wave/Airy.h"
#include "ui/wave/Rayleigh.h"

namespace {

void ShowGroup(QWidget* window, const char* name) {
    if (auto* w = window->findChild<QWidget*>(QString::fromLatin1(name))) w->setVisible(true);
}

}  // namespace

TForm1::TForm1(AppContext& ctx, QWidget* parent) : QMainWindow(parent), ctx_(ctx) {
    setObjectName("TForm1");
    setWindowTitle(QStringLiteral("沿岸波浪解析　Orvane"));

    QMenuBar* bar = menuBar();
    V1 = bar->addMenu(QStringLiteral("基本計算(&V)"));
    V1->setObjectName("V1");
    B1 = AddItem(V1, "B1", QStringLiteral("微小振幅波の緒量(&S)"), &TForm1::B1Click);
    W1 = AddItem(V1, "W1", QStringLiteral("波高の浅水変化(&H)"), &TForm1::W1Click);
    B2 = AddItem(V1, "B2", QStringLiteral("底面流速(&B)"), &TForm1::B2Click);
    ProbWaveHeight = AddItem(V1, "ProbWaveHeight", QStringLiteral("確率波高(&P)"), &TForm1::ProbWaveHeightClick);
    N1 = V1->addSeparator();
    N1->setObjectName("N1");
    Exit1 = AddItem(V1, "Exit1", QStringLiteral("終了(&Q)"), &TForm1::Exit1Click);

    Tool1 = bar->addMenu(QStringLiteral("ツール(&T)"));
    Tool1->setObjectName("Tool1");
    N2 = AddItem(Tool1, "N2", QStringLiteral("沖波と潮汐から波動流速時系列を推定(&V)"), &TForm1::N2Click);
    H2 = AddItem(Tool1, "H2", QStringLiteral("底面流速の振幅と周期から波高時系列を推定(&H)"), &TForm1::H2Click);

    // A top-level item without a submenu.
    C1 = new QAction(QStringLiteral("定数(&C)"), this);
    C1->setObjectName("C1");
    connect(C1, &QAction::triggered, this, &TForm1::C1Click);
    bar->addAction(C1);

    H1 = bar->addMenu(QStringLiteral("ヘルプ(&H)"));
    H1->setObjectName("H1");
    Contents1 = AddItem(H1, "Contents1", QStringLiteral("目次"), &TForm1::Contents1Click);
    N3 = AddItem(H1, "N3", QStringLiteral("キーワード"), &TForm1::N3Click);
    N4 = H1->addSeparator();
    N4->setObjectName("N4");
    V2 = AddItem(H1, "V2", QStringLiteral("バージョン情報(&V)"), &TForm1::V2Click);

    // The frame, title bar included, at (9, 15); the client area is the menu bar alone.
    resize(507, bar->sizeHint().height());
    move(9, 15);
}

QAction* TForm1::AddItem(QMenu* menu, const char* name, const QString& caption, void (TForm1::*slot)()) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    connect(a, &QAction::triggered, this, slot);
    return a;
}

double TForm1::WaveNumber(double T, double h) const { return orvane::WaveNumber(T, h, ctx_.constants.gra); }

void TForm1::B1Click() {
    RunGuarded(ctx_, [&] { ShowModal(ctx_, ctx_.airy); });
}

void TForm1::W1Click() {
    RunGuarded(ctx_, [&] {
        // The wave-velocity tool hides these two boxes when it borrows the window.
        ShowGroup(ctx_.shoaling, "GroupBox1");
        ShowGroup(ctx_.shoaling, "GroupBox3");
        ShowModal(ctx_, ctx_.shoaling);
    });
}

void TForm1::B2Click() {
    RunGuarded(ctx_, [&] { ShowModal(ctx_, ctx_.bttmVel); });
}

void TForm1::ProbWaveHeightClick() {
    RunGuarded(ctx_, [&] { ShowModal(ctx_, ctx_.rayleigh); });
}

void TForm1::Exit1Click() {
    // At once and without FormClose: the settings file is not written on this path.
    QuitProgram(ctx_);
}

void TForm1::N2Click() {
    RunGuarded(ctx_, [&] { ShowModal(ctx_, ctx_.waveVelSeries); });
}

void TForm1::H2Click() {
    RunGuarded(ctx_, [&] { ShowModal(ctx_, ctx_.estWaveHeight); });
}

void TForm1::C1Click() {
    RunGuarded(ctx_, [&] { ShowModal(ctx_, ctx_.editConst); });
}

void TForm1::Contents1Click() {
    RunGuarded(ctx_, [&] { OpenHelpContents(ctx_); });
}

void TForm1::N3Click() {
    RunGuarded(ctx_, [&] { OpenHelpKeywordSearch(ctx_); });
}

void TForm1::V2Click() {
    RunGuarded(ctx_, [&] { ShowModal(ctx_, ctx_.aboutBox); });
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!firstShowQueued_ && !event->spontaneous()) {
        firstShowQueued_ = true;
        // Queued, so that the main window is on screen under the about box.
        QTimer::singleShot(0, this, &TForm1::FormShow);
    }
}

void TForm1::FormShow() {
    if (firstShowDone_) return;
    firstShowDone_ = true;
    RunGuarded(ctx_, [&] { ShowModal(ctx_, ctx_.aboutBox); });
    RunGuarded(ctx_, [&] { ctx_.editConst->LoadConstants(); });
    // Runs even after a failed load: the series window needs its unit lists either way.
    RunGuarded(ctx_, [&] { ctx_.sdfData->InitSeriesWindow(); });
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (RunGuarded(ctx_, [&] { ctx_.editConst->SaveConstants(); })) {
        // A help window left open would otherwise keep the program running.
        if (ctx_.helpViewer) ctx_.helpViewer->close();
        event->accept();
    } else {
        event->ignore();
    }
}
