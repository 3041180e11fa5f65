#include "ui/series/SDFdata.h"


TFrmSDFdata::TFrmSDFdata(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName("TFrmSDFdata");
    setWindowTitle(QStringLiteral(""));

}
