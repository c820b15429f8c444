#include "mail/ui/keptmessagedlg.h"

#include "app/ui/helptopics.h"
#include "app/ui/helpwindow.h"
#include "mail/keptmessage.h"
#include "mail/ui/sentwindowfit.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TKeptMessageDlg::TKeptMessageDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("KeptMessageDlg");
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(false);
    auto* column = new QVBoxLayout(this);
    MessageText = new QPlainTextEdit(this);
    MessageText->setObjectName("KeptMessageText");
    MessageText->setAccessibleName("Message as sent");
    MessageText->setReadOnly(true);
    // Still a place for the caret: the keyboard moves through the text and selects from it.
    MessageText->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    MessageText->setLineWrapMode(QPlainTextEdit::NoWrap);
    MessageText->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    column->addWidget(MessageText, 1);
    auto* buttons = new QHBoxLayout;
    CloseButton = new QPushButton("Close", this);
    CloseButton->setObjectName("CloseButton");
    CloseButton->setAutoDefault(false);
    buttons->addStretch(1);
    buttons->addWidget(CloseButton);
    column->addLayout(buttons);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::close);
    SetHelpTopic(this, SentWindowHelpTopic);
    InstallHelpKey(this);
    resize(680, 520);
}

void TKeptMessageDlg::ShowMessage(const QByteArray& message, const QString& what) {
    setWindowTitle(what);
    MessageText->setPlainText(KeptMessageLines(message).join('\n'));
    MessageText->moveCursor(QTextCursor::Start);
    FitToScreen(*this);
    show();
    raise();
    activateWindow();
    MessageText->setFocus();
}
