#include "ui/app/Version.h"


TAboutBox::TAboutBox(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName("TAboutBox");
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));

}
