#include "mail/submissionstatus.h"

MailStatus StatusOfStage(SmtpStage stage) {
    switch (stage) {
    case SmtpStage::Open:
        return StatusOpening();
    case SmtpStage::Prepare:
        return StatusPreparing();
    case SmtpStage::Sending:
        return StatusSending();
    case SmtpStage::MailSent:
        return StatusMailSent();
    case SmtpStage::Closing:
        return StatusClosing();
    case SmtpStage::Closed:
        return StatusClosed();
    case SmtpStage::Cancel:
        break;
    }
    return StatusCanceled();
}
