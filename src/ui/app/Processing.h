#pragma once
// TFrmProgress (unit Processing).
#include <QDialog>
#include "ui/app/AppContext.h"

class TFrmProgress : public QDialog {
    Q_OBJECT
public:
    explicit TFrmProgress(AppContext& ctx, QWidget* parent = nullptr);

private:
    AppContext& ctx_;
};
