#include "ui/widgets/Controls.h"
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include "ui/widgets/RadioGroup.h"

QLineEdit* NamedEdit(QWidget* parent, const char* name, const QString& text, const QString& hint) {
    auto* e = new QLineEdit(text, parent);
    e->setObjectName(QString::fromLatin1(name));
    if (!hint.isEmpty()) e->setToolTip(hint);
    return e;
}

QLabel* NamedLabel(QWidget* parent, const char* name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

QGroupBox* NamedGroup(QWidget* parent, const char* name, const QString& title) {
    auto* g = new QGroupBox(title, parent);
    g->setObjectName(QString::fromLatin1(name));
    return g;
}

RadioGroup* NamedRadioGroup(QWidget* parent, const char* name, const QString& title, const QStringList& items,
                            int selected) {
    auto* g = new RadioGroup(title, {}, parent);
    g->setObjectName(QString::fromLatin1(name));
    g->SetItems(items);  // after the name: the item buttons are named after the group
    if (selected >= 0) g->SetItemIndex(selected);
    return g;
}

QPushButton* DialogButton(QWidget* parent, const char* name, const QString& text, bool isDefault) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    if (isDefault) b->setDefault(true);
    else b->setAutoDefault(false);
    return b;
}

QHBoxLayout* ButtonRow(std::initializer_list<QWidget*> buttons) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (QWidget* b : buttons) row->addWidget(b);
    return row;
}

QString DialogFilter(const QString& filter) {
    const QStringList parts = filter.split('|');
    if (parts.size() < 2) return filter;
    return parts[0] + " (" + QString(parts[1]).replace(';', ' ') + ")";
}
