#include "ui/platform/Images.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QRadialGradient>

#include <array>
#include <cmath>
#include <numbers>

namespace tavlor::ui {
namespace {

using Drawing = void (*)(QPainter&);

constexpr QSize CommandSize(20, 16);
constexpr QSize TreeSize(16, 16);

QPen Pen(QColor colour, qreal width, Qt::PenCapStyle cap = Qt::RoundCap) {
    return QPen(colour, width, Qt::SolidLine, cap, Qt::RoundJoin);
}

// Fills a shape and outlines it.
void Shape(QPainter& p, const QPainterPath& path, const QBrush& fill, QColor line, qreal width) {
    p.setPen(Pen(line, width));
    p.setBrush(fill);
    p.drawPath(path);
}

const QColor Ink(0x1c, 0x24, 0x58);

// ---- Subjects, each in a 16x16 box ----

void Phi(QPainter& p) {
    p.setPen(Pen(QColor(0x1e, 0x40, 0x9a), 2, Qt::FlatCap));
    p.drawLine(QPointF(8, 1), QPointF(8, 15));
    p.setPen(Pen(QColor(0x1e, 0x40, 0x9a), 1.7));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(8, 8), 4.9, 3.6);
}

void Hen(QPainter& p) {
    const QColor outline(0x6b, 0x3e, 0x14);
    QPainterPath body;
    body.addEllipse(QPointF(7, 10.2), 5.6, 3.9);
    QPainterPath tail;
    tail.moveTo(2.2, 10.5);
    tail.lineTo(0.8, 3.6);
    tail.lineTo(3.2, 5.2);
    tail.lineTo(6.2, 7.4);
    tail.closeSubpath();
    QPainterPath neck;
    neck.moveTo(8.4, 7.6);
    neck.lineTo(10.2, 4.4);
    neck.lineTo(13.8, 5.6);
    neck.lineTo(12.6, 10.2);
    neck.closeSubpath();
    QPainterPath head;
    head.addEllipse(QPointF(11.8, 5), 2.5, 2.5);
    // Comb and wattle first, so the head's outline bounds them.
    p.setPen(Pen(QColor(0x9a, 0x10, 0x10), 0.6));
    p.setBrush(QColor(0xe8, 0x1c, 0x1c));
    p.drawEllipse(QPointF(10.6, 2.4), 1.3, 1.3);
    p.drawEllipse(QPointF(12.5, 2.0), 1.3, 1.3);
    p.drawEllipse(QPointF(14.0, 7.6), 0.9, 1.1);
    p.setPen(Pen(QColor(0xe0, 0x7a, 0x10), 1.1, Qt::FlatCap));
    p.drawLine(QPointF(6, 13.5), QPointF(6, 15.8));
    p.drawLine(QPointF(8.6, 13.5), QPointF(8.6, 15.8));
    Shape(p, body.united(tail).united(neck).united(head), QColor(0xe2, 0xa2, 0x52), outline, 0.8);
    p.setPen(Pen(outline, 0.8));
    p.setBrush(QColor(0xc2, 0x78, 0x30));
    QPainterPath wing;
    wing.moveTo(4.2, 9.4);
    wing.quadTo(7.6, 8.2, 10, 10.2);
    wing.quadTo(7, 13.2, 4.2, 9.4);
    p.drawPath(wing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf5, 0xc0, 0x10));
    p.drawPolygon(QPolygonF({QPointF(14, 4.2), QPointF(16, 5.3), QPointF(14, 6.3)}));
    p.setBrush(Qt::black);
    p.drawEllipse(QPointF(12.3, 4.5), 0.65, 0.65);
}

void Head(QPainter& p) {
    QPainterPath shoulders;
    shoulders.moveTo(1.5, 16);
    shoulders.cubicTo(1.5, 11.2, 4.2, 9.6, 8, 9.6);
    shoulders.cubicTo(11.8, 9.6, 14.5, 11.2, 14.5, 16);
    shoulders.closeSubpath();
    Shape(p, shoulders, QColor(0x33, 0x6c, 0xc8), QColor(0x16, 0x3a, 0x78), 0.9);
    QPainterPath head;
    head.addEllipse(QPointF(8, 5.2), 3.7, 3.9);
    Shape(p, head, QColor(0xf6, 0xcc, 0x9c), QColor(0x8a, 0x56, 0x2e), 0.8);
    QPainterPath cap;
    cap.addRect(0, 0, 16, 4.2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x5a, 0x36, 0x18));
    p.drawPath(head.intersected(cap));
}

void Tick(QPainter& p) {
    const QPolygonF tick({QPointF(8.6, 11.6), QPointF(11, 14.3), QPointF(15.2, 8.4)});
    p.setBrush(Qt::NoBrush);
    p.setPen(Pen(Qt::white, 3.4));
    p.drawPolyline(tick);
    p.setPen(Pen(QColor(0xd8, 0x14, 0x14), 1.9));
    p.drawPolyline(tick);
}

void Cue(QPainter& p, QPointF butt, QPointF tip) {
    const QPointF along = tip - butt;
    const qreal length = std::hypot(along.x(), along.y());
    const QPointF unit = along / length;
    const QPointF normal(-unit.y(), unit.x());
    const QPointF ferrule = tip - unit * 1.8;
    QLinearGradient wood(butt, tip);
    wood.setColorAt(0, QColor(0x4a, 0x26, 0x0a));
    wood.setColorAt(0.35, QColor(0x7a, 0x44, 0x16));
    wood.setColorAt(0.4, QColor(0xc8, 0x8a, 0x48));
    wood.setColorAt(1, QColor(0xe0, 0xb0, 0x70));
    p.setPen(Pen(QColor(0x3a, 0x1e, 0x08), 0.5));
    p.setBrush(wood);
    p.drawPolygon(
        QPolygonF({butt + normal * 1.35, ferrule + normal * 0.7, ferrule - normal * 0.7, butt - normal * 1.35}));
    p.setBrush(QColor(0xfa, 0xf6, 0xea));
    p.setPen(Pen(QColor(0x80, 0x80, 0x80), 0.5));
    p.drawPolygon(QPolygonF({ferrule + normal * 0.7, tip + normal * 0.6, tip - normal * 0.6, ferrule - normal * 0.7}));
}

void Cues(QPainter& p) {
    Cue(p, QPointF(13.4, 15.4), QPointF(3, 0.8));
    Cue(p, QPointF(2.6, 15.4), QPointF(13, 0.8));
}

// Two green arrows turning clockwise round (8, 8).
void Arrows(QPainter& p) {
    constexpr qreal radius = 4.8;
    const QRectF circle(8 - radius, 8 - radius, 2 * radius, 2 * radius);
    QPainterPathStroker stroker;
    stroker.setWidth(2.1);
    stroker.setCapStyle(Qt::FlatCap);
    QPainterPath shape;
    for (const qreal start : {125.0, -55.0}) {
        constexpr qreal sweep = -135;
        QPainterPath arc;
        arc.arcMoveTo(circle, start);
        arc.arcTo(circle, start, sweep);
        shape = shape.united(stroker.createStroke(arc));
        const qreal angle = (start + sweep) * std::numbers::pi / 180;
        const QPointF end(8 + radius * std::cos(angle), 8 - radius * std::sin(angle));
        const QPointF ahead(std::sin(angle), std::cos(angle));
        const QPointF out(std::cos(angle), -std::sin(angle));
        QPainterPath head;
        head.addPolygon(QPolygonF({end + out * 2.7, end + ahead * 3.0, end - out * 2.7, end + out * 2.7}));
        shape = shape.united(head);
    }
    Shape(p, shape, QColor(0x2c, 0xa8, 0x2c), QColor(0x12, 0x5a, 0x12), 0.8);
}

void Dot(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawEllipse(QPointF(8, 8), 3.6, 3.6);
}

void LetterT(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(Ink);
    p.drawRect(QRectF(3, 2, 10, 2.2));
    p.drawRect(QRectF(6.9, 2, 2.2, 12));
}

void LetterK(QPainter& p) {
    p.setPen(Pen(Ink, 1.7));
    p.drawLine(QPointF(9.6, 3), QPointF(9.6, 13));
    p.drawLine(QPointF(14.8, 3), QPointF(9.8, 8.6));
    p.drawLine(QPointF(11.5, 6.9), QPointF(14.8, 13));
}

void Sign2K(QPainter& p) {
    QPainterPath two;
    const QRectF top(1, 3, 5.6, 5);
    two.arcMoveTo(top, 160);
    two.arcTo(top, 160, -215);
    two.lineTo(1.1, 13);
    two.lineTo(6.8, 13);
    p.setPen(Pen(Ink, 1.7));
    p.setBrush(Qt::NoBrush);
    p.drawPath(two);
    LetterK(p);
}

void Sign3K(QPainter& p) {
    QPainterPath three;
    const QRectF top(1.3, 3, 5, 4.6), bottom(0.9, 7.6, 5.8, 5.4);
    three.arcMoveTo(top, 155);
    three.arcTo(top, 155, -245);
    three.arcTo(bottom, 90, -245);
    p.setPen(Pen(Ink, 1.7));
    p.setBrush(Qt::NoBrush);
    p.drawPath(three);
    LetterK(p);
}

// ---- Whole command images, 20x16 ----

// The green plus at the top-left of the "add" images, drawn over a light halo.
void Plus(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawRect(QRectF(0, 1, 8, 5));
    p.drawRect(QRectF(1.5, 0, 5, 8));
    p.setBrush(QColor(0x18, 0x9a, 0x18));
    p.drawRect(QRectF(0, 2.5, 8, 3));
    p.drawRect(QRectF(2.5, 0, 3, 8));
}

template <Drawing Subject, int Dx = 4>
void WithPlus(QPainter& p) {
    p.save();
    p.translate(Dx, 0);
    Subject(p);
    p.restore();
    Plus(p);
}

template <Drawing Subject>
void Centred(QPainter& p) {
    p.translate(2, 0);
    Subject(p);
}

void Globe(QPainter& p) {
    QRadialGradient sea(QPointF(5.5, 5), 7.5);
    sea.setColorAt(0, QColor(0x9c, 0xd4, 0xff));
    sea.setColorAt(1, QColor(0x1c, 0x64, 0xc0));
    p.setPen(Pen(QColor(0x10, 0x44, 0x8a), 0.9));
    p.setBrush(sea);
    p.drawEllipse(QPointF(7.5, 7.5), 6.6, 6.6);
    p.setPen(Pen(QColor(255, 255, 255, 210), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(7.5, 7.5), 2.8, 6.6);
    p.drawLine(QPointF(7.5, 0.9), QPointF(7.5, 14.1));
    p.drawLine(QPointF(0.9, 7.5), QPointF(14.1, 7.5));
    p.drawLine(QPointF(2.2, 4), QPointF(12.8, 4));
    p.drawLine(QPointF(2.2, 11), QPointF(12.8, 11));
    // Two chain links at the bottom-right.
    p.translate(15.6, 12.2);
    p.rotate(-40);
    for (const auto& [colour, width] : {std::pair{QColor(Qt::white), 3.4}, std::pair{QColor(0x2a, 0x2a, 0x2a), 1.5}}) {
        p.setPen(Pen(colour, width));
        p.drawRoundedRect(QRectF(-7.4, -1.7, 6.2, 3.4), 1.7, 1.7);
        p.drawRoundedRect(QRectF(-3.4, -1.7, 6.2, 3.4), 1.7, 1.7);
    }
}

void Cross(QPainter& p) {
    for (const auto& [colour, width] :
         {std::pair{QColor(0x8a, 0x00, 0x00), 4.2}, std::pair{QColor(0xe8, 0x20, 0x20), 2.6}}) {
        p.setPen(Pen(colour, width));
        p.drawLine(QPointF(5, 3), QPointF(15, 13));
        p.drawLine(QPointF(15, 3), QPointF(5, 13));
    }
}

void TextField(QPainter& p) {
    p.setPen(Pen(QColor(0x60, 0x70, 0x88), 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(0.5, 2.5, 19, 11), 1.5, 1.5);
    p.setPen(Pen(QColor(0x20, 0x28, 0x40), 1.1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(4.6, 9.2), 1.6, 1.7);
    p.drawLine(QPointF(6.3, 7.4), QPointF(6.3, 11));
    p.drawLine(QPointF(8.4, 4.6), QPointF(8.4, 11));
    p.drawEllipse(QPointF(10.1, 9.2), 1.6, 1.7);
    p.setPen(Pen(QColor(0x10, 0x50, 0xd0), 1, Qt::FlatCap));
    p.drawLine(QPointF(14.5, 4.5), QPointF(14.5, 11.5));
    p.drawLine(QPointF(13, 4.5), QPointF(16, 4.5));
    p.drawLine(QPointF(13, 11.5), QPointF(16, 11.5));
}

void Worksheet(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1, 1, 14, 14));
    p.setBrush(QColor(0xb8, 0xe0, 0xb8));
    p.drawRect(QRectF(1, 1, 14, 3));
    p.setPen(Pen(QColor(0x9c, 0xa6, 0xb0), 1, Qt::FlatCap));
    for (const qreal x : {5.5, 10.5}) p.drawLine(QPointF(x, 1), QPointF(x, 15));
    for (const qreal y : {4.5, 7.5, 10.5}) p.drawLine(QPointF(1, y), QPointF(15, y));
    p.setPen(Pen(QColor(0x50, 0x5a, 0x64), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, 15, 15));
    // The pen, its point at the bottom.
    p.translate(11.4, 14.6);
    p.rotate(-56);
    p.setPen(Pen(QColor(0x10, 0x30, 0x80), 0.6));
    p.setBrush(QColor(0xf2, 0xd6, 0xa8));
    p.drawPolygon(QPolygonF({QPointF(0, 0), QPointF(3.4, -1.7), QPointF(3.4, 1.7)}));
    p.setBrush(QColor(0x10, 0x30, 0x80));
    p.drawPolygon(QPolygonF({QPointF(0, 0), QPointF(1.2, -0.6), QPointF(1.2, 0.6)}));
    p.setBrush(QColor(0x2a, 0x66, 0xe0));
    p.drawRect(QRectF(3.4, -1.7, 9, 3.4));
    p.setBrush(QColor(0x14, 0x3c, 0x9c));
    p.drawRect(QRectF(10.6, -1.7, 1.8, 3.4));
}

void Printer(QPainter& p) {
    const QColor edge(0x60, 0x60, 0x60);
    p.setPen(Pen(edge, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(5.5, 0.5, 9, 6));
    QLinearGradient metal(0, 5, 0, 13);
    metal.setColorAt(0, QColor(0xe4, 0xe4, 0xe4));
    metal.setColorAt(1, QColor(0x90, 0x90, 0x94));
    p.setPen(Pen(QColor(0x40, 0x40, 0x44), 1));
    p.setBrush(metal);
    p.drawRoundedRect(QRectF(1.5, 5.5, 17, 7), 1.5, 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x30, 0xc0, 0x30));
    p.drawEllipse(QPointF(16, 7.8), 0.9, 0.9);
    p.setPen(Pen(edge, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 10.5, 11, 5));
    p.setPen(Pen(QColor(0x90, 0x98, 0xa8), 1, Qt::FlatCap));
    p.drawLine(QPointF(6, 12.5), QPointF(14, 12.5));
    p.drawLine(QPointF(6, 14.5), QPointF(12, 14.5));
}

void PageWithArrows(QPainter& p) {
    QPainterPath page;
    page.moveTo(1.5, 0.5);
    page.lineTo(9.5, 0.5);
    page.lineTo(12.5, 3.5);
    page.lineTo(12.5, 15.5);
    page.lineTo(1.5, 15.5);
    page.closeSubpath();
    Shape(p, page, Qt::white, QColor(0x60, 0x60, 0x60), 1);
    p.setBrush(QColor(0xd0, 0xd0, 0xd0));
    p.drawPolygon(QPolygonF({QPointF(9.5, 0.5), QPointF(9.5, 3.5), QPointF(12.5, 3.5)}));
    p.setPen(Pen(QColor(0x90, 0x98, 0xa8), 1, Qt::FlatCap));
    for (const qreal y : {3.5, 5.5, 7.5, 9.5}) p.drawLine(QPointF(3, y), QPointF(y < 4 ? 8 : 10.5, y));
    p.translate(14.4 - 8 * 0.72, 10.4 - 8 * 0.72);
    p.scale(0.72, 0.72);
    Arrows(p);
}

// ---- The program's picture, on a 64x64 board ----

void Ball(QPainter& p, QPointF centre, QColor light, QColor dark) {
    constexpr qreal radius = 9;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawEllipse(centre + QPointF(1.5, 2.2), radius, radius);
    QRadialGradient shade(centre - QPointF(3, 3.5), radius * 1.6);
    shade.setColorAt(0, light);
    shade.setColorAt(1, dark);
    p.setPen(Pen(QColor(0, 0, 0, 110), 0.8));
    p.setBrush(shade);
    p.drawEllipse(centre, radius, radius);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 190));
    p.drawEllipse(centre - QPointF(3.3, 3.6), 2.3, 2.0);
}

void Board(QPainter& p) {
    QLinearGradient wood(0, 0, 64, 64);
    wood.setColorAt(0, QColor(0xa0, 0x68, 0x30));
    wood.setColorAt(1, QColor(0x5c, 0x36, 0x14));
    p.setPen(Pen(QColor(0x3a, 0x20, 0x0a), 1.5));
    p.setBrush(wood);
    p.drawRoundedRect(QRectF(1.5, 1.5, 61, 61), 10, 10);
    QRadialGradient cloth(QPointF(28, 26), 40);
    cloth.setColorAt(0, QColor(0x34, 0xb0, 0x52));
    cloth.setColorAt(1, QColor(0x12, 0x6a, 0x2c));
    p.setPen(Pen(QColor(0x0a, 0x40, 0x18), 1));
    p.setBrush(cloth);
    p.drawRoundedRect(QRectF(8, 8, 48, 48), 4, 4);
    Ball(p, QPointF(22, 22), Qt::white, QColor(0xb8, 0xb8, 0xb8));
    Ball(p, QPointF(42, 27), QColor(0xff, 0xf4, 0x80), QColor(0xd0, 0x9a, 0x00));
    Ball(p, QPointF(27, 42), QColor(0xff, 0x70, 0x60), QColor(0xa8, 0x08, 0x08));
}

}  // namespace

QIcon CommandImage(TCommandImage image) {
    // The pictures are numbered in the order of the names, after None.
    return image == TCommandImage::None ? QIcon() : CommandImage(static_cast<int>(image) - 1);
}

QIcon TreeImage(TTreeImage image) {
    return TreeImage(static_cast<int>(image));
}

namespace {

// The picture of a command that cannot be used: grey and faint, so that a
// disabled red cross never reads as the enabled one whatever the style.
QPixmap Disabled(const QPixmap& pixmap) {
    QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grey = 128 + qGray(line[x]) / 2;
            line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) * 2 / 5);
        }
    }
    QPixmap out = QPixmap::fromImage(image);
    out.setDevicePixelRatio(pixmap.devicePixelRatio());
    return out;
}

}  // namespace

QIcon PaintedIcon(QSize size, void (*draw)(QPainter&)) {
    QIcon icon;
    for (int ratio = 1; ratio <= 3; ++ratio) {
        QPixmap pixmap(size * ratio);
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        draw(painter);
        painter.end();
        icon.addPixmap(pixmap);
        icon.addPixmap(Disabled(pixmap), QIcon::Disabled);
    }
    return icon;
}

QIcon CommandImage(int index) {
    static const std::array<QIcon, CommandImageCount> images = [] {
        constexpr std::array<Drawing, CommandImageCount> drawings{
            WithPlus<Phi>,   WithPlus<Hen>,   WithPlus<Head>, WithPlus<Cues, 5>, Centred<Globe>,
            Cross,           TextField,       Worksheet,      Printer,           Centred<LetterT>,
            Centred<Sign2K>, Centred<Sign3K>, PageWithArrows, Centred<Arrows>};
        std::array<QIcon, CommandImageCount> made;
        for (int i = 0; i < CommandImageCount; ++i) made[i] = PaintedIcon(CommandSize, drawings[i]);
        return made;
    }();
    return index >= 0 && index < CommandImageCount ? images[index] : QIcon();
}

QIcon TreeImage(int index) {
    static const std::array<QIcon, TreeImageCount> images = [] {
        constexpr std::array<Drawing, TreeImageCount> drawings{Phi,
                                                               Hen,
                                                               Head,
                                                               Dot,
                                                               Cues,
                                                               [](QPainter& p) {
                                                                   Head(p);
                                                                   Tick(p);
                                                               },
                                                               LetterT,
                                                               Sign2K,
                                                               Sign3K};
        std::array<QIcon, TreeImageCount> made;
        for (int i = 0; i < TreeImageCount; ++i) made[i] = PaintedIcon(TreeSize, drawings[i]);
        return made;
    }();
    return index >= 0 && index < TreeImageCount ? images[index] : QIcon();
}

QPixmap ProgramPicture(int size) {
    if (size < 1) return QPixmap();
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 64.0, size / 64.0);
    Board(painter);
    return pixmap;
}

QIcon ProgramIcon() {
    static const QIcon icon = [] {
        QIcon made;
        for (const int size : {16, 24, 32, 48, 64, 128, 256}) made.addPixmap(ProgramPicture(size));
        return made;
    }();
    return icon;
}

}  // namespace tavlor::ui
