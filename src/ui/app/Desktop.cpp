#include "ui/app/Desktop.h"
#include <algorithm>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QScreen>
#include <QSettings>
#include <QTranslator>
#include <QWidget>
#include "ui/app/AppContext.h"

bool InstallQtJapanese() {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

namespace {
QString FolderKey(const QString& purpose) { return QStringLiteral("folders/") + purpose; }
}  // namespace

QString DialogStart(const AppContext& ctx, const QString& purpose, const QString& start) {
    if (purpose.isEmpty() || ctx.dialogFoldersFile.isEmpty()) return start;
    const QFileInfo given(start);
    if (!start.isEmpty() && given.isAbsolute() && given.absoluteDir().exists()) return start;
    const QSettings settings(ctx.dialogFoldersFile, QSettings::IniFormat);
    const QString folder = settings.value(FolderKey(purpose)).toString();
    if (folder.isEmpty() || !QDir(folder).exists()) return start;
    return start.isEmpty() ? folder : QDir(folder).filePath(given.fileName());
}

void RememberDialogFolder(const AppContext& ctx, const QString& purpose, const QString& chosen) {
    if (purpose.isEmpty() || ctx.dialogFoldersFile.isEmpty() || chosen.isEmpty()) return;
    QSettings settings(ctx.dialogFoldersFile, QSettings::IniFormat);
    settings.setValue(FolderKey(purpose), QFileInfo(chosen).absolutePath());
}

void FitToScreen(QWidget* window) {
    const QScreen* screen = window->screen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    QRect frame = window->frameGeometry();
    // Before the window manager has framed it, allow for a title bar and borders.
    QSize extra = frame.size() - window->size();
    if (extra.width() <= 0 && extra.height() <= 0) extra = QSize(8, 32);
    const QSize room = area.size() - extra;
    if (window->width() > room.width() || window->height() > room.height())
        window->resize(window->size().boundedTo(room));
    frame = window->frameGeometry();
    QPoint at = frame.topLeft();
    const QSize outer = window->size() + extra;
    at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() + 1 - outer.width())));
    at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() + 1 - outer.height())));
    if (at != frame.topLeft()) window->move(at);
}

void PlaceBeside(QWidget* tool, QWidget* host) {
    const QScreen* screen = host->screen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    QSize size = tool->isVisible()                     ? tool->frameGeometry().size()
                 : tool->testAttribute(Qt::WA_Resized) ? tool->size()
                                                       : tool->sizeHint();
    const int gap = 8;
    QRect h = host->frameGeometry();
    const bool rightFits = h.right() + gap + size.width() <= area.right();
    const bool leftFits = h.left() - gap - size.width() >= area.left();
    if (!rightFits && !leftFits && host->isWindow()) {
        // Side by side only with the host at the screen's left edge, and the tool narrowed
        // to what is left when it allows.
        host->move(area.left(), host->frameGeometry().top());
        h = host->frameGeometry();
        const int room = area.right() - h.right() - gap;
        if (room < size.width() && room >= tool->minimumSizeHint().width()) {
            const int frame = tool->frameGeometry().width() - tool->width();
            tool->resize(room - std::max(frame, 0), tool->height());
            size.setWidth(room);
        }
    }
    QPoint at;
    if (h.right() + gap + size.width() <= area.right() + 1) at = {h.right() + gap, h.top()};
    else if (leftFits) at = {h.left() - gap - size.width(), h.top()};
    else at = {h.right() + gap, h.top()};
    at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() + 1 - size.width())));
    at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() + 1 - size.height())));
    tool->move(at);
}
