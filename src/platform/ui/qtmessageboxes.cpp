#include "platform/ui/qtmessageboxes.h"

#include <QApplication>
#include <QMessageBox>

namespace {
QString Title() {
    return QApplication::applicationDisplayName();
}
QWidget* Owner() {
    return QApplication::activeWindow();
}
} // namespace

void QtMessageBoxes::Information(const QString& text) {
    QMessageBox::information(Owner(), Title(), text);
}

bool QtMessageBoxes::WarningYesNo(const QString& text) {
    // Escape answers No.
    return QMessageBox::warning(Owner(), Title(), text, QMessageBox::Yes | QMessageBox::No,
                                QMessageBox::Yes) == QMessageBox::Yes;
}

void QtMessageBoxes::Warning(const QString& text) {
    QMessageBox::warning(Owner(), Title(), text);
}

void QtMessageBoxes::Error(const QString& text) {
    QMessageBox::critical(Owner(), Title(), text);
}

void QtMessageBoxes::Beep() {
    QApplication::beep();
}
