#include "app/ui/startup.h"

#include "app/ui/form1.h"
#include "app/ui/helpwindow.h"
#include "app/ui/pictures.h"
#include "app/ui/smtpsu.h"
#include "app/ui/splash.h"
#include "platform/installation.h"
#include "platform/messageboxes.h"
#include "platform/tasks.h"
#include "platform/ui/qtmessageboxes.h"
#include "platform/wait.h"

#include <QApplication>
#include <cstdio>
#include <exception>
#include <optional>

namespace {
// Runs one start-up step; false (after its failure box) when it threw.
bool RunStep(int step, const std::function<void()>& body,
             const std::function<void(int)>& afterStep) {
    try {
        body();
        if (afterStep) afterStep(step);
        return true;
    } catch (const std::exception&) {
    } catch (...) {
    }
    Boxes().Error(StartupFailureText(step));
    return false;
}
} // namespace

StartupWindows::StartupWindows() = default;
StartupWindows::~StartupWindows() = default;

QString StartupFailureText(int step) {
    return QString("%1->Cannot start application. Try Shutting down other applications").arg(step);
}

int CreateStartupWindows(StartupWindows& w, const std::function<void(int)>& afterStep) {
    if (!RunStep(
            2,
            [&] {
                w.splash = std::make_unique<TSplashScreen>();
                w.splash->show();
                w.splash->repaint();
            },
            afterStep))
        return 2;
    if (!RunStep(
            3,
            [&] {
                SetHelpFile(":/help");
                w.form = std::make_unique<TForm1>();
                if (w.form->CreateFormView) {
                    w.formView.reset(w.form->CreateFormView());
                    w.form->FormView = w.formView.get();
                }
            },
            afterStep))
        return 3;
    if (!RunStep(
            4, [&] { w.setup = std::make_unique<TSetupDlg>(); }, afterStep))
        return 4;
    // The splash stays until its first tick, however fast the windows were created.
    TSplashScreen* splash = w.splash.get();
    WaitUntil([splash] { return !splash->SplashActive; });
    w.splash.reset();
    return 0;
}

void UseWholeScreenScaling() {
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::Round);
}

int RunRegiscribe(int argc, char** argv) {
    std::optional<QApplication> app;
    try {
        UseWholeScreenScaling();
        app.emplace(argc, argv);
        SetBoxes(std::make_shared<QtMessageBoxes>());
        // The desktop matches the windows with the installed desktop entry and its icon.
        QGuiApplication::setDesktopFileName(DesktopEntryId);
        QApplication::setWindowIcon(ProgramIcon());
    } catch (...) {
        // Without an application object no box can be shown.
        std::fprintf(stderr, "%s\n", qPrintable(StartupFailureText(1)));
        return 1;
    }
    StartupWindows windows;
    if (CreateStartupWindows(windows) != 0) {
        QApplication::exit(1);
        return 1;
    }
    QObject::connect(windows.form.get(), &TForm1::Closed, &*app, &QCoreApplication::quit);
    windows.form->show();
    const int code = app->exec();
    Tasks::Shutdown();
    return code;
}
