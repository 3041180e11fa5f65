#pragma once
// ﾊﾞｰｼﾞｮﾝ情報 (unit Version).
#include <QDialog>
#include "ui/app/AppContext.h"

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(AppContext& ctx, QWidget* parent = nullptr);

private:
    AppContext& ctx_;
};
