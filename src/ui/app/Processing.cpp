#include "ui/app/Processing.h"


TFrmProgress::TFrmProgress(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName("TFrmProgress");
    setWindowTitle(QStringLiteral(""));

}
