// Every window on a small screen with big text: the build runs these tests on a 1400x1050 screen
// at twice the pixel ratio and again at 144 dots per inch (see tests/CMakeLists.txt). Each window
// lies inside the screen, and no control is given less room than it asks for (its size hint):
// a label shows its whole text, a button its caption, a frame its border around its contents.
#include "app/ui/aboutbox.h"
#include "app/ui/form1.h"
#include "app/ui/helpwindow.h"
#include "app/ui/reviewrow.h"
#include "app/ui/smtpsu.h"
#include "app/ui/splash.h"
#include "app/ui/statusline.h"
#include "editing/ui/cryptdlg.h"
#include "mail/ui/passworddlg.h"
#include "mail/ui/securitydlg.h"
#include "mail/ui/sentdlg.h"
#include "nscheck/ui/nscheckdlg.h"
#include "objects/ui/keyimportdlg.h"
#include "objects/ui/messageview.h"
#include "support/ui/formdriver.h"
#include "templates/ui/formviewer.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>

namespace {
bool InsideComposite(const QWidget* w, const QWidget* window) {
    for (const QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget())
        if (qobject_cast<const QComboBox*>(p) || qobject_cast<const QAbstractScrollArea*>(p))
            return true;
    return false;
}

QString Describe(const QWidget* w) {
    QString text = w->metaObject()->className() + QString(" ") + w->objectName();
    if (auto* label = qobject_cast<const QLabel*>(w)) text += " '" + label->text().left(40) + "'";
    if (auto* button = qobject_cast<const QAbstractButton*>(w)) text += " '" + button->text() + "'";
    return text;
}

// What the window's shown controls lack: each line names the control, its size and what it asks.
QStringList CutControls(QWidget* window) {
    QStringList cut;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisible() || InsideComposite(w, window) || w->isWindow()) continue;
        // A frame that starts between device pixels loses its top or left line.
        auto* frame = qobject_cast<QFrame*>(w);
        const QPointF device = QPointF(w->mapTo(window, QPoint(0, 0))) * w->devicePixelRatioF();
        if (frame && frame->frameWidth() > 0 &&
            (device.x() != std::floor(device.x()) || device.y() != std::floor(device.y())))
            cut << QString("%1 starts between device pixels, at %2,%3")
                       .arg(Describe(w))
                       .arg(device.x())
                       .arg(device.y());
        // A status line and a review value are cut by design, and tell their whole text.
        if (qobject_cast<TStatusLine*>(w) || qobject_cast<TElidingLabel*>(w)) continue;
        // A list or text scrolls what it cannot show.
        if (qobject_cast<QAbstractScrollArea*>(w)) continue;
        QSize wanted = w->minimumSizeHint();
        auto* label = qobject_cast<QLabel*>(w);
        if (label && !label->wordWrap() && !label->hasScaledContents()) wanted = w->sizeHint();
        if (!wanted.isValid()) continue;
        // A push button asks for a width the style likes; its caption needs less.
        if (auto* button = qobject_cast<QPushButton*>(w)) {
            const QFontMetrics fm(button->font());
            const QString caption = QString(button->text()).replace("&&", "&");
            wanted.setWidth(std::min(wanted.width(),
                                     fm.horizontalAdvance(caption) + 2 * fm.averageCharWidth()));
        }
        if (w->sizePolicy().horizontalPolicy() == QSizePolicy::Ignored) wanted.setWidth(0);
        if (w->width() < wanted.width() || w->height() < wanted.height())
            cut << QString("%1 is %2x%3, asks %4x%5")
                       .arg(Describe(w))
                       .arg(w->width())
                       .arg(w->height())
                       .arg(wanted.width())
                       .arg(wanted.height());
    }
    return cut;
}

void ExpectFits(QWidget* window, const QString& what) {
    SCOPED_TRACE(what.toStdString());
    if (!window->isVisible()) window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    // A layout that wraps asks its parents again: one level per pass.
    for (int pass = 0; pass < 4; ++pass)
        QCoreApplication::processEvents();
    const QRect screen = window->screen()->availableGeometry();
    QStringList faults = CutControls(window);
    const QRect frame = window->frameGeometry();
    if (!screen.contains(frame))
        faults << QString("the window, %1x%2 at %3,%4, leaves the screen of %5x%6")
                      .arg(frame.width())
                      .arg(frame.height())
                      .arg(frame.x())
                      .arg(frame.y())
                      .arg(screen.width())
                      .arg(screen.height());
    EXPECT_TRUE(faults.isEmpty()) << faults.join("\n").toStdString();
}
} // namespace

TEST(ScreenFit, TheMainWindowOnEveryTabAndItsWindows) {
    FormDriver d;
    TForm1& form = d.form();
    form.ShowSetupBar(true);
    form.show();
    ExpectFits(&form, "main window");
    for (QTabWidget* pages : form.findChildren<QTabWidget*>())
        for (int i = 0; i < pages->count(); ++i) {
            ShowSheetOf(*pages->widget(i));
            ExpectFits(&form, "main window, tab " + pages->tabText(i));
        }
    TSetupDlg setup(&form);
    ExpectFits(&setup, "Setup");
    TSecurityDlg security("mail.example.test", &form);
    ExpectFits(&security, "Mail Security");
    TSentDlg sent(&form);
    ExpectFits(&sent, "Sent Registrations");
    TAboutBox about(&form);
    ExpectFits(&about, "About");
}

TEST(ScreenFit, TheProgramsOtherWindows) {
    TSplashScreen splash;
    ExpectFits(&splash, "splash");
    TNSCheckDlg check;
    ExpectFits(&check, "name server check");
    TCryptDlg crypt(AllCryptMethods());
    ExpectFits(&crypt, "crypt");
    TPasswordDlg password("jane", "mail.example.test");
    ExpectFits(&password, "mail password");
    TFormView viewer;
    viewer.SetLines({"1. Registration Action (N/M/D)......: N"});
    ExpectFits(&viewer, "form viewer");
    TKeyImportDlg import;
    ExpectFits(&import, "key import");
    TMessageView message({"Received: from robot", "", "Create SUCCEEDED: [domain] example.net"});
    ExpectFits(&message, "message");
    ShowHelpContents();
    ExpectFits(HelpWindow(), "help");
    HelpWindow()->close();
}
