#pragma once
// The program's help: the viewer opened at a page, at the contents or at the keyword index,
// and F1 in every window. The pages themselves are in help/HelpPages.h.
#include <QString>
#include "ui/app/AppContext.h"
#include "ui/help/HelpPages.h"

// F1 in every window of the program opens that window's page.
void InstallHelpKey(AppContext& ctx);

// The viewer at the page `name`.
void OpenHelpPage(AppContext& ctx, const QString& name);
// The viewer at the contents page.
void OpenHelpContents(AppContext& ctx);
// The viewer at its keyword index, ready for typing.
void OpenHelpKeywordSearch(AppContext& ctx);
// The page of `keyword`; the index filtered to it when no page or several pages list it.
void OpenHelpKeyword(AppContext& ctx, const QString& keyword);
