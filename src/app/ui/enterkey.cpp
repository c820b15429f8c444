#include "app/ui/enterkey.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QToolButton>

namespace {
class EnterOnButtons : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
        if (key->modifiers() & ~Qt::KeypadModifier) return false;
        // Only the button the key is meant for: the focused one, not a parent it propagates to.
        auto* button = qobject_cast<QAbstractButton*>(watched);
        if (!button || !button->hasFocus() || !button->isEnabled()) return false;
        if (!qobject_cast<QPushButton*>(button) && !qobject_cast<QToolButton*>(button))
            return false;
        if (key->isAutoRepeat()) return true;
        button->click();
        return true;
    }
};
} // namespace

void EnterPressesFocusedButton() {
    static bool installed = false;
    if (installed || !qApp) return;
    qApp->installEventFilter(new EnterOnButtons(qApp));
    installed = true;
}
