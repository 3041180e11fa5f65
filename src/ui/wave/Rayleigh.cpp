#include "ui/wave/Rayleigh.h"


TFrmRayleigh::TFrmRayleigh(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName("TFrmRayleigh");
    setWindowTitle(QStringLiteral("Rayleigh分布による確率振幅の計算"));

}
