#include <QDialog>
#include <QCoreApplication>
#include <QFileDialog>
#include "ui/app/AppContext.h"

int ShowModal(AppContext& ctx, QDialog* dialog) {
    if (ctx.execModal) return ctx.execModal(dialog);
    return dialog->exec();
}

QString ChooseFile(AppContext& ctx, QWidget* parent, const QString& caption, const QString& filter,
                   const QString& start, bool save) {
    if (ctx.chooseFile) return ctx.chooseFile(parent, caption, filter, start, save);
    return save ? QFileDialog::getSaveFileName(parent, caption, start, filter)
                : QFileDialog::getOpenFileName(parent, caption, start, filter);
}

void QuitProgram(AppContext& ctx) {
    if (ctx.quitProgram) {
        ctx.quitProgram();
        return;
    }
    QCoreApplication::exit(0);
}
