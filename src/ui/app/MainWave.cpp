#include "ui/app/MainWave.h"


TForm1::TForm1(AppContext& ctx, QWidget* parent) : QMainWindow(parent), ctx_(ctx) {
    setObjectName("TForm1");
    setWindowTitle(QStringLiteral("沿岸波浪解析　Orvane"));

}
