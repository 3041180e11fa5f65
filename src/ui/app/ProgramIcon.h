#pragma once
#include <QIcon>
#include <QPixmap>
#include <QString>

// The program icon (a wave over a sloping bed), drawn rather than shipped as a file; the
// installed icon files are written from the same drawing (packaging/write-icons.cpp).
QPixmap ProgramPixmap(int size = 64);
// The same picture as a 256×256 SVG document.
QString ProgramIconSvg();
QIcon ProgramIcon();
