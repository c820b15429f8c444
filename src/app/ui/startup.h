#pragma once
// Program entry: application object, splash window, main window and the other windows, splash
// wait, message loop.
#include <QString>
#include <functional>
#include <memory>

class QWidget;
class TForm1;
class TSetupDlg;
class TSplashScreen;

// The windows created at start-up. The form viewer and the Setup dialog live as long as the
// application; the splash is destroyed once the splash wait is over.
struct StartupWindows {
    std::unique_ptr<TSplashScreen> splash;
    std::unique_ptr<TForm1> form;
    std::unique_ptr<QWidget> formView;
    std::unique_ptr<TSetupDlg> setup;
    StartupWindows();
    ~StartupWindows();
};

// The text of the box shown when start-up step `step` fails.
QString StartupFailureText(int step);

// Start-up steps 2 to 5: splash, title and help file with the main window and form viewer, Setup
// dialog, splash wait. A step that fails shows its failure box and its number is returned; 0 when
// all went well. `afterStep` (may be empty) is called at the end of each of the steps 2 to 4,
// inside the step.
int CreateStartupWindows(StartupWindows& windows,
                         const std::function<void(int step)>& afterStep = {});

// Whole device pixels per window pixel, chosen before the application object exists: a
// fractional ratio (1.5 at 144 dots per inch) puts frames between device pixels, and their top
// and left lines are lost. 1.5 is rounded to 2, 1.25 to 1.
void UseWholeScreenScaling();

int RunRegiscribe(int argc, char** argv);
