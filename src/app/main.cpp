// The desktop program: creates the twelve windows and runs the menu window.
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include "core/app/SettingsFile.h"
#include "ui/app/AppContext.h"
#include "ui/app/Desktop.h"
#include "ui/app/Fonts.h"
#include "ui/app/MainWave.h"
#include "ui/app/Processing.h"
#include "ui/app/ProgramIcon.h"
#include "ui/app/QtPrompter.h"

namespace {

// Run from the folder it was built in, the program keeps its files beside itself as it
// always has; installed anywhere else, it never writes into its own folder.
bool RunsFromBuildTree(const QString& programDir) {
    const QString tree = QDir::cleanPath(QStringLiteral(ORVANE_BUILD_TREE)) + QLatin1Char('/');
    return (QDir::cleanPath(programDir) + QLatin1Char('/')).startsWith(tree);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("orvane"));
    QApplication::setWindowIcon(ProgramIcon());
    InstallQtJapanese();
    ApplyProgramFonts();

    QtPrompter prompter;
    AppContext ctx;
    ctx.prompter = &prompter;
    const QString programDir = QCoreApplication::applicationDirPath();
    const orvane::SettingsPlace place =
        orvane::LocateSettings(programDir.toStdString(), RunsFromBuildTree(programDir));
    ctx.settingsDir = place.dir;
    ctx.settingsFallbackDir = place.fallbackDir;
    ctx.dialogFoldersFile = QString::fromStdString(place.dir) + QStringLiteral("orvane.ini");

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
