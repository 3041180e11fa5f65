// The desktop program: creates the twelve windows and runs the menu window.
#include <QApplication>
#include <QMessageBox>
#include "core/app/SettingsFile.h"
#include "ui/app/AppContext.h"
#include "ui/app/Fonts.h"
#include "ui/app/MainWave.h"
#include "ui/app/Processing.h"
#include "ui/app/ProgramIcon.h"
#include "ui/app/QtPrompter.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("orvane"));
    QApplication::setWindowIcon(ProgramIcon());
    ApplyProgramFonts();

    QtPrompter prompter;
    AppContext ctx;
    ctx.prompter = &prompter;
    ctx.settingsDir = orvane::SettingsDirectory(QCoreApplication::applicationDirPath().toStdString());

    CreateWindows(ctx);
    ctx.progressSink = ctx.progress;
    ctx.form1->show();
    int rc = app.exec();
    // The windows go before the context they point into; "終了(&Q)" and a close end here
    // alike, and nothing is saved on the way out.
    delete ctx.form1;
    ctx.form1 = nullptr;
    return rc;
}
