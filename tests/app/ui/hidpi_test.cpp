// Pictures and texts on a screen of any pixel ratio: the build also runs these tests, and the
// layout tests, at QT_SCALE_FACTOR=2.
#include "app/ui/aboutbox.h"
#include "app/ui/form1.h"
#include "app/ui/pictures.h"
#include "app/ui/splash.h"
#include "nscheck/ui/nscheckdlg.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
// A picture is sharp when it carries a device pixel for every pixel the screen shows of it.
void ExpectSharp(QLabel* label) {
    SCOPED_TRACE(label->objectName().toStdString());
    const QPixmap pixmap = label->pixmap();
    ASSERT_FALSE(pixmap.isNull());
    const qreal ratio = label->devicePixelRatioF();
    EXPECT_DOUBLE_EQ(pixmap.devicePixelRatio(), ratio);
    const QSize shown = label->hasScaledContents() ? label->contentsRect().size()
                                                   : pixmap.deviceIndependentSize().toSize();
    EXPECT_GE(pixmap.width(), qRound(shown.width() * ratio));
    EXPECT_GE(pixmap.height(), qRound(shown.height() * ratio));
}

void ExpectWholeText(QLabel* label) {
    if (label->text().isEmpty()) return;
    const QFontMetrics fm(label->font());
    EXPECT_GE(label->contentsRect().width(), fm.horizontalAdvance(label->text()))
        << label->text().toStdString();
    EXPECT_GE(label->contentsRect().height(), fm.height()) << label->text().toStdString();
}
} // namespace

TEST(HiDpi, TheAboutBoxShowsSharpPicturesAndWholeTexts) {
    TForm1 form;
    form.show();
    int checked = 0;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<TAboutBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        for (QLabel* label : box->findChildren<QLabel*>()) {
            if (!label->isVisible()) continue;
            if (!label->pixmap().isNull()) ExpectSharp(label);
            ExpectWholeText(label);
            ++checked;
        }
        box->findChild<QPushButton*>("OKButton")->click();
    });
    form.Control<QAction>("About1")->trigger();
    EXPECT_EQ(checked, 6); // two pictures, three texts, the settings file
}

TEST(HiDpi, TheSplashShowsASharpPictureAndItsWholeVersion) {
    TSplashScreen splash;
    splash.show();
    ExpectSharp(splash.findChild<QLabel*>("Image1"));
    ExpectWholeText(splash.findChild<QLabel*>("Label1"));
}

TEST(HiDpi, TheProgramIconHasAPictureForTheScreensPixelSize) {
    const qreal ratio = qApp->devicePixelRatio();
    for (int size : {16, 32, 48}) {
        const QPixmap picture = ProgramIcon().pixmap(QSize(size, size), ratio);
        EXPECT_EQ(picture.width(), qRound(size * ratio)) << size;
        EXPECT_DOUBLE_EQ(picture.devicePixelRatio(), ratio) << size;
    }
}

TEST(HiDpi, TheCheckWindowAndTheFirstStartBarLieInsideTheScreen) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    TNSCheckDlg check;
    check.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&check));
    EXPECT_LE(check.width(), screen.width());
    EXPECT_LE(check.height(), screen.height());
    // The bar's words are whole beside its button.
    TForm1 form;
    form.ShowSetupBar(true);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    auto* words = form.findChild<QLabel*>("SetupBarText");
    ASSERT_TRUE(words && words->isVisible());
    EXPECT_GE(words->width(), words->sizeHint().width());
}
