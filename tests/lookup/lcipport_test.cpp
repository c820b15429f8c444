#include "lookup/lcerrors.h"
#include "lookup/lcipport.h"
#include "platform/wait.h"
#include "support/loopbackpeer.h"
#include "support/refusingport.h"

#include <QString>
#include <chrono>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

namespace {
struct Piece {
    QByteArray text;
    bool eol;
    bool operator==(const Piece&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Piece& p) {
    return os << '"' << p.text.toStdString() << "\" " << (p.eol ? "EOL" : "piece");
}

// A port on a loopback server that records everything it is told.
struct RecordingPort {
    TlcIPPort port;
    std::vector<Piece> pieces;
    std::vector<int> connected;
    std::vector<QString> connectTexts;
    std::vector<int> disconnected;
    std::vector<int> errors;
    int readyToSend = 0;

    explicit RecordingPort(uint16_t remotePort, const QByteArray& eol = "\n") {
        port.SetWinsockLoaded(true);
        port.SetEOL(eol);
        port.SetRemoteHost("127.0.0.1");
        port.SetRemotePort(remotePort);
        port.OnDataIn = [this](QObject* sender, QByteArrayView text, bool eol) {
            EXPECT_EQ(sender, &port);
            pieces.push_back({text.toByteArray(), eol});
        };
        port.OnConnected = [this](QObject*, int code, const QString& text) {
            connected.push_back(code);
            connectTexts.push_back(text);
        };
        port.OnDisconnected = [this](QObject*, int code, const QString&) {
            disconnected.push_back(code);
        };
        port.OnError = [this](QObject*, int code, const QString&) { errors.push_back(code); };
        port.OnReadyToSend = [this](QObject*) { ++readyToSend; };
    }
    // Connects and waits for the end of the connection.
    void RunToEnd() {
        port.SetConnected(true);
        ASSERT_TRUE(WaitUntil([this] { return !disconnected.empty(); }, 10000));
    }
};

template <class F> ElcIPPort RaisedBy(F f) {
    try {
        f();
    } catch (const ElcIPPort& e) {
        return e;
    }
    ADD_FAILURE() << "nothing was raised";
    return ElcIPPort(-1, "none");
}
} // namespace

TEST(LineClientErrorTexts, FollowTheClientsOwnTable) {
    EXPECT_EQ(LcErrorText(0), "Ok");
    EXPECT_EQ(LcErrorText(10061), "[10061] Connection refused.");
    EXPECT_EQ(LcErrorText(10066), "[10066] Directory not empt.");
    EXPECT_EQ(LcErrorText(10004), "[10004] Interrupted system call.");
    EXPECT_EQ(LcErrorText(11004), "[11004] Valid name, no data record (check DNS setup).");
    EXPECT_EQ(LcErrorText(10090), "[10090] (no description available).");
    EXPECT_EQ(LcErrorText(104), "[104] (no description available).");
    EXPECT_EQ(ElcIPPort(10061, LcErrorText(10061)).Message(), "10061: [10061] Connection refused.");
}

TEST(LineClient, LfLinesAreDeliveredAtTheirTerminatorAndTheRestAtClose) {
    ScriptedPeer server({Send("abc\nde"), Pause(300)});
    RecordingPort r(server.port());
    r.port.SetConnected(true);
    ASSERT_TRUE(WaitUntil([&] { return !r.pieces.empty(); }, 5000));
    // The two letters wait for their terminator.
    WaitUntil([] { return false; }, 100);
    EXPECT_EQ(r.pieces, (std::vector<Piece>{{"abc", true}}));
    ASSERT_TRUE(WaitUntil([&] { return !r.disconnected.empty(); }, 5000));
    EXPECT_EQ(r.pieces, (std::vector<Piece>{{"abc", true}, {"de", false}}));
    EXPECT_EQ(r.connected, std::vector<int>{0});
    EXPECT_EQ(r.connectTexts, std::vector<QString>{"OK"});
    EXPECT_EQ(r.disconnected, std::vector<int>{0});
    EXPECT_FALSE(r.port.Connected());
    EXPECT_GE(r.readyToSend, 1);
}

TEST(LineClient, AResetIsAnErrorAndEndsTheConnectionWithItsCode) {
    // The reset comes while the client waits for more, and right behind the data.
    for (int pauseMs : {300, 0}) {
        SCOPED_TRACE(pauseMs);
        ScriptedPeer server({Send("abc\n"), Pause(pauseMs), ResetConnection()});
        RecordingPort r(server.port());
        r.RunToEnd();
        EXPECT_EQ(r.errors, std::vector<int>{10054});
        EXPECT_EQ(r.disconnected, std::vector<int>{10054});
        EXPECT_FALSE(r.port.Connected());
    }
}

TEST(LineClient, AResetBeforeTheConnectionIsSeenComesAfterTheDataItFollows) {
    // The peer answers and resets before the client has looked at its connection at all.
    ScriptedPeer server({Send("abc\n"), ResetConnection()});
    RecordingPort r(server.port());
    r.port.SetConnected(true);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_TRUE(WaitUntil([&r] { return !r.disconnected.empty(); }, 10000));
    EXPECT_EQ(r.connected, std::vector<int>{0});
    EXPECT_EQ(r.pieces, (std::vector<Piece>{{"abc", true}}));
    EXPECT_EQ(r.errors, std::vector<int>{10054});
    EXPECT_EQ(r.disconnected, std::vector<int>{10054});
}

TEST(LineClient, ALineSplitAcrossReceivesIsJoined) {
    ScriptedPeer server({Send("abc\nde"), Pause(200), Send("f\ng\n")});
    RecordingPort r(server.port());
    r.RunToEnd();
    EXPECT_EQ(r.pieces, (std::vector<Piece>{{"abc", true}, {"def", true}, {"g", true}}));
}

TEST(LineClient, TerminatorsAreComparedExactly) {
    {
        ScriptedPeer server({Send("one\r\ntwo\nthree\r\n")});
        RecordingPort r(server.port(), "\r\n");
        r.RunToEnd();
        EXPECT_EQ(r.pieces, (std::vector<Piece>{{"one", true}, {"two\nthree", true}}));
    }
    {
        ScriptedPeer server({Send("one\r\ntwo\n")});
        RecordingPort r(server.port(), "\n");
        r.RunToEnd();
        EXPECT_EQ(r.pieces, (std::vector<Piece>{{"one\r", true}, {"two", true}}));
    }
    {
        // Without a terminator everything received is handed out as it comes.
        ScriptedPeer server({Send("a\nb")});
        RecordingPort r(server.port(), "");
        r.RunToEnd();
        ASSERT_FALSE(r.pieces.empty());
        QByteArray all;
        for (const Piece& p : r.pieces) {
            EXPECT_TRUE(p.eol);
            all += p.text;
        }
        EXPECT_EQ(all, "a\nb");
    }
}

TEST(LineClient, DataWithoutTerminatorComesInFullBufferPieces) {
    QByteArray data(5000, 'x');
    for (int i = 0; i < data.size(); ++i)
        data[i] = char('a' + i % 26);
    ScriptedPeer server({Send(data)});
    RecordingPort r(server.port());
    r.RunToEnd();
    ASSERT_EQ(r.pieces.size(), 3u);
    EXPECT_EQ(r.pieces[0], (Piece{data.left(2048), false}));
    EXPECT_EQ(r.pieces[1], (Piece{data.mid(2048, 2048), false}));
    EXPECT_EQ(r.pieces[2], (Piece{data.mid(4096), false}));

    // Received in one go with the lines after it: the long line still comes in pieces of the
    // line limit, a line that fits it (terminator included) whole.
    const QByteArray fits(2047, 'y');
    ScriptedPeer more({Send(data + "\n" + fits + "\nshort\n" + fits + "z\n")});
    RecordingPort m(more.port());
    m.RunToEnd();
    EXPECT_EQ(m.pieces, (std::vector<Piece>{{data.left(2048), false},
                                            {data.mid(2048, 2048), false},
                                            {data.mid(4096), true},
                                            {fits, true},
                                            {"short", true},
                                            {fits + "z", false},
                                            {"", true}}));
}

TEST(LineClient, ChangingTheTerminatorSplitsBufferedDataAgain) {
    ScriptedPeer server({Send("a;b;c"), Pause(800)});
    RecordingPort r(server.port());
    r.port.SetConnected(true);
    ASSERT_TRUE(WaitUntil([&] { return r.port.Connected(); }, 5000));
    WaitUntil([] { return false; }, 200);
    EXPECT_TRUE(r.pieces.empty());
    r.port.SetEOL(";");
    ASSERT_TRUE(WaitUntil([&] { return r.pieces.size() == 2; }, 5000));
    EXPECT_EQ(r.pieces, (std::vector<Piece>{{"a", true}, {"b", true}}));
    ASSERT_TRUE(WaitUntil([&] { return !r.disconnected.empty(); }, 5000));
    EXPECT_EQ(r.pieces.back(), (Piece{"c", false}));
}

TEST(LineClient, DisconnectFromOnDataInStillDeliversTheBufferedLines) {
    ScriptedPeer server({Send("a\nb\nc\nrest"), Pause(600), Send("late\n")});
    RecordingPort r(server.port());
    r.port.OnDataIn = [&](QObject*, QByteArrayView text, bool eol) {
        r.pieces.push_back({text.toByteArray(), eol});
        if (r.pieces.size() == 1) {
            r.port.SetConnected(false);
            // Not carried out yet: the buffer is delivered first.
            EXPECT_TRUE(r.port.Connected());
        }
    };
    r.port.SetConnected(true);
    ASSERT_TRUE(WaitUntil([&] { return !r.disconnected.empty(); }, 5000));
    EXPECT_EQ(r.pieces,
              (std::vector<Piece>{{"a", true}, {"b", true}, {"c", true}, {"rest", false}}));
    EXPECT_EQ(r.disconnected, std::vector<int>{0});
    EXPECT_FALSE(r.port.Connected());
    WaitUntil([] { return false; }, 800);
    EXPECT_EQ(r.pieces.size(), 4u);
}

TEST(LineClient, ARefusedConnectionIsReportedThroughOnConnected) {
    RefusingPort refusing;
    RecordingPort r(refusing.port());
    r.port.OnConnected = [&](QObject*, int code, const QString& text) {
        r.connected.push_back(code);
        r.connectTexts.push_back(text);
        EXPECT_TRUE(r.port.Connected());
    };
    r.port.SetConnected(true);
    ASSERT_TRUE(WaitUntil([&] { return !r.connected.empty(); }, 5000));
    EXPECT_EQ(r.connected, std::vector<int>{10061});
    EXPECT_EQ(r.connectTexts, std::vector<QString>{"[10061] Connection refused."});
    EXPECT_FALSE(r.port.Connected());
    EXPECT_TRUE(r.disconnected.empty());
    // The socket is gone: the properties can be changed again.
    r.port.SetRemotePort(1);
}

TEST(LineClient, PropertiesOfAConnectionAreFixedWhileItsSocketExists) {
    PendingServer server;
    RecordingPort r(server.port());
    r.port.SetConnected(true);
    EXPECT_FALSE(r.port.Connected());
    EXPECT_NE(r.port.LocalPort(), 0);
    EXPECT_EQ(RaisedBy([&] { r.port.SetRemoteHost("127.0.0.1"); }).Message(),
              "101: You cannot change the RemoteHost at this time. A connection is in progress.");
    EXPECT_EQ(RaisedBy([&] { r.port.SetRemotePort(7); }).ErrorCode(), 100);
    EXPECT_EQ(RaisedBy([&] { r.port.SetLocalPort(7); }).ErrorCode(), 106);
    EXPECT_EQ(RaisedBy([&] { r.port.SetMaxLineLength(4096); }).ErrorCode(), 112);
    EXPECT_EQ(RaisedBy([&] { r.port.SetConnected(true); }).Message(),
              "104: Already connected. If you want to reconnect, close the current connection "
              "first.");
    EXPECT_EQ(r.port.LastError(), 104);
    r.port.SetConnected(false);
    EXPECT_EQ(r.disconnected, std::vector<int>{0});
    r.port.SetRemotePort(7);
    r.port.SetMaxLineLength(4096);
    EXPECT_EQ(r.port.MaxLineLength(), 4096u);
}

TEST(LineClient, ConnectNeedsAnAddressAndAPort) {
    TlcIPPort port;
    port.SetWinsockLoaded(true);
    EXPECT_EQ(RaisedBy([&] { port.SetConnected(true); }).Message(),
              "102: The RemoteHost address is invalid (0.0.0.0).");
    port.SetRemoteHost("127.0.0.1");
    EXPECT_EQ(RaisedBy([&] { port.SetConnected(true); }).Message(),
              "116: RemotePort can't be zero. Please specify a valid service port number.");
    EXPECT_FALSE(port.Connected());
    // Disconnecting without a socket does nothing.
    bool disconnected = false;
    port.OnDisconnected = [&](QObject*, int, const QString&) { disconnected = true; };
    port.SetConnected(false);
    EXPECT_FALSE(disconnected);
}

TEST(LineClient, HostNamesAreResolvedAtOnce) {
    TlcIPPort port;
    port.SetWinsockLoaded(true);
    port.SetRemoteHost("localhost");
    EXPECT_EQ(port.RemoteHost(), "127.0.0.1");
    port.SetRemoteHost("");
    EXPECT_EQ(port.RemoteHost(), "");
    ElcIPPort e = RaisedBy([&] { port.SetRemoteHost("no-such-host.invalid"); });
    EXPECT_EQ(e.ErrorCode(), 11001);
    EXPECT_EQ(e.Message(), "11001: [11001] Host not found.");
}

TEST(LineClient, WithoutTheInterfaceNamesStayUnresolvedAndSocketsFail) {
    TlcIPPort port;
    EXPECT_FALSE(port.WinsockLoaded());
    EXPECT_EQ(port.WinsockStatus(), "Down");
    port.SetRemoteHost("localhost");
    EXPECT_EQ(port.RemoteHost(), "");
    port.SetRemoteHost("127.0.0.1");
    RefusingPort refusing;
    port.SetRemotePort(refusing.port());
    EXPECT_EQ(RaisedBy([&] { port.SetConnected(true); }).ErrorCode(), 10093);
    port.SetWinsockLoaded(true);
    EXPECT_NE(port.WinsockStatus(), "Down");
}

TEST(LineClient, MaxLineLengthHasAFloorOf255) {
    TlcIPPort port;
    try {
        port.SetMaxLineLength(254);
        ADD_FAILURE() << "254 was accepted";
    } catch (const ElcIPPort&) {
        ADD_FAILURE() << "a plain exception is expected";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Invalid value");
    }
    EXPECT_EQ(port.MaxLineLength(), 2048u);
    port.SetMaxLineLength(255);
    EXPECT_EQ(port.MaxLineLength(), 255u);
}

TEST(LineClient, SendingNeedsAConnection) {
    TlcIPPort port;
    port.SetWinsockLoaded(true);
    ElcIPPort e = RaisedBy([&] { port.SetDataToSend(QByteArray("x")); });
    EXPECT_EQ(e.ErrorCode(), 10057);
    EXPECT_EQ(e.Message(), "10057: [10057] Socket is not connected.");
}

TEST(LineClient, SendsExactlyTheGivenBytes) {
    ScriptedPeer server({ReadQuery(), Send("ok\n")});
    RecordingPort r(server.port());
    r.port.OnConnected = [&](QObject*, int code, const QString&) {
        r.connected.push_back(code);
        EXPECT_EQ(r.port.LocalHost(), "127.0.0.1");
        r.port.SetDataToSend(QByteArray(" query \r\n"));
        EXPECT_EQ(r.port.BytesSent(), 9);
    };
    r.RunToEnd();
    EXPECT_EQ(server.Queries(), QList<QByteArray>{" query \r\n"});
    EXPECT_EQ(r.pieces, (std::vector<Piece>{{"ok", true}}));
}

TEST(LineClient, APartialSendRaises10035AndReadyToSendFollows) {
    uint16_t listenPort = 0;
    int listener = ListenOnLoopback(1, listenPort);
    RecordingPort r(listenPort);
    r.port.SetOutBufferSize(4096);
    r.port.SetConnected(true);
    ASSERT_TRUE(WaitUntil([&] { return r.port.Connected(); }, 5000));
    int peer = ::accept(listener, nullptr, nullptr);
    ASSERT_GE(peer, 0);
    WaitUntil([] { return false; }, 50);
    int readyBefore = r.readyToSend;
    const QByteArray big(16 << 20, 'z');
    ElcIPPort e = RaisedBy([&] { r.port.SetDataToSend(big); });
    EXPECT_EQ(e.ErrorCode(), 10035);
    EXPECT_GT(r.port.BytesSent(), 0);
    EXPECT_LT(r.port.BytesSent(), big.size());
    // Once the peer reads, the socket can take data again.
    char sink[65536];
    EXPECT_TRUE(WaitUntil(
        [&] {
            while (::recv(peer, sink, sizeof sink, MSG_DONTWAIT) > 0) {
            }
            return r.readyToSend > readyBefore;
        },
        10000));
    ::close(peer);
    ::close(listener);
}

TEST(LineClient, DestructionFiresNoEvents) {
    ScriptedPeer server({Pause(300)});
    auto r = std::make_unique<RecordingPort>(server.port());
    bool fired = false;
    r->port.SetConnected(true);
    ASSERT_TRUE(WaitUntil([&] { return r->port.Connected(); }, 5000));
    r->port.OnDisconnected = [&](QObject*, int, const QString&) { fired = true; };
    r.reset();
    WaitUntil([] { return false; }, 100);
    EXPECT_FALSE(fired);
}
