#include "ui/app/Version.h"
#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>
#include <QHBoxLayout>
#include "ui/app/Desktop.h"
#include "ui/app/ProgramIcon.h"

namespace {

QLabel* SerifLabel(QWidget* parent, const char* name, const QString& text, int pixelHeight, bool bold) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    QFont f(QStringLiteral("Times New Roman"));
    f.setPixelSize(pixelHeight);
    f.setBold(bold);
    label->setFont(f);
    return label;
}

}  // namespace

TAboutBox::TAboutBox(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName("TAboutBox");
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));

    Panel1 = new QFrame;
    Panel1->setObjectName("Panel1");
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setFixedSize(282, 161);

    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setObjectName("ProgramIcon");
    ProgramIcon->setGeometry(8, 8, 65, 57);
    ProgramIcon->setPixmap(ProgramPixmap(64));
    ProgramIcon->setScaledContents(true);

    ProductName = SerifLabel(Panel1, "ProductName", QStringLiteral("Orvane"), 27, true);
    ProductName->setGeometry(88, 10, 186, 32);
    Version = SerifLabel(Panel1, "Version", QStringLiteral("Version " ORVANE_VERSION), 16, true);
    Version->setGeometry(88, 46, 186, 20);
    Copyright = SerifLabel(Panel1, "Copyright", QStringLiteral("沿岸波浪解析プログラム"), 15, false);
    Copyright->setGeometry(8, 84, 266, 20);
    Comments = SerifLabel(Panel1, "Comments", QStringLiteral("お問い合わせ: Orvane プロジェクト"), 16, false);
    Comments->setGeometry(8, 112, 266, 40);
    Comments->setWordWrap(true);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName("OKButton");
    OKButton->setDefault(true);
    OKButton->setFixedSize(75, 25);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addStretch();
    // Its designed size where the screen has room; the panel scrolls on a smaller or scaled one.
    ScrolledBody(this, Panel1, buttons)->setAlignment(Qt::AlignCenter);
}

void TAboutBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect r = frameGeometry();
        r.moveCenter(screen->availableGeometry().center());
        move(r.topLeft());
    }
}
