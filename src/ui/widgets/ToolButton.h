#pragma once
// A chart tool bar's icon button, named so that tests find it.
#include <QString>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

inline QToolButton* AddToolButton(QToolBar* bar, const char* name, QStyle::StandardPixmap icon,
                                  const QString& hint) {
    auto* b = new QToolButton(bar);
    b->setObjectName(QString::fromLatin1(name));
    b->setIcon(bar->style()->standardIcon(icon));
    b->setToolTip(hint);
    bar->addWidget(b);
    return b;
}
