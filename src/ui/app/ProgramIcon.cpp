#include "ui/app/ProgramIcon.h"
#include <cmath>
#include <QPainter>
#include <QPainterPath>

QPixmap ProgramPixmap(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xdd, 0xee, 0xff));
    p.drawRoundedRect(QRectF(0, 0, s, s), s * 0.12, s * 0.12);

    // Water below a sine wave whose amplitude grows towards the shore on the right.
    QPainterPath water;
    water.moveTo(0, s);
    for (int i = 0; i <= 64; ++i) {
        double x = s * i / 64.0;
        double amp = s * (0.04 + 0.10 * i / 64.0);
        water.lineTo(x, s * 0.45 - amp * std::sin(i / 64.0 * 3 * 2 * M_PI));
    }
    water.lineTo(s, s);
    water.closeSubpath();
    p.setBrush(QColor(0x20, 0x60, 0xb0));
    p.drawPath(water);

    QPolygonF bed;
    bed << QPointF(0, s) << QPointF(s, s * 0.62) << QPointF(s, s);
    p.setBrush(QColor(0xc8, 0xa0, 0x60));
    p.drawPolygon(bed);
    return pm;
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64}) icon.addPixmap(ProgramPixmap(size));
    return icon;
}
