#include "app/ui/smtpsu.h"

#include "app/ui/controls.h"
#include "app/ui/enterkey.h"
#include "app/ui/helptopics.h"
#include "app/ui/helpwindow.h"
#include "app/ui/windowfont.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

const char* const kRegistryMailbox = "hostmaster@internic.net";

namespace {
constexpr int kSetupTopic = 1031;

QLineEdit* AddSetupEdit(QDialog* dialog, QGridLayout* grid, int row, const QString& name,
                        const QString& caption, const QString& hint, Qt::Alignment align) {
    QLineEdit* edit = MakeEdit(dialog, name, hint);
    QLabel* label = MakeLabel(dialog, caption, LabelName(name));
    label->setBuddy(edit);
    label->setAlignment(align | Qt::AlignVCenter);
    NameForAccessibility(edit, caption);
    SetHelpTopic(edit, kSetupTopic);
    grid->addWidget(label, row, 0);
    grid->addWidget(edit, row, 1);
    return edit;
}
} // namespace

TSetupDlg::TSetupDlg(QWidget* parent) : QDialog(parent) {
    setFont(WindowFont());
    setObjectName("SetupDlg");
    setWindowTitle("Setup");
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(10, 10, 10, 10);
    grid->setVerticalSpacing(6);
    ServerEdit =
        AddSetupEdit(this, grid, 0, "ServerEdit", "SMTP Server",
                     "Your SMTP Server.  If unsure. look at your e-mail program.", Qt::AlignRight);
    UserAddressEdit =
        AddSetupEdit(this, grid, 1, "UserAddressEdit", "EMail address",
                     "Your e-mail address. IMPORTANT.  F1 for details", Qt::AlignRight);
    UserNameEdit = AddSetupEdit(this, grid, 2, "UserNameEdit", "Name", "Your Name", Qt::AlignRight);
    mailto = AddSetupEdit(this, grid, 3, "mailto",
                          "Mail Registrations to:", "The address where registrations will be sent.",
                          Qt::AlignLeft);
    mailto->setText(kRegistryMailbox);
    grid->setRowStretch(4, 1);
    auto* buttons = new QHBoxLayout;
    SecurityButton = MakeButton(this, "SecurityButton", "Security...",
                                "Connection security, user name and password for your SMTP server");
    SetHelpTopic(SecurityButton, MailSecurityHelpTopic);
    buttons->addWidget(SecurityButton);
    buttons->addStretch(1);
    OKButton = MakeButton(this, "OKButton", "OK");
    OKButton->setDefault(true);
    OKButton->setAutoDefault(true);
    CancelButton = MakeButton(this, "CancelButton", "Cancel");
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    grid->addLayout(buttons, 5, 0, 1, 2);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    // Escape closes a dialog with Cancel by itself.
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    // Top to bottom, then the buttons left to right. Only OK is a default button: Enter on
    // "Security..." opens Mail Security and never accepts Setup on the way.
    setTabOrder(ServerEdit, UserAddressEdit);
    setTabOrder(UserAddressEdit, UserNameEdit);
    setTabOrder(UserNameEdit, mailto);
    setTabOrder(mailto, SecurityButton);
    setTabOrder(SecurityButton, OKButton);
    setTabOrder(OKButton, CancelButton);
    EnterPressesFocusedButton();
    InstallHelpKey(this);
    setFixedSize(404, 154);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = geometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}
