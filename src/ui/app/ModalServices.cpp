#include <QDialog>
#include <QCoreApplication>
#include <QFileDialog>
#include "ui/app/AppContext.h"
#include "ui/app/Desktop.h"

int ShowModal(AppContext& ctx, QDialog* dialog) {
    if (ctx.execModal) return ctx.execModal(dialog);
    return dialog->exec();
}

QString ChooseFile(AppContext& ctx, QWidget* parent, const QString& caption, const QString& filter,
                   const QString& start, bool save, const QString& purpose) {
    const QString from = DialogStart(ctx, purpose, start);
    QString chosen;
    if (ctx.chooseFile) {
        chosen = ctx.chooseFile(parent, caption, filter, from, save);
    } else {
        QFileDialog dialog(parent, caption, from, filter);
        dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        SizeFileDialog(&dialog);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            chosen = dialog.selectedFiles().front();
    }
    RememberDialogFolder(ctx, purpose, chosen);
    return chosen;
}

void QuitProgram(AppContext& ctx) {
    if (ctx.quitProgram) {
        ctx.quitProgram();
        return;
    }
    QCoreApplication::exit(0);
}
