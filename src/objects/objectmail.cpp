#include "objects/objectmail.h"

#include "mail/msmsg.h"
#include "mail/mssmtp.h"
#include "mail/outgoing.h"
#include "mail/sentcopy.h"
#include "objects/objectsigning.h"

#include <QBuffer>

namespace {
// The password: line as the kept copy shows it.
const QString kPasswordKept = "password: (not kept)";

// The message text of `message` as the client sends it after DATA, without the dot-stuffing.
QByteArray EncodedText(TmsMessage& message) {
    QByteArray text;
    QBuffer buffer(&text);
    buffer.open(QIODevice::ReadWrite);
    message.EncodeToStream(buffer);
    QByteArrayList lines = text.split('\n');
    for (QByteArray& line : lines)
        if (line.startsWith("..")) line.remove(0, 1);
    return lines.join('\n') + "\r\n";
}
} // namespace

Done CheckMailAuthentication(const ObjectMail& mail) {
    if (mail.password) {
        if (!mail.registry.TakesPasswords())
            return Fail(mail.registry.name +
                        " takes no passwords by mail: sign the message with an OpenPGP key.");
        if (mail.password->isEmpty() || mail.password->contains('\n') ||
            mail.password->contains('\r'))
            return Fail("The maintainer password is empty or holds a line break.");
        return {};
    }
    if (mail.signingKey.isEmpty())
        return Fail(mail.registry.TakesPasswords()
                        ? "Nothing proves the message is yours: choose an OpenPGP key to sign it "
                          "or give the maintainer's password."
                        : mail.registry.name +
                              " takes signed messages only: choose an OpenPGP key to sign it.");
    return {};
}

Result<QStringList> ObjectMailBody(const ObjectMail& mail, const RuleTable& rules) {
    if (const Done ok = CheckMailAuthentication(mail); !ok) return Fail(ok.Error());
    if (mail.objects.empty()) return Fail("The message holds no object.");
    QStringList objectPart = MessageObjectLines(mail.objects, rules);
    if (!mail.signingKey.isEmpty()) {
        Result<QStringList> signedLines =
            SignObjectLines(objectPart, mail.signingKey, mail.passphraseCommand);
        if (!signedLines) return Fail(signedLines.Error());
        objectPart = signedLines.Value();
    }
    return ObjectMessageBody(mail.password, objectPart);
}

Result<ObjectMailReceipt> SendObjectMail(TmsSMTP& smtp, const TmsMailAddress& sender,
                                         const ObjectMail& mail, const RuleTable& rules) {
    const Result<QStringList> body = ObjectMailBody(mail, rules);
    if (!body) return Fail(body.Error());
    ObjectMailReceipt receipt;
    receipt.subject = ObjectMessageSubject(mail.objects, rules);
    TmsMessage outgoing;
    try {
        TmsMessage message;
        message.Sender().Assign(sender);
        message.Recipients().AddAddress(mail.registry.robot, QString());
        message.SetSubject(receipt.subject);
        message.SetContentType("text/plain");
        message.SetBody(body.Value());
        message.Validate();
        receipt.messageId = PrepareOutgoing(message, outgoing).messageId;
        // The registry has the message once the server accepts it: the copy is kept at that
        // moment, before anything else can go wrong, and carries that time.
        const OutgoingOnClient sending(smtp, outgoing, [&] {
            QByteArray kept = smtp.SentText();
            if (mail.password) {
                // The copy is the same text with the password: line left out (the server has
                // the message: nothing reads it any more).
                QStringList lines = outgoing.Body();
                lines.replace(0, kPasswordKept);
                outgoing.SetBody(lines);
                kept = EncodedText(outgoing);
            }
            const SentEntry entry{QDateTime::currentDateTime(),
                                  QStringLiteral("object"),
                                  SentCopyName(mail.objects, rules),
                                  mail.registry.robot,
                                  receipt.messageId,
                                  smtp.AcceptReply()};
            const Result<QString> copied = KeepSentCopy(SentFolderPath(), entry, kept);
            if (!copied) receipt.copyProblem = copied.Error();
        });
        smtp.Send();
    } catch (const Exception& e) {
        return Fail(e.Message());
    }
    receipt.reply = smtp.AcceptReply();
    receipt.farewellProblem = smtp.FarewellProblem();
    return receipt;
}
