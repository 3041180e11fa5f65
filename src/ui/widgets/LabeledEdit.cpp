#include "ui/widgets/LabeledEdit.h"
#include <QHBoxLayout>

LabeledEdit::LabeledEdit(const QString& name, const QString& caption, const QString& text, QWidget* parent)
    : QWidget(parent), label_(new QLabel(caption, this)), edit_(new QLineEdit(text, this)) {
    setObjectName(name + "_Box");
    edit_->setObjectName(name);
    label_->setBuddy(edit_);
    auto* l = new QHBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    l->addWidget(label_);
    l->addWidget(edit_);
}
