// regiscribe-cli message / send / encode / decode: the companion's view of the mail code.
#include "support/process.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

TEST(MailCli, MessagePrintsTheEncodedTextWithLfLineEnds) {
    ProcessResult r = RunCli({"message", "--from", "me@x", "--name", "A. B", "--to", "R <r@x>",
                              "--to", "s@x", "--subject", "Sub", "--date",
                              "Tue, 08 Dec 2026 22:31:05 +0100", "--message-id", "1f@x"},
                             {}, "first\r\n.second\nthird");
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    // The described text, with the date and identifier between the addresses and the subject.
    EXPECT_EQ(r.out, "From:     \"A. B\" <me@x>\n"
                     "To:       R <r@x>,\n"
                     "           <s@x>\n"
                     "Date: Tue, 08 Dec 2026 22:31:05 +0100\n"
                     "Message-ID: <1f@x>\n"
                     "Subject:  Sub\n"
                     "Mime-Version: 1.0\n"
                     "Content-Type: text/plain; charset=\"us-ascii\"\n"
                     "Content-Transfer-Encoding: 7bit\n"
                     "\n"
                     "first\n"
                     "..second\n"
                     "third\n");
}

TEST(MailCli, MessageIdTakesTheHeaderFormAndEightBitSendsTheTextAsTyped) {
    const QStringList base{
        "message", "--from", "me@x", "--to", "r@x", "--date", "Tue, 08 Dec 2026 22:31:05 +0100"};
    for (const char* id : {"1f@x", "<1f@x>"}) {
        const ProcessResult r = RunCli(base + QStringList{"--message-id", id}, {}, "b");
        ASSERT_EQ(r.exitCode, 0) << r.err.constData();
        EXPECT_TRUE(r.out.contains("\nMessage-ID: <1f@x>\nSubject") ||
                    r.out.contains("\nMessage-ID: <1f@x>\nMime-Version"))
            << r.out.constData();
    }
    for (const char* id : {"<1f@x", "1f@x>", "a b@x", "x@", "@x", "1f@x@y", "<<1f@x>>"})
        EXPECT_EQ(RunCli(base + QStringList{"--message-id", id}, {}, "b").exitCode, 2) << id;

    const auto tail = [&](const QByteArray& body) {
        const ProcessResult r = RunCli(base + QStringList{"--8bit"}, {}, body);
        EXPECT_EQ(r.exitCode, 0) << r.err.constData();
        return r.out.mid(r.out.indexOf("Content-Type:"));
    };
    EXPECT_EQ(tail("M\xc3\xbcller =\n. dot\n"), "Content-Type: text/plain; charset=\"utf-8\"\n"
                                                "Content-Transfer-Encoding: 8bit\n"
                                                "\n"
                                                "M\xc3\xbcller =\n"
                                                ".. dot\n");
    // Lines of 256 to 998 bytes go as they are; a longer one sends the text quoted-printable.
    EXPECT_EQ(tail(QByteArray(998, 'a')), "Content-Type: text/plain; charset=\"us-ascii\"\n"
                                          "Content-Transfer-Encoding: 7bit\n\n" +
                                              QByteArray(998, 'a') + "\n");
    EXPECT_TRUE(tail("\xc3\xa9" + QByteArray(997, 'a'))
                    .startsWith("Content-Type: text/plain; charset=\"utf-8\"\n"
                                "Content-Transfer-Encoding: quoted-printable\n\n=C3=A9"));
}

TEST(MailCli, IncompleteMessagesAndBadInputFailInTheMessageBoxWords) {
    ProcessResult r = RunCli({"message", "--to", "r@x"}, {}, "body");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "The address of sender is required.\n");
    r = RunCli({"message", "--from", "me@x"}, {}, "body");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "At least one Recipient, CC or BCC must be entered.\n");
    r = RunCli({"message", "--from", "me@x", "--to", "Broken <r@x"}, {}, "body");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Unable to parse email address.\n");
    ScopedWorkDir dir;
    r = RunCli({"message", "--from", "me@x", "--to", "r@x", "missing.txt"}, dir.path());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(r.err.isEmpty());
    r = RunCli({"message", "--from", "me@x", "--to", "r@x", "--bogus"});
    EXPECT_EQ(r.exitCode, 2);
}

TEST(MailCli, SendReportsEachStageAndTheFailure) {
    ProcessResult r = RunCli({"send", "--server", "", "--from", "me@x", "--to", "r@x"}, {}, "x");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Server property is required.\n");
    r = RunCli({"send", "--server", "127.0.0.1:x", "--timeout", "0", "--from", "me@x"});
    EXPECT_EQ(r.exitCode, 2);
}

TEST(MailCli, EncodersAndDecodersRoundTrip) {
    QByteArray bytes;
    for (int i = 0; i < 1000; ++i)
        bytes += char(i * 7);
    ProcessResult b64 = RunCli({"encode", "base64"}, {}, bytes);
    ASSERT_EQ(b64.exitCode, 0);
    EXPECT_EQ(b64.out.split('\n').front().size(), 76);
    ProcessResult back = RunCli({"decode", "base64"}, {}, b64.out);
    EXPECT_EQ(back.out, bytes);

    const QByteArray text = QByteArray(100, 'q') + " tab\there =\r\nsecond line\xE9\r\n";
    ProcessResult qp = RunCli({"encode", "qp"}, {}, text);
    EXPECT_EQ(qp.out, QByteArray(65, 'q') + "=\n" + QByteArray(35, 'q') +
                          " tab=09here =3D\nsecond line=E9\n");
    EXPECT_EQ(RunCli({"decode", "qp"}, {}, qp.out).out, text);

    ProcessResult uu = RunCli({"encode", "uu"}, {}, "Cat");
    EXPECT_EQ(uu.out, "#0V%T\n");

    ProcessResult bad = RunCli({"decode", "base64"}, {}, "a*b\n");
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(bad.err, "Invalid Character.\n");
    EXPECT_EQ(RunCli({"encode", "rot13"}).exitCode, 2);
    EXPECT_EQ(RunCli({"decode", "uu"}).exitCode, 2);
}
