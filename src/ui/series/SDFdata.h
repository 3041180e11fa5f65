#pragma once
// TFrmSDFdata (unit SDFdata).
#include <QDialog>
#include "ui/app/AppContext.h"

class TFrmSDFdata : public QDialog {
    Q_OBJECT
public:
    explicit TFrmSDFdata(AppContext& ctx, QWidget* parent = nullptr);

private:
    AppContext& ctx_;
};
