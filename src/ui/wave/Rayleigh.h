#pragma once
// Rayleigh分布による確率振幅の計算 (unit Rayleigh).
#include <QDialog>
#include "ui/app/AppContext.h"

class TFrmRayleigh : public QDialog {
    Q_OBJECT
public:
    explicit TFrmRayleigh(AppContext& ctx, QWidget* parent = nullptr);

private:
    AppContext& ctx_;
};
