#include "app/ui/distinctnames.h"

#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>
#include <QHash>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <functional>

namespace {
QString Shown(QString caption) {
    caption.replace("&&", QString(QChar(1)));
    caption.remove('&');
    caption.replace(QChar(1), "&");
    return caption.trimmed();
}

// The tab pages and group boxes around `w`, innermost first.
QStringList Places(const QWidget* w, const QWidget* window) {
    QStringList places;
    for (const QWidget* at = w; at && at != window; at = at->parentWidget()) {
        const QWidget* up = at->parentWidget();
        if (auto* stack = qobject_cast<const QStackedWidget*>(up))
            if (auto* pages = qobject_cast<const QTabWidget*>(stack->parentWidget()))
                places << Shown(pages->tabText(pages->indexOf(const_cast<QWidget*>(at))));
        if (auto* group = qobject_cast<const QGroupBox*>(up); group && !group->title().isEmpty())
            places << Shown(group->title());
    }
    return places;
}

struct Named {
    QStringList places;
    std::function<void(const QString&)> rename;
};

// The innermost level of places at which the copies all differ; -1 when none does.
int TellingLevel(const QList<Named>& copies) {
    qsizetype deepest = 0;
    for (const Named& c : copies)
        deepest = std::max(deepest, c.places.size());
    for (int level = 0; level < deepest; ++level) {
        QStringList seen;
        bool distinct = true;
        for (const Named& c : copies) {
            const QString place = c.places.value(level);
            distinct = distinct && !seen.contains(place);
            seen << place;
        }
        if (distinct) return level;
    }
    return -1;
}
} // namespace

void MakeNamesDistinct(QWidget* window) {
    QHash<QPair<int, QString>, QList<Named>> byName;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        // A tab bar's scroll arrows are the mouse's: the keyboard moves between tabs by itself.
        if (qobject_cast<QToolButton*>(w) && qobject_cast<QTabBar*>(w->parentWidget())) {
            w->setFocusPolicy(Qt::NoFocus);
            continue;
        }
        if (auto* pages = qobject_cast<QTabWidget*>(w)) {
            // The tab bar takes the focus; the unnamed frame around it would be read as a stop.
            pages->setFocusPolicy(Qt::NoFocus);
            const QStringList around = Places(pages, window);
            for (int i = 0; i < pages->count(); ++i) {
                const QString caption = Shown(pages->tabText(i));
                byName[{int(QAccessible::PageTab), caption}].append(
                    {around, [bar = pages->tabBar(), i, caption](const QString& place) {
                         bar->setAccessibleTabName(i, caption + " (" + place + ")");
                     }});
            }
        }
        if (!(w->focusPolicy() & Qt::TabFocus)) continue;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        // A status line's name is its live message, told as it changes: it is left as it is.
        if (!a || a->role() == QAccessible::StatusBar) continue;
        // An editable box reads its text as its name here: its own name is what tells it apart.
        const QString name = qobject_cast<QComboBox*>(w) && !w->accessibleName().isEmpty()
                                 ? w->accessibleName()
                                 : a->text(QAccessible::Name);
        if (name.isEmpty()) continue;
        byName[{int(a->role()), name}].append({Places(w, window), [w, name](const QString& place) {
                                                   w->setAccessibleName(name + " (" + place + ")");
                                               }});
    }
    for (const QList<Named>& copies : byName) {
        if (copies.size() < 2) continue;
        const int level = TellingLevel(copies);
        if (level < 0) continue;
        for (const Named& c : copies)
            if (level < c.places.size()) c.rename(c.places[level]);
    }
}
