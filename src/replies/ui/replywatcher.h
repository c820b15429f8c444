#pragma once
// The window's checks for replies: one at a time, off the window thread, started by the Sent
// Registrations window's button or every "Check" minutes while the program runs. A check that
// finds verdicts names them on the status lines of the three registration pages; nothing pops
// up by itself. The mailbox password is kept like the mail server's: typed in Mail Security (or
// asked for by the button) and kept in memory, or read from the keyring once. A password the
// server refused is not offered again by itself: the periodic checks wait, and the button asks,
// until a password is given in Mail Security or to the button.
#include "mail/ui/mailpasswords.h"
#include "platform/tasks.h"
#include "replies/replycheck.h"
#include "replies/replysettings.h"

#include <QDateTime>
#include <QObject>
#include <optional>

class QTimer;
class QWidget;
class TForm1;
class TStore;

class TReplyWatcher : public QObject {
    Q_OBJECT
public:
    // Reads the mail server's user (the mailbox's default) from `store`.
    TReplyWatcher(TForm1& form, const TStore& store);
    ~TReplyWatcher() override;

    // The "Replies" section as the settings file holds it, the default user being the mail
    // server's user as the window holds it.
    ReplySettings Settings() const;
    // Writes the section and restarts the periodic checks with it. Raises EIniFileError.
    void SetSettings(const ReplySettings& settings);
    // Reads the section again (at start) and restarts the periodic checks.
    void LoadSettings();

    // The password a check uses without asking: kept in memory, else stored in the keyring (then
    // kept in memory) unless the server refused that one.
    std::optional<QString> KnownPassword(const MailboxEndpoint& mailbox);
    TMailPasswords& Passwords() { return passwords_; }

    // Starts a check unless one runs. With `asking`, a missing password is asked for (the user
    // pressed the button); without, the status lines say that it is missing.
    void CheckNow(bool asking);
    void Cancel();
    bool Running() const { return running_; }
    // The last check's sentence: what it found, or why it failed; empty before the first.
    const QString& LastOutcome() const { return lastOutcome_; }
    QTimer* PeriodTimer() const { return timer_; }

signals:
    void CheckStarted();
    // `found`: the check kept at least one new reply.
    void CheckFinished(const QString& sentence, bool found);

private:
    void Finish(const QString& sentence, bool found, bool tellStatusLines);
    void Refused(const MailboxEndpoint& mailbox);
    void SetStatusLines(const QString& text);

    TForm1& form_;
    const TStore& store_;
    TMailPasswords passwords_;
    QTimer* timer_;
    CancelToken token_;
    bool running_ = false;
    bool keyringRefused_ = false; // the server refused the password the keyring gave
    QString lastOutcome_;
};
