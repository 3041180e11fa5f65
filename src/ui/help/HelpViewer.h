#pragma once
// The help window: contents list, keyword index and full-text search on the left, the page
// on the right, with back and forward over the pages shown.
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolButton>

class HelpViewer : public QDialog {
    Q_OBJECT
public:
    explicit HelpViewer(QWidget* parent = nullptr);

    void ShowPage(const QString& name);
    // The search tab with `text` in its box.
    void ShowSearch(const QString& text);
    void GoBack();
    void GoForward();
    void ShowContents();
    // The index tab with `text` in the search box (empty: the whole index).
    void ShowIndex(const QString& text);
    QString CurrentPage() const { return current_; }

    QTabWidget* Tabs = nullptr;
    QListWidget* ContentsList = nullptr;
    QLineEdit* KeywordEdit = nullptr;
    QListWidget* KeywordList = nullptr;
    QLineEdit* SearchEdit = nullptr;
    QListWidget* SearchList = nullptr;
    QTextBrowser* Browser = nullptr;
    QToolButton* BackButton = nullptr;
    QToolButton* ForwardButton = nullptr;

private:
    void FillIndex(const QString& filter);
    void FillSearch(const QString& query);
    void Display(const QString& name);
    void UpdateHistoryButtons();
    void ShowHitWithContext();
    QString current_;
    QStringList history_;
    int historyAt_ = -1;
};
