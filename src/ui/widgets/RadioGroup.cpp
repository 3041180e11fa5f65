#include "ui/widgets/RadioGroup.h"
#include <algorithm>

RadioGroup::RadioGroup(const QString& title, const QStringList& items, QWidget* parent)
    : QGroupBox(title, parent), group_(new QButtonGroup(this)), layout_(new QGridLayout(this)) {
    group_->setExclusive(true);
    connect(group_, &QButtonGroup::idClicked, this, [this](int id) { emit itemIndexChanged(id); });
    SetItems(items);
}

void RadioGroup::SetItems(const QStringList& items) {
    for (auto* b : group_->buttons()) {
        group_->removeButton(b);
        delete b;
    }
    items_ = items;
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], this);
        b->setObjectName(objectName() + QString("_%1").arg(i));
        group_->addButton(b, i);
    }
    Arrange();
}

void RadioGroup::SetColumns(int columns) {
    columns_ = std::max(1, columns);
    Arrange();
}

void RadioGroup::Arrange() {
    const int n = static_cast<int>(group_->buttons().size());
    const int perColumn = std::max(1, (n + columns_ - 1) / columns_);
    for (int i = 0; i < n; ++i) {
        QAbstractButton* b = group_->button(i);
        layout_->removeWidget(b);
        layout_->addWidget(b, i % perColumn, i / perColumn);
    }
}

int RadioGroup::ItemIndex() const { return group_->checkedId(); }

void RadioGroup::SetItemIndex(int index) {
    if (ItemIndex() == index) return;
    if (index < 0 || index >= items_.size()) {
        // QButtonGroup cannot uncheck an exclusive group directly.
        group_->setExclusive(false);
        for (auto* b : group_->buttons()) b->setChecked(false);
        group_->setExclusive(true);
    } else {
        group_->button(index)->setChecked(true);
    }
    emit itemIndexChanged(ItemIndex());
}

QRadioButton* RadioGroup::Button(int index) const { return qobject_cast<QRadioButton*>(group_->button(index)); }
