#include "mail/mssmtp.h"

#include "mail/msencoder.h"
#include "mail/shorttext.h"
#include "mail/smtpextensions.h"
#include "mail/tempfilestream.h"
#include "platform/fileerror.h"
#include "platform/socketerrors.h"
#include "platform/wait.h"

#include <cerrno>
#include <exception>

namespace {
// A recipient given by the caller may not carry a line end into the command stream.
QString WithoutLineEnds(QString text) {
    return text.replace('\r', ' ').replace('\n', ' ');
}
// The encoded text as the receiver stores it: every line that begins with "." was given one more
// in front, so one comes off again.
QByteArray WithoutDotStuffing(QIODevice& stream) {
    stream.seek(0);
    QByteArray text = stream.readAll();
    QByteArray plain;
    plain.reserve(text.size());
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf('\n', start);
        end = end < 0 ? text.size() : end + 1;
        if (text[start] == '.') ++start;
        plain.append(text.constData() + start, end - start);
        start = end;
    }
    return plain;
}

QString NoAnswerToQuit() {
    return QStringLiteral("no answer (the server closed the connection)");
}
} // namespace

TmsSMTP::TmsSMTP(QObject* parent) : TmsMailBase(parent) {
    SetServiceName(QStringLiteral("smtp"));
    SetDefaultPort(25);
}

void TmsSMTP::Send() {
    mailAccepted_ = false;
    acceptReply_.clear();
    sentText_.clear();
    farewellProblem_.clear();
    std::exception_ptr failure;
    try {
        Connect();
        SendMail();
    } catch (...) {
        failure = std::current_exception();
    }
    try {
        Disconnect();
    } catch (const Exception& e) {
        if (!failure && mailAccepted_) {
            // The message went out; the farewell's trouble is only worth a mention.
            farewellProblem_ = e.Message();
        } else if (const auto* socketError = dynamic_cast<const ESocketError*>(&e);
                   !failure || !socketError || socketError->ErrorCode() != WSAECONNRESET) {
            // A server that hung up after refusing us may reset the connection when our QUIT
            // reaches it; the refusal is what the caller needs to hear.
            failure = std::current_exception();
        }
    } catch (...) {
        failure = std::current_exception();
    }
    if (failure) std::rethrow_exception(failure);
}

void TmsSMTP::Open() {
    if (Server().isEmpty()) RaiseSocketError(ErrServerRequired);
    if (!user_.isEmpty() && security_ == TMailSecurity::None)
        throw EMailSecurityError(PasswordNeedsEncryptionText());
    if (security_ != TMailSecurity::None) CheckTrustAnchors();
    SetImplicitPort(SecurityDefaultPort(security_));
    Reset();
    TmsMailBase::Open();
}

void TmsSMTP::Probe() {
    std::exception_ptr failure;
    try {
        Connect();
    } catch (...) {
        failure = std::current_exception();
    }
    try {
        Disconnect();
    } catch (...) {
        if (!failure) failure = std::current_exception();
    }
    if (failure) std::rethrow_exception(failure);
}

void TmsSMTP::Command(const QString& command, int digit, const QString& what) {
    SendLine(command);
    Expect(digit, what);
}

void TmsSMTP::Expect(int digit, const QString& what) {
    const int code = ReadReply();
    if (Accepted(code, digit)) return;
    if (code == -1 && LastReply().isEmpty()) NoReply(what);
    throw EServerError(LastReply());
}

void TmsSMTP::NoReply(const QString& what) {
    if (!PeerClosed()) throw EServerError("The server sent an empty reply to " + what);
    if (what == ".")
        throw EServerError("Connection closed by the server while waiting for its reply to the "
                           "end of the message; the message may not have been accepted");
    if (what.isEmpty())
        throw EServerError("Connection closed by the server while waiting for its greeting");
    throw EServerError("Connection closed by the server while waiting for its reply to " + what);
}

bool TmsSMTP::MessageNeedsEightBit() const {
    const TmsMessage* message = mailMessage_.data();
    return message && message->BodyAsTyped() &&
           TypedBodyTransfer(*message, true) == BodyTransfer::EightBit;
}

void TmsSMTP::StartSession() {
    extensions_.clear();
    ConnectSocket();
    if (security_ == TMailSecurity::Tls) StartTls(HostPart());
    Expect(2, QString());
    const QString name = LocalHostName().isEmpty() ? HostPart() : LocalHostName();
    if (!Extended() && MessageNeedsEightBit()) {
        // Only EHLO learns whether the server takes 8-bit text; a server that refuses it gets
        // the described HELO, and the text goes quoted-printable.
        SendLine("EHLO " + name);
        const int code = ReadReply();
        if (Accepted(code, 2)) {
            extensions_ = EhloExtensions(ReplyLines());
            return;
        }
        if (code == -1 && LastReply().isEmpty()) NoReply("EHLO");
    }
    if (Extended()) {
        Ehlo(name);
        if (security_ == TMailSecurity::StartTls) {
            // Never a silent fall-back to plain text.
            if (!Offers(extensions_, "STARTTLS"))
                throw EMailSecurityError(StartTlsNotOfferedText());
            Command(QStringLiteral("STARTTLS"), 2, "STARTTLS");
            StartTls(HostPart());
            Ehlo(name);
        }
        if (!user_.isEmpty()) Authenticate();
        return;
    }
    SendLine("HELO " + name);
    const int code = ReadReply();
    if (Accepted(code, 2)) return;
    if (code == -1 && LastReply().isEmpty()) NoReply("HELO");
    Command(QStringLiteral("HELO"), 2, "HELO");
}

void TmsSMTP::Ehlo(const QString& name) {
    Command("EHLO " + name, 2, "EHLO");
    extensions_ = EhloExtensions(ReplyLines());
}

void TmsSMTP::Authenticate() {
    try {
        SignIn();
    } catch (const EServerError& e) {
        if (ReplyCode(LastReply()) == 535) throw ESignInRefused(e.Message());
        throw;
    }
}

void TmsSMTP::SignIn() {
    if (password_.isEmpty()) throw EMailSecurityError(NoPasswordText(user_, Server()));
    const QStringList mechanisms = AuthMechanisms(extensions_);
    if (mechanisms.contains("PLAIN")) {
        SendLine("AUTH PLAIN " + QString::fromLatin1(PlainAuthResponse(user_, password_)),
                 "AUTH PLAIN ****");
        Expect(2, "AUTH");
    } else if (mechanisms.contains("LOGIN")) {
        Command(QStringLiteral("AUTH LOGIN"), 3, "AUTH");
        SendLine(QString::fromLatin1(LoginAuthResponse(user_)), "****");
        Expect(3, "AUTH");
        SendLine(QString::fromLatin1(LoginAuthResponse(password_)), "****");
        Expect(2, "AUTH");
    } else if (mechanisms.isEmpty()) {
        throw EMailSecurityError(AuthNotOfferedText());
    } else {
        throw EMailSecurityError("The server offers only " + mechanisms.join(", ") +
                                 " to sign in, which this program does not speak; nothing was "
                                 "sent.");
    }
}

void TmsSMTP::SendMail() {
    TmsMessage* message = mailMessage_.data();
    if (!message) RaiseSocketError(ErrMailMessageRequired);
    message->Validate();
    // A text kept as typed goes in 8 bits only where the server has said it takes them.
    message->SetEightBitTransport(message->BodyAsTyped() && Offers(extensions_, "8BITMIME"));
    eightBitBody_ =
        message->EightBitTransport() && TypedBodyTransfer(*message, true) == BodyTransfer::EightBit;
    TTempFileStream stream(QStringLiteral("ms"));
    PrepareMessage(stream);
    SendEnvelope();
    SendData(stream);
    mailAccepted_ = true;
    acceptReply_ = LastReply();
    // The empty line before the final "." belongs to what was sent.
    if (keepSentText_) sentText_ = WithoutDotStuffing(stream) + "\r\n";
    if (OnAccepted) OnAccepted();
    if (OnMailSent) OnMailSent(this);
}

void TmsSMTP::PrepareMessage(TTempFileStream& stream) {
    if (OnPrepare) OnPrepare(this);
    errno = 0;
    mailMessage_->EncodeToStream(stream);
    // A text that could not be written whole (a full disk, say) is never sent.
    if (!stream.flush() || stream.error() != QFileDevice::NoError)
        RaiseFileError(errno ? errno : EIO);
}

void TmsSMTP::SendEnvelope() {
    if (OnSending) OnSending(this);
    TmsMessage& message = *mailMessage_;
    // RFC 6152: 8-bit text is announced with the sender.
    Command(CutShortText("MAIL FROM:<" + message.Sender().Address() + ">") +
                (eightBitBody_ ? QStringLiteral(" BODY=8BITMIME") : QString()),
            2, "MAIL FROM");

    auto recipient = [this](const QString& address, const QString& command) {
        SendLine(command);
        const int code = ReadReply();
        if (Accepted(code, 2)) return;
        if (code == -1 && LastReply().isEmpty()) NoReply("RCPT TO");
        bool proceed = false;
        if (OnAddressRejected) OnAddressRejected(this, address, LastReply(), proceed);
        if (!proceed) throw EServerError(LastReply());
    };
    if (envelopeRecipients_.isEmpty()) {
        for (const TmsAddressList* list : {&message.Recipients(), &message.CC(), &message.BCC()})
            for (int i = 0; i < list->Count(); ++i) {
                const QString& address = list->Items(i).Address();
                recipient(address, CutShortText("RCPT TO:<" + address + ">"));
            }
    } else {
        for (const QString& entry : envelopeRecipients_) {
            const QString address = WithoutLineEnds(entry);
            recipient(address, "RCPT TO:<" + address + ">");
        }
    }
    Command(QStringLiteral("DATA"), 3, "DATA");
}

void TmsSMTP::SendData(QIODevice& stream) {
    SendStream(stream);
    SendLine(QString());
    Command(QStringLiteral("."), 2, ".");
}

void TmsSMTP::EndSession() {
    ProcessPendingEvents();
    // A server that has already hung up (after refusing us, say) cannot be told goodbye; the
    // farewell then ends here and the socket is simply closed.
    if (PeerHasClosed()) {
        if (mailAccepted_) farewellProblem_ = NoAnswerToQuit();
        return;
    }
    SendLine(QStringLiteral("QUIT"));
    const int code = ReadReply();
    if (code == -1 && PeerClosed()) {
        if (mailAccepted_) farewellProblem_ = NoAnswerToQuit();
        return;
    }
    if (!Accepted(code, 2)) {
        if (code == -1 && LastReply().isEmpty()) NoReply("QUIT");
        throw EServerError(LastReply());
    }
}
