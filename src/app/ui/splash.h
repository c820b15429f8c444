#pragma once
// The splash window shown while the program starts. It stays until its timer's first tick; the
// start-up waits for SplashActive to fall before it destroys the splash.
#include <QWidget>

class QTimer;

class TSplashScreen : public QWidget {
    Q_OBJECT
public:
    explicit TSplashScreen(QWidget* parent = nullptr);

    bool SplashActive = false;
    QTimer* SplashTimer;

    void FormCreate();
    void SplashTimerTimer();
};
