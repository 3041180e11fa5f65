#pragma once
// The progress dialog of long computations (unit Processing). Shown without modality; the
// caller polls Cancelled() after each SetProgressPosition and hides the dialog at the end.
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include "core/runtime/Cancel.h"
#include "core/runtime/Progress.h"
#include "ui/app/AppContext.h"

class TFrmProgress : public QDialog, public orvane::Progress {
    Q_OBJECT
public:
    explicit TFrmProgress(AppContext& ctx, QWidget* parent = nullptr);

    void SetProgressComment(const std::string& text) override;
    void SetProgressPosition(int percent) override;
    // The core's cancel flag of this process, which the キャンセル button sets.
    bool Cancelled() const override { return orvane::ProcessCancel().Requested(); }
    void SetStatusLine(const std::string& text) override;
    void Hide() override { hide(); }

    QLabel* LblComment = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;

public slots:
    void BitBtn1Click();
    // Esc: the cancel button, not the end of the dialog.
    void reject() override { BitBtn1Click(); }

protected:
    // The close box asks for a cancel too; the caller hides the dialog when it stops.
    void closeEvent(QCloseEvent* event) override;

private:
    AppContext& ctx_;
};
