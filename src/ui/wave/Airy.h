#pragma once
// 微小振幅波理論による波の諸元 (unit Airy).
#include <QDialog>
#include "ui/app/AppContext.h"

class TFrmAiry : public QDialog {
    Q_OBJECT
public:
    explicit TFrmAiry(AppContext& ctx, QWidget* parent = nullptr);

private:
    AppContext& ctx_;
};
