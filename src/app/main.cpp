// The desktop program: creates the twelve windows and runs the menu window.
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <cstdio>
#include <cstring>
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

// Answered before QApplication exists, so that they work without a display. Other
// arguments are Qt's own (-platform, -style ...) and go on to QApplication.
int AnswerWithoutWindow(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) break;
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("orvane (Orvane) %s\n", ORVANE_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf(
                "沿岸波浪解析 Orvane %s: 窓で操作するプログラム\n"
                "使い方: orvane [オプション]\n"
                "\n"
                "オプション:\n"
                "  -h,--help    この説明を表示して終わる\n"
                "  --version    版を表示して終了\n"
                "  (ほかに Qt の -platform, -style などのオプションを受け付けます)\n"
                "\n"
                "設定ファイル WaveCval.dat と orvane.ini は $XDG_CONFIG_HOME/orvane/ (既定は\n"
                "~/.config/orvane/) に置かれます (ビルドしたフォルダから起動したときはプログラムの隣)。\n"
                "コマンドラインで計算するには orvane-cli、説明は man orvane を参照してください。\n",
                ORVANE_VERSION);
            return 0;
        }
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (const int rc = AnswerWithoutWindow(argc, argv); rc >= 0) return rc;
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
