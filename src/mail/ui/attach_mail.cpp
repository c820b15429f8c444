#include "app/ui/attach.h"
#include "app/ui/form1.h"
#include "decor/pvlurl.h"
#include "mail/mssmtp.h"
#include "mail/ui/mailsubmission.h"
#include "mail/ui/sentdlg.h"
#include "platform/guard.h"
#include "templates/ui/templatesbehaviour.h"

#include <QAbstractButton>
#include <QAction>
#include <QUrl>

namespace {
// The window's message and SMTP client with the settings of its form description.
void CreateMailComponents(TForm1& form) {
    form.msMessage1 = new TmsMessage(&form);
    form.msMessage1->setObjectName("msMessage1");
    form.msMessage1->SetContentType("text/plain");
    form.msMessage1->SetReturnReceipt(false);
    form.msSMTP1 = new TmsSMTP(&form);
    form.msSMTP1->setObjectName("msSMTP1");
    form.msSMTP1->SetDefaultPort(25);
    form.msSMTP1->SetMailMessage(form.msMessage1);
}

void WireClientEvents(TmsSMTP& smtp, TMailSubmission& mail) {
    smtp.OnOpen = [&mail](QObject* sender) { mail.msSMTP1Open(sender); };
    smtp.OnPrepare = [&mail](QObject* sender) { mail.msSMTP1Prepare(sender); };
    smtp.OnSending = [&mail](QObject* sender) { mail.msSMTP1Sending(sender); };
    smtp.OnMailSent = [&mail](QObject* sender) { mail.msSMTP1MailSent(sender); };
    smtp.OnClosing = [&mail](QObject* sender) { mail.msSMTP1Closing(sender); };
    smtp.OnClosed = [&mail](QObject* sender) { mail.msSMTP1Closed(sender); };
    smtp.OnCancel = [&mail](QObject* sender) { mail.msSMTP1Cancel(sender); };
}

// File > Sent Registrations...: one modeless window, read afresh each time it is opened.
void AttachSentWindow(TForm1& form, TMailSubmission& mail) {
    auto* item = form.findChild<QAction*>("SentRegistrations1");
    if (!item) return;
    QObject::connect(item, &QAction::triggered, &form, [&mail] {
        Guarded([&mail] {
            TSentDlg* dialog = &mail.SentWindow();
            if (!dialog->OpenFolder)
                dialog->OpenFolder = [](const QString& folder) {
                    // No file manager registered, or one that does not start: the window then
                    // offers the path instead.
                    const QString command = DefaultFolderCommand();
                    if (command.trimmed().isEmpty()) return false;
                    TpvlUrl launcher;
                    launcher.RegisteredCommand = [command] { return command; };
                    launcher.SetUrl(QUrl::fromLocalFile(folder).toString());
                    try {
                        launcher.Execute();
                    } catch (const Exception&) {
                        return false;
                    }
                    return true;
                };
            dialog->Reload();
            dialog->show();
            dialog->raise();
            dialog->activateWindow();
        });
    });
}
} // namespace

TMailSubmission& AttachMail(TForm1& form, const TRecordPages& pages, TStore& store) {
    CreateMailComponents(form);
    auto* mail = new TMailSubmission(form, pages, store);
    mail->setObjectName("MailSubmission");
    WireClientEvents(*form.msSMTP1, *mail);
    for (const TRecordPage& page : pages)
        if (page.mailButton)
            QObject::connect(page.mailButton, &QAbstractButton::clicked, mail,
                             [mail, kind = page.kind] { Guarded([&] { mail->MailPage(kind); }); });
    form.MailSecurityCommand = [mail](const QString& server) { mail->SecurityButtonClick(server); };
    AttachSentWindow(form, *mail);
    // The first of the window's socket components to be made ready each time it becomes active.
    TmsSMTP* smtp = form.msSMTP1;
    form.ActivateSteps.push_back([smtp] {
        if (!smtp->WinsockLoaded()) smtp->SetWinsockLoaded(true);
    });
    return *mail;
}
