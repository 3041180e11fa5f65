#include <QApplication>
#include "ui/app/AppContext.h"
#include "ui/app/MainWave.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    AppContext ctx;
    CreateWindows(ctx);
    reinterpret_cast<QWidget*>(ctx.form1)->show();
    return app.exec();
}
