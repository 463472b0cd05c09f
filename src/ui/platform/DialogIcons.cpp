#include "ui/platform/DialogIcons.h"

#include "ui/platform/Images.h"

#include <QPainter>
#include <QPainterPath>

namespace tavlor::ui {

namespace {

// Drawn on a 16 by 16 grid.
QIcon Draw(void (*paint)(QPainter&)) {
    return PaintedIcon(QSize(16, 16), paint);
}

}  // namespace

QIcon FilterIcon() {
    return Draw([](QPainter& p) {
        QPainterPath funnel;
        funnel.moveTo(1.5, 2);
        funnel.lineTo(14.5, 2);
        funnel.lineTo(9.5, 8);
        funnel.lineTo(9.5, 14);
        funnel.lineTo(6.5, 12);
        funnel.lineTo(6.5, 8);
        funnel.closeSubpath();
        p.setPen(QPen(QColor(0x1d, 0x4e, 0x89), 1));
        p.setBrush(QColor(0x6f, 0xa8, 0xdc));
        p.drawPath(funnel);
    });
}

QIcon DatabaseIcon() {
    return Draw([](QPainter& p) {
        p.setPen(QPen(QColor(0x5a, 0x4a, 0x1e), 1));
        p.setBrush(QColor(0xe8, 0xc5, 0x5a));
        p.drawRect(QRectF(2.5, 3.5, 11, 9));
        p.drawEllipse(QRectF(2.5, 10, 11, 5));
        p.drawEllipse(QRectF(2.5, 1, 11, 5));
        p.setPen(Qt::NoPen);
        p.drawRect(QRectF(3, 4, 10, 8));
        p.setPen(QPen(QColor(0x5a, 0x4a, 0x1e), 1));
        p.drawArc(QRectF(2.5, 5.5, 11, 5), 180 * 16, 180 * 16);
    });
}

QIcon SearchIcon() {
    return Draw([](QPainter& p) {
        p.setPen(QPen(QColor(0x33, 0x33, 0x33), 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(10, 10), QPointF(14.5, 14.5));
        p.setPen(QPen(QColor(0x33, 0x33, 0x33), 1.5));
        p.setBrush(QColor(0xd6, 0xea, 0xf8));
        p.drawEllipse(QPointF(6.5, 6.5), 4.5, 4.5);
    });
}

}  // namespace tavlor::ui
