// Test entry for widget tests: a headless application with scripted message boxes.
#include "app/ui/startup.h"
#include "platform/tasks.h"
#include "support/modules.h"
#include "support/programsettings.h"
#include "support/testchild.h"

#include <QApplication>
#include <cstdio>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    UseBuiltModules();
    UseWholeScreenScaling(); // as the program does
    QApplication app(argc, argv);
    if (const int child = RunRequestedTestChild(); child >= 0) return child;
    testing::InitGoogleTest(&argc, argv);
#ifdef REGISCRIBE_PRIVATE_KEYRING_ONLY
    // These tests write into the desktop keyring: only into the private one the wrapper makes.
    if (!GTEST_FLAG_GET(list_tests) && qEnvironmentVariableIsEmpty("REGISCRIBE_PRIVATE_KEYRING")) {
        std::fputs("These tests write into the desktop keyring: run them through "
                   "tests/support/with_keyring.sh (ctest does), never on their own.\n",
                   stderr);
        return 2;
    }
#endif
    // Every window reads the settings file: this process's own, so that its tests can run beside
    // other processes of the same program.
    ProgramSettings::UseOwnFile();
    const int failed = RUN_ALL_TESTS();
    Tasks::Shutdown();
    return failed;
}
