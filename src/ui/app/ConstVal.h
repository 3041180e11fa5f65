#pragma once
// 定数の定義 (unit ConstVal).
#include <QDialog>
#include "ui/app/AppContext.h"

class TFrmEditConst : public QDialog {
    Q_OBJECT
public:
    explicit TFrmEditConst(AppContext& ctx, QWidget* parent = nullptr);

private:
    AppContext& ctx_;
};
