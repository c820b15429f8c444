#include "app/ui/attach.h"
#include "app/ui/form1.h"
#include "mail/ui/mailsubmission.h"
#include "mail/ui/securitydlg.h"
#include "platform/guard.h"
#include "replies/ui/repliesgroup.h"
#include "replies/ui/repliessentdlg.h"
#include "replies/ui/replywatcher.h"

#include <QLineEdit>

void AttachReplies(TForm1& form, const TStore& store, TMailSubmission& mail) {
    auto* watcher = new TReplyWatcher(form, store);
    // After the Setup section is read: the default user is the mail server's.
    form.CreateSteps.push_back([watcher] { watcher->LoadSettings(); });
    // File > Sent Registrations opens this window (the mail subsystem's command finds it).
    auto* sent = new TRepliesSentDlg(*watcher, &form);
    mail.SetSentWindow(sent);
    mail.SecurityDialogParts.push_back([watcher](TSecurityDlg& dialog) {
        auto* group = new TRepliesGroup(*watcher, *dialog.UserEdit, &dialog);
        dialog.AddGroup(group);
        QObject::connect(&dialog, &QDialog::accepted, group,
                         [group] { Guarded([group] { group->Accept(); }); });
    });
}
