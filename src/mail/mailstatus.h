#pragma once
// What the pages show while a message goes out: each stage of the SMTP client sets the progress
// bars and the status lines. Shared by the window and the companion, so both say the same.
#include "mail/mssmtp.h"

#include <QString>
#include <functional>

struct MailStatus {
    int progress = -1; // the bars' position; -1 leaves them as they are
    QString text;      // the status lines' text
};

// The status of each stage.
MailStatus StatusOpening();   // 30, "Opening connection"
MailStatus StatusPreparing(); // 10, "Preparing message"
MailStatus StatusSending();   // 50, "Sending message"
MailStatus StatusMailSent();  // 70, "Message has been sent"
MailStatus StatusClosing();   // 100, "Closing connection"
MailStatus StatusClosed();    // 0, "Connection closed"
MailStatus StatusCanceled();  // unchanged, "Operation has been canceled"

// Sets OnOpen, OnPrepare, OnSending, OnMailSent, OnClosing, OnClosed and OnCancel of `smtp` to
// call `show` with that stage's status.
void ShowStatusOf(TmsSMTP& smtp, const std::function<void(const MailStatus&)>& show);
