#include "app/ui/windowaccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <vector>

namespace {
struct LinkSpan {
    int start = 0;
    int end = 0;
    QString text;
    QString href;
};

// The page's anchors in reading order; a link split into fragments (a line break) is one.
std::vector<LinkSpan> LinksOf(const QTextDocument& document) {
    std::vector<LinkSpan> links;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (!format.isAnchor() || format.anchorHref().isEmpty()) continue;
            const int start = fragment.position();
            const int end = start + fragment.length();
            if (!links.empty() && links.back().href == format.anchorHref() &&
                links.back().end >= start - 1) {
                links.back().end = end;
                links.back().text += " " + fragment.text();
            } else {
                links.push_back({start, end, fragment.text(), format.anchorHref()});
            }
        }
    for (LinkSpan& link : links)
        link.text = link.text.simplified();
    return links;
}

class HelpLinkAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    HelpLinkAccessible(QTextBrowser* browser, LinkSpan link) : browser_(browser), link_(link) {}

    bool isValid() const override { return browser_; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        return browser_ ? browser_->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* parent() const override {
        return browser_ ? QAccessible::queryAccessibleInterface(browser_->window()) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? link_.text : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!browser_) return {};
        QTextCursor at(browser_->document());
        at.setPosition(link_.start);
        QRect area = browser_->cursorRect(at);
        at.setPosition(link_.end);
        area = area.united(browser_->cursorRect(at));
        return QRect(browser_->viewport()->mapToGlobal(area.topLeft()), area.size());
    }
    QAccessible::Role role() const override { return QAccessible::Link; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.linked = true;
        state.focusable = true;
        if (browser_) {
            QTextCursor at(browser_->document());
            at.setPosition(link_.start);
            state.offscreen = !browser_->viewport()->rect().intersects(browser_->cursorRect(at));
            const QTextCursor current = browser_->textCursor();
            state.focused = browser_->hasFocus() && current.selectionStart() == link_.start;
        }
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (name == pressAction() && browser_)
            browser_->setSource(browser_->source().resolved(QUrl(link_.href)));
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<QTextBrowser> browser_;
    LinkSpan link_;
};

// A window made from a plain widget: role window, named by its title, active while it has the
// keyboard (as dialogs and the main window are told).
class PlainWindowAccessible : public QAccessibleWidget {
public:
    explicit PlainWindowAccessible(QWidget* window)
        : QAccessibleWidget(window, QAccessible::Window) {}
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.active = widget()->isActiveWindow();
        return state;
    }
};

// The text browser of each help window, as the window told.
QHash<const QWidget*, QPointer<QTextBrowser>>& HelpTexts() {
    static QHash<const QWidget*, QPointer<QTextBrowser>> texts;
    return texts;
}

// The help window: its widgets, then one child per link of the page shown. The links are made
// afresh when the page has changed.
class HelpWindowAccessible : public PlainWindowAccessible {
public:
    using PlainWindowAccessible::PlainWindowAccessible;
    ~HelpWindowAccessible() override { Forget(false); }

    // A new page: its links replace the old ones, and assistive technology is told of both.
    void Renew() {
        Forget(true);
        Links();
        for (QAccessible::Id id : ids_) {
            QAccessibleEvent created(QAccessible::accessibleInterface(id),
                                     QAccessible::ObjectCreated);
            QAccessible::updateAccessibility(&created);
        }
    }

    int childCount() const override {
        return QAccessibleWidget::childCount() + int(Links().size());
    }
    QAccessibleInterface* child(int index) const override {
        const int widgets = QAccessibleWidget::childCount();
        if (index < widgets) return QAccessibleWidget::child(index);
        const std::vector<QAccessible::Id>& links = Links();
        return index - widgets < int(links.size())
                   ? QAccessible::accessibleInterface(links[size_t(index - widgets)])
                   : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const std::vector<QAccessible::Id>& links = Links();
        for (size_t i = 0; i < links.size(); ++i)
            if (QAccessible::accessibleInterface(links[i]) == child)
                return QAccessibleWidget::childCount() + int(i);
        return QAccessibleWidget::indexOfChild(child);
    }

private:
    const std::vector<QAccessible::Id>& Links() const {
        // Asked here: the window is read while it is still being built.
        QTextBrowser* browser = HelpTexts().value(widget());
        if (!browser) return ids_;
        const QUrl page = browser->source();
        if (page == shown_ && revision_ == browser->document()->revision()) return ids_;
        Forget(false);
        shown_ = page;
        revision_ = browser->document()->revision();
        for (const LinkSpan& link : LinksOf(*browser->document()))
            ids_.push_back(
                QAccessible::registerAccessibleInterface(new HelpLinkAccessible(browser, link)));
        return ids_;
    }
    void Forget(bool tell) const {
        for (QAccessible::Id id : ids_) {
            if (tell) {
                QAccessibleEvent destroyed(QAccessible::accessibleInterface(id),
                                           QAccessible::ObjectDestroyed);
                QAccessible::updateAccessibility(&destroyed);
            }
            QAccessible::deleteAccessibleInterface(id);
        }
        ids_.clear();
    }

    mutable std::vector<QAccessible::Id> ids_;
    mutable QUrl shown_;
    mutable int revision_ = -1;
};

QAccessibleInterface* WindowFactory(const QString& className, QObject* object) {
    if (!object || !object->isWidgetType()) return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (className == QLatin1String("THelpWindow")) return new HelpWindowAccessible(widget);
    // A plain container given a name groups what it holds under that name.
    if (className == QLatin1String("QWidget") && !widget->isWindow() &&
        !widget->accessibleName().isEmpty())
        return new QAccessibleWidget(widget, QAccessible::Grouping);
    // Only the program's own windows made directly from QWidget: dialogs, menus, pop-ups and
    // the toolkit's windows keep their own readings.
    const QMetaObject* type = widget->metaObject();
    if (widget->windowType() == Qt::Window && className == QLatin1String(type->className()) &&
        type->superClass() == &QWidget::staticMetaObject)
        return new PlainWindowAccessible(widget);
    return nullptr;
}
} // namespace

void ReadHelpLinksFrom(QWidget* helpWindow, QTextBrowser* browser) {
    HelpTexts().insert(helpWindow, browser);
    QObject::connect(helpWindow, &QObject::destroyed,
                     [helpWindow] { HelpTexts().remove(helpWindow); });
}

void TellHelpLinksChanged(QWidget* helpWindow) {
    if (!QAccessible::isActive()) return;
    if (auto* window =
            dynamic_cast<HelpWindowAccessible*>(QAccessible::queryAccessibleInterface(helpWindow)))
        window->Renew();
}

void InstallWindowAccessibility() {
    static const bool installed = (QAccessible::installFactory(WindowFactory), true);
    Q_UNUSED(installed);
}
