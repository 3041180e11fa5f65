#pragma once
// The program's help: Japanese HTML pages built into the program, with a contents list and
// a keyword index. A page is one file help/pages/<name>.html; its <title> is the title in
// the contents and <meta name="keywords" content="kw1,kw2"> gives its index entries.
#include <QString>
#include <QStringList>
#include <vector>
#include "ui/app/AppContext.h"

struct HelpPage {
    QString name;      // file name without ".html"
    QString title;
    QStringList keywords;
};

// Every page, "contents" first and the others by title.
const std::vector<HelpPage>& HelpPages();
// The names of the pages that list `keyword` exactly.
QStringList HelpPagesForKeyword(const QString& keyword);

// The viewer at the contents page.
void OpenHelpContents(AppContext& ctx);
// The viewer at its keyword index, ready for typing.
void OpenHelpKeywordSearch(AppContext& ctx);
// The page of `keyword`; the index filtered to it when no page or several pages list it.
void OpenHelpKeyword(AppContext& ctx, const QString& keyword);
