#include "replies/mailboxsession.h"

#include "mail/tlschannel.h"
#include "platform/fullstop.h"
#include "platform/module.h"
#include "platform/peertext.h"
#include "replies/imapanswer.h"
#include "replies/imapbackend.h"

namespace {
QString Peer(const QString& text) {
    return PeerText(text, PeerTextLines::Escape);
}

// The server's last line (its tagged status) of a transcript.
QString LastLine(const QByteArray& transcript) {
    const QList<QByteArray> lines = transcript.trimmed().split('\n');
    return Peer(QString::fromUtf8(lines.back().trimmed()));
}

QString SignInRefusedText(const MailboxEndpoint& mailbox) {
    return "The mailbox server " + Peer(mailbox.server) + " refused the user name " +
           Peer(mailbox.user) + " or its password.";
}

QString FailureText(const ImapAnswer& answer, const MailboxEndpoint& mailbox) {
    using O = ImapAnswer::Outcome;
    const QString server = Peer(mailbox.server);
    switch (answer.outcome) {
    case O::Ok:
        break;
    case O::CannotConnect:
        return "The mailbox server " + server + " could not be reached (" + Peer(answer.detail) +
               ").";
    case O::SecureFailed:
        return "No secure connection to " + server + " could be made, so no password was sent (" +
               Peer(answer.detail) + ").";
    case O::CertificateRejected:
        return "The server's certificate was not accepted: " +
               TTlsChannel::CertificateProblem(answer.certificateCode) + ".";
    case O::NoStartTls:
        return "The server " + server + " does not offer STARTTLS, so no password was sent.";
    case O::SignInRefused:
        return SignInRefusedText(mailbox);
    case O::NoMailbox:
        return "The folder " + Peer(mailbox.folder) + " could not be opened on " + server + ".";
    case O::CommandRefused:
        return "The mailbox server refused a command: " + LastLine(answer.transcript);
    case O::TimedOut:
        return "The mailbox server " + server + " did not answer in time.";
    case O::TooLong:
        return "The mailbox server's answer was too long.";
    case O::Cancelled:
        return QStringLiteral("The check was cancelled.");
    case O::Failed:
        break;
    }
    return WithFullStop("The mailbox could not be read: " + Peer(answer.detail));
}
} // namespace

bool IsSignInRefusal(const QString& failure, const MailboxEndpoint& mailbox) {
    return failure.endsWith(SignInRefusedText(mailbox));
}

MailboxSession::MailboxSession(const MailboxEndpoint& mailbox, ImapSession* session)
    : mailbox_(mailbox), session_(session) {}

MailboxSession::~MailboxSession() = default;

Result<std::unique_ptr<MailboxSession>> MailboxSession::Open(const MailboxEndpoint& mailbox,
                                                             const QString& password) {
    try {
        CheckTrustAnchors();
    } catch (const ETlsError& e) {
        return Fail(e.Message());
    }
    Result<ImapBackend*> backend =
        SharedModuleInterface<ImapBackend>(ImapModuleName, ImapModuleEntry);
    if (!backend) return Fail("The mailbox cannot be read: " + backend.Error());
    ImapAccount account;
    account.host = mailbox.host;
    account.port = mailbox.port;
    account.implicitTls = mailbox.implicitTls;
    account.user = mailbox.user;
    account.password = password;
    account.mailbox = ImapMailboxName(mailbox.folder);
    account.caFile = qgetenv("REGISCRIBE_CA_FILE");
    return std::unique_ptr<MailboxSession>(
        new MailboxSession(mailbox, backend.Value()->Open(account)));
}

Result<QByteArray> MailboxSession::Command(const QByteArray& command, const CancelToken& token) {
    if (token.Cancelled()) return Fail("The check was cancelled.");
    const ImapAnswer answer = session_->Command(command, token.WakeDescriptor());
    if (answer.outcome != ImapAnswer::Outcome::Ok) return Fail(FailureText(answer, mailbox_));
    return answer.transcript;
}
