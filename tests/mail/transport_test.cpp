// The socket transport on its own: reply reading, port finding, streaming progress, cancel and
// the calls that need a connection.
#include "mail/agsocket.h"
#include "support/failure.h"
#include "support/scriptedserver.h"

#include <QBuffer>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
// The smallest protocol on the transport: connect, no greeting, no farewell.
class RawClient : public TmsMailBase {
public:
    RawClient() {
        SetServiceName("smtp");
        SetDefaultPort(25);
        SetTimeOut(10);
    }
    void StartSession() override { ConnectSocket(); }
    void EndSession() override {}
};

class Transport : public ::testing::Test {
protected:
    Transport() {
        client.OnClosing = [this](QObject*) { events << "Closing"; };
        client.OnClosed = [this](QObject*) { events << "Closed"; };
        client.OnCancel = [this](QObject*) { events << "Cancel"; };
        client.OnError = [this](QObject*, QString& msg) { events << "Error " + msg; };
        client.OnProgress = [this](QObject*, int perc, int transferred) {
            events << QString("%1 %2").arg(perc).arg(transferred);
        };
    }
    ~Transport() override { client.Close(); }

    void ConnectTo(const ScriptedServer& server) {
        client.SetServer("127.0.0.1:" + QString::number(server.Port()));
        client.Reset();
        client.Connect();
    }

    RawClient client;
    QStringList events;
};
} // namespace

TEST_F(Transport, ReplyCodeIsTheFirstThreeDigits) {
    EXPECT_EQ(client.ReplyCode("220 ready"), 220);
    EXPECT_EQ(client.ReplyCode("250"), 250);
    EXPECT_EQ(client.ReplyCode("25"), -1);
    EXPECT_EQ(client.ReplyCode("x50 no"), -1);
    EXPECT_EQ(client.ReplyCode(""), -1);
}

TEST_F(Transport, LinesArriveWithoutTheirLineEndsAndLeaveTheNextLineWaiting) {
    ScriptedServer server({}, ServerReply::RawAndClose("220 hello there\r\nno code here\r\n" +
                                                       QByteArray(300, 'x') +
                                                       "\r\n250 after long\r\n"));
    ConnectTo(server);
    QString line;
    EXPECT_EQ(client.ReadLine(line), 220);
    EXPECT_EQ(line, "220 hello there");
    EXPECT_EQ(client.ReadLine(line), -1);
    EXPECT_EQ(line, "no code here");
    EXPECT_EQ(client.ReadLine(line), -1);
    EXPECT_EQ(line, QString(255, 'x')); // cut, and the rest of that line dropped
    EXPECT_EQ(client.ReadLine(line), 250);
    EXPECT_EQ(line, "250 after long");
}

TEST_F(Transport, AMegabyteLineIsCutAndPassedOverWithinTheTimeOut) {
    // The rest of an over-long line is read a block at a time, not a byte per call: a 1 MB reply
    // line costs milliseconds, not the whole time-out.
    client.SetTimeOut(1);
    ScriptedServer server({}, ServerReply::RawAndClose("220 " + QByteArray(1 << 20, 'x') +
                                                       "\r\n250 next\r\n251 last"));
    ConnectTo(server);
    QString line;
    EXPECT_EQ(client.ReadLine(line), 220);
    EXPECT_EQ(line, "220 " + QString(251, 'x'));
    EXPECT_EQ(client.ReadLine(line), 250);
    EXPECT_EQ(line, "250 next");
    EXPECT_EQ(client.ReadLine(line), -1); // the peer closed in the middle of the last line
    EXPECT_TRUE(line.isEmpty());
}

TEST_F(Transport, PeerClosingInTheMiddleOfALineGivesNoLine) {
    ScriptedServer server({}, ServerReply::RawAndClose("220 partial"));
    ConnectTo(server);
    QString line = "stale";
    EXPECT_EQ(client.ReadLine(line), -1);
    EXPECT_TRUE(line.isEmpty());
}

TEST_F(Transport, MultiLineRepliesAreReadWhole) {
    ScriptedServer server({}, ServerReply::RawAndClose("250-first\r\n250-second\r\n250 third\r\n"
                                                       "220-a\r\n221-other code\r\n221 still\r\n"
                                                       "220 end\r\n"));
    ConnectTo(server);
    EXPECT_EQ(client.ReadReply(), 250);
    EXPECT_EQ(client.LastReply(), "250 third");
    EXPECT_EQ(client.ReadReply(), 220);
    EXPECT_EQ(client.LastReply(), "220 end");
}

TEST_F(Transport, StreamingReportsRoundedPercentagesAndEndsWithZero) {
    ScriptedServer server({}, ServerReply::Nothing());
    ConnectTo(server);
    QByteArray body(5000, 'b');
    QBuffer buffer(&body);
    buffer.open(QIODevice::ReadOnly);
    client.SendStream(buffer);
    EXPECT_EQ(events, (QStringList{"41 2047", "82 4094", "100 5000", "0 0"}));
    // Every byte arrived, in order.
    for (int i = 0; i < 100 && server.Raw().size() < 5000; ++i)
        QThread::msleep(20);
    EXPECT_EQ(server.Raw(), body);
}

TEST_F(Transport, LargeStreamsGoOutWholeThroughAFullSendBuffer) {
    ScriptedServer server({}, ServerReply::Nothing());
    ConnectTo(server);
    QByteArray body;
    for (int i = 0; i < 200000; ++i)
        body += QByteArray::number(i) + ' ';
    QBuffer buffer(&body);
    buffer.open(QIODevice::ReadOnly);
    client.SendStream(buffer);
    EXPECT_EQ(events.back(), "0 0");
    EXPECT_EQ(events[events.size() - 2], QString("100 %1").arg(body.size()));
    for (int i = 0; i < 250 && server.Raw().size() < body.size(); ++i)
        QThread::msleep(20);
    EXPECT_EQ(server.Raw(), body);
}

TEST_F(Transport, PortComesFromTheServerTextOrTheServiceOrTheDefault) {
    auto portFor = [this](const QString& server) {
        client.SetServer(server);
        client.Reset();
        client.Open();
        client.Close();
        return client.Port();
    };
    EXPECT_EQ(portFor("127.0.0.1:2525"), 2525);
    EXPECT_EQ(portFor("127.0.0.1:65537"), 1); // the low 16 bits
    EXPECT_EQ(portFor("127.0.0.1:abc"), 25);  // the "smtp" service
    EXPECT_EQ(portFor("127.0.0.1:0"), 25);
    client.SetServiceName("no-such-service-here");
    client.SetDefaultPort(2600);
    EXPECT_EQ(portFor("127.0.0.1"), 2600);
    client.SetServiceName(QString(64, 's'));
    EXPECT_EQ(portFor("127.0.0.1"), 2600);
    client.SetServiceName("");
    EXPECT_EQ(FailureOf([&] { portFor("127.0.0.1"); }), "Service name is required");
    EXPECT_EQ(client.RemoteAddress(), 0x7F000001u);
}

TEST_F(Transport, LineCallsNeedAConnection) {
    QString line;
    EXPECT_EQ(FailureOf([&] { client.SendLine("NOOP"); }),
              "You have to connect to the server first");
    EXPECT_EQ(FailureOf([&] { client.ReadLine(line); }), "You have to connect to the server first");
    EXPECT_EQ(FailureOf([&] { client.ReadReply(); }), "You have to connect to the server first");
}

TEST_F(Transport, CancelEndsTheWaitingCallAndClosesTheSocket) {
    ScriptedServer server({}, ServerReply::Nothing());
    ConnectTo(server);
    QTimer::singleShot(200, [this] { client.Cancel(); });
    QString line;
    EXPECT_EQ(FailureOf([&] { client.ReadLine(line); }), "Operation has been canceled");
    EXPECT_EQ(events,
              (QStringList{"Cancel", "Closing", "Closed", "Error Operation has been canceled"}));
    EXPECT_FALSE(client.Connected());
    EXPECT_TRUE(client.Canceled());
    // The next connection begins clean.
    ConnectTo(server);
    EXPECT_FALSE(client.Canceled());
    EXPECT_TRUE(client.Connected());
}

TEST_F(Transport, ErrorTextsUseTheTransportsTables) {
    EXPECT_EQ(FailureOf([&] { client.RaiseSocketError(10061); }), "[10061] Connection refused");
    EXPECT_EQ(FailureOf([&] { client.RaiseSocketError(10013); }), "[10013] Permission denied.");
    EXPECT_EQ(FailureOf([&] { client.RaiseSocketError(11004); }),
              "[11004] Valid name, no data record of requested type");
    EXPECT_EQ(FailureOf([&] { client.RaiseSocketError(10000); }), "[0] No Error");
    EXPECT_EQ(FailureOf([&] { client.RaiseSocketError(57003); }), "Invalid Winsock version");
    EXPECT_EQ(FailureOf([&] { client.RaiseSocketError(12345); }), "Error #12345");
    EXPECT_EQ(FailureOf([&] { client.RaiseSocketError(0); }), "(no error)");
}
