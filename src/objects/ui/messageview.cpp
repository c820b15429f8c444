#include "objects/ui/messageview.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QVBoxLayout>

TMessageView::TMessageView(const QStringList& lines, QWidget* parent) : QDialog(parent) {
    setObjectName("ObjectMessageView");
    setWindowTitle("Message");
    auto* layout = new QVBoxLayout(this);
    Text = new QPlainTextEdit(this);
    Text->setObjectName("ObjectMessageText");
    Text->setAccessibleName("Message");
    Text->setReadOnly(true);
    Text->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    Text->setPlainText(lines.join('\n'));
    layout->addWidget(Text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(640, 480);
}
