#pragma once
// ﾊﾞｰｼﾞｮﾝ情報 (unit Version): name and version; keeps nothing.
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include "ui/app/AppContext.h"

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(AppContext& ctx, QWidget* parent = nullptr);

    QFrame* Panel1 = nullptr;
    QLabel* ProgramIcon = nullptr;
    QLabel* ProductName = nullptr;
    QLabel* Version = nullptr;
    QLabel* Copyright = nullptr;
    QLabel* Comments = nullptr;
    QPushButton* OKButton = nullptr;

public slots:
    // The close box and Esc end the box with the OK result as well.
    void reject() override { done(QDialog::Accepted); }

protected:
    void showEvent(QShowEvent* event) override;

private:
    AppContext& ctx_;
};
