#pragma once
// The single instances of every window, created once at start-up in this order and kept
// for the whole run. Windows reach one another only through this object.
#include "core/app/PhysicalConstants.h"
#include "core/runtime/Prompter.h"
#include "core/runtime/Progress.h"

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

    // gra, SGfluid, RTp are the main window's; gamma_TG, B_TG the shoaling window's.
    // Both live here so that core calls get one record.
    orvane::PhysicalConstants constants;
    // Message boxes: QtPrompter in the program, a ScriptedPrompter in tests.
    orvane::Prompter* prompter = nullptr;
    // The progress dialog as the core sees it.
    orvane::Progress* progressSink = nullptr;
    // The folder of WaveCval.dat (with trailing separator).
    std::string settingsDir;
};

// Creates the twelve windows in their fixed order; the caller owns nothing else.
// Defined in app/CreateWindows.cpp.
void CreateWindows(AppContext& ctx);
