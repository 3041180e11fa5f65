#include "ui/help/HelpViewer.h"
#include <QFile>
#include <QHBoxLayout>
#include <QRegularExpression>
#include <QSplitter>
#include <QUrl>
#include <QVBoxLayout>
#include "ui/help/Help.h"

namespace {
constexpr int kPageRole = Qt::UserRole;
}

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

    auto* indexPage = new QWidget;
    auto* indexLayout = new QVBoxLayout(indexPage);
    indexLayout->setContentsMargins(4, 4, 4, 4);
    KeywordEdit = new QLineEdit;
    KeywordEdit->setObjectName("KeywordEdit");
    KeywordEdit->setPlaceholderText(QStringLiteral("キーワードを入力"));
    KeywordList = new QListWidget;
    KeywordList->setObjectName("KeywordList");
    indexLayout->addWidget(KeywordEdit);
    indexLayout->addWidget(KeywordList);
    Tabs->addTab(indexPage, QStringLiteral("キーワード"));

    Browser = new QTextBrowser;
    Browser->setObjectName("Browser");
    Browser->setOpenLinks(false);

    auto* splitter = new QSplitter(this);
    splitter->addWidget(Tabs);
    splitter->addWidget(Browser);
    splitter->setStretchFactor(1, 3);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(splitter);

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
    current_ = name;
    if (name == QLatin1String("contents")) {
        // The contents page lists every page, so a new page needs no edit here.
        QFile f(QStringLiteral(":/help/pages/contents.html"));
        QString html = f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
        QString list = QStringLiteral("<ul>\n");
        for (const HelpPage& p : HelpPages()) {
            if (p.name == name) continue;
            list += QStringLiteral("<li><a href=\"%1.html\">%2</a></li>\n").arg(p.name, p.title.toHtmlEscaped());
        }
        list += QStringLiteral("</ul>\n");
        static const QRegularExpression marker(QStringLiteral("<!--\\s*pages\\b[^>]*-->"));
        html.replace(marker, list);
        Browser->setHtml(html);
    } else {
        Browser->setSource(QUrl(QStringLiteral("qrc:/help/pages/%1.html").arg(name)));
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
    struct Entry { QString keyword, title, name; };
    std::vector<Entry> entries;
    for (const HelpPage& p : HelpPages())
        for (const QString& kw : p.keywords)
            if (filter.isEmpty() || kw.contains(filter, Qt::CaseInsensitive)) entries.push_back({kw, p.title, p.name});
    std::sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
        // Entries that start with the typed text first.
        bool as = a.keyword.startsWith(filter, Qt::CaseInsensitive), bs = b.keyword.startsWith(filter, Qt::CaseInsensitive);
        if (as != bs) return as;
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
