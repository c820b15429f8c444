#pragma once
// The main window's mail buttons and the handlers of its SMTP client's events: each button mails
// its page's template through the shared submission flow, and every stage of a send moves the
// progress bar and the status line of all three registration pages. While a send is in progress
// the three mail buttons are disabled, so a second send cannot start on the busy client; the focus
// waits on the page's status line meanwhile (a disabled button passes it on, and the next button
// is Clear All) and goes back to the button that started the send when it ends.
#include "mail/submission.h"
#include "mail/ui/mailpasswords.h"
#include "mail/ui/sentdlg.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <vector>

class TForm1;
class TRecordPages;
class TSecurityDlg;
class TStore;
struct SetupSettings;

class TMailSubmission : public QObject, public SubmissionDisplay {
public:
    // Needs the window's msSMTP1 and msMessage1; follows the settings `store` holds.
    TMailSubmission(TForm1& form, const TRecordPages& pages, TStore& store);

    // A page's mail button.
    void MailPage(RecordKind kind);

    void msSMTP1Open(QObject* Sender);
    void msSMTP1Prepare(QObject* Sender);
    void msSMTP1Sending(QObject* Sender);
    void msSMTP1MailSent(QObject* Sender);
    void msSMTP1Closing(QObject* Sender);
    void msSMTP1Closed(QObject* Sender);
    void msSMTP1Cancel(QObject* Sender);

    void SetProgress(RecordKind page, int position) override;
    void SetStatus(RecordKind page, const QString& text) override;

    const TSubmission& Flow() const { return flow_; }

    // The Setup dialog's "Security..." button: the Mail Security dialog for `server`.
    void SecurityButtonClick(const QString& server);
    // The password a send needs, from memory, the keyring or the user; false when the user
    // declined to give one.
    bool PreparePassword();
    // The password a send uses without asking: kept in memory, else stored in the keyring.
    std::optional<QString> KnownPassword(const QString& user, const QString& server) const;
    TMailPasswords& Passwords() { return passwords_; }
    // Run on every Mail Security dialog before it shows: other subsystems add their groups (and
    // take them in on the dialog's accepted signal).
    std::vector<std::function<void(TSecurityDlg& dialog)>> SecurityDialogParts;
    // File > Sent Registrations's window: one that another subsystem extends, or the plain one,
    // made when first asked for.
    void SetSentWindow(TSentDlg* dialog) { sentWindow_ = dialog; }
    TSentDlg& SentWindow();

private:
    // The mail client and the message's sender as the settings say.
    void ApplySettings(const SetupSettings& settings);
    QString SigningKeySetting() const;
    // The page's scheme is PGP and no key is set to sign with: nothing will be mailed.
    bool PgpWithoutSigningKey(const Record& record) const;
    // "0x... (holder)" for the key that signs `record`.
    QString SignerOf(const Record& record) const;
    void EnableMailButtons(bool enabled);

    TForm1& form_;
    const TRecordPages& pages_;
    TStore& store_;
    QPointer<TSentDlg> sentWindow_;
    TSubmission flow_;
    TMailPasswords passwords_;
    QPointer<QWidget> parkedFrom_; // the mail button that had the focus when the send began
    QPointer<QWidget> parkedOn_;   // where the focus waits meanwhile
    QString signedBy_;             // the current send's signer, once its template is signed
};
