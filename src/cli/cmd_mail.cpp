// regiscribe-cli message / send / encode / decode: the message component, the SMTP client and the
// content encoders without a window.
#include "cli/command.h"
#include "cli/securemail.h"
#include "cli/textinput.h"
#include "mail/lineencoders.h"
#include "mail/mailstatus.h"
#include "mail/msmsg.h"
#include "mail/mssmtp.h"
#include "mail/outgoing.h"
#include "mail/quotedprintable.h"
#include "mail/sentcopy.h"
#include "mail/submissiontexts.h"
#include "platform/fullstop.h"
#include "platform/peertext.h"

#include <QBuffer>
#include <QRegularExpression>
#include <cstdio>

namespace {
void WriteOut(CliContext& c, const QByteArray& bytes) {
    c.out.flush();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

int Fail(CliContext& c, const Exception& e) {
    // A refusal carries the server's words.
    c.err << PeerText(WithFullStop(e.Message())) << '\n';
    return CliFailed;
}

// The message the options describe; the body from FILE or standard input.
void FillMessage(CliContext& c, TmsMessage& message) {
    const QString from = TakeOption(c.args, "--from");
    const QString name = TakeOption(c.args, "--name");
    const QStringList to = TakeOptionValues(c.args, "--to");
    const QStringList cc = TakeOptionValues(c.args, "--cc");
    const QStringList bcc = TakeOptionValues(c.args, "--bcc");
    const QString subject = TakeOption(c.args, "--subject");
    RejectUnknownOptions(c.args);
    c.args.removeAll("--");
    if (c.args.size() > 1) throw CliUsageError{"expects at most one FILE"};

    message.Sender().SetAddress(from);
    message.Sender().SetName(name);
    auto add = [](TmsAddressList& list, const QStringList& texts) {
        for (const QString& text : texts) {
            TmsMailAddress a = ParseMailAddress(text);
            list.AddAddress(a.Address(), a.Name());
        }
    };
    add(message.Recipients(), to);
    add(message.CC(), cc);
    add(message.BCC(), bcc);
    message.SetSubject(subject);
    message.SetBody(
        TextLines(c.args.isEmpty() ? ReadStandardInput() : ReadFileBytes(c.args.front())));
}

// --date and --message-id: the two fields fixed for reproducible output.
OutgoingStamp TakeStamp(CliContext& c) {
    OutgoingStamp stamp;
    stamp.date = TakeOption(c.args, "--date");
    if (!stamp.date.isEmpty() && !QDateTime::fromString(stamp.date, Qt::RFC2822Date).isValid())
        throw CliUsageError{"--date needs an RFC 5322 date such as \"Tue, 08 Dec 2026 22:31:05 "
                            "+0100\", not " +
                            stamp.date};
    const QString id = TakeOption(c.args, "--message-id");
    if (!id.isEmpty()) {
        // As users copy it from a header, with its angle brackets, or without them.
        const QString bare = id.startsWith('<') && id.endsWith('>') ? id.mid(1, id.size() - 2) : id;
        const qsizetype at = bare.indexOf('@');
        if (bare.contains(QRegularExpression("[\\s<>\\x00-\\x1f\\x7f]")) || at <= 0 ||
            at != bare.lastIndexOf('@') || at == bare.size() - 1)
            throw CliUsageError{"--message-id needs an identifier like local@domain or "
                                "<local@domain>, not " +
                                id};
        stamp.messageId = '<' + bare + '>';
    }
    return stamp;
}

int Message(CliContext& c) {
    const OutgoingStamp stamp = TakeStamp(c);
    const bool eightBit = TakeFlag(c.args, "--8bit");
    try {
        TmsMessage filled;
        FillMessage(c, filled);
        filled.Validate();
        // As sent to a server that offers 8BITMIME, the body kept as typed (a signed text).
        filled.SetBodyAsTyped(eightBit);
        filled.SetEightBitTransport(eightBit);
        TmsMessage message;
        PrepareOutgoing(filled, message, stamp);
        QByteArray text;
        QBuffer buffer(&text);
        buffer.open(QIODevice::ReadWrite);
        message.EncodeToStream(buffer);
        text.replace("\r\n", "\n");
        WriteOut(c, text);
        return CliOk;
    } catch (const Exception& e) {
        return Fail(c, e);
    }
}

int Send(CliContext& c) {
    const QString server = TakeOption(c.args, "--server");
    const QString timeout = TakeOption(c.args, "--timeout");
    const SecureMailOptions secure = TakeSecureMailOptions(c.args, true);
    const QString copyFolder = TakeOption(c.args, "--save-copy");
    int seconds = 60;
    if (!timeout.isEmpty()) {
        bool ok = false;
        seconds = timeout.toInt(&ok);
        if (!ok || seconds <= 0) throw CliUsageError{"--timeout needs a number of seconds above 0"};
    }
    try {
        TmsMessage filled;
        FillMessage(c, filled);
        TmsMessage message;
        const OutgoingStamp stamp = PrepareOutgoing(filled, message);
        TmsSMTP smtp;
        smtp.SetWinsockLoaded(true);
        smtp.SetServer(server);
        smtp.SetTimeOut(seconds);
        smtp.SetMailMessage(&message);
        smtp.SetKeepSentText(!copyFolder.isEmpty());
        ApplySecureMail(smtp, secure, c.err);
        ShowStatusOf(smtp, [&c](const MailStatus& status) {
            c.out << status.text << '\n';
            c.out.flush();
        });
        // The copy is kept the moment the server accepts the message, with that time.
        QString copyProblem;
        if (!copyFolder.isEmpty())
            smtp.OnAccepted = [&] {
                const SentEntry entry{QDateTime::currentDateTime(),
                                      QStringLiteral("message"),
                                      QString(),
                                      message.Recipients().Count()
                                          ? message.Recipients().Items(0).Address()
                                          : QString(),
                                      stamp.messageId,
                                      smtp.AcceptReply()};
                const Result<QString> kept = KeepSentCopy(copyFolder, entry, smtp.SentText());
                if (!kept) copyProblem = kept.Error();
            };
        smtp.Send();
        if (!smtp.FarewellProblem().isEmpty()) {
            c.out << PeerText(FarewellWarning(smtp.FarewellProblem())) << '\n';
            c.out.flush();
        }
        if (!copyProblem.isEmpty()) c.out << CopyNotSavedWarning(copyProblem) << '\n';
        return CliOk;
    } catch (const Exception& e) {
        return Fail(c, e);
    }
}

int Encode(CliContext& c) {
    RejectUnknownOptions(c.args);
    if (c.args.size() != 1) throw CliUsageError{"expects qp, base64 or uu"};
    const QString kind = c.args.front();
    if (kind != "qp" && kind != "base64" && kind != "uu")
        throw CliUsageError{"unknown encoding " + kind};
    try {
        const QByteArray input = ReadStandardInput();
        if (kind == "qp") {
            WriteOut(c, EncodeQuotedPrintableText(input, '\n'));
            return CliOk;
        }
        const QByteArrayList lines =
            kind == "base64" ? EncodeBase64Lines(input) : EncodeUuLines(input);
        QByteArray out;
        qsizetype size = 0;
        for (const QByteArray& line : lines)
            size += line.size() + 1;
        out.reserve(size);
        for (const QByteArray& line : lines) {
            out += line;
            out += '\n';
        }
        WriteOut(c, out);
        return CliOk;
    } catch (const Exception& e) {
        return Fail(c, e);
    }
}

int Decode(CliContext& c) {
    RejectUnknownOptions(c.args);
    if (c.args.size() != 1) throw CliUsageError{"expects qp or base64"};
    const QString kind = c.args.front();
    if (kind != "qp" && kind != "base64") throw CliUsageError{"unknown encoding " + kind};
    try {
        // Line by line: memory does not grow with the number of lines.
        c.out.flush();
        auto write = [](QByteArrayView bytes) {
            std::fwrite(bytes.data(), 1, size_t(bytes.size()), stdout);
        };
        if (kind == "qp") {
            TQuotedPrintableDecoder decoder(write);
            ForEachLineOfStandardInput([&](QByteArrayView line) {
                decoder.Feed(line);
                decoder.Feed("\n");
            });
            decoder.Finish();
        } else {
            ForEachLineOfStandardInput(
                [&](QByteArrayView line) { write(DecodeBase64Line(line.toByteArray())); });
        }
        std::fflush(stdout);
        return CliOk;
    } catch (const Exception& e) {
        std::fflush(stdout);
        return Fail(c, e);
    }
}

const CliRegistration messageCommand{
    {"message",
     "regiscribe-cli message --from ADDR [--name TEXT] --to ADDR [--cc ADDR] [--bcc ADDR] "
     "[--subject TEXT]\n"
     "                      [--date RFC5322-DATE] [--message-id ID|<ID>] [--8bit] [FILE]",
     Message}};
const CliRegistration sendCommand{
    {"send",
     "regiscribe-cli send --server HOST[:PORT] --from ADDR [--name TEXT] --to ADDR [--cc ADDR] "
     "[--bcc ADDR] [--subject TEXT] [--timeout SECONDS]\n"
     "                      [--security none|starttls|tls] [--user NAME] [--password-command CMD]\n"
     "                      [--trace] [--save-copy DIR] [FILE]",
     Send}};
const CliRegistration encodeCommand{{"encode", "regiscribe-cli encode qp|base64|uu", Encode}};
const CliRegistration decodeCommand{{"decode", "regiscribe-cli decode qp|base64", Decode}};
} // namespace
