#include "replies/ui/repliesgroup.h"

#include "app/ui/helptopics.h"
#include "mail/ui/rememberbox.h"
#include "platform/fullstop.h"
#include "platform/messageboxes.h"
#include "replies/mailboxpassword.h"
#include "replies/replycheck.h"
#include "replies/ui/replieshelp.h"
#include "replies/ui/replywatcher.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
// Each field's accessible name is its row's label, as a screen reader announces it.
void AddRow(QFormLayout& form, const QString& label, QWidget* field) {
    form.addRow(label, field);
    field->setAccessibleName(QString(label).remove('&'));
}
} // namespace

TRepliesGroup::TRepliesGroup(TReplyWatcher& watcher, QLineEdit& smtpUser, QWidget* parent)
    : QGroupBox("Replies", parent), watcher_(watcher), smtpUser_(smtpUser) {
    setObjectName("RepliesGroup");
    setAccessibleName("Replies");
    auto* column = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    ServerEdit = new QLineEdit(this);
    ServerEdit->setObjectName("RepliesServerEdit");
    ServerEdit->setToolTip("The IMAP server holding the mailbox the registry answers to, HOST or "
                           "HOST:PORT. Empty: replies are not read.");
    AddRow(*form, "IMAP server", ServerEdit);
    SecurityBox = new QComboBox(this);
    SecurityBox->setObjectName("RepliesSecurityBox");
    SecurityBox->addItems({"TLS", "STARTTLS"});
    SecurityBox->setToolTip("TLS: encrypted from the first byte, the usual port 993. STARTTLS: "
                            "the usual port 143. The mailbox is never read without encryption.");
    AddRow(*form, "Security", SecurityBox);
    UserEdit = new QLineEdit(this);
    UserEdit->setObjectName("RepliesUserEdit");
    UserEdit->setToolTip("The mailbox's login name; empty uses the mail server's user name.");
    AddRow(*form, "User name", UserEdit);
    PasswordEdit = new QLineEdit(this);
    PasswordEdit->setObjectName("RepliesPasswordEdit");
    PasswordEdit->setEchoMode(QLineEdit::Password);
    PasswordEdit->setToolTip("Kept in memory until the program ends, and in the keyring if you "
                             "ask; never in a file.");
    AddRow(*form, "Password", PasswordEdit);
    RememberBox = MakeRememberBox(this);
    // Alt+R stays the mail server's box in the same window.
    RememberBox->setText("Remember in the &keyring");
    RememberBox->setObjectName("RepliesRememberBox");
    form->addRow(QString(), RememberBox);
    FolderEdit = new QLineEdit(this);
    FolderEdit->setObjectName("RepliesFolderEdit");
    FolderEdit->setPlaceholderText("INBOX");
    FolderEdit->setToolTip("The folder the replies arrive in.");
    AddRow(*form, "Folder", FolderEdit);
    CheckBox = new QSpinBox(this);
    CheckBox->setObjectName("RepliesCheckBox");
    CheckBox->setRange(0, 7 * 24 * 60);
    CheckBox->setSuffix(" minutes");
    CheckBox->setSpecialValueText("only on request");
    CheckBox->setToolTip("How often the mailbox is read while the program runs; 0: only when "
                         "you press Check for Replies in Sent Registrations.");
    AddRow(*form, "Check every", CheckBox);
    column->addLayout(form);

    auto* test = new QHBoxLayout;
    TestButton = new QPushButton("Test", this);
    TestButton->setObjectName("RepliesTestButton");
    TestButton->setAccessibleName("Test the mailbox");
    TestButton->setAutoDefault(false);
    TestButton->setToolTip("Signs in to the mailbox, opens the folder and signs out.");
    TestResult = new QLabel(this);
    TestResult->setObjectName("RepliesTestResult");
    TestResult->setWordWrap(true);
    TestResult->setTextInteractionFlags(Qt::TextSelectableByMouse);
    test->addWidget(TestButton);
    test->addWidget(TestResult, 1);
    column->addLayout(test);

    connect(TestButton, &QPushButton::clicked, this, &TRepliesGroup::TestButtonClick);
    // The default user follows the mail server's user name as it is typed.
    connect(&smtpUser_, &QLineEdit::textChanged, UserEdit, &QLineEdit::setPlaceholderText);
    SetHelpTopic(this, RepliesHelpTopic);
    Load();
}

TRepliesGroup::~TRepliesGroup() {
    test_.Cancel();
}

void TRepliesGroup::Load() {
    loaded_ = watcher_.Settings();
    ServerEdit->setText(loaded_.server);
    SecurityBox->setCurrentText(loaded_.security.toUpper() == "STARTTLS" ? "STARTTLS" : "TLS");
    UserEdit->setText(loaded_.user);
    UserEdit->setPlaceholderText(smtpUser_.text());
    FolderEdit->setText(loaded_.folder);
    CheckBox->setValue(loaded_.checkMinutes);
    const Result<MailboxEndpoint> mailbox = MailboxEndpointOf(loaded_);
    if (!mailbox) return;
    const Result<std::optional<QString>> stored =
        ReadMailboxPassword(mailbox->user, mailbox->server);
    stored_ = stored && stored->has_value();
    if (stored_) {
        RememberBox->setChecked(true);
        PasswordEdit->setPlaceholderText("(stored in the keyring)");
    } else if (const auto kept = watcher_.Passwords().Known(mailbox->user, mailbox->server)) {
        PasswordEdit->setText(*kept);
    }
}

ReplySettings TRepliesGroup::Typed() const {
    ReplySettings settings = loaded_;
    settings.server = ServerEdit->text().trimmed();
    // A file that never named the security keeps it out while it stays TLS.
    if (SecurityBox->currentText() != "TLS" || !loaded_.security.isEmpty())
        settings.security = SecurityBox->currentText();
    settings.user = UserEdit->text().trimmed();
    settings.folder = FolderEdit->text().trimmed();
    settings.checkMinutes = CheckBox->value();
    settings.smtpUser = smtpUser_.text();
    return settings;
}

QString TRepliesGroup::PasswordFor(const MailboxEndpoint& mailbox) const {
    if (!PasswordEdit->text().isEmpty()) return PasswordEdit->text();
    return watcher_.KnownPassword(mailbox).value_or(QString());
}

void TRepliesGroup::TestButtonClick() {
    const Result<MailboxEndpoint> mailbox = MailboxEndpointOf(Typed());
    if (!mailbox) {
        TestResult->setText(mailbox.Error());
        return;
    }
    TestButton->setEnabled(false);
    TestResult->setText("Testing...");
    test_.Cancel();
    test_ = CancelToken();
    StartMailboxTest(this, test_, mailbox.Value(), PasswordFor(mailbox.Value()),
                     [this](Result<QString> outcome) {
                         TestResult->setText(outcome ? outcome.Value() : outcome.Error());
                         TestButton->setEnabled(true);
                     });
}

void TRepliesGroup::Accept() {
    const ReplySettings settings = Typed();
    watcher_.SetSettings(settings);
    const Result<MailboxEndpoint> mailbox = MailboxEndpointOf(settings);
    if (!mailbox) return;
    const Result<MailboxEndpoint> before = MailboxEndpointOf(loaded_);
    const bool sameMailbox =
        before && before->user == mailbox->user && before->server == mailbox->server;
    const QString password = PasswordEdit->text();
    Done answer;
    if (!password.isEmpty()) {
        watcher_.Passwords().Keep(mailbox->user, mailbox->server, password);
        if (RememberBox->isChecked())
            answer = StoreMailboxPassword(mailbox->user, mailbox->server, password);
    } else if (stored_ && sameMailbox && !RememberBox->isChecked()) {
        // Unticked: the keyring forgets the password (this session still knows it).
        answer = ClearMailboxPassword(mailbox->user, mailbox->server);
    }
    if (!answer) Boxes().Warning(WithFullStop(answer.Error()));
}
