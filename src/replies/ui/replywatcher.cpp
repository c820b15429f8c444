#include "replies/ui/replywatcher.h"

#include "app/ui/form1.h"
#include "app/ui/recordpage.h"
#include "app/ui/statusline.h"
#include "mail/sentcopy.h"
#include "mail/ui/passworddlg.h"
#include "platform/fullstop.h"
#include "platform/messageboxes.h"
#include "replies/mailboxpassword.h"
#include "replies/mailboxsession.h"
#include "store/ui/storebehaviour.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>
#include <limits>

TReplyWatcher::TReplyWatcher(TForm1& form, const TStore& store)
    : QObject(&form), form_(form), store_(store), timer_(new QTimer(this)) {
    setObjectName("ReplyWatcher");
    timer_->setObjectName("ReplyCheckTimer");
    connect(timer_, &QTimer::timeout, this, [this] { CheckNow(false); });
}

TReplyWatcher::~TReplyWatcher() {
    token_.Cancel();
}

ReplySettings TReplyWatcher::Settings() const {
    ReplySettings settings = ReadReplySettings(form_.SettingsFile);
    settings.smtpUser = store_.Settings().user;
    return settings;
}

void TReplyWatcher::SetSettings(const ReplySettings& settings) {
    WriteReplySettings(form_.SettingsFile, settings);
    // The user has been to Mail Security: the keyring may hold a new password.
    keyringRefused_ = false;
    LoadSettings();
}

void TReplyWatcher::LoadSettings() {
    const ReplySettings settings = Settings();
    timer_->stop();
    // Without a server nothing is asked, and everything else behaves as before.
    const qint64 period = settings.server.isEmpty() ? 0 : settings.CheckPeriodMs();
    if (period > 0) timer_->start(int(std::min<qint64>(period, std::numeric_limits<int>::max())));
}

std::optional<QString> TReplyWatcher::KnownPassword(const MailboxEndpoint& mailbox) {
    if (auto kept = passwords_.Known(mailbox.user, mailbox.server)) return kept;
    if (keyringRefused_) return std::nullopt;
    const Result<std::optional<QString>> stored = ReadMailboxPassword(mailbox.user, mailbox.server);
    if (!stored || !stored->has_value()) return std::nullopt;
    passwords_.Keep(mailbox.user, mailbox.server, **stored);
    return *stored;
}

void TReplyWatcher::CheckNow(bool asking) {
    if (running_) return;
    running_ = true;
    emit CheckStarted();
    const Result<MailboxEndpoint> mailbox = MailboxEndpointOf(Settings());
    if (!mailbox) return Finish(mailbox.Error(), false, false);
    std::optional<QString> password = KnownPassword(mailbox.Value());
    if (!password && asking) {
        TPasswordDlg dialog(mailbox->user, mailbox->server, &form_);
        dialog.setWindowTitle("Mailbox Password");
        if (dialog.exec() == QDialog::Accepted) {
            password = dialog.PasswordEdit->text();
            passwords_.Keep(mailbox->user, mailbox->server, *password);
            if (dialog.RememberBox->isChecked())
                if (const Done stored =
                        StoreMailboxPassword(mailbox->user, mailbox->server, *password);
                    !stored)
                    Boxes().Warning(WithFullStop(stored.Error()));
        }
    }
    if (!password)
        return Finish("Replies were not checked: no password for " + mailbox->user + " at " +
                          mailbox->server + " (File > Setup, Security...).",
                      false, !asking);
    token_ = CancelToken();
    StartReplyCheck(
        this, token_, {SentFolderPath(), mailbox.Value(), *password},
        [this, endpoint = mailbox.Value()](Result<ReplyCheckOutcome> outcome) {
            if (!outcome && IsSignInRefusal(outcome.Error(), endpoint)) {
                Refused(endpoint);
                return Finish(outcome.Error() + " No check asks again by itself until a password "
                                                "is given (File > Setup, Security...).",
                              false, true);
            }
            if (!outcome)
                return Finish("Replies could not be checked: " + outcome.Error(), false, true);
            // A password that was taken: checks by themselves go on again.
            if (!timer_->isActive()) LoadSettings();
            Finish(NewRepliesText(outcome.Value()), !outcome->found.empty(),
                   !outcome->found.empty());
        });
}

void TReplyWatcher::Refused(const MailboxEndpoint& mailbox) {
    // Offered again and again, a refused password may lock the account.
    passwords_.Forget(mailbox.user, mailbox.server);
    keyringRefused_ = true;
    timer_->stop();
}

void TReplyWatcher::Cancel() {
    if (!running_) return;
    // The check's result is no longer wanted; the worker ends its wait at once.
    token_.Cancel();
    Finish("The check for replies was stopped.", false, false);
}

void TReplyWatcher::Finish(const QString& sentence, bool found, bool tellStatusLines) {
    running_ = false;
    lastOutcome_ = sentence;
    if (tellStatusLines) SetStatusLines(sentence);
    emit CheckFinished(sentence, found);
}

void TReplyWatcher::SetStatusLines(const QString& text) {
    for (const TRecordPage& page : form_.RecordPages())
        ShowStatus(page, text);
}
