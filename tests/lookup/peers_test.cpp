// The look-ups against real peers: Debian's efingerd on loopback, and Debian's whois client beside
// regiscribe-cli on the same local WHOIS server.
#include "lookup/fingerlookup.h"
#include "lookup/lcipport.h"
#include "platform/wait.h"
#include "support/childprocess.h"
#include "support/loopbackpeer.h"
#include "support/process.h"
#include "support/refusingport.h"
#include "support/sanitized.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {
// efingerd is an inetd service: it answers on its standard input and output. This runner accepts
// connections on a free loopback port and hands each one to a fresh efingerd, with time limits on
// everything.
const char* kEfingerdRunner = R"(
import socket, subprocess, sys
listener = socket.socket()
listener.bind(("127.0.0.1", 0))
listener.listen(4)
listener.settimeout(20)
print(listener.getsockname()[1], flush=True)
for _ in range(int(sys.argv[1])):
    peer, _ = listener.accept()
    subprocess.run(["/usr/sbin/efingerd", "-n", "-t", "5"], stdin=peer, stdout=peer,
                   stderr=subprocess.DEVNULL, timeout=10)
    peer.close()
)";

class EfingerdPeer {
public:
    explicit EfingerdPeer(int connections) {
        if (runner_.Start("/usr/bin/python3",
                          {"-c", kEfingerdRunner, QString::number(connections)}) &&
            runner_.WaitForOutput("\n", 10000))
            port_ = uint16_t(runner_.Output().trimmed().toUInt());
    }
    ~EfingerdPeer() {
        runner_.Kill();
        runner_.WaitForFinished(5000);
    }
    uint16_t port() const { return port_; }

private:
    ChildProcess runner_;
    uint16_t port_ = 0;
};

struct ListView : LookupView {
    QString query;
    QStringList lines;
    QString QueryText() const override { return query; }
    void SetQueryText(const QString& text) override { query = text; }
    void ClearResponse() override { lines.clear(); }
    void AddResponse(const QString& line) override { lines << line; }
};

} // namespace

TEST(RealPeers, EfingerdIsFingeredForAUserAndForTheHost) {
    ASSERT_TRUE(QFileInfo::exists("/usr/sbin/efingerd")) << "efingerd is not installed";
    EfingerdPeer peer(2);
    ASSERT_NE(peer.port(), 0);
    TlcIPPort port;
    ListView view;
    FingerLookup lookup(port, view);
    lookup.Port = peer.port();
    const QStringList head = {"Requesting 127.0.0.1...",
                              "Connecting to 127.0.0.1...   Will time out in 15 seconds"};

    view.query = "root@127.0.0.1";
    ASSERT_EQ(lookup.LookUp(), LookupOutcome::QuerySent);
    ASSERT_TRUE(WaitUntil([&] { return !port.Connected(); }, 15000));
    ASSERT_GT(view.lines.size(), 2);
    EXPECT_EQ(view.lines.mid(0, 2), head);
    // efingerd names the user it was asked about first.
    EXPECT_EQ(view.lines[2], "root");
    const qsizetype userAnswer = view.lines.size();

    // The host alone asks for the list of users: the answer does not start with a user's name.
    view.query = "127.0.0.1";
    ASSERT_EQ(lookup.LookUp(), LookupOutcome::QuerySent);
    ASSERT_TRUE(WaitUntil([&] { return !port.Connected(); }, 15000));
    ASSERT_GT(view.lines.size(), userAnswer + 2);
    EXPECT_EQ(view.lines.mid(userAnswer, 2), head);
    EXPECT_NE(view.lines[userAnswer + 2], "root");
}

TEST(RealPeers, DebiansWhoisClientAndOursPrintTheSameAnswer) {
    const QByteArray answer = "Domain Name: EXAMPLE.COM\r\n   Registrar: Example Registrar\r\n\r\n"
                              ">>> Last update of whois database <<<\nclosing line without LF";
    ScriptedPeer server({ReadQuery(), Send(answer)}, 2);
    const QString port = QString::number(server.port());
    ProcessResult theirs =
        RunProgram("/usr/bin/whois", {"-h", "127.0.0.1", "-p", port, "example.com"});
    ProcessResult ours = RunCli({"whois", "example.com", "--server", "127.0.0.1:" + port});
    ASSERT_EQ(theirs.exitCode, 0) << theirs.err.toStdString();
    ASSERT_EQ(ours.exitCode, 0) << ours.err.toStdString();
    EXPECT_EQ(server.Queries(), (QList<QByteArray>{"example.com\r\n", "example.com\r\n"}));
    QStringList ourLines = OutputLines(ours.out);
    ASSERT_GE(ourLines.size(), 2);
    EXPECT_EQ(ourLines.mid(0, 2), (QStringList{"Connected. Waiting for data...", ""}));
    EXPECT_EQ(ourLines.mid(2), OutputLines(theirs.out));
    EXPECT_EQ(ourLines.size(), 7);
    EXPECT_TRUE(ours.err.isEmpty());
}

TEST(LookupCommands, FingerPrintsWhatTheListShows) {
    ScriptedPeer server({ReadQuery(), Send("Login: alice\r\nPlan: none")});
    ProcessResult r =
        RunCli({"finger", "alice@127.0.0.1", "--port", QString::number(server.port())});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "Requesting 127.0.0.1...\n"
                     "Connecting to 127.0.0.1...   Will time out in 15 seconds\n"
                     "Login: alice\nPlan: none\n");
    EXPECT_EQ(server.Queries(), QList<QByteArray>{"alice\r\n"});
}

TEST(LookupCommands, FailuresExitWithStatusOne) {
    ProcessResult r = RunCli({"whois", "example.com", "--server", "no-such-host.invalid"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "Looking up host no-such-host.invalid...\n"
                     "Exception: 11001: [11001] Host not found.\n");
    EXPECT_EQ(r.err, "11001: [11001] Host not found.\n");

    r = RunCli({"finger", "user@"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.endsWith("Exception: 102: The RemoteHost address is invalid (0.0.0.0).\n"));
}

TEST(LookupCommands, UsageErrorsExitWithStatusTwo) {
    for (const QStringList& args :
         {QStringList{"whois"}, QStringList{"whois", "a", "b"}, QStringList{"whois", ""},
          QStringList{"whois", "a", "--server", "host:0"},
          QStringList{"whois", "a", "--server", "host:99999"},
          QStringList{"finger", "host", "--port", "x"}, QStringList{"finger", "a", "--bogus"}}) {
        ProcessResult r = RunCli(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
}

TEST(LookupCommands, AnswersReachTheTerminalFilteredAndWithRawAsTheyCame) {
    // Every class of character that could steer a terminal or make text read as other text: an
    // escape sequence, a bell, a lone CR, DEL, C1's next-line, a line separator, a right-to-left
    // override, a zero-width joiner; and bytes that are no UTF-8.
    const QByteArray answer = "Name: M\xFCller\r\nName: M\xC3\xBCller\nTab\there\r\n"
                              "\x1B[2J\x1B]0;title\x07Registrar: real\rforged\x7F\r\n"
                              "next\xC2\x85line\xE2\x80\xA8sep \xE2\x80\xAE"
                              "evil\xE2\x80\x8Djoin\n";
    ScriptedPeer server({ReadQuery(), Send(answer)}, 2);
    const QString at = "127.0.0.1:" + QString::number(server.port());
    ProcessResult r = RunCli({"whois", "example.com", "--server", at});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QByteArray("Connected. Waiting for data...\n\n"
                                "Name: M\\xFCller\n"
                                "Name: M\xC3\xBCller\n"
                                "Tab\there\n"
                                "\\x1B[2J\\x1B]0;title\\x07Registrar: real\\x0Dforged\\x7F\n"
                                "next\\u{0085}line\\u{2028}sep \\u{202E}evil\\u{200D}join\n"));

    r = RunCli({"whois", "example.com", "--server", at, "--raw"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "Connected. Waiting for data...\n\nName: M\xFCller\nName: M\xC3\xBCller\n"
                     "Tab\there\n\x1B[2J\x1B]0;title\x07Registrar: real\rforged\x7F\n"
                     "next\xC2\x85line\xE2\x80\xA8sep \xE2\x80\xAE"
                     "evil\xE2\x80\x8Djoin\n");
}

TEST(LookupCommands, AResetWhileTheAnswerArrivesIsAFailure) {
    ScriptedPeer server({ReadQuery(), Send("first line\n"), Pause(200), ResetConnection()});
    ProcessResult r =
        RunCli({"whois", "example.com", "--server", "127.0.0.1:" + QString::number(server.port())});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "Connected. Waiting for data...\n\nfirst line\n");
    EXPECT_EQ(r.err, "IPPort error: 10054Winsock error in recv() \n");

    // Reset before any answer: told once, with its code, and not again as a close.
    for (const QString command : {"whois", "finger"}) {
        ScriptedPeer resetting({ReadQuery(), ResetConnection()});
        const QString port = QString::number(resetting.port());
        r = RunCli(command == "whois"
                       ? QStringList{"whois", "example.com", "--server", "127.0.0.1:" + port}
                       : QStringList{"finger", "127.0.0.1", "--port", port});
        EXPECT_EQ(r.exitCode, 1) << command.toStdString();
        EXPECT_EQ(r.err, "IPPort error: 10054Winsock error in recv() \n") << command.toStdString();
        EXPECT_FALSE(r.out.contains(ClosedWithoutAnswer)) << r.out.toStdString();
    }
}

TEST(LookupCommands, ARefusedConnectionIsToldOnceWithItsCodeAndEndsAtOnce) {
    RefusingPort refusing;
    const QString port = QString::number(refusing.port());
    const QByteArray told = "Connection failed: [10061] Connection refused.\n";
    struct Case {
        QStringList args;
        QByteArray out;
    };
    for (const Case& c :
         {Case{{"whois", "example.com", "--server", "127.0.0.1:" + port}, ""}, // the tab clears
          Case{{"finger", "127.0.0.1", "--port", port},
               "Requesting 127.0.0.1...\n"
               "Connecting to 127.0.0.1...   Will time out in 15 seconds\n"}}) {
        QElapsedTimer clock;
        clock.start();
        ProcessResult r = RunCli(c.args);
        EXPECT_LT(clock.elapsed(), 5000); // long before the 15-second wait is over
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, told) << c.args[0].toStdString();
        EXPECT_EQ(r.out, c.out) << c.args[0].toStdString();
    }
}

TEST(WhoisReferrals, TheRegistrarsServerIsAskedTheSameTextAfterTheRegistry) {
    auto registrarSocket = ScriptedPeer::Listener::OnWhoisPort();
    ASSERT_GE(registrarSocket.fd, 0) << "no loopback address with a free port 43";
    const QString registrar = registrarSocket.host;
    ScriptedPeer registry({ReadQuery(), Send("Domain Name: EXAMPLE.COM\r\n   Registrar WHOIS "
                                             "Server: " +
                                             registrar.toUtf8() + "\r\nDNSSEC: unsigned\r\n")},
                          2);
    ScriptedPeer registrarServer(registrarSocket,
                                 {ReadQuery(), Send("Registrant Name: Jane Roe\r\n")});
    const QString server = "127.0.0.1:" + QString::number(registry.port());

    ProcessResult r = RunCli({"whois", "example.com", "--server", server, "--follow"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(
        OutputLines(r.out),
        (QStringList{"Connected. Waiting for data...", "", "Domain Name: EXAMPLE.COM",
                     "   Registrar WHOIS Server: " + registrar, "DNSSEC: unsigned", "",
                     "Following referral to " + registrar + " ...", "Registrant Name: Jane Roe"}));
    EXPECT_EQ(registrarServer.Queries(), QList<QByteArray>{"example.com\r\n"});

    // Without --follow the described look-up stands alone, byte for byte.
    r = RunCli({"whois", "example.com", "--server", server});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "Connected. Waiting for data...\n\nDomain Name: EXAMPLE.COM\n"
                     "   Registrar WHOIS Server: " +
                         registrar.toUtf8() + "\nDNSSEC: unsigned\n");
}

TEST(WhoisReferrals, ALoopStopsAtAServerAlreadyAskedAndAFailureIsALine) {
    auto a = ScriptedPeer::Listener::OnWhoisPort(), b = ScriptedPeer::Listener::OnWhoisPort();
    ASSERT_GE(a.fd, 0);
    ASSERT_GE(b.fd, 0);
    const QString aHost = a.host;
    ScriptedPeer first(a, {ReadQuery(), Send("ReferralServer: whois://" + b.host.toUtf8() + "\n")});
    ScriptedPeer second(b, {ReadQuery(), Send("refer: " + aHost.toUtf8() + "\n")});
    ProcessResult r = RunCli({"whois", "example.com", "--server", aHost, "--follow"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(r.out).count("Following referral"), 1);

    // A referral to a server that refuses: the line says so, and what was shown stays.
    RefusingPort refusing(BindWhoisPort());
    const QByteArray host = refusing.host().toUtf8();
    ScriptedPeer third({ReadQuery(), Send("Whois Server: " + host + "\n")});
    r = RunCli({"whois", "example.com", "--server", "127.0.0.1:" + QString::number(third.port()),
                "--follow"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.endsWith("Whois Server: " + host + "\n\nFollowing referral to " + host +
                               " ...\nReferral failed: [10061] Connection refused.\n"))
        << r.out.toStdString();
}

TEST(WhoisReferrals, OnlyPort43IsAskedAndAValueEndedByCarriageReturnsNamesNoServer) {
    // A referral to another service's port (mail, say) is told and never connected to.
    ScriptedPeer elsewhere({ReadQuery(), Send("220 mail\r\n")});
    const QByteArray at = "127.0.0.1:" + QByteArray::number(elsewhere.port());
    ScriptedPeer registry(
        {ReadQuery(), Send("Domain Name: EXAMPLE.COM\r\nRegistrar WHOIS Server: " + at + "\r\n")});
    ProcessResult r = RunCli({"whois", "example.com", "--server",
                              "127.0.0.1:" + QString::number(registry.port()), "--follow"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.endsWith("Registrar WHOIS Server: " + at + "\n\nReferral to " + at +
                               " not followed: not a WHOIS port.\n"))
        << r.out.toStdString();
    EXPECT_TRUE(elsewhere.Queries().isEmpty());

    // A real answer's "Registrar WHOIS Server: " ended by CR CR LF names no host at all.
    ScriptedPeer aero({ReadQuery(), Send("Domain Name: EXAMPLE.AERO\r\n"
                                         "Registrar WHOIS Server: \r\r\n"
                                         "Registrar URL: https://registrar.example\r\n")});
    r = RunCli({"whois", "example.aero", "--server", "127.0.0.1:" + QString::number(aero.port()),
                "--follow"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    EXPECT_EQ(OutputLines(r.out).last(), "Registrar URL: https://registrar.example");
    EXPECT_FALSE(r.out.contains("referral"));
}

TEST(WhoisReferrals, FollowingA188MegabyteAnswerKeepsMemoryFlat) {
    auto registrarSocket = ScriptedPeer::Listener::OnWhoisPort();
    ASSERT_GE(registrarSocket.fd, 0);
    const QByteArray registrar = registrarSocket.host.toUtf8();
    // 2 million lines of 94 bytes, the referral last. A sanitized build measures no memory and
    // takes ten times as long: a tenth of the answer shows the referral followed there.
    const QByteArray line = "Remarks: " + QByteArray(83, 'x') + "\r\n";
    ScriptedPeer registry({ReadQuery(), SendRepeated(line, SanitizedBuild ? 200'000 : 2'000'000),
                           Send("Registrar WHOIS Server: " + registrar + "\r\n")});
    ScriptedPeer registrarServer(registrarSocket, {ReadQuery(), Send("Registrant: Jane Roe\r\n")});
    ChildProcess cli;
    cli.SetOutput(ChildProcess::Channel::Null);
    ASSERT_TRUE(
        cli.Start("/usr/bin/time", {"-v", REGISCRIBE_CLI, "whois", "example.com", "--server",
                                    "127.0.0.1:" + QString::number(registry.port()), "--follow"}))
        << cli.Problem().toStdString();
    cli.CloseInput();
    ASSERT_TRUE(cli.WaitForFinished(120000));
    EXPECT_EQ(cli.ExitCode(), 0);
    const QString report = QString::fromUtf8(cli.TakeError());
    const qsizetype at = report.indexOf("Maximum resident set size (kbytes): ");
    ASSERT_GE(at, 0) << report.toStdString();
    const int peakKb = report.mid(at + 36).section('\n', 0, 0).toInt();
    std::printf("whois --follow of 188 MB: peak %d KiB\n", peakKb);
    if (!SanitizedBuild) {
        EXPECT_LT(peakKb, 30 * 1024);
    }
    EXPECT_EQ(registrarServer.Queries(), QList<QByteArray>{"example.com\r\n"});
}

TEST(WhoisInternationalNames, ANameWithNonAsciiLettersIsSentAsItsALabel) {
    ScriptedPeer server({ReadQuery(), Send("ok\n")}, 2);
    const QString at = "127.0.0.1:" + QString::number(server.port());
    EXPECT_EQ(RunCli({"whois", "b\u00fccher.example", "--server", at}).exitCode, 0);
    EXPECT_EQ(RunCli({"whois", "Example.COM", "--server", at}).exitCode, 0);
    EXPECT_EQ(server.Queries(),
              (QList<QByteArray>{"xn--bcher-kva.example\r\n", "Example.COM\r\n"}));
}
