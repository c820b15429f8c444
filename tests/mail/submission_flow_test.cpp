// The submission flow against a real local SMTP server: what is written, mailed, shown on the
// three pages and told in boxes, for a good send, a refused recipient and the stops before mailing.
#include "mail/mssmtp.h"
#include "mail/sentcopy.h"
#include "mail/submission.h"
#include "mail/submission_server.h"
#include "mail/submissiontexts.h"
#include "platform/messageboxes.h"
#include "support/tempdir.h"
#include "templates/showform.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace {
QString PageLetter(RecordKind page) {
    return page == RecordKind::Domain ? "D" : page == RecordKind::Host ? "H" : "C";
}

// Everything the flow shows, boxes and pages, in one log: "D 30", "H Opening connection",
// "box: <text>", "beep", "question: <text>".
struct ShownLog : SubmissionDisplay {
    QStringList lines;
    std::function<void(const QString& text)> onStatus;
    void SetProgress(RecordKind page, int position) override {
        lines << PageLetter(page) + " " + QString::number(position);
    }
    void SetStatus(RecordKind page, const QString& text) override {
        lines << PageLetter(page) + " " + text;
        if (onStatus) onStatus(text);
    }
};

class LoggedBoxes : public ScriptedBoxes {
public:
    explicit LoggedBoxes(QStringList& log) : log_(log) {}
    void Information(const QString& text) override {
        log_ << "box: " + text;
        ScriptedBoxes::Information(text);
    }
    BoxAnswer WarningYesNo(const QString& text) override {
        log_ << "question: " + text;
        return ScriptedBoxes::WarningYesNo(text);
    }
    void Beep() override {
        log_ << "beep";
        ScriptedBoxes::Beep();
    }

private:
    QStringList& log_;
};

// The log lines of one stage on the three pages, bar before status.
QStringList StageLines(int position, const QString& text) {
    QStringList lines;
    for (const char* page : {"D", "H", "C"}) {
        if (position >= 0) lines << QString(page) + " " + QString::number(position);
        lines << QString(page) + " " + text;
    }
    return lines;
}

const char* const kMailTo = "hostmaster@registry.test";

struct Fixture : ::testing::Test {
    ScopedWorkDir dir;
    ShownLog log;
    std::shared_ptr<LoggedBoxes> boxes = std::make_shared<LoggedBoxes>(log.lines);
    TmsMessage message;
    TmsSMTP smtp;
    TSubmission flow{smtp, message, log};
    QStringList holder;
    int nameListUpdates = 0;
    QList<bool> busyChanges;

    void SetUp() override {
        SetBoxes(boxes);
        smtp.SetMailMessage(&message);
        smtp.SetTimeOut(20);
        message.Sender().SetAddress("jane@example.test");
        message.Sender().SetName("Jane Sender");
        ConnectStageEvents(smtp, flow);
        flow.OnBusyChanged = [this](bool busy) { busyChanges << busy; };
    }

    SubmissionRequest Request(RecordKind kind, const QString& name) {
        SubmissionRequest request;
        request.record = EmptyRecord(kind);
        request.record.text[NameBoxControl(kind)] = name;
        request.mailTo = kMailTo;
        request.loadHolder = [this](const QStringList& lines) { holder = lines; };
        request.updateNameList = [this](const Record&, const TemplateFiles&) { ++nameListUpdates; };
        return request;
    }
};

// The body as received: the template's lines, then at most the one empty line the client adds.
void ExpectBodyIsTemplate(const ReceivedMessage& m, const QStringList& lines) {
    ASSERT_GE(m.bodyLines.size(), lines.size());
    EXPECT_EQ(m.bodyLines.mid(0, lines.size()), lines);
    const QStringList rest = m.bodyLines.mid(lines.size());
    EXPECT_LE(rest.size(), 1);
    for (const QString& line : rest)
        EXPECT_TRUE(line.isEmpty());
}
} // namespace

using SubmissionFlow = Fixture;

TEST_F(SubmissionFlow, AGoodSendMailsTheWrittenTemplateAndShowsEveryStageOnThreePages) {
    LocalSmtpServer server;
    ASSERT_NE(server.Port(), 0);
    smtp.SetServer(server.Address());
    boxes->AnswerNext(true);
    SubmissionRequest request = Request(RecordKind::Domain, "example.com");
    request.record.text["OOrgNameEdit"] = "Example Inc";
    request.record.text["AuthScheme"] = "MAIL-FROM";
    TemplateFiles files;

    EXPECT_EQ(flow.Submit(request, files), SubmissionOutcome::Sent);

    EXPECT_EQ(files.formFile, dir.file("domains/example.com.txt"));
    EXPECT_EQ(files.recordFile, dir.file("domains/example.com.ini"));
    const QStringList lines = ReadTextLines(files.formFile);
    EXPECT_EQ(holder, lines);
    const auto received = server.Messages();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].subject, "example.com Internic DOMAIN Registration");
    EXPECT_EQ(received[0].to, QStringList{kMailTo});
    EXPECT_EQ(received[0].from, "jane@example.test");
    ExpectBodyIsTemplate(received[0], lines);
    EXPECT_TRUE(received[0].bodyLines.contains("Example Inc") ||
                received[0].raw.contains("Example Inc"));

    QStringList expected{"question: " + SubmissionConfirmation()};
    expected << StageLines(30, "Opening connection") << StageLines(10, "Preparing message")
             << StageLines(50, "Sending message") << StageLines(70, "Message has been sent")
             << "beep" << StageLines(100, "Closing connection");
    QStringList closed = StageLines(0, "Connection closed");
    closed.insert(4, "box: " + SubmissionSentNotice());
    expected << closed;
    EXPECT_EQ(log.lines, expected);
    EXPECT_EQ(nameListUpdates, 1);
    EXPECT_EQ(busyChanges, (QList<bool>{true, false}));
    EXPECT_TRUE(flow.MessageAccepted());
    EXPECT_TRUE(smtp.WinsockLoaded());
    // The message keeps the one recipient with an empty display name.
    ASSERT_EQ(message.Recipients().Count(), 1);
    EXPECT_TRUE(message.Recipients().Items(0).Name().isEmpty());
}

TEST_F(SubmissionFlow, ARefusedRecipientClosesTheConnectionAndLeavesTheNameListAlone) {
    // A good send first: its acceptance must not make the next, refused send look accepted.
    LocalSmtpServer good;
    ASSERT_NE(good.Port(), 0);
    smtp.SetServer(good.Address());
    SubmissionRequest first = Request(RecordKind::Host, "ns1.example.com");
    first.confirm = false;
    TemplateFiles firstFiles;
    ASSERT_EQ(flow.Submit(first, firstFiles), SubmissionOutcome::Sent);
    log.lines.clear();
    busyChanges.clear();
    nameListUpdates = 0;

    LocalSmtpServer refusing(LocalSmtpServer::Options::RefusingRecipients());
    ASSERT_NE(refusing.Port(), 0);
    smtp.SetServer(refusing.Address());
    boxes->AnswerNext(true);
    TemplateFiles files;
    try {
        flow.Submit(Request(RecordKind::Host, "ns2.example.com"), files);
        FAIL() << "the refusal was not raised";
    } catch (const EServerError& e) {
        EXPECT_EQ(e.Message(),
                  "550 5.1.1 <hostmaster@registry.test>: Recipient address rejected: User unknown");
    }
    QStringList expected{"question: " + SubmissionConfirmation()};
    expected << StageLines(30, "Opening connection") << StageLines(10, "Preparing message")
             << StageLines(50, "Sending message") << StageLines(100, "Closing connection")
             << StageLines(0, "Connection closed");
    EXPECT_EQ(log.lines, expected);
    EXPECT_TRUE(refusing.Messages().empty());
    EXPECT_EQ(nameListUpdates, 0);
    EXPECT_EQ(busyChanges, (QList<bool>{true, false}));
    EXPECT_FALSE(flow.Busy());
    // The template stays written.
    EXPECT_TRUE(QFileInfo::exists(dir.file("hosts/ns2.example.com.txt")));
}

TEST_F(SubmissionFlow, AnEmptyServerFailsBeforeAnyStageIsShown) {
    boxes->AnswerNext(true);
    TemplateFiles files;
    try {
        flow.Submit(Request(RecordKind::Contact, "Jane Roe"), files);
        FAIL() << "no failure for an empty server";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Server property is required");
    }
    EXPECT_EQ(log.lines, QStringList{"question: " + SubmissionConfirmation()});
    EXPECT_EQ(nameListUpdates, 0);
    EXPECT_EQ(busyChanges, (QList<bool>{true, false}));
}

TEST_F(SubmissionFlow, StopsBeforeMailingForAnEmptyNameANoAndPgp) {
    LocalSmtpServer server;
    ASSERT_NE(server.Port(), 0);
    smtp.SetServer(server.Address());
    TemplateFiles files;

    EXPECT_EQ(flow.Submit(Request(RecordKind::Contact, ""), files), SubmissionOutcome::NoName);
    EXPECT_EQ(log.lines, QStringList{"box: " + EmptyNameMessage(RecordKind::Contact)});

    log.lines.clear();
    boxes->AnswerNext(false);
    EXPECT_EQ(flow.Submit(Request(RecordKind::Domain, "example.com"), files),
              SubmissionOutcome::Declined);
    EXPECT_EQ(log.lines, QStringList{"question: " + SubmissionConfirmation()});
    EXPECT_FALSE(QFileInfo::exists(dir.file("domains")));
    EXPECT_TRUE(files.formFile.isEmpty());

    log.lines.clear();
    boxes->AnswerNext(true);
    SubmissionRequest pgp = Request(RecordKind::Host, "ns1.example.com");
    pgp.record.text["HostAuthScheme"] = "PGP";
    EXPECT_EQ(flow.Submit(pgp, files), SubmissionOutcome::Pgp);
    EXPECT_EQ(log.lines, (QStringList{"question: " + SubmissionConfirmation(),
                                      "box: " + PgpSubmissionNotice()}));
    EXPECT_EQ(files.formFile, dir.file("hosts/ns1.example.com.txt"));
    EXPECT_EQ(holder, ReadTextLines(files.formFile));
    EXPECT_EQ(nameListUpdates, 0);
    // The buttons are held from the writing on, and given back at the PGP box's end.
    EXPECT_EQ(busyChanges, (QList<bool>{true, false}));

    // Only "PGP" as written stops a send.
    pgp.record.text["HostAuthScheme"] = "pgp";
    pgp.confirm = false;
    EXPECT_EQ(flow.Submit(pgp, files), SubmissionOutcome::Sent);
    EXPECT_EQ(server.Messages().size(), 1u);
}

TEST_F(SubmissionFlow, TheSubjectIsCutAt255AndNoSecondSendStartsDuringASend) {
    LocalSmtpServer server;
    ASSERT_NE(server.Port(), 0);
    smtp.SetServer(server.Address());
    const QString name = QString(240, 'h') + ".example";
    SubmissionRequest request = Request(RecordKind::Host, name);
    request.confirm = false;
    // A press of a mail button in the middle of the send (its waits process the window's events).
    std::optional<SubmissionOutcome> nested;
    log.onStatus = [&](const QString& text) {
        if (text != "Sending message" || nested) return;
        TemplateFiles other;
        nested = flow.Submit(Request(RecordKind::Domain, "second.example"), other);
    };
    TemplateFiles files;
    EXPECT_EQ(flow.Submit(request, files), SubmissionOutcome::Sent);

    ASSERT_TRUE(nested);
    EXPECT_EQ(*nested, SubmissionOutcome::Busy);
    EXPECT_FALSE(QFileInfo::exists(dir.file("domains")));
    const auto received = server.Messages();
    ASSERT_EQ(received.size(), 1u);
    QString subject = received[0].subject;
    subject.remove("\r\n").remove('\n');
    EXPECT_EQ(subject, (name + " Internic HOST Registration").left(255));
    EXPECT_EQ(message.Subject().size(), 255);
    EXPECT_EQ(nameListUpdates, 1);
}

TEST_F(SubmissionFlow, TheSentLogNamesTheSigningKeyOfASignedSendOnly) {
    LocalSmtpServer server;
    ASSERT_NE(server.Port(), 0);
    smtp.SetServer(server.Address());
    const QString key = "0x0123456789ABCDEF (Jane Signer <jane@example.test>)";
    TemplateFiles files;
    SubmissionRequest plain = Request(RecordKind::Domain, "example.com");
    plain.confirm = false;
    plain.signer = [key] { return key; };
    EXPECT_EQ(flow.Submit(plain, files), SubmissionOutcome::Sent);

    SubmissionRequest pgp = Request(RecordKind::Host, "ns1.example.com");
    pgp.confirm = false;
    pgp.record.text["HostAuthScheme"] = "PGP";
    pgp.signTemplate = [](const Record&, const QStringList& lines) -> std::optional<QStringList> {
        return QStringList{"-----BEGIN PGP SIGNED MESSAGE-----", ""} + lines +
               QStringList{"-----BEGIN PGP SIGNATURE-----", "-----END PGP SIGNATURE-----"};
    };
    pgp.signer = [key] { return key; };
    EXPECT_EQ(flow.Submit(pgp, files), SubmissionOutcome::Sent);
    ASSERT_EQ(server.Messages().size(), 2u);

    const Result<std::vector<SentEntry>> sent = ReadSentLog(SentFolderPath());
    ASSERT_TRUE(sent) << sent.Error().toStdString();
    ASSERT_EQ(sent->size(), 2u);
    EXPECT_EQ((*sent)[0].name, "ns1.example.com");
    EXPECT_EQ((*sent)[0].signer, key);
    EXPECT_EQ((*sent)[1].name, "example.com");
    EXPECT_EQ((*sent)[1].signer, "");
    // The unsigned line is as an older version wrote it: six fields.
    const QList<QByteArray> lines = ReadAll(dir.file("sent/sent.log")).split('\n');
    EXPECT_EQ(lines[0].count('\t'), 5);
    EXPECT_EQ(lines[1].count('\t'), 6);
}
