#include "ui/app/Fonts.h"
#include <QApplication>
#include <QFont>
#include <QStringList>

void ApplyProgramFonts() {
    const QString uiFamily = QStringLiteral("ＭＳ Ｐゴシック");
    QFont::insertSubstitutions(uiFamily, {QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                                          QStringLiteral("Noto Sans CJK JP")});
    QFont::insertSubstitutions(QStringLiteral("Times New Roman"),
                               {QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")});
    QFont font(uiFamily);
    font.setPointSize(9);
    QApplication::setFont(font);
}
