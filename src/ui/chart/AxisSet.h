#pragma once
// 軸の設定 (unit AxisSet).
#include <QDialog>
#include "ui/app/AppContext.h"

class TFrmAxisSet : public QDialog {
    Q_OBJECT
public:
    explicit TFrmAxisSet(AppContext& ctx, QWidget* parent = nullptr);

private:
    AppContext& ctx_;
};
