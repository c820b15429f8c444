#pragma once
// The SMTP client: one Send opens a connection to Server, greets it with HELO, transmits the
// message as one mail transaction (MAIL FROM, RCPT TO for every recipient, DATA, the text and
// "."), says QUIT and closes, firing an event at each stage.
//
// With Security set (STARTTLS or TLS) or a User, the session is the extended one of today's
// submission servers: TLS from the first byte or after STARTTLS, EHLO, and AUTH PLAIN or LOGIN
// before the same mail transaction. Without them it is exactly the plain session above, except
// that a text kept as typed which needs 8 bits (a signed template outside ASCII) greets with EHLO
// first, to learn whether the server takes 8-bit text.
#include "mail/agsocket.h"
#include "mail/mailsecurity.h"
#include "mail/msmsg.h"

class TTempFileStream;

#include <QPointer>
#include <QStringList>

// Fired when the server refuses a recipient; setting Proceed goes on with the next address.
using TmsAddressRejectedEvent = std::function<void(QObject* Sender, const QString& TheAddress,
                                                   const QString& ServerReply, bool& Proceed)>;

enum SmtpErrorCode : uint16_t { ErrMailMessageRequired = 57102 };

// A refusal of the secured session before anything was sent (see mailsecurity.h for the texts).
REGISCRIBE_EXCEPTION(EMailSecurityError, Exception)
// The server refused the user name and password (reply 535); the message is its reply.
REGISCRIBE_EXCEPTION(ESignInRefused, EServerError)

class TmsSMTP : public TmsMailBase {
public:
    explicit TmsSMTP(QObject* parent = nullptr);

    // The message to send; not owned, and cleared when that message is destroyed.
    TmsMessage* MailMessage() const { return mailMessage_.data(); }
    void SetMailMessage(TmsMessage* message) { mailMessage_ = message; }
    // When not empty, the addresses given to RCPT TO instead of the message's lists.
    QStringList& EnvelopeRecipients() { return envelopeRecipients_; }

    TMailSecurity Security() const { return security_; }
    void SetSecurity(TMailSecurity security) { security_ = security; }
    // The login name for AUTH; empty signs in as nobody.
    const QString& User() const { return user_; }
    void SetUser(const QString& user) { user_ = user; }
    // The password for User; never stored by the client beyond its own life.
    void SetPassword(const QString& password) { password_ = password; }
    bool HasPassword() const { return !password_.isEmpty(); }
    // Whether the extended session is used (Security set, or a User).
    bool Extended() const { return security_ != TMailSecurity::None || !user_.isEmpty(); }

    TNotifyEvent OnPrepare;  // before the message is encoded
    TNotifyEvent OnSending;  // before the envelope commands
    TNotifyEvent OnMailSent; // the server accepted the message text
    // Called the moment the server has accepted the message text, before OnMailSent: what must
    // outlive the program (the kept copy) is written here, before any box can wait for the user.
    std::function<void()> OnAccepted;
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

    // The server's reply to the final "." of the last accepted message ("250 2.0.0 Ok: queued as
    // 4ABCD"); empty when none was accepted.
    const QString& AcceptReply() const { return acceptReply_; }
    // With KeepSentText set, SentText holds the last accepted message's text as it went after
    // DATA: CR LF line ends, without the dot-stuffing and the final ".".
    void SetKeepSentText(bool keep) { keepSentText_ = keep; }
    const QByteArray& SentText() const { return sentText_; }

    // Fails with "Server property is required" before OnOpen when Server is empty, refuses a User
    // without Security (a password is never sent in the clear) and, for a secured session,
    // trust anchors that cannot be read; then Reset and the transport's Open.
    void Open() override;

    // Connects, greets, secures, signs in and says QUIT, sending no mail: the Mail Security
    // dialog's Test. Raises what Send would raise for those steps.
    void Probe();

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
    // EHLO, keeping the extensions the server offers.
    void Ehlo(const QString& name);
    // AUTH PLAIN or LOGIN; a 535 raises ESignInRefused.
    void Authenticate();
    void SignIn();
    bool Accepted(int code, int digit) const { return code >= 0 && code / 100 == digit; }
    // Whether the message is a text kept as typed that only 8-bit transport carries as it is.
    bool MessageNeedsEightBit() const;

    QPointer<TmsMessage> mailMessage_;
    TMailSecurity security_ = TMailSecurity::None;
    QString user_;
    QString password_;
    QStringList extensions_;
    bool mailAccepted_ = false;
    bool eightBitBody_ = false;
    bool keepSentText_ = false;
    QString acceptReply_;
    QByteArray sentText_;
    QString farewellProblem_;
    QStringList envelopeRecipients_;
};
