#include "ui/wave/Airy.h"


TFrmAiry::TFrmAiry(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName("TFrmAiry");
    setWindowTitle(QStringLiteral("微小振幅波理論による波の諸元"));

}
