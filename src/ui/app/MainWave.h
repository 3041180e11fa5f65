#pragma once
// 沿岸波浪解析　Orvane (unit MainWave).
#include <QMainWindow>
#include "ui/app/AppContext.h"

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(AppContext& ctx, QWidget* parent = nullptr);

private:
    AppContext& ctx_;
};
