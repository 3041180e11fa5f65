#include "ui/velocity/BttmVel.h"


TFrmBttmVel::TFrmBttmVel(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName("TFrmBttmVel");
    setWindowTitle(QStringLiteral("底面波動流速の計算"));

}
