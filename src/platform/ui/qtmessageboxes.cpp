#include "platform/ui/qtmessageboxes.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMessageBox>
#include <QPushButton>

namespace {
QWidget* Owner() {
    return QApplication::activeWindow();
}

void Show(QMessageBox::Icon icon, const QString& caption, const QString& text) {
    QMessageBox box(icon, caption, DisplayedText(text), QMessageBox::Ok, Owner());
    box.exec();
}

// A Yes/No box that tells a close by the window's close button apart from Escape (No).
class YesNoBox : public QMessageBox {
public:
    YesNoBox(const QString& text, QMessageBox::StandardButton defaultButton)
        : QMessageBox(QMessageBox::Warning, WarningCaption(), DisplayedText(text),
                      QMessageBox::Yes | QMessageBox::No, Owner()) {
        setDefaultButton(defaultButton);
        setEscapeButton(QMessageBox::No);
        setObjectName("YesNoBox");
    }
    bool closedByWindow = false;

protected:
    void closeEvent(QCloseEvent* event) override {
        closedByWindow = true;
        QMessageBox::closeEvent(event);
    }
};

BoxAnswer Ask(const QString& text, QMessageBox::StandardButton defaultButton) {
    YesNoBox box(text, defaultButton);
    box.exec();
    if (box.closedByWindow) return BoxAnswer::Closed;
    return box.clickedButton() == box.button(QMessageBox::Yes) ? BoxAnswer::Yes : BoxAnswer::No;
}
} // namespace

void QtMessageBoxes::Information(const QString& text) {
    Show(QMessageBox::Information, InformationCaption(), text);
}

bool QtMessageBoxes::InformationWithButton(const QString& text, const QString& button) {
    QMessageBox box(QMessageBox::Information, InformationCaption(), DisplayedText(text),
                    QMessageBox::Ok, Owner());
    QPushButton* extra = box.addButton(button, QMessageBox::ActionRole);
    extra->setAutoDefault(false);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
    return box.clickedButton() == extra;
}

BoxAnswer QtMessageBoxes::WarningYesNo(const QString& text) {
    return Ask(text, QMessageBox::Yes);
}

BoxAnswer QtMessageBoxes::WarningYesNoDefaultNo(const QString& text) {
    return Ask(text, QMessageBox::No);
}

void QtMessageBoxes::Warning(const QString& text) {
    Show(QMessageBox::Warning, WarningCaption(), text);
}

void QtMessageBoxes::Error(const QString& text) {
    Show(QMessageBox::Critical, ApplicationTitle(), text);
}

void QtMessageBoxes::Beep() {
    QApplication::beep();
}
