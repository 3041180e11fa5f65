#include "ui/app/Processing.h"
#include <algorithm>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QVBoxLayout>

TFrmProgress::TFrmProgress(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName("TFrmProgress");
    setWindowTitle(QString());
    setFixedSize(241, 101);
    move(365, 495);

    LblComment = new QLabel(this);
    LblComment->setObjectName("LblComment");
    LblComment->setAlignment(Qt::AlignCenter);
    QFont f = LblComment->font();
    f.setPixelSize(15);
    LblComment->setFont(f);

    BitBtn1 = new QPushButton(QStringLiteral("キャンセル"), this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setAutoDefault(false);
    connect(BitBtn1, &QPushButton::clicked, this, &TFrmProgress::BitBtn1Click);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LblComment);
    layout->addWidget(BitBtn1, 0, Qt::AlignHCenter);
    layout->addWidget(ProgressBar1);
}

void TFrmProgress::SetProgressComment(const std::string& text) {
    orvane::ProcessCancel().Clear();
    setWindowTitle(QString::fromStdString(text));
    SetProgressPosition(0);
    // A modal window in use would block a dialog that is not its own: the cancel button
    // must stay clickable while the caller's window keeps its input too.
    QWidget* owner = QApplication::activeModalWidget();
    if (!owner || owner == this) owner = MainWindow(ctx_);
    if (owner && parentWidget() != owner) {
        const QPoint at = pos();
        setParent(owner, windowFlags());
        move(at);
    }
    show();
    raise();
    QCoreApplication::processEvents();
}

void TFrmProgress::SetProgressPosition(int percent) {
    // The cancel button's click is delivered here.
    QCoreApplication::processEvents();
    ProgressBar1->setValue(std::clamp(percent, 0, 100));
}

void TFrmProgress::SetStatusLine(const std::string& text) {
    LblComment->setText(QString::fromStdString(text));
    QCoreApplication::processEvents();
}

void TFrmProgress::BitBtn1Click() { orvane::ProcessCancel().Request(); }

void TFrmProgress::closeEvent(QCloseEvent* event) {
    BitBtn1Click();
    event->ignore();
}
