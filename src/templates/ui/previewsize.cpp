#include "templates/ui/previewsize.h"

#include <QAction>
#include <QLayout>
#include <QPrintPreviewDialog>
#include <QScreen>
#include <QStyle>
#include <QToolBar>

namespace {
// The tool bar's actions by the texts the toolkit gives them, in the order they may leave.
const char* const kOptionalGroups[][3] = {
    {"Show single page", "Show facing pages", "Show overview of all pages"},
    {"Portrait", "Landscape", nullptr},
    {"First page", "Last page", nullptr},
    {"Fit width", "Fit page", nullptr},
};

int ToolBarWidth(QToolBar& bar) {
    bar.layout()->invalidate();
    return bar.sizeHint().width();
}

// Hides a separator left with nothing visible between it and the previous visible separator.
void HideOrphanSeparators(QToolBar& bar) {
    bool sinceSeparator = false;
    for (QAction* action : bar.actions()) {
        if (!action->isSeparator()) {
            sinceSeparator |= action->isVisible();
            continue;
        }
        action->setVisible(sinceSeparator);
        sinceSeparator = false;
    }
}
} // namespace

void FitPreviewToScreen(QPrintPreviewDialog& preview, const QScreen* screen) {
    if (!screen) return;
    const QRect room = screen->availableGeometry();
    // The window's frame and the dialog's margins around the tool bar.
    const int frame = 2 * preview.style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 24;
    if (QToolBar* bar = preview.findChild<QToolBar*>()) {
        const int fits = room.width() - frame;
        const int small = preview.style()->pixelMetric(QStyle::PM_SmallIconSize);
        if (ToolBarWidth(*bar) > fits && bar->iconSize().width() > small)
            bar->setIconSize(QSize(small, small));
        for (const auto& group : kOptionalGroups) {
            if (ToolBarWidth(*bar) <= fits) break;
            for (QAction* action : bar->actions())
                for (const char* text : group)
                    if (text && action->text() == QLatin1String(text)) action->setVisible(false);
            HideOrphanSeparators(*bar);
        }
        const int width = std::min(room.width() - frame, std::max(760, ToolBarWidth(*bar) + frame));
        preview.resize(width, std::min(900, room.height() * 9 / 10));
    } else {
        preview.resize(QSize(760, 900).boundedTo(room.size() * 0.9));
    }
    preview.move(room.center() - QPoint(preview.width() / 2, preview.height() / 2));
}
