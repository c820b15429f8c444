// Start-up: the splash stays up until the later of its first tick and the last window's creation;
// a failed step shows its numbered box and stops.
#include "app/ui/form1.h"
#include "app/ui/smtpsu.h"
#include "app/ui/splash.h"
#include "app/ui/startup.h"
#include "platform/messageboxes.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace {
// Which windows exist at the end of each step, and whether the splash is up.
struct Observed {
    bool splashShown = false;
    bool form = false, setup = false;
};
} // namespace

TEST(Startup, SplashIsBorderlessOnTopAndShowsItsVersion) {
    TSplashScreen splash;
    EXPECT_EQ(splash.size(), QSize(161, 130));
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(splash.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(splash.SplashActive);
    EXPECT_TRUE(splash.SplashTimer->isActive());
    EXPECT_EQ(splash.SplashTimer->interval(), 1000);
    auto* picture = splash.findChild<QLabel*>("Image1");
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->geometry(), QRect(8, 8, 145, 84));
    EXPECT_FALSE(picture->pixmap().isNull());
    auto* version = splash.findChild<QLabel*>("Label1");
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->text(), "Version 1.70");
    EXPECT_EQ(version->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
}

TEST(Startup, AFastStartKeepsTheSplashUntilItsFirstTick) {
    auto boxes = std::make_shared<ScriptedBoxes>();
    SetBoxes(boxes);
    StartupWindows windows;
    std::map<int, Observed> seen;
    QElapsedTimer clock;
    clock.start();
    const int failed = CreateStartupWindows(windows, [&](int step) {
        seen[step] = {windows.splash && windows.splash->isVisible(), bool(windows.form),
                      bool(windows.setup)};
    });
    const qint64 elapsed = clock.elapsed();
    EXPECT_EQ(failed, 0);
    EXPECT_GE(elapsed, 950);
    EXPECT_TRUE(seen[2].splashShown);
    EXPECT_TRUE(seen[3].splashShown && seen[3].form);
    EXPECT_TRUE(seen[4].splashShown && seen[4].setup);
    EXPECT_EQ(windows.splash, nullptr); // destroyed after the wait
    ASSERT_NE(windows.form, nullptr);
    EXPECT_FALSE(windows.form->isVisible()); // shown by the message loop's start
    EXPECT_NE(windows.setup, nullptr);
    // No display name of the program's own: the desktop would add it to every title bar.
    EXPECT_EQ(QApplication::applicationDisplayName(), QApplication::applicationName());
    EXPECT_TRUE(boxes->shown().empty());
}

TEST(Startup, ASlowStartKeepsTheSplashUntilTheLastWindowExists) {
    auto boxes = std::make_shared<ScriptedBoxes>();
    SetBoxes(boxes);
    StartupWindows windows;
    bool splashUpAfterSetup = false;
    QElapsedTimer clock;
    clock.start();
    qint64 setupDone = 0;
    CreateStartupWindows(windows, [&](int step) {
        if (step != 4) return;
        // Creating the Setup dialog took longer than the splash's tick.
        QThread::msleep(1300);
        QCoreApplication::processEvents();
        splashUpAfterSetup = windows.splash && windows.splash->isVisible();
        setupDone = clock.elapsed();
    });
    EXPECT_TRUE(splashUpAfterSetup);
    EXPECT_GE(setupDone, 1300);
    EXPECT_EQ(windows.splash, nullptr);
}

TEST(Startup, AFailedStepShowsItsNumberedBoxAndStops) {
    EXPECT_EQ(StartupFailureText(3),
              "3->Cannot start application. Try Shutting down other applications");
    for (int failing : {2, 3, 4}) {
        auto boxes = std::make_shared<ScriptedBoxes>();
        SetBoxes(boxes);
        StartupWindows windows;
        int lastStep = 0;
        const int failed = CreateStartupWindows(windows, [&](int step) {
            lastStep = step;
            if (step == failing) throw std::runtime_error("out of resources");
        });
        EXPECT_EQ(failed, failing);
        EXPECT_EQ(lastStep, failing); // no later step ran
        EXPECT_EQ(boxes->Texts("error"),
                  QStringList(QString("%1->Cannot start application. Try Shutting down other "
                                      "applications")
                                  .arg(failing)));
        EXPECT_EQ(windows.setup != nullptr, failing == 4);
        EXPECT_EQ(windows.form != nullptr, failing >= 3);
    }
}

TEST(Startup, TheProgramShowsItsWindowAndEndsWhenItCloses) {
    // The real program, started on the headless platform and closed from outside.
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(env);
    program.start(REGISCRIBE_APP, {});
    ASSERT_TRUE(program.waitForStarted(10000));
    EXPECT_FALSE(program.waitForFinished(1500)); // still running: the message loop
    program.terminate();
    EXPECT_TRUE(program.waitForFinished(10000));
    if (program.state() != QProcess::NotRunning) {
        program.kill();
        program.waitForFinished(5000);
    }
}
