#include "app/ui/statusline.h"

#include "app/ui/form1.h"
#include "app/ui/recordpage.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

namespace {
// Role status bar, named by the text it shows. QLabel tells a new text as one name change.
class StatusLineAccessible : public QAccessibleWidget {
public:
    explicit StatusLineAccessible(TStatusLine* line)
        : QAccessibleWidget(line, QAccessible::StatusBar) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) {
            const QString shown = static_cast<TStatusLine*>(widget())->text();
            return shown.isEmpty() ? QStringLiteral("Status") : shown;
        }
        if (t == QAccessible::Description) return QStringLiteral("Status");
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* StatusLineFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("TStatusLine") && object && object->isWidgetType())
        return new StatusLineAccessible(static_cast<TStatusLine*>(object));
    return nullptr;
}
} // namespace

TStatusLine::TStatusLine(QWidget* parent) : QLabel(parent) {
    static const bool installed = (QAccessible::installFactory(StatusLineFactory), true);
    Q_UNUSED(installed);
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setMargin(1);
    setTextFormat(Qt::PlainText); // a server's words are never markup
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

void TStatusLine::setText(const QString& text) {
    if (text == QLabel::text()) return;
    QLabel::setText(text);
    UpdateToolTip();
    emit textChanged(text);
}

QSize TStatusLine::sizeHint() const {
    const int frame = 2 * (frameWidth() + margin());
    return {fontMetrics().averageCharWidth() * 16 + frame, fontMetrics().height() + frame + 2};
}

QSize TStatusLine::minimumSizeHint() const {
    return sizeHint();
}

void TStatusLine::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawFrame(&painter);
    const QRect area = contentsRect().adjusted(margin() + 1, 0, -margin() - 1, 0);
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, area.width());
    style()->drawItemText(&painter, area, Qt::AlignLeft | Qt::AlignVCenter, palette(), isEnabled(),
                          shown, foregroundRole());
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = contentsRect();
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

void TStatusLine::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    UpdateToolTip();
}

void TStatusLine::UpdateToolTip() {
    const int room = contentsRect().width() - 2 * (margin() + 1);
    setToolTip(fontMetrics().horizontalAdvance(text()) > room ? text() : QString());
}

TStatusLine* StatusLine(const TForm1& form, RecordKind page) {
    return form.RecordPages().Of(page).status;
}

void ShowStatus(const TRecordPage& page, const QString& text) {
    if (page.status) page.status->setText(text);
}

QString StatusText(const TRecordPage& page) {
    return page.status ? page.status->text() : QString();
}

void ShowStatus(TForm1& form, RecordKind page, const QString& text) {
    ShowStatus(form.RecordPages().Of(page), text);
}

QString StatusText(const TForm1& form, RecordKind page) {
    return StatusText(form.RecordPages().Of(page));
}
