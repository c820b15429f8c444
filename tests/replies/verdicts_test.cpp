// The robots' replies read as their index says they must be, and the replies no real sample
// exists for (the registry robot's), made here from its published rules.
#include "replies/replyverdict.h"
#include "support/replykit.h"

#include <QJsonObject>
#include <gtest/gtest.h>

namespace {
ReplyVerdict VerdictOf(const QByteArray& raw) {
    return ReadVerdict(ReadReplyMessage(raw));
}

QJsonArray ObjectsJson(const ReplyVerdict& verdict) {
    QJsonArray objects;
    for (const ObjectResult& o : verdict.objects)
        objects.append(QJsonObject{{"line", o.line},
                                   {"result", StatusWord(o.result)},
                                   {"errors", QJsonArray::fromStringList(o.errors)}});
    return objects;
}

QByteArray RobotMail(const QString& subject, const QStringList& body) {
    return Mail({"From: NIC Registration Robot <hostmaster@internic.net>", "To: jane@example.org",
                 "Date: Mon, 9 Dec 1996 14:02:11 -0500",
                 "Message-ID: <199612091902.OAA12345@rs.internic.net>", "Subject: " + subject},
                body);
}
} // namespace

TEST(ReplyVerdicts, EverySampleReadsAsItsIndexSays) {
    const std::vector<ReplySample> samples = ReplySamples();
    ASSERT_EQ(samples.size(), 23u);
    for (const ReplySample& s : samples) {
        SCOPED_TRACE(s.file.toStdString());
        const ReplyVerdict verdict = VerdictOf(SampleText(s.file));
        EXPECT_EQ(StatusWord(verdict.status), s.verdict);
        EXPECT_EQ(ObjectsJson(verdict), s.objects);
    }
}

TEST(ReplyVerdicts, RefusalsWithoutObjectsGiveTheRobotsReason) {
    EXPECT_EQ(VerdictOf(SampleText("ripe-exception-internal-error.eml")).lines,
              QStringList{"Internal software error"});
    EXPECT_EQ(VerdictOf(SampleText("irrd-failed-no-text-plain.eml")).lines,
              QStringList{"Unfortunately, your message with ID <1325754288.4989.6.camel@hostname> "
                          "could not be processed, as no text/plain part could be found."});
    EXPECT_EQ(VerdictOf(SampleText("ripe-failed-not-processed.eml")).lines,
              QStringList{"The following paragraph(s) do not look like objects and were NOT "
                          "PROCESSED:"});
    // An error that belongs to no object stands among the reply's own lines; warnings do not.
    const ReplyVerdict global =
        VerdictOf(Mail({"Subject: FAILED: NEW", "From: unread@ripe.net"},
                       {"DETAILED EXPLANATION:", "", "***Warning: Invalid keyword(s) found: NEW",
                        "***Error:   The mail holds no object at all, and this text goes on over",
                        "            two lines.", "", "~~~~"}));
    EXPECT_EQ(global.status, ReplyStatus::Refused);
    EXPECT_EQ(global.lines, QStringList{"The mail holds no object at all, and this text goes on "
                                        "over two lines."});
}

TEST(ReplyVerdicts, TemplateProcessorTicketAndApprovalAndRejection) {
    const ReplyVerdict ticket = VerdictOf(SampleText("arin-net-delete-ticketed.eml"));
    EXPECT_EQ(ticket.status, ReplyStatus::Received);
    EXPECT_EQ(ticket.number, "20240603-X4420");
    EXPECT_EQ(VerdictOf(SampleText("arin-poc-approved.eml")).status, ReplyStatus::Done);

    // The header alone says it, and the reasons are the text above the quoted template.
    const ReplyVerdict rejected = VerdictOf(Mail(
        {"From: ARIN Hostmaster <hostmaster@arin.net>", "Subject: Re: NET-MOD",
         "X-Regcore-Status: REJECTED"},
        {"Hello,", "", "Your template could not be processed for the following reason(s):", "",
         "Field 02. IP Address and Prefix or Range is not within a network registered to you.", "",
         "This message is in response to the following template:", "> Template: ARIN-NET-MOD-5.0",
         "> END OF TEMPLATE"}));
    EXPECT_EQ(rejected.status, ReplyStatus::Refused);
    EXPECT_EQ(rejected.lines,
              (QStringList{"Your template could not be processed for the following reason(s):",
                           "Field 02. IP Address and Prefix or Range is not within a network "
                           "registered to you."}));
}

TEST(ReplyVerdicts, RegistryRobotNumberCompletionAndParserErrors) {
    const ReplyVerdict ack = VerdictOf(RobotMail(
        "Re: NEW HOST ns1.example.com [NIC-961209.1234]",
        {"Your registration request has been received and assigned the",
         "tracking number NIC-961209.1234. It will be registered once it", "has been reviewed."}));
    EXPECT_EQ(ack.status, ReplyStatus::Received);
    EXPECT_EQ(ack.number, "NIC-961209.1234");

    const ReplyVerdict notice = VerdictOf(
        RobotMail("NIC-961209.1234 completed", {"The host NS1.EXAMPLE.COM has been registered."}));
    EXPECT_EQ(notice.status, ReplyStatus::Done);
    EXPECT_EQ(notice.number, "NIC-961209.1234");

    const ReplyVerdict errors = VerdictOf(RobotMail(
        "Re: NEW DOMAIN example.com [NIC-961209.77]",
        {"Your request NIC-961209.77 could not be processed:", "", "item 3a required",
         "Administrative Contact handle JQP12 invalid", "", "> 3a.  Organization Name....:"}));
    EXPECT_EQ(errors.status, ReplyStatus::Refused);
    EXPECT_EQ(errors.lines,
              (QStringList{"item 3a required", "Administrative Contact handle JQP12 invalid"}));

    // No number, no robot verdict: a person's answer.
    EXPECT_EQ(VerdictOf(RobotMail("Re: example.com Internic DOMAIN Registration",
                                  {"Thanks, we registered it."}))
                  .status,
              ReplyStatus::Answered);
}

TEST(ReplyVerdicts, QuotedLinesEncodingsAndSignedTextAreReadAsTheRobotWroteThem) {
    // A FAILED line of the quoted request does not make a successful reply a refusal.
    const QStringList body{">  Subject:    Create FAILED: [domain] quoted.example", "---",
                           "Create SUCCEEDED: [domain] 0.0.193.in-addr.arpa", "", "~~~~"};
    EXPECT_EQ(VerdictOf(Mail({"Subject: SUCCESS: NEW"}, body)).status, ReplyStatus::Done);

    // Subject as encoded-words, body in base64.
    const QByteArray encoded =
        "Subject: =?UTF-8?B?RkFJTEVEOiBkZWxldGUgTU5UTkVSIERFTC1NTlQ=?=\r\n"
        "Content-Type: text/plain; charset=UTF-8\r\nContent-Transfer-Encoding: base64\r\n\r\n" +
        QByteArray("---\r\nDelete FAILED: [mntner] DEL-MNT\r\n\r\n***Error:   Authorisation "
                   "failed\r\n")
            .toBase64() +
        "\r\n";
    const ReplyVerdict decoded = VerdictOf(encoded);
    EXPECT_EQ(decoded.status, ReplyStatus::Refused);
    ASSERT_EQ(decoded.objects.size(), 1u);
    EXPECT_EQ(decoded.objects[0].line, "Delete FAILED: [mntner] DEL-MNT");
    EXPECT_EQ(decoded.objects[0].errors, QStringList{"Authorisation failed"});

    // Inside a cleartext signature every line that began with "-" is escaped as "- -": the
    // separators still end an object, so the second error is nobody's.
    const ReplyVerdict signedReply = VerdictOf(
        Mail({"Subject: FAILED: NEW"},
             {"-----BEGIN PGP SIGNED MESSAGE-----", "Hash: SHA256", "", "- ---",
              "Create FAILED: [domain] 2.0.192.in-addr.arpa", "***Error:   Lame delegation.",
              "- ---", "***Error:   No object for this one.", "-----BEGIN PGP SIGNATURE-----", "",
              "iHUEARYIAB0WIQ==", "-----END PGP SIGNATURE-----"}));
    ASSERT_EQ(signedReply.objects.size(), 1u);
    EXPECT_EQ(signedReply.objects[0].errors, QStringList{"Lame delegation."});
    EXPECT_EQ(signedReply.lines, QStringList{"No object for this one."});
}
