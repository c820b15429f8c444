#include "platform/idnabackend.h"
#include "platform/module.h"
#include "platform/tasks.h"
#include "platform/wait.h"
#include "support/process.h"

#include <atomic>
#include <gtest/gtest.h>
#include <set>

TEST(Modules, ThreadsLoadingOneModuleAtOnceGetItsOneObject) {
    std::atomic<int> done{0};
    std::mutex lock;
    std::set<void*> objects;
    constexpr int kCallers = 12;
    for (int i = 0; i < kCallers; ++i)
        Tasks::Submit(CancelToken(), [&] {
            Result<IdnaBackend*> backend =
                SharedModuleInterface<IdnaBackend>(IdnaModuleName, IdnaModuleEntry);
            {
                std::lock_guard hold(lock);
                objects.insert(backend.ValueOr(nullptr));
            }
            ++done;
            Tasks::PostToWindowThread([] {});
        });
    ASSERT_TRUE(WaitUntil([&] { return done == kCallers; }, 10000));
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_NE(*objects.begin(), nullptr);
}

TEST(Modules, AModuleOfAnotherBuildIsRefusedNotCalled) {
    // An international address needs the IDNA module; the one found is of another build.
    qputenv("REGISCRIBE_MODULE_DIR", STALE_MODULE_DIR);
    ProcessResult r = RunCli({"message", "--from", "a@b\u00FCcher.example", "--to", "h@example.net",
                              "--message-id", "1@example.net"});
    qputenv("REGISCRIBE_MODULE_DIR", REGISCRIBE_BUILT_MODULES);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("the module idna is of another version of the program"))
        << r.err.toStdString();
}
