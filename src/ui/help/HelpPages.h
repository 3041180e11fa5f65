#pragma once
// The help pages: Japanese HTML pages built into the program, with a contents list and a
// keyword index. A page is one file help/pages/<name>.html; its <title> is the title in
// the contents and <meta name="keywords" content="kw1|よみ,kw2"> gives its index entries,
// each with its reading in hiragana after '|' where it has kanji (the index is in reading
// order).
#include <QString>
#include <QStringList>
#include <vector>

class QWidget;

struct HelpPage {
    QString name;      // file name without ".html"
    QString title;
    QStringList keywords;
    QStringList readings;  // one per keyword; the keyword itself where none is given
    QString text;          // the page as plain text, for searching
};

// Every page, "contents" first and the others in the order of the menus that open them.
const std::vector<HelpPage>& HelpPages();
// A page's HTML with its generated parts filled in: <!-- models --> becomes the list of
// surf-zone models from the core's model table.
QString HelpPageHtml(const QString& name);
// The names of the pages that list `keyword` exactly.
QStringList HelpPagesForKeyword(const QString& keyword);

// Pages whose text holds every word of `query` (case ignored), in contents order.
QStringList SearchHelpPages(const QString& query);
// The page that explains `window` (or the window around it); "contents" for any other.
// A section of a page is "page#anchor".
QString HelpPageForWindow(const QWidget* window);
