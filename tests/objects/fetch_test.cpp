// Fetch against WHOIS servers on loopback that answer with real answers (RIPE's, APNIC's and an
// IRRd's): the query each server documents, the object picked from the answer with its key and
// every attribute; and the server that knows nothing, refuses, or never answers.
#include "objects/builtinrules.h"
#include "objects/objectcheck.h"
#include "objects/objecttesting.h"
#include "objects/whoisfetch.h"
#include "support/loopbackpeer.h"
#include "support/tempdir.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

namespace {
// The lines of the object that starts with `first` in a sample answer, up to the empty line.
QStringList ObjectLinesIn(const QString& answerFile, const QString& first) {
    const QStringList lines = RpslSampleText(answerFile).split('\n');
    const qsizetype start = lines.indexOf(first);
    QStringList object;
    for (qsizetype i = start; start >= 0 && i < lines.size() && !lines[i].isEmpty(); ++i)
        object << lines[i];
    return object;
}

QByteArray Answer(const QString& file) {
    return ReadAll(RpslSample(file));
}

struct Tables {
    std::shared_ptr<const RuleTable> ripe = BuiltinRules("ripe").Value();
    std::shared_ptr<const RuleTable> irrd = BuiltinRules("irrd").Value();
};

FetchRequest Request(const QString& registry, const QString& cls, const QString& key,
                     uint16_t port) {
    return MakeFetchRequest(RegistryNamed(registry).Value(), cls, key,
                            "127.0.0.1:" + QString::number(port), QString())
        .Value();
}
} // namespace

TEST(Fetch, TheCompanionPrintsTheObjectOfARipeAnswerAsItStands) {
    ScriptedPeer peer({ReadQuery(), Send(Answer("answers/ripe-mntner-AS760-MNT.txt"))});
    ScopedWorkDir dir;
    const ProcessResult run =
        RunObjectCommand({"fetch", "--registry", "ripe", "--server",
                          "127.0.0.1:" + QString::number(peer.port()), "mntner", "AS760-MNT"},
                         dir.path(), dir.file("regiscribe.ini"));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(PrintedLines(run),
              ObjectLinesIn("answers/ripe-mntner-AS760-MNT.txt", "mntner:         AS760-MNT"));
    EXPECT_EQ(peer.Queries(), QList<QByteArray>{"-r -B -G -T mntner AS760-MNT\r\n"});
}

TEST(Fetch, TheSettingsServerServesEveryRegistryAndTheAskedObjectIsPicked) {
    ScriptedPeer peer({ReadQuery(), Send(Answer("answers/apnic-mntner-MAINT-EXAMPLE-HK.txt"))});
    ScopedWorkDir dir;
    WriteAll(dir.file("regiscribe.ini"),
             "[Objects]\r\nWhoisServer=127.0.0.1:" + QByteArray::number(peer.port()) + "\r\n");
    const ProcessResult run = RunObjectCommand({"fetch", "--registry", "apnic", "role", "XL1-AP"},
                                               dir.path(), dir.file("regiscribe.ini"));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(PrintedLines(run), ObjectLinesIn("answers/apnic-mntner-MAINT-EXAMPLE-HK.txt",
                                               "role:           Example, Ltd. administrator"));
    EXPECT_EQ(peer.Queries(), QList<QByteArray>{"-r -B -G -T role XL1-AP\r\n"});
}

TEST(Fetch, AnIrrdAnswerFillsTheModelWithTheKeyAndEveryAttribute) {
    ScriptedPeer peer({ReadQuery(), Send(Answer("answers/irrd4-route-41.78.188.0_22AS37271.txt"))});
    Tables tables;
    const FetchRequest request = Request("radb", "route", "41.78.188.0/22AS37271", peer.port());
    const Result<RpslObject> fetched = FetchObject(request, *tables.irrd, CancelToken());
    ASSERT_TRUE(fetched) << fetched.Error().toStdString();
    EXPECT_EQ(peer.Queries(), QList<QByteArray>{"-r -T route 41.78.188.0/22AS37271\r\n"});
    EXPECT_EQ(ObjectKey(fetched.Value(), *tables.irrd), "41.78.188.0/22AS37271");
    const std::vector<std::pair<QString, QString>> expected{
        {"route", "41.78.188.0/22"},
        {"descr", "Workonline Communications (Pty) Ltd"},
        {"origin", "AS37271"},
        {"notify", "noc@workonline.co.za"},
        {"mnt-by", "MAINT-AS37271"},
        {"changed", "benmaddison@workonline.co.za 20101201  #15:59:08Z"},
        {"source", "RADB"},
        {"rpki-ov-state", "not_found # No ROAs found, or RPKI validation not enabled for source"}};
    ASSERT_EQ(fetched->attributes.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(fetched->attributes[i].name, expected[i].first);
        EXPECT_EQ(fetched->attributes[i].value, expected[i].second);
    }
}

TEST(Fetch, AnObjectTheServerLacksIsToldInItsWords) {
    ScriptedPeer peer({ReadQuery(), Send("% This is the RIPE Database query service.\n\n"
                                         "%ERROR:101: no entries found\n%\n% No entries found "
                                         "in source RIPE.\n\n")});
    ScopedWorkDir dir;
    const ProcessResult run =
        RunObjectCommand({"fetch", "--registry", "ripe", "--server",
                          "127.0.0.1:" + QString::number(peer.port()), "person", "XX1-RIPE"},
                         dir.path(), dir.file("regiscribe.ini"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(QString::fromUtf8(run.err),
              "The WHOIS server 127.0.0.1 port " + QString::number(peer.port()) +
                  " has no person XX1-RIPE (it says: %ERROR:101: no entries found).\n");
    EXPECT_TRUE(run.out.isEmpty());
}

TEST(Fetch, ARefusedOrSilentServerEndsTheFetchWithItsReason) {
    Tables tables;
    // A bound socket that never listens: every connection is refused.
    const int bound = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(bound, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    socklen_t size = sizeof address;
    ::getsockname(bound, reinterpret_cast<sockaddr*>(&address), &size);
    const uint16_t refusing = ntohs(address.sin_port);
    const Result<RpslObject> refused =
        FetchObject(Request("ripe", "person", "JD1-RIPE", refusing), *tables.ripe, CancelToken());
    ::close(bound);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.Error(), "Cannot connect to the WHOIS server 127.0.0.1 port " +
                                   QString::number(refusing) + ": Connection refused.");

    // A listener that never accepts: connected, the query taken, no answer ever.
    uint16_t port = 0;
    const int silent = ListenOnLoopback(1, port);
    FetchRequest request = Request("ripe", "person", "JD1-RIPE", port);
    request.timeoutMs = 400;
    QElapsedTimer timer;
    timer.start();
    const Result<RpslObject> timedOut = FetchObject(request, *tables.ripe, CancelToken());
    EXPECT_LT(timer.elapsed(), 3000);
    ASSERT_FALSE(timedOut);
    EXPECT_EQ(timedOut.Error(), "The WHOIS server 127.0.0.1 port " + QString::number(port) +
                                    " did not finish its answer in time.");

    // Cancelled, the wait ends at once.
    request.timeoutMs = 60000;
    CancelToken cancel;
    std::thread canceller([cancel] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        cancel.Cancel();
    });
    timer.restart();
    const Result<RpslObject> cancelled = FetchObject(request, *tables.ripe, cancel);
    canceller.join();
    EXPECT_LT(timer.elapsed(), 3000);
    ASSERT_FALSE(cancelled);
    EXPECT_EQ(cancelled.Error(), "Fetch cancelled.");
    ::close(silent);
}
