#include "ui/app/ProgramIcon.h"
#include <cmath>
#include <QPainter>
#include <QPainterPath>

namespace {

const QColor kSky(0xdd, 0xee, 0xff);
const QColor kWater(0x20, 0x60, 0xb0);
const QColor kBed(0xc8, 0xa0, 0x60);
constexpr double kCorner = 0.12;

// Water below a sine wave whose amplitude grows towards the shore on the right, in a unit
// square; the pixmaps and the installed SVG both draw these outlines.
QPolygonF WaterOutline() {
    QPolygonF water;
    water << QPointF(0, 1);
    for (int i = 0; i <= 64; ++i) {
        const double x = i / 64.0;
        const double amp = 0.04 + 0.10 * x;
        water << QPointF(x, 0.45 - amp * std::sin(x * 3 * 2 * M_PI));
    }
    water << QPointF(1, 1);
    return water;
}

QPolygonF BedOutline() { return QPolygonF({QPointF(0, 1), QPointF(1, 0.62), QPointF(1, 1)}); }

QString SvgPoints(const QPolygonF& polygon) {
    QStringList points;
    for (const QPointF& p : polygon)
        points << QStringLiteral("%1,%2").arg(p.x() * 256, 0, 'f', 2).arg(p.y() * 256, 0, 'f', 2);
    return points.join(QLatin1Char(' '));
}

}  // namespace

QPixmap ProgramPixmap(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    p.setPen(Qt::NoPen);
    p.setBrush(kSky);
    p.drawRoundedRect(QRectF(0, 0, s, s), s * kCorner, s * kCorner);
    p.scale(s, s);
    p.setBrush(kWater);
    p.drawPolygon(WaterOutline());
    p.setBrush(kBed);
    p.drawPolygon(BedOutline());
    return pm;
}

QString ProgramIconSvg() {
    const double r = 256 * kCorner;
    return QStringLiteral(
               "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n"
               "  <rect width=\"256\" height=\"256\" rx=\"%1\" ry=\"%1\" fill=\"%2\"/>\n"
               "  <polygon fill=\"%3\" points=\"%4\"/>\n"
               "  <polygon fill=\"%5\" points=\"%6\"/>\n"
               "</svg>\n")
        .arg(r, 0, 'f', 2)
        .arg(kSky.name(), kWater.name(), SvgPoints(WaterOutline()), kBed.name(), SvgPoints(BedOutline()));
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64}) icon.addPixmap(ProgramPixmap(size));
    return icon;
}
