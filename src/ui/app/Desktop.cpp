#include "ui/app/Desktop.h"
#include <algorithm>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QTreeView>
#include <QLayout>
#include <QVBoxLayout>
#include <QLibraryInfo>
#include <QScreen>
#include <QSettings>
#include <QTranslator>
#include <QWidget>
#include "ui/app/AppContext.h"

namespace {

// Texts on the user's path that Qt's Japanese catalogue leaves in English (contexts renamed
// in Qt 6, or never translated). Asked only after the catalogue, so it never overrides one.
class QtJapaneseSupplement : public QTranslator {
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char* disambiguation,
                      int n) const override {
        Q_UNUSED(disambiguation);
        Q_UNUSED(n);
        struct Text { const char* context; const char* source; const char* japanese; };
        static const Text texts[] = {
            {"QAbstractFileIconProvider", "Folder", "フォルダ"},
            {"QAbstractFileIconProvider", "Drive", "ドライブ"},
            {"QAbstractFileIconProvider", "File", "ファイル"},
            {"QAbstractFileIconProvider", "%1 File", "%1 ファイル"},
            {"QFileDialog", "Computer", "コンピュータ"},
            {"QPlatformTheme", "&Save", "保存(&S)"},
            {"QPlatformTheme", "&Open", "開く(&O)"},
            {"QPrintSettingsOutput", "Pages", "ページ指定"},
            {"QPrintSettingsOutput", "All Pages", "すべてのページ"},
            {"QPrintSettingsOutput", "Odd Pages", "奇数ページ"},
            {"QPrintSettingsOutput", "Even Pages", "偶数ページ"},
            {"QPrintSettingsOutput", "Specify pages or ranges, e.g. \"1-3,7,11\"",
             "ページまたは範囲を指定します（例 \"1-3,7,11\"）"},
            {"QPrintWidget", "Properties", "プロパティ"},
            {"QPrintPreviewDialog", "Single Page", "単一ページ"},
            {"QPrintPreviewDialog", "Facing Pages", "見開きページ"},
            {"QPrintPreviewDialog", "Overview of Pages", "ページの概要"},
            {"QPrintPreviewDialog", "Close", "閉じる"},
        };
        for (const Text& t : texts)
            if (qstrcmp(context, t.context) == 0 && qstrcmp(source, t.source) == 0)
                return QString::fromUtf8(t.japanese);
        return QString();
    }
};

}  // namespace

bool InstallQtJapanese() {
    // Installed first, so that it is asked last.
    QCoreApplication::installTranslator(new QtJapaneseSupplement(QCoreApplication::instance()));
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

void SizeFileDialog(QFileDialog* dialog) {
    // Qt's own dialog opens at about 580 x 400, with the size column cut to "14…イト".
    dialog->resize(860, 520);
    for (QTreeView* view : dialog->findChildren<QTreeView*>()) {
        QHeaderView* header = view->header();
        if (header->count() < 2) continue;
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int c = 1; c < header->count(); ++c) header->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    }
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

namespace {

class ScreenFitFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show || event->spontaneous() || !watched->isWidgetType()) return false;
        auto* w = static_cast<QWidget*>(watched);
        const Qt::WindowType type = w->windowType();
        if (!w->isWindow() || (type != Qt::Window && type != Qt::Dialog && type != Qt::Tool)) return false;
        // Qt's own first size is capped at two thirds of the screen; with controls that can
        // scroll, that would scroll a window the screen has room for. Its full size, then
        // fitted.
        if (!w->testAttribute(Qt::WA_Resized)) {
            const QSize hint = w->sizeHint();
            if (hint.isValid() && hint != w->size()) {
                w->resize(hint.expandedTo(w->minimumSize()));
                w->setAttribute(Qt::WA_Resized, false);
            }
        }
        FitToScreen(w);
        return false;
    }
};

// The size hint of the whole body: QScrollArea caps its own at 24 lines, which would
// open a window that has room on a scroll bar.
class BodyScrollArea : public QScrollArea {
public:
    using QScrollArea::QScrollArea;
    QSize sizeHint() const override {
        if (!widget()) return QScrollArea::sizeHint();
        // A body placed by hand has no layout and so no hint of its own: its size is.
        QSize hint = widget()->sizeHint().expandedTo(widget()->minimumSize());
        if (!hint.isValid()) hint = widget()->size();
        const int f = 2 * frameWidth();
        return hint + QSize(f, f);
    }
};

}  // namespace

void InstallScreenFit(QObject* owner) { qApp->installEventFilter(new ScreenFitFilter(owner)); }

QScrollArea* ScrolledBody(QWidget* window, QWidget* body, QLayout* buttons) {
    auto* scroll = new BodyScrollArea(window);
    scroll->setObjectName(QStringLiteral("ScrollBody"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    // The window's own margins are enough around the body.
    if (body->layout()) body->layout()->setContentsMargins(0, 0, 0, 0);
    scroll->setWidget(body);
    auto* whole = new QVBoxLayout(window);
    whole->addWidget(scroll, 1);
    if (buttons) whole->addLayout(buttons);
    return scroll;
}

QScrollArea* ScrolledBody(QWidget* window, QLayout* content, QLayout* buttons) {
    auto* body = new QWidget;
    body->setObjectName(QStringLiteral("PanelBody"));
    auto* layout = new QVBoxLayout(body);
    layout->addLayout(content);
    return ScrolledBody(window, body, buttons);
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
