#pragma once
// Mailing a registration: what a page's mail button does, apart from the window, so that the window
// and `regiscribe-cli submit` run the same steps. The name is checked, the send confirmed, the
// template written afresh and its lines loaded into the page's holding memo; "PGP" as the
// authorization scheme stops there. Otherwise the message gets the registry's mailbox as its one
// recipient, the subject and the template's lines, the SMTP client sends it, and after a send
// without error the page's name list is brought up to date.
#include "mail/submissionstatus.h"
#include "templates/templatefiles.h"

#include <QStringList>
#include <functional>
#include <optional>

class QObject;
class TmsMessage;
class TmsSMTP;

// One press of a mail button.
struct SubmissionRequest {
    Record record;       // the page's record as it stands
    QString mailTo;      // the registry's mailbox: the message's one recipient
    bool confirm = true; // ask the confirmation box first (the companion does not)
    // The confirmation lists the required items left empty (templates/requireditems.h), and No
    // is then its default.
    bool listEmptyRequired = false;
    // Run before the confirmation box (the name server check); returning false stops there,
    // nothing written or sent. May be empty.
    std::function<bool(const Record& record)> beforeConfirmation;
    // Receives the written template's lines: the page's holding memo. May be empty.
    std::function<void(const QStringList& lines)> loadHolder;
    // The record store's name-list step, run the moment the server accepts the message (a send
    // that fails before leaves the list as it was). May be empty.
    std::function<void(const Record& record, const TemplateFiles& files)> updateNameList;
    // Run right before the message is sent, once it is sure that one will be (the password is
    // found here); returning false stops without sending. May be empty.
    std::function<bool()> beforeSending;
    // The PGP scheme's signature: the signed lines to mail instead of the template's, or nothing
    // when no signing key is set (the PGP box then shows and nothing is mailed). A failure is
    // raised with its message; nothing is mailed then either. May be empty: no signing.
    std::function<std::optional<QStringList>(const Record& record, const QStringList& lines)>
        signTemplate;
    // With it, the PGP box (no signing key) tells where a key is chosen and offers a button that
    // runs this. May be empty: the box as described, alone.
    std::function<void()> chooseSigningKey;
    // The key that signed the message, as the sent log keeps it ("0x... (holder)"); asked only
    // after a signed send. May be empty.
    std::function<QString()> signer;
};

enum class SubmissionOutcome {
    NoName,   // the empty-name box was shown; nothing written
    Declined, // No at the confirmation; nothing written
    Pgp,      // the template was written and the PGP box shown; nothing mailed (no signing key)
    Sent,     // the server accepted the message and the name list was updated
    Busy,     // a send was already in progress; nothing done
};

class TSubmission {
public:
    // The client and the message are the window's (or the companion's); their server, sender and
    // the client's event wiring are left to the owner.
    TSubmission(TmsSMTP& smtp, TmsMessage& message, SubmissionDisplay& display);
    TSubmission(const TSubmission&) = delete;
    TSubmission& operator=(const TSubmission&) = delete;

    // The mail button. `files` receives the paths the writer sets, also when writing fails. A
    // failure of the writer or of the send is raised with its message after the client has closed
    // its connection; the name list is then left as it was.
    SubmissionOutcome Submit(const SubmissionRequest& request, TemplateFiles& files);

    // A client event: the bar and status line of the domain, host and contact page in this order,
    // with the information sound after "Message has been sent" and, when the message of this send
    // was accepted, the sent box between the host and the contact page at "Connection closed".
    void ShowStage(SmtpStage stage);

    bool Busy() const { return busy_; }
    // Whether the server accepted the message of the send in progress (or of the last send).
    bool MessageAccepted() const { return accepted_; }
    // Told when a send starts (true) and when it ends, however it ends (false).
    std::function<void(bool busy)> OnBusyChanged;

private:
    void FillMessage(const SubmissionRequest& request, const QStringList& body);
    // Sends a copy of the message with its date, identifier and checked addresses; once the
    // server accepts it, keeps the text in the sent folder and updates the name list.
    void SendMessage(const SubmissionRequest& request, const TemplateFiles& files, bool signedBody);
    void ShowOnEveryPage(const QString& status);

    TmsSMTP& smtp_;
    TmsMessage& message_;
    SubmissionDisplay& display_;
    bool busy_ = false;
    bool accepted_ = false;
};

// Routes the client's OnOpen ... OnCancel to ShowStage (for owners without handlers of their own).
void ConnectStageEvents(TmsSMTP& smtp, TSubmission& flow);
