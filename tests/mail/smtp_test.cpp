// The SMTP client against a scripted loopback server: transcripts, refusals, time-outs, resets,
// and that every failure leaves the component closed and ready for a fresh session.
#include "mail/mssmtp.h"
#include "support/refusingport.h"
#include "support/scriptedserver.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <gtest/gtest.h>

namespace {
class SmtpSession : public ::testing::Test {
protected:
    SmtpSession() {
        message.Sender().SetAddress("me@example.org");
        message.Sender().SetName("Me");
        message.Recipients().AddAddress("hostmaster@example.net");
        message.SetSubject("test.com Internic DOMAIN Registration");
        message.SetBody({"line one", ".dotted", "line three"});
        smtp.SetMailMessage(&message);
        smtp.SetTimeOut(10);
        auto note = [this](const char* name) {
            return [this, name](QObject* sender) {
                EXPECT_EQ(sender, &smtp);
                events << name;
            };
        };
        smtp.OnOpen = note("Open");
        smtp.OnPrepare = note("Prepare");
        smtp.OnSending = note("Sending");
        smtp.OnMailSent = note("MailSent");
        smtp.OnClosing = note("Closing");
        smtp.OnClosed = note("Closed");
        smtp.OnCancel = note("Cancel");
        smtp.OnProgress = [this](QObject*, int perc, int transferred) {
            events << QString("Progress %1 %2").arg(perc).arg(transferred);
        };
        smtp.OnError = [this](QObject*, QString& msg) { events << "Error " + msg; };
    }

    void Use(const ScriptedServer& server) {
        smtp.SetServer("127.0.0.1:" + QString::number(server.Port()));
    }

    // Runs Send and returns the failure's message ("" when it succeeded); the events recorded
    // until the failure reached us are in `events`.
    QString SendAndCatch() {
        try {
            smtp.Send();
        } catch (const Exception& e) {
            events << "Raised";
            return e.Message();
        }
        return QString();
    }

    QString Helo() const {
        char name[256] = {};
        ::gethostname(name, sizeof name - 1);
        return "HELO " + QString::fromLocal8Bit(name);
    }

    TmsMessage message;
    TmsSMTP smtp;
    QStringList events;
};
} // namespace

TEST_F(SmtpSession, SuccessfulSendSpeaksTheCommandSubsetInOrder) {
    ScriptedServer server;
    Use(server);
    EXPECT_EQ(SendAndCatch(), "");
    EXPECT_EQ(server.Commands(),
              (QByteArrayList{Helo().toUtf8(), "MAIL FROM:<me@example.org>",
                              "RCPT TO:<hostmaster@example.net>", "DATA", ".", "QUIT"}));
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::ReadWrite);
    message.EncodeToStream(buffer);
    // The text as delivered is the encoded message and one empty line more.
    EXPECT_EQ(server.Data(), encoded + "\r\n");
    EXPECT_TRUE(server.Data().contains("\r\n..dotted\r\n"));
    const QString progress = QString("Progress 100 %1").arg(encoded.size());
    EXPECT_EQ(events, (QStringList{"Open", "Prepare", "Sending", progress, "Progress 0 0",
                                   "MailSent", "Closing", "Closed"}));
    EXPECT_FALSE(smtp.Connected());
}

TEST_F(SmtpSession, RefusedHeloWithANameFallsBackToABareHelo) {
    ScriptedServer server([this](const QByteArray& c) {
        if (c == Helo().toUtf8()) return ServerReply::Say("500 what name");
        return ScriptedServer::Usual(c);
    });
    Use(server);
    EXPECT_EQ(SendAndCatch(), "");
    EXPECT_EQ(server.Commands().mid(0, 3),
              (QByteArrayList{Helo().toUtf8(), "HELO", "MAIL FROM:<me@example.org>"}));
}

TEST_F(SmtpSession, RefusedGreetingOrHeloEndsTheSessionWithTheReplyLine) {
    ScriptedServer bothRefused([](const QByteArray& c) {
        if (c.startsWith("HELO")) return ServerReply::Say("501 no hello");
        return ScriptedServer::Usual(c);
    });
    Use(bothRefused);
    EXPECT_EQ(SendAndCatch(), "501 no hello");
    EXPECT_EQ(bothRefused.Commands().back(), "QUIT");

    // A server that refuses at once and hangs up: the farewell ends early, the refusal is told.
    ScriptedServer busy({}, ServerReply::SayAndClose("421 too busy"));
    Use(busy);
    events.clear();
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(SendAndCatch(), "421 too busy");
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_FALSE(smtp.Connected());
    // Our QUIT may cross the server's hang-up and be answered by a reset; either way the socket
    // is closed once and the refusal is what the caller gets.
    events.removeAll("Error [10054] Connection reset by peer");
    EXPECT_EQ(events, (QStringList{"Open", "Closing", "Closed", "Raised"}));
}

TEST_F(SmtpSession, RefusedSenderStillSaysQuitAndClosesBeforeTheErrorArrives) {
    ScriptedServer server([](const QByteArray& c) {
        if (c.startsWith("MAIL FROM")) return ServerReply::Say("550 sender refused");
        return ScriptedServer::Usual(c);
    });
    Use(server);
    EXPECT_EQ(SendAndCatch(), "550 sender refused");
    EXPECT_EQ(server.Commands(),
              (QByteArrayList{Helo().toUtf8(), "MAIL FROM:<me@example.org>", "QUIT"}));
    EXPECT_EQ(events, (QStringList{"Open", "Prepare", "Sending", "Closing", "Closed", "Raised"}));
    EXPECT_FALSE(smtp.Connected());
}

TEST_F(SmtpSession, MultiLineGreetingIsOneReply) {
    ScriptedServer server({},
                          ServerReply::Say("220-first line\n220-second line\n220 last line", 300));
    Use(server);
    EXPECT_EQ(SendAndCatch(), "");
    EXPECT_TRUE(server.EarlyLines().isEmpty()) << server.EarlyLines().join("|").constData();
    EXPECT_EQ(server.Commands().front(), Helo().toUtf8());
}

TEST_F(SmtpSession, RecipientsGoOutAsToToCcBcc) {
    message.Recipients().AddAddress("second@x", "Second");
    message.CC().AddAddress("copy@x");
    message.BCC().AddAddress("blind@x");
    ScriptedServer server;
    Use(server);
    EXPECT_EQ(SendAndCatch(), "");
    EXPECT_EQ(server.Commands().mid(2, 5),
              (QByteArrayList{"RCPT TO:<hostmaster@example.net>", "RCPT TO:<second@x>",
                              "RCPT TO:<copy@x>", "RCPT TO:<blind@x>", "DATA"}));
    EXPECT_FALSE(server.Data().contains("blind@x"));
}

TEST_F(SmtpSession, RefusedBlindCopyCanBeSkippedByTheRejectionHandler) {
    message.BCC().AddAddress("blind@x");
    ScriptedServer server([](const QByteArray& c) {
        if (c == "RCPT TO:<blind@x>") return ServerReply::Say("550 no such user");
        return ScriptedServer::Usual(c);
    });
    Use(server);
    QStringList rejected;
    smtp.OnAddressRejected = [&](QObject* sender, const QString& address, const QString& reply,
                                 bool& proceed) {
        EXPECT_EQ(sender, &smtp);
        EXPECT_FALSE(proceed);
        rejected << address << reply;
        proceed = true;
    };
    EXPECT_EQ(SendAndCatch(), "");
    EXPECT_EQ(rejected, (QStringList{"blind@x", "550 no such user"}));
    EXPECT_TRUE(server.Commands().contains("DATA"));
    EXPECT_TRUE(events.contains("MailSent"));
}

TEST_F(SmtpSession, RefusedRecipientWithoutHandlerStopsBeforeData) {
    ScriptedServer server([](const QByteArray& c) {
        if (c.startsWith("RCPT")) return ServerReply::Say("553 mailbox name not allowed");
        return ScriptedServer::Usual(c);
    });
    Use(server);
    EXPECT_EQ(SendAndCatch(), "553 mailbox name not allowed");
    EXPECT_FALSE(server.Commands().contains("DATA"));
    EXPECT_EQ(server.Commands().back(), "QUIT");
}

TEST_F(SmtpSession, EnvelopeRecipientsReplaceTheMessageListsAndAreNotCut) {
    const QString longAddress = QString(300, 'l') + "@x";
    smtp.EnvelopeRecipients() << "env@x" << longAddress << "evil@x>\r\nRSET";
    ScriptedServer server;
    Use(server);
    EXPECT_EQ(SendAndCatch(), "");
    EXPECT_EQ(server.Commands().mid(2, 4),
              (QByteArrayList{"RCPT TO:<env@x>", ("RCPT TO:<" + longAddress + ">").toUtf8(),
                              "RCPT TO:<evil@x>  RSET>", "DATA"}));
}

TEST_F(SmtpSession, LongAddressesAreCutAt255CharactersInTheirCommands) {
    message.Recipients().Clear();
    message.Recipients().AddAddress(QString(250, 'r') + "@example.org");
    ScriptedServer server;
    Use(server);
    EXPECT_EQ(SendAndCatch(), "");
    const QByteArray rcpt = server.Commands()[2];
    EXPECT_EQ(rcpt.size(), 255);
    EXPECT_TRUE(rcpt.startsWith("RCPT TO:<rrrr"));
}

TEST_F(SmtpSession, DataMustBeAnsweredWithAnIntermediateReply) {
    ScriptedServer server([](const QByteArray& c) {
        if (c == "DATA") return ServerReply::Say("250 not what you wanted");
        return ScriptedServer::Usual(c);
    });
    Use(server);
    EXPECT_EQ(SendAndCatch(), "250 not what you wanted");
    EXPECT_EQ(server.Commands().back(), "QUIT");
    EXPECT_FALSE(events.contains("MailSent"));
}

TEST_F(SmtpSession, RefusedTextEndsWithTheReplyLine) {
    ScriptedServer server([](const QByteArray& c) {
        if (c == ".") return ServerReply::Say("554 rejected as spam");
        return ScriptedServer::Usual(c);
    });
    Use(server);
    EXPECT_EQ(SendAndCatch(), "554 rejected as spam");
    EXPECT_FALSE(events.contains("MailSent"));
    EXPECT_EQ(server.Commands().back(), "QUIT");
}

TEST_F(SmtpSession, EmptyServerFailsBeforeAnythingHappens) {
    EXPECT_EQ(SendAndCatch(), "Server property is required");
    EXPECT_EQ(events, (QStringList{"Error Server property is required", "Raised"}));
}

TEST_F(SmtpSession, MissingMessageIsToldAfterTheGreetingAndQuitFollows) {
    ScriptedServer server;
    Use(server);
    smtp.SetMailMessage(nullptr);
    EXPECT_EQ(SendAndCatch(), "MailMessage property must be assigned");
    EXPECT_EQ(server.Commands(), (QByteArrayList{Helo().toUtf8(), "QUIT"}));

    // The reference also goes away with the message itself.
    auto* temporary = new TmsMessage;
    smtp.SetMailMessage(temporary);
    delete temporary;
    EXPECT_EQ(smtp.MailMessage(), nullptr);
}

TEST_F(SmtpSession, IncompleteMessageIsRefusedBeforeAnyEnvelope) {
    ScriptedServer server;
    Use(server);
    message.Recipients().Clear();
    EXPECT_EQ(SendAndCatch(), "At least one Recipient, CC or BCC must be entered");
    EXPECT_EQ(server.Commands(), (QByteArrayList{Helo().toUtf8(), "QUIT"}));
    message.Sender().SetAddress("");
    EXPECT_EQ(SendAndCatch(), "The address of sender is required");
}

TEST_F(SmtpSession, SilentServerTimesOutAndTheSocketIsClosedFirst) {
    ScriptedServer server({}, ServerReply::Nothing());
    Use(server);
    smtp.SetTimeOut(1);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(SendAndCatch(), "Operation timed out");
    EXPECT_GE(clock.elapsed(), 900);
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(events,
              (QStringList{"Open", "Error Operation timed out", "Closing", "Closed", "Raised"}));
    EXPECT_FALSE(smtp.Connected());
}

TEST_F(SmtpSession, RefusedConnectionFailsAtOnceAndLeavesNoSocket) {
    RefusingPort refusing;
    smtp.SetServer("127.0.0.1:" + QString::number(refusing.port()));
    smtp.SetTimeOut(30);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(SendAndCatch(), "[10061] Connection refused");
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(events, (QStringList{"Open", "Error [10061] Connection refused", "Closing", "Closed",
                                   "Raised"}));
    EXPECT_FALSE(smtp.Connected());
}

TEST_F(SmtpSession, ResetConnectionClosesTheSocketBeforeTheError) {
    ScriptedServer server([](const QByteArray& c) {
        if (c.startsWith("MAIL")) return ServerReply::ResetConnection();
        return ScriptedServer::Usual(c);
    });
    Use(server);
    EXPECT_EQ(SendAndCatch(), "[10054] Connection reset by peer");
    EXPECT_EQ(events.mid(events.size() - 4), (QStringList{"Error [10054] Connection reset by peer",
                                                          "Closing", "Closed", "Raised"}));
    EXPECT_FALSE(smtp.Connected());
}

TEST_F(SmtpSession, ErrorHandlerMayRewordSocketErrorsButNotTimeOuts) {
    smtp.OnError = [](QObject*, QString& msg) { msg = "Reworded: " + msg; };
    RefusingPort refusing;
    smtp.SetServer("127.0.0.1:" + QString::number(refusing.port()));
    EXPECT_EQ(SendAndCatch(), "Reworded: [10061] Connection refused");
    ScriptedServer silent({}, ServerReply::Nothing());
    Use(silent);
    smtp.SetTimeOut(1);
    EXPECT_EQ(SendAndCatch(), "Operation timed out");
}

TEST_F(SmtpSession, UnknownHostAndOverlongHostAreResolutionFailures) {
    smtp.SetTimeOut(10);
    smtp.SetServer("no-such-host.invalid");
    EXPECT_EQ(SendAndCatch(), "[11001] Host not found");
    EXPECT_EQ(events.front(), "Open");
    EXPECT_FALSE(events.contains("Closing")); // no socket existed yet
    smtp.SetServer(QString(128, 'h') + ":25");
    EXPECT_EQ(SendAndCatch(), "Error resolving remote host");
}

TEST_F(SmtpSession, HostNamesAreLookedUpWithoutBlocking) {
    ScriptedServer server;
    smtp.SetServer("localhost:" + QString::number(server.Port()));
    EXPECT_EQ(SendAndCatch(), "");
    EXPECT_EQ(server.Connections(), 1);
}

TEST_F(SmtpSession, FailedSendIsFollowedByAFreshSession) {
    int mailCount = 0;
    ScriptedServer server([&](const QByteArray& c) {
        if (c.startsWith("MAIL") && mailCount++ == 0) return ServerReply::Say("451 try later");
        return ScriptedServer::Usual(c);
    });
    Use(server);
    EXPECT_EQ(SendAndCatch(), "451 try later");
    events.clear();
    EXPECT_EQ(SendAndCatch(), "");
    EXPECT_EQ(server.Connections(), 2);
    EXPECT_EQ(events.front(), "Open");
    EXPECT_EQ(server.Commands().count(Helo().toUtf8()), 2);
}

TEST_F(SmtpSession, AServerThatHangsUpInsteadOfReplyingIsToldWhereItDidSo) {
    struct Case {
        const char* command; // the command whose reply never comes ("" for the greeting)
        const char* text;
    };
    const Case cases[] = {
        {"", "Connection closed by the server while waiting for its greeting"},
        {"HELO", "Connection closed by the server while waiting for its reply to HELO"},
        {"MAIL", "Connection closed by the server while waiting for its reply to MAIL FROM"},
        {"RCPT", "Connection closed by the server while waiting for its reply to RCPT TO"},
        {"DATA", "Connection closed by the server while waiting for its reply to DATA"},
        {".", "Connection closed by the server while waiting for its reply to the end of the "
              "message; the message may not have been accepted"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        const QByteArray at = c.command;
        ScriptedServer server(
            [at](const QByteArray& command) {
                if (!at.isEmpty() && command.startsWith(at)) return ServerReply::Hangup();
                return ScriptedServer::Usual(command);
            },
            at.isEmpty() ? ServerReply::Hangup() : ServerReply::Say("220 test"));
        Use(server);
        events.clear();
        EXPECT_EQ(SendAndCatch(), c.text);
        EXPECT_FALSE(events.contains("MailSent"));
        EXPECT_FALSE(smtp.Connected());
        EXPECT_TRUE(smtp.FarewellProblem().isEmpty());
    }
}

TEST_F(SmtpSession, OnceTheMessageIsAcceptedAFailedQuitIsOnlyMentioned) {
    struct Case {
        const char* name;
        ServerReply quit;
        const char* problem;
    };
    const Case cases[] = {
        {"refused", ServerReply::SayAndClose("500 quit refused"), "500 quit refused"},
        {"reset", ServerReply::ResetConnection(), "[10054] Connection reset by peer"},
        {"hang-up", ServerReply::Hangup(), "no answer (the server closed the connection)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedServer server([&c](const QByteArray& command) {
            if (command == "QUIT") return c.quit;
            return ScriptedServer::Usual(command);
        });
        Use(server);
        events.clear();
        EXPECT_EQ(SendAndCatch(), "");
        EXPECT_EQ(smtp.FarewellProblem(), c.problem);
        EXPECT_EQ(events.count("Closed"), 1);
        EXPECT_LT(events.indexOf("MailSent"), events.indexOf("Closed"));
        EXPECT_FALSE(smtp.Connected());
    }
    // A server that closes right after accepting the message is not asked for QUIT at all.
    ScriptedServer early([](const QByteArray& command) {
        if (command == ".") return ServerReply::SayAndClose("250 queued");
        return ScriptedServer::Usual(command);
    });
    Use(early);
    EXPECT_EQ(SendAndCatch(), "");
    EXPECT_FALSE(smtp.FarewellProblem().isEmpty());
    // A clean farewell leaves nothing to mention, and a refused QUIT before any message was
    // accepted is still an error.
    ScriptedServer usual;
    Use(usual);
    EXPECT_EQ(SendAndCatch(), "");
    EXPECT_EQ(smtp.FarewellProblem(), "");
    ScriptedServer refusing([](const QByteArray& command) {
        if (command.startsWith("MAIL")) return ServerReply::Say("550 no");
        if (command == "QUIT") return ServerReply::SayAndClose("500 quit refused");
        return ScriptedServer::Usual(command);
    });
    Use(refusing);
    EXPECT_EQ(SendAndCatch(), "500 quit refused");
    EXPECT_EQ(smtp.FarewellProblem(), "");
}
