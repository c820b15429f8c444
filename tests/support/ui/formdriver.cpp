#include "support/ui/formdriver.h"

#include "app/ui/statusline.h"
#include "editing/ui/formfields.h"
#include "platform/wait.h"
#include "store/setupsettings.h"
#include "store/ui/storebehaviour.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>

namespace {
void ClickTabOf(QTabWidget& pages, int index) {
    QTabBar* bar = pages.tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
}
} // namespace

FormDriver::FormDriver(Folder folder) : boxes_(std::make_shared<ScriptedBoxes>()) {
    if (folder == FreshFolder) dir_.emplace();
    SetBoxes(boxes_);
    form_ = std::make_unique<TForm1>();
    form_->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
    // Focus moves only in the active window.
    form_->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(form_.get()));
}

FormDriver::~FormDriver() {
    form_.reset();
    ProcessPendingEvents();
}

QWidget& FormDriver::Widget(const QString& name) {
    auto* w = form_->Control<QWidget>(name);
    if (!w) throw std::runtime_error("no control " + name.toStdString());
    return *w;
}

// Each page control keeps its sheets in a stacked widget; the sheet on the way up from the
// control is made current by a click on its tab, outermost page control first.
void ShowSheetOf(QWidget& w) {
    std::vector<std::pair<QTabWidget*, int>> tabs;
    for (QWidget* child = &w; child && child->parentWidget(); child = child->parentWidget()) {
        auto* stack = qobject_cast<QStackedWidget*>(child->parentWidget());
        auto* pages = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
        if (pages) tabs.emplace_back(pages, pages->indexOf(child));
    }
    for (auto it = tabs.rbegin(); it != tabs.rend(); ++it)
        if (it->first->currentIndex() != it->second) ClickTabOf(*it->first, it->second);
    // A sheet shown for the first time lays out its controls in a posted event.
    ProcessPendingEvents();
}

void ClickIndicator(QAbstractButton& button) {
    // A check box or radio reacts only to clicks on its indicator and caption, which may be
    // narrower than the space it is given.
    QStyleOptionButton option;
    option.initFrom(&button);
    const bool radio = qobject_cast<QRadioButton*>(&button) != nullptr;
    const QRect indicator = button.style()->subElementRect(
        radio ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator, &option, &button);
    QTest::mouseClick(&button, Qt::LeftButton, {}, indicator.center());
}

void FormDriver::Click(const QString& name) {
    QWidget& w = Widget(name);
    ShowSheetOf(w);
    if (auto* radio = qobject_cast<QRadioButton*>(&w)) return ClickIndicator(*radio);
    QTest::mouseClick(&w, Qt::LeftButton, {}, w.rect().center());
}

void FormDriver::ClickTab(const QString& pageControl, const QString& caption) {
    auto& pages = *form_->Control<QTabWidget>(pageControl);
    ShowSheetOf(pages);
    for (int i = 0; i < pages.count(); ++i)
        if (pages.tabText(i) == caption) return ClickTabOf(pages, i);
    throw std::runtime_error("no tab " + caption.toStdString());
}

void FormDriver::Type(const QString& name, const QString& text) {
    QWidget& w = Widget(name);
    ShowSheetOf(w);
    QWidget* target = &w;
    if (auto* box = qobject_cast<QComboBox*>(&w)) target = box->lineEdit();
    target->setFocus();
    TypeText(target, text);
}

void TypeText(QWidget* target, const QString& text) {
    // QTest knows keys for Latin-1 letters only; other characters come as a key event with their
    // text, as an input method delivers them.
    for (QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClicks(target, QString(c));
            continue;
        }
        QTest::sendKeyEvent(QTest::Press, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void PickFromList(QComboBox& box, const QString& item) {
    ShowSheetOf(box);
    const int index = box.findText(item, Qt::MatchExactly);
    ASSERT_GE(index, 0) << item.toStdString();
    box.showPopup();
    QAbstractItemView* view = box.view();
    ASSERT_TRUE(WaitUntil([view] { return view->isVisible(); }, 2000));
    // The open list ignores a release that comes within a double-click time of opening.
    WaitUntil([] { return false; }, QApplication::doubleClickInterval() + 100);
    const QRect cell = view->visualRect(view->model()->index(index, box.modelColumn()));
    QTest::mouseMove(view->viewport(), cell.center());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_TRUE(WaitUntil([view] { return !view->isVisible(); }, 2000));
}

void FormDriver::Pick(const QString& name, const QString& item) {
    auto* box = qobject_cast<QComboBox*>(&Widget(name));
    ASSERT_TRUE(box);
    PickFromList(*box, item);
}

void FormDriver::ClickInto(const QString& name) {
    QWidget& w = Widget(name);
    ShowSheetOf(w);
    QWidget* target = &w;
    if (auto* box = qobject_cast<QComboBox*>(&w); box && box->lineEdit()) target = box->lineEdit();
    QTest::mouseClick(target, Qt::LeftButton, {}, target->rect().center());
    ASSERT_TRUE(w.hasFocus() || target->hasFocus()) << name.toStdString() << " took no focus";
}

void FormDriver::PressKey(Qt::Key key) {
    QWidget* focused = QApplication::focusWidget();
    ASSERT_TRUE(focused) << "no control has the focus";
    QTest::keyClick(focused, key);
}

void FormDriver::ChooseMenuItem(const QString& menuName, const QString& itemName) {
    ::ChooseMenuItem(*form_, menuName, itemName);
}

void ChooseMenuItem(QMainWindow& window, const QString& menuName, const QString& itemName) {
    auto* menu = window.findChild<QMenu*>(menuName);
    ASSERT_TRUE(menu) << menuName.toStdString();
    QMenuBar* bar = window.menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
    ASSERT_TRUE(WaitUntil([menu] { return menu->isVisible(); }, 2000)) << "the menu did not open";
    QAction* item = nullptr;
    for (QAction* a : menu->actions())
        if (a->objectName() == itemName) item = a;
    ASSERT_TRUE(item) << itemName.toStdString();
    const QPoint at = menu->actionGeometry(item).center();
    QTest::mouseMove(menu, at);
    QTest::mouseClick(menu, Qt::LeftButton, {}, at);
}

QString FormDriver::Text(const QString& name) {
    // A status line is no field: it shows a line of text.
    if (auto* line = form_->Control<TStatusLine>(name)) return line->text();
    return TextOfField(*form_, name);
}

QString FormDriver::Caption(const QString& label) {
    auto* l = form_->Control<QLabel>(label);
    return l ? l->text() : QString("<no label %1>").arg(label);
}

bool FormDriver::IsOpen(const QString& name) {
    QWidget& w = Widget(name);
    const bool silver = w.palette().color(QPalette::Base) == QColor(0xC0, 0xC0, 0xC0);
    EXPECT_EQ(w.isEnabled(), !silver) << name.toStdString() << ": enabled and colour disagree";
    return w.isEnabled() && !silver;
}

bool FormDriver::IsChecked(const QString& radio) {
    auto* r = form_->Control<QRadioButton>(radio);
    return r && r->isChecked();
}

void WhenModal::Schedule(std::function<bool(QWidget*)> matches, std::function<void(QWidget*)> act,
                         int timeoutMs) {
    // Owned by the application: a poll whose dialog never came ends with it, not as a leak.
    auto* poll = new QTimer(qApp);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, [poll, clock, matches, act, timeoutMs] {
        QWidget* modal = QApplication::activeModalWidget();
        const bool found = modal && modal->isVisible() && matches(modal);
        if (!found && clock->elapsed() <= timeoutMs) return;
        // Stopped before acting: the action may open a dialog of its own and wait in it.
        poll->stop();
        poll->deleteLater();
        if (found) act(modal);
    });
    poll->start();
}

void ChangeSettings(TForm1& form, const std::function<void(SetupSettings&)>& change) {
    TStore* store = form.findChild<TStore*>();
    ASSERT_NE(store, nullptr);
    SetupSettings settings = store->Settings();
    change(settings);
    store->SetSettings(settings);
}

void UseTestMailbox(TForm1& form, const QString& server, const QString& mailTo,
                    const QString& senderName) {
    ChangeSettings(form, [&](SetupSettings& s) {
        s.server = server;
        s.mailto = mailTo;
        s.address = "jane@example.test";
        s.name = senderName;
    });
}
