// The message text as it goes after DATA: header block, content labels, body writers, and the
// receiving side reading such texts back.
#include "mail/msdecoder.h"
#include "mail/msmsg.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace {
QByteArray Encoded(TmsCustomMessage& m) {
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::ReadWrite);
    m.EncodeToStream(buffer);
    return out;
}

QByteArrayList EncodedLines(TmsCustomMessage& m) {
    QByteArray text = Encoded(m);
    EXPECT_TRUE(text.endsWith("\r\n"));
    text.chop(2);
    return text.split('\n').isEmpty() ? QByteArrayList{} : [&] {
        QByteArrayList lines;
        for (const QByteArray& l : text.split('\n'))
            lines << (l.endsWith('\r') ? l.left(l.size() - 1) : l);
        return lines;
    }();
}

void Fill(TmsMessage& m, const QStringList& body = {"line one", "line two"}) {
    m.Sender().SetAddress("me@example.org");
    m.Sender().SetName("Me Myself");
    m.Recipients().AddAddress("hostmaster@example.net");
    m.SetSubject("example.com Internic DOMAIN Registration");
    m.SetBody(body);
}

QString MessageOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const Exception& e) {
        return e.Message();
    }
    return "(no error)";
}
} // namespace

TEST(MessageText, WindowMessageIsTheHeaderTableThenTheBody) {
    TmsMessage m;
    Fill(m, {"Domain Version Number: 4.0", ".", ".hidden", "ends."});
    EXPECT_EQ(Encoded(m), "From:     Me Myself <me@example.org>\r\n"
                          "To:        <hostmaster@example.net>\r\n"
                          "Subject:  example.com Internic DOMAIN Registration\r\n"
                          "Mime-Version: 1.0\r\n"
                          "Content-Type: text/plain; charset=\"us-ascii\"\r\n"
                          "Content-Transfer-Encoding: 7bit\r\n"
                          "\r\n"
                          "Domain Version Number: 4.0\r\n"
                          "..\r\n"
                          "..hidden\r\n"
                          "ends.\r\n");
    // Encoding leaves the body as it was.
    EXPECT_EQ(m.Body()[1], ".");
}

TEST(MessageText, DisplayNamesThatAreNoAtomsAreQuotedWithTheirQuotesAndBackslashesEscaped) {
    TmsMessage m;
    Fill(m);
    const struct {
        const char* name;
        const char* line;
    } cases[] = {
        {"J. Doe", "From:     \"J. Doe\" <me@example.org>"},
        {"\"J. Doe\" jr.", "From:     \"\\\"J. Doe\\\" jr.\" <me@example.org>"},
        {"Roe, Jane", "From:     \"Roe, Jane\" <me@example.org>"},
        {"C:\\Users", "From:     \"C:\\\\Users\" <me@example.org>"},
        {"Jane  Roe", "From:     \"Jane  Roe\" <me@example.org>"},
        {"Jane O'Roe-Smith", "From:     Jane O'Roe-Smith <me@example.org>"},
        {"", "From:      <me@example.org>"},
    };
    for (const auto& c : cases) {
        m.Sender().SetName(c.name);
        EXPECT_EQ(EncodedLines(m)[0], c.line);
    }
    // A control character never reaches a reader's terminal raw.
    m.Sender().SetName("Jane\x1b[2J");
    EXPECT_EQ(EncodedLines(m)[0], "From:     =?UTF-8?B?SmFuZRtbMko=?= <me@example.org>");
}

TEST(MessageText, AddressBlocksListEveryAddressAndNeverTheBlindCopies) {
    TmsMessage m;
    Fill(m);
    m.Recipients().Clear();
    m.Recipients().AddAddress("a@x", "A. One");
    m.Recipients().AddAddress("b@x", "Bee");
    m.Recipients().AddAddress("c@x");
    m.BCC().AddAddress("secret@x");
    QByteArrayList lines = EncodedLines(m);
    EXPECT_EQ(lines[1], "To:       \"A. One\" <a@x>,");
    EXPECT_EQ(lines[2], "          Bee <b@x>,");
    EXPECT_EQ(lines[3], "           <c@x>");
    EXPECT_EQ(lines[4], "Subject:  example.com Internic DOMAIN Registration");
    EXPECT_FALSE(Encoded(m).contains("secret"));
    m.CC().AddAddress("copy@x", "Copy");
    lines = EncodedLines(m);
    EXPECT_EQ(lines[4], "CC:       Copy <copy@x>");
}

TEST(MessageText, ReceiptPriorityAndExtraHeadersInTheirPlaces) {
    TmsMessage m;
    Fill(m);
    m.SetReturnReceipt(true);
    m.SetPriority(ptHigh);
    m.Headers().Add("Subject: stale subject");
    m.Headers().Add("X-Mailer-Note: kept");
    m.Headers().Add("Content-Type: text/html");
    m.Headers().Add(" folded continuation");
    QByteArrayList lines = EncodedLines(m);
    EXPECT_EQ(lines.mid(2, 5), (QByteArrayList{"Return-Receipt-To: <me@example.org>",
                                               "X-Priority: 1", "X-Mailer-Note: kept",
                                               "Subject:  example.com Internic DOMAIN Registration",
                                               "Mime-Version: 1.0"}));
    // The standard fields were taken out of the list itself, continuation lines with them.
    EXPECT_EQ(m.Headers().Lines(), QStringList{"X-Mailer-Note: kept"});
    m.SetPriority(ptLow);
    EXPECT_EQ(EncodedLines(m)[3], "X-Priority: 5");
}

TEST(MessageText, EmptySubjectWritesNoSubjectLine) {
    TmsMessage m;
    Fill(m);
    m.SetSubject("");
    EXPECT_FALSE(Encoded(m).contains("Subject"));
}

TEST(MessageText, A256CharacterLineSwitchesTheBodyToQuotedPrintable) {
    TmsMessage m;
    Fill(m, {QString(255, 'x'), "cafe"});
    QByteArray text = Encoded(m);
    EXPECT_TRUE(text.contains("Content-Transfer-Encoding: 7bit\r\n"));
    EXPECT_TRUE(text.contains("\r\ncafe\r\n"));

    m.SetBody({QString(256, 'y'), ".dot first"});
    QByteArrayList lines = EncodedLines(m);
    EXPECT_EQ(lines[5], "Content-Transfer-Encoding: quoted-printable");
    EXPECT_EQ(lines[7], QByteArray(65, 'y') + "=");
    EXPECT_EQ(lines[10], QByteArray(61, 'y'));
    EXPECT_EQ(lines[11], "..dot first");
}

TEST(MessageText, LatinCharsetAlwaysGoesQuotedPrintable) {
    TmsMessage m;
    Fill(m, {"caf\u00e9"});
    m.SetCharSet(csISO8859);
    QByteArrayList lines = EncodedLines(m);
    EXPECT_EQ(lines[4], "Content-Type: text/plain; charset=\"iso-8859-1\"");
    EXPECT_EQ(lines[5], "Content-Transfer-Encoding: quoted-printable");
    // Latin-1 bytes under the Latin-1 label; a character outside it becomes one "?".
    EXPECT_EQ(lines[7], "caf=E9");
    m.SetBody({"\u20ac 5, \u00fcber \U0001F600!"});
    EXPECT_EQ(EncodedLines(m)[7], "? 5, =FCber ?!");
    // Under US-ASCII a body that is not ASCII is never labelled as ASCII: it goes as UTF-8,
    // quoted-printable, short lines and all.
    m.SetCharSet(csUSASCII);
    lines = EncodedLines(m);
    EXPECT_EQ(lines[4], "Content-Type: text/plain; charset=\"utf-8\"");
    EXPECT_EQ(lines[5], "Content-Transfer-Encoding: quoted-printable");
    EXPECT_EQ(lines[7], "=E2=82=AC 5, =C3=BCber =F0=9F=98=80!");
}

TEST(MessageText, LineEndsInsideABodyLineCannotEndTheDataEarly) {
    TmsMessage m;
    Fill(m, {"a\r\n.\r\nMAIL FROM:<x>", "b\nc\rd"});
    QByteArray text = Encoded(m);
    QByteArray body = text.mid(text.indexOf("\r\n\r\n") + 4);
    EXPECT_EQ(body, "a\r\n..\r\nMAIL FROM:<x>\r\nb\r\nc\r\nd\r\n");
    EXPECT_FALSE(text.contains("\r\n.\r\n"));
    // Every line end on the wire is CR LF.
    EXPECT_EQ(text.count('\n'), text.count("\r\n"));
    EXPECT_EQ(text.count('\r'), text.count("\r\n"));
    // Header values cannot start lines of their own either.
    m.SetSubject("hi\r\nBcc: victim@x");
    EXPECT_TRUE(Encoded(m).contains("Subject:  hi  Bcc: victim@x\r\n"));
}

TEST(MessageText, UuEncodingWritesNoMimeFieldsAndFramesEachAttachment) {
    TmsMessage m;
    Fill(m, {"see attached"});
    m.SetEncoding(meUU);
    TmsAttItem& a = m.Attachments().Add();
    a.SetFileName("/some/folder/data.bin");
    a.Data() = "Cat";
    QByteArray text = Encoded(m);
    EXPECT_FALSE(text.contains("Mime-Version"));
    EXPECT_FALSE(text.contains("Content-Type"));
    EXPECT_TRUE(
        text.endsWith("\r\n\r\nsee attached\r\n\r\nbegin 600 data.bin\r\n#0V%T\r\n`\r\nend\r\n"));
}

TEST(MessageText, ContentTypeFollowsTheMessageContent) {
    TmsMessage m;
    EXPECT_EQ(m.ContentType(), "text/plain");
    m.SetContentType("TEXT/HTML");
    EXPECT_EQ(m.ContentType(), "text/plain"); // no body, no attachment
    m.SetBody({"x"});
    EXPECT_EQ(m.ContentType(), "text/plain"); // rule 4 stored text/plain
    m.SetContentType("Text/Enriched");
    EXPECT_EQ(m.ContentType(), "text/enriched");
    m.Attachments().Add().SetFileName("a.gif");
    EXPECT_EQ(m.ContentType(), "multipart/mixed");
    m.Body().clear();
    EXPECT_EQ(m.ContentType(), "image/gif");
    m.Attachments().Items(0).SetFileName("_htmbody.htm");
    EXPECT_EQ(m.ContentType(), "text/html");
    m.Attachments().Items(0).SetFileName("_rtfbody.rtf");
    EXPECT_EQ(m.ContentType(), "text/rtf");
    m.Attachments().Items(0).SetFileName("_alt.plain.txt");
    m.Attachments().Add().SetFileName("_ALT.html.htm");
    EXPECT_EQ(m.ContentType(), "multipart/alternative");
    m.SetEncoding(meUU);
    EXPECT_EQ(m.ContentType(), "");
}

TEST(MessageText, AttachmentTypesPickTheirEncodings) {
    TmsAttItem item;
    item.SetFileName("notes.TXT");
    EXPECT_EQ(item.ContentType(), "text/plain");
    EXPECT_EQ(item.Encoding(), aeQuotedPrintable);
    item.SetFileName("mail.eml");
    EXPECT_EQ(item.Encoding(), aeNone);
    item.SetFileName("blob.unknownext");
    EXPECT_EQ(item.ContentType(), "application/octet-stream");
    EXPECT_EQ(item.Encoding(), aeBase64);
}

TEST(MessageText, MultipartNestsTheLeadingAlternativeParts) {
    TmsMessage m;
    Fill(m, {"body text"});
    TmsAttItem& plain = m.Attachments().Add();
    plain.SetFileName("_alt.text.txt");
    plain.Data() = "plain version";
    TmsAttItem& gif = m.Attachments().Add();
    gif.SetFileName("pic.gif");
    gif.Data() = "GIF89a";
    QByteArrayList lines = EncodedLines(m);
    QByteArray outer = lines[4].mid(lines[4].indexOf("boundary=\"") + 10, 8);
    EXPECT_EQ(lines[4], "Content-Type: multipart/mixed; boundary=\"" + outer + "\"");
    EXPECT_EQ(outer.size(), 8);
    QByteArrayList expected{"",
                            "This is a multipart message in MIME format",
                            "",
                            "--" + outer,
                            "Content-Type: text/plain; charset=\"us-ascii\"",
                            "Content-Transfer-Encoding: 7bit",
                            "",
                            "body text",
                            "",
                            "--" + outer};
    EXPECT_EQ(lines.mid(5, expected.size()), expected);
    const qsizetype at = 5 + expected.size();
    ASSERT_TRUE(lines[at].startsWith("Content-Type:  multipart/alternative; boundary=\""));
    QByteArray inner = lines[at].mid(lines[at].indexOf("=\"") + 2, 8);
    QByteArrayList rest{"Content-Transfer-Encoding: 7bit",
                        "",
                        "--" + inner,
                        "Content-Type: text/plain",
                        "Content-Transfer-Encoding: Quoted-Printable",
                        "",
                        "plain version",
                        "",
                        "--" + inner + "--",
                        "",
                        "--" + outer,
                        "Content-Type: image/gif; name=\"pic.gif\"",
                        "Content-Transfer-Encoding: Base64",
                        "Content-Disposition: attachment; filename=\"pic.gif\"",
                        "",
                        "R0lGODlh",
                        "",
                        "--" + outer + "--"};
    EXPECT_EQ(lines.mid(at + 1), rest);
}

TEST(MessageText, ValidationNamesWhatIsMissing) {
    TmsMessage m;
    EXPECT_EQ(MessageOf([&] { m.Validate(); }), "The address of sender is required");
    m.Sender().SetAddress("me@x");
    m.Recipients().AddAddress("");
    EXPECT_EQ(MessageOf([&] { m.Validate(); }),
              "At least one Recipient, CC or BCC must be entered");
    m.BCC().AddAddress("hidden@x");
    EXPECT_EQ(MessageOf([&] { m.Validate(); }), "(no error)");

    TmsArticle article;
    article.Sender().SetAddress("me@x");
    EXPECT_EQ(MessageOf([&] { article.Validate(); }), "Newsgroup header is required");
    article.SetNewsGroups("comp.test");
    EXPECT_EQ(MessageOf([&] { article.Validate(); }), "Subject header is required");
}

TEST(MessageText, ArticleHeaderNamesTheNewsgroups) {
    TmsArticle a;
    a.Sender().SetAddress("me@x");
    a.Sender().SetName("A. Poster");
    a.SetNewsGroups("comp.test");
    a.SetSubject("hello");
    a.SetBody({"text"});
    QByteArrayList lines = EncodedLines(a);
    EXPECT_EQ(lines.mid(0, 4),
              (QByteArrayList{"From:     A. Poster <me@x>", "Newsgroups: comp.test",
                              "Subject:  hello", "Mime-Version: 1.0"}));
}

TEST(MessageText, ShortTextsAreCutAt255CharactersAndClearResetsEverything) {
    TmsMessage m;
    Fill(m);
    m.SetSubject(QString(300, 's'));
    EXPECT_EQ(m.Subject().size(), 255);
    m.Sender().SetName(QString(254, 'n') + QString::fromUcs4(U"\U0001F600"));
    EXPECT_EQ(m.Sender().Name(), QString(254, 'n')); // never half a character
    m.CC().AddAddress("c@x");
    m.Headers().Add("X-A: b");
    m.Clear();
    EXPECT_TRUE(m.Body().isEmpty());
    EXPECT_TRUE(m.Subject().isEmpty());
    EXPECT_TRUE(m.Sender().Address().isEmpty());
    EXPECT_EQ(m.Recipients().Count() + m.CC().Count() + m.BCC().Count(), 0);
    EXPECT_EQ(m.Headers().Count(), 0);
}

TEST(ReceivedMessage, AddressTextsParseInTheirThreeForms) {
    TmsMailAddress a = ParseMailAddress(" \"Doe, John\" <john@x.org> ");
    EXPECT_EQ(a.Name(), "Doe, John");
    EXPECT_EQ(a.Address(), "john@x.org");
    a = ParseMailAddress("jane@x.org (Jane Roe)");
    EXPECT_EQ(a.Address(), "jane@x.org");
    EXPECT_EQ(a.Name(), "Jane Roe");
    a = ParseMailAddress("bare@x.org");
    EXPECT_EQ(a.Address(), "bare@x.org");
    EXPECT_TRUE(a.Name().isEmpty());
    EXPECT_EQ(MessageOf([] { ParseMailAddress("Broken <x@y"); }), "Unable to parse email address");
    EXPECT_EQ(SplitAddressList("\"A, B\" <a@x>, c@x"), (QStringList{"\"A, B\" <a@x>", " c@x"}));
}

TEST(ReceivedMessage, AnEncodedMessageReadsBackIntoTheSameParts) {
    TmsMessage sent;
    Fill(sent, {"first", "second"});
    sent.Recipients().AddAddress("two@x", "Two");
    sent.CC().AddAddress("cc@x");
    sent.SetPriority(ptHigh);
    TmsAttItem& att = sent.Attachments().Add();
    att.SetFileName("data.bin");
    att.Data() = QByteArray("\x00\x01\xFFpayload", 10);
    QByteArray text = Encoded(sent);

    TmsMessage got;
    QBuffer buffer(&text);
    buffer.open(QIODevice::ReadOnly);
    got.DecodeFromStream(buffer);
    EXPECT_EQ(got.Sender().Address(), "me@example.org");
    EXPECT_EQ(got.Sender().Name(), "Me Myself");
    ASSERT_EQ(got.Recipients().Count(), 2);
    EXPECT_EQ(got.Recipients().Items(1).Name(), "Two");
    ASSERT_EQ(got.CC().Count(), 1);
    EXPECT_EQ(got.Subject(), sent.Subject());
    EXPECT_EQ(got.Priority(), ptHigh);
    EXPECT_EQ(got.Body(), (QStringList{"first", "second"}));
    ASSERT_EQ(got.Attachments().Count(), 1);
    EXPECT_EQ(got.Attachments().Items(0).FileName(), "data.bin");
    EXPECT_EQ(got.Attachments().Items(0).Data(), att.Data());
}

TEST(ReceivedMessage, HeadersAreUnfoldedAndEncodedWordsDecoded) {
    QByteArray text = "From: =?iso-8859-1?Q?Ren=E9_Dupont?= <rene@x>\r\n"
                      "Subject: =?utf-8?B?SGVsbG8gV8O2cmxk?=\r\n"
                      "  continued\r\n"
                      "Return-receipt-to: <rene@x>\r\n"
                      "Content-Type: text/plain; name=\"=?x?Q?keep?=\"\r\n"
                      "Content-Transfer-Encoding: quoted-printable\r\n"
                      "\r\n"
                      "soft=\r\n"
                      " break=3D\r\n";
    QBuffer buffer(&text);
    buffer.open(QIODevice::ReadOnly);
    TmsMessage m;
    m.DecodeFromStream(buffer);
    EXPECT_EQ(m.Sender().Name(), QString::fromUtf8("Ren\xC3\xA9 Dupont"));
    EXPECT_EQ(m.Subject(), QString::fromUtf8("Hello W\xC3\xB6rld continued"));
    EXPECT_TRUE(m.ReturnReceipt());
    EXPECT_TRUE(m.Headers().FieldValue("content-type").contains("=?x?Q?keep?="));
}

TEST(ReceivedMessage, UnparsableTextIsKeptAsAnAttachment) {
    QByteArray text = "From: Broken <nobody@x\r\n\r\nbody\r\n";
    QBuffer buffer(&text);
    buffer.open(QIODevice::ReadOnly);
    TmsMessage m;
    m.DecodeFromStream(buffer);
    EXPECT_EQ(m.Body(),
              (QStringList{"The following error has been occured while processing the message:",
                           "Unable to parse email address",
                           "The original message will be stored as an attachment"}));
    ASSERT_EQ(m.Attachments().Count(), 1);
    EXPECT_EQ(m.Attachments().Items(0).FileName(), "original.eml");
    EXPECT_EQ(m.Attachments().Items(0).ContentType(), "message/rfc822");
    EXPECT_EQ(m.Attachments().Items(0).Data(), text);
}
