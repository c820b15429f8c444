#include "mail/ui/mailsubmission.h"

#include "app/ui/form1.h"
#include "mail/mssmtp.h"
#include "templates/ui/windowrecord.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>

namespace {
// The controls of one page that the mail flow uses.
struct PageControls {
    const char* button;
    const char* memo;
    const char* status;
    const char* bar;
};

PageControls ControlsOf(RecordKind kind) {
    switch (kind) {
    case RecordKind::Domain:
        return {"BitBtn1", "Memo1", "status", "MailProgress"};
    case RecordKind::Host:
        return {"HostMailtoNic", "Memo2", "hoststatus", "HostMailProgress"};
    case RecordKind::Contact:
        break;
    }
    return {"ContactMailtoNic", "Memo3", "Cstatus", "Cmailprogress"};
}

// The window's fields that hold the paths last written for a kind.
std::pair<QString*, QString*> FilesOf(TForm1& form, RecordKind kind) {
    switch (kind) {
    case RecordKind::Domain:
        return {&form.DomainFormFile, &form.DomainRecordFile};
    case RecordKind::Host:
        return {&form.HostFormFile, &form.HostRecordFile};
    case RecordKind::Contact:
        break;
    }
    return {&form.ContactFormFile, &form.ContactRecordFile};
}

// Keeps the window's path fields in step with the writer's, also when writing or sending fails.
class WindowFiles {
public:
    WindowFiles(TForm1& form, RecordKind kind) : fields_(FilesOf(form, kind)) {
        files.formFile = *fields_.first;
        files.recordFile = *fields_.second;
    }
    ~WindowFiles() {
        *fields_.first = files.formFile;
        *fields_.second = files.recordFile;
    }
    TemplateFiles files;

private:
    std::pair<QString*, QString*> fields_;
};
} // namespace

TMailSubmission::TMailSubmission(TForm1& form)
    : QObject(&form), form_(form), flow_(*form.msSMTP1, *form.msMessage1, *this) {
    flow_.OnBusyChanged = [this](bool busy) { EnableMailButtons(!busy); };
}

void TMailSubmission::BitBtn1Click() {
    MailPage(RecordKind::Domain);
}

void TMailSubmission::HostMailtoNicClick() {
    MailPage(RecordKind::Host);
}

void TMailSubmission::ContactMailtoNicClick() {
    MailPage(RecordKind::Contact);
}

void TMailSubmission::MailPage(RecordKind kind) {
    SubmissionRequest request;
    request.record = ReadRecord(form_, kind);
    request.mailTo = form_.MailTo;
    request.loadHolder = [this, kind](const QStringList& lines) {
        if (auto* memo = form_.Control<QPlainTextEdit>(ControlsOf(kind).memo))
            memo->setPlainText(lines.join('\n'));
    };
    request.updateNameList = [this, kind](const Record&, const TemplateFiles& files) {
        if (UpdateNameList) UpdateNameList(kind, files);
    };
    WindowFiles window(form_, kind);
    flow_.Submit(request, window.files);
}

void TMailSubmission::EnableMailButtons(bool enabled) {
    for (RecordKind kind : {RecordKind::Domain, RecordKind::Host, RecordKind::Contact})
        if (auto* button = form_.Control<QAbstractButton>(ControlsOf(kind).button))
            button->setEnabled(enabled);
}

void TMailSubmission::SetProgress(RecordKind page, int position) {
    if (auto* bar = form_.Control<QProgressBar>(ControlsOf(page).bar)) bar->setValue(position);
}

void TMailSubmission::SetStatus(RecordKind page, const QString& text) {
    if (auto* status = form_.Control<QLineEdit>(ControlsOf(page).status)) status->setText(text);
}

void TMailSubmission::msSMTP1Open(QObject*) {
    flow_.ShowStage(SmtpStage::Open);
}

void TMailSubmission::msSMTP1Prepare(QObject*) {
    flow_.ShowStage(SmtpStage::Prepare);
}

void TMailSubmission::msSMTP1Sending(QObject*) {
    flow_.ShowStage(SmtpStage::Sending);
}

void TMailSubmission::msSMTP1MailSent(QObject*) {
    flow_.ShowStage(SmtpStage::MailSent);
}

void TMailSubmission::msSMTP1Closing(QObject*) {
    flow_.ShowStage(SmtpStage::Closing);
}

void TMailSubmission::msSMTP1Closed(QObject*) {
    flow_.ShowStage(SmtpStage::Closed);
}

void TMailSubmission::msSMTP1Cancel(QObject*) {
    flow_.ShowStage(SmtpStage::Cancel);
}
