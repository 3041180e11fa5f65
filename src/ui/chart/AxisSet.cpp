#include "ui/chart/AxisSet.h"


TFrmAxisSet::TFrmAxisSet(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName("TFrmAxisSet");
    setWindowTitle(QStringLiteral("軸の設定"));

}
