#pragma once
// A titled group of radio buttons addressed by item index (-1 = none selected).
#include <QButtonGroup>
#include <QGroupBox>
#include <QStringList>
#include <QVBoxLayout>
#include <QRadioButton>

class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit RadioGroup(const QString& title, const QStringList& items = {}, QWidget* parent = nullptr);
    void SetItems(const QStringList& items);
    QStringList Items() const { return items_; }
    int ItemIndex() const;
    // Out-of-range values select nothing.
    void SetItemIndex(int index);
    QRadioButton* Button(int index) const;
signals:
    void itemIndexChanged(int index);
private:
    QButtonGroup* group_;
    QVBoxLayout* layout_;
    QStringList items_;
};
