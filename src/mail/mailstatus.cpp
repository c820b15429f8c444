#include "mail/mailstatus.h"

MailStatus StatusOpening() {
    return {30, QStringLiteral("Opening connection")};
}
MailStatus StatusPreparing() {
    return {10, QStringLiteral("Preparing message")};
}
MailStatus StatusSending() {
    return {50, QStringLiteral("Sending message")};
}
MailStatus StatusMailSent() {
    return {70, QStringLiteral("Message has been sent")};
}
MailStatus StatusClosing() {
    return {100, QStringLiteral("Closing connection")};
}
MailStatus StatusClosed() {
    return {0, QStringLiteral("Connection closed")};
}
MailStatus StatusCanceled() {
    return {-1, QStringLiteral("Operation has been canceled")};
}

void ShowStatusOf(TmsSMTP& smtp, const std::function<void(const MailStatus&)>& show) {
    auto stage = [show](MailStatus (*status)()) {
        return [show, status](QObject*) { show(status()); };
    };
    smtp.OnOpen = stage(StatusOpening);
    smtp.OnPrepare = stage(StatusPreparing);
    smtp.OnSending = stage(StatusSending);
    smtp.OnMailSent = stage(StatusMailSent);
    smtp.OnClosing = stage(StatusClosing);
    smtp.OnClosed = stage(StatusClosed);
    smtp.OnCancel = stage(StatusCanceled);
}
