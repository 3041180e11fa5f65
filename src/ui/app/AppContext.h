#pragma once
// The single instances of every window, created once at start-up in this order and kept
// for the whole run. Windows reach one another only through this object.
#include <functional>
#include <string>
#include <string_view>
#include <QString>
#include "core/app/PhysicalConstants.h"
#include "core/runtime/Prompter.h"
#include "core/runtime/Progress.h"

class QDialog;
class QWidget;
class TForm1;
class TFrmAiry;
class TFrmBttmVel;
class TFrmRayleigh;
class TFrmShoaling;
class TAboutBox;
class TFrmEditConst;
class TFrmProgress;
class TFrmAxisSet;
class TFrmWaveVelSeries;
class TFrmSDFdata;
class TFrmEstWaveHeight;
class TFrmModelCompare;
class HelpViewer;

struct AppContext {
    TForm1* form1 = nullptr;
    TFrmAiry* airy = nullptr;
    TFrmBttmVel* bttmVel = nullptr;
    TFrmRayleigh* rayleigh = nullptr;
    TFrmShoaling* shoaling = nullptr;
    TAboutBox* aboutBox = nullptr;
    TFrmEditConst* editConst = nullptr;
    TFrmProgress* progress = nullptr;
    TFrmAxisSet* axisSet = nullptr;
    TFrmWaveVelSeries* waveVelSeries = nullptr;
    TFrmSDFdata* sdfData = nullptr;
    TFrmEstWaveHeight* estWaveHeight = nullptr;
    TFrmModelCompare* modelCompare = nullptr;
    // Made when help is first asked for (help/Help.h).
    HelpViewer* helpViewer = nullptr;

    // gra, SGfluid, RTp are the main window's; gamma_TG, B_TG the shoaling window's.
    // Both live here so that core calls get one record.
    orvane::PhysicalConstants constants;
    // Message boxes: QtPrompter in the program, a ScriptedPrompter in tests.
    orvane::Prompter* prompter = nullptr;
    // The progress dialog as the core sees it.
    orvane::Progress* progressSink = nullptr;
    // The folder of WaveCval.dat (with trailing separator), where it is written and first
    // looked for; a WaveCval.dat in settingsFallbackDir is read when there is none there.
    std::string settingsDir;
    std::string settingsFallbackDir;
    // The file that keeps each file dialog's last folder (app/Desktop.h); empty: none kept.
    QString dialogFoldersFile;

    // Showing a window modally and choosing a file go through these, so that tests can
    // answer them without a nested event loop. Defaults: QDialog::exec and QFileDialog.
    std::function<int(QDialog*)> execModal;
    // save = true for a save dialog; returns "" when the user cancels.
    std::function<QString(QWidget* parent, const QString& caption, const QString& filter,
                          const QString& start, bool save)> chooseFile;
    // Ends the program at once, without the main window's close handling
    // ("終了(&Q)"). Default: QCoreApplication::exit(0).
    std::function<void()> quitProgram;
};

// Runs ctx.quitProgram, or ends the event loop when it is not set.
void QuitProgram(AppContext& ctx);

int ShowModal(AppContext& ctx, QDialog* dialog);
// With a `purpose` (app/Desktop.h), the dialog starts in that purpose's last folder when
// `start` names no existing folder, and the folder chosen is kept for the next time.
QString ChooseFile(AppContext& ctx, QWidget* parent, const QString& caption,
                   const QString& filter, const QString& start, bool save,
                   const QString& purpose = QString());

// Creates the twelve windows in their fixed order, then the model comparison; the caller
// owns nothing else.
void CreateWindows(AppContext& ctx);
// The main window as a plain widget: the owner of windows and dialogs that have no other.
QWidget* MainWindow(const AppContext& ctx);
// The window whose objectName (its class name, "TFrmShoaling") is `name`; null for none.
QWidget* WindowNamed(const AppContext& ctx, std::string_view name);
// These three are defined in app/CreateWindows.cpp, the one place that knows every
// window's class: the windows and the help reach one another through this file alone.
