#include "ui/dialogs/VersionFrm.h"

#include "server/Version.h"
#include "ui/dialogs/DialogsMessages.h"
#include "ui/platform/QtText.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>

namespace tavlor::ui {

QPixmap TVersionFrm::Picture(qreal devicePixelRatio) {
    constexpr int Side = 50;
    QPixmap pixmap(QSize(Side, Side) * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // Wooden rails, then the cloth.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x6b, 0x3e, 0x1f));
    p.drawRoundedRect(QRectF(1, 7, 48, 36), 5, 5);
    p.setBrush(QColor(0x1f, 0x7a, 0x3d));
    p.drawRect(QRectF(6, 12, 38, 26));
    // The diamonds on the rails.
    p.setBrush(QColor(0xf2, 0xe6, 0xc9));
    for (int i = 1; i < 4; ++i) {
        const qreal x = 6 + i * 38.0 / 4;
        p.drawEllipse(QPointF(x, 9.5), 1, 1);
        p.drawEllipse(QPointF(x, 40.5), 1, 1);
    }
    // A three-cushion path, then the white, yellow and red balls.
    QPen path(QColor(255, 255, 255, 150), 1, Qt::DashLine);
    p.setPen(path);
    p.setBrush(Qt::NoBrush);
    QPainterPath line;
    line.moveTo(14, 31);
    line.lineTo(42, 15);
    line.lineTo(30, 36);
    line.lineTo(9, 20);
    line.lineTo(33, 22);
    p.drawPath(line);
    p.setPen(QPen(QColor(0, 0, 0, 90), 0.6));
    auto ball = [&p](QPointF at, QColor colour) {
        QRadialGradient g(at - QPointF(1, 1), 3.5);
        g.setColorAt(0, colour.lighter(160));
        g.setColorAt(1, colour);
        p.setBrush(g);
        p.drawEllipse(at, 3, 3);
    };
    ball(QPointF(14, 31), QColor(0xf5, 0xf5, 0xf0));
    ball(QPointF(33, 22), QColor(0xe8, 0xc3, 0x1a));
    ball(QPointF(25, 16), QColor(0xc6, 0x1b, 0x1b));
    return pixmap;
}

TVersionFrm::TVersionFrm(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("TVersionFrm"));
    setWindowTitle(Q(msg::dialogs::TitleVersion));
    resize(207, 145);

    auto* name = new QLabel(Q(msg::dialogs::ProductName), this);
    name->setObjectName(QStringLiteral("NameLbl"));
    QFont big(QStringLiteral("Arial Black"));
    big.setStyleHint(QFont::SansSerif);
    big.setWeight(QFont::Black);
    big.setPointSize(20);
    name->setFont(big);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setFixedSize(50, 50);
    picture->setPixmap(Picture(devicePixelRatioF()));

    VersionLbl_ = new QLabel(Q(GetVersion()), this);
    VersionLbl_->setObjectName(QStringLiteral("VersionLbl"));

    auto* ok = new QPushButton(Q(msg::dialogs::Ok), this);
    ok->setObjectName(QStringLiteral("OkBtn"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(name, 0, 0, Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(picture, 0, 1, Qt::AlignRight | Qt::AlignTop);
    auto* version = new QHBoxLayout;
    version->addWidget(new QLabel(Q(msg::dialogs::Version), this));
    version->addWidget(VersionLbl_);
    version->addStretch(1);
    layout->addLayout(version, 1, 0, 1, 2);
    layout->addWidget(ok, 2, 0, 1, 2, Qt::AlignHCenter);
    layout->setRowStretch(1, 1);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    }
}

QString TVersionFrm::VersionText() const {
    return VersionLbl_->text();
}

}  // namespace tavlor::ui
