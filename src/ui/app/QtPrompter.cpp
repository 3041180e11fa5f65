#include "ui/app/QtPrompter.h"
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

using orvane::MsgButtons;
using orvane::MsgKind;
using orvane::MsgResult;

namespace {

QWidget* DialogParent() {
    // Over the window in use, so that a box raised from a modal window stays in front of it.
    if (QWidget* w = QApplication::activeModalWidget()) return w;
    return QApplication::activeWindow();
}

}  // namespace

MsgResult QtPrompter::Message(MsgKind kind, const std::string& text, MsgButtons buttons) {
    QMessageBox box(DialogParent());
    switch (kind) {
    case MsgKind::Error:
        box.setIcon(QMessageBox::Critical);
        box.setWindowTitle(kApplicationTitle);
        break;
    case MsgKind::Warning:
        box.setIcon(QMessageBox::Warning);
        box.setWindowTitle(QStringLiteral("警告"));
        break;
    case MsgKind::Information:
        box.setIcon(QMessageBox::Information);
        box.setWindowTitle(QStringLiteral("情報"));
        break;
    case MsgKind::Confirmation:
        box.setIcon(QMessageBox::Question);
        box.setWindowTitle(QStringLiteral("確認"));
        break;
    }
    box.setText(QString::fromStdString(text));
    // Button texts are set here: Qt's own translations are not necessarily installed.
    QAbstractButton* yes = nullptr;
    QAbstractButton* ok = nullptr;
    switch (buttons) {
    case MsgButtons::Ok:
        ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.setEscapeButton(ok);
        break;
    case MsgButtons::YesNo: {
        yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
        QAbstractButton* no = box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
        box.setEscapeButton(no);
        break;
    }
    case MsgButtons::OkCancel: {
        ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        QAbstractButton* cancel = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
        box.setEscapeButton(cancel);
        break;
    }
    }
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    switch (buttons) {
    case MsgButtons::Ok: return MsgResult::Ok;
    case MsgButtons::YesNo: return clicked == yes ? MsgResult::Yes : MsgResult::No;
    case MsgButtons::OkCancel: return clicked == ok ? MsgResult::Ok : MsgResult::Cancel;
    }
    return MsgResult::Cancel;
}

void QtPrompter::Plain(const std::string& text, const std::string& caption) {
    QMessageBox box(DialogParent());
    box.setWindowTitle(caption.empty() ? kApplicationTitle : QString::fromStdString(caption));
    box.setText(QString::fromStdString(text));
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
}

void QtPrompter::Beep() { QApplication::beep(); }
