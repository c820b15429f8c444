#include "mail/ui/sentwindowfit.h"

#include <QScreen>
#include <QWidget>
#include <algorithm>

void FitToScreen(QWidget& window) {
    QScreen* screen = window.screen();
    if (!screen) return;
    const QRect free = screen->availableGeometry();
    // The frame is known once the window has been shown; a guess for the title bar before.
    const QRect frame = window.frameGeometry(), inner = window.geometry();
    const QMargins margins =
        window.isVisible() || frame != inner
            ? QMargins(inner.left() - frame.left(), inner.top() - frame.top(),
                       frame.right() - inner.right(), frame.bottom() - inner.bottom())
            : QMargins(0, 32, 0, 0);
    const QSize room = free.size().shrunkBy(margins);
    const QSize size = window.size().boundedTo(room).expandedTo(window.minimumSize());
    if (size != window.size()) window.resize(size);
    const QSize outer = size.grownBy(margins);
    const int x = std::clamp(window.x(), free.left(),
                             std::max(free.left(), free.right() + 1 - outer.width()));
    const int y = std::clamp(window.y(), free.top(),
                             std::max(free.top(), free.bottom() + 1 - outer.height()));
    if (QPoint(x, y) != window.pos()) window.move(x, y);
}
