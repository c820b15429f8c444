#include "mail/mssmtp.h"

#include "mail/shorttext.h"
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
} // namespace

TmsSMTP::TmsSMTP(QObject* parent) : TmsMailBase(parent) {
    SetServiceName(QStringLiteral("smtp"));
    SetDefaultPort(25);
}

void TmsSMTP::Send() {
    std::exception_ptr failure;
    try {
        Connect();
        SendMail();
    } catch (...) {
        failure = std::current_exception();
    }
    try {
        Disconnect();
    } catch (const ESocketError& e) {
        // A server that hung up after refusing us may reset the connection when our QUIT reaches
        // it; the refusal is what the caller needs to hear.
        if (!failure || e.ErrorCode() != WSAECONNRESET) failure = std::current_exception();
    } catch (...) {
        failure = std::current_exception();
    }
    if (failure) std::rethrow_exception(failure);
}

void TmsSMTP::Open() {
    if (Server().isEmpty()) RaiseSocketError(ErrServerRequired);
    Reset();
    TmsMailBase::Open();
}

void TmsSMTP::Command(const QString& command, int digit) {
    SendLine(command);
    if (!Accepted(ReadReply(), digit)) throw EServerError(LastReply());
}

void TmsSMTP::StartSession() {
    ConnectSocket();
    if (!Accepted(ReadReply(), 2)) throw EServerError(LastReply());
    const QString name = LocalHostName().isEmpty() ? HostPart() : LocalHostName();
    SendLine("HELO " + name);
    if (Accepted(ReadReply(), 2)) return;
    Command(QStringLiteral("HELO"), 2);
}

void TmsSMTP::SendMail() {
    TmsMessage* message = mailMessage_.data();
    if (!message) RaiseSocketError(ErrMailMessageRequired);
    message->Validate();
    TTempFileStream stream(QStringLiteral("ms"));
    PrepareMessage(stream);
    SendEnvelope();
    SendData(stream);
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
    Command(CutShortText("MAIL FROM:<" + message.Sender().Address() + ">"), 2);

    auto recipient = [this](const QString& address, const QString& command) {
        SendLine(command);
        if (Accepted(ReadReply(), 2)) return;
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
    Command(QStringLiteral("DATA"), 3);
}

void TmsSMTP::SendData(QIODevice& stream) {
    SendStream(stream);
    SendLine(QString());
    Command(QStringLiteral("."), 2);
}

void TmsSMTP::EndSession() {
    ProcessPendingEvents();
    // A server that has already hung up (after refusing us, say) cannot be told goodbye; the
    // farewell then ends here and the socket is simply closed.
    if (PeerHasClosed()) return;
    SendLine(QStringLiteral("QUIT"));
    const int code = ReadReply();
    if (code == -1 && PeerClosed()) return;
    if (!Accepted(code, 2)) throw EServerError(LastReply());
}
