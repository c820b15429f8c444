#include "mail/ui/mailsubmission.h"

#include "app/ui/form1.h"
#include "app/ui/recordpage.h"
#include "app/ui/statusline.h"
#include "mail/keyring.h"
#include "mail/mssmtp.h"
#include "mail/submissiontexts.h"
#include "mail/ui/passworddlg.h"
#include "mail/ui/securitydlg.h"
#include "mail/ui/sentdlg.h"
#include "openpgp/openpgp.h"
#include "openpgp/ui/signingkeygroup.h"
#include "platform/fullstop.h"
#include "platform/messageboxes.h"
#include "platform/peertext.h"
#include "store/ui/storebehaviour.h"
#include "templates/ui/windowrecord.h"
#include "templates/ui/windowwriters.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>

TMailSubmission::TMailSubmission(TForm1& form, const TRecordPages& pages, TStore& store)
    : QObject(&form), form_(form), pages_(pages), store_(store),
      flow_(*form.msSMTP1, *form.msMessage1, *this) {
    flow_.OnBusyChanged = [this](bool busy) { EnableMailButtons(!busy); };
    ApplySettings(store.Settings());
    connect(&store, &TStore::SettingsChanged, this,
            [this](const SetupSettings& settings) { ApplySettings(settings); });
}

TSentDlg& TMailSubmission::SentWindow() {
    if (!sentWindow_) sentWindow_ = new TSentDlg(&form_);
    return *sentWindow_;
}

void TMailSubmission::ApplySettings(const SetupSettings& settings) {
    TmsSMTP& smtp = *form_.msSMTP1;
    smtp.SetServer(settings.server);
    // A value the program does not know secures nothing; a user then meets the refusal that says
    // why.
    smtp.SetSecurity(SecurityFromName(settings.security).value_or(TMailSecurity::None));
    smtp.SetUser(settings.user);
    form_.msMessage1->Sender().SetAddress(settings.address);
    form_.msMessage1->Sender().SetName(settings.name);
}

void TMailSubmission::MailPage(RecordKind kind) {
    const TRecordPage& page = pages_.Of(kind);
    SubmissionRequest request;
    request.record = ReadRecord(form_, kind);
    request.mailTo = store_.Settings().mailto;
    request.listEmptyRequired = true;
    request.loadHolder = [&page](const QStringList& lines) {
        if (page.holder) page.holder->setPlainText(lines.join('\n'));
    };
    request.beforeSending = [this, kind] {
        if (PreparePassword()) return true;
        SetStatus(kind, "Not sent: no password given.");
        return false;
    };
    // A PGP page without a key to sign with mails nothing (the PGP box says so): no check first.
    if (form_.BeforeMailConfirmation && !PgpWithoutSigningKey(request.record))
        request.beforeConfirmation = [this](const Record& record) {
            // The check before mailing waits for servers while the window runs: no second press
            // may start a second submission inside this one.
            EnableMailButtons(false);
            const bool go = form_.BeforeMailConfirmation(record);
            EnableMailButtons(true);
            return go;
        };
    request.signTemplate = [this](const Record& record,
                                  const QStringList& lines) -> std::optional<QStringList> {
        Result<std::optional<QStringList>> signedLines =
            SignTemplate(record, lines, SigningKeySetting());
        if (!signedLines) throw ESigningError(signedLines.Error());
        if (signedLines.Value()) signedBy_ = SignerOf(record);
        return signedLines.Value();
    };
    request.updateNameList = [this, kind](const Record& record, const TemplateFiles& files) {
        store_.UpdateNameList(kind, record, files);
    };
    request.chooseSigningKey = [this] { SecurityButtonClick(store_.Settings().server); };
    request.signer = [this] { return signedBy_; };
    signedBy_.clear();
    // The window's path fields take the writer's paths also when writing or sending fails.
    TemplateFiles files = WindowPaths(page);
    struct KeepPaths {
        const TRecordPage& page;
        TemplateFiles& files;
        ~KeepPaths() { StoreWindowPaths(page, files); }
    } keep{page, files};
    try {
        if (flow_.Submit(request, files) == SubmissionOutcome::Sent && !signedBy_.isEmpty())
            ShowStatus(page, StatusText(page) + "; " + SignedWithNote(signedBy_));
    } catch (const ESignInRefused& e) {
        // A password the server refuses is not offered again: the next send asks for it.
        passwords_.Forget(form_.msSMTP1->User(), form_.msSMTP1->Server());
        throw Exception(WithFullStop(e.Message()) +
                        " Check the user name and password under File > Setup > Security.");
    }
}

QString TMailSubmission::SigningKeySetting() const {
    return store_.Settings().openPgpKey;
}

bool TMailSubmission::PgpWithoutSigningKey(const Record& record) const {
    if (record.Text(AuthorizationControl(record.kind)) != "PGP") return false;
    const Result<SigningKeyChoice> key = SigningKeyFor(record, SigningKeySetting());
    return key && key.Value().keyId.isEmpty();
}

QString TMailSubmission::SignerOf(const Record& record) const {
    const Result<SigningKeyChoice> key = SigningKeyFor(record, SigningKeySetting());
    if (!key) return QString();
    const QString id = NormalizedKeyId(key.Value().keyId).value_or(key.Value().keyId);
    QString name;
    if (const Result<std::vector<OpenPgpKey>> keys = SigningKeys())
        for (const OpenPgpKey& k : keys.Value())
            if (k.fingerprint.endsWith(id) || k.signingFingerprint.endsWith(id))
                name = PeerText(k.userId, PeerTextLines::Escape);
    // The last 16 hex digits, as the key list shows a key.
    return SigningKeyText("0x" + id.right(16), name);
}

std::optional<QString> TMailSubmission::KnownPassword(const QString& user,
                                                      const QString& server) const {
    if (const auto kept = passwords_.Known(user, server)) return kept;
    return ReadStoredPassword(user, server);
}

bool TMailSubmission::PreparePassword() {
    TmsSMTP& smtp = *form_.msSMTP1;
    // A password goes only over an encrypted connection; without one the client refuses itself.
    if (smtp.User().isEmpty() || smtp.Security() == TMailSecurity::None) return true;
    const QString user = smtp.User(), server = smtp.Server();
    std::optional<QString> password = KnownPassword(user, server);
    if (!password) {
        TPasswordDlg dialog(user, server, &form_);
        if (dialog.exec() != QDialog::Accepted) return false;
        password = dialog.PasswordEdit->text();
        if (dialog.RememberBox->isChecked()) {
            const KeyringAnswer stored = StorePassword(user, server, *password);
            if (!stored.ok) Boxes().Warning(stored.problem + ".");
        }
    }
    passwords_.Keep(user, server, *password);
    smtp.SetPassword(*password);
    return true;
}

void TMailSubmission::SecurityButtonClick(const QString& server) {
    SetupSettings settings = store_.Settings();
    TSecurityDlg dialog(server, &form_);
    dialog.SetSecurity(SecurityFromName(settings.security).value_or(TMailSecurity::None));
    dialog.UserEdit->setText(settings.user);
    dialog.SigningGroup->Load(settings.openPgpKey);
    dialog.KnownPassword = [this, server](const QString& user) {
        return KnownPassword(user, server);
    };
    const bool stored =
        !settings.user.isEmpty() && ReadStoredPassword(settings.user, server).has_value();
    if (stored)
        dialog.ShowPasswordStored();
    else if (const auto known = passwords_.Known(settings.user, server))
        dialog.PasswordEdit->setText(*known);
    for (const auto& part : SecurityDialogParts)
        part(dialog);
    if (dialog.exec() != QDialog::Accepted) return;
    // A file that never had "Security" keeps it out while it stays None.
    const TMailSecurity security = dialog.Security();
    if (security != TMailSecurity::None || !settings.security.isEmpty())
        settings.security = SecurityName(security);
    const bool sameUser = dialog.UserEdit->text() == settings.user;
    settings.user = dialog.UserEdit->text();
    settings.openPgpKey = dialog.SigningGroup->Fingerprint();
    store_.SetSettings(settings);
    if (settings.user.isEmpty()) return;
    const QString password = dialog.PasswordEdit->text();
    KeyringAnswer answer{true, {}};
    if (!password.isEmpty()) {
        passwords_.Keep(settings.user, server, password);
        if (dialog.RememberBox->isChecked())
            answer = StorePassword(settings.user, server, password);
    } else if (stored && sameUser && !dialog.RememberBox->isChecked()) {
        // Unticked: the keyring forgets the password (this session still knows it).
        answer = ClearStoredPassword(settings.user, server);
    }
    if (!answer.ok) Boxes().Warning(answer.problem + ".");
}

void TMailSubmission::EnableMailButtons(bool enabled) {
    // The window's own focus widget: a box open above the window has the application's focus.
    QWidget* focus = form_.focusWidget();
    for (const TRecordPage& page : pages_) {
        QAbstractButton* button = page.mailButton;
        if (!button) continue;
        if (!enabled && button == focus) {
            parkedFrom_ = button;
            parkedOn_ = page.status;
            if (parkedOn_) parkedOn_->setFocus(Qt::OtherFocusReason);
        }
        button->setEnabled(enabled);
    }
    if (enabled && parkedFrom_) {
        // Unless the user has moved on into a field meanwhile.
        QWidget* now = form_.focusWidget();
        if (!now || now == parkedOn_ || qobject_cast<QAbstractButton*>(now))
            parkedFrom_->setFocus(Qt::OtherFocusReason);
        parkedFrom_ = nullptr;
    }
}

void TMailSubmission::SetProgress(RecordKind page, int position) {
    if (QProgressBar* bar = pages_.Of(page).mailProgress) bar->setValue(position);
}

void TMailSubmission::SetStatus(RecordKind page, const QString& text) {
    ShowStatus(pages_.Of(page), text);
}

void TMailSubmission::msSMTP1Open(QObject*) {
    flow_.ShowStage(SmtpStage::Open);
}

void TMailSubmission::msSMTP1Prepare(QObject*) {
    flow_.ShowStage(SmtpStage::Prepare);
}

void TMailSubmission::msSMTP1Sending(QObject*) {
    flow_.ShowStage(SmtpStage::Sending);
}

void TMailSubmission::msSMTP1MailSent(QObject*) {
    flow_.ShowStage(SmtpStage::MailSent);
}

void TMailSubmission::msSMTP1Closing(QObject*) {
    flow_.ShowStage(SmtpStage::Closing);
}

void TMailSubmission::msSMTP1Closed(QObject*) {
    flow_.ShowStage(SmtpStage::Closed);
}

void TMailSubmission::msSMTP1Cancel(QObject*) {
    flow_.ShowStage(SmtpStage::Cancel);
}
