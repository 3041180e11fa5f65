#include "ui/help/HelpPages.h"
#include <algorithm>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTextDocumentFragment>
#include <QWidget>
#include "core/shoaling/SurfZoneModel.h"

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
        for (const QString& entry : k.captured(1).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            const QString keyword = entry.section(QLatin1Char('|'), 0, 0).trimmed();
            const QString reading = entry.section(QLatin1Char('|'), 1).trimmed();
            if (keyword.isEmpty()) continue;
            page.keywords << keyword;
            page.readings << (reading.isEmpty() ? keyword : reading);
        }
    }
    page.text = QTextDocumentFragment::fromHtml(html).toPlainText();
    return page;
}

// One line per model: where it applies and where it starts, from the model table.
QString ModelList() {
    QString list = QStringLiteral("<ul>\n");
    for (const orvane::SurfZoneModel& m : orvane::SurfZoneModels()) {
        const QString bed = m.planeBedOnly ? QStringLiteral("一定勾配の海底だけ。")
                            : m.monotoneProfileOnly ? QStringLiteral("一定勾配か、岸に向かって水深が深くならない断面だけ。")
                                                    : QStringLiteral("どの断面でも。");
        const QString start = m.startsAtObservation
                                  ? QStringLiteral("「条件」の観測点（水深または離岸距離）から計算します。観測点が入力されていないときは計算されません。")
                                  : QStringLiteral("深海から計算します。");
        list += QStringLiteral("<li>%1：%2%3</li>\n").arg(QString::fromUtf8(m.japaneseName).toHtmlEscaped(), bed, start);
    }
    return list + QStringLiteral("</ul>\n");
}

QString ReadPage(const QString& name) {
    InitHelpResources();
    QFile f(QStringLiteral(":/help/pages/%1.html").arg(name));
    QString html = f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    static const QRegularExpression models(QStringLiteral("<!--\\s*models\\b[^>]*-->"));
    return html.replace(models, ModelList());
}

std::vector<HelpPage> LoadPages() {
    InitHelpResources();
    std::vector<HelpPage> pages;
    QDir dir(QStringLiteral(":/help/pages"));
    for (const QString& file : dir.entryList({QStringLiteral("*.html")}, QDir::Files))
        pages.push_back(ParsePage(file.chopped(5), ReadPage(file.chopped(5))));
    // The menus' order: 基本計算, ツール, 定数; pages that no menu opens come last by title.
    static const QStringList order = {
        QStringLiteral("contents"), QStringLiteral("main"), QStringLiteral("airy"),
        QStringLiteral("shoaling"), QStringLiteral("graph"), QStringLiteral("modelcompare"),
        QStringLiteral("modelskill"), QStringLiteral("bttmvel"),
        QStringLiteral("rayleigh"), QStringLiteral("wavevelseries"), QStringLiteral("estwaveheight"),
        QStringLiteral("series"), QStringLiteral("constants")};
    auto rank = [](const HelpPage& p) {
        const qsizetype i = order.indexOf(p.name);
        return i < 0 ? order.size() : i;
    };
    std::stable_sort(pages.begin(), pages.end(), [&](const HelpPage& a, const HelpPage& b) {
        if (rank(a) != rank(b)) return rank(a) < rank(b);
        return a.title < b.title;
    });
    return pages;
}

}  // namespace

QString HelpPageHtml(const QString& name) { return ReadPage(name); }

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

QStringList SearchHelpPages(const QString& query) {
    const QStringList words = query.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    QStringList names;
    if (words.isEmpty()) return names;
    for (const HelpPage& p : HelpPages()) {
        const QString haystack = p.title + QLatin1Char('\n') + p.keywords.join(QLatin1Char(' ')) +
                                 QLatin1Char('\n') + p.text;
        if (std::all_of(words.begin(), words.end(),
                        [&](const QString& w) { return haystack.contains(w, Qt::CaseInsensitive); }))
            names << p.name;
    }
    return names;
}

QString HelpPageForWindow(const QWidget* window) {
    static const std::pair<const char*, const char*> pages[] = {
        {"TForm1", "main"},          {"TFrmAiry", "airy"},
        {"TFrmBttmVel", "bttmvel"},  {"TFrmRayleigh", "rayleigh"},
        {"TFrmShoaling", "shoaling"}, {"TAboutBox", "main"},
        {"TFrmEditConst", "constants"}, {"TFrmAxisSet", "graph#axisset"},
        {"TFrmWaveVelSeries", "wavevelseries"}, {"TFrmSDFdata", "series"},
        {"TFrmEstWaveHeight", "estwaveheight"}, {"GroupObservedSkill", "modelskill"},
        {"TFrmModelCompare", "modelcompare"},
        {"PrintPreview", "graph"}};
    for (const QWidget* w = window; w; w = w->parentWidget()) {
        for (const auto& [object, page] : pages)
            if (w->objectName() == QLatin1String(object)) return QString::fromLatin1(page);
    }
    return QStringLiteral("contents");
}
