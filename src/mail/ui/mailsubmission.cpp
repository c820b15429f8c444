#include "mail/ui/mailsubmission.h"

#include "app/ui/form1.h"
#include "mail/mssmtp.h"
#include "store/ui/storebehaviour.h"
#include "templates/ui/windowrecord.h"
#include "templates/ui/windowwriters.h"

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
    if (auto* store = form_.findChild<TStore*>())
        request.updateNameList = [store, kind](const Record& record, const TemplateFiles& files) {
            store->UpdateNameList(kind, record, files);
        };
    // The window's path fields take the writer's paths also when writing or sending fails.
    TemplateFiles files = WindowPaths(form_, kind);
    struct KeepPaths {
        TForm1& form;
        RecordKind kind;
        TemplateFiles& files;
        ~KeepPaths() { StoreWindowPaths(form, kind, files); }
    } keep{form_, kind, files};
    flow_.Submit(request, files);
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
