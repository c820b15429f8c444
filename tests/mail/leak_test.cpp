// A hundred failing sends leave no socket and no temporary file behind.
#include "mail/mssmtp.h"
#include "platform/wait.h"
#include "support/scriptedserver.h"
#include "support/tempdir.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {
int OpenDescriptors() {
    return int(QDir("/proc/self/fd").entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size());
}

int TemporaryFiles(const QString& folder) {
    return int(QDir(folder).entryList({"ms*"}, QDir::Files | QDir::Hidden).size());
}

// Points the temporary folder at a private one while a test runs.
class ScopedTempFolder {
public:
    ScopedTempFolder() : previous_(qgetenv("TMPDIR")) { qputenv("TMPDIR", dir_.path().toUtf8()); }
    ~ScopedTempFolder() {
        if (previous_.isEmpty())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", previous_);
    }
    QString path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    QByteArray previous_;
};
} // namespace

TEST(NoLeaks, HundredFailingSendsLeaveNoSocketAndNoTemporaryFile) {
    ScopedTempFolder temp;
    std::atomic<int> session{0};
    ScriptedServer server([&](const QByteArray& c) {
        // Each session fails in its own way, in turn: a refused recipient, a refused text, a reset
        // connection, a server that hangs up instead of answering DATA.
        if (c.startsWith("HELO")) ++session;
        const int kind = session % 4;
        if (c.startsWith("RCPT") && kind == 0) return ServerReply::Say("550 unknown");
        if (c == "." && kind == 1) return ServerReply::Say("554 refused");
        if (c == "DATA" && kind == 2) return ServerReply::ResetConnection();
        if (c == "DATA" && kind == 3) return ServerReply::Hangup();
        return ScriptedServer::Usual(c);
    });
    TmsMessage message;
    message.Sender().SetAddress("me@x");
    message.Recipients().AddAddress("you@x");
    message.SetBody({"text"});
    TmsSMTP smtp;
    smtp.SetMailMessage(&message);
    smtp.SetTimeOut(5);
    smtp.SetServer("127.0.0.1:" + QString::number(server.Port()));

    int filesWhileSending = 0;
    smtp.OnSending = [&](QObject*) {
        const QStringList files = QDir(temp.path()).entryList({"ms*"}, QDir::Files);
        filesWhileSending += int(files.size());
        // Only its owner may read the text on its way out.
        for (const QString& f : files) {
            struct stat info {};
            ASSERT_EQ(::stat(QFile::encodeName(temp.path() + "/" + f).constData(), &info), 0);
            EXPECT_EQ(info.st_mode & 0777, 0600u);
        }
    };

    const int before = OpenDescriptors();
    int failures = 0;
    for (int i = 0; i < 100; ++i) {
        try {
            smtp.Send();
        } catch (const Exception&) {
            ++failures;
        }
        // Any temporary file is gone as soon as Send returns.
        ASSERT_EQ(TemporaryFiles(temp.path()), 0) << "after send " << i;
    }
    EXPECT_EQ(failures, 100);
    EXPECT_EQ(filesWhileSending, 100); // the text lay in its temporary file during each send
    EXPECT_FALSE(smtp.Connected());
    // The server closes its side when we have; wait for that before counting.
    EXPECT_TRUE(WaitUntil([&] { return server.OpenConnections() == 0; }, 5000));
    EXPECT_EQ(OpenDescriptors(), before);
}
