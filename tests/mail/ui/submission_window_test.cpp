// The window's mail buttons against a real local SMTP server: the message that arrives, the three
// pages' status lines and bars, the boxes, the name list, and the buttons during a send.
#include "app/ui/form1.h"
#include "app/ui/statusline.h"
#include "mail/mssmtp.h"
#include "mail/submission_server.h"
#include "mail/submissiontexts.h"
#include "platform/messageboxes.h"
#include "support/scriptedserver.h"
#include "support/tempdir.h"
#include "support/ui/formdriver.h"
#include "templates/templatefiles.h"
#include "templates/ui/windowrecord.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTabWidget>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
const char* const kMailTo = "hostmaster@registry.test";
const char* const kStatusLines[] = {"status", "hoststatus", "Cstatus"};
const char* const kBars[] = {"MailProgress", "HostMailProgress", "Cmailprogress"};
const char* const kButtons[] = {"BitBtn1", "HostMailtoNic", "ContactMailtoNic"};

struct MailWindow : ::testing::Test {
    ScopedWorkDir dir;
    std::shared_ptr<ScriptedBoxes> boxes = std::make_shared<ScriptedBoxes>();
    std::unique_ptr<TForm1> form;

    void SetUp() override {
        SetBoxes(boxes);
        form = std::make_unique<TForm1>();
        boxes->Clear();
        UseTestMailbox(*form, QString(), kMailTo);
        form->msSMTP1->SetTimeOut(20);
    }
    void TearDown() override { form.reset(); }

    QString Status(int page) const {
        return form->Control<TStatusLine>(kStatusLines[page])->text();
    }
    int Bar(int page) const { return form->Control<QProgressBar>(kBars[page])->value(); }
    QAbstractButton* Button(int page) const {
        return form->Control<QAbstractButton>(kButtons[page]);
    }
    // Every text the domain page's status line takes, in order.
    void WatchDomainStatus() {
        watched_ = std::make_unique<QStringList>();
        QObject::connect(form->Control<TStatusLine>("status"), &TStatusLine::textChanged,
                         form.get(),
                         [seen = watched_.get()](const QString& text) { *seen << text; });
    }
    const QStringList& DomainStatusSeen() const { return *watched_; }

private:
    std::unique_ptr<QStringList> watched_;
};

void ExpectBodyIsTemplate(const ReceivedMessage& m, const QStringList& lines) {
    ASSERT_GE(m.bodyLines.size(), lines.size());
    EXPECT_EQ(m.bodyLines.mid(0, lines.size()), lines);
    EXPECT_LE(m.bodyLines.size() - lines.size(), 1);
}
} // namespace

TEST_F(MailWindow, SendToInternicMailsTheDomainTemplateAndEndsWithConnectionClosed) {
    LocalSmtpServer server;
    ASSERT_NE(server.Port(), 0);
    form->msSMTP1->SetServer(server.Address());
    SetFieldText(*form, "DomainNameEdit", "example.com");
    SetFieldText(*form, "OOrgNameEdit", "Example Inc");
    WatchDomainStatus();
    // While the message goes out, no mail button can start a second send.
    QList<bool> enabledDuringSend;
    QObject::connect(form->Control<TStatusLine>("status"), &TStatusLine::textChanged, form.get(),
                     [&](const QString& text) {
                         if (text != "Sending message") return;
                         for (int page = 0; page < 3; ++page)
                             enabledDuringSend << Button(page)->isEnabled();
                         Button(1)->click();
                     });
    boxes->AnswerNext(true);

    Button(0)->click();

    EXPECT_TRUE(boxes->Texts("error").isEmpty()) << boxes->Texts("error").join("|").toStdString();
    // The confirmation lists what a new domain still lacks (the organization is there).
    ASSERT_EQ(boxes->Texts("warning").size(), 1);
    const QString confirmation = boxes->Texts("warning")[0];
    EXPECT_TRUE(confirmation.startsWith(SubmissionConfirmation() + "\n\n"))
        << confirmation.toStdString();
    EXPECT_TRUE(confirmation.contains("\n3b. Street Address\n")) << confirmation.toStdString();
    EXPECT_TRUE(confirmation.contains("\n7a. Primary Server Hostname\n"))
        << confirmation.toStdString();
    EXPECT_FALSE(confirmation.contains("3a. Organization Name")) << confirmation.toStdString();
    EXPECT_EQ(boxes->Texts("information"), QStringList{SubmissionSentNotice()});
    EXPECT_EQ(boxes->Texts("beep").size(), 1);
    EXPECT_EQ(enabledDuringSend, (QList<bool>{false, false, false}));
    for (int page = 0; page < 3; ++page) {
        EXPECT_EQ(Status(page), "Connection closed") << page;
        EXPECT_EQ(Bar(page), 0) << page;
        EXPECT_TRUE(Button(page)->isEnabled()) << page;
    }
    EXPECT_EQ(DomainStatusSeen(),
              (QStringList{"Opening connection", "Preparing message", "Sending message",
                           "Message has been sent", "Closing connection", "Connection closed"}));

    EXPECT_EQ(form->DomainFormFile, dir.file("domains/example.com.txt"));
    EXPECT_EQ(form->DomainRecordFile, dir.file("domains/example.com.ini"));
    const QStringList lines = ReadTextLines(form->DomainFormFile);
    EXPECT_EQ(form->Control<QPlainTextEdit>("Memo1")->toPlainText(), lines.join('\n'));
    const auto received = server.Messages();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].subject, "example.com Internic DOMAIN Registration");
    EXPECT_EQ(received[0].to, QStringList{kMailTo});
    EXPECT_EQ(received[0].from, "jane@example.test");
    ExpectBodyIsTemplate(received[0], lines);
    // A New name joins the list, in the box and in its file.
    EXPECT_EQ(ReadAll(dir.file("domains.cbx")), "example.com\r\n");
    EXPECT_EQ(form->Control<QComboBox>("DomainNameEdit")->findText("example.com"), 0);
}

TEST_F(MailWindow, ARefusedRecipientShowsTheReplyLineAndNoSentBox) {
    LocalSmtpServer server(LocalSmtpServer::Options::RefusingRecipients());
    ASSERT_NE(server.Port(), 0);
    form->msSMTP1->SetServer(server.Address());
    SetFieldText(*form, "DomainNameEdit", "example.com");
    WatchDomainStatus();
    boxes->AnswerNext(true);

    Button(0)->click();

    EXPECT_EQ(boxes->Texts("error"),
              QStringList{"550 5.1.1 <hostmaster@registry.test>: Recipient address rejected: "
                          "User unknown."});
    EXPECT_TRUE(boxes->Texts("information").isEmpty());
    EXPECT_EQ(DomainStatusSeen(),
              (QStringList{"Opening connection", "Preparing message", "Sending message",
                           "Closing connection", "Connection closed"}));
    for (int page = 0; page < 3; ++page) {
        EXPECT_EQ(Status(page), "Connection closed") << page;
        EXPECT_EQ(Bar(page), 0) << page;
        EXPECT_TRUE(Button(page)->isEnabled()) << page;
    }
    EXPECT_TRUE(server.Messages().empty());
    EXPECT_FALSE(QFileInfo::exists(dir.file("domains.cbx")));
    EXPECT_EQ(form->Control<QComboBox>("DomainNameEdit")->count(), 0);
    EXPECT_TRUE(QFileInfo::exists(dir.file("domains/example.com.txt")));
}

TEST_F(MailWindow, AResetAtQuitAfterTheMessageWasAcceptedStillCountsAsSent) {
    ScriptedServer server([](const QByteArray& command) {
        if (command == "QUIT") return ServerReply::ResetConnection();
        return ScriptedServer::Usual(command);
    });
    form->msSMTP1->SetServer("127.0.0.1:" + QString::number(server.Port()));
    SetFieldText(*form, "DomainNameEdit", "example.com");
    boxes->AnswerNext(true);

    Button(0)->click();

    EXPECT_TRUE(boxes->Texts("error").isEmpty()) << boxes->Texts("error").join('|').toStdString();
    EXPECT_EQ(boxes->Texts("information"), QStringList{SubmissionSentNotice()});
    EXPECT_FALSE(server.Data().isEmpty());
    for (int page = 0; page < 3; ++page) {
        EXPECT_EQ(Status(page), "Connection closed; QUIT: [10054] Connection reset by peer")
            << page;
        EXPECT_EQ(Bar(page), 0) << page;
    }
    EXPECT_EQ(ReadAll(dir.file("domains.cbx")), "example.com\r\n"); // the New name is listed
}

TEST_F(MailWindow, AnEmptyServerShowsOnlyItsErrorAndLeavesTheStatusLinesAlone) {
    SetFieldText(*form, "HostName", "ns1.example.com");
    boxes->AnswerNext(true);

    Button(1)->click();

    EXPECT_EQ(boxes->Texts("error"), QStringList{"Server property is required."});
    EXPECT_TRUE(boxes->Texts("information").isEmpty());
    for (int page = 0; page < 3; ++page) {
        EXPECT_EQ(Status(page), "status...") << page;
        EXPECT_TRUE(Button(page)->isEnabled()) << page;
    }
}

TEST_F(MailWindow, NoWritesNothingAndPgpWritesButDoesNotMail) {
    LocalSmtpServer server;
    ASSERT_NE(server.Port(), 0);
    form->msSMTP1->SetServer(server.Address());
    SetFieldText(*form, "Contactname", "Jane Roe");

    // No, and closing the confirmation with its close button, both mail nothing.
    boxes->AnswerNext(false);
    Button(2)->click();
    boxes->AnswerNext(BoxAnswer::Closed);
    Button(2)->click();
    ASSERT_EQ(boxes->Texts("warning").size(), 2);
    for (const QString& confirmation : boxes->Texts("warning")) {
        EXPECT_TRUE(confirmation.startsWith(SubmissionConfirmation()))
            << confirmation.toStdString();
        EXPECT_TRUE(confirmation.endsWith("\n1l. E-Mailbox")) << confirmation.toStdString();
    }
    EXPECT_EQ(boxes->Captions("warning"), QStringList(2, "Warning"));
    EXPECT_FALSE(QFileInfo::exists(dir.file("contacts")));
    EXPECT_TRUE(form->Control<QPlainTextEdit>("Memo3")->toPlainText().isEmpty());
    EXPECT_TRUE(form->ContactFormFile.isEmpty());

    boxes->Clear();
    SetFieldText(*form, "ContactAuthorizationType", "PGP");
    boxes->AnswerNext(true);
    Button(2)->click();
    // The described box, and beside it where a key to sign with is chosen.
    EXPECT_EQ(boxes->Texts("information"),
              QStringList{PgpSubmissionNotice() + " To sign inside the program, choose an "
                                                  "OpenPGP key in File > Setup > Security."});
    EXPECT_EQ(boxes->Captions("information"), QStringList{"Information"});
    EXPECT_TRUE(boxes->Texts("error").isEmpty());
    EXPECT_EQ(form->ContactFormFile, dir.file("contacts/Jane Roe.txt"));
    EXPECT_EQ(form->Control<QPlainTextEdit>("Memo3")->toPlainText(),
              ReadTextLines(form->ContactFormFile).join('\n'));
    EXPECT_EQ(Status(2), "status...");
    EXPECT_TRUE(server.Messages().empty());

    boxes->Clear();
    SetFieldText(*form, "Contactname", "");
    Button(2)->click();
    EXPECT_EQ(boxes->Texts("information"),
              QStringList{"You did not enter a Contact Name on the Aithorization, Notify & "
                          "Authentication tab."});
    EXPECT_TRUE(boxes->Texts("warning").isEmpty());
}

TEST_F(MailWindow, HostAndContactButtonsMailTheirOwnTemplates) {
    LocalSmtpServer server;
    ASSERT_NE(server.Port(), 0);
    form->msSMTP1->SetServer(server.Address());
    EXPECT_FALSE(form->msSMTP1->WinsockLoaded());
    form->FormActivate();
    EXPECT_TRUE(form->msSMTP1->WinsockLoaded());
    SetFieldText(*form, "HostName", "ns1.example.com");
    SetFieldText(*form, "Contactname", "Jane Roe");
    boxes->AnswerNext(true);
    boxes->AnswerNext(true);

    Button(1)->click();
    Button(2)->click();

    EXPECT_TRUE(boxes->Texts("error").isEmpty()) << boxes->Texts("error").join("|").toStdString();
    EXPECT_EQ(boxes->Texts("information"),
              (QStringList{SubmissionSentNotice(), SubmissionSentNotice()}));
    const auto received = server.Messages();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].subject, "ns1.example.com Internic HOST Registration");
    ExpectBodyIsTemplate(received[0], ReadTextLines(dir.file("hosts/ns1.example.com.txt")));
    EXPECT_EQ(received[1].subject, "Jane Roe Internic CONTACT Registration");
    ExpectBodyIsTemplate(received[1], ReadTextLines(dir.file("contacts/Jane Roe.txt")));
    EXPECT_EQ(form->Control<QPlainTextEdit>("Memo2")->toPlainText(),
              ReadTextLines(form->HostFormFile).join('\n'));
}

// A slow server: while the send waits, the window keeps handling its events and repainting, and
// the bar and the status line visibly move.
TEST_F(MailWindow, TheWindowRepaintsAndTheProgressMovesDuringASlowSend) {
    LocalSmtpServer server(LocalSmtpServer::Options::Slow(0.4));
    ASSERT_NE(server.Port(), 0);
    form->msSMTP1->SetServer(server.Address());
    SetFieldText(*form, "DomainNameEdit", "slow.example");
    auto* pages = form->Control<QTabWidget>("PageControl2");
    ASSERT_NE(pages, nullptr);
    pages->setCurrentIndex(pages->count() - 1); // the review page with the button and the bar
    form->show();

    struct Sample {
        QString status;
        int bar;
    };
    std::vector<Sample> samples;
    QTimer sampler;
    sampler.setInterval(50);
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        if (!Button(0)->isEnabled()) {
            form->grab(); // renders the window as it stands now
            samples.push_back({Status(0), Bar(0)});
        }
    });
    sampler.start();
    boxes->AnswerNext(true);

    Button(0)->click();
    sampler.stop();

    EXPECT_TRUE(boxes->Texts("error").isEmpty()) << boxes->Texts("error").join("|").toStdString();
    ASSERT_GE(samples.size(), 10u);
    QStringList texts;
    QList<int> bars;
    for (const Sample& s : samples) {
        if (!texts.contains(s.status)) texts << s.status;
        if (!bars.contains(s.bar)) bars << s.bar;
    }
    // Sending and its pauses on the server are seen while the event loop runs.
    EXPECT_TRUE(texts.contains("Sending message")) << texts.join("|").toStdString();
    EXPECT_TRUE(texts.contains("Opening connection")) << texts.join("|").toStdString();
    EXPECT_TRUE(texts.contains("Message has been sent")) << texts.join("|").toStdString();
    EXPECT_TRUE(bars.contains(30) && bars.contains(50) && bars.contains(70));
    EXPECT_EQ(Status(0), "Connection closed");
}
