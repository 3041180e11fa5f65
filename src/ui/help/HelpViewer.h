#pragma once
// The help window: contents list and keyword index on the left, the page on the right.
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QTextBrowser>

class HelpViewer : public QDialog {
    Q_OBJECT
public:
    explicit HelpViewer(QWidget* parent = nullptr);

    void ShowPage(const QString& name);
    void ShowContents();
    // The index tab with `text` in the search box (empty: the whole index).
    void ShowIndex(const QString& text);
    QString CurrentPage() const { return current_; }

    QTabWidget* Tabs = nullptr;
    QListWidget* ContentsList = nullptr;
    QLineEdit* KeywordEdit = nullptr;
    QListWidget* KeywordList = nullptr;
    QTextBrowser* Browser = nullptr;

private:
    void FillIndex(const QString& filter);
    QString current_;
};
