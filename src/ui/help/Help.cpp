#include "ui/help/Help.h"
#include <algorithm>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTextDocumentFragment>
#include "ui/app/MainWave.h"
#include "ui/help/HelpViewer.h"

static void InitHelpResources() {
    // The pages live in a static library; its resource object must be pulled in by hand.
    Q_INIT_RESOURCE(orvane_help);
}

namespace {

HelpPage ParsePage(const QString& name, const QString& html) {
    HelpPage page;
    page.name = name;
    static const QRegularExpression titleRe(QStringLiteral("<title>(.*?)</title>"),
                                            QRegularExpression::CaseInsensitiveOption |
                                                QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression keywordsRe(
        QStringLiteral("<meta\\s+name\\s*=\\s*\"keywords\"\\s+content\\s*=\\s*\"([^\"]*)\""),
        QRegularExpression::CaseInsensitiveOption);
    auto t = titleRe.match(html);
    page.title = t.hasMatch() ? QTextDocumentFragment::fromHtml(t.captured(1)).toPlainText().trimmed() : name;
    auto k = keywordsRe.match(html);
    if (k.hasMatch()) {
        for (const QString& kw : k.captured(1).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            QString trimmed = kw.trimmed();
            if (!trimmed.isEmpty()) page.keywords << trimmed;
        }
    }
    return page;
}

std::vector<HelpPage> LoadPages() {
    InitHelpResources();
    std::vector<HelpPage> pages;
    QDir dir(QStringLiteral(":/help/pages"));
    for (const QString& file : dir.entryList({QStringLiteral("*.html")}, QDir::Files)) {
        QFile f(dir.filePath(file));
        if (!f.open(QIODevice::ReadOnly)) continue;
        pages.push_back(ParsePage(file.chopped(5), QString::fromUtf8(f.readAll())));
    }
    std::sort(pages.begin(), pages.end(), [](const HelpPage& a, const HelpPage& b) {
        bool ac = a.name == QLatin1String("contents"), bc = b.name == QLatin1String("contents");
        if (ac != bc) return ac;
        return a.title < b.title;
    });
    return pages;
}

HelpViewer* Viewer(AppContext& ctx) {
    if (!ctx.helpViewer) {
        ctx.helpViewer = new HelpViewer(ctx.form1);
        QObject::connect(ctx.helpViewer, &QObject::destroyed, [&ctx] { ctx.helpViewer = nullptr; });
    }
    HelpViewer* viewer = ctx.helpViewer;
    // Parented to the window in use each time it opens, so that an open modal window does
    // not block it.
    QWidget* parent = QApplication::activeModalWidget();
    if (!parent || parent == viewer) parent = ctx.form1;
    if (viewer->parentWidget() != parent) viewer->setParent(parent, viewer->windowFlags());
    return viewer;
}

void Present(HelpViewer* viewer) {
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
}

}  // namespace

const std::vector<HelpPage>& HelpPages() {
    static const std::vector<HelpPage> pages = LoadPages();
    return pages;
}

QStringList HelpPagesForKeyword(const QString& keyword) {
    QStringList names;
    for (const HelpPage& p : HelpPages())
        if (p.keywords.contains(keyword)) names << p.name;
    return names;
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
