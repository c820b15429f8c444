#include "mail/ui/securitydlg.h"

#include "app/ui/distinctnames.h"
#include "app/ui/helptopics.h"
#include "app/ui/helpwindow.h"
#include "app/ui/okcancelrow.h"
#include "app/ui/windowfont.h"
#include "mail/mssmtp.h"
#include "mail/ui/rememberbox.h"
#include "openpgp/ui/signingkeygroup.h"
#include "platform/fullstop.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

QString TestOutcome(const QString& tlsVersion, const QString& user) {
    QString sentence = "Connected";
    if (!tlsVersion.isEmpty()) sentence += ", secured with " + tlsVersion;
    if (!user.isEmpty())
        sentence += (tlsVersion.isEmpty() ? ", " : " and ") + QString("signed in as ") + user;
    return sentence + ".";
}

TSecurityDlg::TSecurityDlg(const QString& server, QWidget* parent)
    : QDialog(parent), server_(server) {
    setObjectName("SecurityDlg");
    setWindowTitle("Mail Security");
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFont(WindowFont());
    auto* column = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    SecurityBox = new QComboBox(this);
    SecurityBox->setObjectName("SecurityBox");
    SecurityBox->addItems({"None", "STARTTLS", "TLS"});
    SecurityBox->setToolTip("None: plain text, as older servers speak. STARTTLS: the usual port "
                            "587. TLS: encrypted from the first byte, the usual port 465.");
    form->addRow("Connection security", SecurityBox);
    UserEdit = new QLineEdit(this);
    UserEdit->setObjectName("UserEdit");
    UserEdit->setToolTip("The login name your provider gives you; empty signs in as nobody.");
    form->addRow("User name", UserEdit);
    PasswordEdit = new QLineEdit(this);
    PasswordEdit->setObjectName("PasswordEdit");
    PasswordEdit->setEchoMode(QLineEdit::Password);
    PasswordEdit->setToolTip("Kept in memory until the program ends, and in the keyring if you "
                             "ask; never in a file.");
    form->addRow("Password", PasswordEdit);
    RememberBox = MakeRememberBox(this);
    form->addRow(QString(), RememberBox);
    for (int row = 0; row < form->rowCount(); ++row)
        if (auto* label =
                qobject_cast<QLabel*>(form->itemAt(row, QFormLayout::LabelRole)
                                          ? form->itemAt(row, QFormLayout::LabelRole)->widget()
                                          : nullptr))
            if (QWidget* field = form->itemAt(row, QFormLayout::FieldRole)->widget())
                field->setAccessibleName(label->text());
    column->addLayout(form);

    auto* test = new QHBoxLayout;
    TestButton = new QPushButton("Test", this);
    TestButton->setObjectName("TestButton");
    TestButton->setAutoDefault(false);
    TestButton->setToolTip("Connects to " +
                           (server.isEmpty() ? QString("the SMTP server") : server) +
                           ", secures the connection and signs in, without sending anything.");
    TestResult = new QLabel(this);
    TestResult->setObjectName("TestResult");
    TestResult->setWordWrap(true);
    TestResult->setTextInteractionFlags(Qt::TextSelectableByMouse);
    TestResult->setFocusPolicy(Qt::NoFocus); // told as an alert; empty, it was an unnamed stop
    test->addWidget(TestButton);
    test->addWidget(TestResult, 1);
    column->addLayout(test);

    SigningGroup = new TSigningKeyGroup(this);
    SigningKeyBox = SigningGroup->SigningKeyBox;
    column->addWidget(SigningGroup);

    const OkCancelButtons buttons = AddOkCancelRow(*this, *column);
    OKButton = buttons.ok;
    CancelButton = buttons.cancel;
    connect(TestButton, &QPushButton::clicked, this, &TSecurityDlg::TestButtonClick);
    for (QWidget* w : {static_cast<QWidget*>(SecurityBox), static_cast<QWidget*>(UserEdit),
                       static_cast<QWidget*>(PasswordEdit), static_cast<QWidget*>(RememberBox),
                       static_cast<QWidget*>(TestButton)})
        SetHelpTopic(w, MailSecurityHelpTopic);
    InstallHelpKey(this);
    setMinimumWidth(420);
    setFixedSize(sizeHint().expandedTo(QSize(420, 0)));
}

void TSecurityDlg::AddGroup(QWidget* group) {
    auto* column = qobject_cast<QVBoxLayout*>(layout());
    if (!column) return;
    group->setParent(this);
    // The last item is the row of OK and Cancel.
    column->insertWidget(column->count() - 1, group);
    MakeNamesDistinct(this);
    setFixedSize(sizeHint().expandedTo(QSize(420, 0)));
}

TMailSecurity TSecurityDlg::Security() const {
    return SecurityFromName(SecurityBox->currentText()).value_or(TMailSecurity::None);
}

void TSecurityDlg::SetSecurity(TMailSecurity security) {
    SecurityBox->setCurrentText(SecurityName(security));
}

void TSecurityDlg::ShowPasswordStored() {
    RememberBox->setChecked(true);
    PasswordEdit->clear();
    PasswordEdit->setPlaceholderText("(stored in the keyring)");
}

void TSecurityDlg::TestButtonClick() {
    // The button stays enabled, so that the focus stays on it (a disabled button would pass it on
    // to the next control, which a screen reader then reads); a press meanwhile does nothing.
    if (testing_) return;
    testing_ = true;
    OKButton->setEnabled(false);
    TestResult->setText("Testing...");
    TmsSMTP smtp;
    smtp.SetServer(server_);
    smtp.SetSecurity(Security());
    smtp.SetUser(UserEdit->text());
    // What a send would use: the typed password, else the one kept or stored.
    QString password = PasswordEdit->text();
    if (password.isEmpty() && KnownPassword && !UserEdit->text().isEmpty())
        password = KnownPassword(UserEdit->text()).value_or(QString());
    smtp.SetPassword(password);
    smtp.SetTimeOut(30);
    QString outcome;
    QString version;
    smtp.OnClosing = [&version, &smtp](QObject*) { version = smtp.TlsVersion(); };
    try {
        smtp.Probe();
        outcome = TestOutcome(version, UserEdit->text());
    } catch (const Exception& e) {
        outcome = WithFullStop(e.Message());
    }
    TestResult->setText(outcome);
    OKButton->setEnabled(true);
    testing_ = false;
    // The result is told to assistive technology as it comes, not only as a renamed label.
    QAccessibleEvent told(TestResult, QAccessible::Alert);
    QAccessible::updateAccessibility(&told);
}
