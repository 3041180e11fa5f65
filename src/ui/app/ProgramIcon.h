#pragma once
#include <QIcon>
#include <QPixmap>

// The program icon (a wave over a sloping bed), drawn rather than shipped as a file.
QPixmap ProgramPixmap(int size = 64);
QIcon ProgramIcon();
