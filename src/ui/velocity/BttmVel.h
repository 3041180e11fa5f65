#pragma once
// 底面波動流速の計算 (unit BttmVel).
#include <QDialog>
#include "ui/app/AppContext.h"

class TFrmBttmVel : public QDialog {
    Q_OBJECT
public:
    explicit TFrmBttmVel(AppContext& ctx, QWidget* parent = nullptr);

private:
    AppContext& ctx_;
};
