#pragma once
// The SMTP client: one Send opens a connection to Server, greets it with HELO, transmits the
// message as one mail transaction (MAIL FROM, RCPT TO for every recipient, DATA, the text and
// "."), says QUIT and closes, firing an event at each stage.
#include "mail/agsocket.h"
#include "mail/msmsg.h"

class TTempFileStream;

#include <QPointer>
#include <QStringList>

// Fired when the server refuses a recipient; setting Proceed goes on with the next address.
using TmsAddressRejectedEvent = std::function<void(QObject* Sender, const QString& TheAddress,
                                                   const QString& ServerReply, bool& Proceed)>;

enum SmtpErrorCode : uint16_t { ErrMailMessageRequired = 57102 };

class TmsSMTP : public TmsMailBase {
public:
    explicit TmsSMTP(QObject* parent = nullptr);

    // The message to send; not owned, and cleared when that message is destroyed.
    TmsMessage* MailMessage() const { return mailMessage_.data(); }
    void SetMailMessage(TmsMessage* message) { mailMessage_ = message; }
    // When not empty, the addresses given to RCPT TO instead of the message's lists.
    QStringList& EnvelopeRecipients() { return envelopeRecipients_; }

    TNotifyEvent OnPrepare;  // before the message is encoded
    TNotifyEvent OnSending;  // before the envelope commands
    TNotifyEvent OnMailSent; // the server accepted the message text
    TmsAddressRejectedEvent OnAddressRejected;

    // Connect, SendMail, and Disconnect in every case. Raises the first failure (a failure of the
    // farewell replaces it). Once the server has accepted the message it has been sent: a
    // farewell that fails after that (QUIT refused or unanswered, a reset) raises nothing and is
    // told by FarewellProblem instead.
    void Send();
    // What went wrong at QUIT after the message of the last Send was accepted; empty when the
    // farewell went well or the message was not accepted.
    const QString& FarewellProblem() const { return farewellProblem_; }
    // The mail transaction on a started session.
    void SendMail();

    // Fails with "Server property is required" before OnOpen when Server is empty; then Reset and
    // the transport's Open.
    void Open() override;

protected:
    void StartSession() override;
    void EndSession() override;

private:
    void PrepareMessage(TTempFileStream& stream);
    void SendEnvelope();
    void SendData(QIODevice& stream);
    // Sends `command` and raises EServerError with LastReply unless the reply is of class `digit`.
    // `what` names the step for a server that hangs up instead of replying.
    void Command(const QString& command, int digit, const QString& what);
    // Reads a reply and raises unless it is of class `digit`: with the reply line, or, when the
    // server closed the connection without replying, with a text that says so.
    void Expect(int digit, const QString& what);
    // The failure for a reply that never came.
    [[noreturn]] void NoReply(const QString& what);
    bool Accepted(int code, int digit) const { return code >= 0 && code / 100 == digit; }

    QPointer<TmsMessage> mailMessage_;
    bool mailAccepted_ = false;
    QString farewellProblem_;
    QStringList envelopeRecipients_;
};
