#pragma once
// What each stage of a send shows on the three registration pages: the stage's progress bar
// position and status line text (mail/mailstatus.h), written to the domain, host and contact page
// in this order, bar first.
#include "mail/mailstatus.h"
#include "templates/recordmodel.h"

// The SMTP client's events that the pages follow.
enum class SmtpStage { Open, Prepare, Sending, MailSent, Closing, Closed, Cancel };

MailStatus StatusOfStage(SmtpStage stage);

// Where the stages are shown: the window's bars and status lines, or the companion's output.
class SubmissionDisplay {
public:
    virtual ~SubmissionDisplay() = default;
    virtual void SetProgress(RecordKind page, int position) = 0;
    virtual void SetStatus(RecordKind page, const QString& text) = 0;
};
