#include "ui/help/HelpViewer.h"
#include <QCollator>
#include <QFile>
#include <QHBoxLayout>
#include <QRegularExpression>
#include <QScrollBar>
#include <algorithm>
#include <QSplitter>
#include <QUrl>
#include <QVBoxLayout>
#include "ui/help/HelpPages.h"

namespace {

constexpr int kPageRole = Qt::UserRole;

// A tab of the left side: a box above a list.
QWidget* BoxAndList(QLineEdit* box, QListWidget* list) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(box);
    layout->addWidget(list);
    return page;
}

}  // namespace

HelpViewer::HelpViewer(QWidget* parent) : QDialog(parent) {
    setObjectName("HelpViewer");
    setWindowTitle(QStringLiteral("Orvane ヘルプ"));
    setModal(false);
    resize(760, 520);

    Tabs = new QTabWidget(this);
    Tabs->setObjectName("Tabs");

    ContentsList = new QListWidget;
    ContentsList->setObjectName("ContentsList");
    for (const HelpPage& p : HelpPages()) {
        auto* item = new QListWidgetItem(p.title, ContentsList);
        item->setData(kPageRole, p.name);
    }
    Tabs->addTab(ContentsList, QStringLiteral("目次"));

    KeywordEdit = new QLineEdit;
    KeywordEdit->setObjectName("KeywordEdit");
    KeywordEdit->setPlaceholderText(QStringLiteral("キーワードを入力"));
    KeywordList = new QListWidget;
    KeywordList->setObjectName("KeywordList");
    Tabs->addTab(BoxAndList(KeywordEdit, KeywordList), QStringLiteral("キーワード"));

    SearchEdit = new QLineEdit;
    SearchEdit->setObjectName("SearchEdit");
    SearchEdit->setPlaceholderText(QStringLiteral("探す語 (空白で区切ると全てを含むページ)"));
    SearchEdit->setClearButtonEnabled(true);
    SearchList = new QListWidget;
    SearchList->setObjectName("SearchList");
    Tabs->addTab(BoxAndList(SearchEdit, SearchList), QStringLiteral("検索"));

    Browser = new QTextBrowser;
    Browser->setObjectName("Browser");
    Browser->setOpenLinks(false);

    BackButton = new QToolButton;
    BackButton->setObjectName("BackButton");
    BackButton->setArrowType(Qt::LeftArrow);
    BackButton->setToolTip(QStringLiteral("戻る (Alt+←)"));
    BackButton->setShortcut(QKeySequence::Back);
    ForwardButton = new QToolButton;
    ForwardButton->setObjectName("ForwardButton");
    ForwardButton->setArrowType(Qt::RightArrow);
    ForwardButton->setToolTip(QStringLiteral("進む (Alt+→)"));
    ForwardButton->setShortcut(QKeySequence::Forward);
    auto* pagePanel = new QWidget;
    auto* pageLayout = new QVBoxLayout(pagePanel);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    auto* nav = new QHBoxLayout;
    nav->addWidget(BackButton);
    nav->addWidget(ForwardButton);
    nav->addStretch();
    pageLayout->addLayout(nav);
    pageLayout->addWidget(Browser);

    auto* splitter = new QSplitter(this);
    splitter->addWidget(Tabs);
    splitter->addWidget(pagePanel);
    splitter->setStretchFactor(1, 3);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(splitter);

    connect(BackButton, &QToolButton::clicked, this, &HelpViewer::GoBack);
    connect(ForwardButton, &QToolButton::clicked, this, &HelpViewer::GoForward);
    connect(SearchEdit, &QLineEdit::textChanged, this, &HelpViewer::FillSearch);
    auto openHit = [this](QListWidgetItem* item) {
        ShowPage(item->data(kPageRole).toString());
        // The first place of the first word, selected and scrolled to.
        const QString first = SearchEdit->text().section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
        if (!first.isEmpty() && Browser->find(first)) ShowHitWithContext();
    };
    connect(SearchList, &QListWidget::itemActivated, this, openHit);
    connect(SearchList, &QListWidget::itemClicked, this, openHit);
    connect(SearchEdit, &QLineEdit::returnPressed, this, [this, openHit] {
        if (SearchList->count() > 0) openHit(SearchList->item(0));
    });

    connect(ContentsList, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { ShowPage(item->data(kPageRole).toString()); });
    connect(ContentsList, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { ShowPage(item->data(kPageRole).toString()); });
    connect(KeywordEdit, &QLineEdit::textChanged, this, &HelpViewer::FillIndex);
    connect(KeywordEdit, &QLineEdit::returnPressed, this, [this] {
        if (KeywordList->count() > 0) ShowPage(KeywordList->item(0)->data(kPageRole).toString());
    });
    connect(KeywordList, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { ShowPage(item->data(kPageRole).toString()); });
    connect(KeywordList, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { ShowPage(item->data(kPageRole).toString()); });
    // Links between pages: "<a href="airy.html">".
    connect(Browser, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        QString file = url.fileName();
        if (file.endsWith(QLatin1String(".html"))) ShowPage(file.chopped(5));
    });
    FillIndex(QString());
}

void HelpViewer::ShowPage(const QString& name) {
    if (historyAt_ >= 0 && history_[historyAt_] == name) {
        Display(name);
        return;
    }
    history_ = history_.mid(0, historyAt_ + 1);
    history_ << name;
    historyAt_ = int(history_.size()) - 1;
    Display(name);
}

void HelpViewer::ShowHitWithContext() {
    // find() scrolls only until the hit is in view, often onto the last line: a third of
    // the way down shows the lines before and after it.
    QScrollBar* bar = Browser->verticalScrollBar();
    const int y = Browser->cursorRect().top() + bar->value();
    bar->setValue(std::clamp(y - Browser->viewport()->height() / 3, bar->minimum(), bar->maximum()));
}

void HelpViewer::GoBack() {
    if (historyAt_ <= 0) return;
    Display(history_[--historyAt_]);
}

void HelpViewer::GoForward() {
    if (historyAt_ + 1 >= int(history_.size())) return;
    Display(history_[++historyAt_]);
}

void HelpViewer::UpdateHistoryButtons() {
    BackButton->setEnabled(historyAt_ > 0);
    ForwardButton->setEnabled(historyAt_ + 1 < int(history_.size()));
}

void HelpViewer::ShowSearch(const QString& text) {
    Tabs->setCurrentIndex(2);
    if (SearchEdit->text() == text) FillSearch(text);
    else SearchEdit->setText(text);
}

void HelpViewer::FillSearch(const QString& query) {
    SearchList->clear();
    const QStringList names = SearchHelpPages(query);
    for (const HelpPage& p : HelpPages()) {
        if (!names.contains(p.name)) continue;
        auto* item = new QListWidgetItem(p.title, SearchList);
        item->setData(kPageRole, p.name);
    }
    if (SearchList->count() > 0) SearchList->setCurrentRow(0);
}

void HelpViewer::Display(const QString& target) {
    // "page#anchor" opens the page at that section.
    const QString name = target.section(QLatin1Char('#'), 0, 0);
    const QString anchor = target.section(QLatin1Char('#'), 1);
    current_ = name;
    UpdateHistoryButtons();
    static const QRegularExpression generated(QStringLiteral("<!--\\s*(pages|models)\\b[^>]*-->"));
    if (name == QLatin1String("contents")) {
        // The contents page lists every page, so a new page needs no edit here.
        QString html = HelpPageHtml(name);
        QString list = QStringLiteral("<ul>\n");
        for (const HelpPage& p : HelpPages()) {
            if (p.name == name) continue;
            list += QStringLiteral("<li><a href=\"%1.html\">%2</a></li>\n").arg(p.name, p.title.toHtmlEscaped());
        }
        list += QStringLiteral("</ul>\n");
        static const QRegularExpression marker(QStringLiteral("<!--\\s*pages\\b[^>]*-->"));
        html.replace(marker, list);
        Browser->setHtml(html);
    } else if (QFile f(QStringLiteral(":/help/pages/%1.html").arg(name));
               f.open(QIODevice::ReadOnly) && QString::fromUtf8(f.readAll()).contains(generated)) {
        Browser->setHtml(HelpPageHtml(name));
    } else {
        QUrl url(QStringLiteral("qrc:/help/pages/%1.html").arg(name));
        if (!anchor.isEmpty()) url.setFragment(anchor);
        Browser->setSource(url);
        if (!anchor.isEmpty()) Browser->scrollToAnchor(anchor);
    }
    for (int i = 0; i < ContentsList->count(); ++i) {
        if (ContentsList->item(i)->data(kPageRole).toString() == name) {
            QSignalBlocker block(ContentsList);
            ContentsList->setCurrentRow(i);
        }
    }
}

void HelpViewer::ShowContents() {
    Tabs->setCurrentIndex(0);
    ShowPage(QStringLiteral("contents"));
}

void HelpViewer::ShowIndex(const QString& text) {
    Tabs->setCurrentIndex(1);
    if (KeywordEdit->text() == text) FillIndex(text);
    else KeywordEdit->setText(text);  // refills through textChanged
}

void HelpViewer::FillIndex(const QString& filter) {
    // Every (keyword, page) pair whose keyword contains the typed text; a keyword shared by
    // several pages shows each page's title beside it.
    // Typing matches the keyword or its reading; the list is in Japanese reading order.
    struct Entry { QString keyword, reading, title, name; };
    std::vector<Entry> entries;
    for (const HelpPage& p : HelpPages())
        for (int i = 0; i < p.keywords.size(); ++i) {
            const QString& kw = p.keywords[i];
            const QString& reading = p.readings.value(i, kw);
            if (filter.isEmpty() || kw.contains(filter, Qt::CaseInsensitive) || reading.contains(filter))
                entries.push_back({kw, reading, p.title, p.name});
        }
    QCollator collator{QLocale(QLocale::Japanese, QLocale::Japan)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    auto starts = [&](const Entry& e) {
        return e.keyword.startsWith(filter, Qt::CaseInsensitive) || e.reading.startsWith(filter);
    };
    std::sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
        // Entries that start with the typed text first.
        const bool as = starts(a), bs = starts(b);
        if (as != bs) return as;
        if (const int c = collator.compare(a.reading, b.reading)) return c < 0;
        if (a.keyword != b.keyword) return a.keyword < b.keyword;
        return a.title < b.title;
    });
    KeywordList->clear();
    for (const Entry& e : entries) {
        int shared = 0;
        for (const Entry& o : entries) shared += o.keyword == e.keyword;
        QString text = shared > 1 ? QStringLiteral("%1 ― %2").arg(e.keyword, e.title) : e.keyword;
        auto* item = new QListWidgetItem(text, KeywordList);
        item->setData(kPageRole, e.name);
    }
    if (KeywordList->count() > 0) KeywordList->setCurrentRow(0);
}
