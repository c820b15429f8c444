#include "replies/ui/verdicticons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {
QPixmap Mark(int size, qreal ratio, bool done) {
    QPixmap picture(QSize(size, size) * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(done ? QColor(0x1e, 0x8e, 0x3e) : QColor(0xc5, 0x22, 0x1f), size / 6.0,
                        Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const qreal s = size;
    QPainterPath path;
    if (done) {
        path.moveTo(0.18 * s, 0.55 * s);
        path.lineTo(0.42 * s, 0.78 * s);
        path.lineTo(0.84 * s, 0.24 * s);
    } else {
        path.moveTo(0.22 * s, 0.22 * s);
        path.lineTo(0.78 * s, 0.78 * s);
        path.moveTo(0.78 * s, 0.22 * s);
        path.lineTo(0.22 * s, 0.78 * s);
    }
    painter.drawPath(path);
    return picture;
}
} // namespace

QIcon VerdictIcon(ReplyStatus result) {
    if (result != ReplyStatus::Done && result != ReplyStatus::Refused) return QIcon();
    QIcon icon;
    for (int size : {16, 24, 32})
        for (qreal ratio : {1.0, 2.0})
            icon.addPixmap(Mark(size, ratio, result == ReplyStatus::Done));
    return icon;
}
