// End to end against a real SMTP server (Debian's aiosmtpd on loopback): what it receives for a
// written domain template is exactly the header table and the template's lines.
#include "mail/mssmtp.h"
#include "platform/wait.h"
#include "smtpsink.h"
#include "support/process.h"
#include "support/tempdir.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {
QStringList MemoLines(const QByteArray& bytes) {
    QStringList lines;
    QByteArrayList raw = bytes.split('\n');
    if (!raw.isEmpty() && raw.back().isEmpty()) raw.removeLast();
    for (QByteArray& line : raw) {
        if (line.endsWith('\r')) line.chop(1);
        lines << QString::fromUtf8(line);
    }
    return lines;
}

QByteArray WrittenDomainTemplate(const ScopedWorkDir& dir) {
    ProcessResult r = RunCli({"write", "domain", "example.com"}, dir.path());
    EXPECT_EQ(r.exitCode, 0) << r.err.constData();
    return ReadAll(dir.file("domains/example.com.txt"));
}
} // namespace

TEST(RealServer, DomainTemplateArrivesAsTheHeaderTableAndItsLines) {
    SmtpSink sink;
    ASSERT_TRUE(sink.Started());
    ScopedWorkDir dir;
    const QByteArray file = WrittenDomainTemplate(dir);
    const QStringList lines = MemoLines(file);
    ASSERT_EQ(lines.size(), 222);

    // Filled as the domain page fills it.
    TmsMessage message;
    message.Sender().SetAddress("jane@example.org");
    message.Sender().SetName("Jane Q. Public");
    message.Recipients().Clear();
    message.Recipients().AddAddress("hostmaster@example.net", "");
    message.SetSubject("example.com Internic DOMAIN Registration");
    message.SetBody(lines);
    TmsSMTP smtp;
    smtp.SetWinsockLoaded(true);
    smtp.SetServer("127.0.0.1:" + QString::number(sink.Port()));
    smtp.SetMailMessage(&message);
    bool sent = false;
    smtp.OnMailSent = [&](QObject*) { sent = true; };
    smtp.Send();
    EXPECT_TRUE(sent);
    EXPECT_FALSE(smtp.Connected());

    ASSERT_TRUE(sink.WaitForCount(1));
    QByteArray expected = "From:     \"Jane Q. Public\" <jane@example.org>\r\n"
                          "To:        <hostmaster@example.net>\r\n"
                          "Subject:  example.com Internic DOMAIN Registration\r\n"
                          "Mime-Version: 1.0\r\n"
                          "Content-Type: text/plain; charset=\"us-ascii\"\r\n"
                          "Content-Transfer-Encoding: 7bit\r\n"
                          "\r\n";
    for (const QString& line : lines)
        expected += line.toUtf8() + "\r\n";
    expected += "\r\n"; // the empty line the client always sends before "."
    EXPECT_EQ(sink.Text(1), expected);
    EXPECT_EQ(sink.Envelope(1), "jane@example.org\nhostmaster@example.net\n");
}

TEST(RealServer, DotsAndLineEndsInsideBodyLinesArriveAsText) {
    SmtpSink sink;
    ASSERT_TRUE(sink.Started());
    TmsMessage message;
    message.Sender().SetAddress("me@example.org");
    message.Recipients().AddAddress("you@example.org");
    message.SetBody({".", "..two", "a\r\n.\r\nMAIL FROM:<x>", "last"});
    TmsSMTP smtp;
    smtp.SetServer("127.0.0.1:" + QString::number(sink.Port()));
    smtp.SetMailMessage(&message);
    smtp.Send();
    ASSERT_TRUE(sink.WaitForCount(1));
    const QByteArray text = sink.Text(1);
    EXPECT_TRUE(text.endsWith("\r\n\r\n.\r\n..two\r\na\r\n.\r\nMAIL FROM:<x>\r\nlast\r\n\r\n"))
        << text.constData();
    // One message, one transaction: nothing was smuggled in as a second one.
    WaitUntil([] { return false; }, 300);
    EXPECT_EQ(sink.Count(), 1);
}

TEST(RealServer, CompanionSendDeliversWhatMessagePrints) {
    SmtpSink sink;
    ASSERT_TRUE(sink.Started());
    ScopedWorkDir dir;
    WrittenDomainTemplate(dir);
    const QStringList common{"--from",
                             "jane@example.org",
                             "--name",
                             "Jane",
                             "--to",
                             "Host Master <hostmaster@example.net>",
                             "--cc",
                             "copy@example.net",
                             "--bcc",
                             "blind@example.net",
                             "--subject",
                             "example.com Internic DOMAIN Registration",
                             "domains/example.com.txt"};
    ProcessResult sent =
        RunCli(QStringList{"send", "--server", "127.0.0.1:" + QString::number(sink.Port()),
                           "--timeout", "20"} +
                   common,
               dir.path());
    EXPECT_EQ(sent.exitCode, 0) << sent.err.constData();
    EXPECT_EQ(sent.out, "Opening connection\nPreparing message\nSending message\n"
                        "Message has been sent\nClosing connection\nConnection closed\n");
    ASSERT_TRUE(sink.WaitForCount(1));
    QByteArray delivered = sink.Text(1);
    delivered.replace("\r\n", "\n");
    // `message` given the send's date and identifier prints exactly what was delivered.
    auto field = [&](const QByteArray& name) {
        const qsizetype at = delivered.indexOf("\n" + name + ": ") + name.size() + 3;
        return QString::fromUtf8(delivered.mid(at, delivered.indexOf('\n', at) - at));
    };
    QString id = field("Message-ID");
    id = id.mid(1, id.size() - 2);
    ProcessResult printed = RunCli(
        QStringList{"message", "--date", field("Date"), "--message-id", id} + common, dir.path());
    ASSERT_EQ(printed.exitCode, 0) << printed.err.constData();
    EXPECT_EQ(delivered, printed.out + "\n");
    EXPECT_EQ(sink.Envelope(1),
              "jane@example.org\nhostmaster@example.net\ncopy@example.net\nblind@example.net\n");
}
