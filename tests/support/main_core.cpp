// Test entry for the non-visual code: an event loop without widgets.
#include "platform/tasks.h"
#include "support/modules.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    UseBuiltModules();
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    const int failed = RUN_ALL_TESTS();
    Tasks::Shutdown();
    return failed;
}
