#include "ui/help/Help.h"
#include <QApplication>
#include <QKeyEvent>
#include "ui/help/HelpViewer.h"

namespace {

HelpViewer* Viewer(AppContext& ctx) {
    if (!ctx.helpViewer) {
        ctx.helpViewer = new HelpViewer(MainWindow(ctx));
        QObject::connect(ctx.helpViewer, &QObject::destroyed, [&ctx] { ctx.helpViewer = nullptr; });
    }
    HelpViewer* viewer = ctx.helpViewer;
    // Parented to the window in use each time it opens, so that an open modal window does
    // not block it.
    QWidget* parent = QApplication::activeModalWidget();
    if (!parent || parent == viewer) parent = MainWindow(ctx);
    if (viewer->parentWidget() != parent) viewer->setParent(parent, viewer->windowFlags());
    return viewer;
}

void Present(HelpViewer* viewer) {
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
}

class HelpKeyFilter : public QObject {
public:
    HelpKeyFilter(AppContext& ctx, QObject* parent) : QObject(parent), ctx_(ctx) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_F1)
            return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget) return false;
        QWidget* window = widget->window();
        // In the viewer itself F1 changes nothing.
        if (window == ctx_.helpViewer) return true;
        // From the widget with the focus, so that a part of a window with its own page opens it.
        OpenHelpPage(ctx_, HelpPageForWindow(widget));
        return true;
    }

private:
    AppContext& ctx_;
};

}  // namespace

void InstallHelpKey(AppContext& ctx) {
    qApp->installEventFilter(new HelpKeyFilter(ctx, MainWindow(ctx)));
}

void OpenHelpPage(AppContext& ctx, const QString& name) {
    HelpViewer* v = Viewer(ctx);
    v->ShowPage(name);
    Present(v);
}

void OpenHelpContents(AppContext& ctx) {
    HelpViewer* v = Viewer(ctx);
    v->ShowContents();
    Present(v);
}

void OpenHelpKeywordSearch(AppContext& ctx) {
    HelpViewer* v = Viewer(ctx);
    v->ShowIndex(QString());
    Present(v);
    v->KeywordEdit->setFocus();
}

void OpenHelpKeyword(AppContext& ctx, const QString& keyword) {
    HelpViewer* v = Viewer(ctx);
    QStringList names = HelpPagesForKeyword(keyword);
    v->ShowIndex(keyword);
    if (names.size() == 1) v->ShowPage(names.front());
    Present(v);
}
