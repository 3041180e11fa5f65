#include "ui/app/ConstVal.h"


TFrmEditConst::TFrmEditConst(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName("TFrmEditConst");
    setWindowTitle(QStringLiteral("定数の定義"));

}
