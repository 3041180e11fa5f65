#pragma once
// An edit box with its caption label; the line edit carries the control's objectName.
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

class LabeledEdit : public QWidget {
    Q_OBJECT
public:
    LabeledEdit(const QString& name, const QString& caption, const QString& text, QWidget* parent = nullptr);
    QLineEdit* Edit() const { return edit_; }
    QLabel* Label() const { return label_; }
    QString text() const { return edit_->text(); }
    void setText(const QString& t) { edit_->setText(t); }
private:
    QLabel* label_;
    QLineEdit* edit_;
};
