#pragma once
// The pieces the windows build their controls from. Each is named (objectName) so that the
// settings file, the help key and the tests find it. The parent may be null: the layout
// that takes the control parents it, and the order the caller makes them in stays the tab
// order.
#include <initializer_list>
#include <QString>
#include <QStringList>

class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
class RadioGroup;

QLineEdit* NamedEdit(QWidget* parent, const char* name, const QString& text, const QString& hint = {});
QLabel* NamedLabel(QWidget* parent, const char* name, const QString& text);
QGroupBox* NamedGroup(QWidget* parent, const char* name, const QString& title);
// With `selected` >= 0 that item is checked.
RadioGroup* NamedRadioGroup(QWidget* parent, const char* name, const QString& title, const QStringList& items,
                            int selected = -1);
// A dialog's push button: the one Enter presses (isDefault), or one Enter never presses.
QPushButton* DialogButton(QWidget* parent, const char* name, const QString& text, bool isDefault = false);
// A dialog's buttons in a row at its right edge.
QHBoxLayout* ButtonRow(std::initializer_list<QWidget*> buttons);
// "説明|*.a;*.b" (the stored form of a file filter) as the file dialog's "説明 (*.a *.b)".
QString DialogFilter(const QString& filter);
