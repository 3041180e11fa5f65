// Writes the installed icon files from the drawing the windows show:
// <dir>/<size>x<size>/apps/orvane.png for each size and <dir>/scalable/apps/orvane.svg.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPixmap>
#include <cstdio>
#include "ui/app/ProgramIcon.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: write-icons DIR\n");
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString dir = root.filePath(QStringLiteral("%1x%1/apps").arg(size));
        if (!QDir().mkpath(dir) || !ProgramPixmap(size).save(dir + QStringLiteral("/orvane.png"))) return 1;
    }
    const QString svgDir = root.filePath(QStringLiteral("scalable/apps"));
    QFile svg(svgDir + QStringLiteral("/orvane.svg"));
    if (!QDir().mkpath(svgDir) || !svg.open(QIODevice::WriteOnly)) return 1;
    return svg.write(ProgramIconSvg().toUtf8()) < 0 ? 1 : 0;
}
