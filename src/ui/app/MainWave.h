#pragma once
// 沿岸波浪解析　Orvane (unit MainWave): the menu window from which every tool is opened.
#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include "ui/app/AppContext.h"

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(AppContext& ctx, QWidget* parent = nullptr);

    // k (rad/m) of a linear wave of period T (s) in depth h (m), with the current gravity.
    double WaveNumber(double T, double h) const;

    // Menus and items, named as their handlers expect.
    QMenu* V1 = nullptr;
    QAction* B1 = nullptr;
    QAction* W1 = nullptr;
    QAction* B2 = nullptr;
    QAction* ProbWaveHeight = nullptr;
    QAction* N1 = nullptr;
    QAction* Exit1 = nullptr;
    QMenu* Tool1 = nullptr;
    QAction* N2 = nullptr;
    QAction* H2 = nullptr;
    QAction* C1 = nullptr;
    QMenu* H1 = nullptr;
    QAction* Contents1 = nullptr;
    QAction* N3 = nullptr;
    QAction* N4 = nullptr;
    QAction* V2 = nullptr;

    // True once the first-show sequence has run (about box, settings, series window).
    bool FirstShowDone() const { return firstShowDone_; }

public slots:
    void B1Click();
    void W1Click();
    void B2Click();
    void ProbWaveHeightClick();
    void Exit1Click();
    void N2Click();
    void H2Click();
    void C1Click();
    void Contents1Click();
    void N3Click();
    void V2Click();
    // The first-show sequence; runs once, queued right after the window first appears.
    void FormShow();

protected:
    void showEvent(QShowEvent* event) override;
    // FormClose: saves the settings; a failed save keeps the window open.
    void closeEvent(QCloseEvent* event) override;

private:
    QAction* AddItem(QMenu* menu, const char* name, const QString& caption, void (TForm1::*slot)());
    AppContext& ctx_;
    bool firstShowQueued_ = false;
    bool firstShowDone_ = false;
};
