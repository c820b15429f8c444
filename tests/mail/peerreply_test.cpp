// What a hostile server says never reaches the terminal or the log raw: a reply to the end of the
// data or a refusal holding every class of control character (C0, DEL, C1, line and paragraph
// separators, bidirectional overrides, zero-width characters, bytes that are no UTF-8) shows up
// as escapes on standard output and error, in the trace, in sent.log and in `sent`'s listing.
#include "support/mailsettings.h"
#include "support/process.h"
#include "support/scriptedserver.h"
#include "support/tempdir.h"

#include <QStringDecoder>
#include <gtest/gtest.h>

namespace {
const QByteArray kHostile = "\x1b[31mred\x1b[0m \x07\x0b\x0c" + QByteArray(1, '\0') +
                            "\x7f a\rb \xc2\x85 \xc2\x9b \xe2\x80\xa8 \xe2\x80\xae \xe2\x80\x8b "
                            "\xef\xbb\xbf \xff end";
// How each of those shows.
const QByteArray kShown = "\\x1B[31mred\\x1B[0m \\x07\\x0B\\x0C\\x00\\x7F a\\x0Db \\u{0085} "
                          "\\u{009B} \\u{2028} \\u{202E} \\u{200B} \\u{FEFF} \\xFF end";

// The characters of `bytes` that a terminal or a line reader would act on, by code point; a
// byte sequence that is no UTF-8 counts too.
QList<uint> RawControls(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    QList<uint> found;
    if (decoder.hasError()) found << 0xFFFFFFFF;
    for (const uint c : text.toUcs4()) {
        const bool control = (c < 0x20 && c != '\n' && c != '\t') || (c >= 0x7F && c <= 0x9F);
        const bool invisible = c == 0x2028 || c == 0x2029 || (c >= 0x200B && c <= 0x200F) ||
                               (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) ||
                               c == 0xFEFF || c == 0xFFFD;
        if (control || invisible) found << c;
    }
    return found;
}
} // namespace

TEST(PeerReplies, AHostileReplyReachesNeitherTerminalNorLogRaw) {
    ScopedWorkDir dir;
    ScriptedServer server([](const QByteArray& command) {
        if (command == ".") return ServerReply::Say("250 2.0.0 Ok: queued as Q1 " + kHostile);
        if (command.startsWith("RCPT TO:<refused@"))
            return ServerReply::Say("550 5.1.1 " + kHostile);
        return ScriptedServer::Usual(command);
    });
    const QString address = "127.0.0.1:" + QString::number(server.Port());
    WriteAll(dir.file("regiscribe.ini"), MailSettingsText(address));

    const ProcessResult sent =
        RunCli({"send", "--server", address, "--from", "jane@example.test", "--to",
                "hostmaster@registry.test", "--trace", "--save-copy", dir.file("copies")},
               dir.path(), "body\n");
    ASSERT_EQ(sent.exitCode, 0) << sent.err.constData();
    const ProcessResult submitted = RunCli(
        {"--settings", dir.file("regiscribe.ini"), "submit", "domain", "example.com"}, dir.path());
    ASSERT_EQ(submitted.exitCode, 0) << submitted.err.constData();
    const ProcessResult listed = RunCli({"sent"}, dir.path());
    ASSERT_EQ(listed.exitCode, 0) << listed.err.constData();
    const ProcessResult refused = RunCli({"send", "--server", address, "--from",
                                          "jane@example.test", "--to", "refused@registry.test"},
                                         dir.path(), "body\n");
    EXPECT_EQ(refused.exitCode, 1);

    const QByteArray copyLog = ReadAll(dir.file("copies/sent.log"));
    const QByteArray log = ReadAll(dir.file("sent/sent.log"));
    const struct {
        const char* what;
        QByteArray bytes;
    } outputs[] = {{"send's trace", sent.err},
                   {"submit's output", submitted.out},
                   {"submit's errors", submitted.err},
                   {"send's copy log", copyLog},
                   {"sent.log", log},
                   {"sent's listing", listed.out},
                   {"the refusal", refused.err}};
    for (const auto& o : outputs)
        EXPECT_EQ(RawControls(o.bytes), QList<uint>()) << o.what;
    // The reply is there, every character shown; one line each, six fields.
    EXPECT_TRUE(sent.err.contains("S: 250 2.0.0 Ok: queued as Q1 " + kShown + "\n"));
    EXPECT_EQ(refused.err, "550 5.1.1 " + kShown + ".\n");
    for (const QByteArray& l : {copyLog, log}) {
        ASSERT_EQ(l.count('\n'), 1) << l.constData();
        EXPECT_TRUE(l.endsWith("\t250 2.0.0 Ok: queued as Q1 " + kShown + "\n"));
        EXPECT_EQ(l.count('\t'), 5);
    }
    EXPECT_EQ(listed.out, log);
}
