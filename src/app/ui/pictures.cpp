#include "app/ui/pictures.h"

#include <QFont>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {
void DrawGlobe(QPainter& p, const QRectF& r) {
    QRadialGradient sea(r.center() - QPointF(r.width() / 5, r.height() / 5), r.width() * 0.7);
    sea.setColorAt(0, QColor(120, 180, 255));
    sea.setColorAt(1, QColor(10, 50, 140));
    p.setPen(QPen(QColor(0, 30, 90), 1));
    p.setBrush(sea);
    p.drawEllipse(r);
    // Meridians and parallels.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(200, 230, 255, 160), 1));
    for (double k : {0.25, 0.55, 0.85}) {
        QRectF m(0, 0, r.width() * k, r.height());
        m.moveCenter(r.center());
        p.drawEllipse(m);
    }
    for (double k : {0.25, 0.5, 0.75}) {
        const double y = r.top() + r.height() * k;
        const double half = std::sqrt(0.25 - (k - 0.5) * (k - 0.5)) * r.width();
        p.drawLine(QPointF(r.center().x() - half, y), QPointF(r.center().x() + half, y));
    }
}

void DrawLetter(QPainter& p, const QRectF& r) {
    p.setPen(QPen(QColor(90, 70, 30), 1));
    p.setBrush(QColor(250, 240, 210));
    p.drawRect(r);
    QPainterPath flap;
    flap.moveTo(r.topLeft());
    flap.lineTo(r.center().x(), r.top() + r.height() * 0.55);
    flap.lineTo(r.topRight());
    p.setBrush(Qt::NoBrush);
    p.drawPath(flap);
    // The stamp.
    QRectF stamp(r.right() - r.width() * 0.22, r.top() + r.height() * 0.08, r.width() * 0.14,
                 r.height() * 0.22);
    p.setBrush(QColor(200, 40, 40));
    p.setPen(Qt::NoPen);
    p.drawRect(stamp);
}
// A transparent pixmap of `size` logical pixels with as many device pixels as the screen has: the
// pictures are drawn, not scaled, so they stay sharp on a screen of any pixel ratio.
QPixmap Canvas(const QSize& size) {
    const qreal ratio = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}
} // namespace

QPixmap GlobePicture(int size) {
    QPixmap pixmap = Canvas(QSize(size, size));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    DrawGlobe(p, QRectF(1, 1, size - 2, size - 2));
    return pixmap;
}

QPixmap LetterPicture(int size) {
    QPixmap pixmap = Canvas(QSize(size, size));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    DrawLetter(p, QRectF(1, size * 0.2, size - 2, size * 0.6));
    return pixmap;
}

QPixmap SplashPicture() {
    QPixmap pixmap = Canvas(QSize(145, 84));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 84);
    sky.setColorAt(0, QColor(0, 0, 128));
    sky.setColorAt(1, QColor(0, 110, 200));
    p.fillRect(QRectF(0, 0, 145, 84), sky);
    DrawGlobe(p, QRectF(6, 14, 56, 56));
    DrawLetter(p, QRectF(44, 46, 34, 24));
    QFont title("Arial");
    title.setPixelSize(15);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRectF(56, 16, 88, 24), Qt::AlignCenter, "Regiscribe");
    QFont line("Arial");
    line.setPixelSize(9);
    p.setFont(line);
    p.setPen(QColor(220, 230, 255));
    p.drawText(QRectF(70, 38, 74, 40), Qt::AlignCenter | Qt::TextWordWrap,
               "Internet name registration");
    return pixmap;
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128})
        icon.addPixmap(GlobePicture(size));
    return icon;
}
