#pragma once
// A titled group of radio buttons addressed by item index (-1 = none selected).
#include <QButtonGroup>
#include <QGroupBox>
#include <QStringList>
#include <QGridLayout>
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
    // Items fill the first column top to bottom, then the next.
    void SetColumns(int columns);
    int Columns() const { return columns_; }
signals:
    void itemIndexChanged(int index);
private:
    QButtonGroup* group_;
    QGridLayout* layout_;
    QStringList items_;
    int columns_ = 1;
    void Arrange();
};
