// A check waits without holding the window up: it runs off the window thread, its result comes
// back on it, and Cancel ends a wait for a server that never answers at once.
#include "platform/wait.h"
#include "replies/replycheck.h"
#include "support/replykit.h"
#include "support/tempdir.h"

#include <QElapsedTimer>
#include <QThread>
#include <arpa/inet.h>
#include <atomic>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// A loopback socket that is bound and, when `listening`, takes connections (the system completes
// them) without ever saying a word; otherwise every connection to it is refused.
class HeldPort {
public:
    explicit HeldPort(bool listening) : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof a;
        ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        if (listening) ::listen(fd_, 8);
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &size);
        port_ = ntohs(a.sin_port);
    }
    ~HeldPort() { ::close(fd_); }
    int Port() const { return port_; }

private:
    int fd_;
    int port_ = 0;
};

class ReplyCheckWaiting : public ::testing::Test {
protected:
    ReplyCheckRequest Request(int port) {
        KeepRegistration(dir_.file("sent"), "domain", "a.example", "auto-dbm@ripe.net", "NEW",
                         QDateTime::currentDateTime());
        return {dir_.file("sent"),
                {"127.0.0.1:" + QString::number(port), "127.0.0.1", port, true, "jane", "INBOX"},
                "secret"};
    }
    ScopedWorkDir dir_;
};
} // namespace

TEST_F(ReplyCheckWaiting, TheResultComesBackOnTheWindowThread) {
    HeldPort refusing(false);
    QObject context;
    std::optional<Result<ReplyCheckOutcome>> result;
    Qt::HANDLE deliveredOn = nullptr;
    StartReplyCheck(&context, CancelToken(), Request(refusing.Port()),
                    [&](Result<ReplyCheckOutcome> r) {
                        deliveredOn = QThread::currentThreadId();
                        result.emplace(std::move(r));
                    });
    ASSERT_TRUE(WaitUntil([&] { return result.has_value(); }, 10000));
    EXPECT_EQ(deliveredOn, QThread::currentThreadId());
    EXPECT_TRUE(result->Error().startsWith(
        "The mailbox server 127.0.0.1:" + QString::number(refusing.Port()) +
        " could not be reached ("))
        << result->Error().toStdString();
}

TEST_F(ReplyCheckWaiting, CancelEndsTheWaitForASilentServerAtOnce) {
    HeldPort silent(true);
    const ReplyCheckRequest request = Request(silent.Port());
    QObject context;
    CancelToken token;
    std::atomic<bool> finished{false};
    QString error;
    bool delivered = false;
    Tasks::Run<int>(
        &context, token,
        [&](const CancelToken& t) {
            error = CheckForReplies(request, t).Error();
            finished = true;
            Tasks::PostToWindowThread([] {}); // wakes the wait below
            return 0;
        },
        [&](int) { delivered = true; });
    // The window thread stays free while the server says nothing.
    EXPECT_FALSE(WaitUntil([&] { return finished.load(); }, 500));
    QElapsedTimer clock;
    clock.start();
    token.Cancel();
    ASSERT_TRUE(WaitUntil([&] { return finished.load(); }, 10000));
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_EQ(error, "The check was cancelled.");
    ProcessPendingEvents();
    EXPECT_FALSE(delivered); // a cancelled check's result is not wanted
}
