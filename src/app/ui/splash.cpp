#include "app/ui/splash.h"

#include "app/ui/pictures.h"
#include "platform/guard.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>

TSplashScreen::TSplashScreen(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName("SplashScreen");
    setFixedSize(161, 130);
    auto* panel = new QFrame(this);
    panel->setObjectName("Panel1");
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(2);
    panel->setGeometry(rect());
    auto* picture = new QLabel(panel);
    picture->setObjectName("Image1");
    picture->setPixmap(SplashPicture());
    picture->setScaledContents(true);
    picture->setGeometry(8, 8, 145, 84);
    auto* version = new QLabel("Version 1.70", panel);
    version->setObjectName("Label1");
    version->setAlignment(Qt::AlignCenter);
    version->setFrameStyle(QFrame::Box | QFrame::Plain);
    version->setGeometry(8, 98, 145, 22);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = geometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    SplashTimer = new QTimer(this);
    SplashTimer->setObjectName("SplashTimer");
    SplashTimer->setInterval(1000);
    connect(SplashTimer, &QTimer::timeout, this,
            [this] { Guarded([this] { SplashTimerTimer(); }); });
    SplashTimer->start();
    FormCreate();
}

void TSplashScreen::FormCreate() {
    SplashActive = true;
}

void TSplashScreen::SplashTimerTimer() {
    SplashActive = false;
}
